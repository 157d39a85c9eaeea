#include "common/PromptRecorder.h"
#include "common/TestEnvironment.h"
#include "controls/RadioScale.h"
#include "ScaleTestSupport.h"

#include <QApplication>
#include <QMenu>

#include <memory>
#include <vector>

namespace {

// A scale as the main window keeps it: 700 x 100, 3.5-3.8 MHz, no slide.
struct Rig
{
    FakeInputs in;
    TRadioScale s;
    std::vector<std::unique_ptr<TFqMarker>> store;

    Rig()
    {
        in.attach(s);
        s.SetAnimateScale(false);
        s.Rescale();
    }
    TFqMarker *marker(qint32 f, const QString &caption, const QString &attributes = QString())
    {
        store.push_back(makeMarker(f, caption, attributes));
        s.AddMarker(store.back().get(), false);
        return store.back().get();
    }
    void paint() { s.grab(); }
    // Runs the drag timer when it is due on the fake clock.
    void runDueTimer()
    {
        if (s.IsDragTimerActive() && in.now >= s.DragTimerDueTick())
            s.DragTimerTimer();
    }
};

QPoint centre(const TEdgeRect &r)
{
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

} // namespace

class TestRadioScaleInteraction : public QObject
{
    Q_OBJECT
private slots:
    void frequencyWriteChangesBandAndRaisesEventsInOrder()
    {
        Rig r;
        r.s.AddBand(3500000, 3800000, "80 m", "LSB", 3650000);
        r.s.AddBand(7000000, 7200000, "40 m", "LSB", 7050000);
        r.s.AddBand(3500000, 3570000, "80 m CW", "CW", 3520000);
        ScaleEventLog log(r.s);

        QList<QRect> rects;
        r.s.SetInvalidationObserver([&](const QRect &rect) { rects << rect; });
        auto bandNameRepainted = [&] {
            for (const QRect &rect : rects)
                if (rect.left() == 30 && rect.top() == 7 && rect.width() >= 300)
                    return true;
            return false;
        };
        r.s.SetFrequency(3600000);
        QCOMPARE(log.take(), QStringList({"OnBandChange(0)", "OnFreqAssigned(3600000)"}));
        QVERIFY(bandNameRepainted());
        rects.clear();
        r.s.SetFrequency(3610000);
        QCOMPARE(log.take(), QStringList({"OnFreqAssigned(3610000)"}));
        QVERIFY(!bandNameRepainted());
        r.s.SetInvalidationObserver(nullptr);

        r.s.SetFrequency(7050000);   // off the scale, in another band
        QCOMPARE(r.s.ScaleBegin(), 7000000);
        QCOMPARE(r.s.ScaleEnd(), 7200000);
        QCOMPARE(r.s.Frequency(), 7050000);
        QCOMPARE(r.s.SliderX(), r.s.FreqToX(7050000));
        QCOMPARE(log.take(), QStringList({"OnBandChange(1)", "OnFreqAssigned(7050000)"}));

        r.s.SetFrequency(-1);       // unknown: nothing at all
        QCOMPARE(r.s.Frequency(), 7050000);
        QVERIFY(log.take().isEmpty());

        r.s.SetAutoBand(false);
        r.s.SetFrequency(3550000);
        QCOMPARE(r.s.ScaleBegin(), 7000000);  // the range stays
        QCOMPARE(log.take(), QStringList({"OnBandChange(2)", "OnFreqAssigned(3550000)"}));

        r.s.SetAutoBand(true);
        r.s.SetGeneralCoverage(false);
        r.s.SetFrequency(10120000);  // in no band and no general coverage
        QCOMPARE(r.s.ScaleBegin(), 7000000);
        QCOMPARE(log.take(), QStringList({"OnBandChange(-1)", "OnFreqAssigned(10120000)"}));
    }

