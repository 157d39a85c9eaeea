// The scale's data: construction, the band, mode-segment and marker lists,
// the pixel mapping and the tick spacing.

#include "controls/RadioScale.h"

#include "base/BgrColor.h"
#include "controls/RadioScaleFormat.h"
#include "controls/RadioScalePrivate.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <limits>

namespace {

// Tick count of the program: milliseconds since the first call.
qint64 SystemTick()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

// Pixel positions far outside the control are kept in a range where the
// integer conversions below stay defined.
int ClampToPixelRange(qint64 v)
{
    constexpr qint64 limit = 1000000000;
    return static_cast<int>(std::clamp<qint64>(v, -limit, limit));
}

bool FirstDigitIs(qint64 value, char digit)
{
    return QString::number(value).startsWith(QLatin1Char(digit));
}

} // namespace

TRadioScale::TRadioScale(QWidget *parent)
    : QWidget(parent)
{
    FTickSource = SystemTick;
    FModifierSource = [] { return QGuiApplication::queryKeyboardModifiers(); };

    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(700, 100);
    FColor = bgrToColor(0xF0F0F0);

    DragTimer = new QTimer(this);
    DragTimer->setInterval(DragTimerInterval);
    connect(DragTimer, &QTimer::timeout, this, &TRadioScale::DragTimerTimer);

    AnimationTimer = new QTimer(this);
    AnimationTimer->setInterval(1);
    AnimationTimer->setTimerType(Qt::PreciseTimer);
    connect(AnimationTimer, &QTimer::timeout, this, &TRadioScale::AnimationTimerTimer);

    HintWindow = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
    HintWindow->setPalette(QToolTip::palette());
    HintWindow->setBackgroundRole(QPalette::ToolTipBase);
    HintWindow->setForegroundRole(QPalette::ToolTipText);
    HintWindow->setAutoFillBackground(true);
    HintWindow->setFrameShape(QFrame::Box);
    HintWindow->setMargin(2);
    HintWindow->setWordWrap(true);
    HintWindow->setTextFormat(Qt::PlainText);
    HintWindow->hide();

    LastApplyTick = Tick();
    CalculateScale();
    FSliderX = FreqToX(FFrequency);
}

TRadioScale::~TRadioScale() = default;

// ---- injection -----------------------------------------------------------------

void TRadioScale::SetTickSource(TickSource source)
{
    FTickSource = source ? std::move(source) : TickSource(SystemTick);
}

void TRadioScale::SetModifierSource(ModifierSource source)
{
    FModifierSource = source ? std::move(source)
                             : ModifierSource([] { return QGuiApplication::queryKeyboardModifiers(); });
}

void TRadioScale::SetInvalidationObserver(InvalidationObserver observer)
{
    FInvalidationObserver = std::move(observer);
}

qint64 TRadioScale::Tick() const
{
    return FTickSource();
}

Qt::KeyboardModifiers TRadioScale::Modifiers() const
{
    return FModifierSource();
}

// ---- plain properties with side effects ---------------------------------------

void TRadioScale::SetTuningStep(int value)
{
    if (value == 1 || value == 10 || value == 100)
        FTuningStep = value;
}

void TRadioScale::Lit(bool value)
{
    const QColor wanted = bgrToColor(value ? 0xFFFFFF : 0xF0F0F0);
    if (wanted != FColor) {
        FColor = wanted;
        PictureChanged();
        InvalidateAll();
    }
}

// Plain stores, as the owner expects (it calls Rescale afterwards); the
// picture is drawn afresh whenever it is next painted.
void TRadioScale::SetScaleBegin(qint32 value)
{
    FScaleBegin = value;
    PictureChanged();
}

void TRadioScale::SetScaleEnd(qint32 value)
{
    FScaleEnd = value;
    PictureChanged();
}

void TRadioScale::SetScaleMarginsX(int value)
{
    FScaleMarginsX = value;
    PictureChanged();
}

void TRadioScale::SetShowModes(bool value)
{
    FShowModes = value;
    PictureChanged();
}

void TRadioScale::Rescale()
{
    SetFirstMarkerRow(0);
    CalculateScale();
    PictureChanged();
    FSliderX = FreqToX(FFrequency);
    InvalidateAll();
}

