#include "common/TestEnvironment.h"
#include "controls/RadioScale.h"
#include "ScaleTestSupport.h"

#include <QApplication>
#include <QPaintEvent>
#include <QRandomGenerator>
#include <QToolTip>

#include <memory>
#include <vector>

namespace {

const QRgb Background = qRgb(0xF0, 0xF0, 0xF0);

bool isBlack(const QImage &img, int x, int y)
{
    return (img.pixel(x, y) & 0xFFFFFF) == 0;
}

// The four rows of a row button's triangle, pixel for pixel inside its frame:
// one pixel at the tip, seven at the open end.
bool triangleDrawn(const QImage &img, const QRect &r, bool up)
{
    for (int row = 0; row < 4; ++row) {
        const int half = up ? row : 3 - row;
        const int y = r.top() + 3 + row;
        for (int x = r.left() + 1; x < r.right(); ++x) {
            const bool onTriangle = x >= r.left() + 5 - half && x <= r.left() + 5 + half;
            if (isBlack(img, x, y) != onTriangle)
                return false;
        }
    }
    return true;
}

QRgb at(const QImage &img, int x, int y)
{
    return img.pixel(x, y) | 0xFF000000;
}

int darkPixels(const QImage &img, const QRect &r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(img.pixel(x, y)) < 100)
                ++n;
    return n;
}

QImage picture(TRadioScale &s)
{
    return s.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Records the regions of the paint events a widget receives.
class PaintSpy : public QObject
{
public:
    QRegion painted;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(e)->region();
        return false;
    }
};

} // namespace

class TestRadioScalePaint : public QObject
{
    Q_OBJECT
private slots:
    void rulerTicksLabelsAndEdge()
    {
        TRadioScale s;
        s.Rescale();
        const QImage img = picture(s);
        QCOMPARE(img.size(), QSize(700, 100));
        // frame and sunken edge
        QVERIFY(isBlack(img, 0, 0));
        QVERIFY(isBlack(img, 699, 99));
        QCOMPARE(at(img, 1, 50), qRgb(0x80, 0x80, 0x80));
        QCOMPARE(at(img, 2, 50), qRgb(0xC0, 0xC0, 0xC0));
        // the ruler at y 60 from the left margin to the right one
        QVERIFY(isBlack(img, 30, 60));
        QVERIFY(isBlack(img, 300, 60));
        QVERIFY(isBlack(img, 669, 60));
        QCOMPARE(at(img, 675, 60), Background);
        QCOMPARE(at(img, 300, 61), Background);
        QCOMPARE(at(img, 300, 59), Background);
        // minor tick at 30 + round(10.67) = 41: y 56..60
        QVERIFY(isBlack(img, 41, 56));
        QCOMPARE(at(img, 41, 54), Background);
        // major ticks every 42.67 px, 16 of them, labelled above
        for (int i = 0; i <= 15; ++i) {
            const int x = 30 + qRound(i * 640.0 / 15.0);
            QVERIFY2(isBlack(img, x, 53), qPrintable(QString("major tick %1 at %2").arg(i).arg(x)));
            QVERIFY(darkPixels(img, QRect(x - 15, 30, 30, 14)) > 5);
        }
        QCOMPARE(at(img, 41, 53), Background); // a minor tick is short
        // "kHz" centred at the top
        QVERIFY(darkPixels(img, QRect(320, 7, 60, 20)) > 10);
        QVERIFY(s.minorPx() > 0);
    }

    void noScaleText()
    {
        TRadioScale s;
        s.SetScaleBegin(3500000);
        s.SetScaleEnd(3500000);
        s.Rescale();
        const QImage img = picture(s);
        QCOMPARE(at(img, 100, 60), Background);  // no ruler
        QCOMPARE(at(img, 30, 60), Background);
        QVERIFY(darkPixels(img, QRect(150, 35, 400, 30)) > 100);
        QCOMPARE(darkPixels(img, QRect(10, 10, 100, 80)), 0);
        QCOMPARE(s.minorPx(), 0.0);
    }

    void shortRulerHasNoMajorTicksAndEndlessNameIsCut()
    {
        TRadioScale s;
        s.resize(90, 100);   // W / 2 - 50 is negative: every band name shrinks to nothing
        s.AddBand(3500000, 3800000, "A very long band name - with words. And more", "CW", 3550000);
        s.Rescale();
        QVERIFY(s.minorPx() > 0);
        QCOMPARE(s.labelPx(), 0.0);
        const QImage img = picture(s);   // returns: neither loop runs for ever
        QVERIFY(isBlack(img, 40, 60));
        QCOMPARE(darkPixels(img, QRect(30, 48, 30, 6)), 0); // no major ticks
    }

