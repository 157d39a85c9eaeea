#pragma once

// A D-Bus session bus of the test's own: dbus-daemon with a temporary
// configuration (a socket and a service folder in a temporary folder), never
// the user's bus. A call from this thread to an object this thread serves
// needs the event loop to turn: clients run as processes (gdbus) while
// events are handled.

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QtTest>

class DBusDaemon
{
public:
    DBusDaemon()
    {
        QDir().mkpath(serviceFolder());
        QFile config(dir_.path() + "/session.conf");
        if (!config.open(QIODevice::WriteOnly))
            return;
        config.write(QString("<busconfig><type>session</type><listen>unix:dir=%1</listen>"
                             "<servicedir>%2</servicedir><policy context=\"default\"><allow send_destination=\"*\" "
                             "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                         .arg(dir_.path(), serviceFolder())
                         .toUtf8());
        config.close();
        // Its notes (activations, reloads, the fd limit) are not the test's.
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.start("dbus-daemon", {"--config-file=" + config.fileName(), "--nofork", "--print-address"});
        if (process_.waitForStarted(5000) && process_.waitForReadyRead(5000))
            address_ = QString::fromUtf8(process_.readLine()).trimmed();
    }
    ~DBusDaemon()
    {
        process_.terminate();
        process_.waitForFinished(5000);
    }

    bool ok() const { return address_.startsWith("unix:"); }
    QString address() const { return address_; }
    // Where the daemon looks for activation files.
    QString serviceFolder() const { return dir_.path() + "/services"; }

    // Runs a command-line client on this bus while events are handled:
    // standard output (trimmed) and the exit code, -1 when it did not end.
    struct Result
    {
        int exitCode = -1;
        QString output;
        QString error;
    };
    Result run(const QString &program, const QStringList &arguments)
    {
        QProcess client;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", address_);
        client.setProcessEnvironment(env);
        client.start(program, arguments);
        (void)QTest::qWaitFor([&] { return client.state() == QProcess::NotRunning; }, 20000);
        Result result;
        if (client.state() == QProcess::NotRunning && client.exitStatus() == QProcess::NormalExit)
            result.exitCode = client.exitCode();
        result.output = QString::fromUtf8(client.readAllStandardOutput()).trimmed();
        result.error = QString::fromUtf8(client.readAllStandardError()).trimmed();
        return result;
    }
    // A call of the bus itself (org.freedesktop.DBus) through gdbus.
    QString busCall(const QString &method, const QStringList &arguments = {})
    {
        return run("gdbus", QStringList{"call", "--session", "--dest", "org.freedesktop.DBus", "--object-path",
                                        "/org/freedesktop/DBus", "--method", "org.freedesktop.DBus." + method}
                                + arguments)
            .output;
    }

private:
    QTemporaryDir dir_{QDir::tempPath() + "/tarnwick-bus-XXXXXX"};
    QProcess process_;
    QString address_;
};
