#pragma once

#include "cat/CatLog.h"
#include "cat/SerialLink.h"
#include "controls/ScaleTypes.h"

#include <QString>

// What the connection and polling engine needs from the main window: the
// serial dialog's and the preferences' controls, the scale frequency, the mode
// keys, the PTT and split keys, the meter and its indicator, the digital
// display, the two timers and the status line. The main window implements it;
// tests implement it with plain fields.
class TCatEngineHost
{
public:
    virtual ~TCatEngineHost() = default;

    // --- serial dialog (TComSettingsFrm), read at the moment of use
    virtual bool CtrlKeyHeld() const = 0;
    // Shows the dialog modally; true when it was left with "Connect >>>".
    virtual bool RunComSettingsDialog() = 0;
    virtual bool ShowDebugWndChecked() const = 0;
    virtual bool SaveLogChecked() const = 0;
    virtual bool SimulateConnectionChecked() const = 0;
    virtual TSerialSettings SerialSettings() const = 0;
    virtual TLogHeader LogHeader() const = 0;
    // Row of TcvrTypes selected in the dialog's type list.
    virtual int TcvrTypeIndex() const = 0;
    // Clears the debug window's list and shows it exactly when visible.
    virtual void ResetDebugWindow(bool visible) = 0;

    // --- preferences (TOptionsFrm)
    virtual int InitSynchronIndex() const = 0; // 0 "TCVR -> PC", 1 "PC -> TCVR"
    virtual bool SpectrographAutomatically() const = 0;

    // --- settings store
    virtual QString ReadEngineSetting(const QString &name) const = 0;
    virtual void WriteEngineSetting(const QString &name, const QString &value) = 0;

    // --- scale
    virtual qint32 ScaleFrequency() const = 0;
    // The radio's frequency: the scale moves without sending it back.
    virtual void AssignScaleFrequency(qint32 frequency) = 0;
    virtual void EnsureMarkerVisible(const TFqMarker &marker) { Q_UNUSED(marker); }
    virtual void RepaintScale() {}

    // --- mode keys: the caption of the key that is down ("" when none)
    virtual QString CurrentMode() const = 0;
    // Presses the key of a mode name without sending anything.
    virtual void PressModeKey(const QString &mode) = 0;

    // --- keys
    virtual bool PttDown() const = 0;
    virtual void SetPttDown(bool down) = 0;
    virtual void ShowSplitIndeterminate() = 0;
    virtual void EnableVfoKeys(bool enabled) = 0;

    // --- meter and receive indicator
    virtual int MeterValue() const = 0;
    virtual void SetMeterValue(int percent) = 0;      // Depresz only
    virtual void ShowMeterReading(int percent) = 0;   // Depresz and DepreszLbl
    virtual void SetSqlState(int state) = 0;          // 0 SQL, 1 RX, 2 TX

    // --- digital display
    virtual bool DigitalDisplayEditing() const = 0;
    virtual void CancelDigitalDisplayEdit() = 0;
    virtual void RefreshDigitalDisplay() = 0;

    // --- scanner and spectrograph (hooks until they exist)
    virtual void StopScan() {}
    virtual void StartSpectrograph() {}
    virtual void StopSpectrograph() {}

    // --- status line and lit state
    virtual void SetStatus(const QString &text, quint32 color, bool bold) = 0;
    virtual void UpdateLitState() = 0;

    // --- timers: MainTmr and ConnectionWatchdogTmr
    virtual void EnableMainTimer(bool enabled) = 0;
    virtual void StartWatchdog(int intervalMs) = 0;
    virtual void StopWatchdog() = 0;
    virtual bool WatchdogEnabled() const = 0;
    // Disabled and enabled again: the full interval starts anew.
    virtual void RestartWatchdog() = 0;
};