    void sliderIsTranslucent()
    {
        TRadioScale s;
        s.Rescale();
        s.SetFrequency(3526719);          // slider at x 87, minor tick at 83
        s.SetSliderVisible(true);
        QCOMPARE(s.SliderX(), 87);
        const QImage img = picture(s);
        QCOMPARE(s.drawnSliderX(), 87);
        const QColor info = QToolTip::palette().color(QPalette::Inactive, QPalette::ToolTipBase);
        const QRgb infoRgb = info.rgb();
        // OR with $808080 then AND with the hint colour
        const QRgb overTick = (infoRgb & 0x808080) | 0xFF000000;
        const QRgb overBackground = (infoRgb & (Background | 0x808080)) | 0xFF000000;
        QCOMPARE(at(img, 83, 58), overTick);            // the tick shows through
        QCOMPARE(at(img, 83, 45), overBackground);
        QVERIFY(at(img, 83, 58) != at(img, 83, 45));
        QCOMPARE(at(img, 90, 60), overTick);            // the ruler too
        QVERIFY(isBlack(img, 87, 20));                  // middle line
        QCOMPARE(at(img, 77, 20), qRgb(0xC0, 0xC0, 0xC0));  // light left edge
        QCOMPARE(at(img, 97, 20), qRgb(0x80, 0x80, 0x80));  // dark right edge
        QCOMPARE(at(img, 98, 20), Background);          // 21 px wide
        QCOMPARE(at(img, 76, 20), Background);
    }

    void modeStripAndBandName()
    {
        TRadioScale s;
        s.AddMode(3400000, 3600000, "CW", 0x0000FF, "");      // red, starts left of the range
        s.AddMode(3600000, 3650000, "DIG", 0xFF0000, "Data"); // blue
        s.AddMode(3900000, 4000000, "USB", 0x00FF00, "");     // out of view
        s.AddBand(3500000, 3800000, "80 m", "LSB", 3550000);
        s.Rescale();
        const QImage img = picture(s);
        QCOMPARE(at(img, 40, 65), qRgb(255, 0, 0));
        QCOMPARE(at(img, 240, 71), qRgb(255, 0, 0));
        QCOMPARE(at(img, 240, 72), Background);
        QCOMPARE(at(img, 250, 62), qRgb(0, 0, 255));
        QCOMPARE(at(img, 360, 65), Background);
        QVERIFY(darkPixels(img, QRect(30, 7, 40, 14)) > 10); // "80 m"
    }

    void markerRowsAndFlipping()
    {
        TRadioScale s;
        s.resize(700, 160);
        std::vector<std::unique_ptr<TFqMarker>> store;
        for (auto [f, c] : {std::pair{3550000, "Alpha"}, std::pair{3551000, "Beta"},
                            std::pair{3700000, "Gamma"}, std::pair{3797000, "Right edge"}}) {
            store.push_back(makeMarker(f, c));
            s.AddMarker(store.back().get(), false);
        }
        s.Rescale();
        QVERIFY(s.visibleMarkerRows() >= 3);
        const QImage img = picture(s);
        QCOMPARE(store[0]->Row, 0);
        QCOMPARE(store[1]->Row, 1);
        QCOMPARE(store[2]->Row, 0);
        const int x0 = s.FreqToX(3550000);
        QCOMPARE(store[0]->LayoutRect.Left, x0);
        QVERIFY(store[0]->LayoutRect.Right > x0 + 20);
        QCOMPARE(store[0]->HitRect.Left, x0);
        QVERIFY(store[1]->HitRect.Top > store[0]->HitRect.Bottom);

        // flipped to the left of its line at the right edge
        const int xr = s.FreqToX(3797000);
        QCOMPARE(store[3]->LayoutRect.Right, xr + 1);
        QVERIFY(store[3]->LayoutRect.Left < xr - 20);
        QCOMPARE(store[3]->Row, 0);
        // its label box lies left of the line, the frequency line is blue
        const int ymid = (store[3]->HitRect.Top + store[3]->HitRect.Bottom) / 2;
        QCOMPARE(at(img, xr, store[3]->HitRect.Top + 1), qRgb(0, 0, 255));
        QVERIFY(at(img, xr - 30, ymid) != Background);
        QCOMPARE(at(img, xr + 8, ymid), Background);

        // label box grey, text blue
        const QRect box(store[2]->HitRect.Left + 5, store[2]->HitRect.Top,
                        store[2]->HitRect.Right - store[2]->HitRect.Left - 5,
                        store[2]->HitRect.Bottom - store[2]->HitRect.Top);
        QCOMPARE(at(img, box.right(), box.top()), qRgb(210, 210, 210));
        bool blueText = false;
        for (int x = box.left(); x < box.right(); ++x)
            for (int y = box.top(); y <= box.bottom(); ++y)
                blueText = blueText || (qBlue(img.pixel(x, y)) > 150 && qRed(img.pixel(x, y)) < 100);
        QVERIFY(blueText);

        QCOMPARE(s.HitTestMarker(x0 + 8, (store[0]->HitRect.Top + store[0]->HitRect.Bottom) / 2), 0);
        QCOMPARE(s.CountMarkers("", 3500000, 3800000), 4);
        QCOMPARE(s.CountMarkers("USB", 3500000, 3800000), 0);
        QCOMPARE(s.CountMarkers("CW", 3540000, 3560000), 2);
    }

