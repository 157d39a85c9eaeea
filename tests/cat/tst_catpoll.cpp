#include "EngineRig.h"
#include "cat/SimulatedTransport.h"

#include <QApplication>

#include <atomic>
#include <thread>

namespace {

TTuneRequest tuneRequest(qint32 frequency, const QString &mode)
{
    return {frequency, mode, {}};
}

// The engine with the stand-in window and no port: for what needs no radio.
struct Offline
{
    FakeEngineHost host;
    TCatLog log;
    TCatEngine engine{host, log};
    Offline()
    {
        engine.SetManualTimers(true);
        host.watch(engine);
    }
};

} // namespace

class TestCatPoll : public QObject
{
    Q_OBJECT
private slots:
    void commandQueueOwnsItsCommands()
    {
        TCommandQueue queue;
        queue.Append(nullptr);
        queue.Append(MakeCommand("0142500001", "01"));
        queue.Append(MakeCommand("0000000081", "81"));
        queue.Append(MakeCommand("0143000001", "01"));
        queue.Replace(MakeCommand("8A0000000A", "0A"));
        queue.Replace(MakeCommand("0705000001", "01")); // takes the place of the last
        queue.Replace(MakeCommand("0000000000", ""));   // no code: appended
        queue.Replace(MakeCommand("0000000000", ""));
        QCOMPARE(queue.Commands(), QStringList({"0142500001", "0000000081", "0705000001", "8A0000000A", "0000000000",
                                                "0000000000"}));
        QCOMPARE(queue.TakeFirst()->Command, QString("0142500001"));
        // Nothing takes a place before a VFO change: it would reach the other VFO.
        queue.Append(MakeVfoToggleCommand(TcvrTypes[0], u'A'));
        queue.Replace(MakeCommand("0707500001", "01"));
        QCOMPARE(queue.Commands().mid(1), QStringList({"0705000001", "8A0000000A", "0000000000", "0000000000",
                                                       "0000000081", "0707500001"}));
        // A reading thrown away hears an empty reply.
        QStringList heard;
        queue.Append(MakeEepromReadCommand(0x55, [&heard](const QString &reply) { heard << reply; }));
        queue.Clear();
        QVERIFY(!queue.TakeFirst());
        QCOMPARE(heard, QStringList({""}));
    }

    void repliesMoveTheWindow()
    {
        EngineRig r({"--smeter", "9"});
        QVERIFY(r.connectAndAnnounce());
        r.tick(3);
        const TRadioState &state = r.engine.State();
        QCOMPARE(state.Receive(), TReceive::Receiving); // squelch open
        QCOMPARE(state.Meter(), 60);

        r.rig.control("set mode CW");
        r.rig.control("set freq 7030000");
        r.tick(3);
        QCOMPARE(r.host.scaleFrequency, 14250000); // a jump is read once more first
        r.tick(3);
        QCOMPARE(r.host.scaleFrequency, 7030000);
        QCOMPARE(r.host.modePresses, QStringList({"CW"}));
        r.tick(3);
        QCOMPARE(r.host.modePresses.size(), 1); // an unchanged mode presses nothing

        r.rig.control("set power 15");
        r.rig.control("set ptt on");
        const int stops = r.host.scanStops;
        r.tick(3);
        QVERIFY(state.Ptt());
        QCOMPARE(state.Receive(), TReceive::Transmitting);
        QCOMPARE(state.Meter(), 100);
        QVERIFY(r.host.scanStops > stops);
        r.rig.control("set squelch closed");
        r.tick(3);
        QCOMPARE(state.Receive(), TReceive::Transmitting); // the receive status is ignored while transmitting
        r.rig.control("set ptt off");
        r.tick(6);
        QVERIFY(!state.Ptt());
        QCOMPARE(state.Receive(), TReceive::SquelchClosed);
    }

    void slowDialRule_data()
    {
        QTest::addColumn<qint32>("report");
        QTest::addColumn<int>("reportCount"); // FreqReportCount before the report
        QTest::addColumn<bool>("rereadAtOnce");
        QTest::addColumn<bool>("scaleMoves");
        // The scale is at 14.000 MHz: 1 % is 140 kHz.
        QTest::newRow("0.05 % up") << 14007000 << 0 << true << true;
        QTest::newRow("0.5 % down") << 13930000 << 0 << true << true;
        QTest::newRow("just inside 1 %") << 14139990 << 0 << true << true;
        QTest::newRow("exactly 1 % is a jump") << 14140000 << 0 << false << true;
        QTest::newRow("1.5 % down is a jump") << 13790000 << 0 << false << true;
        QTest::newRow("every tenth report polls on") << 14070000 << 9 << false << true;
        QTest::newRow("unchanged") << 14000000 << 0 << false << false;
        QTest::newRow("outside the radios' range") << 99999 << 0 << false << false;
    }
    void slowDialRule()
    {
        QFETCH(qint32, report);
        QFETCH(int, reportCount);
        QFETCH(bool, rereadAtOnce);
        QFETCH(bool, scaleMoves);
        Offline o;
        o.host.scaleFrequency = 14000000;
        o.engine.PollIndex = 2;
        o.engine.FreqReportCount = quint8(reportCount);
        o.engine.ApplyRadioFrequency(report);
        QCOMPARE(o.engine.PollIndex == 0, rereadAtOnce);
        QCOMPARE(o.host.assignedFrequencies.size(), scaleMoves ? 1 : 0);
        QCOMPARE(o.engine.FreqReportCount, quint8(reportCount + 1));
    }

