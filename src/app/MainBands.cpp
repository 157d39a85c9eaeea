// The main window's side of the band plan and the mode segments: the two
// dialogs, the band keys, and the window's services that the band keys use
// (the scale, the mode keys, the radio and the spectrograph).

#include "app/Main.h"

#include "app/Options.h"
#include "base/Widgets.h"
#include "controls/RadioScale.h"
#include "controls/SpectroGraph.h"
#include "data/BandKeys.h"
#include "data/BandsDialog.h"
#include "data/ModesDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QToolButton>

// What the band keys need from the main window.
class MainBandKeysHost : public QObject, public TBandKeysHost
{
public:
    explicit MainBandKeysHost(TTarnwickFrm &window)
        : QObject(&window)
        , w(window)
    {
    }

    void ClearBands() override { w.RadioScale->ClearBands(); }
    void AddBand(qint32 Low, qint32 High, const QString &Name, const QString &LastMode, qint32 LastFrequency) override
    {
        w.RadioScale->AddBand(Low, High, Name, LastMode, LastFrequency);
    }
    int FindBand(qint32 F) const override { return w.RadioScale->FindBand(F); }
    TBand *Band(int Index) override
    {
        if (Index < 0 || size_t(Index) >= w.RadioScale->Bands.size())
            return nullptr;
        return &w.RadioScale->Bands[size_t(Index)];
    }
    void SelectBand(int Index) override { w.RadioScale->SelectBand(Index); }
    void SetRange(qint32 Begin, qint32 End) override { w.RadioScale->SetRange(Begin, End); }
    qint32 ScaleBegin() const override { return w.RadioScale->ScaleBegin(); }
    qint32 ScaleEnd() const override { return w.RadioScale->ScaleEnd(); }
    qint32 Frequency() const override { return w.RadioScale->Frequency(); }
    void SetFrequency(qint32 F) override { w.RadioScale->SetFrequency(F); }
    void ClearModes() override { w.RadioScale->ClearModes(); }
    void AddMode(qint32 Low, qint32 High, const QString &Mode, quint32 Color, const QString &Caption) override
    {
        w.RadioScale->AddMode(Low, High, Mode, Color, Caption);
    }
    void RepaintScale() override { w.RadioScale->update(); }

    QString PressedMode() const override { return w.CurrentMode(); }
    void PressModeButton(const QString &Mode) override { w.PressModeKey(Mode); }

    void StopScan() override { w.StopScan(); }
    bool IsConnected() const override { return w.IsConnected(); }
    void QueueModeCommand(const QString &Mode) override { w.QueueBandModeCommand(Mode); }
    void QueueFrequencyCommand(qint32 Frequency) override { w.QueueBandFrequencyCommand(Frequency); }
    bool RestartSpectrographChecked() const override { return w.OptionsFrm->RestartSpectrographChk->isChecked(); }
    void RestartSpectrograph() override { w.RestartSpectrograph(); }
    bool SpectrographInFrequencyMode() const override
    {
        return w.SpectroGraph->PlotMode() == TSpectroGraph::PlotFrequency;
    }
    void SetSpectrographRange(qint32 Begin, qint32 End) override { w.SetSpectrographRange(Begin, End); }
    void UpdateDigitalDisplay() override { w.UpdateDigiDisplay(); }

private:
    TTarnwickFrm &w;
};

void TTarnwickFrm::SetupBands()
{
    BandsFrm = new TBandsFrm(this);
    BandsFrm->setObjectName(QStringLiteral("BandsFrm"));
    BandsFrm->FormCreate();
    ModesFrm = new TModesFrm(this);
    ModesFrm->setObjectName(QStringLiteral("ModesFrm"));
    ModesFrm->FormCreate();

    bandKeysHost = new MainBandKeysHost(*this);
    QList<QAbstractButton *> keys;
    for (QToolButton *key : std::as_const(BandButtons))
        keys << key;
    BandKeys = new TBandKeys(BandsFrm->Plan(), ModesFrm->Segments(), *bandKeysHost, keys, AllBandsPpp, this);
    BandKeys->SetBandsDialog([this] { return BandsFrm->exec() == QDialog::Accepted; });
    BandKeys->SetModesDialog([this] { return ModesFrm->exec() == QDialog::Accepted; });
    // The band keys rebuild the popup with a "Define Bands..." item of their own.
    DefineBandsMnu = BandKeys->DefineBandsMnu();

    BandsMnu->setEnabled(true);
    ModesMnu->setEnabled(true);
    connect(BandsMnu, &QAction::triggered, this, &TTarnwickFrm::BandsMnuClick);
    connect(ModesMnu, &QAction::triggered, this, &TTarnwickFrm::ModesMnuClick);
}

void TTarnwickFrm::ApplyBandPlan()
{
    BandKeys->ApplyBandPlan();
}

void TTarnwickFrm::ApplyModeSegments()
{
    BandKeys->ApplyModeSegments();
    RadioScale->update();
}

void TTarnwickFrm::BandChanged(QObject *sender)
{
    BandKeys->BandChanged(sender);
}

void TTarnwickFrm::BandsMnuClick()
{
    BandKeys->BandsMnuClick();
}

void TTarnwickFrm::ModesMnuClick()
{
    BandKeys->ModesMnuClick();
}

void TTarnwickFrm::AllBandsPppPopup()
{
    BandKeys->AllBandsPppPopup();
}

void TTarnwickFrm::PressModeKey(const QString &mode)
{
    // A mode the radio lacks stays up: the radio is not switched to it.
    if (mode.isEmpty() || (IsConnected() && GetTcvrType().ModesOff.contains(mode)))
        return;
    for (QToolButton *key : std::as_const(ModeButtons)) {
        if (key->text() == mode) {
            ModeGroup->SetDown(key);
            return;
        }
    }
}
