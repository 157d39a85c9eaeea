#include "common/PromptRecorder.h"
#include "common/TestEnvironment.h"
#include "ScaleTestSupport.h"

#include <QApplication>
#include <QMenu>

namespace {

QString range(const TRadioScale &s)
{
    return QString("%1-%2").arg(s.ScaleBegin()).arg(s.ScaleEnd());
}

} // namespace

class TestRadioScaleInteraction : public QObject
{
    Q_OBJECT
private slots:
    void frequencyWriteChangesBandAndRaisesEventsInOrder()
    {
        ScaleRig r;
        r.s.AddBand(3500000, 3800000, "80 m", "LSB", 3650000);
        r.s.AddBand(7000000, 7200000, "40 m", "LSB", 7050000);
        r.s.AddBand(3500000, 3570000, "80 m CW", "CW", 3520000);
        ScaleEventLog log(r.s);
        // Off the scale in another band: the band's range. Unknown: nothing at all.
        // Without auto band, or in no band without general coverage: the range stays.
        const struct { qint32 f; bool autoBand, coverage; const char *after; } steps[] = {
            {3600000, true, true, "3600000 3500000-3800000 OnBandChange(0) OnFreqAssigned(3600000)"},
            {3610000, true, true, "3610000 3500000-3800000 OnFreqAssigned(3610000)"},
            {7050000, true, true, "7050000 7000000-7200000 OnBandChange(1) OnFreqAssigned(7050000)"},
            {-1, true, true, "7050000 7000000-7200000"},
            {3550000, false, true, "3550000 7000000-7200000 OnBandChange(2) OnFreqAssigned(3550000)"},
            {10120000, true, false, "10120000 7000000-7200000 OnBandChange(-1) OnFreqAssigned(10120000)"},
        };
        for (const auto &step : steps) {
            r.s.SetAutoBand(step.autoBand);
            r.s.SetGeneralCoverage(step.coverage);
            r.s.SetFrequency(step.f);
            QCOMPARE((QStringList({QString::number(r.s.Frequency()), range(r.s)}) + log.take()).join(' '), QString(step.after));
            QCOMPARE(r.s.SliderX(), r.s.FreqToX(r.s.Frequency()));
        }
    }

    void generalCoverageMovesTheWindow()
    {
        ScaleRig r;
        auto tune = [&](qint32 f) {
            r.s.SetFrequency(f);
            return range(r.s);
        };
        // One span right, one span left, far away centred with ends on whole kHz.
        QCOMPARE(QStringList({tune(3810000), tune(3790000), tune(14100555)}),
                 QStringList({"3800000-4100000", "3500000-3800000", "13950000-14250000"}));
        r.s.SetRange(150000, 450000);
        QCOMPARE(tune(140000), QString("100000-400000")); // never below 100 kHz
        r.s.SetRange(500000, 800000);
        QCOMPARE(tune(90000), QString("100000-400000"));
        r.s.SetRange(3500000, 3800000); // a zoomed scale moves by the oldest zoom step's span
        r.s.SetFrequency(3550000);
        r.s.ZoomTo(0, 0);
        r.s.ZoomTo(0, 0);
        QCOMPARE(tune(21100000), QString("20950000-21250000"));
        QVERIFY(!r.s.CanZoomOut());
    }

