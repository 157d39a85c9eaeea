#include "common/TestEnvironment.h"
#include "controls/DigiScaleLabels.h"
#include "controls/DigiScaleText.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>

class TestDigiScaleText : public QObject
{
    Q_OBJECT
private slots:
    void resolutionPerMode_data()
    {
        QTest::addColumn<qint32>("freq");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("alwaysKhz");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("unit");

        // Every mode but the FM family: kHz with 10 Hz, digits cut, not rounded.
        QTest::newRow("USB 80 m") << 3550000 << "USB" << false << "3550.00" << 1;
        QTest::newRow("LSB truncates") << 7074999 << "LSB" << false << "7074.99" << 1;
        QTest::newRow("DIG 2 m") << 144174010 << "DIG" << false << "144174.01" << 1;
        QTest::newRow("highest shown") << 999999999 << "USB" << false << "999999.99" << 1;
        // WFM: 100 kHz in MHz.
        QTest::newRow("WFM") << 98765432 << "WFM" << false << "98.7" << 2;
        // FM and AM: whole kHz below 100 MHz, kHz steps in MHz from there.
        QTest::newRow("FM 10 m") << 29620500 << "FM" << false << "29620" << 1;
        QTest::newRow("AM just below") << 99999999 << "AM" << false << "99999" << 1;
        QTest::newRow("AM at 100 MHz") << 100000000 << "AM" << false << "100.000" << 2;
        QTest::newRow("FM 2 m") << 145512500 << "FM" << false << "145.512" << 2;
        // The preference forces kHz with 10 Hz everywhere.
        QTest::newRow("WFM always kHz") << 98765432 << "WFM" << true << "98765.43" << 1;
        QTest::newRow("FM always kHz") << 145512500 << "FM" << true << "145512.50" << 1;
    }
    void resolutionPerMode()
    {
        QFETCH(qint32, freq);
        QFETCH(QString, mode);
        QFETCH(bool, alwaysKhz);
        const DigiScaleReading r = digiScaleReading(freq, mode, true, alwaysKhz);
        QTEST(r.text, "text");
        QTEST(r.unit, "unit");
        QVERIFY(!r.keepUnit);
    }

    void offlineIsDarkButErrorsStillShow()
    {
        const DigiScaleReading off = digiScaleReading(3550000, "USB", false, false);
        QCOMPARE(off.text, QString());
        QCOMPARE(off.unit, int(DigiUnitNone));
        QVERIFY(!off.keepUnit);

        for (bool connected : {true, false}) {
            const DigiScaleReading lo = digiScaleReading(-1, "USB", connected, false);
            QCOMPARE(lo.text, QString("Error Lo"));
            QVERIFY(lo.keepUnit);
            const DigiScaleReading hi = digiScaleReading(1000000000, "FM", connected, false);
            QCOMPARE(hi.text, QString("Error Hi"));
            QVERIFY(hi.keepUnit);
        }
        QCOMPARE(digiScaleReading(std::numeric_limits<qint32>::max(), "WFM", true, false).text,
                 QString("Error Hi"));
        QCOMPARE(digiScaleReading(std::numeric_limits<qint32>::min(), "WFM", true, false).text,
                 QString("Error Lo"));
    }

    void entryParsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<qint32>("freq");

        const int ok = DigiScaleEntry::Accepted, lo = DigiScaleEntry::TooLow, hi = DigiScaleEntry::TooHigh;
        QTest::newRow("kHz with 10 Hz") << "3550.00" << 1 << ok << 3550000;
        QTest::newRow("kHz fraction rounds to Hz") << "7074.9956" << 1 << ok << 7074996;
        QTest::newRow("kHz lowest") << "100" << 1 << ok << 100000;
        QTest::newRow("kHz below rounds up but too low in Hz") << "99.6" << 1 << lo << 0;
        QTest::newRow("kHz too low") << "99.4" << 1 << lo << 0;
        QTest::newRow("kHz highest") << "500000" << 1 << ok << 500000000;
        QTest::newRow("kHz past scale end") << "500000.4" << 1 << hi << 0;
        QTest::newRow("kHz too high") << "500001" << 1 << hi << 0;
        QTest::newRow("MHz") << "145.5" << 2 << ok << 145500000;
        QTest::newRow("MHz point first") << ".5" << 2 << ok << 500000;
        QTest::newRow("MHz rounds up to 1") << "0.6" << 2 << ok << 600000;
        QTest::newRow("MHz too low") << "0.4" << 2 << lo << 0;
        QTest::newRow("MHz past scale end") << "500.4" << 2 << hi << 0;
        QTest::newRow("MHz too high") << "501" << 2 << hi << 0;
        QTest::newRow("trailing point") << "3550." << 1 << ok << 3550000;
        QTest::newRow("no unit counts as kHz") << "3550" << 0 << ok << 3550000;
        QTest::newRow("empty") << "" << 1 << lo << 0;
        QTest::newRow("comma is no separator") << "3,550" << 1 << lo << 0;
    }
    void entryParsing()
    {
        QFETCH(QString, text);
        QFETCH(int, unit);
        QFETCH(int, outcome);
        QFETCH(qint32, freq);
        const DigiScaleEntry e = parseDigiScaleEntry(text, unit);
        QCOMPARE(int(e.outcome), outcome);
        QCOMPARE(e.accepted(), outcome == DigiScaleEntry::Accepted);
        if (e.accepted())
            QCOMPARE(e.frequency, freq);
        QCOMPARE(e.errorText(), outcome == DigiScaleEntry::TooLow    ? QString("Error Lo")
                                : outcome == DigiScaleEntry::TooHigh ? QString("Error Hi")
                                                                     : QString());
    }

    void entryIgnoresSystemLocale()
    {
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const DigiScaleEntry e = parseDigiScaleEntry("3550.5", DigiUnitKhz);
        const DigiScaleEntry comma = parseDigiScaleEntry("3550,5", DigiUnitKhz);
        QLocale::setDefault(saved);
        QVERIFY(e.accepted());
        QCOMPARE(e.frequency, 3550500);
        QVERIFY(!comma.accepted());
    }

    void unitLabels()
    {
        QLabel khz("kHz"), mhz("MHz");
        QCOMPARE(shownFreqUnit(&khz, &mhz), int(DigiUnitNone)); // the default text colour is not lit
        for (int unit : {DigiUnitKhz, DigiUnitMhz, DigiUnitNone, DigiUnitKhz}) {
            showFreqUnit(&khz, &mhz, unit);
            QCOMPARE(shownFreqUnit(&khz, &mhz), unit);
        }
        QCOMPARE(unitFromLabelColours(0x35FF35, 0x35FF35), int(DigiUnitMhz));
        setUnitLabelsSelectable(&khz, &mhz, true); // clickable while editing
        QVERIFY(unitLabelSelectable(&khz) && unitLabelSelectable(&mhz));
        setUnitLabelsSelectable(&khz, &mhz, false);
        QVERIFY(!unitLabelSelectable(&mhz) && !unitLabelSelectable(nullptr));
    }
};

TARNWICK_TEST_CLASS(TestDigiScaleText)
#include "tst_digiscaletext.moc"
