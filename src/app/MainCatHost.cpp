// The main window's ends of the CAT link: what the engine reads from the
// window, the serial dialog before a connect, and the window's widgets
// following the engine's events and the radio state.

#include "app/Main.h"

#include "app/Options.h"
#include "base/BgrColor.h"
#include "base/Settings.h"
#include "base/Widgets.h"
#include "cat/CatEngine.h"
#include "cat/CatLog.h"
#include "cat/ComSettings.h"
#include "cat/DebugWindow.h"
#include "cat/HamlibModels.h"
#include "cat/Radio.h"
#include "controls/Depresz.h"
#include "controls/DigiScaleLabels.h"
#include "controls/Digits2.h"
#include "controls/MeterReadings.h"
#include "controls/RadioScale.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace {

std::function<bool(TComSettingsFrm &)> &comSettingsRunner()
{
    static std::function<bool(TComSettingsFrm &)> runner;
    return runner;
}

} // namespace

void TTarnwickFrm::SetComSettingsRunner(std::function<bool(TComSettingsFrm &)> runner)
{
    comSettingsRunner() = std::move(runner);
}

bool TTarnwickFrm::RunComSettingsDialog()
{
    if (comSettingsRunner())
        return comSettingsRunner()(*ComSettingsFrm);
    return ComSettingsFrm->exec() == QDialog::Accepted;
}

void TTarnwickFrm::createCatLink()
{
    ComSettingsFrm = new TComSettingsFrm(this);
    DebugFrm = std::make_unique<TDebugFrm>(*CatLog, this);
    CatEngine = std::make_unique<TCatEngine>(*this, *CatLog);
    Radio = std::make_unique<TRadio>(*CatEngine);
    MainTmr = CatEngine->MainTimer();
    ConnectionWatchdogTmr = CatEngine->WatchdogTimer();

    Depresz = new TDepresz(SMeterPnl);
    Depresz->setObjectName(QStringLiteral("Depresz"));
    Depresz->setGeometry(2, 2, 152, 76);
    Depresz->SetUnits(QStringLiteral("S/PWR"));

    // A meter that is off (a radio without an S-meter) stays dark.
    connect(this, &TTarnwickFrm::LitStateChanged, Depresz,
            [this](bool lit) { Depresz->SetLit(lit && Depresz->isEnabled()); });
    connect(PttBtn, &QToolButton::clicked, this, &TTarnwickFrm::PttBtnClick);
    connect(ABBtn, &QToolButton::clicked, this, &TTarnwickFrm::ABBtnClick);
    connect(AIsBBtn, &QToolButton::clicked, this, &TTarnwickFrm::AIsBBtnClick);
    connect(SplitBtn, &QToolButton::clicked, this, &TTarnwickFrm::SplitBtnClick);
    followEngine();
    const auto applyTransmitTimeout = [this] { CatEngine->SetTransmitTimeout(OptionsFrm->TransmitTimeoutMinutes()); };
    applyTransmitTimeout();
    connect(this, &TTarnwickFrm::PreferencesApplied, this, applyTransmitTimeout);
}

// The widgets show the radio state and the engine's events; nothing here
// decides anything about the radio.
void TTarnwickFrm::followEngine()
{
    TCatEngine *engine = CatEngine.get();
    TRadioState &state = engine->State();
    connect(engine, &TCatEngine::StatusReport, this, [this](const QString &text, quint32 colour, bool bold) {
        SetStatus(text, colour, bold);
    });
    connect(engine, &TCatEngine::SettingReport, this, &TTarnwickFrm::writeWindowSetting);
    connect(engine, &TCatEngine::LinkOpened, this, [this] {
        UpdateDigiDisplay();
        if (OptionsFrm->SpectrographAutomaticallyChk->isChecked())
            StartSpectrograph();
        ShowRadioAbilities(&GetTcvrType());
    });
    connect(engine, &TCatEngine::LinkClosed, this, [this] {
        DigiScale->CancelEdit();
        StopScan();
        StopSpectrograph();
        ShowRadioAbilities(nullptr);
    });
    connect(engine, &TCatEngine::ScaleFollows, this, &TTarnwickFrm::AssignScaleFrequency);
    connect(engine, &TCatEngine::ModeReported, this, &TTarnwickFrm::PressModeKey);
    connect(engine, &TCatEngine::DisplayRefresh, this, &TTarnwickFrm::UpdateDigiDisplay);
    connect(engine, &TCatEngine::ScanMustStop, this, &TTarnwickFrm::StopScan);
    connect(engine, &TCatEngine::EditMustEnd, this, [this] { DigiScale->CancelEdit(); });
    connect(engine, &TCatEngine::TuneRequestTaken, this, &TTarnwickFrm::ShowTuneRequest);

    connect(&state, &TRadioState::LinkChanged, this, [this] { UpdateLitState(); });
    connect(&state, &TRadioState::PttChanged, PttBtn, &QToolButton::setChecked);
    // While the transmitter is on, the PTT key's hint names who keyed it.
    const auto showPttHolder = [this, &state] {
        const TPttHolder &holder = state.PttHolder();
        PttBtn->setToolTip(state.Ptt() && holder.kind != TPttHolder::Nobody
                               ? QStringLiteral("PTT held by ") + holder.Description()
                               : QString());
    };
    connect(&state, &TRadioState::PttChanged, this, showPttHolder);
    connect(&state, &TRadioState::PttHolderChanged, this, showPttHolder);
    connect(&state, &TRadioState::SplitChanged, this, [this](TSplitState split) { SetSplitState(SplitBtn, split); });
    connect(&state, &TRadioState::ReceiveChanged, this, [this](TReceive receive) { SetSqlState(int(receive)); });
    connect(&state, &TRadioState::MeterRead, this, [this](int percent) {
        Depresz->SetValue(percent);
        DepreszLbl->setText(meterPercentCaption(percent));
    });
}

