#include "FakeEngineHost.h"
#include "RigProcess.h"
#include "cat/CatLog.h"
#include "cat/SerialLink.h"
#include "cat/SerialTransport.h"
#include "cat/SimulatedTransport.h"
#include "common/TestEnvironment.h"

#include <QApplication>
#include <QSignalSpy>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

namespace {

// A link with its log captured line by line.
struct Harness
{
    TCatLog log;
    QStringList lines;
    QList<FakeStatus> statuses;
    TCatLink link{log, [this](const QString &t, quint32 c, bool b) { statuses.append({t, c, b}); }};

    Harness()
    {
        log.SetWindowVisible(true);
        QObject::connect(&log, &TCatLog::EntryAdded, &log, [this](const QString &line) { lines << line; });
    }
    bool open(const QString &port, int model = 0)
    {
        TSerialSettings s;
        s.Port = port;
        s.TcvrIndex = model;
        s.SpeedText = QStringLiteral("38400");
        s.Dtr = s.Rts = 1;
        const bool ok = link.OpenComPort(s);
        lines.clear();
        return ok;
    }
    bool logged(const QString &start) const
    {
        return std::any_of(lines.begin(), lines.end(), [&start](const QString &line) { return line.startsWith(start); });
    }
};

} // namespace

class TestSerialLink : public QObject
{
    Q_OBJECT
private slots:
    void pureHelpers()
    {
        const QList<QPair<QString, int>> speeds = {{"4800", 4800}, {"9600", 9600}, {"38400", 38400}, {"57600", 57600},
                                                   {"9600 (tcvr default)", 9600}, {"115200", 4800}, {"", 4800}};
        for (const auto &[text, speed] : speeds)
            QCOMPARE(TCatLink::LineSpeed(text), speed);
        QCOMPARE(TCatLink::DevicePath("ttyUSB0"), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(TCatLink::DevicePath("/dev/pts/7"), QStringLiteral("/dev/pts/7"));
        QCOMPARE(TCatLink::SystemErrorText("No such file or directory.\r\n"), QStringLiteral("No such file or directory"));
    }

    void transfersThroughThePty()
    {
        RigProcess rig({"--model", "FT-857", "--speed", "38400", "--mode", "CW"});
        Harness h;
        QVERIFY(h.link.OpenComPort(TSerialSettings{rig.path(), 2, "38400", 0, 0}));
        QCOMPARE(h.statuses.size(), 1);
        QCOMPARE(h.lines.last(), QStringLiteral("CAT: COM port initialized succesfully."));
        h.lines.clear();
        TTransfer t = h.link.SendCommand("0000000003", 5);
        QCOMPARE(t.Result, 1);
        QCOMPARE(h.lines, QStringList({">0000000003", "Writing to COM: 5 Bytes", "<0142500002"}));

        // A set command with its acknowledgement probed.
        h.lines.clear();
        t = h.link.SendCommand("1455000001", 10);
        QCOMPARE(t.Result, 1);
        QCOMPARE(t.Count, 1);
        QCOMPARE(h.lines, QStringList({">1455000001", "Writing to COM: 5 Bytes", "Reading from COM: 10 Bytes", "<00"}));
        QCOMPARE(rig.status("freq"), QStringLiteral("145500000"));
    }

    void missingRepliesAndStrayBytes()
    {
        RigProcess rig({"--model", "FT-817", "--speed", "38400", "--noack"});
        Harness h;
        QVERIFY(h.open(rig.path()));
        // A probe that gets nothing is still result 1, with an empty reply.
        TTransfer t = h.link.SendCommand("0145000001", 10);
        QCOMPARE(t.Result, 1);
        QCOMPARE(t.Count, 0);
        QCOMPARE(h.lines.last(), QStringLiteral("<"));

        // No response expected: nothing is read, and the acknowledgement that
        // then comes after all is thrown away before the next command.
        rig.control("fault noack off");
        h.lines.clear();
        t = h.link.SendCommand("0100000007", 0);
        QCOMPARE(t.Result, 2);
        QCOMPARE(h.lines, QStringList({">0100000007", "Writing to COM: 5 Bytes", "Reading from COM: No response expected", "<"}));
        QTest::qWait(50);
        h.lines.clear();
        t = h.link.SendCommand("0000000003", 5);
        QCOMPARE(t.Discarded, 1);
        QCOMPARE(h.lines.first(), QStringLiteral("1 bytes discarded."));
        QCOMPARE(t.Reply, QStringLiteral("0145000001"));

        // Three of five bytes: result 3, E12 and an empty reply.
        rig.control("fault short 2");
        h.lines.clear();
        t = h.link.SendCommand("0000000003", 5);
        QCOMPARE(t.Result, 3);
        QCOMPARE(t.Reply, QString());
        QVERIFY(h.lines.contains("ERROR [E12]: Insufficient data received from COM: 3"));

        // Long replies: a probe keeps ten bytes, a huge expectation the buffer.
        rig.control("fault none");
        rig.control("fault extra 400");
        t = h.link.SendCommand("0000000003", 10);
        QCOMPARE(t.Count, 10);
        QCOMPARE(t.Reply.left(10), QStringLiteral("0145000001"));
        QTest::qWait(200);
        h.lines.clear();
        h.link.Drain();
        int discarded = 0;
        for (const QString &line : std::as_const(h.lines))
            discarded += line.endsWith(" bytes discarded.") ? line.section(u' ', 0, 0).toInt() : 0;
        QCOMPARE(discarded, 395);
        t = h.link.SendCommand("0000000003", 1000);
        QCOMPARE(t.Count, 255);
    }

    void missingOrBusyPortGivesE1()
    {
        Harness h;
        QVERIFY(!h.open("/dev/tarnwick-no-such-port"));
        QCOMPARE(h.statuses.size(), 2);
        QCOMPARE(h.statuses.at(1).text, QStringLiteral("Can't initialize COM port [E1]. Click COM button to try again."));
        QCOMPARE(h.statuses.at(1).colour, 0x0000FFu);
        // Transfers on a port that is not open fail with E10 and read nothing.
        const TTransfer t = h.link.SendCommand("0000000003", 5);
        QCOMPARE(t.Result, 2);
        QVERIFY(h.logged("ERROR [E10]: WriteFile: "));
        QVERIFY(!h.logged("<"));

        RigProcess rig({"--model", "FT-817"});
        Harness first, second;
        QVERIFY(first.open(rig.path()));
        QVERIFY(!second.open(rig.path()));
        QCOMPARE(second.statuses.last().text, QStringLiteral("Can't initialize COM port [E1]. Click COM button to try again."));
    }

    void openFailureAdvice()
    {
        QCOMPARE(TCatLink::OpenFailureAdvice("Permission denied", "/dev/ttyUSB0"),
                 QString("No permission for /dev/ttyUSB0: add your user to the \"dialout\" group "
                         "(sudo adduser $USER dialout) and log in again."));
        QCOMPARE(TCatLink::OpenFailureAdvice("No such file or directory", "/dev/ttyUSB0"), QString());
    }

    void portVanishing_data()
    {
        QTest::addColumn<QStringList>("rigArguments");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("killAfterMs"); // -1: before the write
        QTest::newRow("before the write") << QStringList{"--model", "FT-817"} << 5 << -1;
        QTest::newRow("during a read") << QStringList{"--model", "FT-817", "--slow", "150"} << 5 << 40;
        QTest::newRow("during a probe") << QStringList{"--model", "FT-817", "--noack"} << 10 << 60;
    }
    void portVanishing()
    {
        QFETCH(QStringList, rigArguments);
        QFETCH(int, expected);
        QFETCH(int, killAfterMs);
        RigProcess rig(rigArguments);
        Harness h;
        int lost = 0;
        h.link.SetPortLostHandler([&lost] { ++lost; });
        QVERIFY(h.open(rig.path()));
        const pid_t pid = pid_t(rig.pid());
        if (killAfterMs < 0)
            rig.killHard();
        std::thread killer([pid, killAfterMs] {
            if (killAfterMs >= 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(killAfterMs));
                ::kill(pid, SIGKILL);
            }
        });
        const TTransfer t = h.link.SendCommand("0000000003", expected);
        killer.join();
        QCOMPARE(t.Result, 2); // a vanished port is no reply, not even for a probe
        QVERIFY2(h.logged("ERROR [E11]: ReadFile: ") || h.logged("ERROR [E10]: WriteFile: "),
                 qPrintable(h.lines.join('|')));
        QVERIFY(!h.link.IsOpen());
        h.link.Drain(); // nothing to drain on a closed port
        QCOMPARE(h.link.SendCommand("0000000003", 5).Result, 2);
        QCOMPARE(lost, 1);
    }