    void zoomInAndOut()
    {
        ScaleRig r(786);
        // A range to set first (history cleared) and a frequency to tune to, 0
        // for none; a zoom in to [low, high] (0, 0: round the frequency) or out;
        // the frequency, range and zoom history after it.
        const struct { qint32 begin, end, freq; bool in; qint32 low, high; const char *after; } steps[] = {
            // 15 labels of 20 kHz: one more label each side; then 5 kHz labels
            // round a multiple of 5 kHz: strictly below and above; back the same way.
            {0, 0, 0, true, 0, 0, "3550000 3520000-3580000 1"},
            {0, 0, 0, true, 0, 0, "3550000 3540000-3560000 2"},
            {0, 0, 0, false, 0, 0, "3550000 3520000-3580000 1"},
            {0, 0, 0, false, 0, 0, "3550000 3500000-3800000 0"},
            {3540000, 3578000, 3551000, true, 0, 0, "3551000 3550000-3555000 1"}, // 7 labels: none extra
            {3540000, 3585000, 3546000, true, 0, 0, "3546000 3540000-3555000 1"}, // 9 labels, the beginning exactly
            {3500000, 3800000, 0, true, 3600000, 3700000, "3600000 3600000-3700000 1"}, // off to the left: the beginning
            {0, 0, 3690000, true, 3620000, 3650000, "3650000 3620000-3650000 2"},       // off to the right: the end
            {0, 0, 0, true, 3620000, 3650000, "3650000 3620000-3650000 2"},             // the same range: no history
            {0, 0, 0, true, 3620000, 3640000, "3640000 3620000-3640000 3"},
            {3500000, 3500500, 0, true, 3500100, 3500200, "3640000 3500000-3500500 0"}, // too short to zoom into
            {3500000, 3800000, 0, false, 0, 0, "3640000 3400000-3900000 0"}, // no history: a third more each side
        };
        for (const auto &step : steps) {
            if (step.begin) {
                r.s.SetRange(step.begin, step.end);
                r.s.ClearZoomSteps();
            }
            if (step.freq)
                r.s.SetFrequency(step.freq);
            step.in ? r.s.ZoomTo(step.low, step.high) : r.s.ZoomOut();
            QCOMPARE(QString("%1 %2 %3").arg(r.s.Frequency()).arg(range(r.s)).arg(r.s.ZoomSteps.size()), QString(step.after));
        }
        r.s.SetAbsHiFq(3950000); // within the outer limits
        r.s.SetAbsLoFq(3300000);
        r.s.ZoomOut();
        QCOMPARE(range(r.s), QString("3300000-3950000"));
        r.s.SetRange(3500000, 3500501);
        QVERIFY(r.s.CanZoomIn());
        ScaleRig narrow(100); // fewer than three labels: nothing changes
        narrow.s.ZoomOut();
        QCOMPARE(range(narrow.s), QString("3500000-3800000"));
    }

    void scrollAndSelectBand()
    {
        ScaleRig r;
        r.s.SetAbsLoFq(3480000);
        QStringList seen;
        for (bool right : {true, false, false, false, false}) { // the last would leave the outer limits
            r.s.ScrollScale(right);
            seen << range(r.s);
        }
        QCOMPARE(seen.first() + " " + seen.last(), QString("3520000-3820000 3480000-3780000"));

        r.s.AddBand(7000000, 7200000, "40 m", "CW", 7025000);
        r.s.ZoomTo(0, 0);
        ScaleEventLog log(r.s);
        r.s.SelectBand(0);
        r.s.SelectBand(1);
        r.s.SelectBand(-1);
        QCOMPARE(range(r.s), QString("7000000-7200000"));
        QCOMPARE(log.take(), QStringList({"OnBandChange(0)", "OnFreqAssigned(7025000)"}));
        QVERIFY(!r.s.CanZoomOut());
    }

    void jumpToMarkerSkipsHiddenAndWraps()
    {
        ScaleRig r;
        r.s.VisibleGroups = QStringList({"BEACON"});
        r.marker(3550000, "A");
        r.marker(3600000, "B", "REPEATER"); // hidden
        r.marker(3650000, "C", "BEACON");
        r.marker(3700000, "D");
        r.marker(3900000, "E"); // outside the range asked for
        r.s.SetFrequency(3560000);
        ScaleEventLog log(r.s);
        auto jumps = [&](bool forward, int count, qint32 high = 3800000) {
            QList<int> found;
            for (int i = 0; i < count; ++i)
                found << r.s.JumpToMarker(forward, 3500000, high);
            return found;
        };
        QCOMPARE(jumps(true, 1), QList<int>({2}));
        QCOMPARE(r.s.SelectedMarker, 2);
        QCOMPARE(log.take(), QStringList({"OnFreqAssigned(3650000)", "OnFqMarkerClick(2)"}));
        QCOMPARE(jumps(true, 2), QList<int>({3, 0})); // wraps to the first
        QCOMPARE(jumps(false, 3), QList<int>({3, 2, 0})); // and back round, over the hidden one

        r.s.SetFrequency(3690000); // away from the selected marker: from the frequency
        QCOMPARE(jumps(false, 1), QList<int>({2}));
        r.s.SetFrequency(3700000); // on a marker that was not selected: from the frequency
        QCOMPARE(jumps(true, 2, 4000000), QList<int>({4, 0}));
        r.s.SetFrequency(3650000);
        QCOMPARE(jumps(false, 1), QList<int>({0}));
        log.take();
        QCOMPARE(r.s.JumpToMarker(true, 5000000, 6000000), -1);
        QVERIFY(log.take().isEmpty());
    }

