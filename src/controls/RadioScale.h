#pragma once

// The analogue tuning scale of the main window: a ruler over a frequency range
// with ticks, labels and unit, the band name, the coloured mode strip, marker
// flags in scrollable rows, an optional digital readout and a translucent
// slider at the tuned frequency. Dragging the slider tunes; the scale zooms,
// scrolls, changes band by itself and slides to a new range.
//
// Frequencies are hertz. Everything runs on the user-interface thread.

#include "controls/DrawnList.h"
#include "controls/ScaleTypes.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QMenu>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QLabel;

class QPainter;
class QTimer;

class TRadioScale : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool SliderVisible READ SliderVisible WRITE SetSliderVisible)
    Q_PROPERTY(int ScaleBegin READ ScaleBegin WRITE SetScaleBegin)
    Q_PROPERTY(int ScaleEnd READ ScaleEnd WRITE SetScaleEnd)
    Q_PROPERTY(int ScaleMarginsX READ ScaleMarginsX WRITE SetScaleMarginsX)
    Q_PROPERTY(int Frequency READ Frequency WRITE SetFrequency)
    Q_PROPERTY(bool AutoBand READ AutoBand WRITE SetAutoBand)
    Q_PROPERTY(bool GeneralCoverage READ GeneralCoverage WRITE SetGeneralCoverage)
    Q_PROPERTY(int TuningStep READ TuningStep WRITE SetTuningStep)
    Q_PROPERTY(bool AnimateScale READ AnimateScale WRITE SetAnimateScale)
    Q_PROPERTY(bool PaintDigits READ PaintDigits WRITE SetPaintDigits)
    Q_PROPERTY(bool ShowHintMouseHoover READ ShowHintMouseHoover WRITE SetShowHintMouseHoover)
    Q_PROPERTY(bool ShowHintMarkerSelected READ ShowHintMarkerSelected WRITE SetShowHintMarkerSelected)
    Q_PROPERTY(bool ShowModes READ ShowModes WRITE SetShowModes)
    Q_PROPERTY(int AbsLoFq READ AbsLoFq WRITE SetAbsLoFq)
    Q_PROPERTY(int AbsHiFq READ AbsHiFq WRITE SetAbsHiFq)

