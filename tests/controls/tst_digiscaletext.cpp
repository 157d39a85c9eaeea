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
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("unit"); // -1: the unit shown is kept

        // Every mode but the FM family: kHz with 10 Hz, digits cut, not rounded.
        QTest::newRow("USB 80 m") << 3550000 << "USB" << false << true << "3550.00" << 1;
        QTest::newRow("LSB truncates") << 7074999 << "LSB" << false << true << "7074.99" << 1;
        QTest::newRow("DIG 2 m") << 144174010 << "DIG" << false << true << "144174.01" << 1;
        QTest::newRow("highest shown") << 999999999 << "USB" << false << true << "999999.99" << 1;
        // WFM: 100 kHz in MHz.
        QTest::newRow("WFM") << 98765432 << "WFM" << false << true << "98.7" << 2;
        // FM and AM: whole kHz below 100 MHz, kHz steps in MHz from there.
        QTest::newRow("FM 10 m") << 29620500 << "FM" << false << true << "29620" << 1;
        QTest::newRow("AM just below") << 99999999 << "AM" << false << true << "99999" << 1;
        QTest::newRow("AM at 100 MHz") << 100000000 << "AM" << false << true << "100.000" << 2;
        QTest::newRow("FM 2 m") << 145512500 << "FM" << false << true << "145.512" << 2;
        // The preference forces kHz with 10 Hz everywhere.
        QTest::newRow("WFM always kHz") << 98765432 << "WFM" << true << true << "98765.43" << 1;
        QTest::newRow("FM always kHz") << 145512500 << "FM" << true << true << "145512.50" << 1;
        // Offline the display is dark, but errors still show.
        QTest::newRow("offline") << 3550000 << "USB" << false << false << "" << int(DigiUnitNone);
        QTest::newRow("too low") << -1 << "USB" << false << true << "Error Lo" << -1;
        QTest::newRow("too low offline") << -1 << "USB" << false << false << "Error Lo" << -1;
        QTest::newRow("too high") << 1000000000 << "FM" << false << true << "Error Hi" << -1;
        QTest::newRow("too high offline") << 1000000000 << "FM" << false << false << "Error Hi" << -1;
        QTest::newRow("highest int") << std::numeric_limits<qint32>::max() << "WFM" << false << true << "Error Hi" << -1;
        QTest::newRow("lowest int") << std::numeric_limits<qint32>::min() << "WFM" << false << true << "Error Lo" << -1;
    }
    void resolutionPerMode()
    {
        QFETCH(qint32, freq);
        QFETCH(QString, mode);
        QFETCH(bool, alwaysKhz);
        QFETCH(bool, connected);
        QFETCH(int, unit);
        const DigiScaleReading r = digiScaleReading(freq, mode, connected, alwaysKhz);
        QTEST(r.text, "text");
        QCOMPARE(r.keepUnit, unit < 0);
        if (unit >= 0)
            QCOMPARE(r.unit, unit);
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
        QTest::newRow("comma is no decimal point") << "3550,5" << 1 << lo << 0;
    }
    // Under a German default locale: the system's locale plays no part.
    void entryParsing()
    {
        QFETCH(QString, text);
        QFETCH(int, unit);
        QFETCH(int, outcome);
        QFETCH(qint32, freq);
        const QLocale saved;
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        const DigiScaleEntry e = parseDigiScaleEntry(text, unit);
        QLocale::setDefault(saved);
        QCOMPARE(int(e.outcome), outcome);
        QCOMPARE(e.accepted(), outcome == DigiScaleEntry::Accepted);
        if (e.accepted())
            QCOMPARE(e.frequency, freq);
        QCOMPARE(e.errorText(), outcome == DigiScaleEntry::TooLow    ? QString("Error Lo")
                                : outcome == DigiScaleEntry::TooHigh ? QString("Error Hi")
                                                                     : QString());
    }

    void unitLabels()
    {
        QLabel khz("kHz"), mhz("MHz");
        for (int unit : {DigiUnitKhz, DigiUnitMhz, DigiUnitNone}) {
            showFreqUnit(&khz, &mhz, unit);
            QCOMPARE(shownFreqUnit(&khz, &mhz), unit);
        }
        QCOMPARE(unitFromLabelColours(0x35FF35, 0x35FF35), int(DigiUnitMhz));
    }
};

TARNWICK_TEST_CLASS(TestDigiScaleText)
#include "tst_digiscaletext.moc"