    void markerColours()
    {
        TRadioScale s;
        auto plain = makeMarker(3550000, "WWW");
        auto perm = makeMarker(3600000, "WWW");
        perm->Permanent = true;
        auto lit = makeMarker(3650000, "WWW");
        lit->Highlighted = true;
        lit->Permanent = true;
        for (TFqMarker *m : {plain.get(), perm.get(), lit.get()})
            s.AddMarker(m, false);
        s.Rescale();
        const QImage img = picture(s);
        auto lineColour = [&](const TFqMarker &m) { return at(img, s.FreqToX(m.Frequency), m.HitRect.Top + 1); };
        QCOMPARE(lineColour(*plain), qRgb(0, 0, 255));
        QCOMPARE(lineColour(*perm), qRgb(0x80, 0, 0));
        QCOMPARE(lineColour(*lit), qRgb(255, 0, 0));
    }

    void hiddenGroupsAreNeitherDrawnNorHit()
    {
        TRadioScale s;
        s.VisibleGroups = QStringList({"BEACON"});
        auto hidden = makeMarker(3600000, "Hidden", "REPEATER");
        auto shown = makeMarker(3700000, "Shown", "REPEATER\r\nbeacon");
        auto free = makeMarker(3650000, "Free");
        auto outside = makeMarker(3900000, "Outside");
        for (TFqMarker *m : {hidden.get(), shown.get(), free.get(), outside.get()})
            s.AddMarker(m, false);
        s.Rescale();
        const QImage img = picture(s);
        QVERIFY(hidden->LayoutRect.isZero());
        QVERIFY(hidden->HitRect.isZero());
        QVERIFY(outside->LayoutRect.isZero());
        QVERIFY(!shown->HitRect.isZero());
        QVERIFY(!free->HitRect.isZero());
        const int xh = s.FreqToX(3600000);
        QCOMPARE(s.HitTestMarker(xh + 10, 80), -1);
        QCOMPARE(at(img, xh, 79), Background);
        QCOMPARE(s.CountMarkers("", 0, 500000000), 2);
    }

    void rowButtonsOnlyWhereRowsAreHidden()
    {
        TRadioScale s;
        std::vector<std::unique_ptr<TFqMarker>> store;
        s.Rescale();
        const int rows = s.visibleMarkerRows();
        QVERIFY(rows >= 1);
        const int count = 2 * rows + 1;   // three pages of rows
        for (int i = 0; i < count; ++i) {
            store.push_back(makeMarker(3650000 + i * 10, QString("M%1").arg(i)));
            s.AddMarker(store.back().get(), false);
        }
        const QRect up = TRadioScale::ArrowRectUp();
        const QRect down = s.ArrowRectDown();

        QImage img = picture(s);
        QCOMPARE(store.back()->Row, count - 1);
        QVERIFY(!s.moreAbove());
        QVERIFY(s.moreBelow());
        QVERIFY(isBlack(img, down.left(), down.top()));
        QVERIFY(isBlack(img, down.left() + 5, down.top() + 6)); // tip of the down triangle
        QVERIFY(triangleDrawn(img, down, false));
        QCOMPARE(at(img, up.left(), up.top()), Background);
        QCOMPARE(store[0]->HitRect.Bottom - store[0]->HitRect.Top > 0, true);
        QCOMPARE(store[rows]->HitRect.Bottom, 1);               // scrolled out below
        QVERIFY(store[rows]->HitRect.Left == 0 && store[rows]->HitRect.Top == 0);

        // the down button scrolls one page
        pressLeft(s, down.left() + 2, down.top() + 2);
        releaseLeft(s, down.left() + 2, down.top() + 2);
        QCOMPARE(s.firstMarkerRow(), rows);
        img = picture(s);
        QVERIFY(s.moreAbove());
        QVERIFY(s.moreBelow());
        QVERIFY(isBlack(img, up.left(), up.top()));
        QVERIFY(isBlack(img, up.left() + 5, up.top() + 3)); // tip of the up triangle
        QVERIFY(triangleDrawn(img, up, true));
        QVERIFY(triangleDrawn(img, down, false));
        QCOMPARE(store[0]->HitRect.Bottom, -1);

        pressLeft(s, down.left() + 2, down.top() + 2);
        img = picture(s);
        QVERIFY(s.moreAbove());
        QVERIFY(!s.moreBelow());
        QCOMPARE(at(img, down.left(), down.top()), Background);
        QVERIFY(store.back()->HitRect.Bottom > store.back()->HitRect.Top);

        // clicking where no button is drawn does nothing
        pressLeft(s, down.left() + 2, down.top() + 2);
        QCOMPARE(s.firstMarkerRow(), 2 * rows);

        s.ScrollMarkerRows(true);
        QCOMPARE(s.firstMarkerRow(), rows);
        s.Rescale();
        QCOMPARE(s.firstMarkerRow(), 0);
    }

