// Tuning: the Frequency property with its automatic band change, the slide
// to a new range, the mouse (drag, selection, clicks, hover) and the drag
// timer that bounds how often a drag retunes the radio.

#include "controls/RadioScale.h"

#include "controls/RadioScalePrivate.h"

#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace {

constexpr qint32 LowestGeneralCoverage = 100000;

} // namespace

// ---- properties ---------------------------------------------------------------------

void TRadioScale::SetSliderVisible(bool value)
{
    Invalidate(SliderStripRect(DrawnSliderX));
    FSliderVisible = value;
    if (value) {
        FSliderX = FreqToX(FFrequency);
        Invalidate(SliderStripRect(FSliderX));
    }
}

void TRadioScale::SetPaintDigits(bool value)
{
    FPaintDigits = value;
    PictureChanged(); // the digits box is part of the picture
    // The readout's rectangle lies inside the box's frame: the frame comes and goes too.
    Invalidate(DigitsBoxRect().adjusted(-1, -1, 1, 1));
}

void TRadioScale::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The owner calls Rescale after sizing; keeping the mapping right in
    // between costs nothing.
    CalculateScale();
    PictureChanged();
    FSliderX = FreqToX(FFrequency);
}

// ---- Frequency -------------------------------------------------------------------------

void TRadioScale::SetFrequency(qint32 value)
{
    if (value == -1)
        return;
    HideHint();
    const int oldBand = FindBand(FFrequency);
    const int newBand = FindBand(value);

    if (FAutoBand && FreqSide(value) != 0 && (newBand != -1 || FGeneralCoverage)) {
        if (newBand != -1) {
            const TBand &b = Bands.at(size_t(newBand));
            SetRange(b.Low, b.High);
        } else {
            qint64 span = qint64(FScaleEnd) - FScaleBegin;
            if (!ZoomSteps.isEmpty()) {
                span = qint64(ZoomSteps.first().ScaleEnd) - ZoomSteps.first().ScaleBegin;
                ZoomSteps.clear();
            }
            qint64 lo;
            qint64 hi;
            if (FreqSide(value) < 0) {
                lo = qint64(FScaleBegin) - span;
                hi = FScaleBegin;
                if (lo < LowestGeneralCoverage) {
                    lo = LowestGeneralCoverage;
                    hi = LowestGeneralCoverage + span;
                }
            } else {
                lo = FScaleEnd;
                hi = qint64(FScaleEnd) + span;
            }
            if (value < lo || value > hi) {
                lo = value - span / 2;
                hi = value + span / 2;
            }
            if (lo < LowestGeneralCoverage) {
                lo = LowestGeneralCoverage;
                hi = LowestGeneralCoverage + span;
            }
            lo = lo / 1000 * 1000;
            hi = hi / 1000 * 1000;
            SetRange(SaturatedFrequency(lo), SaturatedFrequency(hi));
        }
    }

    // The keyboard is asked only when there is a selection to keep or lose.
    if (value != FFrequency && SelectionAnchor != 0 && !ShiftHeld())
        ClearSelection();

    if (SelectionAnchor != 0 && value != FFrequency)
        PictureChanged(); // the selection band follows the frequency
    FFrequency = value;
    FSliderX = FreqToX(value);
    if (FSliderX != DrawnSliderX) {
        Invalidate(SliderStripRect(FSliderX));
        Invalidate(SliderStripRect(DrawnSliderX));
        if (SelectionAnchor != 0)
            Invalidate(SelectionBandRect(DrawnSliderX, FSliderX));
    }
    if (FPaintDigits)
        Invalidate(DigitsBoxRect());
    if (newBand != oldBand) {
        PictureChanged(); // another band name
        emit OnBandChange(newBand);
        Invalidate(BandNameRect());
    }
    if (!Dragging)
        emit OnFreqAssigned(value);
}

// ---- range change and its slide ---------------------------------------------------