public:
    // Outside influences, replaceable so that tests run without a keyboard
    // or a real clock; the observer sees every invalidated rectangle.
    using TickSource = std::function<qint64()>;                      // milliseconds, monotonic
    using ModifierSource = std::function<Qt::KeyboardModifiers()>;
    using InvalidationObserver = std::function<void(const QRect &)>;

    explicit TRadioScale(QWidget *parent = nullptr);
    ~TRadioScale() override;

    // ---- published properties -------------------------------------------------
    bool SliderVisible() const { return FSliderVisible; }
    void SetSliderVisible(bool value);
    qint32 ScaleBegin() const { return FScaleBegin; }
    void SetScaleBegin(qint32 value);
    qint32 ScaleEnd() const { return FScaleEnd; }
    void SetScaleEnd(qint32 value);
    int ScaleMarginsX() const { return FScaleMarginsX; }
    void SetScaleMarginsX(int value);
    qint32 Frequency() const { return FFrequency; }
    void SetFrequency(qint32 value);
    bool AutoBand() const { return FAutoBand; }
    void SetAutoBand(bool value) { FAutoBand = value; }
    QMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu *menu) { FPopupMenu = menu; }
    bool GeneralCoverage() const { return FGeneralCoverage; }
    void SetGeneralCoverage(bool value) { FGeneralCoverage = value; }
    int TuningStep() const { return FTuningStep; }
    void SetTuningStep(int value);
    bool AnimateScale() const { return FAnimateScale; }
    void SetAnimateScale(bool value) { FAnimateScale = value; }
    bool PaintDigits() const { return FPaintDigits; }
    void SetPaintDigits(bool value);
    bool ShowHintMouseHoover() const { return FShowHintMouseHoover; }
    void SetShowHintMouseHoover(bool value) { FShowHintMouseHoover = value; }
    bool ShowHintMarkerSelected() const { return FShowHintMarkerSelected; }
    void SetShowHintMarkerSelected(bool value) { FShowHintMarkerSelected = value; }
    bool ShowModes() const { return FShowModes; }
    void SetShowModes(bool value);
    qint32 AbsLoFq() const { return FAbsLoFq; }
    void SetAbsLoFq(qint32 value) { FAbsLoFq = value; }
    qint32 AbsHiFq() const { return FAbsHiFq; }
    void SetAbsHiFq(qint32 value) { FAbsHiFq = value; }

    // ---- lists (the owner reads and edits them directly) ---------------------
    // Every change of a list marks the picture stale (see DrawnList.h).
    TDrawnList<std::vector<TBand>> Bands{[this] { PictureChanged(); }};   // owned; the owner updates LastFrequency/LastMode
    TDrawnList<std::vector<TMode>> Modes{[this] { PictureChanged(); }};   // owned
    TDrawnList<QList<TFqMarker *>> Markers{[this] { PictureChanged(); }}; // sorted by frequency; the marker store owns the objects
    TDrawnList<QStringList> VisibleGroups{[this] { PictureChanged(); }};  // switched-on marker groups
    QList<TZoomStep> ZoomSteps;        // zoom history, newest last
    int SelectedMarker = -1;           // marker last clicked or jumped to

    // ---- model ------------------------------------------------------------------
    void AddBand(qint32 low, qint32 high, const QString &name, const QString &lastMode, qint32 lastFrequency);
    void ClearBands();
    void AddMode(qint32 low, qint32 high, const QString &mode, quint32 color, const QString &caption);
    void ClearModes();
    void AddMarker(TFqMarker *marker, bool redraw);
    void AddOrReplaceMarker(TFqMarker *marker, bool redraw);
    void DeleteMarker(int index);
    void DeleteMarkersWithAttribute(const QString &text, bool redraw);
    // The owner changed Markers, a marker or VisibleGroups directly: repaint
    // the whole control (and drop whatever was drawn from the old ones).
    void MarkersChanged();
    int MarkerAtFrequency(QString *caption = nullptr) const;
    void DeleteMarkerAtFrequency();
    int CountMarkers(const QString &modeFilter, qint32 low, qint32 high) const;
    QString ModeAt(qint32 frequency) const;
    int FindBand(qint32 frequency) const;
    bool IsMarkerVisibleByGroups(const TFqMarker &marker) const;
    void Rescale();
    int SliderX() const { return FSliderX; }
    void Lit(bool value);
    QColor Color() const { return FColor; }
    void HideHint();

    // The scale keeps its picture without the slider and draws it afresh only
    // after something it shows has changed; a slider move is then a copy of
    // two strips. The owner's update() and repaint() say "the scale changed"
    // and draw it afresh: after editing a marker object in place (which the
    // scale cannot see), call one of them.
    using QWidget::repaint;
    using QWidget::update;
    void update();
    void repaint();

    // ---- geometry ---------------------------------------------------------------
    int FreqToX(qint64 frequency) const;
    qint32 XToFreq(int x) const;
    int FreqSide(qint64 frequency) const;
    qint32 RoundToStep(qint64 frequency) const;
    void CalculateScale();
    QString FormatScaleLabel(qint64 frequency) const;

    // Layout state, read by the owner and by tests.
    double minorPx() const { return MinorPx; }
    int minorStep() const { return MinorStep; }
    double labelPx() const { return LabelPx; }
    int labelStep() const { return LabelStep; }
    int unitDivisor() const { return UnitDivisor; }
    int firstMarkerRow() const { return FirstMarkerRow; }
    bool moreAbove() const { return MoreAbove; }
    bool moreBelow() const { return MoreBelow; }
    int visibleMarkerRows() const;
    int drawnSliderX() const { return DrawnSliderX; }
    bool isDragging() const { return Dragging; }
    qint32 pendingFreq() const { return PendingFreq; }
    qint32 selectionAnchor() const { return SelectionAnchor; }
    static QRect ArrowRectUp();
    QRect ArrowRectDown() const;

    // ---- interaction, zoom and markers ---------------------------------------
    void SetRange(qint32 begin, qint32 end);
    void ZoomTo(qint32 low, qint32 high);
    void ZoomOut();
    bool CanZoomIn() const;
    bool CanZoomOut() const { return !ZoomSteps.isEmpty(); }
    void ClearZoomSteps() { ZoomSteps.clear(); }
    void ScrollScale(bool right);
    void SelectBand(int index);
    bool GetSelection(qint32 &low, qint32 &high) const;
    void ClearSelection();
    int JumpToMarker(bool forward, qint32 low, qint32 high);
    void GoToMarker(TFqMarker *marker);
    void EnsureMarkerVisible(TFqMarker *marker);
    void ScrollMarkerRows(bool up);
    void AskShowMarkerGroup(TFqMarker *marker);
    int MarkerUnderPopup() const;
    bool SliderUnderPopup() const;
    void DeleteMarkerUnderPopup();
    int HitTestMarker(int x, int y, bool *atFrequency = nullptr) const;

    // The marker hint's text for marker Index, and what the hint shows now.
    QString MarkerHintText(int index) const;
    QString HintText() const;
    void ShowMarkerHint(int index);

    // The range slide runs from a timer; these let callers (and tests) see it
    // and end it at once.
    bool IsAnimating() const { return Animation != nullptr; }
    void FinishAnimation();

    // When the drag timer is due, on the tick clock (valid while it runs).
    bool IsDragTimerActive() const;
    qint64 DragTimerDueTick() const { return DragTimerStartTick + DragTimerInterval; }

    void SetTickSource(TickSource source);
    void SetModifierSource(ModifierSource source);
    void SetInvalidationObserver(InvalidationObserver observer);

    static constexpr int DragTimerInterval = 10;
    static constexpr int DragApplyInterval = 100;

