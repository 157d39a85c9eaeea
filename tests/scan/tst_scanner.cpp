// The scanner against a stand-in window: the tuning lock and what stopping
// puts right for each kind, the readings of a range scan, squelch watching,
// ranges too narrow to scan, and marker scans that lack or run out of markers.

#include "ScanTestSupport.h"
#include "common/TestEnvironment.h"

class TestScanner : public QObject
{
    Q_OBJECT
private slots:
    void bothKindsHoldTheTuningLockOnce()
    {
        for (int kind : {ScanKindRange, ScanKindMarkers}) {
            FakeScanHost h;
            h.addMarker(7010000, "CW");
            h.addMarker(7020000, "CW");
            TScanner scanner(h);
            for (int watch : {WatchSquelchNone, WatchSquelchStop}) {
                scanner.StartScan(scanOf(kind, 7000000, 7100000, watch));
                QVERIFY(h.timerOn && h.scanKey);
                QCOMPARE(h.interval, kind == ScanKindRange ? 500 : 2000);
                QCOMPARE(h.tuningBusy, 1);
                QCOMPARE(scanner.RangeScanRunning(), kind == ScanKindRange);
                h.sql = 1; // stops the second scan at its first tick
                if (watch == WatchSquelchNone)
                    scanner.StopScan();
                else
                    scanner.ScanTmrTimer();
                h.sql = 0;
                QVERIFY(!h.timerOn && !h.scanKey);
                scanner.StopScan(); // not running: nothing more is given back
                QCOMPARE(h.tuningBusy, 0);
            }
            // A range scan lets the GRAPH key up, a marker scan hides the hint
            // and restarts the plot.
            QCOMPARE(h.graphClicks, kind == ScanKindRange ? 2 : 0);
            QCOMPARE(h.hintHides + h.restarts, kind == ScanKindMarkers ? 4 : 0);
        }
    }

    // A range scan plots over the scale's range from afresh; with the GRAPH
    // key up it records zero. The end of the range is never tuned: the scan
    // goes round to its start instead.
    void rangeScanRecordsIntoAFreshPlot()
    {
        FakeScanHost h;
        h.autoGraph = true;
        h.graph.AddValue(0, 50); // a strip chart from before
        TScanner scanner(h);
        scanner.StartScan(scanOf(ScanKindRange, 7000000, 7000300));
        QVERIFY(h.graph.Points().empty() && h.graphKey);
        QCOMPARE(h.graph.ScaleEnd(), 7200000);
        h.meter = 40;
        scanner.ScanTmrTimer();
        h.graphKey = false;
        scanner.ScanTmrTimer();
        scanner.ScanTmrTimer();
        QCOMPARE(h.tunes, QList<qint32>({7000000, 7000100, 7000200, 7000000}));
        const auto &p = h.graph.Points();
        QCOMPARE(int(p.size()), 3);
        QCOMPARE(std::pair(p[0].Values[0], p[1].Values[0]), std::pair(40, 0));
    }

    // A step decides only on a reading taken on its own frequency: until the
    // radio was heard there it looks again shortly, then the dwell goes on.
    void stepWaitsForTheRadioToBeHeard()
    {
        FakeScanHost h;
        TScanner scanner(h);
        scanner.StartScan(scanOf(ScanKindRange, 7000000, 7000300, WatchSquelchStop));
        h.heard = false;
        h.sql = 1; // the old frequency's open squelch
        scanner.ScanTmrTimer();
        scanner.ScanTmrTimer();
        QVERIFY(scanner.ScanRunning());
        QCOMPARE(h.interval, TScanner::ReadingWaitMs);
        QCOMPARE(h.tunes, QList<qint32>({7000000}));
        h.heard = true;
        h.sql = 0;
        scanner.ScanTmrTimer();
        QCOMPARE(h.interval, 500);
        QCOMPARE(h.tunes, QList<qint32>({7000000, 7000100}));
    }

    // A range that holds no second step is refused, not scanned on one
    // frequency for ever.
    void rangeScanNeedsTwoSteps()
    {
        for (const qint32 width : {99, 100, 200}) {
            FakeScanHost h;
            TScanner scanner(h);
            h.scanKey = true;
            scanner.StartScan(scanOf(ScanKindRange, 7000000, 7000000 + width));
            const bool starts = width > 100;
            QCOMPARE(h.timerOn && h.scanKey, starts);
            QCOMPARE(h.infos, starts ? QStringList() : QStringList{TScanner::RangeTooNarrowMessage.arg(100)});
        }
    }

