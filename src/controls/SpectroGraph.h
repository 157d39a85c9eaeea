#pragma once

// The narrow plot of signal strength under the radio scale. Readings with a
// frequency build a frequency plot drawn across the same range and margins as
// the scale, each point keeping its last five readings as layers; readings
// without one (frequency 0) build a strip chart, one pixel column per reading,
// with a white cursor after the newest. A reading of the other kind clears
// the plot first. Each reading repaints only the strip it changes.

#include <QColor>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <array>
#include <vector>

class TRadioScale;

// One plotted point: Values[0] is the newest reading (percent of full
// scale), Values[4] the oldest.
struct TOneValue
{
    qint32 Frequency = 0; // 0 in time mode
    std::array<int, 5> Values{};

    void Push(int value);
};

class TSpectroGraph : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Frequency READ Frequency WRITE SetFrequency)
    Q_PROPERTY(bool Lit READ Lit WRITE SetLit)
    Q_PROPERTY(bool FreqMarkerVisible READ FreqMarkerVisible WRITE SetFreqMarkerVisible)
    Q_PROPERTY(int ScaleBegin READ ScaleBegin WRITE SetScaleBegin)
    Q_PROPERTY(int ScaleEnd READ ScaleEnd WRITE SetScaleEnd)
    Q_PROPERTY(int ScaleMarginsX READ ScaleMarginsX WRITE SetScaleMarginsX)

public:
    enum TPlotMode { PlotEmpty = 0, PlotTime = 1, PlotFrequency = 2 };

    explicit TSpectroGraph(QWidget *parent = nullptr);

    qint32 Frequency() const { return FFrequency; }
    void SetFrequency(qint32 value);
    bool Lit() const { return FLit; }
    void SetLit(bool value);
    bool FreqMarkerVisible() const { return FFreqMarkerVisible; }
    void SetFreqMarkerVisible(bool value);
    qint32 ScaleBegin() const { return FScaleBegin; }
    void SetScaleBegin(qint32 value) { FScaleBegin = value; }
    qint32 ScaleEnd() const { return FScaleEnd; }
    void SetScaleEnd(qint32 value) { FScaleEnd = value; }
    int ScaleMarginsX() const { return FScaleMarginsX; }
    void SetScaleMarginsX(int value) { FScaleMarginsX = value; }

    // A reading V (percent) at frequency F; F = 0 is a strip-chart reading.
    void AddValue(qint32 frequency, int value);
    void SetRange(qint32 begin, qint32 end);
    void Clear();

    int PlotMode() const { return FPlotMode; }
    const std::vector<TOneValue> &Points() const { return FPoints; }

    // The x of a frequency. Where the ruler scale shows the same range with
    // the same margins and width, a frequency inside the range takes the
    // scale's own position, so a point lies exactly under it; elsewhere
    // (off the range, or no scale) the same rule, not clamped.
    int FreqToX(qint64 frequency) const;
    void SetRulerScale(const TRadioScale *scale) { FRuler = scale; }

    static QColor LitBackground();
    static QColor UnlitBackground();
    static QColor LayerColor(int age); // 0 newest .. 4 oldest
    static QColor MarkerLineColor();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void PaintFrequencyPlot(class QPainter &p, const QRect &exposed) const;
    void PaintTimePlot(class QPainter &p, const QRect &exposed) const;
    QRect MarkerLineRect(qint32 frequency) const;
    QRect StripRect(int x0, int x1) const;

    qint32 FFrequency = 3550000;
    bool FLit = false;
    bool FFreqMarkerVisible = false;
    qint32 FScaleBegin = 3500000;
    qint32 FScaleEnd = 3800000;
    int FScaleMarginsX = 30;

    std::vector<TOneValue> FPoints;
    int FPlotMode = PlotEmpty;
    QPointer<const TRadioScale> FRuler;
};
