#include "common/TestEnvironment.h"
#include "PaintRecorder.h"
#include "ScaleTestSupport.h"

#include <QApplication>
#include <QRandomGenerator>
#include <QToolTip>

#include <functional>

namespace {

const QRgb Background = qRgb(0xF0, 0xF0, 0xF0);
const QRgb Black = qRgb(0, 0, 0);

QRgb at(const QImage &img, int x, int y)
{
    return img.pixel(x, y) | 0xFF000000;
}

int darkPixels(const QImage &img, const QRect &r)
{
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += qGray(img.pixel(x, y)) < 100 ? 1 : 0;
    return n;
}

} // namespace

class TestRadioScalePaint : public QObject
{
    Q_OBJECT
private slots:
    void rulerLabelsAndUnit()
    {
        ScaleRig r; // 80 m on 700 px: a label every 20 kHz
        const QImage img = picture(r.s);
        for (qint32 f = 3500000; f <= 3800000; f += 20000) {
            const int x = r.s.FreqToX(f);
            QVERIFY(at(img, x, 53) == Black && darkPixels(img, QRect(x - 15, 30, 30, 14)) > 5);
        }
        QCOMPARE(at(img, 300, 20), Background);
        r.s.Lit(true);
        QCOMPARE(at(picture(r.s), 300, 20), qRgb(255, 255, 255));

        // The unit: Hz, kHz and MHz read differently.
        QList<QImage> units;
        for (auto [begin, end] : {std::pair{1000, 9000}, {3500000, 3800000}, {14000000, 14350000}}) {
            r.s.SetRange(begin, end);
            units << picture(r.s).copy(320, 7, 60, 20);
        }
        QVERIFY(darkPixels(units[1], units[1].rect()) > 10);
        QVERIFY(units[0] != units[1] && units[1] != units[2] && units[0] != units[2]);

        r.s.SetRange(3500000, 3500000); // no scale: no ruler, a notice instead
        const QImage none = picture(r.s);
        QCOMPARE(at(none, 30, 60), qRgb(255, 255, 255));
        QVERIFY(darkPixels(none, QRect(150, 35, 400, 30)) > 100);
    }

    // Where the slider strip reaches is the screen test's; here its pixels.
    void sliderLightensAndTintsWhatLiesUnder()
    {
        ScaleRig r;
        r.s.AddMode(3500000, 3530000, "CW", 0x00FFFF, "");
        r.s.SetFrequency(3526719);
        const QImage under = picture(r.s);
        r.s.SetSliderVisible(true);
        const QImage shown = picture(r.s);
        const int left = r.s.SliderX() - 10;
        QCOMPARE(at(shown, left + 10, 50), Black);
        const QRgb info = QToolTip::palette().color(QPalette::Inactive, QPalette::ToolTipBase).rgb();
        QCOMPARE(at(shown, left + 5, 66), ((at(under, left + 5, 66) | 0x808080) & info) | 0xFF000000); // lightened, tinted
    }

    void modeStrip()
    {
        ScaleRig r(786); // 2.42 px a kHz
        r.s.AddMode(3400000, 3600000, "CW", 0x0000FF, "");      // red, begins left of the range
        r.s.AddMode(3600000, 3650000, "DIG", 0xFF0000, "Data"); // blue, its caption shown
        r.s.AddMode(3650000, 3670000, "AM", 0x00FF00, "");      // just wide enough for its name
        QImage img = picture(r.s);
        QCOMPARE(at(img, 31, 65), qRgb(255, 0, 0));
        QCOMPARE(at(img, 20, 65), Background);
        QCOMPARE(at(img, 300, 62), qRgb(0, 0, 255));
        QVERIFY(darkPixels(img, QRect(r.s.FreqToX(3650000), 62, 48, 10)) > 5);

        ScaleRig same(786); // a caption shows instead of the mode's name
        same.s.AddMode(3400000, 3600000, "CW", 0x0000FF, "");
        same.s.AddMode(3600000, 3650000, "Data", 0xFF0000, "");
        same.s.AddMode(3650000, 3670000, "AM", 0x00FF00, "");
        QCOMPARE(picture(same.s).copy(0, 60, 786, 14), img.copy(0, 60, 786, 14));

        r.s.SetRange(3610000, 3640000); // a segment covering the whole range
        QCOMPARE(at(picture(r.s), 100, 65), qRgb(0, 0, 255));
    }

