// Zoom history, scrolling, band selection, the range selection, and finding,
// reaching and scrolling to marker flags.

#include "controls/RadioScale.h"

#include "base/MessageBoxes.h"

#include <QCursor>

#include <algorithm>

namespace {

qint64 FloorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

bool Contains(const TEdgeRect &r, int x, int y)
{
    return r.Left <= x && x < r.Right && r.Top <= y && y < r.Bottom;
}

} // namespace

// ---- zoom and scroll -----------------------------------------------------------------

bool TRadioScale::CanZoomIn() const
{
    if (SelectionAnchor != 0)
        return qAbs(qint64(FFrequency) - SelectionAnchor) > 300;
    return qint64(FScaleEnd) - FScaleBegin > 500;
}

void TRadioScale::ZoomTo(qint32 low, qint32 high)
{
    if (!CanZoomIn())
        return;
    if (low != FScaleBegin || high != FScaleEnd)
        ZoomSteps.append(TZoomStep{FScaleBegin, FScaleEnd});

    qint64 begin = low;
    qint64 end = high;
    if (low == 0 && high == 0) {
        const qint64 step = qMax(1, LabelStep);
        const qint64 labels = (qint64(FScaleEnd) - FScaleBegin) / step;
        begin = FloorDiv(qint64(FFrequency) - 1, step) * step;
        end = (FloorDiv(FFrequency, step) + 1) * step;
        if (labels > 8) {
            if (begin - step >= FScaleBegin)
                begin -= step;
            if (end + step <= FScaleEnd)
                end += step;
        }
    }
    StoreRange(qint32(begin), qint32(end));
    SetRange(FScaleBegin, FScaleEnd);

    const int side = FreqSide(FFrequency);
    if (side < 0)
        SetFrequency(FScaleBegin);
    else if (side > 0)
        SetFrequency(FScaleEnd);
}

void TRadioScale::ZoomOut()
{
    if (ZoomSteps.isEmpty()) {
        const qint64 step = qMax(1, LabelStep);
        const qint64 n = ((qint64(FScaleEnd) - FScaleBegin) / step) / 3;
        SetRange(qint32(qMax<qint64>(qint64(FScaleBegin) - n * step, FAbsLoFq)),
                 qint32(qMin<qint64>(qint64(FScaleEnd) + n * step, FAbsHiFq)));
        return;
    }
    const TZoomStep step = ZoomSteps.takeLast();
    SetRange(step.ScaleBegin, step.ScaleEnd);
}

void TRadioScale::ScrollScale(bool right)
{
    const qint64 d = right ? LabelStep : -qint64(LabelStep);
    if (qint64(FScaleBegin) + d >= FAbsLoFq && qint64(FScaleEnd) + d <= FAbsHiFq)
        SetRange(qint32(FScaleBegin + d), qint32(FScaleEnd + d));
}

void TRadioScale::SelectBand(int index)
{
    if (index < 0 || index >= int(Bands.size()))
        return;
    const TBand band = Bands.at(size_t(index));
    SetRange(band.Low, band.High);
    SetFrequency(band.LastFrequency);
    ClearZoomSteps();
}

// ---- selection -------------------------------------------------------------------------

bool TRadioScale::GetSelection(qint32 &low, qint32 &high) const
{
    if (SelectionAnchor == 0) {
        low = FScaleBegin;
        high = FScaleEnd;
        return false;
    }
    low = qMin(SelectionAnchor, FFrequency);
    high = qMax(SelectionAnchor, FFrequency);
    return true;
}

void TRadioScale::ClearSelection()
{
    if (SelectionAnchor == 0)
        return;
    Invalidate(SelectionBandRect(FreqToX(SelectionAnchor), FreqToX(FFrequency)));
    SetSelectionAnchor(0);
}

// ---- markers: hit test, row buttons, jumps -----------------------------------------

int TRadioScale::HitTestMarker(int x, int y, bool *atFrequency) const
{
    for (int i = 0; i < Markers.size(); ++i) {
        const TFqMarker *m = Markers.at(i);
        if (Contains(m->HitRect, x, y) && FScaleBegin <= m->Frequency && m->Frequency <= FScaleEnd) {
            if (atFrequency)
                *atFrequency = m->Frequency == FFrequency;
            return i;
        }
    }
    if (atFrequency)
        *atFrequency = false;
    return -1;
}

bool TRadioScale::ArrowButtonClick(int x, int y)
{
    // A control too low for one row would otherwise scroll by nothing.
    const int page = qMax(1, visibleMarkerRows());
    if (ArrowRectDown().contains(x, y) && MoreBelow)
        SetFirstMarkerRow(FirstMarkerRow + page);
    else if (ArrowRectUp().contains(x, y) && MoreAbove)
        SetFirstMarkerRow(qMax(0, FirstMarkerRow - page));
    else
        return false;
    Invalidate(MarkerAreaRect());
    return true;
}