void TRadioScale::SetRange(qint32 begin, qint32 end)
{
    FinishAnimation();
    ClearSelection();
    HideHint();
    const bool sliderWasVisible = FSliderVisible;
    if (sliderWasVisible)
        Invalidate(SliderStripRect(DrawnSliderX));

    int direction = 0;
    if (begin > FScaleEnd)
        direction = 1;
    else if (end < FScaleBegin)
        direction = -1;
    if (!sliderWasVisible || !FAnimateScale || width() < 1 || height() < 1)
        direction = 0;

    if (direction == 0) {
        StoreRange(begin, end);
    } else {
        SetFirstMarkerRow(0);
        // The picture as it stands, without the slider, is one end of the slide.
        const qreal dpr = devicePixelRatioF();
        QImage oldPicture((QSizeF(size()) * dpr).toSize(), QImage::Format_RGB32);
        oldPicture.setDevicePixelRatio(dpr);
        {
            QPainter p(&oldPicture);
            PaintAll(p, false, true);
        }
        StoreRange(begin, end);
        StartAnimation(direction, oldPicture);
    }

    FSliderX = FreqToX(FFrequency);
    InvalidateAll();
    Invalidate(SliderStripRect(FSliderX));
    Invalidate(BandNameRect());
    if (!Animation)
        ReevaluateHover();
}

void TRadioScale::StartAnimation(int direction, QImage oldPicture)
{
    const int w = width();
    const int h = height();
    const qreal dpr = oldPicture.devicePixelRatio();
    auto anim = std::make_unique<Animator>();
    anim->Direction = direction;
    anim->Work = QImage((QSizeF(w, 2 * h + 10) * dpr).toSize(), QImage::Format_RGB32);
    anim->Work.setDevicePixelRatio(dpr);
    anim->Work.fill(Qt::black);   // the 10 px gap between the pictures

    const QImage &newPicture = EnsurePicture();
    {
        QPainter p(&anim->Work);
        // Higher frequencies come in from the top, lower ones from the bottom.
        const QImage &upper = direction > 0 ? newPicture : oldPicture;
        const QImage &lower = direction > 0 ? oldPicture : newPicture;
        p.drawImage(QPoint(0, 0), upper);
        p.drawImage(QPoint(0, h + 10), lower);
    }
    // Low controls would give a step of 0 and never arrive.
    anim->Step = qMax(1, h / 50);
    anim->Total = direction > 0 ? h + 9 : h + 10;
    anim->Offset = direction > 0 ? h + 9 : 0;
    anim->T0 = Tick();
    Animation = std::move(anim);
    setCursor(Qt::BlankCursor);
    AnimationTimer->start();
}

void TRadioScale::AnimationTimerTimer()
{
    if (!Animation) {
        AnimationTimer->stop();
        return;
    }
    // About one pixel per millisecond, moved in whole steps.
    const qint64 elapsed = qMax<qint64>(0, Tick() - Animation->T0);
    const qint64 travelled = qMin<qint64>(Animation->Total, elapsed / Animation->Step * Animation->Step);
    if (travelled >= Animation->Total) {
        FinishAnimation();
        return;
    }
    const int offset = Animation->Direction > 0 ? Animation->Total - int(travelled) : int(travelled);
    if (offset != Animation->Offset) {
        Animation->Offset = offset;
        update(QRect(0, 3, width(), height() - 5));
    }
}

void TRadioScale::FinishAnimation()
{
    if (!Animation)
        return;
    AnimationTimer->stop();
    Animation.reset();
    EndAnimationVisuals();
}

void TRadioScale::EndAnimationVisuals()
{
    unsetCursor();
    InvalidateAll();
    ReevaluateHover();
}

void TRadioScale::ReevaluateHover()
{
    if (!isVisible())
        return;
    const QPoint p = mapFromGlobal(QCursor::pos());
    if (rect().contains(p))
        Hover(p.x(), p.y());
}

// ---- mouse -----------------------------------------------------------------------------

bool TRadioScale::NearSlider(int x) const
{
    // A slider that is not shown cannot be grabbed.
    return FSliderVisible && qAbs(x - DrawnSliderX) <= 10;
}