    // Every flag must sit in the first row where it overlaps no earlier flag,
    // whatever the order of the list.
    void markerLayoutIsTheFirstFreeRow_data()
    {
        QTest::addColumn<bool>("sorted");
        QTest::addColumn<int>("count");
        QTest::newRow("sorted, dense") << true << 400;
        QTest::newRow("list order shuffled") << false << 250;
    }
    void markerLayoutIsTheFirstFreeRow()
    {
        QFETCH(bool, sorted);
        QFETCH(int, count);
        TRadioScale s;
        s.VisibleGroups = QStringList({"ON"});
        QRandomGenerator rng(4711);
        std::vector<std::unique_ptr<TFqMarker>> store;
        for (int i = 0; i < count; ++i) {
            const qint32 f = 3500000 + qint32(rng.bounded(300001));
            auto m = makeMarker(f, QString(int(rng.bounded(1, 12)), QChar('A' + i % 26)),
                                rng.bounded(5) == 0 ? "OFF" : (rng.bounded(2) ? "ON" : ""));
            if (sorted)
                s.AddMarker(m.get(), false);
            else
                s.Markers.append(m.get());
            store.push_back(std::move(m));
        }
        s.Rescale();
        picture(s);

        QList<const TFqMarker *> laid;
        for (const TFqMarker *m : s.Markers)
            if (!m->LayoutRect.isZero())
                laid << m;
        QVERIFY(laid.size() > count / 2);
        int pitch = 0;
        for (const TFqMarker *a : laid)
            if (a->Row != laid.first()->Row)
                pitch = (a->LayoutRect.Top - laid.first()->LayoutRect.Top) / (a->Row - laid.first()->Row);
        QVERIFY(pitch > 0);
        auto intersects = [](const TEdgeRect &a, const TEdgeRect &b) {
            return qMax(a.Left, b.Left) < qMin(a.Right, b.Right) && qMax(a.Top, b.Top) < qMin(a.Bottom, b.Bottom);
        };
        int flipped = 0;
        for (int i = 0; i < laid.size(); ++i) {
            const TFqMarker *m = laid[i];
            flipped += m->LayoutRect.Right == s.FreqToX(m->Frequency) + 1 ? 1 : 0;
            for (int j = 0; j < i; ++j)
                QVERIFY(!intersects(m->LayoutRect, laid[j]->LayoutRect));
            for (int r = 0; r < m->Row; ++r) {
                TEdgeRect higher = m->LayoutRect;
                higher.Top -= (m->Row - r) * pitch;
                higher.Bottom -= (m->Row - r) * pitch;
                bool blocked = false;
                for (int j = 0; j < i && !blocked; ++j)
                    blocked = intersects(higher, laid[j]->LayoutRect);
                QVERIFY2(blocked, qPrintable(QString("marker %1 could use row %2").arg(i).arg(r)));
            }
        }
        QVERIFY(flipped > 0);
    }

