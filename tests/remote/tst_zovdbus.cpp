// The Zov object on a D-Bus bus of the test's own, with gdbus as an
// independent client: the members, a second instance and no bus, the
// activation file run by dbus-daemon, the program's registration switches,
// and the program offering Zov while it runs.

#include "base/Folders.h"
#include "base/Settings.h"
#include "cat/RigProcess.h"
#include "common/DBusDaemon.h"
#include "common/TestEnvironment.h"
#include "remote/DBusActivation.h"
#include "remote/ZovDBus.h"
#include "script/ZovTestSupport.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <array>

#include <csignal>

namespace {

QString tarnwickPath()
{
    return QCoreApplication::applicationDirPath() + "/tarnwick";
}

// A call of Zov: a method with its arguments ("ZoomTo 1 2"), or a property
// read ("Mode") or written ("Mode=<'CW'>").
QStringList zovCall(const QString &member, const QString &dest = ZovDBus::Service)
{
    QStringList call{"call", "--session", "--dest", dest, "--object-path", ZovDBus::Path, "--method"};
    const QStringList words = member.split(' ');
    const QString property = member.section('=', 0, 0);
    if (words.size() > 1 || !property.at(0).isUpper() || property.endsWith("Vfo"))
        return call << ZovDBus::Interface + "." + words.first() << words.mid(1);
    call << "org.freedesktop.DBus.Properties." + QString(member.contains('=') ? "Set" : "Get") << ZovDBus::Interface
         << property;
    return member.contains('=') ? call << member.section('=', 1) : call;
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

    // Each row: a call, gdbus's output (or the end of its error), what it did
    // to the window. Refused values are errors with Zov's reason, and no box
    // waits on the screen; so are a wrong type, a read-only property and
    // anything not Zov's.
    void members_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("effect");
        const std::initializer_list<std::array<QString, 3>> rows = {
            {"Frequency", "(<3550000>,)", ""},
            {"Frequency=<7050000>", "()", "freq 7050000|digits"},
            {"Frequency=<99999>", "InvalidArgs: Frequency can't be set to a value lower than 100 kHz.", ""},
            {"Mode", "(<'USB'>,)", ""},
            {"Mode=<'CW'>", "()", "mode CW"},
            {"Band", "(<'80'>,)", ""},
            {"Band=<'40'>", "()", "band 40"},
            {"Split=<true>", "()", "split on"},
            {"Ptt", "(<true>,)", ""},
            {"Ptt=<false>", "()", "ptt shown off"},
            {"Interrupted", "(<true>,)", ""},
            {"SMeter", "(<42>,)", ""},
            {"Squelch", "(<false>,)", ""},
            {"ToggleVfo", "()", "vfo"},
            {"AlignVfo", "()", "align"},
            {"Sleep 0", "()", ""},
            {"Frequency=<'abc'>", "InvalidArgs: Property Frequency takes type int", ""},
            {"SMeter=<5>", "PropertyReadOnly: Property SMeter is read-only", ""},
            {"Volume", "UnknownProperty: No such property: Volume", ""},
            {"deleteLater", "UnknownMethod", ""},
            {"ZoomTo 100000 100500", "()", "release bands|range 100000 100500"},
            {"ZoomTo 1 100500", "InvalidArgs: Scale can't start on a frequency lower than 100 kHz.", ""},
        };
        for (const auto &row : rows)
            QTest::newRow(qPrintable(row[0])) << row[0] << row[1] << row[2];
    }
    void members()
    {
        QFETCH(QString, member);
        QFETCH(QString, output);
        QFETCH(QString, effect);
        DBusDaemon bus;
        QVERIFY(bus.ok());
        FakeZovHost window;
        window.meter = 42;
        window.ptt = true;
        window.indicator = "RX";
        TZovDBusService service(window);
        QCOMPARE(service.Start(bus.address()), QString());
        const DBusDaemon::Result result = bus.run("gdbus", zovCall(member));
        const bool succeeds = output.startsWith('(');
        QCOMPARE(result.exitCode == 0, succeeds);
        if (succeeds)
            QCOMPARE(result.output, output);
        else
            QVERIFY2(result.error.contains("org.freedesktop.DBus.Error." + output), qPrintable(result.error));
        QCOMPARE(window.log.join(u'|'), effect);
    }

    // A second instance keeps its object under its connection's own name;
    // the first one's stop frees the well-known name. Without a bus nothing
    // is offered and the reason is given.
    void nameAndInstances()
    {
        DBusDaemon bus;
        QVERIFY(bus.ok());
        FakeZovHost first, second;
        second.frequency = 7000000;
        TZovDBusService one(first), two(second), none(first);
        QCOMPARE(one.Start(bus.address()), QString());
        QCOMPARE(two.Start(bus.address()), QString());
        QVERIFY(one.NameOwned() && !two.NameOwned());
        QCOMPARE(bus.run("gdbus", zovCall("Frequency", two.UniqueName())).output, QString("(<7000000>,)"));
        one.Stop();
        QVERIFY(!one.Started());
        QCOMPARE(bus.busCall("NameHasOwner", {ZovDBus::Service}), QString("(false,)"));
        QVERIFY(!none.Start("unix:path=" + testenv::sandboxPath("runtime") + "/nothing-here").isEmpty());
        QVERIFY(!none.Started());
    }

