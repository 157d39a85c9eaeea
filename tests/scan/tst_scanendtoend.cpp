// Scans against the radio emulator through the real engine and serial link,
// with a signal at 7 005 000 Hz. The dwell is the engine's poll cycle, driven
// tick by tick instead of waited for.

#include "ScanTestSupport.h"
#include "cat/CatCommands.h"
#include "cat/EngineRig.h"
#include "common/TestEnvironment.h"

namespace {

// The stand-in window wired to the engine: the scan's tuning and the markers
// go to the radio, the meter and the squelch come from its replies.
class EngineScanHost : public FakeScanHost
{
public:
    explicit EngineScanHost(EngineRig &rig)
        : r(rig)
    {
        QObject::connect(&scale, &TRadioScale::OnFqMarkerClick, &scale, [this](int index) {
            r.engine.QueueReplacingCommand(MakeModeCommand(scale.Markers.at(index)->Mode, r.engine.GetTcvrType()));
            tell(scale.Markers.at(index)->Frequency);
        });
    }
    void tell(qint32 f) { r.engine.QueueReplacingCommand(MakeFrequencyCommand(f, r.engine.GetTcvrType(), 'A')); }
    void ScaleFreqChanged(qint32 frequency) override { tell(frequency); }
    int MeterValue() const override { return r.host.meter; }
    int SqlState() const override { return r.host.sqlState; }
    void HoldTuning() override { ++r.engine.TuningBusy; }
    void ReleaseTuning() override { --r.engine.TuningBusy; }

private:
    EngineRig &r;
};

struct ScanRig
{
    EngineRig r;
    EngineScanHost h{r};
    TScanner scanner{h};

    explicit ScanRig(const QStringList &rigArguments)
        : r(QStringList{"--freq", "7000000", "--signal", "7005000:15:1000"} + rigArguments)
    {
        h.graphKey = true;
    }
    // The radio is told, then a whole poll cycle reads its meter and squelch.
    void dwell()
    {
        r.tickUntil([this] { return r.engine.CommandQueue.IsEmpty(); });
        r.tick(3);
    }
    bool start(const TScanSettings &settings)
    {
        if (!r.connectAndAnnounce())
            return false;
        scanner.StartScan(settings);
        dwell();
        return true;
    }
    QString step()
    {
        scanner.ScanTmrTimer();
        dwell();
        return r.rig.status("freq");
    }
};

} // namespace

class TestScanEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void rangeScanVisitsEveryStepAndPlotsThePeak()
    {
        ScanRig s({});
        QVERIFY(s.start(scanOf(ScanKindRange, 7000000, 7010000)));
        QStringList visited{s.r.rig.status("freq")}, expected;
        for (int i = 0; i < 101; ++i) {
            visited << s.step();
            expected << QString::number(7000000 + i % 100 * 100);
        }
        QCOMPARE(visited.mid(0, 101), expected);
        QCOMPARE(visited.last(), QString("7000100")); // round again, 7010000 never
        const auto &points = s.h.graph.Points();
        QCOMPARE(int(points.size()), 100);
        const auto loudest = [](const TOneValue &a, const TOneValue &b) { return a.Values[0] < b.Values[0]; };
        QCOMPARE(std::max_element(points.begin(), points.end(), loudest)->Frequency, 7005000);
        QCOMPARE(std::count_if(points.begin(), points.end(), [](const TOneValue &p) { return p.Values[0] == 100; }), 1);
    }

    void squelchStopsOrPausesTheScan()
    {
        for (int watch : {WatchSquelchStop, WatchSquelchPause}) {
            ScanRig s({"--squelch-level", "14"}); // open at the peak only
            QVERIFY(s.start(scanOf(ScanKindRange, 7000000, 7010000, watch)));
            for (int i = 0; i < 50; ++i)
                s.step();
            QStringList held;
            for (int i = 0; i < 3; ++i) // hears it (stops, or pauses), rests, hears it again
                held << s.step();
            QCOMPARE(held, QStringList({"7005000", "7005000", "7005000"}));
            QCOMPARE(s.scanner.ScanRunning(), watch == WatchSquelchPause);
            QCOMPARE(s.r.engine.TuningBusy, watch == WatchSquelchPause ? 1 : 0);
            if (watch == WatchSquelchStop)
                continue;
            QVERIFY(s.r.rig.control("signal remove 7005000").startsWith("ok"));
            s.dwell();
            QCOMPARE(s.step(), QString("7005000")); // the pause's second tick
            QCOMPARE(s.step(), QString("7005100"));
            // Heard twice while paused; the step that went on read nothing.
            QCOMPARE(std::find_if(s.h.graph.Points().begin(), s.h.graph.Points().end(),
                                  [](const TOneValue &p) { return p.Frequency == 7005000; })
                         ->Values,
                     (std::array<int, 5>{0, 100, 100, 0, 0}));
        }
    }

    void markerScanVisitsTheMarkersInOrder()
    {
        for (const QString filter : {"", "CW"}) {
            ScanRig s({"--mode", "LSB"});
            s.h.addMarker(7001000, "CW");
            s.h.addMarker(7003000, "USB");
            s.h.addMarker(7006000, "CW");
            QVERIFY(s.start(scanOf(ScanKindMarkers, 7000000, 7200000, WatchSquelchNone, filter)));
            QStringList seen;
            for (int i = 0; i < 4; ++i) {
                seen << s.r.rig.status("freq") + " " + s.r.rig.status("mode");
                s.step();
            }
            QCOMPARE(seen, filter.isEmpty() ? QStringList({"7001000 CW", "7003000 USB", "7006000 CW", "7001000 CW"})
                                            : QStringList({"7001000 CW", "7006000 CW", "7001000 CW", "7006000 CW"}));
        }
    }
};

TARNWICK_TEST_CLASS(TestScanEndToEnd)
#include "tst_scanendtoend.moc"
