#include "remote/CompanionPrograms.h"

#include "base/SystemQueries.h"

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

qint64 StartCompanionProgram(const TCompanionProgram &Program, const QString &Folder, int Choice, qint64 CurrentId)
{
    const QString path = CompanionPath(Folder, Program);
    if (!QFileInfo(path).isFile() || ProgramRunning(path, QLatin1String(Program.WindowClass)))
        return CurrentId;
    const QString commandLine = CompanionCommandLine(path, Choice);
    if (commandLine.isEmpty())
        return 0;
    return StartProgram(commandLine, Choice == StartCompanionMinimized ? ShowMode::Minimized : ShowMode::Normal);
}

namespace {

bool runs(qint64 ProcessId, const QString &Path)
{
#ifdef Q_OS_LINUX
    return ProcessExecutable(ProcessId) == QFileInfo(Path).canonicalFilePath();
#else
    Q_UNUSED(Path);
    return ProcessId > 0;
#endif
}

} // namespace

void CloseCompanionProgram(qint64 ProcessId, const QString &Path, int TimeoutMs)
{
    if (ProcessId <= 0 || !runs(ProcessId, Path))
        return;
    CloseProgramWindows(ProcessId);
#ifdef Q_OS_LINUX
    // Started again right after (new preferences), it must be gone first,
    // or it would count as running and not start.
    QElapsedTimer waited;
    waited.start();
    do {
        QThread::msleep(10);
    } while (waited.elapsed() < TimeoutMs && runs(ProcessId, Path));
#else
    Q_UNUSED(TimeoutMs);
    QThread::msleep(10);
#endif
}
