#pragma once

// Every test binary calls prepareTestEnvironment() before its QApplication
// exists: settings, data, desktop, runtime and program folders all point into
// one temporary folder, so a test can never read or overwrite what an
// operator keeps on this machine.

#include <QByteArray>
#include <QDir>
#include <QSettings>
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
    // No session bus: a test that needs one starts its own (DBusDaemon.h).
    setEnv("DBUS_SESSION_BUS_ADDRESS", QStringLiteral("unix:path=") + runtime + QStringLiteral("/no-bus"));
    // The command server of every window listens on ports the system picks.
    setEnv("TARNWICK_TCP_ANY_PORT", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Empties the settings store of the sandbox.
inline void clearSettings()
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, "Orbelle", "Tarnwick1");
    store.clear();
    store.sync();
}

// Gives the next test class the sandbox a fresh process would see: no settings
// and empty data, desktop and program folders.
inline void resetSandbox()
{
    clearSettings();
    for (const char *sub : {"data", "home/Desktop", "program", "cache"}) {
        QDir dir(sandboxPath(sub));
        dir.removeRecursively();
        QDir().mkpath(dir.path());
    }
}

} // namespace testenv

// Each test program holds the test classes of one subsystem. A file registers
// its class with TARNWICK_TEST_CLASS; the program's main (common/TestMain.cpp)
// prepares the sandbox, then runs every registered class in turn.
//   tst_cat                  runs every class
//   tst_cat TestCatLog [QTest arguments...]   runs one class
namespace testenv {

using TestFactory = QObject *(*)();

struct RegisteredTest
{
    const char *name;
    TestFactory make;
};

inline QList<RegisteredTest> &registeredTests()
{
    static QList<RegisteredTest> tests;
    return tests;
}

struct TestRegistrar
{
    TestRegistrar(const char *name, TestFactory make) { registeredTests().append({name, make}); }
};

} // namespace testenv

#define TARNWICK_TEST_CLASS(TestClass)                                                \
    static const testenv::TestRegistrar registrar##TestClass(                        \
        #TestClass, []() -> QObject * { return new TestClass; });
