#include "cat/CatLog.h"

#include "base/Folders.h"

#include <QDir>
#include <QSysInfo>
#include <QThread>

TCatLog::TCatLog(QObject *parent)
    : QObject(parent)
    , clock_([] { return QDateTime::currentDateTime(); })
{
}

TCatLog::~TCatLog()
{
    QMutexLocker locker(&mutex_);
    closeLocked();
}

QString TCatLog::LogFileNameFor(const QDateTime &opened)
{
    return QStringLiteral("Zov_") + opened.toString(QStringLiteral("MMdd_HHmmss")) + QStringLiteral(".log");
}

void TCatLog::SetLogFolder(const QString &folder)
{
    QMutexLocker locker(&mutex_);
    folder_ = folder;
}

void TCatLog::SetClock(std::function<QDateTime()> clock)
{
    QMutexLocker locker(&mutex_);
    clock_ = std::move(clock);
}

bool TCatLog::LogOpen() const
{
    QMutexLocker locker(&mutex_);
    return logOpen_;
}

QString TCatLog::LogFilePath() const
{
    QMutexLocker locker(&mutex_);
    return file_.fileName();
}

void TCatLog::SetWindowVisible(bool visible)
{
    windowVisible_ = visible;
}

void TCatLog::writeRaw(const QString &line)
{
    if (!logOpen_ || !file_.isOpen())
        return;
    // Flushed line by line: the log is read most when the program misbehaves.
    file_.write((line + QStringLiteral("\r\n")).toLocal8Bit());
    file_.flush();
}

void TCatLog::WriteLogLine(const QString &text)
{
    QMutexLocker locker(&mutex_);
    if (!logOpen_)
        return;
    writeRaw(clock_().toString(QStringLiteral("HH:mm:ss")) + u' ' + text);
}

void TCatLog::WriteStatusLine(const QString &text)
{
    WriteLogLine(QStringLiteral("STATUS: ") + text);
}

void TCatLog::deliverToWindow(const QString &text)
{
    if (windowVisible_)
        emit EntryAdded(text);
}

void TCatLog::LogEvent(const QString &text)
{
    QMutexLocker locker(&mutex_);
    if (windowVisible_) {
        if (QThread::currentThread() == thread()) {
            deliverToWindow(text);
        } else {
            QMetaObject::invokeMethod(
                this,
                [this, text] {
                    QMutexLocker inner(&mutex_);
                    deliverToWindow(text);
                },
                Qt::QueuedConnection);
        }
    }
    if (logOpen_)
        writeRaw(clock_().toString(QStringLiteral("HH:mm:ss")) + u' ' + text);
}

void TCatLog::closeLocked()
{
    if (logOpen_) {
        writeRaw(clock_().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Log closed."));
        file_.close();
    }
    logOpen_ = false;
}

void TCatLog::CloseLogFile()
{
    QMutexLocker locker(&mutex_);
    closeLocked();
}

void TCatLog::OpenLogFile(const TLogHeader &header)
{
    QMutexLocker locker(&mutex_);
    closeLocked();
    const QString folder = WithTrailingSlash(folder_.isEmpty() ? DesktopFolder() : folder_);
    QDir().mkpath(folder);
    file_.setFileName(folder + LogFileNameFor(clock_()));
    // A file of the same name (two connections in one second) is replaced.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    logOpen_ = true;
    writeRaw(QStringLiteral("Tarnwick log, ver. ") + FileVersionText());
    writeRaw(QStringLiteral("O/S: ") + QSysInfo::prettyProductName());
    writeRaw(QStringLiteral("Line: ") + header.SelectedPort + u'(' + header.PortEntry + u')');
    writeRaw(QStringLiteral("Speed: ") + header.Speed);
    writeRaw(QStringLiteral("Tcvr: ") + header.Tcvr);
    writeRaw(QStringLiteral("DTR: ") + header.Dtr);
    writeRaw(QStringLiteral("RTS: ") + header.Rts);
    writeRaw(clock_().toString(QStringLiteral("HH:mm:ss")) + QStringLiteral(" Log opened."));
}