    void generalCoverageMovesTheWindow()
    {
        Rig r;
        r.s.SetFrequency(3810000);  // just past the right end: one span to the right
        QCOMPARE(r.s.ScaleBegin(), 3800000);
        QCOMPARE(r.s.ScaleEnd(), 4100000);

        r.s.SetFrequency(3790000);  // just past the left end: one span to the left
        QCOMPARE(r.s.ScaleBegin(), 3500000);
        QCOMPARE(r.s.ScaleEnd(), 3800000);

        r.s.SetFrequency(14100555); // far away: centred, ends on whole kHz
        QCOMPARE(r.s.ScaleBegin(), 13950000);
        QCOMPARE(r.s.ScaleEnd(), 14250000);

        r.s.SetRange(150000, 450000);
        r.s.SetFrequency(140000);   // never below 100 kHz
        QCOMPARE(r.s.ScaleBegin(), 100000);
        QCOMPARE(r.s.ScaleEnd(), 400000);

        // a zoomed scale moves with the span of the oldest zoom step
        r.s.SetRange(3500000, 3800000);
        r.s.SetFrequency(3550000);
        r.s.ZoomTo(0, 0);
        r.s.ZoomTo(0, 0);
        QCOMPARE(r.s.ZoomSteps.size(), 2);
        r.s.SetFrequency(21100000);
        QCOMPARE(r.s.ScaleBegin(), 20950000);
        QCOMPARE(r.s.ScaleEnd(), 21250000);
        QVERIFY(r.s.ZoomSteps.isEmpty());
    }

    void zoomAroundTheFrequencyAndBack()
    {
        Rig r;
        QVERIFY(r.s.CanZoomIn());
        QVERIFY(!r.s.CanZoomOut());
        r.s.ZoomTo(0, 0);   // 15 labels of 20 kHz: one more label each side
        QCOMPARE(r.s.ScaleBegin(), 3520000);
        QCOMPARE(r.s.ScaleEnd(), 3580000);
        QVERIFY(r.s.CanZoomOut());
        QCOMPARE(r.s.ZoomSteps.size(), 1);
        QCOMPARE(r.s.ZoomSteps.first().ScaleBegin, 3500000);

        TRadioScale wide;
        wide.resize(786, 100);
        wide.Rescale();
        wide.ZoomTo(0, 0);
        QCOMPARE(wide.ScaleBegin(), 3520000);
        QCOMPARE(wide.ScaleEnd(), 3580000);
        QCOMPARE(wide.labelStep(), 5000);
        wide.ZoomTo(0, 0);   // 3,550,000 is a multiple: strictly below and above
        QCOMPARE(wide.ScaleBegin(), 3540000);
        QCOMPARE(wide.ScaleEnd(), 3560000);
        wide.ZoomOut();
        QCOMPARE(wide.ScaleBegin(), 3520000);
        QCOMPARE(wide.ScaleEnd(), 3580000);
        wide.ZoomOut();
        QCOMPARE(wide.ScaleBegin(), 3500000);
        QCOMPARE(wide.ScaleEnd(), 3800000);
        QVERIFY(!wide.CanZoomOut());

        // eight labels or fewer: no extra label on either side
        wide.SetScaleBegin(3540000);
        wide.SetScaleEnd(3578000);
        wide.Rescale();
        QCOMPARE(wide.labelStep(), 5000);   // 7 labels
        wide.SetFrequency(3551000);
        wide.ZoomTo(0, 0);
        QCOMPARE(wide.ScaleBegin(), 3550000);
        QCOMPARE(wide.ScaleEnd(), 3555000);
    }

    void zoomToRangeTunesOntoTheScale()
    {
        Rig r;
        ScaleEventLog log(r.s);
        r.s.ZoomTo(3600000, 3700000);
        QCOMPARE(r.s.ScaleBegin(), 3600000);
        QCOMPARE(r.s.ScaleEnd(), 3700000);
        QCOMPARE(r.s.Frequency(), 3600000);   // was off to the left
        QCOMPARE(log.take(), QStringList({"OnFreqAssigned(3600000)"}));
        r.s.SetFrequency(3690000);
        r.s.ZoomTo(3620000, 3650000);
        QCOMPARE(r.s.Frequency(), 3650000);   // was off to the right

        // too short to zoom in: nothing, not even history
        r.s.SetRange(3500000, 3500400);
        const int steps = r.s.ZoomSteps.size();
        QVERIFY(!r.s.CanZoomIn());
        r.s.ZoomTo(0, 0);
        r.s.ZoomTo(3500100, 3500200);
        QCOMPARE(r.s.ScaleBegin(), 3500000);
        QCOMPARE(r.s.ZoomSteps.size(), steps);
    }

