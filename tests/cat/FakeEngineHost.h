#pragma once

// The main window as the CAT engine sees it: plain fields, recorded calls, and
// timers that the test (or a benchmark) drives itself.

#include "cat/CatEngineHost.h"
#include "cat/CatLog.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

struct FakeStatus
{
    QString text;
    quint32 colour = 0;
    bool bold = false;
};

class FakeEngineHost : public TCatEngineHost
{
public:
    bool ctrlHeld = false, dialogAnswer = true, showDebugWnd = false, saveLog = false, simulate = false;
    int dialogsShown = 0, debugWindowResets = 0, initSynchron = 0;
    bool debugWindowVisible = false, spectrographAutomatically = false;
    TSerialSettings serial;
    QMap<QString, QString> settings;
    qint32 scaleFrequency = 14250000;
    QList<qint32> assignedFrequencies;
    QString mode = QStringLiteral("USB");
    QStringList modePresses;
    bool ptt = false, vfoKeysEnabled = true, editing = false;
    int splitIndeterminateCalls = 0, meter = 0, sqlState = 0, cancelledEdits = 0, displayRefreshes = 0;
    QString meterCaption = QStringLiteral("0%");
    int scanStops = 0, spectrographStarts = 0, spectrographStops = 0;
    // like the window's, status texts also go to the log file
    QList<FakeStatus> statuses;
    TCatLog *statusLog = nullptr;
    int litUpdates = 0;
    bool mainTimerEnabled = true, watchdogEnabled = false;
    int mainTimerPauses = 0, watchdogInterval = 0, watchdogRestarts = 0;

    QString lastStatus() const { return statuses.isEmpty() ? QString() : statuses.last().text; }

    bool CtrlKeyHeld() const override { return ctrlHeld; }
    bool RunComSettingsDialog() override { return ++dialogsShown, dialogAnswer; }
    bool ShowDebugWndChecked() const override { return showDebugWnd; }
    bool SaveLogChecked() const override { return saveLog; }
    bool SimulateConnectionChecked() const override { return simulate; }
    TSerialSettings SerialSettings() const override { return serial; }
    TLogHeader LogHeader() const override { return TLogHeader{serial.Port, serial.Port, serial.SpeedText, {}, {}, {}}; }
    int TcvrTypeIndex() const override { return serial.TcvrIndex; }
    void ResetDebugWindow(bool visible) override { ++debugWindowResets, debugWindowVisible = visible; }
    int InitSynchronIndex() const override { return initSynchron; }
    bool SpectrographAutomatically() const override { return spectrographAutomatically; }
    QString ReadEngineSetting(const QString &name) const override { return settings.value(name); }
    void WriteEngineSetting(const QString &name, const QString &value) override { settings[name] = value; }
    qint32 ScaleFrequency() const override { return scaleFrequency; }
    void AssignScaleFrequency(qint32 frequency) override { scaleFrequency = frequency, assignedFrequencies << frequency; }
    QString CurrentMode() const override { return mode; }
    void PressModeKey(const QString &name) override
    {
        static const QStringList known = {"LSB", "USB", "CW", "CW-R", "AM", "WFM", "FM", "DIG", "PKT", "FSK", "FSK-R"};
        if (known.contains(name))
            mode = name, modePresses << name;
    }
    bool PttDown() const override { return ptt; }
    void SetPttDown(bool down) override { ptt = down; }
    void ShowSplitIndeterminate() override { ++splitIndeterminateCalls; }
    void EnableVfoKeys(bool enabled) override { vfoKeysEnabled = enabled; }
    int MeterValue() const override { return meter; }
    void SetMeterValue(int percent) override { meter = percent; }
    void ShowMeterReading(int percent) override { meter = percent, meterCaption = QString::number(percent) + u'%'; }
    void SetSqlState(int state) override { sqlState = state; }
    bool DigitalDisplayEditing() const override { return editing; }
    void CancelDigitalDisplayEdit() override { ++cancelledEdits, editing = false; }
    void RefreshDigitalDisplay() override { ++displayRefreshes; }
    void StopScan() override { ++scanStops; }
    void StartSpectrograph() override { ++spectrographStarts; }
    void StopSpectrograph() override { ++spectrographStops; }
    void SetStatus(const QString &text, quint32 colour, bool bold) override
    {
        statuses.append({text, colour, bold});
        if (statusLog)
            statusLog->WriteStatusLine(text);
    }
    void UpdateLitState() override { ++litUpdates; }
    void EnableMainTimer(bool enabled) override { mainTimerPauses += enabled ? 0 : 1, mainTimerEnabled = enabled; }
    void StartWatchdog(int intervalMs) override { watchdogInterval = intervalMs, watchdogEnabled = true; }
    void StopWatchdog() override { watchdogEnabled = false; }
    bool WatchdogEnabled() const override { return watchdogEnabled; }
    void RestartWatchdog() override { ++watchdogRestarts, watchdogEnabled = true; }
};
