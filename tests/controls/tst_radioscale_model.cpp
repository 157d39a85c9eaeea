#include "common/TestEnvironment.h"
#include "controls/RadioScale.h"
#include "controls/RadioScaleFormat.h"
#include "ScaleTestSupport.h"

#include <QApplication>

#include <memory>
#include <vector>

class TestRadioScaleModel : public QObject
{
    Q_OBJECT
private slots:
    void textHelpers()
    {
        QCOMPARE(FormatFreqKhz(3550000), QString("3,550.000"));
        QCOMPARE(FormatFreqKhz(430000000), QString("430,000.000"));
        QCOMPARE(FormatFreqKhz(1000), QString("1.000"));
        QCOMPARE(FormatFreqKhz(999), QString("999"));
        QCOMPARE(FormatFreqKhz(14074000), QString("14,074.000"));

        QCOMPARE(FormatScaleLabel(3520000, 1000), QString("3520"));
        QCOMPARE(FormatScaleLabel(144200000, 1000000), QString("144.2"));
        QCOMPARE(FormatScaleLabel(14012500, 1000000), QString(".0125"));
        QCOMPARE(FormatScaleLabel(145050000, 1000000), QString("145.05"));
        QCOMPARE(FormatScaleLabel(500000, 1000000), QString(".5"));
        QCOMPARE(FormatScaleLabel(7500, 1), QString("7500"));

        QCOMPARE(ShortenText("80 m Band"), QString("80 m..."));
        QCOMPARE(ShortenText("80 m..."), QString("80..."));
        QCOMPARE(ShortenText("80..."), QString("8..."));
        QCOMPARE(ShortenText("Top-band"), QString("Top..."));
        QCOMPARE(ShortenText("8..."), QString("..."));
        QCOMPARE(ShortenText("..."), QString());   // the loop over a name always ends
        QCOMPARE(ShortenText(""), QString());

        QCOMPARE(FormatCtcssTone(885), QString("88.5"));
        QCOMPARE(FormatCtcssTone(1230), QString("123.0"));

        QCOMPARE(RoundHalfEven(0.5), qint64(0));
        QCOMPARE(RoundHalfEven(1.5), qint64(2));
        QCOMPARE(RoundHalfEven(2.5), qint64(2));
        QCOMPARE(RoundHalfEven(-2.5), qint64(-2));
        QCOMPARE(RoundHalfEven(2.51), qint64(3));
    }

    void defaults()
    {
        TRadioScale s;
        QCOMPARE(s.width(), 700);
        QCOMPARE(s.height(), 100);
        QVERIFY(!s.SliderVisible());
        QCOMPARE(s.ScaleBegin(), 3500000);
        QCOMPARE(s.ScaleEnd(), 3800000);
        QCOMPARE(s.ScaleMarginsX(), 30);
        QCOMPARE(s.Frequency(), 3550000);
        QVERIFY(s.AutoBand());
        QVERIFY(s.PopupMenu() == nullptr);
        QVERIFY(s.GeneralCoverage());
        QCOMPARE(s.TuningStep(), 10);
        QVERIFY(s.AnimateScale());
        QVERIFY(!s.PaintDigits());
        QVERIFY(s.ShowHintMouseHoover());
        QVERIFY(s.ShowHintMarkerSelected());
        QVERIFY(s.ShowModes());
        QCOMPARE(s.AbsLoFq(), 0);
        QCOMPARE(s.AbsHiFq(), 500000000);
        QCOMPARE(s.SelectedMarker, -1);
        QCOMPARE(s.Color(), QColor(0xF0, 0xF0, 0xF0));

        s.Lit(true);
        QCOMPARE(s.Color(), QColor(Qt::white));
        s.Lit(false);
        QCOMPARE(s.Color(), QColor(0xF0, 0xF0, 0xF0));

        s.SetTuningStep(100);
        QCOMPARE(s.TuningStep(), 100);
        s.SetTuningStep(5);
        QCOMPARE(s.TuningStep(), 100);
        s.SetTuningStep(1);
        QCOMPARE(s.TuningStep(), 1);
    }

