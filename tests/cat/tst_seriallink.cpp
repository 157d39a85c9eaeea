#include "RigProcess.h"
#include "cat/CatLog.h"
#include "cat/SerialLink.h"
#include "common/TestEnvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <chrono>
#include <csignal>
#include <thread>

namespace {

struct StatusLine
{
    QString text;
    quint32 colour;
    bool bold;
};

// A link with its log captured line by line.
struct Harness
{
    TCatLog log;
    QStringList lines;
    QList<StatusLine> statuses;
    TCatLink link{log, [this](const QString &t, quint32 c, bool b) { statuses.append({t, c, b}); }};

    Harness()
    {
        log.SetWindowVisible(true);
        QObject::connect(&log, &TCatLog::EntryAdded, &log, [this](const QString &line) { lines << line; });
    }
    TSerialSettings settings(const QString &port, int model = 0) const
    {
        TSerialSettings s;
        s.Port = port;
        s.TcvrIndex = model;
        s.SpeedText = QStringLiteral("9600");
        s.Dtr = 1;
        s.Rts = 1;
        return s;
    }
    bool logged(const QString &line) const { return lines.contains(line); }
    bool loggedStart(const QString &start) const
    {
        for (const QString &line : lines)
            if (line.startsWith(start))
                return true;
        return false;
    }
};

} // namespace

