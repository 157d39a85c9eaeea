// The spectrograph's pixels and repaints: layers of the frequency plot, the
// strip chart's cursor and trim, mode switches, and the x rule that puts a
// point under the scale's position of its frequency.

#include "common/TestEnvironment.h"
#include "controls/PaintRecorder.h"
#include "controls/RadioScale.h"
#include "controls/SpectroGraph.h"

namespace {

// 200 x 38 over 1000..2000 Hz with 30 px margins: 1000 Hz is at x 30,
// 1500 Hz at 100 and 2000 Hz at 170.
struct SmallPlot
{
    TSpectroGraph g;
    SmallPlot()
    {
        g.resize(200, 38);
        g.SetRange(1000, 2000);
        g.SetLit(true);
    }
    // The colours down a column: 'b' and 'u' the lit and unlit background,
    // '0'..'4' a layer, 'w' white, 'k' black, 'y' the marker line.
    QString column(int x)
    {
        std::vector<std::pair<QColor, QChar>> names{{TSpectroGraph::LitBackground(), u'b'},
                                                    {TSpectroGraph::UnlitBackground(), u'u'},
                                                    {Qt::white, u'w'},
                                                    {Qt::black, u'k'},
                                                    {TSpectroGraph::MarkerLineColor(), u'y'}};
        for (int k = 0; k < 5; ++k)
            names.emplace_back(TSpectroGraph::LayerColor(k), QChar(u'0' + k));
        const QImage img = g.grab().toImage();
        QString out(img.height(), u'?');
        for (int y = 0; y < img.height(); ++y)
            for (const auto &[colour, name] : names)
                if (img.pixelColor(x, y) == colour)
                    out[y] = name;
        return out;
    }
};

QString rows(std::initializer_list<std::pair<char, int>> runs)
{
    QString out;
    for (const auto &[ch, n] : runs)
        out += QString(n, QChar(ch));
    return out;
}

} // namespace

class TestSpectroGraph : public QObject
{
    Q_OBJECT
private slots:
    void frequencyPlotLayers()
    {
        SmallPlot p;
        p.g.AddValue(1500, 40);
        QCOMPARE(p.column(60), rows({{'k', 1}, {'b', 36}, {'k', 1}})); // no left neighbour yet
        p.g.AddValue(1000, 70); // goes first; 1500's bar now shows
        p.g.AddValue(1500, 20); // the older 40 % moves back
        QCOMPARE(p.column(60), rows({{'k', 1}, {'b', 16}, {'1', 10}, {'0', 10}, {'k', 1}}));
        QCOMPARE(p.column(99), p.column(30));
        QCOMPARE(p.column(100), p.column(29)); // nothing right of the last point
        // Six readings: the oldest (74 %) has gone.
        for (int v : {74, 60, 50, 40, 30, 10})
            p.g.AddValue(2000, v);
        QCOMPARE(p.column(150),
                 rows({{'k', 1}, {'b', 6}, {'4', 5}, {'3', 5}, {'2', 5}, {'1', 10}, {'0', 5}, {'k', 1}}));
        p.g.SetFrequency(1250); // x 65
        p.g.SetFreqMarkerVisible(true);
        QCOMPARE(p.column(65).mid(1, 16), QString(16, u'y'));
        p.g.SetLit(false); // unlit: no points, no marker line
        QCOMPARE(p.column(65), rows({{'k', 1}, {'u', 36}, {'k', 1}}));
        p.g.SetLit(true);
        p.g.Clear();
        QVERIFY(!p.g.FreqMarkerVisible());
        QCOMPARE(p.column(150), rows({{'k', 1}, {'b', 36}, {'k', 1}}));
    }

    void eachChangeRepaintsOnlyItsStrip()
    {
        SmallPlot p;
        p.g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p.g));
        PaintRecorder rec(&p.g);
        for (qint32 f : {1000, 1500, 2000})
            p.g.AddValue(f, 50);
        p.g.SetFrequency(1250);
        const std::pair<std::function<void()>, QRegion> changes[] = {
            {[&] { p.g.AddValue(1500, 30); }, QRegion(30, 1, 70, 36)},
            {[&] { p.g.AddValue(1000, 30); }, QRegion()},            // the first point has no bar
            {[&] { p.g.AddValue(750, 30); }, QRegion(0, 1, 30, 36)}, // new first point: the old one's bar appears
            {[&] { p.g.SetFrequency(1500); }, QRegion(65, 1, 1, 36) + QRegion(100, 1, 1, 36)},
            {[&] { p.g.AddValue(0, 10); }, QRegion(p.g.rect())},     // a strip chart reading clears
            {[&] { p.g.AddValue(0, 20); }, QRegion(1, 1, 2, 36)},
        };
        for (const auto &[change, region] : changes) {
            rec.settle();
            change();
            rec.flush();
            QCOMPARE(rec.painted, region);
        }
    }

    void stripChartCursorTrimAndModeSwitch()
    {
        TSpectroGraph g; // the main window's 785 px
        g.SetLit(true);
        auto reading = [](int n) { return n * 7 % 100; };
        for (int n = 1; n <= 776; ++n) {
            QCOMPARE(int(g.Points().size()), n == 776 ? 775 : n - 1);
            g.AddValue(0, reading(n));
        }
        QCOMPARE(int(g.Points().size()), 392); // past W - 10: back to half the width
        QCOMPARE(g.Points().front().Values[0], reading(385));
        const QImage img = g.grab().toImage();
        QCOMPARE(img.pixelColor(391, 21), TSpectroGraph::LayerColor(0)); // 32 %: 16 px
        QCOMPARE(img.pixelColor(391, 20), TSpectroGraph::LitBackground());
        QCOMPARE(img.pixelColor(392, 10), QColor(Qt::white)); // the cursor

        g.AddValue(3600000, 60); // a reading of the other kind clears first
        QCOMPARE(int(g.Points().size()), 1);
        QCOMPARE(g.Points().front().Values, (std::array<int, 5>{60, 0, 0, 0, 0}));
        QCOMPARE(g.PlotMode(), int(TSpectroGraph::PlotFrequency));
        g.Clear();
        QCOMPARE(g.PlotMode(), int(TSpectroGraph::PlotFrequency)); // Clear keeps the mode
    }

    void pointsLieUnderTheScale()
    {
        // 726 px of ruler over 1452 Hz: every odd hertz lands on half a
        // pixel, so the rounding must be the scale's.
        TRadioScale scale;
        scale.resize(786, 100);
        scale.SetRange(7000000, 7001452);
        TSpectroGraph attached, alone;
        for (TSpectroGraph *g : {&attached, &alone}) {
            g->resize(786, 38);
            g->SetRange(7000000, 7001452);
        }
        attached.SetRulerScale(&scale);
        for (qint32 f = 7000000; f <= 7001452; ++f)
            if (attached.FreqToX(f) != scale.FreqToX(f) || alone.FreqToX(f) != scale.FreqToX(f))
                QFAIL(qPrintable(QString("x of %1 Hz").arg(f)));
        // Off the range the scale keeps its slider whole; the plot does not clamp.
        QCOMPARE(attached.FreqToX(7000000 - 1452), 30 - 726);
        QCOMPARE(attached.FreqToX(7001452 + 1452), 756 + 726);
        attached.SetRange(7000000, 7002904); // another range than the scale's: its own
        QCOMPARE(attached.FreqToX(7001452), 30 + 363);
        attached.SetRange(7000000, 7000000);
        QCOMPARE(attached.FreqToX(7000000), 0);
    }
};

TARNWICK_TEST_CLASS(TestSpectroGraph)
#include "tst_spectrograph.moc"
