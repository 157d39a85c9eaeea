// Everything the scale paints: ruler, ticks, labels, unit, band name, digits,
// mode strip, marker flags with their rows and buttons, and the translucent
// slider. Everything but the digits text and the slider is kept in Picture,
// drawn afresh only after a change of what it shows; a paint event copies its
// region from there into Canvas and composes the slider over what lies under it.

#include "controls/RadioScale.h"

#include "base/BgrColor.h"
#include "controls/RadioScaleFormat.h"
#include "controls/RadioScalePrivate.h"

#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <limits>
#include <utility>
#include <vector>

namespace {

const char *const DigitsProbe = "430,000.000";

// Lines as the canvas draws them: the end point is not drawn.
void HLine(QPainter &p, int x1, int x2, int y, const QColor &c)
{
    if (x2 > x1)
        p.fillRect(QRect(x1, y, x2 - x1, 1), c);
    else if (x2 < x1)
        p.fillRect(QRect(x2 + 1, y, x1 - x2, 1), c);
}

void VLine(QPainter &p, int x, int y1, int y2, const QColor &c)
{
    if (y2 > y1)
        p.fillRect(QRect(x, y1, 1, y2 - y1), c);
    else if (y2 < y1)
        p.fillRect(QRect(x, y2 + 1, 1, y1 - y2), c);
}

// Text with its top-left corner at (x, y), background left as it is.
void TextOut(QPainter &p, int x, int y, const QString &text)
{
    p.drawText(x, y + p.fontMetrics().ascent(), text);
}

void FrameRect(QPainter &p, const QRect &r, const QColor &c)
{
    HLine(p, r.left(), r.right() + 1, r.top(), c);
    HLine(p, r.left(), r.right() + 1, r.bottom(), c);
    VLine(p, r.left(), r.top(), r.bottom() + 1, c);
    VLine(p, r.right(), r.top(), r.bottom() + 1, c);
}

// The framed box that says more marker rows lie above (or below): a small
// triangle of four lines pointing that way.
void MoreMarkersArrow(QPainter &p, const QRect &r, bool up)
{
    const QColor black(Qt::black);
    FrameRect(p, r, black);
    const int l = r.left();
    const int t = r.top();
    for (int row = 0; row < 4; ++row) {
        const int inset = up ? 5 - row : 2 + row; // widest row at the open end
        HLine(p, l + inset, l + 11 - inset, t + 3 + row, black);
    }
}

// Where the marker flags of one layout pass lie, row by row. A flag is lower
// than the row pitch, so flags of different rows never overlap and a flag can
// only collide with flags of its own row, horizontally. Each row keeps its
// spans and their largest left and right edges; in the usual case (flags
// arrive in frequency order) one comparison decides whether a row is free.
// The rows found are exactly those of testing every flag against all
// earlier flags, without the quadratic cost of doing so.
class MarkerRowIndex
{
public:
    explicit MarkerRowIndex(bool flagsHaveHeight)
        : active(flagsHaveHeight)
    {
    }

    int FirstFreeRow(int left, int right) const
    {
        if (!active || right <= left)
            return 0; // an empty flag overlaps nothing
        int row = 0;
        for (; row < int(rows.size()); ++row)
            if (!Overlaps(rows[size_t(row)], left, right))
                break;
        return row;
    }

    void Add(int row, int left, int right)
    {
        if (!active || right <= left)
            return;
        if (row >= int(rows.size()))
            rows.resize(size_t(row) + 1);
        Row &r = rows[size_t(row)];
        r.maxLeft = qMax(r.maxLeft, left);
        r.maxRight = qMax(r.maxRight, right);
        r.spans.emplace_back(left, right);
    }

private:
    struct Row
    {
        int maxLeft = std::numeric_limits<int>::min();
        int maxRight = std::numeric_limits<int>::min();
        std::vector<std::pair<int, int>> spans;
    };

    static bool Overlaps(const Row &r, int left, int right)
    {
        if (r.maxRight <= left)
            return false; // every span ends before this flag begins
        if (r.maxLeft < right)
            return true;  // the span reaching furthest right also begins before this flag ends
        for (const auto &[l, rt] : r.spans)
            if (qMax(l, left) < qMin(rt, right))
                return true;
        return false;
    }

    bool active;
    std::vector<Row> rows;
};

} // namespace

