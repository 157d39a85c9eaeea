// The main window's ends of the scanner and the spectrograph: the SCAN and
// GRAPH keys, the scan timer and the plot's own update timer. The scanner
// (src/scan) does the stepping and reaches the window through MainScanHost.

#include "app/Main.h"

#include "app/Options.h"
#include "base/MessageBoxes.h"
#include "cat/Radio.h"
#include "controls/RadioScale.h"
#include "controls/SpectroGraph.h"
#include "scan/ScanProperties.h"
#include "scan/Scanner.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QTimer>
#include <QToolButton>

class MainScanHost : public QObject, public TScanHost
{
public:
    explicit MainScanHost(TTarnwickFrm &window)
        : QObject(&window)
        , w(window)
        , scanner(*this)
    {
    }

    TScanner &Scanner() { return scanner; }

    qint32 ScaleBegin() const override { return w.RadioScale->ScaleBegin(); }
    qint32 ScaleEnd() const override { return w.RadioScale->ScaleEnd(); }
    qint32 ScaleFrequency() const override { return w.RadioScale->Frequency(); }
    void SetScaleFrequency(qint32 frequency) override { w.RadioScale->SetFrequency(frequency); }
    void ScaleFreqChanged(qint32 frequency) override
    {
        w.RadioScaleFreqChanged(frequency);
        tunedAt_ = w.Radio->State().ReceiveReadings();
    }
    int CountMarkers(const QString &modeFilter, qint32 low, qint32 high) const override
    {
        return w.RadioScale->CountMarkers(modeFilter, low, high);
    }
    int JumpToMarker(bool forward, qint32 low, qint32 high) override
    {
        const int index = w.RadioScale->JumpToMarker(forward, low, high);
        tunedAt_ = w.Radio->State().ReceiveReadings();
        return index;
    }
    QString MarkerMode(int index) const override
    {
        const auto &markers = w.RadioScale->Markers;
        return index >= 0 && index < markers.size() ? markers.at(index)->Mode : QString();
    }
    void HideMarkerHint() override { w.RadioScale->HideHint(); }

    void SetSpectrographRange(qint32 begin, qint32 end) override { w.SetSpectrographRange(begin, end); }
    void ClearSpectrograph() override { w.SpectroGraph->Clear(); }
    void AddSpectrographValue(qint32 frequency, int percent) override { w.SpectroGraph->AddValue(frequency, percent); }
    void RestartSpectrograph() override { w.RestartSpectrograph(); }
    bool GraphKeyDown() const override { return w.GraphBtn->isChecked(); }
    void ClickGraphKey(bool down) override
    {
        w.GraphBtn->setChecked(down);
        w.GraphBtnClick();
    }
    bool SpectrographAutomatically() const override
    {
        return w.OptionsFrm->SpectrographAutomaticallyChk->isChecked();
    }

    int MeterReading() const override { return w.Radio->State().Meter(); }
    int SqlState() const override { return int(w.Radio->State().Receive()); }
    bool HeardSinceTuned() const override
    {
        return !w.Radio->IsConnected() || w.Radio->State().ReceiveReadings() > tunedAt_;
    }

    void SetScanKeyDown(bool down) override { w.ScanBtn->setChecked(down); }
    void StartScanTimer(int intervalMs) override { w.ScanTmr->start(intervalMs); }
    void StopScanTimer() override { w.ScanTmr->stop(); }
    bool ScanTimerActive() const override { return w.ScanTmr->isActive(); }
    void HoldTuning() override { hold_ = w.Radio->HoldTuning(); }
    void ReleaseTuning() override { hold_.reset(); }

    void ShowInformation(const QString &text) override { ::ShowInformation(&w, text); }
    void SetStatus(const QString &text, quint32 color, bool bold) override { w.SetStatus(text, color, bold); }

    // The panel's resizes. Only the pointer kept here is looked at first:
    // the panel still sends events while the window is being destroyed.
    void watchPanel(QFrame *panel)
    {
        watched_ = panel;
        panel->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && watched == watched_)
            w.SpectroGraphPnlResize();
        return QObject::eventFilter(watched, event);
    }

private:
    TTarnwickFrm &w;
    TScanner scanner;
    std::unique_ptr<TRadio::TuningHold> hold_;
    quint32 tunedAt_ = 0;
    QObject *watched_ = nullptr;
};