    // The activation file where the session bus looks, with an Exec line
    // that dbus-daemon runs as the executable named, whatever its path
    // holds: a stand-in notes how it was called.
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
        QFile stub(executable);
        QVERIFY(stub.open(QIODevice::WriteOnly));
        stub.write("#!/bin/sh\nprintf '%s\\n' \"$0\" > \"$(dirname \"$0\")/called\"\n");
        stub.close();
        stub.setPermissions(stub.permissions() | QFileDevice::ExeOwner);
        const QString path = ZovActivationFilePath();
        QCOMPARE(path, testenv::sandboxPath("data") + "/dbus-1/services/org.orbelle.Tarnwick.service");
        QCOMPARE(RegisterZovActivation(executable), QString());
        QCOMPARE(readFile(path), ("[D-BUS Service]\nName=org.orbelle.Tarnwick\nExec=" + execLine.arg(root) + "\n").toUtf8());

        DBusDaemon bus;
        QVERIFY(bus.ok());
        QVERIFY(QFile::copy(path, bus.serviceFolder() + "/org.orbelle.Tarnwick.service"));
        QCOMPARE(bus.busCall("ReloadConfig"), QString("()"));
        // The stand-in takes no name: the bus would wait for it in vain.
        QProcess activation;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        activation.setProcessEnvironment(env);
        activation.start("gdbus", {"call", "--session", "--dest", ZovDBus::Service, "--object-path", ZovDBus::Path,
                                   "--method", "org.freedesktop.DBus.Peer.Ping"});
        QTRY_COMPARE(readFile(root + "/" + folder + "/called"), (executable + "\n").toUtf8());
        activation.kill();
        activation.waitForFinished();

        QCOMPARE(UnregisterZovActivation(), QString());
        QVERIFY(!QFile::exists(path));
        QCOMPARE(UnregisterZovActivation(), QString());
    }

    // The program's switches write and remove the file, and end at once.
    void registrationSwitches()
    {
        QProcess program;
        program.start(tarnwickPath(), {"/REGSERVER"});
        QVERIFY(program.waitForFinished(20000) && program.exitCode() == 0);
        QVERIFY(readFile(ZovActivationFilePath()).contains("\nExec=" + tarnwickPath().toUtf8() + "\n"));
        program.start(tarnwickPath(), {"-unregserver"});
        QVERIFY(program.waitForFinished(20000) && program.exitCode() == 0);
        QVERIFY(!QFile::exists(ZovActivationFilePath()));
    }

    // The running program offers Zov on the session bus, working its window;
    // on SIGTERM it unkeys the emulated radio that a rigctld client keyed.
    void programOffersZovWhileItRuns()
    {
        // With a band plan, modes and markers in place no box holds up the start.
        for (const char *name : {"Bands.tsv", "Modes.tsv", "FqMarkers.tsv"}) {
            QFile file(ProgramFolder() + name);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("; It is highly recommended\r\n") > 0);
        }
        WriteSetting("ConnectSuccess", "1"); // it connects without the serial dialog
        RigProcess rig({"--model", "FT-817"});
        const quint16 port = [] { QTcpServer s; return s.listen(QHostAddress::LocalHost, 0) ? s.serverPort() : 0; }();
        DBusDaemon bus;
        QVERIFY(bus.ok());
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        program.setProcessEnvironment(env);
        program.start(tarnwickPath(), {"--port", rig.path(), "--model", "FT-817", "--rigctld", QString::number(port)});
        QTRY_COMPARE_WITH_TIMEOUT(bus.busCall("NameHasOwner", {ZovDBus::Service}), QString("(true,)"), 20000);
        QCOMPARE(bus.run("gdbus", zovCall("Frequency=<7050000>")).output, QString("()"));
        QCOMPARE(bus.run("gdbus", zovCall("Frequency")).output, QString("(<7050000>,)"));
        QTcpSocket client; // keys once the endpoint listens and the radio is connected
        const auto keys = [&] {
            client.abort(), client.connectToHost(QHostAddress::LocalHost, port);
            return client.waitForConnected(1000) && client.write("T 1\n") && client.waitForReadyRead(5000)
                   && client.readAll() == "RPRT 0\n";
        };
        QVERIFY(QTest::qWaitFor(keys, 30000));
        QTRY_COMPARE_WITH_TIMEOUT(rig.status("ptt"), QString("1"), 5000);
        ::kill(pid_t(program.processId()), SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(rig.status("ptt"), QString("0"), 1000);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
    }
};

TARNWICK_TEST_CLASS(TestZovDBus)
#include "tst_zovdbus.moc"