// Point sizes are the toolkit's at 96 dots per inch; pixel sizes keep the
// picture the same on the screen and in off-screen images.
QFont TRadioScale::ScaleFont(int pointSize) const
{
    QFont f = font();
    f.setPixelSize(qMax(1, (pointSize * 96 + 36) / 72));
    return f;
}

int TRadioScale::TextHeightE() const
{
    return QFontMetrics(ScaleFont(8)).height();
}

int TRadioScale::visibleMarkerRows() const
{
    const int base = FShowModes ? 65 : 60;
    return (height() - base - 10) / (TextHeightE() + 2);
}

QRect TRadioScale::ArrowRectUp()
{
    return QRect(10, 65, 11, 10);
}

QRect TRadioScale::ArrowRectDown() const
{
    return QRect(10, height() - 15, 11, 10);
}

// ---- invalidation rectangles ------------------------------------------------

QRect TRadioScale::SliderStripRect(int x) const
{
    return QRect(x - 10, 2, 21, height() - 4);
}

QRect TRadioScale::SelectionBandRect(int a, int b) const
{
    return QRect(qMin(a, b), 2, qAbs(a - b), height() - 3);
}

// The whole area a band name may cover: the name is shortened to W / 2 - 50
// pixels, which on a wide control is more than the classic 300; a few pixels
// more take in the overhang of a slanted last letter.
QRect TRadioScale::BandNameRect() const
{
    return QRect(FScaleMarginsX, 7, qMax(300, width() / 2 - 50 + 4), TextHeightE() + 2);
}

QRect TRadioScale::DigitsBoxRect() const
{
    const QFontMetrics fm(ScaleFont(8));
    const int left = width() - fm.horizontalAdvance(QLatin1String(DigitsProbe)) - FScaleMarginsX - 2;
    return QRect(left, 8, width() - FScaleMarginsX - left, fm.height() + 1);
}

QRect TRadioScale::MarkerAreaRect() const
{
    return QRect(10, 60, width() - 11, height() - 62);
}

void TRadioScale::Invalidate(const QRect &rect)
{
    if (rect.isEmpty())
        return;
    if (FInvalidationObserver)
        FInvalidationObserver(rect);
    update(rect);
}

void TRadioScale::InvalidateAll()
{
    Invalidate(rect());
}

// ---- the picture and the paint event ---------------------------------------------

void TRadioScale::PictureChanged()
{
    // Drawing the picture only reads what it shows; a change from inside it
    // would be lost when the picture is marked up to date.
    Q_ASSERT(!PictureBeingDrawn);
    PictureValid = false;
}

void TRadioScale::update()
{
    PictureChanged();
    InvalidateAll();
}

void TRadioScale::repaint()
{
    PictureChanged();
    if (FInvalidationObserver)
        FInvalidationObserver(rect());
    QWidget::repaint();
}

void TRadioScale::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        PictureChanged();
    QWidget::changeEvent(event);
}

void TRadioScale::EnsureCanvas()
{
    const qreal dpr = devicePixelRatioF();
    const QSize physical = (QSizeF(size()) * dpr).toSize();
    if (Canvas.size() != physical || Canvas.devicePixelRatio() != dpr) {
        Canvas = QImage(physical, QImage::Format_RGB32);
        Canvas.setDevicePixelRatio(dpr);
        Canvas.fill(FColor);
    }
}

// Ruler, band name, mode strip and markers as they stand, drawn again only
// when something of them changed (this also lays the markers out).
const QImage &TRadioScale::EnsurePicture()
{
    const qreal dpr = devicePixelRatioF();
    const QSize physical = (QSizeF(size()) * dpr).toSize();
    if (PictureValid && Picture.size() == physical && Picture.devicePixelRatio() == dpr)
        return Picture;
    if (Picture.size() != physical || Picture.devicePixelRatio() != dpr) {
        Picture = QImage(physical, QImage::Format_RGB32);
        Picture.setDevicePixelRatio(dpr);
    }
    PictureBeingDrawn = true;
    {
        QPainter p(&Picture);
        PaintScale(p);
        PaintModes(p);
        PaintMarkers(&p, true);
    }
    PictureBeingDrawn = false;
    PictureValid = true;
    return Picture;
}

