#pragma once

// Every test binary calls prepareTestEnvironment() before its QApplication
// exists: settings, data, desktop, runtime and program folders all point into
// one temporary folder, so a test can never read or overwrite what an
// operator keeps on this machine.

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QtTest/QtTest>

#include <cstdlib>
#include <memory>

namespace testenv {

inline QTemporaryDir &sandbox()
{
    static QTemporaryDir dir(QDir::tempPath() + "/tarnwick-test-XXXXXX");
    return dir;
}

inline QString sandboxPath(const QString &sub)
{
    const QString path = sandbox().path() + "/" + sub;
    QDir().mkpath(path);
    return path;
}

inline void setEnv(const char *name, const QString &value)
{
    qputenv(name, value.toLocal8Bit());
}

inline void prepareTestEnvironment()
{
    if (!sandbox().isValid())
        qFatal("cannot create the test sandbox folder");
    setEnv("HOME", sandboxPath("home"));
    setEnv("XDG_CONFIG_HOME", sandboxPath("config"));
    setEnv("XDG_DATA_HOME", sandboxPath("data"));
    setEnv("XDG_CACHE_HOME", sandboxPath("cache"));
    const QString runtime = sandboxPath("runtime");
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    setEnv("XDG_RUNTIME_DIR", runtime);
    setEnv("XDG_DESKTOP_DIR", sandboxPath("home/Desktop"));
    setEnv("TARNWICK_PROGRAM_DIR", sandboxPath("program"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

} // namespace testenv

// Like QTEST_MAIN, but with the sandboxed folders in place first.
#define TARNWICK_TEST_MAIN(TestClass)                                  \
    int main(int argc, char *argv[])                                   \
    {                                                                  \
        testenv::prepareTestEnvironment();                             \
        QApplication app(argc, argv);                                  \
        app.setApplicationName("Tarnwick");                            \
        QTEST_SET_MAIN_SOURCE_PATH                                     \
        TestClass tc;                                                  \
        return QTest::qExec(&tc, argc, argv);                          \
    }