    void zoomOutWithoutHistoryWidens()
    {
        Rig r;
        r.s.ZoomOut();   // 15 labels: 5 label steps more on each side
        QCOMPARE(r.s.ScaleBegin(), 3400000);
        QCOMPARE(r.s.ScaleEnd(), 3900000);
        r.s.SetAbsHiFq(3950000);
        r.s.ZoomOut();   // 10 labels of 50 kHz: 3 more each side, the top clamped
        QCOMPARE(r.s.ScaleBegin(), 3250000);
        QCOMPARE(r.s.ScaleEnd(), 3950000);

        TRadioScale narrow;   // a ruler with fewer than three labels
        narrow.resize(100, 100);
        narrow.Rescale();
        narrow.ZoomOut();
        QCOMPARE(narrow.ScaleBegin(), 3500000);
        QCOMPARE(narrow.ScaleEnd(), 3800000);
    }

    void scrollAndSelectBand()
    {
        Rig r;
        r.s.ScrollScale(true);
        QCOMPARE(r.s.ScaleBegin(), 3520000);
        QCOMPARE(r.s.ScaleEnd(), 3820000);
        r.s.ScrollScale(false);
        r.s.ScrollScale(false);
        QCOMPARE(r.s.ScaleBegin(), 3480000);
        r.s.SetAbsLoFq(3470000);
        r.s.ScrollScale(false);   // would leave the outer limits
        QCOMPARE(r.s.ScaleBegin(), 3480000);

        r.s.AddBand(7000000, 7200000, "40 m", "CW", 7025000);
        r.s.ZoomTo(0, 0);
        ScaleEventLog log(r.s);
        r.s.SelectBand(0);
        QCOMPARE(r.s.ScaleBegin(), 7000000);
        QCOMPARE(r.s.ScaleEnd(), 7200000);
        QCOMPARE(r.s.Frequency(), 7025000);
        QVERIFY(r.s.ZoomSteps.isEmpty());
        QCOMPARE(log.take(), QStringList({"OnBandChange(0)", "OnFreqAssigned(7025000)"}));
        r.s.SelectBand(1);
        r.s.SelectBand(-1);
        QCOMPARE(r.s.ScaleBegin(), 7000000);
    }

    void jumpToMarkerSkipsHiddenAndWraps()
    {
        Rig r;
        r.s.VisibleGroups = QStringList({"BEACON"});
        r.marker(3550000, "A");
        r.marker(3600000, "B", "REPEATER");   // hidden
        r.marker(3650000, "C", "BEACON");
        r.marker(3700000, "D");
        r.marker(3900000, "E");               // outside the range asked for
        ScaleEventLog log(r.s);
        r.s.SetFrequency(3560000);
        log.take();

        QCOMPARE(r.s.JumpToMarker(true, 3500000, 3800000), 2);
        QCOMPARE(r.s.Frequency(), 3650000);
        QCOMPARE(r.s.SelectedMarker, 2);
        QCOMPARE(log.take(), QStringList({"OnFreqAssigned(3650000)", "OnFqMarkerClick(2)"}));
        QCOMPARE(r.s.JumpToMarker(true, 3500000, 3800000), 3);
        QCOMPARE(r.s.JumpToMarker(true, 3500000, 3800000), 0);   // wraps to the first
        QCOMPARE(r.s.Frequency(), 3550000);
        QCOMPARE(r.s.JumpToMarker(false, 3500000, 3800000), 3); // and back round
        QCOMPARE(r.s.JumpToMarker(false, 3500000, 3800000), 2);
        QCOMPARE(r.s.JumpToMarker(false, 3500000, 3800000), 0); // over the hidden one

        r.s.SetFrequency(3690000);   // away from the selected marker: from the frequency
        QCOMPARE(r.s.JumpToMarker(false, 3500000, 3800000), 2);
        r.s.SetFrequency(3690000);
        QCOMPARE(r.s.JumpToMarker(true, 3500000, 4000000), 3);
        QCOMPARE(r.s.JumpToMarker(true, 3500000, 4000000), 4);

        log.take();
        QCOMPARE(r.s.JumpToMarker(true, 5000000, 6000000), -1);
        QVERIFY(log.take().isEmpty());
    }

