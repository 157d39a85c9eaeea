#pragma once

// A stand-in for the main window as the CAT engine sees it: every control is
// a plain field, every call is recorded, and the two timers are flags that
// the test (or a benchmark) drives itself.

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
    // serial dialog
    bool ctrlHeld = false;
    bool dialogAnswer = true;
    int dialogsShown = 0;
    bool showDebugWnd = false;
    bool saveLog = false;
    bool simulate = false;
    TSerialSettings serial;
    int debugWindowResets = 0;
    bool debugWindowVisible = false;
    // preferences
    int initSynchron = 0;
    bool spectrographAutomatically = false;
    // settings
    QMap<QString, QString> settings;
    // scale and keys
    qint32 scaleFrequency = 14250000;
    QList<qint32> assignedFrequencies;
    QString mode = QStringLiteral("USB");
    QStringList modePresses;
    bool ptt = false;
    int splitIndeterminateCalls = 0;
    bool vfoKeysEnabled = true;
    // meter
    int meter = 0;
    QString meterCaption = QStringLiteral("0%");
    int sqlState = 0;
    // digital display
    bool editing = false;
    int cancelledEdits = 0;
    int displayRefreshes = 0;
    // scanner and spectrograph
    int scanStops = 0;
    int spectrographStarts = 0;
    int spectrographStops = 0;
    // status and lit state; like the window, status texts also go to the log file
    QList<FakeStatus> statuses;
    TCatLog *statusLog = nullptr;
    int litUpdates = 0;
    // timers
    bool mainTimerEnabled = true;
    int mainTimerPauses = 0;
    bool watchdogEnabled = false;
    int watchdogInterval = 0;
    int watchdogRestarts = 0;

    QString lastStatus() const { return statuses.isEmpty() ? QString() : statuses.last().text; }

    bool CtrlKeyHeld() const override { return ctrlHeld; }
    bool RunComSettingsDialog() override
    {
        ++dialogsShown;
        return dialogAnswer;
    }
    bool ShowDebugWndChecked() const override { return showDebugWnd; }
    bool SaveLogChecked() const override { return saveLog; }
    bool SimulateConnectionChecked() const override { return simulate; }
    TSerialSettings SerialSettings() const override { return serial; }
    TLogHeader LogHeader() const override
    {
        TLogHeader header;
        header.SelectedPort = serial.Port;
        header.PortEntry = serial.Port;
        header.Speed = serial.SpeedText;
        return header;
    }
    int TcvrTypeIndex() const override { return serial.TcvrIndex; }
    void ResetDebugWindow(bool visible) override
    {
        ++debugWindowResets;
        debugWindowVisible = visible;
    }
    int InitSynchronIndex() const override { return initSynchron; }
    bool SpectrographAutomatically() const override { return spectrographAutomatically; }
    QString ReadEngineSetting(const QString &name) const override { return settings.value(name); }
    void WriteEngineSetting(const QString &name, const QString &value) override { settings[name] = value; }
    qint32 ScaleFrequency() const override { return scaleFrequency; }
    void AssignScaleFrequency(qint32 frequency) override
    {
        scaleFrequency = frequency;
        assignedFrequencies << frequency;
    }
    QString CurrentMode() const override { return mode; }
    void PressModeKey(const QString &name) override
    {
        static const QStringList known = {"LSB", "USB", "CW", "CW-R", "AM", "WFM", "FM", "DIG", "PKT", "FSK", "FSK-R"};
        if (!known.contains(name))
            return;
        mode = name;
        modePresses << name;
    }
    bool PttDown() const override { return ptt; }
    void SetPttDown(bool down) override { ptt = down; }
    void ShowSplitIndeterminate() override { ++splitIndeterminateCalls; }
    void EnableVfoKeys(bool enabled) override { vfoKeysEnabled = enabled; }
    int MeterValue() const override { return meter; }
    void SetMeterValue(int percent) override { meter = percent; }
    void ShowMeterReading(int percent) override
    {
        meter = percent;
        meterCaption = QString::number(percent) + u'%';
    }
    void SetSqlState(int state) override { sqlState = state; }
    bool DigitalDisplayEditing() const override { return editing; }
    void CancelDigitalDisplayEdit() override
    {
        ++cancelledEdits;
        editing = false;
    }
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
    void EnableMainTimer(bool enabled) override
    {
        if (!enabled)
            ++mainTimerPauses;
        mainTimerEnabled = enabled;
    }
    void StartWatchdog(int intervalMs) override
    {
        watchdogInterval = intervalMs;
        watchdogEnabled = true;
    }
    void StopWatchdog() override { watchdogEnabled = false; }
    bool WatchdogEnabled() const override { return watchdogEnabled; }
    void RestartWatchdog() override
    {
        ++watchdogRestarts;
        watchdogEnabled = true;
    }
};