    void decodedReplies()
    {
        Offline o;
        o.engine.IntegrityCountdown = 0;
        TRadioState &state = o.engine.State();
        state.SetPtt(true); // the receive status is ignored while transmitting
        o.engine.DecodeReply("00000000E7", "0F");
        QCOMPARE(state.Receive(), TReceive::SquelchClosed);
        QCOMPARE(state.Meter(), 0);
        state.SetPtt(false);
        // A jump away from the scale is confirmed by the next reading.
        o.engine.DecodeReply("0000000003", "0001425000"); // 142.5 kHz: held
        o.engine.DecodeReply("0000000003", "0101425000"); // another one: held
        QVERIFY(o.host.assignedFrequencies.isEmpty());
        QVERIFY(o.host.modePresses.isEmpty());
        o.engine.DecodeReply("0000000003", "0101425000");
        QCOMPARE(o.host.assignedFrequencies, QList<qint32>({10142500}));
        QCOMPARE(o.host.modePresses, QStringList({"LSB"}));
    }

    void busyScaleAndOpenEditStayUntouched()
    {
        Offline o;
        o.engine.TuningBusy = 1;
        o.engine.ApplyRadioFrequency(3700000);
        QCOMPARE(o.host.scaleFrequency, 14250000);
        QCOMPARE(o.engine.FreqReportCount, quint8(1)); // the report still counts
        QCOMPARE(o.host.displayRefreshes, 0);
        o.engine.TuningBusy = 0;
        o.host.editing = true;
        o.engine.ApplyRadioFrequency(3700000);
        QCOMPARE(o.host.scaleFrequency, 3700000);
        QCOMPARE(o.host.displayRefreshes, 0);
    }

    void tuneRequestsFromAnotherThread()
    {
        Offline o;
        std::atomic<bool> done{false};
        constexpr int requests = 5000;
        std::thread client([&] {
            for (int i = 1; i <= requests; ++i)
                o.engine.PendingTune.Place(tuneRequest(7000000 + i * 10, i % 2 ? "USB" : "LSB"));
            done = true;
        });
        while (!done)
            o.engine.MainTmrTimer();
        client.join();
        o.engine.MainTmrTimer(); // the last request
        QCOMPARE(o.host.scaleFrequency, 7000000 + requests * 10);
        QCOMPARE(o.host.mode, QString("LSB"));
        QVERIFY(!o.engine.PendingTune.IsSet());
        QVERIFY(o.engine.CommandQueue.IsEmpty()); // off-line: nothing for the radio

        // Connected (to the simulated radio: no port needed), its mode and
        // frequency go to the radio, in that order.
        TCatEngine simulated(o.host, o.log, std::make_unique<TSimulatedTransport>(o.log, nullptr));
        simulated.SetManualTimers(true);
        simulated.Connect({});
        QVERIFY(settleEngine(simulated) && simulated.IsConnected());
        simulated.PlaceTuneRequest(tuneRequest(7074000, "LSB"));
        simulated.MainTmrTimer();
        QCOMPARE(simulated.CommandQueue.Commands(), QStringList({"0000000007", "0070740001"}));
    }

    void commandSetTwoRadio()
    {
        EngineRig r({});
        TTcvrType set2 = TcvrTypes[0];
        set2.CommandSet = 2;
        set2.HexCoded = false;
        set2.FrequencyCodeA = "FA";
        r.engine.SetTcvrTypeOverride(set2);
        r.host.scaleFrequency = 3580000;
        r.connect();
        // Set commands of this set are never answered, so never probed.
        r.engine.QueueCommand(MakeModeCommand("USB", set2));
        r.tick(2); // transmit-off first
        QCOMPARE(r.lines.mid(r.lines.size() - 4),
                 QStringList({">MD2;", "Writing to COM: 4 Bytes", "Reading from COM: No response expected", "<"}));
        // Simulated: the port is opened, but nothing more goes to it.
        r.disconnect();
        const QString sent = r.rig.status("commands");
        r.link.Simulate = true;
        r.engine.Simulated().SetDelaySource([] { return 0; });
        r.connect();
        QVERIFY(r.tickUntil([&] { return r.host.lastStatus() == "Connected to TCVR (simulated)."; }));
        QVERIFY(r.lines.contains(">SM;"));
        QCOMPARE(r.rig.status("commands"), sent);
        const int before = r.host.assignedFrequencies.size();
        // An information reply with an absurd frequency leaves the scale alone.
        r.engine.DecodeReply("IF;", "IF99999999999               01000000;");
        QCOMPARE(r.host.assignedFrequencies.size(), before);
        r.engine.DecodeReply("IF;", "IF00003585000               13100000;");
        QCOMPARE(r.host.scaleFrequency, 3585000);
        QCOMPARE(r.engine.State().Vfo(), QChar('B'));
        QCOMPARE(r.engine.State().Receive(), TReceive::Transmitting);
    }
};

TARNWICK_TEST_CLASS(TestCatPoll)
#include "tst_catpoll.moc"