    void dragAppliesAtMostEveryHundredMilliseconds()
    {
        Rig r;
        r.s.SetSliderVisible(true);
        r.paint();
        ScaleEventLog log(r.s);
        QList<qint64> applied;
        connect(&r.s, &TRadioScale::OnFreqChanged, &r.s, [&] { applied << r.in.now; });

        const int x0 = r.s.drawnSliderX();
        pressLeft(r.s, x0 + 3, 40);
        QVERIFY(r.s.isDragging());
        QCOMPARE(log.take(), QStringList({"OnFreqChangeStart(3550000)", "OnMouseDown"}));

        int x = x0 + 3;
        for (int i = 0; i < 200; ++i) {   // one pixel every 5 ms for a second
            r.in.now += 5;
            r.runDueTimer();
            ++x;
            dragTo(r.s, x, 40);
        }
        QVERIFY2(applied.size() >= 8 && applied.size() <= 10, qPrintable(QString::number(applied.size())));
        for (int i = 1; i < applied.size(); ++i) {
            const qint64 gap = applied[i] - applied[i - 1];
            QVERIFY2(gap >= 100 && gap <= 115, qPrintable(QString::number(gap)));
        }
        for (const QString &line : log.lines)
            QVERIFY2(!line.startsWith("OnFreqAssigned"), qPrintable(line));

        // the mouse rests: the last position is applied 10 ms later
        const qint32 expected = r.s.RoundToStep(r.s.XToFreq(x0 + (x - (x0 + 3))));
        QCOMPARE(r.s.pendingFreq(), expected);
        r.in.now += 10;
        r.runDueTimer();
        QCOMPARE(r.s.Frequency(), expected);
        QVERIFY(!r.s.IsDragTimerActive());

        r.paint();
        log.take();
        releaseLeft(r.s, r.s.drawnSliderX(), 40);
        QCOMPARE(log.take(), QStringList({QString("OnFreqChangeStop(%1)").arg(expected), "OnMouseUp"}));
        QVERIFY(!r.s.isDragging());
    }

    void dragNeverLeavesTheScale()
    {
        Rig r;
        r.s.SetSliderVisible(true);
        r.paint();
        const int x0 = r.s.drawnSliderX();
        pressLeft(r.s, x0, 40);
        r.in.now += 500;
        dragTo(r.s, 12, 40);              // 12 px from the edge: off the scale
        QVERIFY(!r.s.IsDragTimerActive());
        dragTo(r.s, 13, 40);              // 13 px: still on
        QVERIFY(r.s.IsDragTimerActive());
        r.in.now += 10;
        r.runDueTimer();
        QCOMPARE(r.s.Frequency(), r.s.RoundToStep(r.s.XToFreq(13)));
        QCOMPARE(r.s.ScaleBegin(), 3500000);   // never scrolls the range
        dragTo(r.s, 5, 40);
        QVERIFY(!r.s.IsDragTimerActive());
        releaseLeft(r.s, 5, 40);   // far from the slider: no stop event
        QVERIFY(!r.s.isDragging());

        // without the left button a move does not drag
        r.paint();
        pressLeft(r.s, r.s.drawnSliderX(), 40);
        r.in.now += 500;
        hoverTo(r.s, r.s.drawnSliderX() + 40, 40);
        QVERIFY(!r.s.IsDragTimerActive());
        releaseLeft(r.s, r.s.drawnSliderX(), 40);

        // a hidden slider cannot be grabbed
        r.s.SetSliderVisible(false);
        pressLeft(r.s, r.s.drawnSliderX(), 40);
        QVERIFY(!r.s.isDragging());
        releaseLeft(r.s, r.s.drawnSliderX(), 40);
    }

