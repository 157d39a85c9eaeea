#pragma once

// A stand-in for the main window as the scanner sees it: a real scale (for
// its markers and jumps) and a real spectrograph, everything else plain
// fields that record what the scanner did. The scan timer is a flag; tests
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
    std::vector<std::unique_ptr<TFqMarker>> markers; // the store's part: owns them
    QList<qint32> tunes;       // ScaleFreqChanged
    QStringList infos;
    QStringList statuses;
    int tuningBusy = 0;
    bool timerOn = false;
    int interval = 0;
    bool scanKey = false;
    bool graphKey = false;
    int graphClicks = 0;
    bool autoGraph = false;
    int meter = 0;
    int sql = 0;
    int hintHides = 0;
    int restarts = 0;

    FakeScanHost()
    {
        scale.resize(786, 140);
        scale.SetRange(7000000, 7200000);
        graph.resize(786, 38);
        graph.SetLit(true);
    }

    void addMarker(qint32 frequency, const QString &mode, const QString &group = QString())
    {
        auto m = std::make_unique<TFqMarker>();
        m->Frequency = frequency;
        m->Caption = QStringLiteral("M%1").arg(frequency);
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
    int CountMarkers(const QString &modeFilter, qint32 low, qint32 high) const override
    {
        return scale.CountMarkers(modeFilter, low, high);
    }
    int JumpToMarker(bool forward, qint32 low, qint32 high) override { return scale.JumpToMarker(forward, low, high); }
    QString MarkerMode(int index) const override
    {
        return index >= 0 && index < scale.Markers.size() ? scale.Markers.at(index)->Mode : QString();
    }
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

    int MeterValue() const override { return meter; }
    int SqlState() const override { return sql; }

    void SetScanKeyDown(bool down) override { scanKey = down; }
    void StartScanTimer(int intervalMs) override
    {
        timerOn = true;
        interval = intervalMs;
    }
    void StopScanTimer() override { timerOn = false; }
    bool ScanTimerActive() const override { return timerOn; }
    void HoldTuning() override { ++tuningBusy; }
    void ReleaseTuning() override { --tuningBusy; }

    void ShowInformation(const QString &text) override { infos << text; }
    void SetStatus(const QString &text, quint32, bool) override { statuses << text; }
};

inline TScanSettings rangeScan(qint32 from, qint32 to, int step, int watch = WatchSquelchNone)
{
    TScanSettings s;
    s.Kind = ScanKindRange;
    s.RangeFrom = from;
    s.RangeTo = to;
    s.Step = step;
    s.Dwell = 500;
    s.WatchSquelch = watch;
    return s;
}

inline TScanSettings markerScan(qint32 from, qint32 to, const QString &modeFilter = QString(),
                                int watch = WatchSquelchNone)
{
    TScanSettings s;
    s.Kind = ScanKindMarkers;
    s.RangeFrom = from;
    s.RangeTo = to;
    s.Dwell = 2000;
    s.ModeFilter = modeFilter;
    s.WatchSquelch = watch;
    return s;
}