    // The link's thread answers later; an answer for a link that was closed,
    // reopened or destroyed meanwhile never arrives.
    void transportDropsTheAnswersOfAClosedLink()
    {
        RigProcess rig({"--model", "FT-817", "--speed", "38400", "--slow", "100"});
        TCatLog log;
        QStringList answers;
        auto open = [&](TSerialTransport &port) {
            QSignalSpy opened(&port, &TCatTransport::Opened);
            port.Open(TSerialSettings{rig.path(), 0, "38400", 0, 0}, TcvrTypes[0]);
            return opened.wait(5000) && opened.at(0).at(0).toBool() && port.IsOpen();
        };
        auto ask = [&](TSerialTransport &port, const QString &name) {
            port.Transfer("0000000003", 5, [&answers, name](const TTransfer &t) { answers << name + ' ' + t.Reply; });
        };
        {
            TSerialTransport port(log);
            QVERIFY(open(port));
            ask(port, "closed");
            port.Close();
            QVERIFY(!port.IsOpen());
            QVERIFY(open(port));
            ask(port, "reopened");
            port.WaitUntilIdle();
            QCOMPARE(answers, QStringList({"reopened 0142500001"}));
            ask(port, "destroyed"); // in flight when the port goes
        }
        QTest::qWait(300);
        QCOMPARE(answers, QStringList({"reopened 0142500001"}));
    }

