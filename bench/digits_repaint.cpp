// How much a one-digit change of the digital display costs when only the
// changed cell is repainted, against repainting the whole display.
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_digits_repaint [iterations]

#include "controls/Digits2.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QTextStream>

namespace {

class CountingDisplay : public TDigiDisplay2
{
public:
    qint64 paintedPixels = 0;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        for (const QRect &r : event->region())
            paintedPixels += qint64(r.width()) * r.height();
        TDigiDisplay2::paintEvent(event);
    }
};

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

struct Result
{
    double usPerChange;
    double pixelsPerChange;
};

Result run(CountingDisplay &d, int iterations, bool full)
{
    const QString texts[2] = {QStringLiteral("3550.00"), QStringLiteral("3550.01")};
    settle();
    d.paintedPixels = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < iterations; ++i) {
        d.SetAsString(texts[i & 1]);
        if (full)
            d.update();
        settle();
    }
    const double us = t.nsecsElapsed() / 1000.0 / iterations;
    return {us, double(d.paintedPixels) / iterations};
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int iterations = argc > 1 ? QString(argv[1]).toInt() : 3000;
    QTextStream out(stdout);

    for (const QSize size : {QSize(200, 40), QSize(800, 160)}) {
        CountingDisplay d;
        d.resize(size);
        d.SetNrOfDigits(8);
        d.SetDigitDist(0);
        d.SetColor(QColor(0x27, 0x27, 0x27));
        d.SetColorHigh(QColor(53, 255, 53));
        d.SetColorLow(QColor(68, 68, 68));
        d.SetLit(true);
        d.show();
        settle();
        run(d, 200, false); // warm up
        const Result cell = run(d, iterations, false);
        const Result full = run(d, iterations, true);
        out << size.width() << "x" << size.height() << ", " << iterations << " changes:\n"
            << "  changed cell only: " << qSetRealNumberPrecision(4) << cell.usPerChange << " us/change, "
            << cell.pixelsPerChange << " px painted\n"
            << "  whole display:     " << full.usPerChange << " us/change, " << full.pixelsPerChange
            << " px painted\n";
    }
    return 0;
}
