// What one step of a range scan costs (the scanner's step with the scale
// moving and the plot taking the reading, then both repainted), and what one
// spectrograph reading repaints: only its strip, against the whole plot.
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_scan_step [steps]

#include "scan/ScanTestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QTextStream>

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

class CountingPlot : public TSpectroGraph
{
public:
    qint64 paintedPixels = 0;
    qint64 paints = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        for (const QRect &r : event->region())
            paintedPixels += qint64(r.width()) * r.height();
        ++paints;
        TSpectroGraph::paintEvent(event);
    }
};

double scanSteps(int steps, bool repaint)
{
    FakeScanHost h;
    h.graphKey = true;
    h.graph.SetLit(true);
    h.scale.show();
    h.graph.show();
    settle();
    TScanner scanner(h);
    // The 40 m band in 100 Hz steps: 2000 points a sweep.
    scanner.StartScan(scanOf(ScanKindRange, 7000000, 7200000));
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < steps; ++i) {
        h.meter = (i * 37) % 100;
        scanner.ScanTmrTimer();
        if (repaint)
            settle();
    }
    return t.nsecsElapsed() / 1000.0 / steps;
}

struct Repaint
{
    double us;
    double pixels;
};

Repaint readings(CountingPlot &g, int count, bool whole)
{
    settle();
    g.paintedPixels = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < count; ++i) {
        g.AddValue(7000000 + 100 * (1 + (i * 7919) % 1999), (i * 37) % 100);
        if (whole)
            g.update();
        settle();
    }
    return {t.nsecsElapsed() / 1000.0 / count, double(g.paintedPixels) / count};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int steps = argc > 1 ? QString(argv[1]).toInt() : 4000;
    QTextStream out(stdout);

    scanSteps(200, true); // warm up
    out << QStringLiteral("range scan step, 786 px scale and plot, 2000 points a sweep:\n");
    out << QStringLiteral("  step alone:          %1 us\n").arg(scanSteps(steps, false), 0, 'f', 1);
    out << QStringLiteral("  step and repaint:    %1 us\n").arg(scanSteps(steps, true), 0, 'f', 1);

    CountingPlot g;
    g.resize(785, 38);
    g.SetRange(7000000, 7200000);
    g.SetLit(true);
    for (qint32 f = 7000000; f < 7200000; f += 100)
        g.AddValue(f, 50);
    g.show();
    readings(g, 200, false); // warm up
    const Repaint strip = readings(g, steps, false);
    const Repaint whole = readings(g, steps, true);
    out << QStringLiteral("one AddValue on a full 785 x 38 plot (2000 points):\n");
    out << QStringLiteral("  strip only:  %1 us, %2 px painted\n").arg(strip.us, 0, 'f', 1).arg(strip.pixels, 0, 'f', 0);
    out << QStringLiteral("  whole plot:  %1 us, %2 px painted\n").arg(whole.us, 0, 'f', 1).arg(whole.pixels, 0, 'f', 0);
    return 0;
}
