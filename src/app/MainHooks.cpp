// The main window's ends of the CAT link: the window creates the serial
// dialog, the debug window, the log and the engine, and hands its timers'
// ticks to the engine. The band keys' end stays with the band plan.

#include "base/BgrColor.h"
#include "app/Main.h"
#include "cat/CatEngine.h"
#include "cat/CatLog.h"
#include "cat/ComSettings.h"
#include "cat/DebugWindow.h"
#include "controls/Depresz.h"
#include "controls/Digits2.h"

#include <QCheckBox>
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

    Depresz = new TDepresz(SMeterPnl);
    Depresz->setObjectName(QStringLiteral("Depresz"));
    Depresz->setGeometry(2, 2, 152, 76);
    Depresz->SetUnits(QStringLiteral("S/PWR"));


    connect(this, &TTarnwickFrm::LitStateChanged, Depresz, &TDepresz::SetLit);
    connect(ConnectionWatchdogTmr, &QTimer::timeout, this, &TTarnwickFrm::ConnectionWatchdogTmrTimer);
    connect(PttBtn, &QToolButton::clicked, this, &TTarnwickFrm::PttBtnClick);
    connect(ABBtn, &QToolButton::clicked, this, &TTarnwickFrm::ABBtnClick);
    connect(AIsBBtn, &QToolButton::clicked, this, &TTarnwickFrm::AIsBBtnClick);
    connect(SplitBtn, &QToolButton::clicked, this, &TTarnwickFrm::SplitBtnClick);
}

void TTarnwickFrm::SetCommandLineSerial(const SerialPresets &presets)
{
    CommandLineSerial = presets;
    ComSettingsFrm->PresetPortAndModel(presets.Port, presets.Model);
}

bool TTarnwickFrm::IsConnected() const
{
    return CatEngine && CatEngine->IsConnected();
}

const TTcvrType &TTarnwickFrm::GetTcvrType() const
{
    return CatEngine->GetTcvrType();
}

void TTarnwickFrm::Connect()
{
    CatEngine->Connect();
}

void TTarnwickFrm::Disconnect()
{
    CatEngine->Disconnect();
}

bool TTarnwickFrm::AdvancedSerialOptionsChecked() const
{
    return SimulateConnectionChecked() || SaveLogChecked() || ShowDebugWndChecked();
}

void TTarnwickFrm::LogEvent(const QString &text)
{
    CatLog->LogEvent(text);
}

void TTarnwickFrm::MainTmrTimer()
{
    PublishTcpState();
    CatEngine->MainTmrTimer();
}

void TTarnwickFrm::ConnectionWatchdogTmrTimer()
{
    CatEngine->ConnectionWatchdogTmrTimer();
}

void TTarnwickFrm::QueueCommand(std::unique_ptr<TTcvrCommand> command)
{
    CatEngine->QueueCommand(std::move(command));
}

void TTarnwickFrm::QueueReplacingCommand(std::unique_ptr<TTcvrCommand> command)
{
    CatEngine->QueueReplacingCommand(std::move(command));
}