    void scale80mOn700px()
    {
        TRadioScale s;
        s.Rescale();
        QCOMPARE(s.minorStep(), 5000);
        QVERIFY(qAbs(s.minorPx() - 10.6667) < 0.001);
        QCOMPARE(s.labelStep(), 20000);
        QVERIFY(qAbs(s.labelPx() - 42.6667) < 0.001);
        QCOMPARE(s.unitDivisor(), 1000);
        QCOMPARE(s.FormatScaleLabel(s.ScaleBegin()), QString("3500"));
        QCOMPARE(s.FormatScaleLabel(s.ScaleBegin() + s.labelStep()), QString("3520"));
        QCOMPARE(s.FormatScaleLabel(s.ScaleBegin() + 15 * s.labelStep()), QString("3800"));
    }

    void scale2mOn786px()
    {
        TRadioScale s;
        s.resize(786, 100);
        s.SetScaleBegin(144000000);
        s.SetScaleEnd(146000000);
        s.Rescale();
        QCOMPARE(s.minorStep(), 50000);
        QCOMPARE(s.labelStep(), 200000);
        QCOMPARE(s.unitDivisor(), 1000000);
        QCOMPARE(s.FormatScaleLabel(144000000), QString("144"));
        QCOMPARE(s.FormatScaleLabel(144200000), QString("144.2"));
    }

    void unitsAndUnusableRanges()
    {
        TRadioScale s;
        s.SetScaleBegin(1000);
        s.SetScaleEnd(9999);
        s.Rescale();
        QCOMPARE(s.unitDivisor(), 1);
        s.SetScaleBegin(9000000);
        s.SetScaleEnd(10000000);
        s.Rescale();
        QCOMPARE(s.unitDivisor(), 1000000);

        // zero, negative and too short for three minor steps: no usable scale
        for (auto [b, e] : {std::pair{3500000, 3500000}, std::pair{3600000, 3500000}, std::pair{3500000, 3500014}}) {
            s.SetScaleBegin(b);
            s.SetScaleEnd(e);
            s.Rescale();
            QCOMPARE(s.minorPx(), 0.0);
        }
        s.SetScaleEnd(3500000);
        s.Rescale();
        QCOMPARE(s.unitDivisor(), 1);

        // a ruler too short for any label: no label step of usable width
        s.resize(100, 100);
        s.SetScaleBegin(3500000);
        s.SetScaleEnd(3800000);
        s.Rescale();
        QVERIFY(s.minorPx() > 0);
        QCOMPARE(s.labelPx(), 0.0);
    }

    void pixelMappingRoundsHalvesToEven()
    {
        TRadioScale s;
        s.resize(160, 100); // ruler 100 px
        s.SetScaleBegin(1000);
        s.SetScaleEnd(1200); // 2 Hz a pixel
        s.Rescale();
        QCOMPARE(s.FreqToX(1000), 30);
        QCOMPARE(s.FreqToX(1001), 30); // 0.5 -> 0
        QCOMPARE(s.FreqToX(1003), 32); // 1.5 -> 2
        QCOMPARE(s.FreqToX(1005), 32); // 2.5 -> 2
        QCOMPARE(s.FreqToX(1200), 130);
        QCOMPARE(s.XToFreq(31), 1002);
        QCOMPARE(s.XToFreq(30), 1000);

        s.SetScaleEnd(1050); // half a hertz a pixel
        s.Rescale();
        QCOMPARE(s.XToFreq(31), 1000); // 0.5 -> 0
        QCOMPARE(s.XToFreq(33), 1002); // 1.5 -> 2

        QCOMPARE(s.RoundToStep(15), 20);
        QCOMPARE(s.RoundToStep(25), 20);
        QCOMPARE(s.RoundToStep(3550004), 3550000);
        QCOMPARE(s.RoundToStep(3550006), 3550010);
    }

