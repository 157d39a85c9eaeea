// The poll cycle against the radio emulator: what the replies do to the
// window, the slow-dial rule, bad replies of every kind, the command queue's
// ownership and the tune request handed over from another thread.

#include "EngineRig.h"
#include "common/TestEnvironment.h"

#include <QApplication>

#include <atomic>
#include <thread>

namespace {

bool allInRadioRange(const QList<qint32> &frequencies)
{
    for (qint32 f : frequencies)
        if (f < TCatEngine::LowestRadioHz || f > TCatEngine::HighestRadioHz)
            return false;
    return true;
}

TFqMarker tuneRequest(qint32 frequency, const QString &mode)
{
    TFqMarker request;
    request.Frequency = frequency;
    request.Caption = QStringLiteral("FT8");
    request.Mode = mode;
    return request;
}

} // namespace

class TestCatPoll : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariable("TARNWICK_RIGSIM").isEmpty(), "TARNWICK_RIGSIM is not set");
    }

    void commandQueueOwnsItsCommands()
    {
        TCommandQueue queue;
        queue.Append(nullptr);
        queue.Replace(nullptr);
        QVERIFY(queue.IsEmpty());
        queue.Append(MakeCommand("0142500001", "01"));
        queue.Append(MakeCommand("0000000081", "81"));
        queue.Replace(MakeCommand("8A0000000A", "0A"));
        queue.Replace(MakeCommand("0705000001", "01")); // takes the place of the first
        queue.Replace(MakeCommand("0000000000", ""));   // no code: appended
        queue.Replace(MakeCommand("0000000000", ""));
        QCOMPARE(queue.Commands(), QStringList({"0705000001", "0000000081", "8A0000000A", "0000000000", "0000000000"}));
        std::unique_ptr<TTcvrCommand> first = queue.TakeFirst();
        QCOMPARE(first->Command, QString("0705000001"));
        QCOMPARE(queue.Count(), 4);
        queue.Clear();
        QVERIFY(queue.IsEmpty());
        QVERIFY(!queue.TakeFirst());
    }

    void pendingTuneKeepsOnlyTheNewest()
    {
        TPendingTune slot;
        QVERIFY(!slot.Take());
        slot.Place(tuneRequest(7074000, "USB"));
        slot.Place(tuneRequest(14074000, "USB"));
        QVERIFY(slot.IsSet());
        const std::optional<TFqMarker> taken = slot.Take();
        QVERIFY(taken);
        QCOMPARE(taken->Frequency, 14074000);
        QVERIFY(!slot.Take());
    }

    void repliesMoveTheWindow()
    {
        EngineRig r({"--smeter", "9"});
        QVERIFY(r.connectAndAnnounce());
        r.tick(3);
        QCOMPARE(r.host.sqlState, 1); // squelch open
        QCOMPARE(r.host.meter, 60);
        QCOMPARE(r.host.meterCaption, QString("60%"));
        QVERIFY(!r.host.ptt);

        r.rig.control("set mode CW");
        r.rig.control("set freq 7030000");
        r.tick(3);
        QCOMPARE(r.host.scaleFrequency, 7030000);
        QCOMPARE(r.host.mode, QString("CW"));
        QCOMPARE(r.host.modePresses, QStringList({"CW"}));
        r.tick(3);
        QCOMPARE(r.host.modePresses.size(), 1); // an unchanged mode presses nothing

        r.rig.control("set power 15");
        r.rig.control("set ptt on");
        const int stops = r.host.scanStops;
        r.tick(3);
        QVERIFY(r.host.ptt);
        QCOMPARE(r.host.sqlState, 2);
        QCOMPARE(r.host.meter, 100);
        QVERIFY(r.host.scanStops > stops);
        r.rig.control("set squelch closed");
        r.tick(3);
        QCOMPARE(r.host.sqlState, 2); // the receive status is ignored while transmitting
        r.rig.control("set ptt off");
        r.tick(6); // the receive status counts again once the key is up
        QVERIFY(!r.host.ptt);
        QCOMPARE(r.host.sqlState, 0);
    }

    void slowDialRereadsTheFrequency()
    {
        EngineRig r({});
        QVERIFY(r.connectAndAnnounce());
        r.tick(3);
        // Within 1 %: the frequency entry comes again at once.
        r.rig.control("set freq 14251000");
        QVERIFY(r.tickUntil([&] { return r.host.scaleFrequency == 14251000; }, 4));
        QVERIFY(r.engine.PollIndex == 0 || r.engine.FreqReportCount % 10 == 0);
        // A jump further away does not.
        r.tick(3 - r.engine.PollIndex);
        QCOMPARE(r.engine.PollIndex, 0);
        r.rig.control("set freq 3700000");
        r.tick();
        QCOMPARE(r.host.scaleFrequency, 3700000);
        QCOMPARE(r.engine.PollIndex, 1);
    }

    void busyScaleAndOpenEditStayUntouched()
    {
        EngineRig r({});
        QVERIFY(r.connectAndAnnounce());
        r.tick(3);
        r.engine.TuningBusy = 1;
        const quint8 reports = r.engine.FreqReportCount;
        r.rig.control("set freq 3700000");
        r.tick(6);
        QCOMPARE(r.host.scaleFrequency, 14250000);
        QVERIFY(quint8(r.engine.FreqReportCount - reports) >= 2); // the reports still count
        r.engine.TuningBusy = 0;
        r.host.editing = true;
        const int refreshes = r.host.displayRefreshes;
        r.tick(3);
        QCOMPARE(r.host.scaleFrequency, 3700000);
        QCOMPARE(r.host.displayRefreshes, refreshes);
    }

    void shiftedReplyRefusedBeforeTheAnnouncementOnly()
    {
        EngineRig r({"--shift", "1"});
        r.engine.Connect();
        r.tick(12);
        QVERIFY(!r.announced());
        QVERIFY(r.lines.contains("Messed data detected: \"0000000003\">\"0001425000\""));
        QVERIFY(r.lines.contains("Messed data detected: \"0000000003\">\"0101425000\""));
        QVERIFY(r.host.assignedFrequencies.isEmpty());
        QVERIFY(!r.engine.IsReplyPlausible("0101425000"));

        r.rig.control("fault none");
        r.rig.control("flush");
        QVERIFY(r.tickUntil([&] { return r.announced(); }));
        r.lines.clear();
        r.rig.control("fault shift 1");
        QVERIFY(r.tickUntil([&] { return r.lines.contains("<0101425000"); }, 30));
        QVERIFY(!r.lines.contains("Messed data detected: \"0000000003\">\"0101425000\""));
        QVERIFY(r.engine.IsReplyPlausible("0101425000"));
        QVERIFY(r.engine.IsConnected());
    }

    void plausibilityRules()
    {
        EngineRig r({});
        r.engine.ConnectAnnounced = true;
        QVERIFY(r.engine.IsReplyPlausible("0142500001"));
        QVERIFY(r.engine.IsReplyPlausible("0142500088")); // FM narrow: high digit 8
        QVERIFY(!r.engine.IsReplyPlausible("0142500041"));
        QVERIFY(!r.engine.IsReplyPlausible("FFFFFFFF00"));
        QVERIFY(!r.engine.IsReplyPlausible("5000000100")); // 500000010 Hz
        QVERIFY(r.engine.IsReplyPlausible("5000000000"));
        QVERIFY(!r.engine.IsReplyPlausible("0000999900")); // 99990 Hz
        QVERIFY(!r.engine.IsReplyPlausible("01425"));
        QVERIFY(!r.engine.IsReplyPlausible(""));

        // Reports outside 100 kHz .. 500 MHz never reach the scale.
        for (qint32 f : {-1, 0, 99999, 500000010, 2147483647})
            r.engine.ApplyRadioFrequency(f);
        QVERIFY(r.host.assignedFrequencies.isEmpty());
        r.engine.ApplyRadioFrequency(100000);
        QCOMPARE(r.host.assignedFrequencies, QList<qint32>({100000}));
    }

    void badRepliesNeverCrashNorTuneToNonsense_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("extra bytes") << "fault extra 3";
        QTest::newRow("short replies") << "fault short 2";
        QTest::newRow("shifted by two") << "fault shift 2";
        QTest::newRow("late replies") << "fault slow 260";
        QTest::newRow("garbage") << "fault extra 9";
    }
    void badRepliesNeverCrashNorTuneToNonsense()
    {
        QFETCH(QString, fault);
        EngineRig r({"--smeter", "random", "--seed", "7"});
        QVERIFY(r.connectAndAnnounce());
        r.rig.control("set freq 3700000");
        QCOMPARE(r.rig.control(fault).left(2), QString("ok"));
        for (int i = 0; i < 40; ++i) {
            r.tick();
            if (i % 8 == 0)
                r.engine.ConnectionWatchdogTmrTimer();
        }
        QVERIFY(allInRadioRange(r.host.assignedFrequencies));
        QVERIFY(r.host.meter >= 0 && r.host.meter <= 100);
        r.engine.Disconnect();
        QCOMPARE(r.host.lastStatus(), QString("Off-line mode. Click COM button to connect to TCVR."));
    }

    void tuneRequestWhileOffLineQueuesNothing()
    {
        EngineRig r({});
        r.engine.PendingTune.Place(tuneRequest(7074000, "LSB"));
        r.tick();
        QCOMPARE(r.host.scaleFrequency, 7074000);
        QCOMPARE(r.host.mode, QString("LSB"));
        QVERIFY(r.engine.CommandQueue.IsEmpty());
        QVERIFY(r.lines.isEmpty());
        QVERIFY(r.host.mainTimerEnabled);
        QVERIFY(r.host.mainTimerPauses > 0);
    }

    void tuneRequestsFromAnotherThread()
    {
        EngineRig r({});
        QVERIFY(r.connectAndAnnounce());
        std::atomic<bool> done{false};
        constexpr int requests = 2000;
        std::thread client([&] {
            for (int i = 1; i <= requests; ++i) {
                r.engine.PendingTune.Place(tuneRequest(7000000 + i * 10, i % 2 ? "USB" : "LSB"));
                if (i % 50 == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            done = true;
        });
        while (!done)
            r.tick();
        client.join();
        r.tick(); // the last request
        QCOMPARE(r.host.scaleFrequency, 7000000 + requests * 10);
        QCOMPARE(r.host.mode, QString("LSB"));
        QVERIFY(!r.engine.PendingTune.IsSet());
        // Its mode and frequency go to the radio, in that order.
        const QStringList queued = r.engine.CommandQueue.Commands();
        QCOMPARE(queued.mid(queued.size() - 2), QStringList({"0000000007", "0070200001"}));
        QVERIFY(r.tickUntil([&] { return r.engine.CommandQueue.IsEmpty(); }, 400));
        QCOMPARE(r.rig.status("freq"), QString("7020000"));
        QCOMPARE(r.rig.status("mode"), QString("LSB"));
    }

    void simulatedConnection()
    {
        EngineRig r({});
        r.host.simulate = true;
        r.engine.Link().SetSimulationDelay([](int) {});
        r.engine.Connect();
        QCOMPARE(r.host.dialogsShown, 1); // simulation always shows the dialog
        QVERIFY(r.tickUntil([&] { return r.host.lastStatus() == "Connected to TCVR (simulated)."; }));
        QVERIFY(r.engine.ConnectAnnounced);
        QCOMPARE(r.rig.status("commands"), QString("0")); // nothing went to the port
    }

    void commandSetTwoRadio()
    {
        EngineRig r({});
        TTcvrType set2 = TcvrTypes[0];
        set2.Model = "TS-2000";
        set2.CommandSet = 2;
        set2.HexCoded = false;
        set2.FrequencyCodeA = "FA";
        set2.FrequencyCodeB = "FB";
        r.engine.SetTcvrTypeOverride(set2);
        r.host.simulate = true;
        r.host.mode = "FSK";
        r.host.scaleFrequency = 3580000;
        r.engine.Link().SetSimulationDelay([](int) {});
        r.engine.Connect();
        QVERIFY(r.tickUntil([&] { return r.engine.ConnectAnnounced; }));
        QVERIFY(r.lines.contains(">IF;"));
        QVERIFY(r.lines.contains(">SM;"));
        QVERIFY(!r.lines.contains(">0000000003"));
        r.host.ptt = true;
        r.tick(2);
        QVERIFY(r.host.ptt);
        QCOMPARE(r.host.sqlState, 2);
        QVERIFY(r.engine.IsReplyPlausible("IF00003580000               0600000 ;"));
        QVERIFY(!r.engine.IsReplyPlausible("IF0000358;0000"));
        QVERIFY(!r.engine.IsReplyPlausible("XX;"));
        // An information reply with an absurd frequency leaves the scale alone.
        const int before = r.host.assignedFrequencies.size();
        r.engine.DecodeReply("IF;", "IF99999999999               01000000;");
        QCOMPARE(r.host.assignedFrequencies.size(), before);
        QCOMPARE(r.host.mode, QString("LSB"));
        QCOMPARE(r.engine.CurrentVfo, QChar('A'));
        r.engine.DecodeReply("IF;", "IF00007050000               03100000;");
        QCOMPARE(r.host.scaleFrequency, 7050000);
        QCOMPARE(r.engine.CurrentVfo, QChar('B'));
    }
};

TARNWICK_TEST_CLASS(TestCatPoll)
#include "tst_catpoll.moc"