    void sliderMoveInvalidatesOnlyTwoStrips()
    {
        FakeInputs in;
        TRadioScale s;
        in.attach(s);
        s.Rescale();
        s.SetSliderVisible(true);
        picture(s);
        const int oldX = s.drawnSliderX();
        QList<QRect> rects;
        s.SetInvalidationObserver([&](const QRect &r) { rects << r; });
        s.SetFrequency(3600000);
        const int newX = s.SliderX();
        QCOMPARE(rects.size(), 2);
        QVERIFY(rects.contains(QRect(newX - 10, 2, 21, 96)));
        QVERIFY(rects.contains(QRect(oldX - 10, 2, 21, 96)));

        // the digits box has its own rectangle
        rects.clear();
        s.SetPaintDigits(true);
        QCOMPARE(rects.size(), 1);
        QVERIFY(rects.first().right() == 700 - 30 - 1 && rects.first().top() == 8);
        picture(s);
        rects.clear();
        s.SetFrequency(3600010);
        QCOMPARE(rects.size(), 1);   // same pixel: only the digits
        picture(s);

        // with a selection the band between the positions is repainted too
        s.SetPaintDigits(false);
        picture(s);
        rects.clear();
        in.modifiers = Qt::ShiftModifier;
        const int before = s.drawnSliderX();
        pressLeft(s, before, 40);
        in.now += 200;
        dragTo(s, before + 30, 40);
        in.now += 20;
        s.DragTimerTimer();
        QVERIFY(s.selectionAnchor() != 0);
        QVERIFY(rects.contains(QRect(before, 2, s.SliderX() - before, 97)));
        releaseLeft(s, s.SliderX(), 40);
    }

    void shownWidgetRepaintsOnlyTheStrips()
    {
        TRadioScale s;
        s.Rescale();
        s.SetSliderVisible(true);
        s.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s));
        QCoreApplication::processEvents();
        QCOMPARE(s.drawnSliderX(), s.SliderX());
        PaintSpy spy;
        s.installEventFilter(&spy);
        const int oldX = s.SliderX();
        s.SetFrequency(3700000);
        const int newX = s.SliderX();
        QTRY_VERIFY(!spy.painted.isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(spy.painted, QRegion(QRect(oldX - 10, 2, 21, 96)) + QRegion(QRect(newX - 10, 2, 21, 96)));
        QCOMPARE(s.drawnSliderX(), newX);
    }

    void slideToNewRange()
    {
        FakeInputs in;
        TRadioScale s;
        in.attach(s);
        s.AddMode(3400000, 3900000, "CW", 0x0000FF, "");   // red under the whole old range
        s.Rescale();
        s.SetSliderVisible(true);
        picture(s);

        s.SetRange(1800000, 2000000);   // lower: the new picture comes up from the bottom
        QVERIFY(s.IsAnimating());
        QCOMPARE(s.ScaleBegin(), 1800000);   // the range itself changes at once
        QCOMPARE(s.ScaleEnd(), 2000000);
        QCOMPARE(at(picture(s), 300, 66), qRgb(255, 0, 0));   // still the old picture
        in.now += 40;
        s.AnimationTimerTimer();
        QVERIFY(s.IsAnimating());
        in.now += 70;                   // H + 10 ms in all
        s.AnimationTimerTimer();
        QVERIFY(!s.IsAnimating());
        QCOMPARE(at(picture(s), 300, 66), Background);

        s.SetRange(3500000, 3800000);   // higher: slides in from the top
        QVERIFY(s.IsAnimating());
        QCOMPARE(at(picture(s), 300, 66), Background);
        s.FinishAnimation();
        QCOMPARE(at(picture(s), 300, 66), qRgb(255, 0, 0));

        // overlapping ranges and a hidden slider never slide
        s.SetRange(3600000, 3900000);
        QVERIFY(!s.IsAnimating());
        s.SetSliderVisible(false);
        s.SetRange(7000000, 7200000);
        QVERIFY(!s.IsAnimating());
        s.SetSliderVisible(true);
        s.SetAnimateScale(false);
        s.SetRange(14000000, 14350000);
        QVERIFY(!s.IsAnimating());
    }

    void lowControlStillSlides()
    {
        FakeInputs in;
        TRadioScale s;
        in.attach(s);
        s.resize(700, 40);    // 40 div 50 would be a step of 0
        s.Rescale();
        s.SetSliderVisible(true);
        s.SetRange(7000000, 7200000);
        QVERIFY(s.IsAnimating());
        in.now += 25;
        s.AnimationTimerTimer();
        QVERIFY(s.IsAnimating());
        in.now += 25;
        s.AnimationTimerTimer();
        QVERIFY(!s.IsAnimating());
    }
};

TARNWICK_TEST_CLASS(TestRadioScalePaint)
#include "tst_radioscale_paint.moc"
