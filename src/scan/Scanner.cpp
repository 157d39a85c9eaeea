#include "scan/Scanner.h"

#include <QSet>

const QString TScanner::TooFewMarkersMessage = QStringLiteral(
    "There must be at least two frequency markers available on the scale\nor in the selected range.\n\n"
    "To add a new frequency marker right-click the slider and select \n\"Add Freq Marker\".");

const QString TScanner::NoMarkerLeftStatus =
    QStringLiteral("Scan stopped: no frequency marker to scan is left in the range.");

const QString TScanner::RangeTooNarrowMessage = QStringLiteral(
    "The range to scan is not wider than the frequency step (%1 Hz).\n\nSelect a wider range or a smaller step.");

TScanner::TScanner(TScanHost &host)
    : host_(host)
{
}

void TScanner::StartScan(const TScanSettings &settings)
{
    settings_ = settings;
    paused_ = false;
    waitingForReading_ = false;
    if (settings_.Kind == ScanKindRange) {
        // A range without a second step would tune one frequency for ever.
        if (qint64(settings_.RangeTo) - settings_.RangeFrom <= settings_.Step) {
            host_.ShowInformation(RangeTooNarrowMessage.arg(settings_.Step));
            host_.SetScanKeyDown(false);
            return;
        }
        host_.SetSpectrographRange(host_.ScaleBegin(), host_.ScaleEnd());
        host_.SetScaleFrequency(settings_.RangeFrom);
        host_.ScaleFreqChanged(host_.ScaleFrequency());
        host_.ClearSpectrograph();
    } else if (settings_.Kind == ScanKindMarkers) {
        if (host_.CountMarkers(settings_.ModeFilter, settings_.RangeFrom, settings_.RangeTo) < 2) {
            host_.ShowInformation(TooFewMarkersMessage);
            host_.SetScanKeyDown(false);
            return;
        }
        host_.SetScaleFrequency(settings_.RangeFrom);
        // A key left down without a running timer: the next click releases it.
        if (jumpToFilteredMarker() < 0)
            return;
    } else {
        host_.SetScanKeyDown(false);
        return;
    }
    host_.StartScanTimer(settings_.Dwell);
    if (!holdsTuning_) {
        holdsTuning_ = true;
        host_.HoldTuning();
    }
    host_.SetScanKeyDown(true);
    if (host_.SpectrographAutomatically())
        host_.ClickGraphKey(true);
}

void TScanner::StopScan()
{
    if (!host_.ScanTimerActive())
        return;
    host_.StopScanTimer();
    host_.SetScanKeyDown(false);
    paused_ = false;
    if (holdsTuning_) {
        holdsTuning_ = false;
        host_.ReleaseTuning();
    }
    if (settings_.Kind == ScanKindRange) {
        host_.ClickGraphKey(false);
    } else if (settings_.Kind == ScanKindMarkers) {
        host_.HideMarkerHint();
        host_.RestartSpectrograph();
    }
}

void TScanner::ScanTmrTimer()
{
    if (!ScanRunning())
        return;
    // The squelch and the meter must be the new frequency's: until the radio
    // was read there, the decision waits a moment (then the dwell starts
    // again from the next step).
    if (!host_.HeardSinceTuned()) {
        if (!waitingForReading_)
            host_.StartScanTimer(ReadingWaitMs);
        waitingForReading_ = true;
        return;
    }
    if (waitingForReading_) {
        waitingForReading_ = false;
        host_.StartScanTimer(settings_.Dwell);
    }
    const int sql = host_.SqlState();
    if (sql == 1 && settings_.WatchSquelch == WatchSquelchStop) {
        StopScan();
        return;
    }
    // A pause lasts this tick and the one that set it.
    if (paused_) {
        paused_ = false;
        return;
    }
    if (settings_.Kind == ScanKindRange) {
        rangeStep(sql);
    } else if (settings_.Kind == ScanKindMarkers) {
        if (sql != 0 && settings_.WatchSquelch == WatchSquelchPause)
            paused_ = true;
        else
            markerStep();
    }
}

// The reading belongs to the frequency the scan has dwelt on; then on to the
// next step, or round to the start when the next would reach RangeTo.
void TScanner::rangeStep(int sql)
{
    qint32 frequency = host_.ScaleFrequency();
    host_.AddSpectrographValue(frequency, host_.GraphKeyDown() ? host_.MeterReading() : 0);
    if (sql != 0 && settings_.WatchSquelch == WatchSquelchPause) {
        paused_ = true;
    } else {
        if (qint64(settings_.RangeTo) - settings_.Step <= frequency)
            frequency = settings_.RangeFrom;
        else
            frequency = qint32(qint64(frequency) + settings_.Step);
        host_.SetScaleFrequency(frequency);
    }
    // Also while paused: the radio hears the frequency again.
    host_.ScaleFreqChanged(host_.ScaleFrequency());
}

void TScanner::markerStep()
{
    bool found = host_.CountMarkers(settings_.ModeFilter, settings_.RangeFrom, settings_.RangeTo) > 0
        && jumpToFilteredMarker() >= 0;
    if (found && ScanRunning() && settings_.RangeTo < host_.ScaleFrequency()) {
        host_.SetScaleFrequency(settings_.RangeFrom);
        found = jumpToFilteredMarker() >= 0;
    }
    if (!found && ScanRunning()) {
        StopScan();
        host_.SetStatus(NoMarkerLeftStatus, 0, false);
    }
}

int TScanner::jumpToFilteredMarker()
{
    // The jumps go round the visible markers of the range; coming back to a
    // marker already reached means none of them has the mode.
    QSet<int> reached;
    for (;;) {
        const int index = host_.JumpToMarker(true, settings_.RangeFrom, settings_.RangeTo);
        if (index < 0 || reached.contains(index))
            return -1;
        if (settings_.ModeFilter.isEmpty() || host_.MarkerMode(index) == settings_.ModeFilter)
            return index;
        reached.insert(index);
    }
}
