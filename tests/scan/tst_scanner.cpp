// The scanner's steps against a stand-in window: starting and stopping both
// kinds with the tuning lock balanced, range steps with their readings and the
// wrap, squelch watching, and marker scans that run out of markers.

#include "ScanTestSupport.h"
#include "common/TestEnvironment.h"

class TestScanner : public QObject
{
    Q_OBJECT
private slots:
    void bothKindsHoldTheTuningLockOnce_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("range") << int(ScanKindRange);
        QTest::newRow("markers") << int(ScanKindMarkers);
    }
    void bothKindsHoldTheTuningLockOnce()
    {
        QFETCH(int, kind);
        FakeScanHost h;
        h.addMarker(7010000, "CW");
        h.addMarker(7020000, "CW");
        TScanner scanner(h);
        const TScanSettings settings = kind == ScanKindRange ? rangeScan(7000000, 7100000, 100)
                                                             : markerScan(7000000, 7200000);
        for (int round = 0; round < 2; ++round) {
            h.scanKey = true; // the key went down and the dialog said OK
            scanner.StartScan(settings);
            QVERIFY(h.timerOn);
            QCOMPARE(h.interval, settings.Dwell);
            QVERIFY(h.scanKey);
            QCOMPARE(h.tuningBusy, 1);
            QCOMPARE(scanner.RangeScanRunning(), kind == ScanKindRange);
            if (round == 0) {
                scanner.StopScan();
            } else {
                // Stopped by a signal this time.
                TScanSettings watched = settings;
                watched.WatchSquelch = WatchSquelchStop;
                scanner.StopScan();
                scanner.StartScan(watched);
                h.sql = 1;
                scanner.ScanTmrTimer();
                h.sql = 0;
            }
            QVERIFY(!h.timerOn);
            QVERIFY(!h.scanKey);
            QCOMPARE(h.tuningBusy, 0);
            scanner.StopScan(); // not running: nothing more is given back
            QCOMPARE(h.tuningBusy, 0);
        }
        // What stopping puts right differs by kind: a range scan lets the
        // GRAPH key up, a marker scan hides the hint and restarts the plot.
        const int stops = 3;
        QCOMPARE(h.graphClicks, kind == ScanKindRange ? stops : 0);
        QVERIFY(!h.graphKey);
        QCOMPARE(h.hintHides, kind == ScanKindMarkers ? stops : 0);
        QCOMPARE(h.restarts, kind == ScanKindMarkers ? stops : 0);
    }

    void rangeStepsRecordTheDweltFrequencyAndWrap()
    {
        FakeScanHost h;
        h.autoGraph = true;
        h.graph.AddValue(0, 50); // a strip chart before the scan
        h.scale.SetFrequency(7100000);
        TScanner scanner(h);
        scanner.StartScan(rangeScan(7000000, 7001000, 100));
        QCOMPARE(h.graph.ScaleBegin(), 7000000);
        QCOMPARE(h.graph.ScaleEnd(), 7200000);
        QVERIFY(h.graph.Points().empty());
        QVERIFY(h.graphKey);
        QCOMPARE(h.graphClicks, 1);
        QCOMPARE(h.tunes, QList<qint32>({7000000}));

        // The meter shows the step's index once the radio has dwelt there.
        auto tick = [&] {
            h.meter = (h.scale.Frequency() - 7000000) / 100 + 1;
            scanner.ScanTmrTimer();
        };
        for (int i = 0; i < 11; ++i)
            tick();
        QList<qint32> expected;
        for (qint32 f = 7000000; f < 7001000; f += 100)
            expected << f;
        expected << 7000000 << 7000100; // RangeTo itself is never visited
        QCOMPARE(h.tunes, expected);
        const auto &points = h.graph.Points();
        QCOMPARE(int(points.size()), 10);
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(points[size_t(i)].Frequency, 7000000 + 100 * i);
            QCOMPARE(points[size_t(i)].Values[0], i + 1);
        }
        QCOMPARE(points[0].Values[1], 1); // the first sweep's reading, one layer back

        // GRAPH up: the scan records zeros.
        h.graphKey = false;
        tick();
        QCOMPARE(points[1].Values[0], 0);
        QCOMPARE(points[1].Values[1], 2);
    }

    void squelchWatching_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("watch");
        QTest::addColumn<int>("sql"); // during the first two ticks; closed at the third
        QTest::addColumn<QList<qint32>>("frequencies"); // after each tick
        QTest::addColumn<bool>("running");
        QTest::addColumn<QList<qint32>>("tunes");       // range scans: what the radio is told

        const QList<qint32> r0 = {7000000, 7000000, 7000000};
        QTest::newRow("range, none, RX") << int(ScanKindRange) << int(WatchSquelchNone) << 1
                                         << QList<qint32>{7000100, 7000200, 7000300} << true
                                         << QList<qint32>{7000000, 7000100, 7000200, 7000300};
        QTest::newRow("range, stop, RX") << int(ScanKindRange) << int(WatchSquelchStop) << 1 << r0 << false
                                         << QList<qint32>{7000000};
        QTest::newRow("range, stop, TX") << int(ScanKindRange) << int(WatchSquelchStop) << 2
                                         << QList<qint32>{7000100, 7000200, 7000300} << true
                                         << QList<qint32>{7000000, 7000100, 7000200, 7000300};
        // The pausing tick tells the radio the frequency again; the next only
        // ends the pause.
        QTest::newRow("range, pause, RX") << int(ScanKindRange) << int(WatchSquelchPause) << 1
                                          << QList<qint32>{7000000, 7000000, 7000100} << true
                                          << QList<qint32>{7000000, 7000000, 7000100};
        QTest::newRow("range, pause, TX") << int(ScanKindRange) << int(WatchSquelchPause) << 2
                                          << QList<qint32>{7000000, 7000000, 7000100} << true
                                          << QList<qint32>{7000000, 7000000, 7000100};
        QTest::newRow("markers, none, RX") << int(ScanKindMarkers) << int(WatchSquelchNone) << 1
                                           << QList<qint32>{7020000, 7030000, 7010000} << true << QList<qint32>{};
        QTest::newRow("markers, stop, RX") << int(ScanKindMarkers) << int(WatchSquelchStop) << 1
                                           << QList<qint32>{7010000, 7010000, 7010000} << false << QList<qint32>{};
        QTest::newRow("markers, pause, RX") << int(ScanKindMarkers) << int(WatchSquelchPause) << 1
                                            << QList<qint32>{7010000, 7010000, 7020000} << true << QList<qint32>{};
    }
    void squelchWatching()
    {
        QFETCH(int, kind);
        QFETCH(int, watch);
        QFETCH(int, sql);
        QFETCH(QList<qint32>, frequencies);
        QFETCH(bool, running);
        QFETCH(QList<qint32>, tunes);
        FakeScanHost h;
        for (qint32 f : {7010000, 7020000, 7030000})
            h.addMarker(f, "USB");
        TScanner scanner(h);
        scanner.StartScan(kind == ScanKindRange ? rangeScan(7000000, 7100000, 100, watch)
                                                : markerScan(7000000, 7200000, QString(), watch));
        QList<qint32> seen;
        for (int i = 0; i < 3; ++i) {
            h.sql = i < 2 ? sql : 0;
            scanner.ScanTmrTimer();
            seen << h.scale.Frequency();
        }
        QCOMPARE(seen, frequencies);
        QCOMPARE(scanner.ScanRunning(), running);
        QCOMPARE(h.tunes, tunes);
        QCOMPARE(h.tuningBusy, running ? 1 : 0);
    }

    void markerScanNeedsTwoUsableMarkers_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<qint32>("from");
        QTest::addColumn<bool>("starts");
        QTest::newRow("any mode") << QString() << 7000000 << true;
        QTest::newRow("one CW") << QString("CW") << 7000000 << false;
        QTest::newRow("one in the range") << QString() << 7015000 << false;
        QTest::newRow("mode nobody has") << QString("AM") << 7000000 << false;
    }
    void markerScanNeedsTwoUsableMarkers()
    {
        QFETCH(QString, filter);
        QFETCH(qint32, from);
        QFETCH(bool, starts);
        FakeScanHost h;
        h.addMarker(7010000, "CW");
        h.addMarker(7020000, "USB");
        h.scale.SetFrequency(7015000); // the scan begins at the range's start, not here
        TScanner scanner(h);
        h.scanKey = true;
        scanner.StartScan(markerScan(from, 7200000, filter));
        QCOMPARE(h.timerOn, starts);
        QCOMPARE(h.scanKey, starts);
        QCOMPARE(h.tuningBusy, starts ? 1 : 0);
        QCOMPARE(h.infos, starts ? QStringList() : QStringList{TScanner::TooFewMarkersMessage});
        QCOMPARE(h.scale.Frequency(), starts ? 7010000 : 7015000);
    }

    void markerScanWhoseFirstJumpFindsNothingLeavesTheKeyDown()
    {
        // Laid out while visible, then the group is switched off: the count
        // still says two, but no jump reaches them.
        FakeScanHost h;
        h.scale.VisibleGroups << "NET";
        h.addMarker(7010000, "CW", "NET");
        h.addMarker(7020000, "CW", "NET");
        h.scale.VisibleGroups.clear();
        TScanner scanner(h);
        h.scanKey = true;
        scanner.StartScan(markerScan(7000000, 7200000));
        QVERIFY(h.scanKey);
        QVERIFY(!h.timerOn);
        QCOMPARE(h.tuningBusy, 0);
        QVERIFY(h.infos.isEmpty());
    }

    void markerScanFollowsTheFilterUntilNoMarkerIsLeft_data()
    {
        QTest::addColumn<bool>("relayout");
        // Laid out again: the count finds none. Not laid out (the flags are
        // stale): the jumps go round the other mode's marker and give up.
        QTest::newRow("count is current") << true;
        QTest::newRow("count is stale") << false;
    }
    void markerScanFollowsTheFilterUntilNoMarkerIsLeft()
    {
        QFETCH(bool, relayout);
        FakeScanHost h;
        h.scale.VisibleGroups << "NET";
        h.addMarker(7010000, "USB");
        h.addMarker(7020000, "CW", "NET");
        h.addMarker(7030000, "CW", "NET");
        h.addMarker(7040000, "CW", "NET");
        TScanner scanner(h);
        scanner.StartScan(markerScan(7000000, 7200000, "CW"));
        QList<qint32> seen{h.scale.Frequency()};
        for (int i = 0; i < 3; ++i) {
            scanner.ScanTmrTimer();
            seen << h.scale.Frequency();
        }
        QCOMPARE(seen, QList<qint32>({7020000, 7030000, 7040000, 7020000})); // the first jump filters too

        h.scale.VisibleGroups.clear();
        if (relayout)
            h.scale.grab();
        scanner.ScanTmrTimer();
        QVERIFY(!scanner.ScanRunning());
        QCOMPARE(h.tuningBusy, 0);
        QCOMPARE(h.statuses, QStringList{TScanner::NoMarkerLeftStatus});
        QCOMPARE(h.restarts, 1);
    }
};

TARNWICK_TEST_CLASS(TestScanner)
#include "tst_scanner.moc"
