#pragma once

// The SCAN key's automatic tuning: over a range in fixed steps, recording the
// signal strength of every step into the spectrograph, or from marker to
// marker. Each tick of the scan timer is one step; a scan can watch the
// squelch and pause or stop on a signal; it decides only on a reading of the
// radio taken after its last step reached the radio. Window-free: everything it touches
// goes through TScanHost.
//
// Both kinds hold the tuning lock while they run, so that the radio's
// frequency reports neither move the scale nor stop the scan; stopping gives
// it back exactly once.

#include "scan/ScanHost.h"
#include "scan/ScanSettings.h"

class TScanner
{
public:
    explicit TScanner(TScanHost &host);

    // Starts with the dialog's values; the SCAN key is down already.
    void StartScan(const TScanSettings &settings);
    // One step; the scan timer's tick.
    void ScanTmrTimer();
    // Ends a running scan; nothing when the timer is not running.
    void StopScan();

    bool ScanRunning() const { return host_.ScanTimerActive(); }
    bool RangeScanRunning() const { return ScanRunning() && settings_.Kind == ScanKindRange; }
    bool ScanPaused() const { return paused_; }
    const TScanSettings &Settings() const { return settings_; }

    static const QString TooFewMarkersMessage;
    static const QString NoMarkerLeftStatus;
    // How often a step looks again for the radio's reading of its frequency.
    static constexpr int ReadingWaitMs = 20;
    // "%1": the step in hertz.
    static const QString RangeTooNarrowMessage;

private:
    void rangeStep(int sql);
    void markerStep();
    // A jump that honours the mode filter: -1 when no marker of the mode is
    // left in the range.
    int jumpToFilteredMarker();

    TScanHost &host_;
    TScanSettings settings_;
    bool paused_ = false;
    bool holdsTuning_ = false;
    bool waitingForReading_ = false;
};
