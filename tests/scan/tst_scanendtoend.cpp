// Scans against the radio emulator through the real engine and serial link,
// with a signal at 7 005 000 Hz: a range scan visits every step and wraps and
// plots its peak there, stops or pauses on the open squelch, and a marker
// scan visits the markers in order with and without a mode filter. The dwell
// is the engine's poll cycle, driven tick by tick instead of waited for.

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
        QObject::connect(&scale, &TRadioScale::OnFqMarkerClick, &scale, [this](int index) {
            const TFqMarker &m = *scale.Markers.at(index);
            r.engine.QueueReplacingCommand(MakeModeCommand(m.Mode, r.engine.GetTcvrType()));
            r.engine.QueueReplacingCommand(
                MakeFrequencyCommand(m.Frequency, r.engine.GetTcvrType(), r.engine.CurrentVfo));
        });
    }

    void ScaleFreqChanged(qint32 frequency) override
    {
        FakeScanHost::ScaleFreqChanged(frequency);
        r.engine.QueueReplacingCommand(MakeFrequencyCommand(frequency, r.engine.GetTcvrType(), r.engine.CurrentVfo));
    }
    int MeterValue() const override { return r.host.meter; }
    int SqlState() const override { return r.host.sqlState; }
    void HoldTuning() override
    {
        FakeScanHost::HoldTuning();
        ++r.engine.TuningBusy;
    }
    void ReleaseTuning() override
    {
        FakeScanHost::ReleaseTuning();
        --r.engine.TuningBusy;
    }

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

    // The radio is told, then one whole poll cycle reads its meter and
    // squelch at the new frequency.
    void dwell()
    {
        r.tickUntil([this] { return r.engine.CommandQueue.IsEmpty(); });
        r.tick(3);
    }
    void start(const TScanSettings &settings)
    {
        h.scanKey = true;
        scanner.StartScan(settings);
        dwell();
    }
    void step()
    {
        scanner.ScanTmrTimer();
        dwell();
    }
    qint32 radioFrequency() { return r.rig.status("freq").toInt(); }
};

} // namespace

class TestScanEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariable("TARNWICK_RIGSIM").isEmpty(), "TARNWICK_RIGSIM is not set");
    }

    void rangeScanVisitsEveryStepAndPlotsThePeak()
    {
        ScanRig s({});
        QVERIFY(s.r.connectAndAnnounce());
        s.start(rangeScan(7000000, 7010000, 100));
        QList<qint32> visited{s.radioFrequency()};
        for (int i = 0; i < 100; ++i) {
            s.step();
            visited << s.radioFrequency();
        }
        QList<qint32> expected;
        for (qint32 f = 7000000; f < 7010000; f += 100)
            expected << f;
        expected << 7000000;
        QCOMPARE(visited, expected);

        const auto &points = s.h.graph.Points();
        QCOMPARE(int(points.size()), 100);
        const auto peak = std::max_element(points.begin(), points.end(), [](const TOneValue &a, const TOneValue &b) {
            return a.Values[0] < b.Values[0];
        });
        QCOMPARE(peak->Frequency, 7005000);
        QCOMPARE(peak->Values[0], 100);
        QCOMPARE(std::count_if(points.begin(), points.end(), [](const TOneValue &p) { return p.Values[0] == 100; }), 1);
        QCOMPARE(points.front().Values[0], 0);

        s.scanner.StopScan();
        QCOMPARE(s.r.engine.TuningBusy, 0);
    }

    void stopsOnTheOpenSquelch()
    {
        ScanRig s({"--squelch-level", "14"});
        QVERIFY(s.r.connectAndAnnounce());
        s.start(rangeScan(7000000, 7010000, 100, WatchSquelchStop));
        int ticks = 0;
        while (s.scanner.ScanRunning() && ticks < 200) {
            s.step();
            ++ticks;
        }
        QCOMPARE(ticks, 51); // 50 steps up to the signal, then the tick that hears it
        QCOMPARE(s.h.scale.Frequency(), 7005000);
        QCOMPARE(s.radioFrequency(), 7005000);
        QCOMPARE(s.h.graph.Points().back().Frequency, 7004900);
        QCOMPARE(s.r.engine.TuningBusy, 0);
    }

    void pausesWhileTheSquelchIsOpen()
    {
        ScanRig s({"--squelch-level", "14"});
        QVERIFY(s.r.connectAndAnnounce());
        s.start(rangeScan(7000000, 7010000, 100, WatchSquelchPause));
        for (int i = 0; i < 50; ++i)
            s.step();
        QCOMPARE(s.radioFrequency(), 7005000);

        QList<qint32> held;
        for (int i = 0; i < 3; ++i) { // hears it, rests, hears it again
            s.step();
            held << s.radioFrequency();
        }
        QVERIFY(s.scanner.ScanPaused());
        QVERIFY(s.r.rig.control("signal remove 7005000").startsWith("ok"));
        s.dwell();
        for (int i = 0; i < 2; ++i) { // rests, then goes on
            s.step();
            held << s.radioFrequency();
        }
        QCOMPARE(held, QList<qint32>({7005000, 7005000, 7005000, 7005000, 7005100}));
        const TOneValue &signal = *std::find_if(s.h.graph.Points().begin(), s.h.graph.Points().end(),
                                                [](const TOneValue &p) { return p.Frequency == 7005000; });
        // Heard twice while paused; the step that went on read the empty channel.
        QCOMPARE(signal.Values, (std::array<int, 5>{0, 100, 100, 0, 0}));
    }

    void markerScanVisitsTheMarkersInOrder_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("visits");
        QTest::newRow("any mode") << QString()
                                  << QStringList{"7001000 CW", "7003000 USB", "7006000 CW", "7001000 CW", "7003000 USB"};
        QTest::newRow("CW only") << QString("CW")
                                 << QStringList{"7001000 CW", "7006000 CW", "7001000 CW", "7006000 CW", "7001000 CW"};
    }
    void markerScanVisitsTheMarkersInOrder()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, visits);
        ScanRig s({"--mode", "LSB"});
        QVERIFY(s.r.connectAndAnnounce());
        s.h.addMarker(7001000, "CW");
        s.h.addMarker(7003000, "USB");
        s.h.addMarker(7006000, "CW");
        s.start(markerScan(7000000, 7200000, filter));
        QStringList seen;
        for (int i = 0; i < visits.size(); ++i) {
            if (i > 0)
                s.step();
            seen << s.r.rig.status("freq") + " " + s.r.rig.status("mode");
        }
        QCOMPARE(seen, visits);
        QCOMPARE(s.r.engine.TuningBusy, 1);
        s.scanner.StopScan();
        QCOMPARE(s.r.engine.TuningBusy, 0);
    }
};

TARNWICK_TEST_CLASS(TestScanEndToEnd)
#include "tst_scanendtoend.moc"
