// Nothing leaves the emulated radio keyed: whoever keyed it through the window
// (a rigctld client, a script, a D-Bus client) going away unkeys it within a
// second, and so does the end of the real program while a client holds it.

#include "MainWindowTestSupport.h"
#include "base/Folders.h"
#include "base/Settings.h"
#include "common/DBusDaemon.h"
#include "remote/Rigctl.h"
#include "remote/RigctldServer.h"
#include "remote/ZovDBus.h"
#include "script/EditScript.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QTcpServer>
#include <QTcpSocket>

#include <csignal>
#include <functional>
#include <sys/socket.h>

namespace {

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void writeProgramFile(const QString &name, const QByteArray &bytes)
{
    QFile file(ProgramFolder() + name);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

} // namespace

class TestMainPtt : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::resetSandbox(); }

    // Each row keys the radio its own way, checks that it is keyed, and
    // makes its holder go away.
    void holderGoingAwayUnkeysTheRadio()
    {
        DBusDaemon bus;
        MainWindowFixture fx(true);
        TTarnwickFrm &w = fx.create();
        const quint16 port = freePort();
        w.SetCommandLineRigctld({true, "127.0.0.1", port});
        w.EditScriptRunner = [](TEditScriptFrm &) { return true; };
        QVERIFY(bus.ok() && w.StartAutomation(bus.address()) && fx.connectToRig({}));
        QTRY_COMPARE(w.StatusText(), QString("Connected to TCVR."));
        RigProcess &rig = *fx.rig;
        const auto keyed = [&] { return QTest::qWaitFor([&] { return rig.status("ptt") == "1"; }, 5000); };
        const auto clientKeys = [&](QTcpSocket &socket) {
            socket.connectToHost(QHostAddress::LocalHost, port);
            return socket.waitForConnected(5000) && socket.write("T 1\n") == 4
                   && QTest::qWaitFor([&] { return socket.canReadLine(); }, 5000) && socket.readLine() == "RPRT 0\n"
                   && keyed();
        };
        const auto scriptRuns = [&](const QByteArray &script, bool stop) {
            writeProgramFile("PROG1.vbs", script);
            bool wasKeyed = false;
            // First while the script sleeps after keying.
            QTimer::singleShot(0, &w, [&] {
                wasKeyed = keyed();
                if (stop)
                    w.Prog1Btn->click();
            });
            w.Prog1Btn->click();
            return wasKeyed;
        };
        const QString client = "PTT released: the client 127\\.0\\.0\\.1:\\d+ went away\\.";
        const struct
        {
            const char *name;
            std::function<bool()> keyAndGo;
            QString said;
        } rows[] = {
            {"client closes", [&] { QTcpSocket s; return clientKeys(s) && (s.disconnectFromHost(), true); }, client},
            {"client resets",
             [&] {
                 QTcpSocket s;
                 const ::linger reset{1, 0};
                 const bool ok = clientKeys(s);
                 ::setsockopt(int(s.socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
                 s.abort();
                 return ok;
             },
             client},
            {"client sends garbage",
             [&] {
                 QTcpSocket s;
                 return clientKeys(s) && s.write("\x01\n") == 2
                        && QTest::qWaitFor([&] { return s.state() == QAbstractSocket::UnconnectedState; }, 5000);
             },
             client},
            {"Hamlib's rigctl", [&] { return rigctl::run("2", "127.0.0.1:" + QString::number(port), {"T", "1"}).isEmpty(); },
             client},
            {"script stopped", [&] { return scriptRuns("Zov.Ptt = True\r\nDo : Zov.Sleep 20 : Loop\r\n", true); },
             "PTT released: the script PROG 1 was stopped\\."},
            {"script fails", [&] { return scriptRuns("Zov.Ptt = True\r\nZov.Sleep 20\r\nx = 1 / 0\r\n", false); },
             "PTT released: the script PROG 1 failed\\."},
            {"D-Bus client leaves",
             [&] {
                 QDBusConnection caller = QDBusConnection::connectToBus(bus.address(), "ptt-caller");
                 caller.asyncCall(QDBusMessage::createMethodCall(ZovDBus::Service, ZovDBus::Path,
                                                                 "org.freedesktop.DBus.Properties", "Set")
                                  << ZovDBus::Interface << "Ptt" << QVariant::fromValue(QDBusVariant(true)));
                 const bool ok = keyed();
                 QDBusConnection::disconnectFromBus("ptt-caller");
                 return ok;
             },
             "PTT released: the D-Bus client :1\\.\\d+ left the bus\\."},
        };
        for (const auto &row : rows) {
            fx.logLines.clear();
            QVERIFY2(row.keyAndGo(), row.name);
            QTRY_COMPARE_WITH_TIMEOUT(rig.status("ptt"), QString("0"), 1000);
            const QRegularExpression said("^" + row.said + "$");
            QVERIFY2(said.match(w.StatusText()).hasMatch(), qPrintable(w.StatusText()));
            QCOMPARE(fx.logLines.filter(said).size(), 1);
        }

        // A later holder takes over: the earlier one's going releases
        // nothing. A script that ends by itself leaves the radio keyed on
        // purpose, and the PTT key names it.
        fx.logLines.clear();
        QTcpSocket first, second;
        QVERIFY(clientKeys(first) && clientKeys(second));
        first.disconnectFromHost();
        QTRY_COMPARE(w.RigctldServer->ClientCount(), 1);
        QVERIFY(scriptRuns("Zov.Ptt = False\r\nZov.Ptt = True\r\nZov.Sleep 20\r\n", false));
        QCOMPARE(w.PttBtn->toolTip(), QString("PTT held by the script PROG 1"));
        second.disconnectFromHost();
        QTRY_COMPARE(w.RigctldServer->ClientCount(), 0);
        QCOMPARE(fx.logLines.filter("PTT released").size(), 0);
        QCOMPARE(rig.status("ptt"), QString("1"));
    }

    // The program ends on SIGTERM while a client holds the transmitter.
    void sigtermUnkeysTheRadio()
    {
        for (const char *name : {"Bands.tsv", "Modes.tsv", "FqMarkers.tsv"})
            writeProgramFile(name, "; It is highly recommended\r\n");
        WriteSetting("ConnectSuccess", "1");
        RigProcess rig({"--model", "FT-817"});
        QVERIFY(rig.ok());
        const quint16 port = freePort();
        QProcess program;
        program.start(QCoreApplication::applicationDirPath() + "/tarnwick",
                      {"--port", rig.path(), "--model", "FT-817", "--rigctld", QString::number(port)});
        QTcpSocket client;
        QVERIFY(QTest::qWaitFor(
            [&] {
                client.connectToHost(QHostAddress::LocalHost, port);
                if (client.waitForConnected(200) && client.write("T 1\n") && client.waitForReadyRead(2000)
                    && client.readAll() == "RPRT 0\n")
                    return true;
                client.abort();
                return false;
            },
            30000));
        QTRY_COMPARE_WITH_TIMEOUT(rig.status("ptt"), QString("1"), 5000);
        ::kill(pid_t(program.processId()), SIGTERM);
        QTRY_COMPARE_WITH_TIMEOUT(rig.status("ptt"), QString("0"), 1000);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
    }
};

TARNWICK_TEST_CLASS(TestMainPtt)
#include "tst_mainptt.moc"