signals:
    void OnFreqChangeStart(int frequency);
    void OnFreqChangeStop(int frequency);
    void OnFreqChanged(int frequency);
    void OnFreqAssigned(int frequency);
    void OnModeChanged(QString &mode);
    void OnSliderDblClk();
    void OnScaleDblClk();
    void OnFqMarkerDblClk(int markerIdx);
    void OnMouseDown();
    void OnMouseUp();
    void OnBandChange(int bandIdx);
    void OnFqMarkerClick(int markerIdx);
    // The shown range changed, however: a zoom, a scroll, a band change, or
    // the scale following its frequency out of the range.
    void OnRangeChanged(int scaleBegin, int scaleEnd);

public slots:
    void DragTimerTimer();
    void AnimationTimerTimer();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    struct Animator;

    // painting (RadioScalePaint.cpp)
    void PaintAll(QPainter &p, bool withSlider, bool withDigits);
    void PaintScale(QPainter &p);
    void PaintModes(QPainter &p);
    void PaintMarkers(QPainter *p, bool draw);
    void PaintDigitsText(QPainter &p);
    void DrawSlider(QPainter &p, int x);
    QFont ScaleFont(int pointSize) const;
    int TextHeightE() const;
    QRect SliderStripRect(int x) const;
    QRect SelectionBandRect(int a, int b) const;
    QRect BandNameRect() const;
    QRect DigitsBoxRect() const;
    QRect MarkerAreaRect() const;
    void Invalidate(const QRect &rect);
    void InvalidateAll();
    void EnsureCanvas();
    // The one way every change of what the picture shows goes: the picture is
    // drawn afresh at the next paint (nothing is repainted by this alone).
    void PictureChanged();
    const QImage &EnsurePicture();
    void StoreRange(qint32 begin, qint32 end);
    void SetFirstMarkerRow(int row);
    void SetSelectionAnchor(qint32 anchor);

    // interaction (RadioScaleInteraction.cpp)
    void Hover(int x, int y);
    bool ArrowButtonClick(int x, int y);
    bool NearSlider(int x) const;
    void RestartDragTimer();
    void StartAnimation(int direction, QImage oldPicture);
    void EndAnimationVisuals();
    void ReevaluateHover();
    qint64 Tick() const;
    Qt::KeyboardModifiers Modifiers() const;
    bool ShiftHeld() const { return Modifiers().testFlag(Qt::ShiftModifier); }
    void LayoutMarkersNow();

    // published property storage
    bool FSliderVisible = false;
    qint32 FScaleBegin = 3500000;
    qint32 FScaleEnd = 3800000;
    int FScaleMarginsX = 30;
    qint32 FFrequency = 3550000;
    bool FAutoBand = true;
    QPointer<QMenu> FPopupMenu;
    bool FGeneralCoverage = true;
    int FTuningStep = 10;
    bool FAnimateScale = true;
    bool FPaintDigits = false;
    bool FShowHintMouseHoover = true;
    bool FShowHintMarkerSelected = true;
    bool FShowModes = true;
    qint32 FAbsLoFq = 0;
    qint32 FAbsHiFq = 500000000;

    // own state
    double MinorPx = 0.0;
    int MinorStep = 0;
    double LabelPx = 0.0;
    int LabelStep = 0;
    int UnitDivisor = 1;
    qint32 PendingFreq = 0;
    int DrawnSliderX = 0;
    int FSliderX = 0;
    bool Dragging = false;
    int DragStartX = 0;
    int DragStartY = 0;
    int LastMouseX = 0;
    int LastMouseY = 0;
    int DragStartSliderX = -10000;
    QImage SliderBitmap;
    QImage BackBitmap;
    int FirstMarkerRow = 0;
    bool MoreAbove = false;
    bool MoreBelow = false;
    qint32 SelectionAnchor = 0;
    QTimer *DragTimer = nullptr;       // child object
    qint64 DragTimerStartTick = 0;
    qint64 LastApplyTick = 0;
    QLabel *HintWindow = nullptr;      // child tool-tip window
    QColor FColor;
    QPoint PopupPoint{-1, -1};
    bool PopupOpened = false;

    QImage Picture;                    // ruler, band name, mode strip and markers, without the slider
    bool PictureValid = false;
    bool PictureBeingDrawn = false;
    QImage Canvas;                     // what the control shows; the slider is composed on it
    std::unique_ptr<Animator> Animation;
    QTimer *AnimationTimer = nullptr;  // child object

    TickSource FTickSource;
    ModifierSource FModifierSource;
    InvalidationObserver FInvalidationObserver;
};
