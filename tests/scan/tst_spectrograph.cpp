// The spectrograph's pixels: layers of the frequency plot, the strip chart's
// cursor and trim, what each reading repaints, mode switches, the unlit plot
// and the x rule that puts a point under the scale's position of it.

#include "common/TestEnvironment.h"
#include "controls/PaintRecorder.h"
#include "controls/RadioScale.h"
#include "controls/SpectroGraph.h"

#include <QImage>

#include <functional>

namespace {

// 200 x 38 over 1000..2000 Hz with 30 px margins: 0.14 px a hertz, so
// 1000 Hz is at x 30, 1500 Hz at x 100 and 2000 Hz at x 170.
void smallPlot(TSpectroGraph &g)
{
    g.resize(200, 38);
    g.SetRange(1000, 2000);
    g.SetLit(true);
}

QColor at(TSpectroGraph &g, int x, int y)
{
    return g.grab().toImage().pixelColor(x, y);
}

} // namespace

class TestSpectroGraph : public QObject
{
    Q_OBJECT
private slots:
    void frequencyPlotLayers()
    {
        TSpectroGraph g;
        smallPlot(g);
        g.AddValue(1500, 40);
        QCOMPARE(at(g, 60, 30), TSpectroGraph::LitBackground()); // a bar needs a left neighbour

        g.AddValue(1000, 70); // below every point: goes first, draws 1500's bar
        QCOMPARE(g.Points().front().Frequency, 1000);
        QImage img = g.grab().toImage();
        QCOMPARE(img.pixelColor(60, 17), TSpectroGraph::LayerColor(0)); // 40 % is 20 px: rows 17..36
        QCOMPARE(img.pixelColor(60, 16), TSpectroGraph::LitBackground());

        // A second reading at 1500 Hz: the older one moves back and shows
        // only where it was higher.
        g.AddValue(1500, 20);
        QCOMPARE(int(g.Points().size()), 2);
        img = g.grab().toImage();
        QCOMPARE(img.pixelColor(60, 36), TSpectroGraph::LayerColor(0));
        QCOMPARE(img.pixelColor(60, 27), TSpectroGraph::LayerColor(0));
        QCOMPARE(img.pixelColor(60, 26), TSpectroGraph::LayerColor(1));
        QCOMPARE(img.pixelColor(60, 17), TSpectroGraph::LayerColor(1));
        QCOMPARE(img.pixelColor(30, 30), TSpectroGraph::LayerColor(0));
        QCOMPARE(img.pixelColor(99, 30), TSpectroGraph::LayerColor(0));
        QCOMPARE(img.pixelColor(29, 30), TSpectroGraph::LitBackground());
        QCOMPARE(img.pixelColor(100, 30), TSpectroGraph::LitBackground());

        // Six readings: the first has gone, ages 0..4 remain.
        for (int v : {70, 60, 50, 40, 30, 10})
            g.AddValue(2000, v);
        img = g.grab().toImage();
        const int rows[][2] = {{36, 0}, {32, 0}, {31, 1}, {22, 1}, {21, 2}, {17, 2}, {16, 3}, {12, 3}, {11, 4}, {7, 4}};
        for (const auto &row : rows)
            QCOMPARE(img.pixelColor(150, row[0]), TSpectroGraph::LayerColor(row[1]));
        QCOMPARE(img.pixelColor(150, 6), TSpectroGraph::LitBackground()); // 70 % would reach here
        QCOMPARE(img.pixelColor(150, 0), QColor(Qt::black));             // the frame

        // The marker line, and Clear taking it away with the points.
        g.SetFrequency(1250); // x 65
        g.SetFreqMarkerVisible(true);
        QCOMPARE(at(g, 65, 5), TSpectroGraph::MarkerLineColor());
        QCOMPARE(at(g, 64, 5), TSpectroGraph::LitBackground());
        g.Clear();
        QVERIFY(g.Points().empty());
        QVERIFY(!g.FreqMarkerVisible());
        QCOMPARE(g.PlotMode(), int(TSpectroGraph::PlotFrequency)); // Clear keeps the mode
        QCOMPARE(at(g, 60, 30), TSpectroGraph::LitBackground());
    }

    void eachReadingRepaintsOnlyItsStrip()
    {
        TSpectroGraph g;
        smallPlot(g);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        PaintRecorder rec(&g);
        for (qint32 f : {1000, 1500, 2000})
            g.AddValue(f, 50);
        rec.settle();

        g.AddValue(1500, 30);
        rec.flush();
        QCOMPARE(rec.painted, QRegion(30, 1, 70, 36));

        rec.settle();
        g.AddValue(1000, 30); // the first point has no bar of its own
        rec.flush();
        QCOMPARE(rec.paints, 0);

        rec.settle();
        g.AddValue(750, 30); // new first point at x -5: the old first one's bar appears
        rec.flush();
        QCOMPARE(rec.painted, QRegion(0, 1, 30, 36));

        // Strip chart: two columns a reading.
        g.AddValue(0, 10);
        rec.settle();
        g.AddValue(0, 20);
        rec.flush();
        QCOMPARE(rec.painted, QRegion(1, 1, 2, 36));

        // The marker line moves by two columns; range and lighting repaint all.
        g.SetFrequency(1250);
        rec.settle();
        g.SetFrequency(1500);
        rec.flush();
        QCOMPARE(rec.painted, QRegion(65, 1, 1, 36) + QRegion(100, 1, 1, 36));
        for (const auto &change : {std::function<void()>([&] { g.SetRange(1000, 3000); }),
                                   std::function<void()>([&] { g.SetLit(false); })}) {
            rec.settle();
            change();
            rec.flush();
            QCOMPARE(rec.painted, QRegion(g.rect()));
        }
    }