    void shiftDragSelects()
    {
        Rig r;
        r.s.SetSliderVisible(true);
        r.paint();
        qint32 lo = 0, hi = 0;
        QVERIFY(!r.s.GetSelection(lo, hi));
        QCOMPARE(lo, 3500000);
        QCOMPARE(hi, 3800000);

        const int x0 = r.s.drawnSliderX();
        pressLeft(r.s, x0, 40);
        r.in.modifiers = Qt::ShiftModifier;
        r.in.now += 200;
        dragTo(r.s, x0 + 50, 40);
        r.in.now += 10;
        r.runDueTimer();
        QCOMPARE(r.s.selectionAnchor(), 3550000);
        r.paint();
        releaseLeft(r.s, r.s.drawnSliderX(), 40);
        r.in.modifiers = Qt::NoModifier;   // Shift let go: the selection stays

        QVERIFY(r.s.GetSelection(lo, hi));
        QCOMPARE(lo, 3550000);
        QCOMPARE(hi, r.s.Frequency());
        QVERIFY(hi > lo + 20000);
        {
            const QImage img = r.s.grab().toImage();
            QCOMPARE(img.pixel(r.s.FreqToX(lo) + 5, 20) | 0xFF000000, qRgb(0xC0, 0xC0, 0xC0));
            QCOMPARE(img.pixel(r.s.FreqToX(lo) - 5, 20) | 0xFF000000, qRgb(0xF0, 0xF0, 0xF0));
        }
        QVERIFY(r.s.CanZoomIn());

        r.s.ZoomTo(lo, hi);   // what the main window's zoom-in does with a selection
        QCOMPARE(r.s.ScaleBegin(), lo);
        QCOMPARE(r.s.ScaleEnd(), hi);
        QCOMPARE(r.s.selectionAnchor(), 0);   // a range change ends the selection

        // a frequency change with Shift keeps a selection, without it ends it
        r.s.ZoomOut();
        r.paint();
        pressLeft(r.s, r.s.drawnSliderX(), 40);
        r.in.modifiers = Qt::ShiftModifier;
        r.in.now += 200;
        dragTo(r.s, r.s.drawnSliderX() - 40, 40);
        r.in.now += 10;
        r.runDueTimer();
        releaseLeft(r.s, r.s.drawnSliderX(), 40);
        QVERIFY(r.s.selectionAnchor() != 0);
        r.s.SetFrequency(r.s.Frequency() + 100);
        QVERIFY(r.s.selectionAnchor() != 0);
        r.in.modifiers = Qt::NoModifier;
        r.s.SetFrequency(r.s.Frequency() + 100);
        QCOMPARE(r.s.selectionAnchor(), 0);

        // a selection of 300 Hz or less cannot be zoomed into
        r.paint();
        pressLeft(r.s, r.s.drawnSliderX(), 40);
        r.in.modifiers = Qt::ShiftModifier;
        r.in.now += 200;
        dragTo(r.s, r.s.drawnSliderX() + 20, 40);
        r.in.now += 10;
        r.runDueTimer();
        releaseLeft(r.s, r.s.drawnSliderX(), 40);
        QVERIFY(r.s.CanZoomIn());
        r.s.SetFrequency(r.s.selectionAnchor() + 300);   // Shift still held: the selection stays
        QVERIFY(r.s.GetSelection(lo, hi));
        QCOMPARE(hi - lo, 300);
        QVERIFY(!r.s.CanZoomIn());
        r.s.SetFrequency(r.s.selectionAnchor() + 310);
        QVERIFY(r.s.CanZoomIn());

        // any left press ends it
        r.in.modifiers = Qt::NoModifier;
        pressLeft(r.s, 300, 90);
        QCOMPARE(r.s.selectionAnchor(), 0);
        releaseLeft(r.s, 300, 90);
    }