    void positionsAreClampedAndSided()
    {
        TRadioScale s;
        s.Rescale();
        QCOMPARE(s.FreqToX(0), 13);
        QCOMPARE(s.FreqToX(500000000), 700 - 13);
        QCOMPARE(s.FreqToX(2147483647), 700 - 13);
        QCOMPARE(s.FreqSide(100000), -1);
        QCOMPARE(s.FreqSide(30000000), 1);
        QCOMPARE(s.FreqSide(3650000), 0);
        QCOMPARE(s.FreqSide(3500000), 0);
        // within 13 px of the edge counts as off the scale: x 13 is on, 12 is off
        QCOMPARE(s.FreqSide(s.XToFreq(13)), 0);
        QCOMPARE(s.FreqSide(s.XToFreq(12)), -1);
        QCOMPARE(s.FreqSide(s.XToFreq(687)), 0);
        QCOMPARE(s.FreqSide(s.XToFreq(688)), 1);

        s.SetScaleEnd(s.ScaleBegin());
        QCOMPARE(s.XToFreq(300), 0);
        QCOMPARE(s.FreqSide(1), 0);
        QCOMPARE(s.FreqToX(3600000), 13);
    }

    void bandsAndModes()
    {
        TRadioScale s;
        s.AddBand(3500000, 3800000, "80 m", "LSB", 3650000);
        s.AddBand(3500000, 3600000, "80 m CW", "CW", 3520000);
        s.AddBand(3500000, 3600000, "80 m CW again", "CW", 3520000);
        s.AddBand(7000000, 7000000, "empty", "CW", 7000000);  // ignored
        s.AddBand(7200000, 7100000, "reversed", "CW", 7150000); // ignored
        QCOMPARE(int(s.Bands.size()), 3);
        QCOMPARE(s.FindBand(3550000), 1);   // narrowest, earlier on equal width
        QCOMPARE(s.FindBand(3700000), 0);
        QCOMPARE(s.FindBand(3800000), 0);   // both ends belong to the band
        QCOMPARE(s.FindBand(3800001), -1);
        QCOMPARE(s.Bands[0].LastMode, QString("LSB"));
        QCOMPARE(s.Bands[0].LastFrequency, 3650000);
        s.ClearBands();
        QCOMPARE(s.FindBand(3550000), -1);

        s.AddMode(3500000, 3570000, "CW", 0x0000FF, "");
        s.AddMode(3570000, 3600000, "DIG", 0x00FF00, "Digital");
        s.AddMode(3600000, 3600000, "USB", 0, ""); // ignored
        QCOMPARE(int(s.Modes.size()), 2);
        QCOMPARE(s.ModeAt(3500000), QString("CW"));
        QCOMPARE(s.ModeAt(3570000), QString("DIG")); // the high end is outside
        QCOMPARE(s.ModeAt(3600000), QString());
        s.ClearModes();
        QVERIFY(s.Modes.empty());
    }

    void markersStaySortedAndRounded()
    {
        TRadioScale s;
        std::vector<std::unique_ptr<TFqMarker>> store;
        auto add = [&](qint32 f, const QString &c) {
            store.push_back(makeMarker(f, c));
            s.AddMarker(store.back().get(), false);
            return store.back().get();
        };
        add(3560000, "B");
        add(3550004, "A");
        add(3560003, "C");       // rounds to 3560000: after B
        add(3540000, "first");
        QStringList order;
        for (const TFqMarker *m : s.Markers)
            order << m->Caption;
        QCOMPARE(order, QStringList({"first", "A", "B", "C"}));
        QCOMPARE(s.Markers.at(1)->Frequency, 3550000);

        s.SetFrequency(3560000);
        QString caption;
        QCOMPARE(s.MarkerAtFrequency(&caption), 2);
        QCOMPARE(caption, QString("B"));
        s.DeleteMarkerAtFrequency();
        QCOMPARE(s.MarkerAtFrequency(&caption), 2);
        QCOMPARE(caption, QString("C"));
        s.SetFrequency(3561000);
        QCOMPARE(s.MarkerAtFrequency(&caption), -1);
        QCOMPARE(caption, QString());

        s.DeleteMarker(17); // outside: nothing
        s.DeleteMarker(-1);
        QCOMPARE(s.Markers.size(), 3);
    }