    void markerFlags()
    {
        ScaleRig r(700, 160);
        r.s.VisibleGroups = QStringList({"BEACON"});
        TFqMarker *a = r.marker(3550000, "Alpha");
        TFqMarker *b = r.marker(3551000, "Beta");
        TFqMarker *c = r.marker(3700000, "Gamma", "REPEATER\r\nbeacon");
        TFqMarker *edge = r.marker(3797000, "Right edge");
        TFqMarker *hidden = r.marker(3600000, "Hidden", "REPEATER");
        TFqMarker *outside = r.marker(3900000, "Outside");
        TFqMarker *atEnd = r.marker(3800000, "End");
        b->Permanent = true;
        c->Permanent = true;
        c->Highlighted = true;
        const QImage img = picture(r.s);

        // A flag lies right of its line, or left of it at the right edge.
        const int xa = r.s.FreqToX(a->Frequency);
        const int xe = r.s.FreqToX(edge->Frequency);
        QVERIFY(a->LayoutRect.Left == xa && a->LayoutRect.Right > xa + 20);
        QVERIFY(edge->LayoutRect.Right == xe + 1 && edge->LayoutRect.Left < xe - 20);
        QVERIFY(at(img, xe - 30, centre(edge->HitRect).y()) != Background);
        QCOMPARE(at(img, xe + 3, centre(edge->HitRect).y()), Background);
        // blue; maroon when permanent; red when highlighted
        auto line = [&](const TFqMarker *m) { return at(img, r.s.FreqToX(m->Frequency), m->HitRect.Top + 1); };
        QCOMPARE(QList<QRgb>({line(a), line(b), line(c)}), QList<QRgb>({qRgb(0, 0, 255), qRgb(0x80, 0, 0), qRgb(255, 0, 0)}));

        // Hidden by its groups or out of range: not laid out, drawn or hit.
        QVERIFY(hidden->LayoutRect.isZero() && hidden->HitRect.isZero() && outside->LayoutRect.isZero());
        QVERIFY(!atEnd->LayoutRect.isZero());
        QCOMPARE(at(img, r.s.FreqToX(3600000), a->HitRect.Top + 1), Background);
        QCOMPARE(r.s.HitTestMarker(r.s.FreqToX(3600000) + 10, centre(a->HitRect).y()), -1);
        QCOMPARE(r.s.HitTestMarker(xa + 8, centre(a->HitRect).y()), 0);
    }

    void longCaptionStaysInsideTheFrame()
    {
        ScaleRig r(700, 160);
        const TFqMarker *m = r.marker(3700000, QString(3000, 'W'));
        const QImage img = picture(r.s);
        const int y = centre(m->HitRect).y();
        QCOMPARE(QList<QRgb>({at(img, 0, y), at(img, 1, y), at(img, 2, y), at(img, 699, y)}),
                 QList<QRgb>({Black, qRgb(0x80, 0x80, 0x80), qRgb(0xC0, 0xC0, 0xC0), Black}));
    }

    void rowButtonsOnlyWhereRowsAreHidden()
    {
        ScaleRig r;
        const int rows = r.s.visibleMarkerRows();
        QVERIFY(rows >= 1);
        for (int i = 0; i <= 2 * rows; ++i) // three pages of rows
            r.marker(3650000 + i * 10, QString("M%1").arg(i));
        TFqMarker *first = r.store.front().get();
        TFqMarker *last = r.store.back().get();
        const QRect up = TRadioScale::ArrowRectUp();
        const QRect down = r.s.ArrowRectDown();
        auto pressDown = [&] { pressLeft(r.s, down.left() + 2, down.top() + 2); };
        // The buttons drawn and the page of rows shown.
        auto shown = [&] {
            const QImage img = picture(r.s);
            return QString("%1%2%3").arg(darkPixels(img, up) > 5 ? "up " : "", darkPixels(img, down) > 5 ? "down " : "")
                .arg(r.s.firstMarkerRow() / rows);
        };
        QCOMPARE(shown(), QString("down 0"));
        QCOMPARE(last->Row, 2 * rows);
        QCOMPARE(r.store[size_t(rows)]->HitRect.Bottom, 1); // scrolled out below

        doubleClickLeft(r.s, down.left() + 2, down.top() + 2); // one page down, as a click would
        QCOMPARE(shown(), QString("up down 1"));
        QCOMPARE(first->HitRect.Bottom, -1);

        r.s.SetFrequency(r.s.XToFreq(15)); // the button takes the press before a slider over it
        r.showSlider();
        pressDown();
        QVERIFY(!r.s.isDragging());
        r.s.SetSliderVisible(false);
        QCOMPARE(shown(), QString("up 2"));
        QCOMPARE(r.s.HitTestMarker(last->HitRect.Left + 8, centre(last->HitRect).y()), int(r.store.size()) - 1);

        // Going to a marker brings its row into view; one shown already, hidden
        // or not on the scale moves nothing.
        TFqMarker *hidden = r.marker(3660000, "Hidden", "NOGROUP");
        TFqMarker stranger;
        stranger.HitRect.Bottom = 1;
        const struct { std::function<void()> act; int page; } steps[] = {
            {pressDown, 2}, // no button drawn: nothing
            {[&] { r.s.Rescale(); }, 0},
            {[&] { r.s.GoToMarker(last); }, 2},
            {[&] { r.s.EnsureMarkerVisible(last); }, 2},
            {[&] { r.s.EnsureMarkerVisible(first); }, 0},
            {[&] { r.s.EnsureMarkerVisible(hidden); }, 0},
            {[&] { r.s.EnsureMarkerVisible(&stranger); }, 0},
            {[&] { r.s.ScrollMarkerRows(false); }, 1},
            {[&] { r.s.ScrollMarkerRows(true); }, 0},
        };
        for (const auto &step : steps) {
            step.act();
            QCOMPARE(r.s.firstMarkerRow(), step.page * rows);
        }
        QCOMPARE(r.s.Frequency(), last->Frequency);
    }