    void stripChartCursorAndTrim()
    {
        TSpectroGraph g; // the main window's 785 px
        g.SetLit(true);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        PaintRecorder rec(&g);
        auto reading = [](int n) { return n * 7 % 100; };
        for (int n = 1; n <= 775; ++n)
            g.AddValue(0, reading(n));
        QCOMPARE(int(g.Points().size()), 775);
        rec.settle();

        g.AddValue(0, reading(776)); // past W - 10: back to half the width
        QCOMPARE(int(g.Points().size()), 392);
        QCOMPARE(g.Points().front().Values[0], reading(385));
        QCOMPARE(g.Points().back().Values[0], reading(776));
        rec.flush();
        QCOMPARE(rec.painted, QRegion(g.rect()));

        const QImage img = g.grab().toImage();
        // reading(776) = 32 %: 16 px, rows 21..36 of column 391.
        QCOMPARE(img.pixelColor(391, 21), TSpectroGraph::LayerColor(0));
        QCOMPARE(img.pixelColor(391, 20), TSpectroGraph::LitBackground());
        QCOMPARE(img.pixelColor(392, 10), QColor(Qt::white)); // the cursor
        QCOMPARE(img.pixelColor(393, 10), TSpectroGraph::LitBackground());
        QCOMPARE(img.pixelColor(390, 2), TSpectroGraph::LitBackground()); // old cursors painted over
    }

    void aReadingOfTheOtherKindClearsThePlot_data()
    {
        QTest::addColumn<QList<qint32>>("before");
        QTest::addColumn<qint32>("frequency");
        QTest::addColumn<int>("mode");
        QTest::newRow("time after frequency") << QList<qint32>{1000, 1500, 2000} << 0 << int(TSpectroGraph::PlotTime);
        QTest::newRow("frequency after time") << QList<qint32>{0, 0, 0} << 1500 << int(TSpectroGraph::PlotFrequency);
    }
    void aReadingOfTheOtherKindClearsThePlot()
    {
        QFETCH(QList<qint32>, before);
        QFETCH(qint32, frequency);
        QFETCH(int, mode);
        TSpectroGraph g;
        smallPlot(g);
        for (qint32 f : before)
            g.AddValue(f, 40);
        g.AddValue(frequency, 60);
        QCOMPARE(int(g.Points().size()), 1);
        QCOMPARE(g.Points().front().Frequency, frequency);
        QCOMPARE(g.Points().front().Values, (std::array<int, 5>{60, 0, 0, 0, 0}));
        QCOMPARE(g.PlotMode(), mode);
    }

    void unlitShowsOnlyBackgroundAndFrame()
    {
        TSpectroGraph g;
        smallPlot(g);
        for (qint32 f : {1000, 1500, 2000})
            g.AddValue(f, 100);
        g.SetFrequency(1500);
        g.SetFreqMarkerVisible(true);
        g.SetLit(false);
        const QImage img = g.grab().toImage();
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const bool frame = x == 0 || y == 0 || x == img.width() - 1 || y == img.height() - 1;
                if (img.pixelColor(x, y) != (frame ? QColor(Qt::black) : TSpectroGraph::UnlitBackground()))
                    QFAIL(qPrintable(QString("pixel %1,%2").arg(x).arg(y)));
            }
    }

    void pointsLieUnderTheScale()
    {
        // 726 px of ruler over 1452 Hz: half a pixel a hertz, so every odd
        // hertz lands on a half and the rounding must be the scale's.
        TRadioScale scale;
        scale.resize(786, 100);
        scale.SetRange(7000000, 7001452);
        TSpectroGraph attached;
        attached.resize(786, 38);
        attached.SetRange(7000000, 7001452);
        attached.SetRulerScale(&scale);
        TSpectroGraph alone;
        alone.resize(786, 38);
        alone.SetRange(7000000, 7001452);
        for (qint32 f = 7000000; f <= 7001452; ++f) {
            if (attached.FreqToX(f) != scale.FreqToX(f) || alone.FreqToX(f) != scale.FreqToX(f))
                QFAIL(qPrintable(QString("x of %1 Hz: %2 / %3, scale %4")
                                     .arg(f).arg(attached.FreqToX(f)).arg(alone.FreqToX(f)).arg(scale.FreqToX(f))));
        }
        // Off the range the scale keeps its slider whole; the plot does not clamp.
        QCOMPARE(attached.FreqToX(7000000 - 1452), 30 - 726);
        QCOMPARE(attached.FreqToX(7001452 + 1452), 756 + 726);
        // A plot over another range than the scale's follows its own.
        attached.SetRange(7000000, 7002904);
        QCOMPARE(attached.FreqToX(7001452), 30 + 363);
        attached.SetRange(7000000, 7000000);
        QCOMPARE(attached.FreqToX(7000000), 0);
    }
};

TARNWICK_TEST_CLASS(TestSpectroGraph)
#include "tst_spectrograph.moc"
