// What the CAT engine reads from and does to the main window: the serial
// dialog's and the preferences' controls, the keys, the meter, the digital
// display and the two timers of the link.

#include "app/Main.h"
#include "controls/RadioScale.h"
#include "app/Options.h"
#include "base/Settings.h"
#include "base/Widgets.h"
#include "cat/CatEngine.h"
#include "cat/ComSettings.h"
#include "cat/DebugWindow.h"
#include "controls/DigiScaleLabels.h"
#include "controls/DigiScaleText.h"
#include "controls/Depresz.h"
#include "controls/Digits2.h"
#include "controls/MeterReadings.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

bool TTarnwickFrm::CtrlKeyHeld() const
{
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

bool TTarnwickFrm::ShowDebugWndChecked() const
{
    return ComSettingsFrm->ShowDebugWndChk->isChecked();
}

bool TTarnwickFrm::SaveLogChecked() const
{
    return ComSettingsFrm->SaveLogChk->isChecked();
}

bool TTarnwickFrm::SimulateConnectionChecked() const
{
    return ComSettingsFrm->SimulateConnectionChk->isChecked();
}

TSerialSettings TTarnwickFrm::SerialSettings() const
{
    return ComSettingsFrm->SerialSettings();
}

TLogHeader TTarnwickFrm::LogHeader() const
{
    return ComSettingsFrm->LogHeader();
}

int TTarnwickFrm::TcvrTypeIndex() const
{
    return ComSettingsFrm->TcvrTypeIndex();
}

void TTarnwickFrm::ResetDebugWindow(bool visible)
{
    DebugFrm->Clear();
    DebugFrm->setVisible(visible);
}

int TTarnwickFrm::InitSynchronIndex() const
{
    return OptionsFrm->InitSynchronRdo->ItemIndex();
}

bool TTarnwickFrm::SpectrographAutomatically() const
{
    return OptionsFrm->SpectrographAutomaticallyChk->isChecked();
}

QString TTarnwickFrm::ReadEngineSetting(const QString &name) const
{
    return ReadSetting(name);
}

void TTarnwickFrm::WriteEngineSetting(const QString &name, const QString &value)
{
    writeWindowSetting(name, value);
}

qint32 TTarnwickFrm::ScaleFrequency() const
{
    return RadioScale ? RadioScale->Frequency() : LastFreq;
}

void TTarnwickFrm::AssignScaleFrequency(qint32 frequency)
{
    // The scale raises OnFreqAssigned, not OnFreqChanged: nothing goes back
    // to the radio.
    RadioScale->SetFrequency(frequency);
}

bool TTarnwickFrm::PttDown() const
{
    return PttBtn->isChecked();
}

void TTarnwickFrm::SetPttDown(bool down)
{
    PttBtn->setChecked(down);
}

void TTarnwickFrm::ShowSplitIndeterminate()
{
    SetSplitState(SplitBtn, SplitIndeterminate);
}

void TTarnwickFrm::EnableVfoKeys(bool enabled)
{
    ABBtn->setEnabled(enabled);
    AIsBBtn->setEnabled(enabled);
    SplitBtn->setEnabled(enabled);
}

int TTarnwickFrm::MeterValue() const
{
    return Depresz->Value();
}

void TTarnwickFrm::SetMeterValue(int percent)
{
    Depresz->SetValue(percent);
}

void TTarnwickFrm::ShowMeterReading(int percent)
{
    MeterReading = percent;
    Depresz->SetValue(percent);
    DepreszLbl->setText(meterPercentCaption(percent));
}

bool TTarnwickFrm::DigitalDisplayEditing() const
{
    return DigiScale->IsEditing();
}

void TTarnwickFrm::CancelDigitalDisplayEdit()
{
    DigiScale->CancelEdit();
}

void TTarnwickFrm::RefreshDigitalDisplay()
{
    UpdateDigiDisplay();
}

void TTarnwickFrm::EnableMainTimer(bool enabled)
{
    if (!enabled)
        MainTmr->stop();
    else if (!destroyed)
        MainTmr->start();
}

void TTarnwickFrm::StartWatchdog(int intervalMs)
{
    ConnectionWatchdogTmr->start(intervalMs);
}

void TTarnwickFrm::StopWatchdog()
{
    ConnectionWatchdogTmr->stop();
}

bool TTarnwickFrm::WatchdogEnabled() const
{
    return ConnectionWatchdogTmr->isActive();
}

void TTarnwickFrm::RestartWatchdog()
{
    ConnectionWatchdogTmr->start();
}

// A tune request names a marker by caption and frequency: every marker of the
// scale that matches is scrolled into view.
void TTarnwickFrm::EnsureMarkerVisible(const TFqMarker &marker)
{
    const QList<TFqMarker *> markers = RadioScale->Markers;
    for (TFqMarker *candidate : markers)
        if (candidate->Caption == marker.Caption && candidate->Frequency == marker.Frequency)
            RadioScale->EnsureMarkerVisible(candidate);
}

void TTarnwickFrm::RepaintScale()
{
    RadioScale->update();
}
