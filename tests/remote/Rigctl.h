#pragma once

// Runs Hamlib's rigctl (Debian libhamlib-utils) while the event loop runs: the
// endpoint under test answers on this same thread. Daemon runs Hamlib's own
// rigctld beside it, for answers to compare with (and as the network radio of
// the Hamlib engine's tests and benchmarks).

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

namespace rigctl {

inline QString program() { return QStandardPaths::findExecutable(QStringLiteral("rigctl")); }

// "rigctl -m model -r target commands..."; several may run at once.
inline std::unique_ptr<QProcess> start(const QString &model, const QString &target, const QStringList &commands)
{
    auto process = std::make_unique<QProcess>();
    process->start(program(), QStringList{QStringLiteral("-m"), model, QStringLiteral("-r"), target} + commands);
    return process;
}

// What the process printed, one trimmed line each; "timed out" when it hung.
inline QStringList output(QProcess &process)
{
    QElapsedTimer timer;
    timer.start();
    while (process.state() != QProcess::NotRunning && timer.elapsed() < 30000)
        QTest::qWait(5);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        return {QStringLiteral("timed out")};
    }
    QStringList lines = QString::fromLocal8Bit(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.trimmed();
    return lines;
}

inline QStringList run(const QString &model, const QString &target, const QStringList &commands)
{
    return output(*start(model, target, commands));
}

// "rigctld -m model -r device -s speed" on a free port of 127.0.0.1.
struct Daemon
{
    static QString program() { return QStandardPaths::findExecutable(QStringLiteral("rigctld")); }
    QProcess process;
    quint16 port = [] {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        return probe.serverPort();
    }();

    // at: a port to take again (a daemon started anew where the last one was).
    Daemon(const QString &model, const QString &device, const QString &speed, quint16 at = 0)
        : Daemon(QStringList{"-m", model, "-r", device, "-s", speed}, at)
    {
    }
    // Any other arguments ("-m 1" alone for the dummy radio).
    explicit Daemon(const QStringList &arguments, quint16 at = 0)
    {
        if (at != 0)
            port = at;
        process.start(program(), arguments + QStringList{"-T", "127.0.0.1", "-t", QString::number(port)});
        for (int i = 0; i < 50 && !listening(); ++i)
            QTest::qWait(200);
    }
    ~Daemon() { process.kill(), process.waitForFinished(5000); }
    // Ends it as an operator would (SIGTERM), killed if it lingers.
    void stop()
    {
        process.terminate();
        if (!process.waitForFinished(2000))
            process.kill();
        process.waitForFinished(2000);
    }
    QString target() const { return QStringLiteral("127.0.0.1:%1").arg(port); }
    bool listening()
    {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        return socket.waitForConnected(200);
    }
};

} // namespace rigctl