void TRadioScale::paintEvent(QPaintEvent *event)
{
    EnsureCanvas();
    {
        QPainter cp(&Canvas);
        cp.setClipRegion(event->region());
        if (Animation) {
            // The slice of the slide that stands in the control now.
            const int w = width();
            const int h = height();
            const QRect target(0, 3, w, h - 5);
            const QRect source(0, Animation->Offset + 3, w, h - 5);
            const qreal dpr = Canvas.devicePixelRatio();
            cp.drawImage(target, Animation->Work,
                         QRectF(source.topLeft() * dpr, QSizeF(source.size()) * dpr));
        } else {
            PaintAll(cp, true, true);
        }
    }
    QPainter wp(this);
    wp.setClipRegion(event->region());
    wp.drawImage(QPoint(0, 0), Canvas);
}

void TRadioScale::PaintAll(QPainter &p, bool withSlider, bool withDigits)
{
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), EnsurePicture());
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (FPaintDigits && withDigits)
        PaintDigitsText(p);
    if (FSliderVisible && withSlider)
        DrawSlider(p, FSliderX);
}

void TRadioScale::PaintScale(QPainter &p)
{
    const int w = width();
    const int h = height();
    const int m = FScaleMarginsX;
    const QColor black(Qt::black);
    const QColor grey80 = bgrToColor(0x808080);
    const QColor greyC0 = bgrToColor(0xC0C0C0);

    p.fillRect(QRect(0, 0, w, h), FColor);
    if (SelectionAnchor != 0) {
        const int a = FreqToX(SelectionAnchor);
        const int b = FreqToX(FFrequency);
        p.fillRect(QRect(qMin(a, b), 2, qAbs(a - b), h - 3), greyC0);
    }

    VLine(p, 1, 1, h - 1, grey80);
    HLine(p, 1, w - 1, 1, grey80);
    VLine(p, 2, 2, h - 2, greyC0);
    HLine(p, 2, w - 2, 2, greyC0);
    FrameRect(p, QRect(0, 0, w, h), black);

    if (MinorPx == 0)
        CalculateScale();
    p.setPen(black);
    p.setBackgroundMode(Qt::TransparentMode);
    if (MinorPx == 0) {
        p.setFont(ScaleFont(12));
        const QString text = QStringLiteral("No Scale For This Frequency Range");
        const QFontMetrics fm = p.fontMetrics();
        TextOut(p, (w - fm.horizontalAdvance(text)) / 2, (h - fm.height()) / 2, text);
        return;
    }

    p.setFont(ScaleFont(8));
    HLine(p, m, w - m, 60, black);
    for (qint64 i = 0;; ++i) {
        const qint64 x = m + RoundHalfEven(double(i) * MinorPx);
        if (i > 0 && x > w - m)
            break;
        VLine(p, int(x), 60, 55, black);
    }

    // Without a label step of usable width there are no major ticks at all.
    if (LabelPx > 0) {
        const QFontMetrics fm = p.fontMetrics();
        for (qint64 i = 0;; ++i) {
            const qint64 x = m + RoundHalfEven(double(i) * LabelPx);
            if (i > 0 && x - 3 >= w - m)
                break;
            p.fillRect(QRect(int(x) - 1, 51, 3, 9), black);
            const QString label = FormatScaleLabel(qint64(FScaleBegin) + i * LabelStep);
            TextOut(p, int(x) - fm.horizontalAdvance(label) / 2, 30, label);
        }
    }

    {
        p.setFont(ScaleFont(14));
        const QString unit = UnitDivisor == 1 ? QStringLiteral("Hz")
                             : UnitDivisor == 1000 ? QStringLiteral("kHz")
                                                   : QStringLiteral("MHz");
        TextOut(p, (w - p.fontMetrics().horizontalAdvance(unit)) / 2, 7, unit);
    }

    p.setFont(ScaleFont(8));
    const QFontMetrics fm = p.fontMetrics();
    const int band = FindBand(FFrequency);
    const QString name = band >= 0 ? Bands.at(size_t(band)).Name : QString();
    TextOut(p, m, 7, FitShortenedText(name, w / 2 - 50, [&fm](const QString &text) { return fm.horizontalAdvance(text); }));

    if (FPaintDigits) {
        const int tw = fm.horizontalAdvance(QLatin1String(DigitsProbe));
        const int left = w - tw - m - 3;
        const int top = 7;
        const int right = w - m;
        const int bottom = fm.height() + 9;
        HLine(p, left, right, top, grey80);
        VLine(p, left, top, bottom, grey80);
        VLine(p, right, top, bottom + 1, greyC0);
        HLine(p, left, right, bottom, greyC0);
    }
    p.setBrush(Qt::SolidPattern);
}

