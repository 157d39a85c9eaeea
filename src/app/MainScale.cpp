// The main window's side of the analogue scale: placing it in ScalePnl, its
// popup menu and tool-bar keys, zooming and scrolling, and what the window
// does when the scale reports a drag, a click or a band change.

#include "app/Main.h"
#include "cat/Radio.h"

#include "app/Options.h"
#include "base/Widgets.h"
#include "cat/CatEngine.h"
#include "controls/Digits2.h"
#include "controls/RadioScale.h"
#include "controls/ZoomTo.h"
#include "data/BandKeys.h"
#include "data/FqMarkerOps.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

void TTarnwickFrm::SetupScaleAndBands()
{
    RadioScale = new TRadioScale(ScalePnl);
    RadioScale->setObjectName(QStringLiteral("RadioScale"));

    ScalePpp = new QMenu(this);
    ScalePpp->setObjectName(QStringLiteral("ScalePpp"));
    auto item = [this](const char *name, const QString &caption) {
        QAction *action = ScalePpp->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    AddFreqMarkerMnu = item("AddFreqMarkerMnu", QStringLiteral("Add Freq Marker"));
    EditFreqMarkerMnu = item("EditFreqMarkerMnu", QStringLiteral("Edit Freq Marker"));
    DeleteFreqMarkerMnu = item("DeleteFreqMarkerMnu", QStringLiteral("Delete Freq Marker"));
    ScalePpp->addSeparator();
    ZoomInMnu = item("ZoomInMnu", QStringLiteral("Zoom In"));
    ZoomOutMnu = item("ZoomOutMnu", QStringLiteral("Zoom Out"));
    ZoomToMnu = item("ZoomToMnu", QStringLiteral("Zoom To..."));
    ScalePpp->addSeparator();
    ScrollToLeftMnu = item("ScrollToLeftMnu", QStringLiteral("Scroll To Left"));
    ScrollToRightMnu = item("ScrollToRightMnu", QStringLiteral("Scroll To Right"));
    RadioScale->SetPopupMenu(ScalePpp);
    connect(ScalePpp, &QMenu::aboutToShow, this, &TTarnwickFrm::ScalePppPopup);

    connect(AddFreqMarkerMnu, &QAction::triggered, this, &TTarnwickFrm::AddFreqMarkerMnuClick);
    connect(EditFreqMarkerMnu, &QAction::triggered, this, &TTarnwickFrm::EditFreqMarkerMnuClick);
    connect(DeleteFreqMarkerMnu, &QAction::triggered, this, &TTarnwickFrm::DeleteFreqMarkerMnuClick);
    connect(ZoomInMnu, &QAction::triggered, this, &TTarnwickFrm::ZoomInMnuClick);
    connect(ZoomOutMnu, &QAction::triggered, this, &TTarnwickFrm::ZoomOutMnuClick);
    connect(ZoomToMnu, &QAction::triggered, this, &TTarnwickFrm::ZoomToMnuClick);
    connect(ScrollToLeftMnu, &QAction::triggered, this, &TTarnwickFrm::ScrollToLeftMnuClick);
    connect(ScrollToRightMnu, &QAction::triggered, this, &TTarnwickFrm::ScrollToRightMnuClick);

    connect(ToolButton1, &QToolButton::clicked, this, &TTarnwickFrm::ZoomInMnuClick);
    connect(ToolButton2, &QToolButton::clicked, this, &TTarnwickFrm::ZoomOutMnuClick);
    connect(ToolButton3, &QToolButton::clicked, this, &TTarnwickFrm::AddFreqMarkerMnuClick);
    connect(ToolButton4, &QToolButton::clicked, this, &TTarnwickFrm::ToolButton4Click);
    connect(ToolButton5, &QToolButton::clicked, this, &TTarnwickFrm::ToolButton5Click);
    connect(ToolButton7, &QToolButton::clicked, this, &TTarnwickFrm::ScrollToLeftMnuClick);
    connect(ToolButton8, &QToolButton::clicked, this, &TTarnwickFrm::ScrollToRightMnuClick);
    connect(SpeedButton17, &QToolButton::clicked, this, &TTarnwickFrm::AddFreqMarkerMnuClick);

    connect(RadioScale, &TRadioScale::OnFreqChangeStart, this, &TTarnwickFrm::RadioScaleFreqChangeStart);
    connect(RadioScale, &TRadioScale::OnFreqChanged, this, &TTarnwickFrm::RadioScaleFreqChanged);
    connect(RadioScale, &TRadioScale::OnFreqChangeStop, this, &TTarnwickFrm::RadioScaleFreqChangeStop);
    connect(RadioScale, &TRadioScale::OnFreqAssigned, this, &TTarnwickFrm::RadioScaleFreqAssigned);
    connect(RadioScale, &TRadioScale::OnMouseDown, this, &TTarnwickFrm::RadioScaleMouseDown);
    connect(RadioScale, &TRadioScale::OnMouseUp, this, &TTarnwickFrm::RadioScaleMouseUp);
    connect(RadioScale, &TRadioScale::OnSliderDblClk, this, &TTarnwickFrm::RadioScaleSliderDblClk);
    connect(RadioScale, &TRadioScale::OnScaleDblClk, this, &TTarnwickFrm::RadioScaleScaleDblClk);
    connect(RadioScale, &TRadioScale::OnModeChanged, this, &TTarnwickFrm::RadioScaleModeChanged);
    connect(RadioScale, &TRadioScale::OnBandChange, this, &TTarnwickFrm::RadioScaleBandChange);
    connect(RadioScale, &TRadioScale::OnFqMarkerClick, this, &TTarnwickFrm::RadioScaleFqMarkerClick);
    connect(RadioScale, &TRadioScale::OnFqMarkerDblClk, this, &TTarnwickFrm::RadioScaleFqMarkerDblClk);

    ZoomToFrm = new TZoomToFrm(this);
    ZoomToFrm->setObjectName(QStringLiteral("ZoomToFrm"));

    SetupDigiScale();
    SetupBands();
    SetupKeyboard();
    SetupMarkers();

    connect(this, &TTarnwickFrm::LitStateChanged, this, [this](bool lit) {
        RadioScale->Lit(lit);
        DigiScale->SetLit(lit);
        UpdateDigiDisplay();
    });
    connect(this, &TTarnwickFrm::PreferencesApplied, this, &TTarnwickFrm::CopyScalePreferences);
    connect(this, &TTarnwickFrm::MouseMovedOffScale, RadioScale, &TRadioScale::HideHint);
    ScalePnlResize();
}

void TTarnwickFrm::ActivateScale()
{
    CopyScalePreferences();
    PressModeKey(LastMode);
    RadioScale->SetFrequency(LastFreq);
    RadioScale->SetSliderVisible(true);
    const int band = RadioScale->FindBand(RadioScale->Frequency());
    if (band >= 0 && band < BandKeys->ButtonCount()) {
        // Selecting a band tunes to the frequency it remembers, which starts
        // as its initial one: make that the frequency of the last run, so
        // that the restored frequency survives the selection.
        RadioScale->Bands[size_t(band)].LastFrequency = RadioScale->Frequency();
        BandKeys->PressButton(band);
        RadioScale->SelectBand(band);
    }
    UpdateDigiDisplay();
}

void TTarnwickFrm::CopyScalePreferences()
{
    RadioScale->SetAnimateScale(!OptionsFrm->DontAnimateScaleChk->isChecked());
    RadioScale->SetShowHintMouseHoover(OptionsFrm->ShowHintMouseHoverChk->isChecked());
    RadioScale->SetShowHintMarkerSelected(OptionsFrm->ShowHintMarkerSelectedChk->isChecked());
}

void TTarnwickFrm::ScalePnlResize()
{
    RadioScale->setGeometry(1, 2, qMax(0, ScalePnl->width() - 3), qMax(0, ScalePnl->height() - 4));
    RadioScale->Rescale();
}

void TTarnwickFrm::RadioScaleFreqChangeStart(int frequency)
{
    Q_UNUSED(frequency);
}

void TTarnwickFrm::RadioScaleFreqChanged(int frequency)
{
    QueueTuneCommands(frequency, TuneOrigin::Drag);
    UpdateDigiDisplay();
}

void TTarnwickFrm::RadioScaleFreqChangeStop(int frequency)
{
    Q_UNUSED(frequency);
    if (GraphBtn->isChecked())
        RestartSpectrograph();
}

void TTarnwickFrm::RadioScaleFreqAssigned(int frequency)
{
    Q_UNUSED(frequency);
    // A range scan and a held arrow key restart the plot once, when they end.
    if (!RangeScanRunning() && !KeyTuning && GraphBtn->isChecked())
        RestartSpectrograph();
    UpdateDigiDisplay();
}

void TTarnwickFrm::RadioScaleMouseDown()
{
    StopScan();
    dragHold = Radio->HoldTuning();
}

void TTarnwickFrm::RadioScaleMouseUp()
{
    // A release without a press (the press went to another window) has no
    // hold to give up.
    dragHold.reset();
}

void TTarnwickFrm::RadioScaleSliderDblClk()
{
    switch (OptionsFrm->SliderDblClkCBx->currentIndex()) {
    case 1: {
        const QPoint pointer = QCursor::pos();
        const int offset = pointer.x() - RadioScale->mapToGlobal(QPoint(RadioScale->SliderX(), 0)).x();
        ZoomInMnuClick();
        const int sliderX = RadioScale->mapToGlobal(QPoint(RadioScale->SliderX(), 0)).x();
        QCursor::setPos(sliderX + offset, pointer.y());
        break;
    }
    case 2:
        AddFreqMarkerMnuClick();
        break;
    default:
        break;
    }
}

void TTarnwickFrm::RadioScaleScaleDblClk()
{
    if (OptionsFrm->ScaleDblClkCBx->currentIndex() == 1)
        ZoomOutMnuClick();
}

void TTarnwickFrm::RadioScaleModeChanged(QString &mode)
{
    QueueModeChange(mode);
}

void TTarnwickFrm::RadioScaleBandChange(int bandIdx)
{
    BandKeys->RadioScaleBandChange(this, bandIdx);
}

void TTarnwickFrm::RadioScaleFqMarkerClick(int markerIdx)
{
    if (markerIdx < 0 || markerIdx >= RadioScale->Markers.size())
        return;
    GoToMarker(markerIdx);
    if (GraphBtn->isChecked())
        RestartSpectrograph();
}

void TTarnwickFrm::ZoomInMnuClick()
{
    qint32 low = 0;
    qint32 high = 0;
    if (RadioScale->GetSelection(low, high))
        RadioScale->ZoomTo(low, high);
    else
        RadioScale->ZoomTo(0, 0);
    SetSpectrographRange(RadioScale->ScaleBegin(), RadioScale->ScaleEnd());
}

void TTarnwickFrm::ZoomOutMnuClick()
{
    RadioScale->ZoomOut();
    SetSpectrographRange(RadioScale->ScaleBegin(), RadioScale->ScaleEnd());
}

void TTarnwickFrm::ZoomToMnuClick()
{
    qint32 low = 0;
    qint32 high = 0;
    RadioScale->GetSelection(low, high); // the range when there is no selection
    ZoomToFrm->BeginEdt->setText(QString::number(low / 1000));
    ZoomToFrm->EndEdt->setText(QString::number(high / 1000));
    ZoomToFrm->MinScaleBegin = RadioScale->ScaleBegin();
    ZoomToFrm->MaxScaleEnd = RadioScale->ScaleEnd();
    if (ZoomToFrm->exec() != QDialog::Accepted)
        return;
    RadioScale->ZoomTo(ZoomToFrm->BeginFrequency(), ZoomToFrm->EndFrequency());
    SetSpectrographRange(RadioScale->ScaleBegin(), RadioScale->ScaleEnd());
}

void TTarnwickFrm::ScrollToLeftMnuClick()
{
    RadioScale->ScrollScale(false);
}

void TTarnwickFrm::ScrollToRightMnuClick()
{
    RadioScale->ScrollScale(true);
}

void TTarnwickFrm::ToolButton4Click()
{
    RadioScale->JumpToMarker(false, RadioScale->ScaleBegin(), RadioScale->ScaleEnd());
}

void TTarnwickFrm::ToolButton5Click()
{
    RadioScale->JumpToMarker(true, RadioScale->ScaleBegin(), RadioScale->ScaleEnd());
}

void TTarnwickFrm::ScalePppPopup()
{
    FqMarkers->ScalePppPopup(AddFreqMarkerMnu, EditFreqMarkerMnu, DeleteFreqMarkerMnu);
    const bool scanning = ScanRunning();
    ZoomInMnu->setEnabled(RadioScale->CanZoomIn() && !scanning);
    ZoomToMnu->setEnabled(RadioScale->CanZoomIn() && !scanning);
    ZoomOutMnu->setEnabled(RadioScale->CanZoomOut() && !scanning);
}
