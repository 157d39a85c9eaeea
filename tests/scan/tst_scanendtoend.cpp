// A scan against the radio emulator through the real engine and serial link,
// with a signal at 7 005 000 Hz that opens the squelch at its peak only. The
// dwell is the engine's poll cycle, driven tick by tick instead of waited for.

#include "ScanTestSupport.h"
#include "cat/CatCommands.h"
#include "cat/EngineRig.h"
#include "common/TestEnvironment.h"

namespace {

// The stand-in window wired to the engine: the scan's tuning goes to the
// radio, the meter and the squelch come from its replies.
class EngineScanHost : public FakeScanHost
{
public:
    explicit EngineScanHost(EngineRig &rig)
        : r(rig)
    {
    }
    void ScaleFreqChanged(qint32 f) override
    {
        r.engine.QueueReplacingCommand(MakeFrequencyCommand(f, r.engine.GetTcvrType(), 'A'));
        tunedAt = r.engine.State().ReceiveReadings();
    }
    int MeterReading() const override { return r.engine.State().Meter(); }
    int SqlState() const override { return int(r.engine.State().Receive()); }
    bool HeardSinceTuned() const override { return r.engine.State().ReceiveReadings() > tunedAt; }
    void HoldTuning() override { ++r.engine.TuningBusy; }
    void ReleaseTuning() override { --r.engine.TuningBusy; }

private:
    EngineRig &r;
    quint32 tunedAt = 0;
};

} // namespace

class TestScanEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void rangeScanPausesOnTheSignalAndPlotsIt()
    {
        EngineRig r({"--freq", "7000000", "--signal", "7005000:15:1000", "--squelch-level", "14"});
        EngineScanHost h(r);
        h.graphKey = true;
        TScanner scanner(h);
        // The radio is told, then a whole poll cycle reads its meter and squelch.
        auto dwell = [&r] {
            r.tickUntil([&r] { return r.engine.CommandQueue.IsEmpty(); });
            r.tick(3);
        };
        auto step = [&] {
            scanner.ScanTmrTimer();
            dwell();
            return r.rig.status("freq");
        };
        QVERIFY(r.connectAndAnnounce());
        scanner.StartScan(scanOf(ScanKindRange, 7004000, 7006000, WatchSquelchPause));
        dwell();
        QStringList visited{r.rig.status("freq")}, expected{"7004000"};
        for (int i = 1; i <= 13; ++i) {
            visited << step();
            expected << QString::number(7004000 + qMin(i, 10) * 100);
        }
        QCOMPARE(visited, expected); // heard at 7005000: pauses, rests, hears it again
        QCOMPARE(r.engine.TuningBusy, 1);
        QVERIFY(r.rig.control("signal remove 7005000").startsWith("ok"));
        dwell();
        QCOMPARE(step(), QString("7005000")); // the pause's second tick
        visited.clear();
        for (int i = 0; i < 11; ++i)
            visited << step();
        QCOMPARE(visited.mid(8), QStringList({"7005900", "7004000", "7004100"})); // round again, 7006000 never
        scanner.StopScan();
        QCOMPARE(r.engine.TuningBusy, 0);

        const auto &points = h.graph.Points();
        QCOMPARE(int(points.size()), 20);
        auto at = [&points](qint32 f) {
            return std::find_if(points.begin(), points.end(), [f](const TOneValue &p) { return p.Frequency == f; })->Values;
        };
        QCOMPARE(at(7005000), (std::array<int, 5>{0, 100, 100, 0, 0})); // heard twice; the step on read nothing
        QCOMPARE(at(7004900)[0], 86); // S 13 of 15
        QCOMPARE(at(7004000)[0], 0);
    }
};

TARNWICK_TEST_CLASS(TestScanEndToEnd)
#include "tst_scanendtoend.moc"
