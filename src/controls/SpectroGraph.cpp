#include "controls/SpectroGraph.h"

#include "base/BgrColor.h"
#include "controls/RadioScale.h"
#include "controls/RadioScaleFormat.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Far enough outside any plot to be invisible, near enough for QRect sums.
constexpr qint64 FarOutside = 1 << 20;

constexpr quint32 LayerBgr[5] = {0xD5FFFD, 0x00B91C, 0x00A618, 0x008A15, 0x007512};

} // namespace

void TOneValue::Push(int value)
{
    for (size_t k = Values.size() - 1; k > 0; --k)
        Values[k] = Values[k - 1];
    Values[0] = value;
}

TSpectroGraph::TSpectroGraph(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(785, 38);
}

QColor TSpectroGraph::LitBackground()
{
    return bgrToColor(0x00510C);
}

QColor TSpectroGraph::UnlitBackground()
{
    return bgrToColor(0x003709);
}

QColor TSpectroGraph::LayerColor(int age)
{
    return bgrToColor(LayerBgr[std::clamp(age, 0, 4)]);
}

QColor TSpectroGraph::MarkerLineColor()
{
    return bgrToColor(0x00FFFF);
}

void TSpectroGraph::SetFrequency(qint32 value)
{
    update(MarkerLineRect(FFrequency));
    FFrequency = value;
    update(MarkerLineRect(FFrequency));
}

void TSpectroGraph::SetLit(bool value)
{
    FLit = value;
    update();
}

void TSpectroGraph::SetFreqMarkerVisible(bool value)
{
    FFreqMarkerVisible = value;
    if (value)
        update(MarkerLineRect(FFrequency));
}

void TSpectroGraph::SetRange(qint32 begin, qint32 end)
{
    FScaleBegin = begin;
    FScaleEnd = end;
    update();
}

void TSpectroGraph::Clear()
{
    if (FPoints.empty())
        return;
    FPoints.clear();
    FFreqMarkerVisible = false;
    update();
}

int TSpectroGraph::FreqToX(qint64 frequency) const
{
    const qint64 span = qint64(FScaleEnd) - FScaleBegin;
    if (span < 1)
        return 0;
    const bool sameRuler = FRuler && FRuler->ScaleBegin() == FScaleBegin && FRuler->ScaleEnd() == FScaleEnd
        && FRuler->ScaleMarginsX() == FScaleMarginsX && FRuler->width() == width();
    if (sameRuler && frequency >= FScaleBegin && frequency <= FScaleEnd && FRuler->FreqSide(frequency) == 0)
        return FRuler->FreqToX(frequency);
    const double ruler = width() - 2.0 * FScaleMarginsX;
    const qint64 x = RoundHalfEven(double(frequency - FScaleBegin) * (ruler / double(span))) + FScaleMarginsX;
    return int(std::clamp<qint64>(x, -FarOutside, width() + FarOutside));
}

QRect TSpectroGraph::MarkerLineRect(qint32 frequency) const
{
    return QRect(FreqToX(frequency), 1, 1, height() - 2);
}

QRect TSpectroGraph::StripRect(int x0, int x1) const
{
    return QRect(x0, 1, x1 - x0, height() - 2);
}

void TSpectroGraph::AddValue(qint32 frequency, int value)
{
    if (frequency != 0) {
        if (FPlotMode == PlotTime)
            Clear();
        auto at = std::lower_bound(FPoints.begin(), FPoints.end(), frequency,
                                   [](const TOneValue &p, qint32 f) { return p.Frequency < f; });
        const bool inserted = at == FPoints.end() || at->Frequency != frequency;
        if (inserted) {
            TOneValue point;
            point.Frequency = frequency;
            at = FPoints.insert(at, point);
        }
        at->Push(value);
        const size_t i = size_t(at - FPoints.begin());
        if (i > 0)
            update(StripRect(FreqToX(FPoints[i - 1].Frequency), FreqToX(FPoints[i].Frequency)));
        else if (inserted && FPoints.size() > 1)
            // The old first point now has a left neighbour: its bar appears.
            update(StripRect(FreqToX(FPoints[0].Frequency), FreqToX(FPoints[1].Frequency)));
        FPlotMode = PlotFrequency;
        return;
    }

    if (FPlotMode == PlotFrequency)
        Clear();
    TOneValue point;
    point.Values[0] = value;
    FPoints.push_back(point);
    const int index = int(FPoints.size()) - 1;
    update(QRect(index, 1, 2, height() - 2));
    if (index + 1 > width() - 10) {
        const size_t keep = size_t(qMax(0, width() / 2));
        FPoints.erase(FPoints.begin(), FPoints.end() - qMin(keep, FPoints.size()));
        update();
    }
    FPlotMode = PlotTime;
}

void TSpectroGraph::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    const QRect exposed = event->rect();
    p.fillRect(exposed, FLit ? LitBackground() : UnlitBackground());
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, width() - 1, height() - 1);
    if (!FLit || FPoints.empty())
        return;
    if (FPoints.back().Frequency != 0)
        PaintFrequencyPlot(p, exposed);
    else
        PaintTimePlot(p, exposed);
    if (FFreqMarkerVisible)
        p.fillRect(QRect(FreqToX(FFrequency), 1, 1, height() - 3), MarkerLineColor());
}

// Each interval between neighbouring points shows the readings of its
// right-hand point, oldest first, so the newest is in front.
void TSpectroGraph::PaintFrequencyPlot(QPainter &p, const QRect &exposed) const
{
    const int bottom = height() - 1;
    int x0 = FPoints.empty() ? 0 : FreqToX(FPoints.front().Frequency);
    for (size_t i = 1; i < FPoints.size(); ++i) {
        const int x1 = FreqToX(FPoints[i].Frequency);
        if (x1 > x0 && x1 > exposed.left() && x0 <= exposed.right()) {
            for (int k = 4; k >= 0; --k) {
                const int top = qMax(1, bottom - FPoints[i].Values[size_t(k)] / 2);
                if (top < bottom)
                    p.fillRect(QRect(x0, top, x1 - x0, bottom - top), LayerColor(k));
            }
        }
        x0 = x1;
    }
}

// One column per reading, and a white cursor in the column after the newest.
void TSpectroGraph::PaintTimePlot(QPainter &p, const QRect &exposed) const
{
    const int bottom = height() - 1;
    const int count = int(FPoints.size());
    const int first = qMax(0, exposed.left() - 1);
    const int last = qMin(count - 1, exposed.right());
    const QColor background = LitBackground();
    const QColor newest = LayerColor(0);
    for (int i = first; i <= last; ++i) {
        p.fillRect(QRect(i, 1, 1, bottom - 1), background);
        const int top = qMax(1, bottom - FPoints[size_t(i)].Values[0] / 2);
        if (top < bottom)
            p.fillRect(QRect(i, top, 1, bottom - top), newest);
        p.fillRect(QRect(i + 1, 1, 1, bottom - 1), Qt::white);
    }
}