void TRadioScale::PaintModes(QPainter &p)
{
    if (Modes.empty())
        return;
    p.setFont(ScaleFont(8));
    p.setPen(Qt::black);
    const QFontMetrics fm = p.fontMetrics();
    for (const TMode &mode : Modes) {
        const bool lowIn = FScaleBegin <= mode.Low && mode.Low <= FScaleEnd;
        const bool highIn = FScaleBegin <= mode.High && mode.High <= FScaleEnd;
        const bool covers = mode.Low <= FScaleBegin && mode.High >= FScaleEnd;
        if (!lowIn && !highIn && !covers)
            continue;
        const int x1 = qMax(FreqToX(mode.Low), FreqToX(FScaleBegin));
        const int x2 = qMin(FreqToX(mode.High), FreqToX(FScaleEnd));
        if (x2 > x1)
            p.fillRect(QRect(x1, 62, x2 - x1, 10), bgrToColor(mode.Color));
        const QString text = mode.Caption.isEmpty() ? mode.Mode : mode.Caption;
        const int tw = fm.horizontalAdvance(text);
        if (x2 - x1 > tw + 4)
            TextOut(p, x1 + (x2 - x1 - tw) / 2, 60, text);
    }
}

void TRadioScale::PaintMarkers(QPainter *p, bool draw)
{
    const QFont font8 = ScaleFont(8);
    const QFontMetrics fm(font8);
    const int w = width();
    const int h = height();
    const int th = fm.height();
    const int pitch = th + 2;
    const int base = FShowModes ? 65 : 60;
    const int rows = (h - base - 10) / pitch;
    draw = draw && p;
    if (draw) {
        p->save();
        p->setFont(font8);
        // A flag wider than the scale (a caption thousands of characters
        // long) is cut at the frame, not drawn over it.
        p->setClipRect(QRect(3, 3, w - 4, h - 4));
    }

    MoreAbove = false;
    MoreBelow = false;
    MarkerRowIndex rowIndex(th / 2 * 2 - 2 > 0); // flags of zero height overlap nothing
    for (int i = 0; i < Markers.size(); ++i) {
        TFqMarker *m = Markers.at(i);
        m->LayoutRect = TEdgeRect{};
        m->HitRect = TEdgeRect{};
        if (m->Frequency < FScaleBegin || m->Frequency > FScaleEnd || !IsMarkerVisibleByGroups(*m))
            continue;

        const int x = FreqToX(m->Frequency);
        const int tw = fm.horizontalAdvance(m->Caption);
        int left = x;
        int right = x + 6 + tw + 1;
        const bool flipped = right >= w;
        if (flipped) {
            right = x + 1;
            left = x - 6 - tw;
        }

        // Each flag takes the first row where it overlaps no earlier flag.
        const int row = rowIndex.FirstFreeRow(left, right);
        rowIndex.Add(row, left, right);
        const int y = base + (row + 1) * pitch;
        const TEdgeRect candidate{left, y - th / 2 + 2, right, y + th / 2};
        m->LayoutRect = candidate;
        m->Row = row;

        if (row < FirstMarkerRow) {
            MoreAbove = true;
            m->HitRect.Bottom = -1;
            continue;
        }
        if (row >= FirstMarkerRow + rows) {
            MoreBelow = true;
            m->HitRect.Bottom = 1;
            continue;
        }
        const int yy = y - FirstMarkerRow * pitch;
        m->HitRect = TEdgeRect{left, yy - th / 2, right, yy + th / 2};
        if (!draw)
            continue;

        const QColor colour = m->Highlighted ? bgrToColor(0x0000FF)
                              : m->Permanent ? bgrToColor(0x000080)
                                             : bgrToColor(0xFF0000);
        const int top = m->HitRect.Top;
        const int bottom = m->HitRect.Bottom;
        VLine(*p, x, yy - th / 2, yy, colour);
        HLine(*p, x, flipped ? x - 5 : x + 5, yy, colour);
        const QColor boxColour(210, 210, 210);
        if (flipped)
            p->fillRect(QRect(left, top, right - 5 - left, bottom - top), boxColour);
        else
            p->fillRect(QRect(left + 5, top, right - left - 5, bottom - top), boxColour);
        p->setPen(colour);
        TextOut(*p, flipped ? left : left + 6, top - 1, m->Caption);
    }

    if (!draw)
        return;
    p->restore();
    if (MoreAbove)
        MoreMarkersArrow(*p, ArrowRectUp(), true);
    if (MoreBelow)
        MoreMarkersArrow(*p, ArrowRectDown(), false);
}

