// The connection engine end to end against the radio emulator: connect and
// disconnect, the integrity check, the watchdog (driven by the test's own
// clock), acknowledgement learning, the start-up commands.

#include "EngineRig.h"
#include "common/TestEnvironment.h"

#include <QApplication>

namespace {

const QString Offline = QStringLiteral("Off-line mode. Click COM button to connect to TCVR.");
constexpr quint32 Red = 0x0000FF;

} // namespace

class TestCatEngine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariable("TARNWICK_RIGSIM").isEmpty(), "TARNWICK_RIGSIM is not set");
    }

    void firstConnectNeedsSixEqualRepliesReconnectFive()
    {
        EngineRig r({});
        QVERIFY(r.rig.ok());
        r.host.settings.remove("ConnectSuccess"); // never connected: the dialog comes first
        r.engine.Connect();
        QCOMPARE(r.host.dialogsShown, 1);
        QVERIFY(r.engine.IsConnected());
        QCOMPARE(r.host.lastStatus(), QString("Data integrity check..."));
        QCOMPARE(r.host.settings.value("ConnectSuccess"), QString("1"));
        QCOMPARE(r.host.settings.value("Connected"), QString("1"));
        QVERIFY(r.host.watchdogEnabled);
        QCOMPARE(r.host.watchdogInterval, 1000);
        QVERIFY(r.host.vfoKeysEnabled);
        QVERIFY(r.host.splitIndeterminateCalls > 0);
        QCOMPARE(r.count("CAT: Communication  (re)started."), 1);

        int frequencyReads = 0;
        for (int i = 0; i < 40 && !r.announced(); ++i) {
            r.tick();
            frequencyReads = r.count(">0000000003");
            if (!r.announced())
                QVERIFY(!r.engine.ConnectAnnounced);
        }
        QVERIFY(r.announced());
        QCOMPARE(frequencyReads, 6);
        QVERIFY(r.engine.ConnectAnnounced);
        QCOMPARE(r.engine.IntegrityCountdown, 0);
        QCOMPARE(r.engine.LastIntegrityReply, QString("0142500001"));

        r.engine.Disconnect();
        QVERIFY(!r.engine.IsConnected());
        QCOMPARE(r.host.lastStatus(), Offline);
        QVERIFY(!r.host.watchdogEnabled);

        // A reconnect to a radio that has not moved: five replies, no dialog.
        r.lines.clear();
        r.engine.Connect();
        QCOMPARE(r.host.dialogsShown, 1);
        QVERIFY(r.tickUntil([&] { return r.announced(); }));
        QCOMPARE(r.count(">0000000003"), 5);
    }

    void aChangedReplyRestartsTheCount()
    {
        EngineRig r({});
        r.engine.Connect();
        // Three equal replies, then the dial moves: five more equal ones are needed.
        QVERIFY(r.tickUntil([&] { return r.count(">0000000003") == 4; }));
        QCOMPARE(r.engine.IntegrityCountdown, 2);
        QCOMPARE(r.rig.control("set freq 7050000"), QString("ok set freq 7050000"));
        QVERIFY(r.tickUntil([&] { return r.announced(); }));
        QCOMPARE(r.count(">0000000003"), 4 + 1 + 5);
        QCOMPARE(r.engine.IntegrityMismatches, 2);
    }

    void twentyOneChangingRepliesGiveE22()
    {
        EngineRig r({"--drift", "21"});
        r.engine.Connect();
        QVERIFY(r.engine.IsConnected());
        QVERIFY(r.tickUntil([&] { return !r.engine.IsConnected(); }));
        QCOMPARE(r.count(">0000000003"), 21);
        QCOMPARE(r.count("ERROR [E22]: Data integrity check failed."), 1);
        QCOMPARE(r.host.lastStatus(), QString("Data integrity check failed [E22]."));
        QCOMPARE(r.host.statuses.last().colour, Red);
        QVERIFY(r.host.statuses.last().bold);
        QCOMPARE(r.host.settings.value("ConnectSuccess"), QString("0"));
        QVERIFY(!r.engine.ConnectAnnounced);
        QVERIFY(r.host.assignedFrequencies.isEmpty()); // nothing reached the scale
        // The next connect asks for the settings again.
        r.rig.control("fault none");
        r.engine.Connect();
        QCOMPARE(r.host.dialogsShown, 1);
        QVERIFY(r.tickUntil([&] { return r.announced(); }));
    }

    void twentyChangingRepliesStillConnect()
    {
        EngineRig r({"--drift", "20"});
        QVERIFY(r.connectAndAnnounce());
        QCOMPARE(r.count(">0000000003"), 25);
        QCOMPARE(r.count("ERROR [E22]: Data integrity check failed."), 0);
    }

    void silentRadioCountsDownThenGivesUp()
    {
        EngineRig r({"--silence"});
        r.engine.Connect();
        QVERIFY(r.engine.IsConnected());
        r.host.ptt = true;
        r.host.meter = 60;
        r.host.sqlState = 1;
        // The test is the clock: one poll, then the watchdog's interval is over.
        for (int expiry = 1; expiry <= 10; ++expiry) {
            r.tick();
            QVERIFY(!r.host.statuses.isEmpty());
            r.engine.ConnectionWatchdogTmrTimer();
            QCOMPARE(r.engine.WatchdogRetries, expiry);
            const FakeStatus &status = r.host.statuses.last();
            QCOMPARE(status.text, QString("No communication with TCVR [E20]. Retrying...[%1]").arg(11 - expiry));
            QCOMPARE(status.colour, Red);
            QVERIFY(!status.bold);
            QVERIFY(!r.host.ptt);
            QCOMPARE(r.host.meter, 0);
            QCOMPARE(r.host.sqlState, 0);
            QVERIFY(r.engine.IsConnected());
        }
        QCOMPARE(r.count("ERROR [E20]: No communication with TCVR. Retrying..."), 10);
        r.tick();
        r.engine.ConnectionWatchdogTmrTimer();
        QVERIFY(!r.engine.IsConnected());
        QCOMPARE(r.count("ERROR [E21]: No communication with TCVR."), 1);
        QCOMPARE(r.host.lastStatus(), QString("No communication with TCVR [E21]. Click COM button to connect again."));
        QVERIFY(r.host.statuses.last().bold);
        QCOMPARE(r.host.settings.value("ConnectSuccess"), QString("0"));
        QVERIFY(!r.host.watchdogEnabled);
        // The E20 lines came in countdown order, with nothing else between.
        QStringList countdown;
        for (const FakeStatus &status : std::as_const(r.host.statuses))
            if (status.text.contains("[E20]"))
                countdown << status.text.section('[', 2).chopped(1);
        QCOMPARE(countdown, QStringList({"10", "9", "8", "7", "6", "5", "4", "3", "2", "1"}));
    }

    void repliesAfterARetryRestartTheCheck()
    {
        EngineRig r({});
        QVERIFY(r.connectAndAnnounce());
        r.rig.control("fault silence on");
        r.tick(3);
        r.engine.ConnectionWatchdogTmrTimer();
        QCOMPARE(r.host.lastStatus(), QString("No communication with TCVR [E20]. Retrying...[10]"));
        r.rig.control("fault silence off");
        const int restarts = r.host.watchdogRestarts;
        QVERIFY(r.tickUntil([&] { return r.engine.WatchdogRetries == 0; }, 10));
        QCOMPARE(r.host.lastStatus(), QString("Data integrity check [E22]..."));
        QCOMPARE(r.host.statuses.last().colour, Red);
        QVERIFY(r.host.watchdogRestarts > restarts);
        QVERIFY(r.tickUntil([&] { return r.announced(); }));
    }

    void disconnectInAnyStateGoesOffline()
    {
        // Checking
        {
            EngineRig r({});
            r.engine.Connect();
            r.tick(2);
            r.engine.Disconnect();
            QCOMPARE(r.host.lastStatus(), Offline);
            QVERIFY(!r.engine.IsConnected());
            r.tick(3); // ticks while off-line send nothing
            QCOMPARE(r.countStarting(">"), 2);
        }
        // Retrying, with commands left in the queue
        {
            EngineRig r({"--silence"});
            r.engine.Connect();
            r.engine.ConnectionWatchdogTmrTimer();
            r.engine.QueueCommand(MakeCommand("0000000081", "81"));
            r.engine.Disconnect();
            QCOMPARE(r.host.lastStatus(), Offline);
            QVERIFY(!r.host.ptt);
            QCOMPARE(r.engine.CommandQueue.Count(), 1); // discarded at the next start
            r.rig.control("fault none");
            r.engine.Connect();
            QCOMPARE(r.engine.CommandQueue.Count(), 0);
        }
        // Off-line already, and a port that cannot be opened
        {
            EngineRig r({});
            r.engine.Disconnect();
            QCOMPARE(r.host.lastStatus(), Offline);
            QCOMPARE(r.countStarting("ERROR"), 0);
            r.host.serial.Port = "/dev/no-such-tty";
            r.engine.Connect();
            QVERIFY(!r.engine.IsConnected());
            QCOMPARE(r.host.lastStatus(), QString("Can't initialize COM port [E1]. Click COM button to try again."));
            QCOMPARE(r.host.settings.value("ConnectSuccess"), QString("0"));
            QCOMPARE(r.host.settings.value("Connected"), QString("0"));
            r.engine.Disconnect();
            QCOMPARE(r.host.lastStatus(), Offline);
        }
        // A cancelled dialog changes nothing
        {
            EngineRig r({});
            r.host.ctrlHeld = true;
            r.host.dialogAnswer = false;
            r.engine.Connect();
            QCOMPARE(r.host.dialogsShown, 1);
            QVERIFY(!r.engine.IsConnected());
            QCOMPARE(r.host.lastStatus(), Offline);
            QVERIFY(!r.host.settings.contains("Connected"));
        }
    }

    void acknowledgementLearning()
    {
        // A radio that never answers set commands.
        EngineRig r({"--noack"});
        QVERIFY(r.connectAndAnnounce());
        r.engine.QueueReplacingCommand(MakeFrequencyCommand(7050000, r.engine.GetTcvrType(), u'A'));
        r.tick();
        QCOMPARE(r.count("Command \"0070500001\" returned: 0 byte(s)."), 1);
        QCOMPARE(r.engine.AckLength, 0);
        r.lines.clear();
        r.engine.QueueReplacingCommand(MakeFrequencyCommand(7060000, r.engine.GetTcvrType(), u'A'));
        r.tick();
        QCOMPARE(r.lines, QStringList({">0070600001", "Writing to COM: 5 Bytes", "Reading from COM: No response expected",
                                       "<"}));
        QCOMPARE(r.rig.status("freq"), QString("7060000"));

        // The FT-817 answers one byte; the learned length is used from then on.
        EngineRig a({});
        QVERIFY(a.connectAndAnnounce());
        a.engine.QueueReplacingCommand(MakeFrequencyCommand(3550000, a.engine.GetTcvrType(), u'A'));
        a.tick();
        QCOMPARE(a.count("Command \"0035500001\" returned: 1 byte(s)."), 1);
        QCOMPARE(a.engine.AckLength, 1);
        a.engine.QueueReplacingCommand(MakeFrequencyCommand(3560000, a.engine.GetTcvrType(), u'A'));
        a.tick();
        QCOMPARE(a.countStarting("Command \""), 1);
        QCOMPARE(a.lines.at(a.lines.size() - 2), QString("Writing to COM: 5 Bytes"));
        QCOMPARE(a.lines.last(), QString("<00"));
    }

    void pcToTcvrSyncSendsModeThenFrequency()
    {
        EngineRig r({});
        r.host.initSynchron = 1;
        r.host.mode = "LSB";
        r.host.scaleFrequency = 7050000;
        r.engine.Connect();
        QCOMPARE(r.engine.CommandQueue.Commands(), QStringList({"0000000007", "0070500001"}));
        r.tick(2);
        QCOMPARE(r.rig.status("mode"), QString("LSB"));
        QCOMPARE(r.rig.status("freq"), QString("7050000"));
        QVERIFY(r.tickUntil([&] { return r.announced(); }));
        QCOMPARE(r.host.scaleFrequency, 7050000);

        // TCVR -> PC queues nothing; the radio's frequency comes to the window.
        EngineRig t({"--freq", "21074000"});
        t.engine.Connect();
        QVERIFY(t.engine.CommandQueue.IsEmpty());
        QVERIFY(t.tickUntil([&] { return t.announced(); }));
        t.tick(3);
        QCOMPARE(t.host.scaleFrequency, 21074000);
        QCOMPARE(t.host.mode, QString("USB"));
    }

    void ft847CatOnFirstAndCatOffWhenLeaving()
    {
        EngineRig r({"--model", "FT-847"}, 1);
        r.engine.Connect();
        QCOMPARE(r.host.watchdogInterval, 3000);
        QVERIFY(!r.host.vfoKeysEnabled);
        QCOMPARE(r.engine.CommandQueue.Commands(), QStringList({"0000000000"}));
        QCOMPARE(r.engine.CommandQueue.Codes(), QStringList({""}));
        QVERIFY(r.tickUntil([&] { return r.announced(); }));
        QCOMPARE(r.rig.status("cat"), QString("1"));
        r.engine.Disconnect();
        QVERIFY(r.host.vfoKeysEnabled);
        QCOMPARE(r.rig.status("cat"), QString("0"));
        QVERIFY(r.lines.contains(">0000000080"));
    }
};

TARNWICK_TEST_CLASS(TestCatEngine)
#include "tst_catengine.moc"