    void clicksAndDoubleClicks()
    {
        Rig r;
        r.s.SetSliderVisible(true);
        TFqMarker *m = r.marker(3700000, "Flag");
        r.paint();
        ScaleEventLog log(r.s);

        const QPoint flag = centre(m->HitRect);
        pressLeft(r.s, flag.x(), flag.y());
        releaseLeft(r.s, flag.x(), flag.y());
        QCOMPARE(r.s.Frequency(), 3700000);
        QCOMPARE(r.s.SelectedMarker, 0);
        QCOMPARE(log.take(), QStringList({"OnFreqAssigned(3700000)", "OnFqMarkerClick(0)", "OnMouseDown", "OnMouseUp"}));

        doubleClickLeft(r.s, flag.x(), flag.y());
        releaseLeft(r.s, flag.x(), flag.y());
        QCOMPARE(log.take(), QStringList({"OnFqMarkerDblClk(0)", "OnMouseDown", "OnMouseUp"}));

        r.s.SetFrequency(3550000);
        r.paint();
        log.take();
        const int sx = r.s.drawnSliderX();
        doubleClickLeft(r.s, sx + 9, 20);
        releaseLeft(r.s, sx + 9, 20);
        QCOMPARE(log.take(), QStringList({"OnSliderDblClk", "OnMouseDown", "OnMouseUp"}));
        doubleClickLeft(r.s, sx + 40, 20);
        releaseLeft(r.s, sx + 40, 20);
        QCOMPARE(log.take(), QStringList({"OnScaleDblClk", "OnMouseDown", "OnMouseUp"}));

        // a click on the ruler away from the slider does not tune
        pressLeft(r.s, sx + 100, 58);
        releaseLeft(r.s, sx + 100, 58);
        QCOMPARE(r.s.Frequency(), 3550000);
        QCOMPARE(log.take(), QStringList({"OnMouseDown", "OnMouseUp"}));
    }

    void popupPointFindsMarkerAndSlider()
    {
        Rig r;
        r.s.SetSliderVisible(true);
        TFqMarker *m = r.marker(3700000, "Flag");
        r.marker(3750000, "Other");
        r.paint();
        QCOMPARE(r.s.MarkerUnderPopup(), -1);   // no menu

        QMenu menu;
        menu.addAction("Edit");
        r.s.SetPopupMenu(&menu);
        const QPoint flag = centre(m->HitRect);
        sendMouse(r.s, QEvent::MouseButtonPress, flag.x(), flag.y(), Qt::RightButton, Qt::RightButton);
        menu.hide();
        QCOMPARE(r.s.MarkerUnderPopup(), 0);
        QVERIFY(!r.s.SliderUnderPopup());
        r.s.DeleteMarkerUnderPopup();
        QCOMPARE(r.s.Markers.size(), 1);
        QCOMPARE(r.s.Markers.first()->Caption, QString("Other"));

        const int sx = r.s.drawnSliderX();
        sendMouse(r.s, QEvent::MouseButtonPress, sx + 10, 30, Qt::RightButton, Qt::RightButton);
        menu.hide();
        QVERIFY(r.s.SliderUnderPopup());
        QCOMPARE(r.s.MarkerUnderPopup(), -1);
        r.s.DeleteMarkerUnderPopup();
        QCOMPARE(r.s.Markers.size(), 1);
    }

    void askShowMarkerGroup()
    {
        Rig r;
        testenv::PromptRecorder prompts;
        prompts.answers = {false, true};
        r.s.VisibleGroups = QStringList({"BEACON"});
        TFqMarker *hidden = r.marker(3600000, "Rpt", "REPEATER\r\nLOCAL");
        TFqMarker *shown = r.marker(3610000, "Bcn", "BEACON");

        r.s.AskShowMarkerGroup(shown);
        QVERIFY(prompts.shown.isEmpty());
        r.s.AskShowMarkerGroup(hidden); // answered No
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown.first().first, testenv::PromptKind::Question);
        QCOMPARE(prompts.lastParent.data(), static_cast<QWidget *>(&r.s));
        QCOMPARE(prompts.shown.first().second,
                 QString("According to the marker's attributes the marker \nis not currently visible on the scale."
                         "\n\nDo you wish to turn the group \"REPEATER\" on to make it visible?"));
        QCOMPARE(r.s.VisibleGroups, QStringList({"BEACON"}));
        r.s.AskShowMarkerGroup(hidden); // answered Yes
        QCOMPARE(prompts.shown.size(), 2);
        QCOMPARE(r.s.VisibleGroups, QStringList({"BEACON", "REPEATER"}));
        QVERIFY(r.s.IsMarkerVisibleByGroups(*hidden));
    }

