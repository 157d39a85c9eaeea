// The scan properties dialog: texts turned into numbers, the settings taken
// from the chosen page, and the selected-range box.

#include "base/MessageBoxes.h"
#include "common/TestEnvironment.h"
#include "scan/ScanProperties.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTabWidget>

class TestScanProperties : public QObject
{
    Q_OBJECT
private slots:
    void textsToNumbers()
    {
        const std::pair<const char *, int> dwells[] = {{"0.25", 250}, {"0.5", 500}, {"120", 120000}, {"x", 0}, {"-1", 0}};
        for (const auto &[text, ms] : dwells)
            QCOMPARE(DwellFromText(text), ms);
        const std::pair<const char *, const char *> filters[] = {
            {"Any", ""}, {"Current only (CW-R)", "CW-R"}, {"Current only ()", ""}, {"a (b) (c)", "b"}, {"x (", ""}};
        for (const auto &[item, mode] : filters)
            QCOMPARE(ModeFilterFromItem(item), QString(mode));
    }

    void settingsComeFromTheChosenPage()
    {
        TScanPropertiesFrm frm;
        frm.ScaleBegin = frm.SelectionLow = 7000000;
        frm.ScaleEnd = frm.SelectionHigh = 7200000;
        frm.FreqStepCBx->setCurrentText("3000");
        frm.WatchSquelchCBx->setCurrentIndex(2);
        TScanSettings s = frm.Settings();
        QCOMPARE(std::tuple(s.Kind, s.RangeFrom, s.RangeTo, s.Dwell, s.Step, s.WatchSquelch),
                 std::tuple(int(ScanKindRange), 7000000, 7200000, 500, 3000, int(WatchSquelchStop)));

        frm.PageControl1->setCurrentIndex(1);
        QCOMPARE(frm.Settings().Kind, int(ScanKindMarkers));
        QCOMPARE(frm.Settings().Dwell, 2000); // the marker page's own box
        frm.FormShow("CW");
        frm.ModeCBx->setCurrentIndex(1);
        QCOMPARE(frm.Settings().ModeFilter, QString("CW"));
        frm.FormShow(""); // no mode key down: the choice stays and filters nothing
        QCOMPARE(frm.ModeCBx->currentText(), QString("Current only ()"));
        QCOMPARE(frm.Settings().ModeFilter, QString());
    }

    void selectedRangeNeedsASelection()
    {
        QStringList messages;
        SetInformationAnswerer([&](QWidget *, const QString &text) { messages << text; });
        TScanPropertiesFrm frm;
        frm.ScaleBegin = frm.SelectionLow = 7000000;
        frm.ScaleEnd = frm.SelectionHigh = 7200000;
        frm.ScanSelectedRangeChk->click();
        QVERIFY(!frm.ScanSelectedRangeChk->isChecked());
        QCOMPARE(messages, QStringList{"No range selected in the scale.\n\nTo select it drag the slider with mouse\n"
                                       "while holding down the Shift key."});
        QCOMPARE(frm.windowTitle(), QString("Scan Properties (whole scale)"));

        frm.SelectionLow = 7030000;
        frm.SelectionHigh = 7040000;
        frm.ScanSelectedRangeChk->setChecked(true); // as the SCAN key sets it
        QCOMPARE(messages.size(), 1);
        QCOMPARE(frm.windowTitle(), QString("Scan Properties (selected range)"));
        QCOMPARE(std::pair(frm.Settings().RangeFrom, frm.Settings().RangeTo), std::pair(7030000, 7040000));
        SetInformationAnswerer({});
    }
};

TARNWICK_TEST_CLASS(TestScanProperties)
#include "tst_scanproperties.moc"
