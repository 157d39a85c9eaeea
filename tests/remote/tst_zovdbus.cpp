// The Zov object on a D-Bus bus of the test's own: what gdbus, an
// independent client, sees and does through it; the well-known name with a
// second instance and without a bus; the activation file and the program's
// registration switches; the program itself offering Zov while it runs.

#include "base/Folders.h"
#include "remote/DBusActivation.h"
#include "remote/ZovDBus.h"
#include "common/DBusDaemon.h"
#include "common/TestEnvironment.h"
#include "script/ZovTestSupport.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QXmlStreamReader>
#include <QtTest/QtTest>

#include <csignal>

namespace {

QString tarnwickPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tarnwick");
}

QStringList gdbusCall(const QString &method, const QStringList &arguments)
{
    return QStringList{"call", "--session", "--dest", ZovDBus::Service, "--object-path", ZovDBus::Path, "--method",
                       method}
        + arguments;
}

// Whether a name has an owner on the bus, asked without blocking the thread.
bool nameHasOwner(DBusDaemon &bus, QDBusConnection &client, const QString &name)
{
    QDBusMessage ask = QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                      "org.freedesktop.DBus", "NameHasOwner");
    ask << name;
    const QDBusPendingReply<bool> reply = bus.wait(QDBusPendingReply<bool>(client.asyncCall(ask)));
    return reply.isValid() && reply.value();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestZovDBus : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::resetSandbox(); }

    // Each row: a gdbus call (a method of Zov, or a property read or written
    // through org.freedesktop.DBus.Properties), its output, and what it did
    // to the window. Refused values show their message and still succeed.
    void membersOverTheBus_data()
    {
        QTest::addColumn<QStringList>("call");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("effect");
        const QString get = "org.freedesktop.DBus.Properties.Get";
        const QString set = "org.freedesktop.DBus.Properties.Set";
        const QString zov = ZovDBus::Interface;
        auto row = [](const char *tag, const QString &method, const QStringList &args, const QString &output,
                      const QString &effect) { QTest::newRow(tag) << gdbusCall(method, args) << output << effect; };
        row("Frequency read", get, {zov, "Frequency"}, "(<3550000>,)", "");
        row("Frequency write", set, {zov, "Frequency", "<7050000>"}, "()", "freq 7050000|digits");
        row("Frequency refused", set, {zov, "Frequency", "<99999>"}, "()",
            "msg:Frequency can't be set to a value lower than 100 kHz.");
        row("Mode read", get, {zov, "Mode"}, "(<'USB'>,)", "");
        row("Mode write", set, {zov, "Mode", "<'CW'>"}, "()", "mode CW");
        row("Band read", get, {zov, "Band"}, "(<'80'>,)", "");
        row("Band write", set, {zov, "Band", "<'40'>"}, "()", "band 40");
        row("Split write", set, {zov, "Split", "<true>"}, "()", "key split down|click split");
        row("Ptt read", get, {zov, "Ptt"}, "(<false>,)", "");
        row("Ptt write off-line", set, {zov, "Ptt", "<true>"}, "()", "key ptt down");
        row("Interrupted without a script", get, {zov, "Interrupted"}, "(<true>,)", "");
        row("SMeter", get, {zov, "SMeter"}, "(<42>,)", "");
        row("Squelch", get, {zov, "Squelch"}, "(<true>,)", "");
        row("ZoomTo", zov + ".ZoomTo", {"100000", "100500"}, "()", "release bands|range 100000 100500");
        row("ToggleVfo", zov + ".ToggleVfo", {}, "()", "click vfo");
        row("AlignVfo", zov + ".AlignVfo", {}, "()", "click align");
        row("Sleep", zov + ".Sleep", {"0"}, "()", "");
    }
    void membersOverTheBus()
    {
        QFETCH(QStringList, call);
        QFETCH(QString, output);
        QFETCH(QString, effect);
        DBusDaemon bus;
        QVERIFY(bus.ok());
        FakeZovHost window;
        window.meter = 42;
        TZovDBusService service(window);
        QCOMPARE(service.Start(bus.address()), QString());
        QVERIFY(service.NameOwned());
        const DBusDaemon::Result result = bus.run("gdbus", call);
        QCOMPARE(result.errors, QString());
        QCOMPARE(result.output, output);
        QCOMPARE(window.log.join(u'|'), effect);
    }

    // The interface as the bus describes it: the members, their types and
    // which properties a client may write; nothing else of the object's.
    // Values of a wrong type and read-only properties are refused.
    void interfaceAndRefusals()
    {
        DBusDaemon bus;
        QVERIFY(bus.ok());
        FakeZovHost window;
        TZovDBusService service(window);
        QCOMPARE(service.Start(bus.address()), QString());
        const DBusDaemon::Result xml = bus.run(
            "gdbus", {"introspect", "--session", "--xml", "--dest", ZovDBus::Service, "--object-path", ZovDBus::Path});
        QCOMPARE(xml.exitCode, 0);
        QStringList members;
        QXmlStreamReader reader(xml.output);
        bool inZov = false;
        while (!reader.atEnd()) {
            if (!reader.readNextStartElement()) {
                if (reader.isEndElement() && reader.name() == QLatin1String("interface"))
                    inZov = false;
                continue;
            }
            const auto attributes = reader.attributes();
            if (reader.name() == QLatin1String("interface"))
                inZov = attributes.value("name") == ZovDBus::Interface;
            else if (inZov && reader.name() == QLatin1String("method"))
                members << "method " + attributes.value("name").toString();
            else if (inZov && reader.name() == QLatin1String("arg"))
                members.last() += " " + attributes.value("type").toString();
            else if (inZov && reader.name() == QLatin1String("property"))
                members << QString("%1 %2 %3").arg(attributes.value("name"), attributes.value("type"),
                                                   attributes.value("access"));
        }
        QCOMPARE(members, QStringList({"Mode s readwrite", "Frequency i readwrite", "Band s readwrite",
                                       "Split b readwrite", "Ptt b readwrite", "Interrupted b read",
                                       "SMeter i read", "Squelch b read", "method ZoomTo i i", "method ToggleVfo",
                                       "method AlignVfo", "method Sleep i"}));

        const QString set = "org.freedesktop.DBus.Properties.Set";
        QVERIFY(bus.run("gdbus", gdbusCall(set, {ZovDBus::Interface, "Frequency", "<'abc'>"})).exitCode != 0);
        QVERIFY(bus.run("gdbus", gdbusCall(set, {ZovDBus::Interface, "SMeter", "<5>"})).exitCode != 0);
        QVERIFY(bus.run("gdbus", gdbusCall(ZovDBus::Interface + ".deleteLater", {})).exitCode != 0);
        QVERIFY(window.log.isEmpty());
    }

    // A second instance on the same bus keeps its object under its own
    // connection's name; the first one's stop frees the well-known name.
    // Without a bus nothing is offered and the reason is given.
    void nameAndInstances()
    {
        DBusDaemon bus;
        QVERIFY(bus.ok());
        QDBusConnection client = bus.connect();
        FakeZovHost first;
        FakeZovHost second;
        second.frequency = 7000000;
        TZovDBusService one(first);
        TZovDBusService two(second);
        QCOMPARE(one.Start(bus.address()), QString());
        QCOMPARE(two.Start(bus.address()), QString());
        QVERIFY(one.NameOwned());
        QVERIFY(!two.NameOwned());
        const DBusDaemon::Result atUnique = bus.run(
            "gdbus", {"call", "--session", "--dest", two.UniqueName(), "--object-path", ZovDBus::Path, "--method",
                      "org.freedesktop.DBus.Properties.Get", ZovDBus::Interface, "Frequency"});
        QCOMPARE(atUnique.output, QString("(<7000000>,)"));
        QVERIFY(nameHasOwner(bus, client, ZovDBus::Service));
        one.Stop();
        QVERIFY(!one.Started());
        QTRY_VERIFY(!nameHasOwner(bus, client, ZovDBus::Service));

        TZovDBusService none(first);
        QVERIFY(!none.Start("unix:path=" + testenv::sandboxPath("runtime") + "/nothing-here").isEmpty());
        QVERIFY(!none.Started());
    }

    // The activation file: where the session bus looks, and an Exec line
    // that dbus-daemon runs as the executable named, whatever its path
    // holds. A stand-in executable notes how it was called.
    void activationFile_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("execLine");
        QTest::newRow("plain") << "bin" << "%1/bin/tarnwick";
        QTest::newRow("blank") << "my radio" << "'%1/my radio/tarnwick'";
        QTest::newRow("quote") << "o'neil" << "'%1/o'\\\\''neil/tarnwick'";
        QTest::newRow("backslash") << "a\\b" << "'%1/a\\\\b/tarnwick'";
    }
    void activationFile()
    {
        QFETCH(QString, folder);
        QFETCH(QString, execLine);
        const QString root = testenv::sandboxPath("home");
        const QString executable = root + "/" + folder + "/tarnwick";
        QVERIFY(QDir().mkpath(root + "/" + folder));
        {
            QFile stub(executable);
            QVERIFY(stub.open(QIODevice::WriteOnly));
            stub.write("#!/bin/sh\nprintf '%s\\n' \"$0\" > \"$(dirname \"$0\")/called\"\n");
            stub.setPermissions(stub.permissions() | QFileDevice::ExeOwner);
        }
        const QString path = ZovActivationFilePath();
        QCOMPARE(path, testenv::sandboxPath("data") + "/dbus-1/services/org.orbelle.Tarnwick.service");
        QCOMPARE(RegisterZovActivation(executable), QString());
        QCOMPARE(readFile(path), ("[D-BUS Service]\nName=org.orbelle.Tarnwick\nExec=" + execLine.arg(root) + "\n").toUtf8());

        DBusDaemon bus;
        QVERIFY(bus.ok());
        QVERIFY(QFile::copy(path, bus.serviceFolder() + "/org.orbelle.Tarnwick.service"));
        QDBusConnection client = bus.connect();
        auto busCall = [&](const QString &method, const QVariantList &arguments) {
            QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                                               "org.freedesktop.DBus", method);
            call.setArguments(arguments);
            return client.asyncCall(call);
        };
        QVERIFY(bus.wait(QDBusPendingReply<>(busCall("ReloadConfig", {}))).isValid());
        // The stand-in takes no name: the bus would wait for it in vain, so
        // only the call is looked at.
        busCall("StartServiceByName", {ZovDBus::Service, 0u});
        QTRY_COMPARE(QString::fromUtf8(readFile(root + "/" + folder + "/called")).trimmed(), executable);

        QCOMPARE(UnregisterZovActivation(), QString());
        QVERIFY(!QFile::exists(path));
        QCOMPARE(UnregisterZovActivation(), QString());
    }

    // The program's switches write and remove the file, and end at once.
    void registrationSwitches()
    {
        QProcess program;
        program.start(tarnwickPath(), {"/REGSERVER"});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(readFile(ZovActivationFilePath()).contains("\nExec=" + tarnwickPath().toUtf8() + "\n"));
        program.start(tarnwickPath(), {"-unregserver"});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(!QFile::exists(ZovActivationFilePath()));
    }

    // The running program offers Zov on the session bus, and runs quietly
    // where there is none.
    void programOffersZovWhileItRuns_data()
    {
        QTest::addColumn<bool>("withBus");
        QTest::newRow("session bus") << true;
        QTest::newRow("no session bus") << false;
    }
    void programOffersZovWhileItRuns()
    {
        QFETCH(bool, withBus);
        // With the band plan and modes in place no box holds up the start.
        for (const char *name : {"Bands.tsv", "Modes.tsv"}) {
            QFile file(ProgramFolder() + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("; It is highly recommended that you don't edit this file.\r\n");
        }
        DBusDaemon bus;
        QVERIFY(bus.ok());
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        // Without: the sandbox's address, where no bus listens.
        if (withBus)
            env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        program.setProcessEnvironment(env);
        program.start(tarnwickPath(), {"--port", "/dev/null-tarnwick"});
        QVERIFY(program.waitForStarted(10000));
        if (withBus) {
            QDBusConnection client = bus.connect();
            QTRY_VERIFY_WITH_TIMEOUT(nameHasOwner(bus, client, ZovDBus::Service), 20000);
            const QString get = "org.freedesktop.DBus.Properties.Get";
            QCOMPARE(bus.run("gdbus", gdbusCall(get, {ZovDBus::Interface, "Frequency"})).output,
                     QString("(<3550000>,)"));
        } else {
            QTest::qWait(1500);
        }
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
        QVERIFY2(!errors.contains("bus", Qt::CaseInsensitive), qPrintable(errors));
    }
};

TARNWICK_TEST_CLASS(TestZovDBus)
#include "tst_zovdbus.moc"