void TRadioScale::StoreRange(qint32 begin, qint32 end)
{
    const bool changed = begin != FScaleBegin || end != FScaleEnd;
    FScaleBegin = begin;
    FScaleEnd = end;
    CalculateScale();
    PictureChanged();
    if (changed)
        emit OnRangeChanged(begin, end);
}

void TRadioScale::SetFirstMarkerRow(int row)
{
    if (row == FirstMarkerRow)
        return;
    FirstMarkerRow = row;
    PictureChanged();
}

void TRadioScale::SetSelectionAnchor(qint32 anchor)
{
    if (anchor == SelectionAnchor)
        return;
    SelectionAnchor = anchor;
    PictureChanged();
}

// ---- bands and mode segments ----------------------------------------------------

void TRadioScale::AddBand(qint32 low, qint32 high, const QString &name, const QString &lastMode,
                          qint32 lastFrequency)
{
    if (low >= high)
        return;
    Bands.push_back(TBand{low, high, lastFrequency, name, lastMode});
}

void TRadioScale::ClearBands()
{
    Bands.clear();
}

void TRadioScale::AddMode(qint32 low, qint32 high, const QString &mode, quint32 color, const QString &caption)
{
    if (low >= high)
        return;
    Modes.push_back(TMode{low, high, mode, color, caption});
}

void TRadioScale::ClearModes()
{
    Modes.clear();
}

QString TRadioScale::ModeAt(qint32 frequency) const
{
    for (const TMode &m : Modes)
        if (m.Low <= frequency && frequency < m.High)
            return m.Mode;
    return QString();
}

int TRadioScale::FindBand(qint32 frequency) const
{
    int best = -1;
    qint64 bestWidth = std::numeric_limits<qint64>::max();
    for (int i = 0; i < static_cast<int>(Bands.size()); ++i) {
        const TBand &b = Bands.at(static_cast<size_t>(i));
        if (b.Low <= frequency && frequency <= b.High) {
            const qint64 width = qint64(b.High) - b.Low;
            if (width < bestWidth) {
                bestWidth = width;
                best = i;
            }
        }
    }
    return best;
}

// ---- markers ---------------------------------------------------------------------

void TRadioScale::AddMarker(TFqMarker *marker, bool redraw)
{
    if (!marker)
        return;
    marker->Frequency = RoundToStep(marker->Frequency);
    const auto pos = std::upper_bound(Markers.begin(), Markers.end(), marker->Frequency,
                                      [](qint32 f, const TFqMarker *m) { return f < m->Frequency; });
    Markers.insert(pos - Markers.begin(), marker);
    if (redraw)
        InvalidateAll();
}

void TRadioScale::AddOrReplaceMarker(TFqMarker *marker, bool redraw)
{
    if (!marker)
        return;
    for (int i = Markers.size() - 1; i >= 0; --i) {
        const TFqMarker *old = Markers.at(i);
        if (old == marker) {
            Markers.removeAt(i);   // the same object is re-inserted below, at its new place
            continue;
        }
        const qint64 diff = qAbs(qint64(old->Frequency) - marker->Frequency);
        if (old->Caption == marker->Caption && diff < qAbs(old->Frequency / 1000))
            Markers.removeAt(i);
    }
    AddMarker(marker, redraw);
}

void TRadioScale::DeleteMarker(int index)
{
    if (index < 0 || index >= Markers.size())
        return;
    Markers.removeAt(index);
    InvalidateAll();
}

void TRadioScale::DeleteMarkersWithAttribute(const QString &text, bool redraw)
{
    // An empty text names no group; it must not sweep away every marker.
    if (text.isEmpty())
        return;
    Markers.removeIf([&](const TFqMarker *m) { return !m->Permanent && m->Attributes.contains(text); });
    if (redraw)
        InvalidateAll();
}

void TRadioScale::MarkersChanged()
{
    // A marker's own fields changed (caption, mode, highlight): the list is
    // the same, the picture is not.
    update();
}

int TRadioScale::MarkerAtFrequency(QString *caption) const
{
    for (int i = 0; i < Markers.size(); ++i) {
        if (Markers.at(i)->Frequency == FFrequency) {
            if (caption)
                *caption = Markers.at(i)->Caption;
            return i;
        }
    }
    if (caption)
        caption->clear();
    return -1;
}

void TRadioScale::DeleteMarkerAtFrequency()
{
    DeleteMarker(MarkerAtFrequency());
}

