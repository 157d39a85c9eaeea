#pragma once

// A stand-in for the main window as the scanner sees it: a real scale (for
// its markers and jumps) and a real spectrograph; everything else is a plain
// field that records what the scanner did. The scan timer is a flag: tests
// call the scanner's tick themselves.

#include "controls/RadioScale.h"
#include "controls/SpectroGraph.h"
#include "scan/ScanHost.h"
#include "scan/Scanner.h"

#include <QStringList>

#include <memory>
#include <vector>

class FakeScanHost : public TScanHost
{
public:
    TRadioScale scale;
    TSpectroGraph graph;
    std::vector<std::unique_ptr<TFqMarker>> markers; // the marker store's part: owns them
    QList<qint32> tunes;                             // ScaleFreqChanged
    QStringList infos, statuses;
    int tuningBusy = 0, interval = 0, graphClicks = 0, meter = 0, sql = 0, hintHides = 0, restarts = 0;
    bool timerOn = false, scanKey = false, graphKey = false, autoGraph = false, heard = true;

    FakeScanHost()
    {
        scale.resize(786, 140);
        scale.SetRange(7000000, 7200000);
        graph.resize(786, 38);
    }
    void addMarker(qint32 frequency, const QString &mode, const QString &group = QString())
    {
        auto m = std::make_unique<TFqMarker>();
        m->Frequency = frequency;
        m->Mode = mode;
        m->Attributes = group;
        scale.AddMarker(m.get(), true);
        markers.push_back(std::move(m));
        scale.grab(); // lays the flags out: only laid-out markers count
    }

    qint32 ScaleBegin() const override { return scale.ScaleBegin(); }
    qint32 ScaleEnd() const override { return scale.ScaleEnd(); }
    qint32 ScaleFrequency() const override { return scale.Frequency(); }
    void SetScaleFrequency(qint32 frequency) override { scale.SetFrequency(frequency); }
    void ScaleFreqChanged(qint32 frequency) override { tunes << frequency; }
    int CountMarkers(const QString &filter, qint32 low, qint32 high) const override
    {
        return scale.CountMarkers(filter, low, high);
    }
    int JumpToMarker(bool forward, qint32 low, qint32 high) override { return scale.JumpToMarker(forward, low, high); }
    QString MarkerMode(int index) const override { return scale.Markers.items().value(index) ? scale.Markers.at(index)->Mode : QString(); }
    void HideMarkerHint() override { ++hintHides; }
    void SetSpectrographRange(qint32 begin, qint32 end) override { graph.SetRange(begin, end); }
    void ClearSpectrograph() override { graph.Clear(); }
    void AddSpectrographValue(qint32 frequency, int percent) override { graph.AddValue(frequency, percent); }
    void RestartSpectrograph() override { ++restarts; }
    bool GraphKeyDown() const override { return graphKey; }
    void ClickGraphKey(bool down) override
    {
        graphKey = down;
        ++graphClicks;
    }
    bool SpectrographAutomatically() const override { return autoGraph; }
    int MeterReading() const override { return meter; }
    int SqlState() const override { return sql; }
    bool HeardSinceTuned() const override { return heard; }
    void SetScanKeyDown(bool down) override { scanKey = down; }
    void StartScanTimer(int ms) override
    {
        timerOn = true;
        interval = ms;
    }
    void StopScanTimer() override { timerOn = false; }
    bool ScanTimerActive() const override { return timerOn; }
    void HoldTuning() override { ++tuningBusy; }
    void ReleaseTuning() override { --tuningBusy; } // below 0 shows a double release
    void ShowInformation(const QString &text) override { infos << text; }
    void SetStatus(const QString &text, quint32, bool) override { statuses << text; }
};

inline TScanSettings scanOf(int kind, qint32 from, qint32 to, int watch = WatchSquelchNone,
                            const QString &modeFilter = QString())
{
    TScanSettings s;
    s.Kind = kind;
    s.RangeFrom = from;
    s.RangeTo = to;
    s.Step = 100;
    s.Dwell = kind == ScanKindRange ? 500 : 2000;
    s.WatchSquelch = watch;
    s.ModeFilter = modeFilter;
    return s;
}