class TestSerialLink : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariable("TARNWICK_RIGSIM").isEmpty(), "TARNWICK_RIGSIM is not set");
    }

    void pureHelpers()
    {
        QCOMPARE(TCatLink::LineSpeed("4800"), 4800);
        QCOMPARE(TCatLink::LineSpeed("9600"), 9600);
        QCOMPARE(TCatLink::LineSpeed("38400"), 38400);
        QCOMPARE(TCatLink::LineSpeed("57600"), 57600);
        QCOMPARE(TCatLink::LineSpeed("9600 (tcvr default)"), 9600);
        QCOMPARE(TCatLink::LineSpeed("115200"), 4800);
        QCOMPARE(TCatLink::LineSpeed(""), 4800);
        QCOMPARE(TCatLink::DevicePath("ttyUSB0"), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(TCatLink::DevicePath("/dev/pts/7"), QStringLiteral("/dev/pts/7"));
        QCOMPARE(TCatLink::SystemErrorText("No such file or directory.\r\n"), QStringLiteral("No such file or directory"));
        QCOMPARE(TCatLink::SystemErrorText("Done"), QStringLiteral("Done"));
    }

    void readsFrequencyAndModeThroughThePty()
    {
        RigProcess rig({"--model", "FT-817", "--speed", "9600", "--freq", "14250000", "--mode", "CW"});
        QVERIFY(rig.ok());
        Harness h;
        QVERIFY(h.link.OpenComPort(h.settings(rig.path())));
        QVERIFY(h.link.IsOpen());
        QCOMPARE(h.statuses.size(), 1);
        QCOMPARE(h.statuses.at(0).text,
                 QStringLiteral("Initializing COM port. This can take a while if incorrect port selected. Please wait..."));
        QCOMPARE(h.statuses.at(0).colour, 0u);
        QVERIFY(!h.statuses.at(0).bold);
        QCOMPARE(h.lines.last(), QStringLiteral("CAT: COM port initialized succesfully."));
        // A pseudo-terminal has no modem lines: logged, yet the port is fine.
        QVERIFY(h.loggedStart("CAT: DTR line not set: "));

        h.lines.clear();
        const TTransfer t = h.link.SendCommand("0000000003", 5);
        QCOMPARE(t.Result, 1);
        QCOMPARE(t.Count, 5);
        QCOMPARE(t.Reply, QStringLiteral("0142500002"));
        QCOMPARE(h.lines, QStringList({">0000000003", "Writing to COM: 5 Bytes", "<0142500002"}));
        QCOMPARE(rig.status("last"), QStringLiteral("0000000003"));

        const TTransfer rx = h.link.SendCommand("00000000E7", 1);
        QCOMPARE(rx.Result, 1);
        QCOMPARE(rx.Reply, QStringLiteral("80"));
    }

    void setCommandsReachTheRadioAndItsAckIsProbed()
    {
        RigProcess rig({"--model", "FT-857", "--speed", "38400"});
        QVERIFY(rig.ok());
        Harness h;
        QVERIFY(h.link.OpenComPort(h.settings(rig.path(), 2)));
        h.lines.clear();
        const TTransfer t = h.link.SendCommand("1455000001", 10);
        QCOMPARE(t.Result, 1);
        QCOMPARE(t.Count, 1);
        QCOMPARE(t.Reply, QStringLiteral("00"));
        QCOMPARE(h.lines, QStringList({">1455000001", "Writing to COM: 5 Bytes", "Reading from COM: 10 Bytes", "<00"}));
        QCOMPARE(rig.status("freq"), QStringLiteral("145500000"));
        QCOMPARE(rig.status("last"), QStringLiteral("1455000001"));

        // Transmit twice: the radio refuses the second with F0.
        QCOMPARE(h.link.SendCommand("0000000008", 1).Reply, QStringLiteral("00"));
        QCOMPARE(h.link.SendCommand("0000000008", 1).Reply, QStringLiteral("F0"));
        QCOMPARE(h.link.SendCommand("00000000F7", 1).Reply, QStringLiteral("0A"));
        QCOMPARE(h.link.SendCommand("100008850B", 1).Reply, QStringLiteral("00"));
        QCOMPARE(rig.status("txtone"), QStringLiteral("1000"));
        QCOMPARE(rig.status("rxtone"), QStringLiteral("885"));
    }

    void probeWithoutAnswerReturnsOneAfterTheTimeout()
    {
        RigProcess rig({"--model", "FT-817", "--noack"});
        QVERIFY(rig.ok());
        Harness h;
        QVERIFY(h.link.OpenComPort(h.settings(rig.path())));
        h.lines.clear();
        QElapsedTimer timer;
        timer.start();
        const TTransfer t = h.link.SendCommand("0145000001", 10);
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(t.Result, 1);
        QCOMPARE(t.Count, 0);
        QCOMPARE(t.Reply, QString());
        QVERIFY2(elapsed >= 290, qPrintable(QString::number(elapsed)));
        QCOMPARE(h.lines.last(), QStringLiteral("<"));
        QCOMPARE(rig.status("freq"), QStringLiteral("14500000"));
    }

    void shortReplyGivesResultThreeAndE12()
    {
        RigProcess rig({"--model", "FT-817", "--short", "2"});
        QVERIFY(rig.ok());
        Harness h;
        QVERIFY(h.link.OpenComPort(h.settings(rig.path())));
        h.lines.clear();
        const TTransfer t = h.link.SendCommand("0000000003", 5);
        QCOMPARE(t.Result, 3);
        QCOMPARE(t.Count, 3);
        QCOMPARE(t.Reply, QString());
        QVERIFY(h.logged("ERROR [E12]: Insufficient data received from COM: 3"));
        QCOMPARE(h.lines.last(), QStringLiteral("<"));
    }

    void noResponseExpectedThenDrain()
    {
        RigProcess rig({"--model", "FT-897"});
        QVERIFY(rig.ok());
        Harness h;
        QVERIFY(h.link.OpenComPort(h.settings(rig.path(), 3)));
        h.lines.clear();
        const TTransfer t = h.link.SendCommand("0100000007", 0);
        QCOMPARE(t.Result, 2);
        QCOMPARE(t.Count, 0);
        QCOMPARE(h.lines, QStringList({">0100000007", "Writing to COM: 5 Bytes", "Reading from COM: No response expected", "<"}));
        // The acknowledgement nobody read is still on the line: the drain takes it.
        QTest::qWait(50);
        h.lines.clear();
        h.link.Drain();
        QCOMPARE(h.lines, QStringList({"1 bytes discarded."}));
        QVERIFY(h.link.IsOpen());
        QCOMPARE(h.link.SendCommand("0000000003", 5).Reply, QStringLiteral("0142500001"));
    }

    void missingDeviceGivesE1WithTheSystemText()
    {
        Harness h;
        QVERIFY(!h.link.OpenComPort(h.settings("/dev/tarnwick-no-such-port")));
        QVERIFY(!h.link.IsOpen());
        QCOMPARE(h.lines, QStringList({"ERROR [E1]: CreateFile: No such file or directory"}));
        QCOMPARE(h.statuses.size(), 2);
        QCOMPARE(h.statuses.at(1).text, QStringLiteral("Can't initialize COM port [E1]. Click COM button to try again."));
        QCOMPARE(h.statuses.at(1).colour, 0x0000FFu);
        QVERIFY(h.statuses.at(1).bold);
        // A bare name is looked for under /dev.
        h.lines.clear();
        QVERIFY(!h.link.OpenComPort(h.settings("ttyTARNWICK99")));
        QVERIFY(h.loggedStart("ERROR [E1]: CreateFile: "));
        // Transfers on a port that is not open fail with E10 and read nothing.
        h.lines.clear();
        const TTransfer t = h.link.SendCommand("0000000003", 5);
        QCOMPARE(t.Result, 2);
        QVERIFY(h.loggedStart("ERROR [E10]: WriteFile: "));
        QVERIFY(!h.loggedStart("<"));
    }

    void secondOpenOfTheSamePortIsRefused()
    {
        RigProcess rig({"--model", "FT-817"});
        QVERIFY(rig.ok());
        Harness first;
        QVERIFY(first.link.OpenComPort(first.settings(rig.path())));
        Harness second;
        QVERIFY(!second.link.OpenComPort(second.settings(rig.path())));
        QVERIFY(second.loggedStart("ERROR [E1]: CreateFile: "));
        QVERIFY(first.link.IsOpen());
    }

    void garbageLongAndShiftedRepliesStayInBounds()
    {
        RigProcess rig({"--model", "FT-817", "--speed", "38400", "--seed", "7"});
        QVERIFY(rig.ok());
        Harness h;
        QVERIFY(h.link.OpenComPort(h.settings(rig.path())));

        QVERIFY(rig.control("fault shift 1").startsWith("ok"));
        QCOMPARE(h.link.SendCommand("0000000003", 5).Reply, QStringLiteral("0001425000"));
        QCOMPARE(h.link.SendCommand("0000000003", 5).Reply, QStringLiteral("0101425000"));
        QVERIFY(rig.control("fault shift 2").startsWith("ok"));
        QCOMPARE(h.link.SendCommand("0000000003", 5).Reply, QStringLiteral("0000014250"));

        QVERIFY(rig.control("fault none").startsWith("ok"));
        QVERIFY(rig.control("fault extra 300").startsWith("ok"));
        const TTransfer probe = h.link.SendCommand("0000000003", 10);
        QCOMPARE(probe.Result, 1);
        QCOMPARE(probe.Count, 10);
        QCOMPARE(probe.Reply.left(10), QStringLiteral("0142500001"));
        QCOMPARE(probe.Reply.size(), 20);
        const TTransfer exact = h.link.SendCommand("00000000E7", 1);
        QCOMPARE(exact.Count, 1);
        QCOMPARE(exact.Reply.size(), 2);
        QVERIFY(rig.control("fault none").startsWith("ok"));
        QTest::qWait(400);
        h.lines.clear();
        h.link.Drain();
        int discarded = 0;
        for (const QString &line : h.lines) {
            QVERIFY(line.endsWith(" bytes discarded."));
            discarded += line.section(' ', 0, 0).toInt();
        }
        QVERIFY(discarded > 0);
        QCOMPARE(h.link.SendCommand("0000000003", 5).Reply, QStringLiteral("0142500001"));
        // Long expectations are held to the transfer buffer.
        QVERIFY(rig.control("fault extra 400").startsWith("ok"));
        const TTransfer huge = h.link.SendCommand("0000000003", 1000);
        QCOMPARE(huge.Result, 1);
        QCOMPARE(huge.Count, 255);
        QCOMPARE(huge.Reply.size(), 255);
    }

    void emulatorVanishingMidTransferGivesE11AndClosesThePort()
    {
        RigProcess rig({"--model", "FT-817", "--slow", "150"});
        QVERIFY(rig.ok());
        Harness h;
        bool lost = false;
        h.link.SetPortLostHandler([&lost] { lost = true; });
        QVERIFY(h.link.OpenComPort(h.settings(rig.path())));
        const pid_t pid = pid_t(rig.pid());
        std::thread killer([pid] {
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
            ::kill(pid, SIGKILL);
        });
        h.lines.clear();
        const TTransfer t = h.link.SendCommand("0000000003", 5);
        killer.join();
        QCOMPARE(t.Result, 2);
        QVERIFY(h.logged("Reading from COM: 5 Bytes"));
        QVERIFY2(h.loggedStart("ERROR [E11]: ReadFile: "), qPrintable(h.lines.join('|')));
        QVERIFY(!h.link.IsOpen());
        QVERIFY(lost);
        h.lines.clear();
        QCOMPARE(h.link.SendCommand("0000000003", 5).Result, 2);
        QVERIFY(h.loggedStart("ERROR [E10]: WriteFile: "));
        h.link.Drain(); // nothing to drain on a closed port
    }

    void emulatorVanishingDuringAProbeIsNoSuccess()
    {
        RigProcess rig({"--model", "FT-817", "--noack"});
        QVERIFY(rig.ok());
        Harness h;
        QVERIFY(h.link.OpenComPort(h.settings(rig.path())));
        const pid_t pid = pid_t(rig.pid());
        std::thread killer([pid] {
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
            ::kill(pid, SIGKILL);
        });
        h.lines.clear();
        const TTransfer t = h.link.SendCommand("0145000001", 10);
        killer.join();
        QCOMPARE(t.Result, 2);
        QVERIFY(h.logged("Reading from COM: 10 Bytes"));
        QVERIFY2(h.loggedStart("ERROR [E11]: ReadFile: "), qPrintable(h.lines.join('|')));
        QVERIFY(!h.link.IsOpen());
    }

    void emulatorGoneBeforeTheWriteGivesE10OrE11()
    {
        RigProcess rig({"--model", "FT-817"});
        QVERIFY(rig.ok());
        Harness h;
        QVERIFY(h.link.OpenComPort(h.settings(rig.path())));
        rig.killHard();
        h.lines.clear();
        const TTransfer t = h.link.SendCommand("0000000003", 5);
        QCOMPARE(t.Result, 2);
        QVERIFY2(h.loggedStart("ERROR [E10]: WriteFile: ") || h.loggedStart("ERROR [E11]: ReadFile: "), qPrintable(h.lines.join('|')));
        QVERIFY(!h.link.IsOpen());
    }

    void ft847NeedsCatOnAndAnswersNoSetCommand()
    {
        RigProcess rig({"--model", "FT-847"});
        QVERIFY(rig.ok());
        Harness h;
        QVERIFY(h.link.OpenComPort(h.settings(rig.path(), 1)));
        QCOMPARE(h.link.SendCommand("0000000003", 5).Result, 3); // ignored before CAT on
        QCOMPARE(h.link.SendCommand("0000000000", 10).Count, 0);
        QCOMPARE(h.link.SendCommand("0000000003", 5).Reply, QStringLiteral("0142500001"));
        QCOMPARE(h.link.SendCommand("4359000011", 10).Count, 0);
        QCOMPARE(h.link.SendCommand("0000000013", 5).Reply, QStringLiteral("4359000008"));
        QCOMPARE(h.link.SendCommand("00000000E7", 1).Reply, QStringLiteral("80"));
        QCOMPARE(h.link.SendCommand("0000000081", 10).Count, 0); // no VFO toggle
        QCOMPARE(h.link.SendCommand("0000000080", 10).Count, 0);
        QCOMPARE(rig.status("cat"), QStringLiteral("0"));
    }

    void simulatedTransceiver()
    {
        Harness h;
        // Scripted draws: level draws 5 then 9 make a signal, the next draw is its value.
        QList<int> draws{5, 9, 12, 7, 2, 3, 0, 4, 7, 9, 15, 1};
        h.link.SetRandomSource([&draws](int n) {
            const int v = draws.isEmpty() ? 0 : draws.takeFirst();
            return qBound(0, v, n - 1);
        });
        QList<int> waits;
        h.link.SetSimulationDelay([&waits](int ms) { waits << ms; });

        TSimulatorView view{14250000, "USB", false, 10};
        TSimulatedTransfer t = h.link.SimulateCommand("00000000E7", view);
        QCOMPARE(t.Result, 1);
        QCOMPARE(t.Reply, QStringLiteral("8C")); // level 12, meter below 25
        QCOMPARE(t.Count, 1);
        QCOMPARE(waits, QList<int>({27}));
        QCOMPARE(h.lines, QStringList({">00000000E7", "<8C"}));

        t = h.link.SimulateCommand("0000000003", view);
        QCOMPARE(t.Reply, QStringLiteral("0142500001"));
        QCOMPARE(t.Count, 5);
        view.CurrentMode = "WFM";
        QCOMPARE(h.link.SimulateCommand("0000000003", view).Reply, QStringLiteral("0142500008"));
        view.ScaleFrequency = 100000000;
        view.CurrentMode = "LSB";
        QCOMPARE(h.link.SimulateCommand("0000000003", view).Reply, QStringLiteral("1000000006"));
        view.PttDown = true;
        t = h.link.SimulateCommand("00000000F7", view);
        QVERIFY(t.ReleasePtt);
        QVERIFY(quint8(t.Reply.toInt(nullptr, 16)) & 0x80);
        view.ScaleFrequency = 7050000;
        view.CurrentMode = "Sonstwas";
        QCOMPARE(h.link.SimulateCommand("0000000003", view).Reply, QStringLiteral("0070500000"));
        t = h.link.SimulateCommand("00000000F7", view);
        QVERIFY(!t.ReleasePtt);
        QVERIFY(!(quint8(t.Reply.toInt(nullptr, 16)) & 0x80));
        view.MeterValue = 60;
        draws = {0};
        QCOMPARE(h.link.SimulateCommand("00000000E7", view).Reply, QStringLiteral("00"));
        t = h.link.SimulateCommand("0142500001", view);
        QCOMPARE(t.Reply, QStringLiteral("F4"));
        QCOMPARE(t.Count, 1);

        h.link.SetTcvrType(TcvrTypes[1]);
        t = h.link.SimulateCommand("0142500001", view);
        QCOMPARE(t.Reply, QString());
        QCOMPARE(t.Count, 0);

        TTcvrType set2 = TcvrTypes[0];
        set2.CommandSet = 2;
        set2.HexCoded = false;
        h.link.SetTcvrType(set2);
        view = TSimulatorView{14250000, "CW", true, 0};
        t = h.link.SimulateCommand("IF;", view);
        QCOMPARE(t.Reply, QStringLiteral("IF00014250000") + QString(15, ' ') + "13" + QString(7, ' ') + ";");
        QCOMPARE(t.Count, 38);
        draws = {9, 9, 1234};
        QCOMPARE(h.link.SimulateCommand("SM;", view).Reply, QStringLiteral("SM1234;"));
        draws = {1};
        QCOMPARE(h.link.SimulateCommand("SM;", view).Reply, QStringLiteral("SM0000;"));
        QCOMPARE(h.link.SimulateCommand("FA00014250000;", view).Reply, QStringLiteral(";"));
    }
};

TARNWICK_TEST_CLASS(TestSerialLink)
#include "tst_seriallink.moc"