int TRadioScale::CountMarkers(const QString &modeFilter, qint32 low, qint32 high) const
{
    int count = 0;
    for (const TFqMarker *m : Markers) {
        if (m->Frequency < low || m->Frequency > high)
            continue;
        if (m->LayoutRect.Left == 0 || m->LayoutRect.Top == 0)
            continue;
        if (!modeFilter.isEmpty() && m->Mode != modeFilter)
            continue;
        ++count;
    }
    return count;
}

bool TRadioScale::IsMarkerVisibleByGroups(const TFqMarker &marker) const
{
    if (marker.Attributes.isEmpty())
        return true;
    const QStringList lines = marker.Attributes.split(QStringLiteral("\r\n"));
    for (const QString &line : lines)
        if (VisibleGroups.contains(line, Qt::CaseInsensitive))
            return true;
    return false;
}

// ---- pixel mapping -------------------------------------------------------------------

int TRadioScale::FreqToX(qint64 frequency) const
{
    const int w = width();
    const qint64 span = qint64(FScaleEnd) - FScaleBegin;
    qint64 x = 0;
    if (span >= 1) {
        const double ruler = w - 2.0 * FScaleMarginsX;
        x = RoundHalfEven(double(frequency - FScaleBegin) * (ruler / double(span))) + FScaleMarginsX;
    }
    // Near the edges the slider would leave the control; 13 px keep it whole.
    return ClampToPixelRange(std::clamp<qint64>(x, 13, qMax<qint64>(13, w - 13)));
}

qint32 TRadioScale::XToFreq(int x) const
{
    const qint64 span = qint64(FScaleEnd) - FScaleBegin;
    const double ruler = width() - 2.0 * FScaleMarginsX;
    if (span < 1 || ruler <= 0)
        return span < 1 ? 0 : FScaleBegin;
    const qint64 f = RoundHalfEven(double(x - FScaleMarginsX) * (double(span) / ruler)) + FScaleBegin;
    return SaturatedFrequency(f);
}

int TRadioScale::FreqSide(qint64 frequency) const
{
    const qint64 span = qint64(FScaleEnd) - FScaleBegin;
    if (span < 1)
        return 0;
    const double ruler = width() - 2.0 * FScaleMarginsX;
    const qint64 x = RoundHalfEven(double(frequency - FScaleBegin) * (ruler / double(span))) + FScaleMarginsX;
    if (x < 13)
        return -1;
    if (x > width() - 13)
        return 1;
    return 0;
}

qint32 TRadioScale::RoundToStep(qint64 frequency) const
{
    const qint64 f = RoundHalfEven(double(frequency) / FTuningStep) * FTuningStep;
    return SaturatedFrequency(f);
}

void TRadioScale::CalculateScale()
{
    const qint64 span = qint64(FScaleEnd) - FScaleBegin;
    if (span <= 0) {
        MinorPx = 0;
        UnitDivisor = 1;
        return;
    }
    const double hzPerPx = double(span) / (width() - 2.0 * FScaleMarginsX);

    qint64 step = 1;
    do {
        step = FirstDigitIs(step, '1') ? step * 5 : step * 2;
        if (span / step <= 2) {
            MinorPx = 0;
            break;
        }
        MinorPx = double(step) / hzPerPx;
    } while (MinorPx < 8.0);
    MinorStep = static_cast<int>(qMin<qint64>(step, std::numeric_limits<int>::max()));

    step = 1;
    do {
        if (FirstDigitIs(step, '1') || FirstDigitIs(step, '5'))
            step *= 2;
        else
            step = step * 5 / 2;
        if (span / step <= 2) {
            LabelPx = 0;
            break;
        }
        LabelPx = double(step) / hzPerPx;
    } while (LabelPx < 40.0);
    LabelStep = static_cast<int>(qMin<qint64>(step, std::numeric_limits<int>::max()));

    if (FScaleBegin <= 9999 && FScaleEnd <= 9999)
        UnitDivisor = 1;
    else if (FScaleBegin <= 9999999 && FScaleEnd <= 9999999)
        UnitDivisor = 1000;
    else
        UnitDivisor = 1000000;
}

QString TRadioScale::FormatScaleLabel(qint64 frequency) const
{
    return ::FormatScaleLabel(frequency, UnitDivisor);
}