// Lays the flags out for the current range and rows without drawing them.
void TRadioScale::LayoutMarkersNow()
{
    PaintMarkers(nullptr, false);
}

void TRadioScale::ScrollMarkerRows(bool up)
{
    LayoutMarkersNow();
    const QRect button = up ? ArrowRectUp() : ArrowRectDown();
    ArrowButtonClick(button.left(), button.top());
    PaintMarkers(nullptr, false);
    Invalidate(MarkerAreaRect());
}

void TRadioScale::EnsureMarkerVisible(TFqMarker *marker)
{
    if (!marker || !Markers.contains(marker))
        return;
    LayoutMarkersNow();
    if (marker->HitRect.Left != 0 || marker->HitRect.Top != 0)
        return;
    // Each page moves the rows; a page that moves nothing ends the search.
    while (marker->HitRect.Bottom == -1) {
        const int before = FirstMarkerRow;
        ScrollMarkerRows(true);
        if (FirstMarkerRow == before)
            break;
    }
    while (marker->HitRect.Bottom == 1) {
        const int before = FirstMarkerRow;
        ScrollMarkerRows(false);
        if (FirstMarkerRow == before)
            break;
    }
}

void TRadioScale::GoToMarker(TFqMarker *marker)
{
    if (!marker)
        return;
    SetFrequency(marker->Frequency);
    EnsureMarkerVisible(marker);
}

int TRadioScale::JumpToMarker(bool forward, qint32 low, qint32 high)
{
    const int count = Markers.size();
    auto visible = [&](int i) { return IsMarkerVisibleByGroups(*Markers.at(i)); };
    auto inRange = [&](int i) { return low <= Markers.at(i)->Frequency && Markers.at(i)->Frequency <= high; };

    int start = -1;
    if (SelectedMarker >= 0 && SelectedMarker < count && visible(SelectedMarker)
        && Markers.at(SelectedMarker)->Frequency == FFrequency)
        start = SelectedMarker;

    int found = -1;
    if (start >= 0) {
        const int dir = forward ? 1 : -1;
        int i = start + dir;
        while (i >= 0 && i < count && !visible(i))
            i += dir;
        if (i >= 0 && i < count && inRange(i))
            found = i;
    } else if (forward) {
        for (int i = 0; i < count && found < 0; ++i)
            if (visible(i) && inRange(i) && Markers.at(i)->Frequency > FFrequency)
                found = i;
    } else {
        for (int i = count - 1; i >= 0 && found < 0; --i)
            if (visible(i) && inRange(i) && Markers.at(i)->Frequency < FFrequency)
                found = i;
    }
    if (found < 0) {
        // wrap round to the other end of the range
        if (forward) {
            for (int i = 0; i < count && found < 0; ++i)
                if (visible(i) && inRange(i))
                    found = i;
        } else {
            for (int i = count - 1; i >= 0 && found < 0; --i)
                if (visible(i) && inRange(i))
                    found = i;
        }
    }
    if (found < 0)
        return -1;

    SetFrequency(Markers.at(found)->Frequency);
    SelectedMarker = found;
    EnsureMarkerVisible(Markers.at(found));
    if (FShowHintMarkerSelected) {
        const QPoint p = mapFromGlobal(QCursor::pos());
        LastMouseX = p.x();
        LastMouseY = p.y();
        ShowMarkerHint(found);
    }
    emit OnFqMarkerClick(found);
    return found;
}

void TRadioScale::AskShowMarkerGroup(TFqMarker *marker)
{
    if (!marker || IsMarkerVisibleByGroups(*marker))
        return;
    QString group = marker->Attributes;
    const int cr = group.indexOf(QLatin1Char('\r'));
    const int lf = group.indexOf(QLatin1Char('\n'));
    int cut = -1;
    if (cr >= 0 && lf >= 0)
        cut = qMin(cr, lf);
    else
        cut = qMax(cr, lf);
    if (cut >= 0)
        group.truncate(cut);
    const QString text = QStringLiteral("According to the marker's attributes the marker \nis not currently "
                                        "visible on the scale.\n\nDo you wish to turn the group ")
                         + QLatin1Char('"') + group + QLatin1Char('"')
                         + QStringLiteral(" on to make it visible?");
    if (AskConfirmation(this, text, DefaultAnswer::No)) {
        VisibleGroups.append(group);
        InvalidateAll();
    }
}

// ---- the point where the popup menu opened -------------------------------------------

int TRadioScale::MarkerUnderPopup() const
{
    if (!FPopupMenu || !PopupOpened)
        return -1;
    return HitTestMarker(PopupPoint.x(), PopupPoint.y());
}

bool TRadioScale::SliderUnderPopup() const
{
    return PopupOpened && NearSlider(PopupPoint.x());
}

void TRadioScale::DeleteMarkerUnderPopup()
{
    const int index = MarkerUnderPopup();
    if (index >= 0)
        DeleteMarker(index);
}
