#pragma once

// Runs Hamlib's rigctl (Debian libhamlib-utils) without blocking the event
// loop: the endpoint under test answers on this same thread.

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTest>

#include <memory>

namespace rigctl {

inline QString program()
{
    return QStandardPaths::findExecutable(QStringLiteral("rigctl"));
}

// Starts rigctl with the arguments; several may run at once.
inline std::unique_ptr<QProcess> start(const QStringList &arguments)
{
    auto process = std::make_unique<QProcess>();
    process->start(program(), arguments);
    process->waitForStarted(5000);
    return process;
}

// Waits for each process while the event loop runs; true when all ended in time.
inline bool finish(const QList<QProcess *> &processes, int timeoutMs = 30000)
{
    QElapsedTimer timer;
    timer.start();
    for (QProcess *process : processes)
        while (process->state() != QProcess::NotRunning) {
            if (timer.elapsed() > timeoutMs) {
                process->kill();
                process->waitForFinished(2000);
                return false;
            }
            QTest::qWait(5);
        }
    return true;
}

// "rigctl -m model -r target commands...": what it printed, the lines trimmed;
// "timed out" when it hung.
inline QStringList run(const QString &model, const QString &target, const QStringList &commands)
{
    auto process = start(QStringList{QStringLiteral("-m"), model, QStringLiteral("-r"), target} + commands);
    if (!finish({process.get()}))
        return {QStringLiteral("timed out")};
    QStringList lines = QString::fromLocal8Bit(process->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.trimmed();
    return lines;
}

} // namespace rigctl
