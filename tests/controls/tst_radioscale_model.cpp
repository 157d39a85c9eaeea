#include "common/TestEnvironment.h"
#include "controls/RadioScaleFormat.h"
#include "ScaleTestSupport.h"

#include <QApplication>
#include <QRandomGenerator>

#include <bit>

class TestRadioScaleModel : public QObject
{
    Q_OBJECT
private slots:
    void textRules()
    {
        QCOMPARE(QStringList({FormatFreqKhz(3550000), FormatFreqKhz(1000), FormatFreqKhz(999)}),
                 QStringList({"3,550.000", "1.000", "999"}));
        QCOMPARE(QStringList({FormatScaleLabel(3520000, 1000), FormatScaleLabel(144200000, 1000000),
                              FormatScaleLabel(14012500, 1000000), FormatScaleLabel(7000010, 1000000),
                              FormatScaleLabel(145050000, 1000000), FormatScaleLabel(500000, 1000000)}),
                 QStringList({"3520", "144.2", ".0125", ".00001", "145.05", ".5"}));
        QStringList shortened;
        for (const char *name : {"80 m Band", "80 m...", "80...", "Top-band", " 80 \tBand", "...", ""})
            shortened << ShortenText(name);
        QCOMPARE(shortened, QStringList({"80 m...", "80...", "8...", "Top...", "80...", "", ""}));
        QCOMPARE(QList<qint64>({RoundHalfEven(0.5), RoundHalfEven(1.5), RoundHalfEven(-2.5), RoundHalfEven(2.51)}),
                 QList<qint64>({0, 2, -2, 3}));
    }

    // The band name is shortened step by step until it fits; the search over
    // the steps must give the same text with O(log n) measurements.
    void fittedNameIsTheFirstShortenedStepThatFits()
    {
        int measured = 0;
        auto width = [&](const QString &text) {
            ++measured;
            int w = 0;
            for (QChar c : text)
                w += c == u'W' ? 9 : c == u'.' ? 2 : c.isSpace() ? 3 : 5;
            return w;
        };
        const QString alphabet = QString("abW .-\t") + QChar(0x00A0);
        QRandomGenerator rng(12);
        for (int round = 0; round < 3000; ++round) {
            QString name;
            for (int i = int(rng.bounded(40)); i > 0; --i)
                name += alphabet.at(int(rng.bounded(alphabet.size())));
            const int limit = int(rng.bounded(-10, 160));
            QString expected = name;
            while (!expected.isEmpty() && width(expected) > limit)
                expected = ShortenText(expected);
            measured = 0;
            QCOMPARE(FitShortenedText(name, limit, width), expected);
            QVERIFY(measured <= 2 + int(std::bit_width(unsigned(name.size() + 2))));
        }
        measured = 0;
        QCOMPARE(FitShortenedText(QString(30000, u'W'), 300, width), QString(32, u'W') + "...");
        QVERIFY(measured <= 17);
    }

