#pragma once

#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QRecursiveMutex>
#include <QString>

#include <atomic>
#include <functional>

// What the log file's header names: the serial dialog's choices at the moment
// the log is opened.
struct TLogHeader
{
    QString SelectedPort; // "COM3", "ttyUSB0" or a typed device path
    QString PortEntry;    // the port box's selected entry text
    QString Speed;
    QString Tcvr;
    QString Dtr;
    QString Rts;
};

// The one log stream of the transceiver link: lines go to the debug window's
// list while the window is shown, and to the log file on the desktop while it is
// open. One lock serialises the file and the list; lines logged on other threads
// (the TCP clients) reach the list through the user-interface thread's queue.
class TCatLog : public QObject
{
    Q_OBJECT
public:
    explicit TCatLog(QObject *parent = nullptr);
    ~TCatLog() override;

    // Closes an open log first ("Log closed."), then creates
    // "Zov_mmdd_hhnnss.log" in the log folder and writes the header.
    void OpenLogFile(const TLogHeader &header);
    void CloseLogFile();
    // One time-stamped line to the file when it is open; failures are ignored.
    void WriteLogLine(const QString &text);
    // To the debug window when it is shown, then to the file.
    void LogEvent(const QString &text);
    // A status-line text, to the file only.
    void WriteStatusLine(const QString &text);

    bool LogOpen() const;
    QString LogFilePath() const;

    // The debug window tells the log whether it is shown; entries are only
    // added to it then.
    void SetWindowVisible(bool visible);
    bool WindowVisible() const { return windowVisible_; }

    // Where log files go (the desktop unless a test says otherwise) and the
    // clock that names and stamps them.
    void SetLogFolder(const QString &folder);
    void SetClock(std::function<QDateTime()> clock);

    static QString LogFileNameFor(const QDateTime &opened);

signals:
    // Emitted on the user-interface thread, under the log's lock, for every
    // entry that belongs in the shown debug window. Connect it directly.
    void EntryAdded(const QString &text);

private:
    void writeRaw(const QString &line);
    void closeLocked();
    void deliverToWindow(const QString &text);

    mutable QRecursiveMutex mutex_;
    QFile file_;
    bool logOpen_ = false;
    std::atomic<bool> windowVisible_{false};
    QString folder_;
    std::function<QDateTime()> clock_;
};
