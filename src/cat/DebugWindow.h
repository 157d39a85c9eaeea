#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

class QListWidget;
class QStatusBar;
class TCatLog;

// "CAT Communication": a small always-on-top tool window listing the events of
// the transceiver link while it is shown, one numbered entry per logged line.
class TDebugFrm : public QWidget
{
    Q_OBJECT
public:
    explicit TDebugFrm(TCatLog &log, QWidget *parent = nullptr);
    ~TDebugFrm() override;

    QListWidget *ErrorsLBx = nullptr;
    QStatusBar *StatusBar = nullptr;

    // Adds "number text" at the end, selects it and repaints at once.
    void AddEntry(const QString &text);
    // Empties the list (a new connection starts a new list).
    void Clear();

    void ErrorsLBxClick();
    void ErrorsLBxDblClick();

    // Entries that mention an error, in any letter case.
    static bool IsErrorLine(const QString &entry);
    // The description number of an entry: a bare number between its first "["
    // and the following "]", or the log's error codes ("[E1]" ... "[E22]")
    // mapped to the description that fits; 0 when there is nothing to read.
    static int DescriptionNumber(const QString &entry);
    // Description n (0 to 14), empty for other numbers.
    static QString Description(int n);
    // Stored bounds checked against the work area (-1 marks a missing value).
    static QRect InitialBounds(int left, int top, int width, int height, QSize workArea);

    static constexpr int ItemHeight = 15;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    TCatLog &log_;
};