    void simulatedTransceiver()
    {
        TRadioSimulator sim;
        // Scripted draws: level draws 5 then 9 make a signal, the next draw is its value.
        QList<int> draws{5, 9, 12, 7};
        sim.SetRandomSource([&draws](int n) { return qBound(0, draws.isEmpty() ? 0 : draws.takeFirst(), n - 1); });
        const TTcvrType &ft817 = TcvrTypes[0];
        TSimulatorView view{14250000, "WFM", false, 10};
        TTransfer t = sim.Answer("00000000E7", view, ft817);
        QCOMPARE(t.Reply, QStringLiteral("8C")); // level 12, meter below 25
        QCOMPARE(sim.Delay(), 27);
        t = sim.Answer("0000000003", view, ft817);
        QCOMPARE(t.Reply, QStringLiteral("0142500008")); // WFM outside the broadcast band reads FM
        view.CurrentMode = "FSK"; // no mode byte of its own: LSB's
        QCOMPARE(sim.Answer("0000000003", view, ft817).Reply, QStringLiteral("0142500000"));
        view = TSimulatorView{100000000, "LSB", true, 60};
        QCOMPARE(sim.Answer("0000000003", view, ft817).Reply, QStringLiteral("1000000006"));
        t = sim.Answer("00000000F7", view, ft817);
        QVERIFY(t.ReleasePtt); // no transmitting in the broadcast band
        QCOMPARE(t.Reply, QStringLiteral("80"));
        view.ScaleFrequency = 7050000;
        QCOMPARE(sim.Answer("00000000F7", view, ft817).Reply, QStringLiteral("00"));
        QCOMPARE(sim.Answer("0142500001", view, ft817).Reply, QStringLiteral("F4"));
        QCOMPARE(sim.Answer("0142500001", view, TcvrTypes[1]).Count, 0);
        TTcvrType set2 = TcvrTypes[0];
        set2.CommandSet = 2;
        view = TSimulatorView{14250000, "CW", true, 0};
        t = sim.Answer("IF;", view, set2);
        QCOMPARE(t.Reply, QStringLiteral("IF00014250000") + QString(15, ' ') + "13" + QString(7, ' ') + ";");
        draws = {9, 9, 1234};
        QCOMPARE(sim.Answer("SM;", view, set2).Reply, QStringLiteral("SM1234;"));
        QCOMPARE(sim.Answer("FA00014250000;", view, set2).Reply, QStringLiteral(";"));
    }
};

TARNWICK_TEST_CLASS(TestSerialLink)
#include "tst_seriallink.moc"
