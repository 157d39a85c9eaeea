// Paint cost of the radio scale: a full repaint (the picture drawn afresh)
// and a slider move with 0 to 5000 markers in view, rendered into a QImage,
// and the rectangles a slider move invalidates; then the paint of a band name
// without blanks that must be shortened to fit.
// Usage: bench_scale_paint [--png FILE]

#include "controls/RadioScale.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QRegion>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct Result
{
    double fullMs = 0;
    double moveMs = 0;
    int rectsPerMove = 0;
    bool onlyStrips = true;
};

Result measure(int markerCount, int width, int iterations, const QString &png)
{
    TRadioScale scale;
    scale.resize(width, 100);
    scale.SetScaleBegin(3500000);
    scale.SetScaleEnd(3800000);
    scale.AddBand(3500000, 3800000, "80 m", "LSB", 3550000);
    scale.AddMode(3500000, 3570000, "CW", 0x00FFFF, "");
    scale.AddMode(3570000, 3600000, "DIG", 0xFFFF00, "");
    scale.AddMode(3600000, 3800000, "LSB", 0x00FF00, "");
    std::vector<std::unique_ptr<TFqMarker>> store;
    for (int i = 0; i < markerCount; ++i) {
        auto m = std::make_unique<TFqMarker>();
        m->Frequency = 3500000 + int(qint64(300000) * i / qMax(1, markerCount));
        m->Caption = QString("M%1").arg(i);
        scale.AddMarker(m.get(), false);
        store.push_back(std::move(m));
    }
    scale.Rescale();
    scale.SetSliderVisible(true);
    scale.SetPaintDigits(true);

    QImage img(scale.size(), QImage::Format_RGB32);
    scale.render(&img);
    if (!png.isEmpty())
        img.save(png);

    // A full repaint: the owner's update() says the whole picture changed.
    Result r;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < iterations; ++i) {
        scale.update();
        scale.render(&img);
    }
    r.fullMs = double(t.nsecsElapsed()) / 1e6 / iterations;

    // A slider move: what SetFrequency invalidates, then a paint of just that.
    scale.SetPaintDigits(false);
    scale.render(&img);
    QRegion region;
    int rects = 0;
    scale.SetInvalidationObserver([&](const QRect &rect) {
        region += rect;
        ++rects;
        r.onlyStrips = r.onlyStrips && rect.width() == 21 && rect.height() == scale.height() - 4;
    });
    const int moves = iterations * 20;
    qint32 f = 3550000;
    t.restart();
    for (int i = 0; i < moves; ++i) {
        region = QRegion();
        rects = 0;
        f += (i % 2 == 0) ? 1000 : -1000;
        scale.SetFrequency(f);
        scale.render(&img, region.boundingRect().topLeft(), region);
        r.rectsPerMove = qMax(r.rectsPerMove, rects);
    }
    r.moveMs = double(t.nsecsElapsed()) / 1e6 / moves;
    return r;
}

// The first paint of a scale whose band name has no blank to cut at.
double bandNamePaintMs(int length)
{
    TRadioScale scale;
    scale.resize(786, 100);
    scale.AddBand(3500000, 3800000, QString(length, QLatin1Char('W')), "LSB", 3550000);
    scale.Rescale();
    QImage img(scale.size(), QImage::Format_RGB32);
    QElapsedTimer t;
    t.start();
    scale.render(&img);
    return double(t.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString png;
    int longestName = 30000;
    const QStringList args = app.arguments();
    const int at = args.indexOf("--png");
    if (at >= 0 && at + 1 < args.size())
        png = args.at(at + 1);
    const int name = args.indexOf("--longest-name");
    if (name >= 0 && name + 1 < args.size())
        longestName = args.at(name + 1).toInt();

    std::printf("width 786 px, height 100 px, 3.5-3.8 MHz, markers spread evenly over the range\n");
    std::printf("%8s %14s %14s %14s %s\n", "markers", "full ms", "slider ms", "rects/move", "only strips");
    for (int n : {0, 100, 250, 500, 1000, 2000, 5000}) {
        const int iterations = n >= 1000 ? 5 : n >= 250 ? 20 : 200;
        const Result r = measure(n, 786, iterations, n == 100 ? png : QString());
        std::printf("%8d %14.3f %14.3f %14d %s\n", n, r.fullMs, r.moveMs, r.rectsPerMove,
                    r.onlyStrips ? "yes" : "NO");
    }

    std::printf("\nband name without blanks, first paint\n%8s %14s\n", "chars", "paint ms");
    for (int length : {30, 300, 3000, 30000}) {
        if (length > longestName)
            break;
        std::printf("%8d %14.3f\n", length, bandNamePaintMs(length));
    }
    return 0;
}
