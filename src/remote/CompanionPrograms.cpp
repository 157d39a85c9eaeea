#include "remote/CompanionPrograms.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

QString CompanionPath(const QString &Folder, const TCompanionProgram &Program)
{
#ifdef Q_OS_WIN
    return Folder + QLatin1String(Program.Name) + QStringLiteral(".exe");
#else
    return Folder + QLatin1String(Program.Name);
#endif
}

QString CompanionCommandLine(const QString &Path, int Choice)
{
    if (Choice != StartCompanion && Choice != StartCompanionMinimized)
        return QString();
    const QString quoted = u'"' + Path + u'"';
    return Choice == StartCompanionMinimized ? quoted + QStringLiteral(" -m") : quoted;
}

StartedProcess StartCompanionProgram(const TCompanionProgram &Program, const QString &Folder, int Choice,
                                     const StartedProcess &Current)
{
    const QString path = CompanionPath(Folder, Program);
    const QString commandLine = CompanionCommandLine(path, Choice);
    if (commandLine.isEmpty())
        return {};
    // Judged by the process started, not by its executable: a wrapper script
    // runs as its interpreter.
    if (ProcessRuns(Current))
        return Current;
    if (!QFileInfo(path).isFile() || ProgramRunning(path, QLatin1String(Program.WindowClass)))
        return {};
    return RunningProcess(StartProgram(commandLine, Choice == StartCompanionMinimized ? ShowMode::Minimized : ShowMode::Normal));
}

void CloseCompanionProgram(const StartedProcess &Process, int TimeoutMs)
{
    if (!ProcessRuns(Process))
        return;
    CloseProgramWindows(Process.Id);
#ifdef Q_OS_LINUX
    // Started again right after (new preferences), it must be gone first,
    // or it would count as running and not start.
    QElapsedTimer waited;
    waited.start();
    do {
        QThread::msleep(10);
    } while (waited.elapsed() < TimeoutMs && ProcessRuns(Process));
#else
    Q_UNUSED(TimeoutMs);
    QThread::msleep(10);
#endif
}