    void replaceByCaptionWithinOneThousandth()
    {
        TRadioScale s;
        std::vector<std::unique_ptr<TFqMarker>> store;
        auto make = [&](qint32 f, const QString &c) {
            store.push_back(makeMarker(f, c));
            return store.back().get();
        };
        s.AddMarker(make(14000000, "DX"), false);
        s.AddMarker(make(14030000, "DX"), false);  // 20 kHz from the new one: kept
        s.AddMarker(make(14005000, "dx"), false);  // other caption (case counts)
        s.AddOrReplaceMarker(make(14010000, "DX"), false);
        QStringList seen;
        for (const TFqMarker *m : s.Markers)
            seen << QString("%1@%2").arg(m->Caption).arg(m->Frequency);
        QCOMPARE(seen, QStringList({"dx@14005000", "DX@14010000", "DX@14030000"}));
        // exactly one thousandth of the old frequency away is not "less than"
        s.AddOrReplaceMarker(make(14030000 + 14030, "DX"), false);
        QCOMPARE(s.Markers.size(), 4);
    }

    void deleteByAttributeKeepsPermanent()
    {
        TRadioScale s;
        std::vector<std::unique_ptr<TFqMarker>> store;
        for (auto [f, attr, perm] : {std::tuple{3510000, "SCAN", false}, std::tuple{3520000, "SCAN", true},
                                     std::tuple{3530000, "BEACON\r\nSCANNER", false}, std::tuple{3540000, "", false}}) {
            store.push_back(makeMarker(f, "m", attr));
            store.back()->Permanent = perm;
            s.AddMarker(store.back().get(), false);
        }
        s.DeleteMarkersWithAttribute("", false); // names nothing
        QCOMPARE(s.Markers.size(), 4);
        s.DeleteMarkersWithAttribute("SCAN", true);
        QCOMPARE(s.Markers.size(), 2);
        QCOMPARE(s.Markers.at(0)->Frequency, 3520000);
        QCOMPARE(s.Markers.at(1)->Frequency, 3540000);
    }

    void groupVisibility()
    {
        TRadioScale s;
        s.VisibleGroups = QStringList({"BEACON", "channel"});
        TFqMarker m;
        QVERIFY(s.IsMarkerVisibleByGroups(m));
        m.Attributes = "REPEATER";
        QVERIFY(!s.IsMarkerVisibleByGroups(m));
        m.Attributes = "REPEATER\r\nCHANNEL";
        QVERIFY(s.IsMarkerVisibleByGroups(m));
        m.Attributes = "BEACONS";
        QVERIFY(!s.IsMarkerVisibleByGroups(m)); // whole lines only
    }

    void hintText()
    {
        TRadioScale s;
        auto m = makeMarker(145600000, "Rep", "REPEATER\r\nLOCAL");
        m->Mode = "FM";
        m->RxCtcss = 885;
        m->TxCtcss = 1230;
        m->Remark = "Hill top\r\nopen";
        s.Markers.append(m.get());
        QCOMPARE(s.MarkerHintText(0),
                 QString("Rep\nFreq: 145,600.000\nMode: FM\n-----\nCTCSS RX: 88.5 Hz\nCTCSS TX: 123.0 Hz"
                         "\n-----\nREPEATER\r\nLOCAL\n-----\nHill top\r\nopen"));
        m->RxCtcss = 0;
        m->TxCtcss = 0;
        m->Attributes.clear();
        m->Remark.clear();
        QCOMPARE(s.MarkerHintText(0), QString("Rep\nFreq: 145,600.000\nMode: FM"));
        m->TxCtcss = 670;
        QCOMPARE(s.MarkerHintText(0), QString("Rep\nFreq: 145,600.000\nMode: FM\n-----\nCTCSS TX: 67.0 Hz"));
        QCOMPARE(s.MarkerHintText(5), QString());
    }
};

TARNWICK_TEST_CLASS(TestRadioScaleModel)
#include "tst_radioscale_model.moc"