    void tickSpacing_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<qint32>("begin");
        QTest::addColumn<qint32>("end");
        QTest::addColumn<int>("minorStep"); // 0: no usable scale
        QTest::addColumn<int>("labelStep");
        QTest::addColumn<double>("labelPx");
        QTest::addColumn<int>("unit");
        QTest::newRow("80 m on 700 px") << 700 << 3500000 << 3800000 << 5000 << 20000 << 640.0 / 15 << 1000;
        QTest::newRow("2 m on 786 px") << 786 << 144000000 << 146000000 << 50000 << 200000 << 72.6 << 1000000;
        QTest::newRow("minor ticks 8 px apart") << 700 << 3500000 << 3900000 << 5000 << 50000 << 80.0 << 1000;
        QTest::newRow("hertz") << 700 << 1000 << 9999 << 500 << 1000 << 640000.0 / 8999 << 1;
        QTest::newRow("10 MHz is MHz") << 700 << 9000000 << 10000000 << 50000 << 100000 << 64.0 << 1000000;
        QTest::newRow("too short for a label") << 100 << 3500000 << 3800000 << 100000 << 200000 << 0.0 << 1000;
        QTest::newRow("empty") << 700 << 3500000 << 3500000 << 0 << 0 << 0.0 << 1;
        QTest::newRow("reversed") << 700 << 3600000 << 3500000 << 0 << 0 << 0.0 << 1;
        QTest::newRow("under three 5 Hz steps") << 700 << 3500000 << 3500014 << 0 << 0 << 0.0 << 1000;
    }
    void tickSpacing()
    {
        QFETCH(int, width);
        QFETCH(qint32, begin);
        QFETCH(qint32, end);
        QFETCH(int, minorStep);
        QFETCH(double, labelPx);
        ScaleRig r(width);
        r.s.SetScaleBegin(begin);
        r.s.SetScaleEnd(end);
        r.s.Rescale();
        QTEST(r.s.unitDivisor(), "unit");
        QCOMPARE(r.s.minorPx() > 0, minorStep > 0);
        if (minorStep > 0) {
            QCOMPARE(r.s.minorStep(), minorStep);
            QTEST(r.s.labelStep(), "labelStep");
            QVERIFY(qAbs(r.s.labelPx() - labelPx) < 0.01);
        }
    }

    void pixelMapping()
    {
        ScaleRig r(160); // a ruler of 100 px, 2 Hz a pixel
        r.s.SetScaleBegin(1000);
        r.s.SetScaleEnd(1200);
        r.s.Rescale();
        QCOMPARE(QList<int>({r.s.FreqToX(1001), r.s.FreqToX(1003), r.s.FreqToX(1005), r.s.FreqToX(1200), r.s.XToFreq(31)}),
                 QList<int>({30, 32, 32, 130, 1002})); // halves to even
        r.s.SetScaleEnd(1050); // half a hertz a pixel
        r.s.Rescale();
        QCOMPARE(QList<int>({r.s.XToFreq(31), r.s.XToFreq(33)}), QList<int>({1000, 1002}));
        QCOMPARE(QList<int>({r.s.RoundToStep(3550004), r.s.RoundToStep(3550006), r.s.RoundToStep(25)}),
                 QList<int>({3550000, 3550010, 20}));
        r.s.SetTuningStep(100);
        r.s.SetTuningStep(5); // refused
        QCOMPARE(r.s.RoundToStep(3550049), 3550000);

        ScaleRig d; // 700 px: within 13 px of an edge is off the scale
        QCOMPARE(QList<int>({d.s.FreqToX(0), d.s.FreqToX(2147483647)}), QList<int>({13, 687}));
        QCOMPARE(QList<int>({d.s.FreqSide(d.s.XToFreq(12)), d.s.FreqSide(d.s.XToFreq(13)), d.s.FreqSide(d.s.XToFreq(687)),
                             d.s.FreqSide(d.s.XToFreq(688))}),
                 QList<int>({-1, 0, 0, 1}));
        d.s.SetScaleEnd(d.s.ScaleBegin());
        QCOMPARE(QList<int>({d.s.XToFreq(300), d.s.FreqSide(1), d.s.FreqToX(3600000)}), QList<int>({0, 0, 13}));
    }

    void bandsAndModes()
    {
        ScaleRig r;
        r.s.AddBand(3500000, 3800000, "80 m", "LSB", 3650000);
        r.s.AddBand(3500000, 3600000, "80 m CW", "CW", 3520000);
        r.s.AddBand(3500000, 3600000, "same width, later", "CW", 3520000);
        r.s.AddBand(7000000, 7000000, "empty", "CW", 7000000);
        QCOMPARE(int(r.s.Bands.size()), 3);
        // The narrowest, of equal width the earlier; both ends belong to a band.
        QCOMPARE(QList<int>({r.s.FindBand(3500000), r.s.FindBand(3550000), r.s.FindBand(3800000), r.s.FindBand(3800001)}),
                 QList<int>({1, 1, 0, -1}));
        r.s.AddMode(3500000, 3570000, "CW", 0x0000FF, "");
        r.s.AddMode(3570000, 3600000, "DIG", 0x00FF00, "Digital");
        r.s.AddMode(3600000, 3600000, "USB", 0, "");
        QCOMPARE(int(r.s.Modes.size()), 2);
        QCOMPARE(QStringList({r.s.ModeAt(3500000), r.s.ModeAt(3570000), r.s.ModeAt(3600000)}), QStringList({"CW", "DIG", ""}));
    }

    void markerList()
    {
        ScaleRig r;
        auto order = [&] {
            QStringList seen;
            for (const TFqMarker *m : r.s.Markers)
                seen << QString("%1@%2").arg(m->Caption).arg(m->Frequency);
            return seen.join(' ');
        };
        r.marker(3560000, "B");
        r.marker(3550004, "A");
        r.marker(3560003, "C"); // rounds to 3560000: after B
        QCOMPARE(order(), QString("A@3550000 B@3560000 C@3560000"));
        r.s.SetFrequency(3560000);
        QString caption;
        QCOMPARE(r.s.MarkerAtFrequency(&caption), 1);
        QCOMPARE(caption, QString("B"));
        r.s.DeleteMarkerAtFrequency();
        r.s.DeleteMarker(17);
        QCOMPARE(order(), QString("A@3550000 C@3560000"));
        r.s.SetFrequency(3561000);
        QCOMPARE(r.s.MarkerAtFrequency(&caption), -1);
        QCOMPARE(caption, QString());

        // Same caption (case counts) less than a thousandth of the old frequency away.
        r.s.Markers.clear();
        r.marker(14000000, "DX");
        r.marker(14030000, "DX");
        r.marker(14005000, "dx");
        r.s.AddOrReplaceMarker(r.marker(14010000, "DX", QString(), false), false);
        QCOMPARE(order(), QString("dx@14005000 DX@14010000 DX@14030000"));
        r.s.AddOrReplaceMarker(r.marker(14030000 + 14030, "DX", QString(), false), false);
        QCOMPARE(r.s.Markers.size(), 4);

        r.s.Markers.clear();
        r.marker(3510000, "a", "SCAN");
        r.marker(3520000, "b", "SCAN")->Permanent = true;
        r.marker(3530000, "c", "BEACON\r\nSCANNER");
        r.marker(3540000, "d");
        r.s.DeleteMarkersWithAttribute("", false); // names nothing
        QCOMPARE(r.s.Markers.size(), 4);
        r.s.DeleteMarkersWithAttribute("SCAN", false);
        QCOMPARE(order(), QString("b@3520000 d@3540000"));

        // Visible by groups: no attributes, or a whole line naming a group that is on.
        r.s.VisibleGroups = QStringList({"BEACON", "channel"});
        QList<bool> visible;
        for (const char *attributes : {"", "REPEATER", "REPEATER\r\nCHANNEL", "BEACONS"}) {
            TFqMarker m;
            m.Attributes = attributes;
            visible << r.s.IsMarkerVisibleByGroups(m);
        }
        QCOMPARE(visible, QList<bool>({true, false, true, false}));
    }

    void hintText()
    {
        ScaleRig r;
        TFqMarker *m = r.marker(145600000, "Rep", "REPEATER\r\nLOCAL");
        m->Mode = "FM";
        m->RxCtcss = 885;
        m->TxCtcss = 1230;
        m->Remark = "Hill top";
        QCOMPARE(r.s.MarkerHintText(0), QString("Rep\nFreq: 145,600.000\nMode: FM\n-----\nCTCSS RX: 88.5 Hz"
                                                "\nCTCSS TX: 123.0 Hz\n-----\nREPEATER\r\nLOCAL\n-----\nHill top"));
        m->RxCtcss = 0;
        m->Attributes.clear();
        m->Remark.clear();
        QCOMPARE(r.s.MarkerHintText(0), QString("Rep\nFreq: 145,600.000\nMode: FM\n-----\nCTCSS TX: 123.0 Hz"));
        m->TxCtcss = 0;
        QCOMPARE(r.s.MarkerHintText(0), QString("Rep\nFreq: 145,600.000\nMode: FM"));
        QCOMPARE(r.s.MarkerHintText(5), QString());
    }
};

TARNWICK_TEST_CLASS(TestRadioScaleModel)
#include "tst_radioscale_model.moc"