void TTarnwickFrm::SetupScan()
{
    SpectroGraph = new TSpectroGraph(SpectroGraphPnl);
    SpectroGraph->setObjectName(QStringLiteral("SpectroGraph"));
    SpectroGraph->setGeometry(1, 2, 785, 38);
    // The plot lies under the scale: same left edge, width and margins.
    SpectroGraph->SetRulerScale(RadioScale);
    SpectroGraph->SetScaleMarginsX(RadioScale->ScaleMarginsX());
    ScanPropertiesFrm = new TScanPropertiesFrm(this);
    scanHost = new MainScanHost(*this);
    Scanner = &scanHost->Scanner();

    scanHost->watchPanel(SpectroGraphPnl);
    SpectroGraphPnlResize();
    connect(this, &TTarnwickFrm::LitStateChanged, SpectroGraph, &TSpectroGraph::SetLit);
    // Bars stand under their frequencies only while both show one range.
    connect(RadioScale, &TRadioScale::OnRangeChanged, this, &TTarnwickFrm::SetSpectrographRange);
    connect(ScanBtn, &QToolButton::clicked, this, &TTarnwickFrm::ScanBtnClick);
    connect(GraphBtn, &QToolButton::clicked, this, &TTarnwickFrm::GraphBtnClick);
    connect(ScanTmr, &QTimer::timeout, this, &TTarnwickFrm::ScanTmrTimer);
    connect(UpdateSpectrographTmr, &QTimer::timeout, this, &TTarnwickFrm::UpdateSpectrographTmrTimer);
}

void TTarnwickFrm::SpectroGraphPnlResize()
{
    SpectroGraph->resize(qMax(0, SpectroGraphPnl->width() - 3), SpectroGraph->height());
    SpectroGraph->update();
}

// ---- scanner ------------------------------------------------------------------------

void TTarnwickFrm::ScanBtnClick()
{
    if (!ScanBtn->isChecked()) {
        StopScan();
        return;
    }
    qint32 low = 0;
    qint32 high = 0;
    const bool selected = RadioScale->GetSelection(low, high);
    ScanPropertiesFrm->ScaleBegin = RadioScale->ScaleBegin();
    ScanPropertiesFrm->ScaleEnd = RadioScale->ScaleEnd();
    ScanPropertiesFrm->SelectionLow = low;
    ScanPropertiesFrm->SelectionHigh = high;
    ScanPropertiesFrm->ScanSelectedRangeChk->setChecked(selected);
    ScanPropertiesFrm->FormShow(CurrentMode());
    const bool accepted = ScanPropertiesRunner ? ScanPropertiesRunner(*ScanPropertiesFrm)
                                               : ScanPropertiesFrm->exec() == QDialog::Accepted;
    if (accepted)
        StartScan();
    else
        ScanBtn->setChecked(false);
}

void TTarnwickFrm::StartScan()
{
    Scanner->StartScan(ScanPropertiesFrm->Settings());
}

void TTarnwickFrm::ScanTmrTimer()
{
    Scanner->ScanTmrTimer();
}

bool TTarnwickFrm::ScanRunning() const
{
    return ScanTmr->isActive();
}

bool TTarnwickFrm::RangeScanRunning() const
{
    return Scanner && Scanner->RangeScanRunning();
}

void TTarnwickFrm::StopScan()
{
    if (Scanner)
        Scanner->StopScan();
}

// ---- spectrograph -------------------------------------------------------------------

void TTarnwickFrm::GraphBtnClick()
{
    // A range scan feeds the plot itself; the key only decides whether its
    // readings are recorded.
    if (RangeScanRunning())
        return;
    if (GraphBtn->isChecked())
        UpdateSpectrographTmr->start();
    else
        UpdateSpectrographTmr->stop();
}

void TTarnwickFrm::UpdateSpectrographTmrTimer()
{
    if (UpdateSpectrographTmr->interval() == SpectrographStartInterval)
        UpdateSpectrographTmr->setInterval(SpectrographRunInterval);
    if (RangeScanRunning() || !GraphBtn->isChecked())
        return;
    const TRadioState &state = Radio->State();
    SpectroGraph->AddValue(0, state.Ptt() ? 0 : state.MeterMean());
}

void TTarnwickFrm::RestartSpectrograph()
{
    if (!OptionsFrm->RestartSpectrographChk->isChecked() || !UpdateSpectrographTmr->isActive())
        return;
    UpdateSpectrographTmr->stop();
    SpectroGraph->Clear();
    if (IsConnected()) {
        // A longer first interval lets the meter settle on the new frequency.
        UpdateSpectrographTmr->setInterval(SpectrographStartInterval);
        UpdateSpectrographTmr->start();
    }
}

void TTarnwickFrm::SetSpectrographRange(qint32 begin, qint32 end)
{
    SpectroGraph->SetRange(begin, end);
}

void TTarnwickFrm::StartSpectrograph()
{
    SpectroGraph->Clear();
    GraphBtn->setChecked(true);
    GraphBtnClick();
}

void TTarnwickFrm::StopSpectrograph()
{
    GraphBtn->setChecked(false);
    GraphBtnClick();
}
