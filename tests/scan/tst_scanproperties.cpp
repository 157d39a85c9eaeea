// The scan properties dialog: the texts turned into numbers, the settings a
// scan takes from the controls, the selected-range box, Enter and Esc.

#include "base/MessageBoxes.h"
#include "common/TestEnvironment.h"
#include "scan/ScanProperties.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

class TestScanProperties : public QObject
{
    Q_OBJECT
private:
    QStringList messages;

private slots:
    void init()
    {
        messages.clear();
        SetInformationAnswerer([this](QWidget *, const QString &text) { messages << text; });
    }
    void cleanup() { SetInformationAnswerer({}); }

    void textsToNumbers()
    {
        const struct {
            const char *text;
            int ms;
        } dwells[] = {{"0.25", 250}, {"0.5", 500}, {"2", 2000}, {"120", 120000}, {"x", 0}, {"", 0},
                      {"-1", 0}};
        for (const auto &d : dwells)
            QCOMPARE(DwellFromText(d.text), d.ms);

        const struct {
            const char *item;
            const char *mode;
        } filters[] = {{"Any", ""}, {"Current only (CW)", "CW"}, {"Current only ()", ""},
                       {"Current only (FSK-R)", "FSK-R"}, {"a (b) (c)", "b"}, {"broken (", ""}};
        for (const auto &f : filters)
            QCOMPARE(ModeFilterFromItem(f.item), QString(f.mode));
    }

    void settingsComeFromTheChosenPage()
    {
        TScanPropertiesFrm frm;
        frm.ScaleBegin = 7000000;
        frm.ScaleEnd = 7200000;
        frm.SelectionLow = 7000000;
        frm.SelectionHigh = 7200000;
        TScanSettings s = frm.Settings();
        QCOMPARE(s.Kind, int(ScanKindRange));
        QCOMPARE(s.RangeFrom, 7000000);
        QCOMPARE(s.RangeTo, 7200000);
        QCOMPARE(s.Dwell, 500);
        QCOMPARE(s.Step, 100);
        QCOMPARE(s.WatchSquelch, int(WatchSquelchNone));

        frm.DwellOnFreqCBx->setCurrentText("0.25");
        frm.FreqStepCBx->setCurrentText("3000");
        frm.WatchSquelchCBx->setCurrentIndex(2);
        s = frm.Settings();
        QCOMPARE(s.Dwell, 250);
        QCOMPARE(s.Step, 3000);
        QCOMPARE(s.WatchSquelch, int(WatchSquelchStop));

        frm.PageControl1->setCurrentIndex(1);
        QCOMPARE(frm.Settings().Kind, int(ScanKindMarkers));
        QCOMPARE(frm.Settings().Dwell, 2000);
        frm.DwellOnFqMarkerCBx->setCurrentText("120");
        QCOMPARE(frm.Settings().Dwell, 120000);

        // The second mode item names the mode at the time of showing.
        frm.FormShow("CW");
        QCOMPARE(frm.ModeCBx->itemText(1), QString("Current only (CW)"));
        QCOMPARE(frm.Settings().ModeFilter, QString());
        frm.ModeCBx->setCurrentIndex(1);
        QCOMPARE(frm.Settings().ModeFilter, QString("CW"));
        frm.FormShow(""); // no mode key down: filters nothing, the choice stays
        QCOMPARE(frm.ModeCBx->currentIndex(), 1);
        QCOMPARE(frm.Settings().ModeFilter, QString());
    }

    void selectedRangeNeedsASelection()
    {
        TScanPropertiesFrm frm;
        frm.ScaleBegin = 7000000;
        frm.ScaleEnd = 7200000;
        frm.SelectionLow = 7000000;
        frm.SelectionHigh = 7200000;
        frm.ScanSelectedRangeChk->click();
        QVERIFY(!frm.ScanSelectedRangeChk->isChecked());
        QCOMPARE(messages, QStringList{"No range selected in the scale.\n\nTo select it drag the slider with mouse\n"
                                       "while holding down the Shift key."});
        QCOMPARE(frm.windowTitle(), QString("Scan Properties (whole scale)"));
        QCOMPARE(frm.Settings().RangeFrom, 7000000);

        frm.SelectionLow = 7030000;
        frm.SelectionHigh = 7040000;
        frm.ScanSelectedRangeChk->setChecked(true); // as the SCAN key sets it
        QCOMPARE(messages.size(), 1);
        QCOMPARE(frm.windowTitle(), QString("Scan Properties (selected range)"));
        QCOMPARE(frm.Settings().RangeFrom, 7030000);
        QCOMPARE(frm.Settings().RangeTo, 7040000);
    }

    void enterStartsEscCancels()
    {
        TScanPropertiesFrm frm;
        for (const auto &[key, result] : {std::pair{Qt::Key_Return, int(QDialog::Accepted)},
                                          std::pair{Qt::Key_Escape, int(QDialog::Rejected)}}) {
            QTimer::singleShot(0, &frm, [&frm, key = key] {
                QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &frm;
                QTest::keyClick(target, key);
            });
            QCOMPARE(frm.exec(), result);
        }
    }
};

TARNWICK_TEST_CLASS(TestScanProperties)
#include "tst_scanproperties.moc"