    void markerRowsFollowTheMarker()
    {
        Rig r;
        const int rows = r.s.visibleMarkerRows();
        QVERIFY(rows >= 1);
        for (int i = 0; i < 3 * rows; ++i)
            r.marker(3650000 + 10 * i, QString("M%1").arg(i));
        TFqMarker *last = r.store.back().get();
        TFqMarker *first = r.store.front().get();
        TFqMarker *hidden = r.marker(3660000, "Hidden", "NOGROUP");
        TFqMarker stranger;   // not on the scale at all
        stranger.HitRect.Bottom = 1;
        r.paint();
        QCOMPARE(last->HitRect.Bottom, 1);

        r.s.GoToMarker(last);
        QCOMPARE(r.s.Frequency(), last->Frequency);
        QCOMPARE(r.s.firstMarkerRow(), 2 * rows);
        QVERIFY(last->HitRect.Bottom > last->HitRect.Top);

        r.s.EnsureMarkerVisible(first);
        QCOMPARE(r.s.firstMarkerRow(), 0);
        r.s.EnsureMarkerVisible(hidden);
        QCOMPARE(r.s.firstMarkerRow(), 0);
        r.s.EnsureMarkerVisible(&stranger);   // returns, rows unchanged
        QCOMPARE(r.s.firstMarkerRow(), 0);

        r.s.ScrollMarkerRows(false);
        QCOMPARE(r.s.firstMarkerRow(), rows);
        r.s.ScrollMarkerRows(false);
        r.s.ScrollMarkerRows(false);   // no rows below any more: stays
        QCOMPARE(r.s.firstMarkerRow(), 2 * rows);
        r.s.ScrollMarkerRows(true);
        QCOMPARE(r.s.firstMarkerRow(), rows);
    }

    void hoverCursorsAndHints()
    {
        Rig r;
        r.s.SetSliderVisible(true);
        TFqMarker *m = r.marker(3700000, "Flag");
        m->Mode = "USB";
        r.s.show();
        r.s.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&r.s));
        r.paint();

        const QPoint flag = centre(m->HitRect);
        hoverTo(r.s, flag.x(), flag.y());
        QCOMPARE(r.s.cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(r.s.HintText(), QString("Flag\nFreq: 3,700.000\nMode: USB"));

        const int sx = r.s.drawnSliderX();
        hoverTo(r.s, sx + 5, 30);
        QCOMPARE(r.s.cursor().shape(), Qt::SplitHCursor);
        QCOMPARE(r.s.HintText(), QString());

        hoverTo(r.s, flag.x(), flag.y());
        QVERIFY(!r.s.HintText().isEmpty());
        hoverTo(r.s, sx + 80, 30);
        QCOMPARE(r.s.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(r.s.HintText(), QString());

        r.s.SetShowHintMouseHoover(false);
        hoverTo(r.s, flag.x(), flag.y());
        QCOMPARE(r.s.cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(r.s.HintText(), QString());

        // reaching a marker by a jump shows its hint
        r.s.JumpToMarker(true, r.s.ScaleBegin(), r.s.ScaleEnd());
        QCOMPARE(r.s.HintText(), QString("Flag\nFreq: 3,700.000\nMode: USB"));
        r.s.HideHint();
        QCOMPARE(r.s.HintText(), QString());
        r.s.SetShowHintMarkerSelected(false);
        r.s.SetFrequency(3550000);
        r.s.JumpToMarker(true, r.s.ScaleBegin(), r.s.ScaleEnd());
        QCOMPARE(r.s.HintText(), QString());

        // the marker under the slider still shows the slider cursor
        r.s.SetFrequency(3700000);
        r.paint();
        hoverTo(r.s, r.s.drawnSliderX() + 3, flag.y());
        QCOMPARE(r.s.cursor().shape(), Qt::SplitHCursor);
    }
};

TARNWICK_TEST_CLASS(TestRadioScaleInteraction)
#include "tst_radioscale_interaction.moc"
