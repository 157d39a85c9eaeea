#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a normal close of the main window, so that
// a session logout or Ctrl+C in a terminal saves the settings like a click
// on the power key. The signal handler only writes one byte into a pipe;
// everything else runs in the event loop.
class ShutdownSignals : public QObject
{
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject *parent = nullptr);
    ~ShutdownSignals() override;

    bool IsInstalled() const { return notifier != nullptr; }

signals:
    void ShutdownRequested(int signalNumber);

private:
    void onReadable();

    QSocketNotifier *notifier = nullptr;
};

// Ends every modal box and dialog that is open (rejecting dialogs), so that
// the nested event loops they run return and a close can go through. A box
// that refuses to close is given up on after a few attempts.
void CloseModalWidgets();
