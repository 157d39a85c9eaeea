#pragma once

// What the scanner needs from the main window: the scale and its markers,
// the spectrograph and its GRAPH key, the meter and the receive indicator,
// the SCAN key, the scan timer, the tuning lock that keeps the radio's
// frequency reports off the scale, and the two ways of telling the operator.
// The main window implements it; tests implement it with plain fields.

#include <QString>
#include <QtGlobal>

class TScanHost
{
public:
    virtual ~TScanHost() = default;

    // --- scale
    virtual qint32 ScaleBegin() const = 0;
    virtual qint32 ScaleEnd() const = 0;
    virtual qint32 ScaleFrequency() const = 0;
    // Moves the scale (without telling the radio).
    virtual void SetScaleFrequency(qint32 frequency) = 0;
    // As a drag step: the radio is told the frequency, the display updated.
    virtual void ScaleFreqChanged(qint32 frequency) = 0;
    // Visible markers in low..high, of modeFilter's mode when it is not empty.
    virtual int CountMarkers(const QString &modeFilter, qint32 low, qint32 high) const = 0;
    // Tunes the scale to the next (or previous) visible marker in low..high,
    // wrapping round, and applies it to the radio. Its index, -1 for none.
    virtual int JumpToMarker(bool forward, qint32 low, qint32 high) = 0;
    // The mode of the marker at that index ("" when there is none).
    virtual QString MarkerMode(int index) const = 0;
    virtual void HideMarkerHint() = 0;

    // --- spectrograph and the GRAPH key
    virtual void SetSpectrographRange(qint32 begin, qint32 end) = 0;
    virtual void ClearSpectrograph() = 0;
    virtual void AddSpectrographValue(qint32 frequency, int percent) = 0;
    virtual void RestartSpectrograph() = 0;
    virtual bool GraphKeyDown() const = 0;
    // Puts the GRAPH key down or up and runs its click handler.
    virtual void ClickGraphKey(bool down) = 0;
    // The preference "Start Spectrograph automatically".
    virtual bool SpectrographAutomatically() const = 0;

    // --- the radio's receiver
    // The meter's last reading in per cent, and the squelch: 0 "SQL", 1 "RX", 2 "TX".
    virtual int MeterReading() const = 0;
    virtual int SqlState() const = 0;
    // Whether the receiver was read after the last tuning reached the radio
    // (always true off-line: there is nothing to wait for).
    virtual bool HeardSinceTuned() const = 0;

    // --- SCAN key, scan timer, tuning lock
    virtual void SetScanKeyDown(bool down) = 0;
    virtual void StartScanTimer(int intervalMs) = 0;
    virtual void StopScanTimer() = 0;
    virtual bool ScanTimerActive() const = 0;
    virtual void HoldTuning() = 0;        // TuningBusy += 1
    virtual void ReleaseTuning() = 0;     // TuningBusy -= 1

    // --- the operator
    virtual void ShowInformation(const QString &text) = 0;
    virtual void SetStatus(const QString &text, quint32 color, bool bold) = 0;
};
