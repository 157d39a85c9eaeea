#pragma once

// Runs Hamlib's rigctl (Debian libhamlib-utils) while the event loop runs: the
// endpoint under test answers on this same thread.

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
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

} // namespace rigctl