void TRadioScale::mousePressEvent(QMouseEvent *event)
{
    const int x = event->position().toPoint().x();
    const int y = event->position().toPoint().y();
    FinishAnimation();
    if (event->button() == Qt::RightButton) {
        HideHint();
        if (FPopupMenu) {
            PopupPoint = QPoint(x, y);
            PopupOpened = true;
            FPopupMenu->popup(QCursor::pos());
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;

    ClearSelection();
    const int hit = HitTestMarker(x, y);
    if (hit >= 0) {
        SetFrequency(Markers.at(hit)->Frequency);
        SelectedMarker = hit;
        emit OnFqMarkerClick(hit);
    } else if (ArrowButtonClick(x, y)) {
        // the marker rows scrolled
    } else if (NearSlider(x)) {
        Dragging = true;
        DragStartX = x;
        DragStartY = y;
        DragStartSliderX = FreqToX(FFrequency);
        emit OnFreqChangeStart(FFrequency);
    }
    emit OnMouseDown();
}

void TRadioScale::mouseMoveEvent(QMouseEvent *event)
{
    const int x = event->position().toPoint().x();
    const int y = event->position().toPoint().y();
    Hover(x, y);

    const qint32 raw = XToFreq(DragStartSliderX + x - DragStartX);
    const qint32 f = RoundToStep(raw);
    if (!Dragging || !(event->buttons() & Qt::LeftButton) || FreqSide(raw) != 0 || f == FFrequency)
        return;
    if (SelectionAnchor == 0 && ShiftHeld())
        SetSelectionAnchor(FFrequency);
    PendingFreq = f;
    RestartDragTimer();
}

// Within 100 ms of the last applied frequency every move pushes the timer
// back; after that the running timer is left alone, so a steady drag retunes
// about every 100 ms and a pause applies the position 10 ms later.
void TRadioScale::RestartDragTimer()
{
    const qint64 now = Tick();
    if (now - LastApplyTick < DragApplyInterval) {
        DragTimer->stop();
        DragTimer->start();
        DragTimerStartTick = now;
    } else if (!DragTimer->isActive()) {
        DragTimer->start();
        DragTimerStartTick = now;
    }
}

bool TRadioScale::IsDragTimerActive() const
{
    return DragTimer->isActive();
}

void TRadioScale::DragTimerTimer()
{
    DragTimer->stop();
    LastApplyTick = Tick();
    SetFrequency(PendingFreq);
    emit OnFreqChanged(FFrequency);
}

void TRadioScale::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int x = event->position().toPoint().x();
    if (Dragging && NearSlider(x))
        emit OnFreqChangeStop(FFrequency);
    emit OnMouseUp();
    Dragging = false;
}

void TRadioScale::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    const int x = event->position().toPoint().x();
    const int y = event->position().toPoint().y();
    FinishAnimation();
    HideHint();
    const int hit = HitTestMarker(x, y);
    if (hit >= 0)
        emit OnFqMarkerDblClk(hit);
    else if (!ArrowButtonClick(x, y)) {
        if (FSliderVisible && qAbs(x - DrawnSliderX) <= 10)
            emit OnSliderDblClk();
        else
            emit OnScaleDblClk();
    }
    // The second press of a double click is released like any other: its
    // OnMouseDown keeps the owner's press and release counts balanced.
    emit OnMouseDown();
}

void TRadioScale::Hover(int x, int y)
{
    bool atFrequency = false;
    const int marker = Dragging ? -1 : HitTestMarker(x, y, &atFrequency);
    const bool samePoint = x == LastMouseX && y == LastMouseY;
    if ((MoreBelow && ArrowRectDown().contains(x, y)) || (MoreAbove && ArrowRectUp().contains(x, y))) {
        setCursor(Qt::PointingHandCursor);
    } else if (NearSlider(x) && (marker < 0 || atFrequency)) {
        setCursor(Qt::SplitHCursor);
        HideHint();
        LastMouseX = x;
        LastMouseY = y;
        return;
    } else if (marker < 0) {
        setCursor(Qt::ArrowCursor);
        if (!samePoint)
            HideHint();
    } else {
        setCursor(Qt::PointingHandCursor);
        if (FShowHintMouseHoover && !samePoint)
            ShowMarkerHint(marker);
    }
    LastMouseX = x;
    LastMouseY = y;
}
