#pragma once

// Runs tarnwick-rigsim (TARNWICK_RIGSIM, else the one next to the program):
// learns its pseudo-terminal and talks to its control channel.

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QElapsedTimer>

#include <csignal>

class RigProcess
{
public:
    explicit RigProcess(const QStringList &arguments)
    {
        QString program = qEnvironmentVariable("TARNWICK_RIGSIM");
        if (program.isEmpty())
            program = QCoreApplication::applicationDirPath() + QStringLiteral("/tarnwick-rigsim");
        process_.setProgram(program);
        process_.setArguments(arguments);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
        if (!process_.waitForStarted(5000))
            return;
        path_ = readLine();
    }
    ~RigProcess()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    bool ok() const { return path_.startsWith(QLatin1String("/dev/")); }
    QString path() const { return path_; }
    qint64 pid() const { return process_.processId(); }

    // Sends one control line and returns the emulator's answer line.
    QString control(const QString &line)
    {
        process_.write((line + u'\n').toLocal8Bit());
        process_.waitForBytesWritten(2000);
        return readLine();
    }
    // A value of the "status" line, such as "freq" or "last".
    QString status(const QString &key)
    {
        const QStringList words = control(QStringLiteral("status")).split(u' ');
        for (const QString &word : words)
            if (word.startsWith(key + u'='))
                return word.mid(key.size() + 1);
        return QString();
    }
    void killHard()
    {
        if (process_.state() != QProcess::NotRunning) {
            ::kill(pid_t(process_.processId()), SIGKILL);
            process_.waitForFinished(5000);
        }
    }

private:
    QString readLine()
    {
        QElapsedTimer timer;
        timer.start();
        while (!process_.canReadLine() && timer.elapsed() < 5000)
            process_.waitForReadyRead(100);
        return QString::fromLocal8Bit(process_.readLine()).trimmed();
    }

    QProcess process_;
    QString path_;
};