TLinkSettings TTarnwickFrm::LinkSettings() const
{
    TLinkSettings settings;
    settings.Serial = ComSettingsFrm->SerialSettings();
    // The simulated transceiver is one of the built-in models: a radio
    // through Hamlib is always the real one (Hamlib's dummy stands in for it).
    settings.Simulate = SimulateConnectionChecked() && settings.Serial.HamlibModel == 0;
    settings.SaveLog = ComSettingsFrm->SaveLogChk->isChecked();
    settings.LogHeader = ComSettingsFrm->LogHeader();
    settings.SyncToRadio = OptionsFrm->InitSynchronRdo->ItemIndex() == 1;
    return settings;
}

void TTarnwickFrm::Connect()
{
    const bool succeededBefore = ReadSetting(QStringLiteral("ConnectSuccess")).toInt() != 0;
    const bool ctrlHeld = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
    if (ctrlHeld || !succeededBefore || AdvancedSerialOptionsChecked()) {
        if (!RunComSettingsDialog()) {
            SetStatus(TCatEngine::OfflineStatus);
            return;
        }
    }
    DebugFrm->Clear();
    DebugFrm->setVisible(ComSettingsFrm->ShowDebugWndChk->isChecked());
    CatEngine->Connect(LinkSettings());
}

void TTarnwickFrm::Disconnect()
{
    CatEngine->Disconnect();
}

bool TTarnwickFrm::IsConnected() const
{
    return CatEngine && CatEngine->IsConnected();
}

const TTcvrType &TTarnwickFrm::GetTcvrType() const
{
    return CatEngine->GetTcvrType();
}

bool TTarnwickFrm::SimulateConnectionChecked() const
{
    return ComSettingsFrm->SimulateConnectionChk->isChecked();
}

bool TTarnwickFrm::AdvancedSerialOptionsChecked() const
{
    return SimulateConnectionChecked() || ComSettingsFrm->SaveLogChk->isChecked()
           || ComSettingsFrm->ShowDebugWndChk->isChecked();
}

int TTarnwickFrm::SelectedTcvrIndex() const
{
    return ComSettingsFrm->TcvrTypeIndex();
}

bool TTarnwickFrm::DigitalDisplayEditing() const
{
    return DigiScale->IsEditing();
}

qint32 TTarnwickFrm::ScaleFrequency() const
{
    return RadioScale ? RadioScale->Frequency() : LastFreq;
}

void TTarnwickFrm::AssignScaleFrequency(qint32 frequency)
{
    // A hand-edited marker or a companion's request may name a frequency no
    // radio has: the scale stays where it is.
    if (frequency < 0 || frequency > TCatEngine::HighestRadioHz)
        return;
    // The scale raises OnFreqAssigned, not OnFreqChanged: nothing goes back
    // to the radio.
    RadioScale->SetFrequency(frequency);
}

void TTarnwickFrm::ShowRadioAbilities(const TTcvrType *type)
{
    const auto offering = [](QWidget *widget, bool on, const QString &why) {
        widget->setEnabled(on);
        widget->setToolTip(on ? QString() : why);
    };
    for (QToolButton *key : std::as_const(ModeButtons))
        offering(key, !type || !type->ModesOff.contains(key->text()),
                 TCatEngine::MissingModeText(key->text()));
    offering(ABBtn, !type || type->HasVfoKeys, QStringLiteral("The radio has no VFO A/B."));
    offering(AIsBBtn, !type || type->HasVfoKeys, QStringLiteral("The radio has no VFO A/B."));
    offering(SplitBtn, !type || type->HasSplit, QStringLiteral("The radio has no split."));
    offering(Depresz, !type || type->HasMeter, QStringLiteral("The radio reports no S-meter."));
    Depresz->SetLit(IsConnected() && Depresz->isEnabled());
}

// A companion program's tune request: the scale and the mode keys go there,
// and every scale marker the request names (caption and frequency) comes into view.
void TTarnwickFrm::ShowTuneRequest(const TTuneRequest &request)
{
    PressModeKey(request.Mode);
    AssignScaleFrequency(request.Frequency);
    const QList<TFqMarker *> markers = RadioScale->Markers;
    for (TFqMarker *candidate : markers)
        if (candidate->Caption == request.Caption && candidate->Frequency == request.Frequency)
            RadioScale->EnsureMarkerVisible(candidate);
    RadioScale->update();
}

void TTarnwickFrm::LogEvent(const QString &text)
{
    CatLog->LogEvent(text);
}

void TTarnwickFrm::MainTmrTimer()
{
    CatEngine->MainTmrTimer();
}

void TTarnwickFrm::ConnectionWatchdogTmrTimer()
{
    CatEngine->ConnectionWatchdogTmrTimer();
}

void TTarnwickFrm::SetCommandLineSerial(const SerialPresets &presets)
{
    CommandLineSerial = presets;
    ComSettingsFrm->PresetPortAndModel(presets.Port, presets.Model);
    if (const int model = FindHamlibModel(presets.Hamlib))
        ComSettingsFrm->PresetHamlib(model);
    if (!presets.Rigctl.isEmpty())
        ComSettingsFrm->PresetRigctl(presets.Rigctl);
}