    // Every flag sits in the first row where it overlaps no earlier flag,
    // whatever the order of the list.
    void markerLayoutIsTheFirstFreeRow()
    {
        for (bool sorted : {true, false}) {
            ScaleRig r;
            r.s.VisibleGroups = QStringList({"ON"});
            QRandomGenerator rng(4711);
            for (int i = 0; i < 300; ++i) {
                TFqMarker *m = r.marker(3500000 + qint32(rng.bounded(300001)), QString(int(rng.bounded(1, 12)), QChar('A' + i % 26)),
                                        rng.bounded(5) == 0 ? "OFF" : (rng.bounded(2) ? "ON" : ""), sorted);
                if (!sorted)
                    r.s.Markers.append(m);
            }
            picture(r.s);
            QList<const TFqMarker *> laid;
            for (const TFqMarker *m : r.s.Markers)
                if (!m->LayoutRect.isZero())
                    laid << m;
            QVERIFY(laid.size() > 150);
            auto blocked = [&](int i, int row) {
                const TEdgeRect &a = laid[i]->LayoutRect;
                for (int j = 0; j < i; ++j) {
                    const TEdgeRect &b = laid[j]->LayoutRect;
                    if (laid[j]->Row == row && qMax(a.Left, b.Left) < qMin(a.Right, b.Right))
                        return true;
                }
                return false;
            };
            for (int i = 0; i < laid.size(); ++i) {
                QVERIFY(!blocked(i, laid[i]->Row));
                for (int row = 0; row < laid[i]->Row; ++row)
                    QVERIFY2(blocked(i, row), qPrintable(QString("marker %1 could rise to row %2").arg(i).arg(row)));
            }
        }
    }

