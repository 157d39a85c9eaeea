#include "app/Options.h"
#include "base/Settings.h"
#include "base/Widgets.h"
#include "common/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

class TestOptions : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::clearSettings(); }

    void stepsOfEveryItemAndTheirLabels()
    {
        TOptionsFrm options;
        const QList<int> steps[3] = {{10, 20, 50, 100, 200}, {100, 200, 500, 1000, 2000},
                                     {1000, 2000, 5000, 10000, 20000}};
        for (int i = 0; i < 5; ++i) {
            options.CwTuneStepCBx->setCurrentIndex(i);
            options.FmTuneStepCBx->setCurrentIndex(i);
            options.WfmTuneStepCbx->setCurrentIndex(i);
            QCOMPARE(QList<int>({options.CwTuneStep(), options.FmTuneStep(), options.WfmTuneStep()}),
                     QList<int>({steps[0][i], steps[1][i], steps[2][i]}));
        }
        const QStringList labels = {options.FastCwTuneLbl->text(), options.VyFastCwTuneLbl->text(),
                                    options.FastFmTuneLbl->text(), options.VyFastFmTuneLbl->text(),
                                    options.FastWfmTuneLbl->text(), options.VyFastWfmTuneLbl->text()};
        QCOMPARE(labels, QStringList({"2 kHz", "20 kHz", "20 kHz", "200 kHz", "200 kHz", "2 MHz"}));
        QCOMPARE(TuneStepText(999), QString("999 Hz"));
        QCOMPARE(TuneStepText(1000), QString("1 kHz"));
        QCOMPARE(TuneStepText(20500), QString("20 kHz"));
    }

    void keystrokeNeedsTheExactModifiers_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("matches");
        const int ctrl = Qt::ControlModifier;
        QTest::newRow("Space") << 1 << int(Qt::Key_Space) << 0 << true;
        QTest::newRow("Space with Shift") << 1 << int(Qt::Key_Space) << int(Qt::ShiftModifier) << false;
        QTest::newRow("Ctrl+Space") << 2 << int(Qt::Key_Space) << ctrl << true;
        QTest::newRow("Ctrl+Space without Ctrl") << 2 << int(Qt::Key_Space) << 0 << false;
        QTest::newRow("Ctrl+Shift is not Ctrl") << 2 << int(Qt::Key_Space) << int(ctrl | Qt::ShiftModifier) << false;
        QTest::newRow("Enter") << 3 << int(Qt::Key_Return) << 0 << true;
        QTest::newRow("keypad Enter") << 3 << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true;
        QTest::newRow("Alt+Enter") << 3 << int(Qt::Key_Return) << int(Qt::AltModifier) << false;
        QTest::newRow("Ctrl+Enter") << 4 << int(Qt::Key_Return) << ctrl << true;
        QTest::newRow("Ctrl+Enter without Ctrl") << 4 << int(Qt::Key_Return) << 0 << false;
        QTest::newRow("Ctrl+F") << 5 << int(Qt::Key_F) << ctrl << true;
        QTest::newRow("F alone") << 5 << int(Qt::Key_F) << 0 << false;
        QTest::newRow("Ctrl+G") << 5 << int(Qt::Key_G) << ctrl << false;
        QTest::newRow("<None>") << 0 << int(Qt::Key_Space) << 0 << false;
    }
    void keystrokeNeedsTheExactModifiers()
    {
        QFETCH(int, item);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, matches);
        QCOMPARE(DigiScaleKeystrokeMatches(item, key, Qt::KeyboardModifiers(modifiers)), matches);
    }

    void cancelRestoresOkSaves()
    {
        TOptionsFrm options;
        options.show();
        options.CwTuneStepCBx->setCurrentIndex(3);
        options.PortCBx->setCurrentText("9000");
        options.ShowHintMouseHoverChk->setChecked(false);
        options.done(QDialog::Rejected); // never saved: back to the defaults
        QCOMPARE(options.CwTuneStepCBx->currentIndex(), 0);
        QCOMPARE(options.PortCBx->currentText(), QString("7388"));
        QVERIFY(options.ShowHintMouseHoverChk->isChecked());
        QCOMPARE(options.FastCwTuneLbl->text(), QString("100 Hz"));

        options.show();
        options.CwTuneStepCBx->setCurrentIndex(2);
        options.HeronpostRdo->SetItemIndex(2);
        options.ShowAlwaysKhzChk->setChecked(true);
        options.ShowHintMouseHoverChk->setChecked(false);
        options.done(QDialog::Accepted);
        QCOMPARE(ReadSetting("DigiScaleKeystrokeCBx"), QString("1"));
        QVERIFY(!SettingExists("ShowHintMouseHoverChk"));
        QVERIFY(!options.ShowHintMouseHoverChk->isChecked()); // applies until exit

        options.show();
        options.CwTuneStepCBx->setCurrentIndex(4);
        options.ShowHintMouseHoverChk->setChecked(true);
        options.done(QDialog::Rejected); // back to what Ok saved, the hint to what it was
        QCOMPARE(options.CwTuneStepCBx->currentIndex(), 2);
        QVERIFY(!options.ShowHintMouseHoverChk->isChecked());

        TOptionsFrm restarted; // the next run reads what Ok saved
        QCOMPARE(restarted.CwTuneStepCBx->currentIndex(), 2);
        QCOMPARE(restarted.HeronpostRdo->ItemIndex(), 2);
        QVERIFY(restarted.ShowAlwaysKhzChk->isChecked());
        QVERIFY(restarted.ShowHintMouseHoverChk->isChecked());
    }

};

TARNWICK_TEST_CLASS(TestOptions)
#include "tst_options.moc"
