#pragma once

// Helpers shared by the band-plan and mode-segment tests: the two folders the
// data files live in, unwritable places, and the shared message-box recorder.

#include "base/Folders.h"
#include "common/PromptRecorder.h"
#include "common/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/resource.h>
#include <csignal>
#include <unistd.h>

namespace datatest {

// The first line of every data file, with its CR LF.
inline const QByteArray Comment = "; It is highly recommended that you don't edit this file.\r\n";

inline QString programFile(const QString &name) { return ProgramFolder() + name; }
inline QString dataFile(const QString &name) { return DataFolder() + name; }

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Restores the sandbox program and data folders, empties them and makes
// them writable again.
inline void resetFolders()
{
    testenv::setEnv("TARNWICK_PROGRAM_DIR", testenv::sandbox().path() + "/program");
    testenv::setEnv("XDG_DATA_HOME", testenv::sandbox().path() + "/data");
    for (const QString &sub : {QStringLiteral("program"), QStringLiteral("data"), QStringLiteral("locked")}) {
        const QString path = testenv::sandbox().path() + "/" + sub;
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QDir(path).removeRecursively();
    }
    QDir().mkpath(testenv::sandbox().path() + "/program");
}

// A folder nobody can write into. A folder without write permission stops
// ordinary users; root ignores permissions, so there a path below a regular
// file stands in, which no one can create.
inline QString unwritableFolder()
{
    const QString locked = testenv::sandbox().path() + "/locked";
    QDir().mkpath(locked);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile probe(locked + "/probe");
    if (!probe.open(QIODevice::WriteOnly))
        return locked;
    probe.close();
    probe.remove();
    const QString blocker = testenv::sandbox().path() + "/blocker-file";
    writeBytes(blocker, "not a folder");
    return blocker + "/sub";
}

// While alive, no regular file can grow: every write fails, for root too.
class NoFileWrites
{
public:
    NoFileWrites()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit none = saved;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NoFileWrites() { setrlimit(RLIMIT_FSIZE, &saved); }
    NoFileWrites(const NoFileWrites &) = delete;
    NoFileWrites &operator=(const NoFileWrites &) = delete;

private:
    rlimit saved{};
};

using testenv::PromptRecorder;

} // namespace datatest
