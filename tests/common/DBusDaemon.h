#pragma once

// A D-Bus session bus of the test's own: dbus-daemon with a temporary
// configuration (session type, a socket in a temporary folder, a service
// folder the test may fill), never the user's bus. Calls between two
// connections of one thread need the event loop to turn, so clients run as
// processes (gdbus, busctl) or asynchronously, and the helpers here wait
// while handling events.

#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest/QtTest>

class DBusDaemon
{
public:
    DBusDaemon()
    {
        if (!dir_.isValid())
            return;
        QDir().mkpath(serviceFolder());
        QFile config(dir_.path() + QStringLiteral("/session.conf"));
        if (!config.open(QIODevice::WriteOnly))
            return;
        config.write(QStringLiteral(
                         "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                         " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                         "<busconfig>\n"
                         "  <type>session</type>\n"
                         "  <listen>unix:dir=%1</listen>\n"
                         "  <servicedir>%2</servicedir>\n"
                         "  <policy context=\"default\">\n"
                         "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                         "    <allow eavesdrop=\"true\"/>\n"
                         "    <allow own=\"*\"/>\n"
                         "  </policy>\n"
                         "</busconfig>\n")
                         .arg(dir_.path(), serviceFolder())
                         .toUtf8());
        config.close();
        process_.setProgram(QStringLiteral("dbus-daemon"));
        process_.setArguments({QStringLiteral("--config-file=") + config.fileName(), QStringLiteral("--nofork"),
                               QStringLiteral("--print-address")});
        // Its notes (activations, reloads, the fd limit) are not the test's.
        process_.setStandardErrorFile(QProcess::nullDevice());
        process_.start();
        if (!process_.waitForStarted(5000))
            return;
        QElapsedTimer timer;
        timer.start();
        while (!process_.canReadLine() && timer.elapsed() < 5000)
            process_.waitForReadyRead(100);
        address_ = QString::fromUtf8(process_.readLine()).trimmed();
    }
    ~DBusDaemon()
    {
        for (const QString &name : std::as_const(connections_))
            QDBusConnection::disconnectFromBus(name);
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000))
                process_.kill();
        }
    }

    bool ok() const { return address_.startsWith(QLatin1String("unix:")); }
    QString address() const { return address_; }
    // Where the daemon looks for activation files.
    QString serviceFolder() const { return dir_.path() + QStringLiteral("/services"); }

    // A client connection of the test's own, closed with the daemon.
    QDBusConnection connect()
    {
        const QString name = QStringLiteral("test-client-%1").arg(connections_.size());
        connections_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }

    // Runs a command-line client against this bus (its address in the
    // environment) while events are handled; its standard output, trimmed,
    // and its exit code.
    struct Result
    {
        int exitCode = -1;
        QString output;
        QString errors;
    };
    Result run(const QString &program, const QStringList &arguments)
    {
        QProcess client;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
        client.setProcessEnvironment(env);
        client.start(program, arguments);
        Result result;
        if (!client.waitForStarted(5000))
            return result;
        QElapsedTimer timer;
        timer.start();
        while (client.state() != QProcess::NotRunning && timer.elapsed() < 20000)
            QTest::qWait(5);
        result.exitCode = client.exitStatus() == QProcess::NormalExit ? client.exitCode() : -1;
        result.output = QString::fromUtf8(client.readAllStandardOutput()).trimmed();
        result.errors = QString::fromUtf8(client.readAllStandardError()).trimmed();
        return result;
    }

    // Waits, handling events, for an asynchronous call's reply.
    template <typename... T>
    static QDBusPendingReply<T...> wait(QDBusPendingReply<T...> reply)
    {
        QElapsedTimer timer;
        timer.start();
        while (!reply.isFinished() && timer.elapsed() < 20000)
            QTest::qWait(2);
        return reply;
    }

private:
    QTemporaryDir dir_{QDir::tempPath() + QStringLiteral("/tarnwick-bus-XXXXXX")};
    QProcess process_;
    QString address_;
    QStringList connections_;
};