    void squelchWatching()
    {
        const struct {
            int kind, watch, sql; // the squelch state for two ticks, closed at the third
            QList<qint32> frequencies;
        } rows[] = {
            {ScanKindRange, WatchSquelchStop, 2, {7000100, 7000200, 7000300}}, // TX is no signal
            {ScanKindRange, WatchSquelchPause, 2, {7000000, 7000000, 7000100}},
            {ScanKindMarkers, WatchSquelchNone, 1, {7020000, 7030000, 7010000}},
            {ScanKindMarkers, WatchSquelchStop, 1, {7010000, 7010000, 7010000}},
            {ScanKindMarkers, WatchSquelchPause, 1, {7010000, 7010000, 7020000}},
        };
        for (const auto &row : rows) {
            FakeScanHost h;
            for (qint32 f : {7010000, 7020000, 7030000})
                h.addMarker(f, "USB");
            TScanner scanner(h);
            scanner.StartScan(scanOf(row.kind, 7000000, 7030000, row.watch)); // the last marker at the end
            QList<qint32> seen;
            for (int i = 0; i < 3; ++i) {
                h.sql = i < 2 ? row.sql : 0;
                scanner.ScanTmrTimer();
                seen << h.scale.Frequency();
            }
            QCOMPARE(seen, row.frequencies);
            QCOMPARE(scanner.ScanRunning(), seen.last() != seen.first());
        }
    }

    void markerScanNeedsTwoUsableMarkers()
    {
        const struct {
            const char *filter;
            qint32 from;
            bool starts;
        } rows[] = {{"", 7000000, true}, {"CW", 7000000, false}, {"", 7015000, false}};
        for (const auto &row : rows) {
            FakeScanHost h;
            h.addMarker(7010000, "CW");
            h.addMarker(7020000, "USB");
            h.scale.SetFrequency(7015000); // the scan begins at the range's start, not here
            TScanner scanner(h);
            h.scanKey = true;
            scanner.StartScan(scanOf(ScanKindMarkers, row.from, 7200000, WatchSquelchNone, row.filter));
            QCOMPARE(h.timerOn, row.starts);
            QCOMPARE(h.scanKey, row.starts);
            QCOMPARE(h.infos, row.starts ? QStringList() : QStringList{TScanner::TooFewMarkersMessage});
            QCOMPARE(h.scale.Frequency(), row.starts ? 7010000 : 7015000);
        }
        // Counted while visible, then the group is switched off: the first
        // jump finds nothing and the key is left down without a timer.
        FakeScanHost h;
        h.scale.VisibleGroups.append("NET");
        h.addMarker(7010000, "CW", "NET");
        h.addMarker(7020000, "CW", "NET");
        h.scale.VisibleGroups.clear();
        TScanner scanner(h);
        h.scanKey = true;
        scanner.StartScan(scanOf(ScanKindMarkers, 7000000, 7200000));
        QVERIFY(h.scanKey && !h.timerOn);
        QCOMPARE(h.tuningBusy, 0);
    }

    // Either the count finds none, or it is stale and the jumps go round.
    void markerScanStopsWhenNoMarkerOfTheModeIsLeft()
    {
        for (bool relayout : {true, false}) {
            FakeScanHost h;
            h.scale.VisibleGroups.append("NET");
            h.addMarker(7010000, "USB");
            for (qint32 f : {7020000, 7030000})
                h.addMarker(f, "CW", "NET");
            TScanner scanner(h);
            scanner.StartScan(scanOf(ScanKindMarkers, 7000000, 7200000, WatchSquelchNone, "CW"));
            QList<qint32> seen{h.scale.Frequency()}; // the first jump filters too
            for (int i = 0; i < 2; ++i) {
                scanner.ScanTmrTimer();
                seen << h.scale.Frequency();
            }
            QCOMPARE(seen, QList<qint32>({7020000, 7030000, 7020000}));
            h.scale.VisibleGroups.clear();
            if (relayout)
                h.scale.grab();
            scanner.ScanTmrTimer();
            QVERIFY(!scanner.ScanRunning());
            QCOMPARE(h.tuningBusy, 0);
            QCOMPARE(h.statuses, QStringList{TScanner::NoMarkerLeftStatus});
        }
    }
};

TARNWICK_TEST_CLASS(TestScanner)
#include "tst_scanner.moc"