void TRadioScale::PaintDigitsText(QPainter &p)
{
    p.setFont(ScaleFont(8));
    p.setPen(Qt::black);
    const QString text = FormatFreqKhz(FFrequency);
    TextOut(p, width() - FScaleMarginsX - 1 - p.fontMetrics().horizontalAdvance(text), 8, text);
}

// The slider lightens what lies under it (OR with mid grey) and tints it with
// the hint colour (AND), so ticks and flags stay readable through it.
void TRadioScale::DrawSlider(QPainter &p, int x)
{
    DrawnSliderX = x;
    const int sh = height() - 4;
    if (sh < 1)
        return;
    const qreal dpr = Canvas.devicePixelRatio();
    const QSize physical = (QSizeF(21, sh) * dpr).toSize();
    if (SliderBitmap.size() != physical) {
        SliderBitmap = QImage(physical, QImage::Format_RGB32);
        SliderBitmap.setDevicePixelRatio(dpr);
    }
    BackBitmap = Canvas.copy(QRect((QPointF(x - 10, 2) * dpr).toPoint(), physical));
    BackBitmap.setDevicePixelRatio(dpr);

    SliderBitmap.fill(bgrToColor(0x808080));
    {
        QPainter bp(&BackBitmap);
        bp.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        bp.drawImage(QPoint(0, 0), SliderBitmap);
    }
    SliderBitmap.fill(QToolTip::palette().color(QPalette::Inactive, QPalette::ToolTipBase));
    {
        QPainter sp(&SliderBitmap);
        VLine(sp, 10, 2, sh - 2, Qt::black);
        VLine(sp, 0, 0, sh, bgrToColor(0xC0C0C0));
        VLine(sp, 20, 0, sh, bgrToColor(0x808080));
        sp.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        sp.drawImage(QPoint(0, 0), BackBitmap);
    }
    p.drawImage(QPoint(x - 10, 2), SliderBitmap);
}

// ---- marker hint ----------------------------------------------------------------------

QString TRadioScale::MarkerHintText(int index) const
{
    if (index < 0 || index >= Markers.size())
        return QString();
    const TFqMarker &m = *Markers.at(index);
    QString s = m.Caption + QLatin1Char('\n') + QStringLiteral("Freq: ") + FormatFreqKhz(m.Frequency)
                + QLatin1Char('\n') + QStringLiteral("Mode: ") + m.Mode;
    if (m.RxCtcss != 0 || m.TxCtcss != 0)
        s += QStringLiteral("\n-----");
    if (m.RxCtcss != 0)
        s += QStringLiteral("\nCTCSS RX: ") + FormatCtcssTone(m.RxCtcss) + QStringLiteral(" Hz");
    if (m.TxCtcss != 0)
        s += QStringLiteral("\nCTCSS TX: ") + FormatCtcssTone(m.TxCtcss) + QStringLiteral(" Hz");
    if (!m.Attributes.isEmpty())
        s += QStringLiteral("\n-----\n") + m.Attributes;
    if (!m.Remark.isEmpty())
        s += QStringLiteral("\n-----\n") + m.Remark;
    return s;
}

QString TRadioScale::HintText() const
{
    return HintWindow->isVisible() ? HintWindow->text() : QString();
}

void TRadioScale::ShowMarkerHint(int index)
{
    if (index < 0 || index >= Markers.size())
        return;
    const QWidget *top = window();
    if (!top || !top->isActiveWindow())
        return;
    const QString text = MarkerHintText(index);
    if (text == HintWindow->text() && HintWindow->isVisible())
        return;
    HintWindow->setText(text);
    HintWindow->setMaximumWidth(200);
    HintWindow->adjustSize();
    const TFqMarker &m = *Markers.at(index);
    HintWindow->move(mapToGlobal(QPoint(m.HitRect.Left, m.HitRect.Bottom + TextHeightE() + 2)));
    HintWindow->show();
}

void TRadioScale::HideHint()
{
    HintWindow->clear();
    HintWindow->hide();
}