    void dragAppliesAtMostEveryHundredMsAndStaysOnTheScale()
    {
        ScaleRig r;
        r.showSlider();
        ScaleEventLog log(r.s);
        QList<qint64> applied;
        connect(&r.s, &TRadioScale::OnFreqChanged, &r.s, [&] { applied << r.now; });

        const int x0 = r.s.drawnSliderX();
        pressLeft(r.s, x0 + 3, 40);
        QCOMPARE(log.take(), QStringList({"OnFreqChangeStart(3550000)", "OnMouseDown"}));
        bool selected = false; // without Shift a drag selects nothing
        for (int i = 1; i <= 200; ++i) { // one pixel every 5 ms for a second
            r.dragStep(x0 + 3 + i, 5);
            selected |= r.s.selectionAnchor() != 0;
        }
        QVERIFY(!selected);
        QVERIFY2(applied.size() >= 8 && applied.size() <= 10, qPrintable(QString::number(applied.size())));
        for (int i = 1; i < applied.size(); ++i)
            QVERIFY(applied[i] - applied[i - 1] >= 100 && applied[i] - applied[i - 1] <= 115);
        QVERIFY(log.lines.filter("OnFreqAssigned").isEmpty());

        // The mouse rests: the last position is applied 10 ms later.
        const qint32 expected = r.s.RoundToStep(r.s.XToFreq(x0 + 200));
        QCOMPARE(r.s.pendingFreq(), expected);
        r.dragStep(x0 + 203, 10);
        QCOMPARE(r.s.Frequency(), expected);
        QVERIFY(!r.s.IsDragTimerActive());

        picture(r.s);
        log.take();
        releaseLeft(r.s, r.s.drawnSliderX(), 40);
        QCOMPARE(log.take(), QStringList({QString("OnFreqChangeStop(%1)").arg(expected), "OnMouseUp"}));

        // The drag never leaves the scale.
        pressLeft(r.s, r.s.drawnSliderX(), 40);
        r.now += 500;
        dragTo(r.s, 12, 40); // 12 px from the edge: off the scale
        QVERIFY(!r.s.IsDragTimerActive());
        r.dragStep(13, 10); // 13 px: still on
        QCOMPARE(r.s.Frequency(), r.s.RoundToStep(r.s.XToFreq(13)));
        QCOMPARE(r.s.ScaleBegin(), 3500000); // never scrolls the range
        log.take();
        releaseLeft(r.s, 40, 40); // away from the slider: no stop event
        QCOMPARE(log.take(), QStringList({"OnMouseUp"}));
        QVERIFY(!r.s.isDragging());

        picture(r.s);
        pressLeft(r.s, r.s.drawnSliderX() - 10, 40); // 10 px off still grabs
        r.now += 500;
        hoverTo(r.s, r.s.drawnSliderX() + 40, 40); // a move without the button does not drag
        QVERIFY(!r.s.IsDragTimerActive());
        releaseLeft(r.s, r.s.drawnSliderX() + 10, 40);
        QCOMPARE(log.take().first(), QString("OnFreqChangeStart(%1)").arg(r.s.Frequency()));

        pressLeft(r.s, r.s.drawnSliderX() + 11, 40); // 11 px off does not
        r.s.SetSliderVisible(false);
        pressLeft(r.s, r.s.drawnSliderX(), 40); // nor does a hidden slider
        QCOMPARE(log.take(), QStringList({"OnMouseDown", "OnMouseDown"}));
    }

    void shiftDragSelects()
    {
        ScaleRig r;
        r.showSlider();
        auto selection = [&] { // without a selection its range is the scale's
            qint32 lo = 0, hi = 0;
            const bool on = r.s.GetSelection(lo, hi);
            return QString("%1 %2-%3 %4").arg(on).arg(lo).arg(hi).arg(r.s.CanZoomIn());
        };
        auto shiftDrag = [&](int dx) {
            pressLeft(r.s, r.s.drawnSliderX(), 40);
            r.modifiers = Qt::ShiftModifier;
            r.now += 200;
            r.dragStep(r.s.drawnSliderX() + dx, 10);
            picture(r.s);
            releaseLeft(r.s, r.s.drawnSliderX(), 40);
        };
        QCOMPARE(selection(), QString("0 3500000-3800000 1"));
        shiftDrag(-50);
        r.modifiers = Qt::NoModifier; // Shift let go: the selection stays, from where the drag began
        const qint32 lo = r.s.Frequency();
        QVERIFY(lo < 3530000);
        QCOMPARE(selection(), QString("1 %1-3550000 1").arg(lo));
        r.s.ZoomTo(lo, 3550000); // what the main window's zoom-in does with a selection
        QCOMPARE(range(r.s), QString("%1-3550000").arg(lo));
        QCOMPARE(r.s.selectionAnchor(), 0); // a range change ends it

        // A frequency change with Shift keeps a selection, without it ends it.
        r.s.ZoomOut();
        picture(r.s);
        shiftDrag(20);
        const qint32 anchor = r.s.selectionAnchor();
        r.s.SetFrequency(anchor + 300); // too little to zoom into
        QCOMPARE(selection(), QString("1 %1-%2 0").arg(anchor).arg(anchor + 300));
        r.s.SetFrequency(anchor + 310);
        QCOMPARE(selection(), QString("1 %1-%2 1").arg(anchor).arg(anchor + 310));
        r.modifiers = Qt::NoModifier;
        r.s.SetFrequency(anchor + 410);
        QCOMPARE(r.s.selectionAnchor(), 0);

        shiftDrag(20); // any left press ends it
        r.modifiers = Qt::NoModifier;
        pressLeft(r.s, 300, 90);
        QCOMPARE(r.s.selectionAnchor(), 0);
    }