    // Only invalidated rectangles reach the screen, and the picture is drawn
    // afresh only after a change: after every change that repaints, the screen
    // must show what a paint of the whole scale drawn afresh shows.
    void screenFollowsEveryChange()
    {
        ScaleRig r(1200, 130);
        r.s.AddBand(3500000, 3800000, "A band" + QString(" with a long name").repeated(20), "LSB", 3550000);
        r.s.AddBand(3555000, 3560000, "Short", "CW", 3557000);
        r.s.AddMode(3500000, 3600000, "CW", 0x0000FF, "");
        for (int i = 0; i < 40; ++i)
            r.marker(3600000 + 1000 * i, QString("Marker %1").arg(i), i % 2 ? "ODD" : "");
        TFqMarker *flag = r.store.front().get();
        r.s.SetSliderVisible(true);
        ScaleScreen screen(r.s);

        const int oldX = r.s.SliderX();
        r.s.SetFrequency(3600000); // a slider move repaints the two strips and no more
        QCOMPARE(screen.dirty, QRegion(oldX - 10, 2, 21, 126) + QRegion(r.s.SliderX() - 10, 2, 21, 126));

        const QRect up = TRadioScale::ArrowRectUp();
        const struct { const char *what; std::function<void()> act; } steps[] = {
            {"slider move", [] {}},
            {"into a band with a short name", [&] { r.s.SetFrequency(3557000); }},
            {"back to the long name", [&] { r.s.SetFrequency(3570000); }},
            {"digits shown", [&] { r.s.SetPaintDigits(true); }},
            {"digits follow", [&] { r.s.SetFrequency(3571000); }},
            {"marker added", [&] { r.s.AddMarker(r.marker(3580000, "New", QString(), false), true); }},
            {"marker replaced", [&] { r.s.AddOrReplaceMarker(r.marker(3580100, "New", QString(), false), true); }},
            {"marker deleted", [&] { r.s.DeleteMarker(0); }},
            {"marker edited in place", [&] { flag->Highlighted = true; r.s.update(); }},
            {"group switched on", [&] { r.s.VisibleGroups.append("ODD"); r.s.update(); }},
            {"rows scrolled", [&] { r.s.ScrollMarkerRows(false); }},
            {"row button", [&] { pressLeft(r.s, up.left() + 2, up.top() + 2); releaseLeft(r.s, up.left() + 2, up.top() + 2); }},
            {"group deleted", [&] { r.s.DeleteMarkersWithAttribute("ODD", true); }},
            {"lit", [&] { r.s.Lit(true); }},
            {"modes replaced", [&] { r.s.ClearModes(); r.s.AddMode(3600000, 3700000, "USB", 0x00FF00, ""); r.s.repaint(); }},
            {"band renamed", [&] { r.s.Bands[0].Name = "Renamed"; r.s.update(); }},
            {"shift-drag begins", [&] {
                 pressLeft(r.s, r.s.drawnSliderX(), 40);
                 r.modifiers = Qt::ShiftModifier;
                 r.now += 200;
                 r.dragStep(r.s.drawnSliderX() + 40, 20);
             }},
            {"selection grows", [&] { r.dragStep(r.s.drawnSliderX() + 80, 200); }},
            {"selection ends", [&] {
                 releaseLeft(r.s, r.s.drawnSliderX(), 40);
                 r.modifiers = Qt::NoModifier;
                 r.s.SetFrequency(3650000);
             }},
            {"zoom in", [&] { r.s.ZoomTo(0, 0); }},
            {"zoom out", [&] { r.s.ZoomOut(); }},
            {"slider hidden", [&] { r.s.SetSliderVisible(false); }},
        };
        for (const auto &step : steps) {
            step.act();
            screen.sync();
            QVERIFY2(screen.image == screen.fresh(), step.what);
        }
    }

    // A list changed directly, without a repaint, shows at the next paint.
    void listChangesReachTheNextPaint()
    {
        ScaleRig r;
        r.marker(3700000, "Hidden", "GROUP");
        TFqMarker *loose = r.marker(3600000, "Loose", QString(), false);
        r.s.AddBand(3500000, 3800000, "80 m", "LSB", 3550000);
        const struct { const char *what; std::function<void()> act; } changes[] = {
            {"marker appended", [&] { r.s.Markers.append(loose); }},
            {"groups replaced", [&] { r.s.VisibleGroups = QStringList({"GROUP"}); }},
            {"band renamed", [&] { r.s.Bands[0].Name = "Eighty"; }},
            {"marker added quietly", [&] { r.marker(3650000, "Quiet"); }},
            {"range stored", [&] { r.s.SetScaleEnd(3700000); }},
            {"font", [&] {
                 QFont bold = r.s.font();
                 bold.setBold(true);
                 r.s.setFont(bold);
             }},
        };
        for (const auto &change : changes) {
            const QImage before = picture(r.s);
            change.act();
            QVERIFY2(picture(r.s) != before, change.what);
        }
    }

    void slideToNewRange()
    {
        ScaleRig r;
        r.s.SetAnimateScale(true);
        r.s.AddMode(3400000, 3900000, "CW", 0x0000FF, ""); // red under the whole old range
        r.showSlider();
        const int sx = r.s.SliderX();

        r.s.SetRange(1800000, 2000000); // lower: the new picture comes up from the bottom
        QVERIFY(r.s.IsAnimating());
        QCOMPARE(r.s.ScaleBegin(), 1800000); // the range itself changes at once
        QCOMPARE(at(picture(r.s), 300, 66), qRgb(255, 0, 0));
        QCOMPARE(at(picture(r.s), sx, 20), Background); // the old picture, without the slider
        r.now += 40;
        r.s.AnimationTimerTimer();
        QVERIFY(r.s.IsAnimating());
        r.now += 70; // H + 10 ms in all
        r.s.AnimationTimerTimer();
        QVERIFY(!r.s.IsAnimating());
        QCOMPARE(at(picture(r.s), 300, 66), Background);

        r.s.SetRange(3500000, 3800000); // higher: the new picture comes down from the top
        QCOMPARE(at(picture(r.s), 300, 66), Background);
        r.s.FinishAnimation();
        QCOMPARE(at(picture(r.s), 300, 66), qRgb(255, 0, 0));

        r.s.SetRange(3800000, 4100000); // touching ranges never slide
        QVERIFY(!r.s.IsAnimating());
    }
};

TARNWICK_TEST_CLASS(TestRadioScalePaint)
#include "tst_radioscale_paint.moc"