    void clicksAndDoubleClicks()
    {
        ScaleRig r;
        TFqMarker *m = r.marker(3700000, "Flag");
        r.marker(3750000, "Other");
        r.showSlider();
        ScaleEventLog log(r.s);
        const QPoint flag = centre(m->HitRect);
        auto click = [&](bool twice, int x, int y) {
            twice ? doubleClickLeft(r.s, x, y) : pressLeft(r.s, x, y);
            releaseLeft(r.s, x, y);
            return log.take();
        };
        QCOMPARE(click(false, flag.x(), flag.y()),
                 QStringList({"OnFreqAssigned(3700000)", "OnFqMarkerClick(0)", "OnMouseDown", "OnMouseUp"}));
        QCOMPARE(r.s.SelectedMarker, 0);
        QCOMPARE(click(true, flag.x(), flag.y()), QStringList({"OnFqMarkerDblClk(0)", "OnMouseDown", "OnMouseUp"}));

        r.s.SetFrequency(3550000);
        picture(r.s);
        log.take();
        const int sx = r.s.drawnSliderX();
        QCOMPARE(click(true, sx + 10, 20), QStringList({"OnSliderDblClk", "OnMouseDown", "OnMouseUp"}));
        QCOMPARE(click(true, sx + 11, 20), QStringList({"OnScaleDblClk", "OnMouseDown", "OnMouseUp"}));
        QCOMPARE(click(false, sx + 100, 58), QStringList({"OnMouseDown", "OnMouseUp"})); // the ruler does not tune
        QCOMPARE(r.s.Frequency(), 3550000);

        // A right press notes the marker or the slider under it, for the menu only.
        auto rightPress = [&](int x, int y) {
            sendMouse(r.s, QEvent::MouseButtonPress, x, y, Qt::RightButton, Qt::RightButton);
            if (r.s.PopupMenu())
                r.s.PopupMenu()->hide();
            return QString("%1 %2").arg(r.s.MarkerUnderPopup()).arg(r.s.SliderUnderPopup());
        };
        QCOMPARE(rightPress(flag.x(), flag.y()), QString("-1 0")); // no menu
        QMenu menu;
        menu.addAction("Edit");
        r.s.SetPopupMenu(&menu);
        QCOMPARE(rightPress(flag.x(), flag.y()), QString("0 0"));
        r.s.DeleteMarkerUnderPopup();
        QCOMPARE(r.s.Markers.size(), 1);
        QCOMPARE(r.s.Markers.first()->Caption, QString("Other"));
        QCOMPARE(rightPress(sx + 10, 30), QString("-1 1"));
    }

    void askShowMarkerGroup()
    {
        ScaleRig r;
        testenv::PromptRecorder prompts;
        prompts.answers = {false, true};
        r.s.VisibleGroups = QStringList({"BEACON"});
        TFqMarker *hidden = r.marker(3600000, "Rpt", "REPEATER\r\nLOCAL");
        r.s.AskShowMarkerGroup(r.marker(3610000, "Bcn", "BEACON"));
        QVERIFY(prompts.shown.isEmpty());
        r.s.AskShowMarkerGroup(hidden); // answered No
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown.first().first, testenv::PromptKind::Question);
        QCOMPARE(prompts.lastParent.data(), static_cast<QWidget *>(&r.s));
        QCOMPARE(prompts.shown.first().second,
                 QString("According to the marker's attributes the marker \nis not currently visible on the scale."
                         "\n\nDo you wish to turn the group \"REPEATER\" on to make it visible?"));
        QCOMPARE(r.s.VisibleGroups.items(), QStringList({"BEACON"}));
        r.s.AskShowMarkerGroup(hidden); // answered Yes
        QCOMPARE(r.s.VisibleGroups.items(), QStringList({"BEACON", "REPEATER"}));
        hidden->Attributes = "LOCAL\nREPEATER";
        r.s.VisibleGroups.clear();
        r.s.AskShowMarkerGroup(hidden);
        QCOMPARE(r.s.VisibleGroups.items(), QStringList({"LOCAL"}));
    }
};

TARNWICK_TEST_CLASS(TestRadioScaleInteraction)
#include "tst_radioscale_interaction.moc"
