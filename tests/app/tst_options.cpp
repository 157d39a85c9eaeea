#include "app/Options.h"
#include "base/Settings.h"
#include "base/Widgets.h"
#include "common/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

class TestOptions : public QObject
{
    Q_OBJECT
private slots:
    void firstRunDefaults()
    {
        TOptionsFrm options;
        QCOMPARE(options.windowTitle(), QString("Options"));
        QCOMPARE(options.PageControl->count(), 7);
        const QStringList pages = {"On Connect", "Keyboard Tuning", "Mouse", "Frequency Markers",
                                   "Zov Server", "Zov Clients", "Miscellaneous"};
        for (int i = 0; i < pages.size(); ++i)
            QCOMPARE(options.PageControl->tabText(i), pages.at(i));
        QCOMPARE(options.PageControl->currentIndex(), 0);

        QCOMPARE(options.CwTuneStep(), 10);
        QCOMPARE(options.FmTuneStep(), 100);
        QCOMPARE(options.WfmTuneStep(), 1000);
        QCOMPARE(options.DigiScaleKeystrokeCBx->currentText(), QString("Space"));
        QCOMPARE(options.SliderDblClkCBx->currentText(), QString("Zoom in"));
        QCOMPARE(options.ScaleDblClkCBx->currentText(), QString("Zoom out"));
        QCOMPARE(options.MouseWheelCBx->currentText(), QString("Tune"));
        QCOMPARE(options.InitSynchronRdo->ItemIndex(), 0);
        QCOMPARE(options.HeronpostRdo->ItemIndex(), 0);
        QCOMPARE(options.LinkmoorRdo->ItemIndex(), 0);
        QVERIFY(options.PreferUpperCaseChk->isChecked());
        QCOMPARE(options.IpAddressCBx->currentText(), QString("127.0.0.1"));
        QCOMPARE(options.PortCBx->currentText(), QString("7388"));
        QCOMPARE(options.Port2CBx->currentText(), QString("7389"));
        QCOMPARE(options.Port3CBx->currentText(), QString("7390"));
        QVERIFY(options.SpectrographAutomaticallyChk->isChecked());
        QVERIFY(options.RestartSpectrographChk->isChecked());
        QVERIFY(!options.DontAnimateScaleChk->isChecked());
        QVERIFY(options.ShowHintMouseHoverChk->isChecked());
        QVERIFY(options.ShowHintMarkerSelectedChk->isChecked());
        QVERIFY(!options.ShowAlwaysKhzChk->isChecked());
        QCOMPARE(options.SliderDblClkCBx->itemText(0), QString("<Nohing>"));
        QCOMPARE(options.StoredControls().size(), 24);
    }

    void stepsAndTheirLabels()
    {
        QCOMPARE(TuneStepText(10), QString("10 Hz"));
        QCOMPARE(TuneStepText(999), QString("999 Hz"));
        QCOMPARE(TuneStepText(1000), QString("1 kHz"));
        QCOMPARE(TuneStepText(20500), QString("20 kHz"));
        QCOMPARE(TuneStepText(2000000), QString("2 MHz"));

        TOptionsFrm options;
        const int cw[] = {10, 20, 50, 100, 200};
        const int fm[] = {100, 200, 500, 1000, 2000};
        const int wfm[] = {1000, 2000, 5000, 10000, 20000};
        for (int i = 0; i < 5; ++i) {
            options.CwTuneStepCBx->setCurrentIndex(i);
            options.FmTuneStepCBx->setCurrentIndex(i);
            options.WfmTuneStepCbx->setCurrentIndex(i);
            QCOMPARE(options.CwTuneStep(), cw[i]);
            QCOMPARE(options.FmTuneStep(), fm[i]);
            QCOMPARE(options.WfmTuneStep(), wfm[i]);
        }
        options.CwTuneStepCBx->setCurrentIndex(4);
        QCOMPARE(options.FastCwTuneLbl->text(), QString("2 kHz"));
        QCOMPARE(options.VyFastCwTuneLbl->text(), QString("20 kHz"));
        options.FmTuneStepCBx->setCurrentIndex(2);
        QCOMPARE(options.FastFmTuneLbl->text(), QString("5 kHz"));
        options.WfmTuneStepCbx->setCurrentIndex(4);
        QCOMPARE(options.VyFastWfmTuneLbl->text(), QString("2 MHz"));
        options.CwTuneStepCBx->setCurrentIndex(1);
        QCOMPARE(options.FastCwTuneLbl->text(), QString("200 Hz"));
    }

    void keystrokeNeedsTheExactModifiers()
    {
        QVERIFY(DigiScaleKeystrokeMatches(1, Qt::Key_Space, Qt::NoModifier));
        QVERIFY(!DigiScaleKeystrokeMatches(1, Qt::Key_Space, Qt::ShiftModifier));
        QVERIFY(DigiScaleKeystrokeMatches(2, Qt::Key_Space, Qt::ControlModifier));
        QVERIFY(!DigiScaleKeystrokeMatches(2, Qt::Key_Space, Qt::NoModifier));
        QVERIFY(!DigiScaleKeystrokeMatches(2, Qt::Key_Space, Qt::ControlModifier | Qt::ShiftModifier));
        QVERIFY(DigiScaleKeystrokeMatches(3, Qt::Key_Return, Qt::NoModifier));
        QVERIFY(DigiScaleKeystrokeMatches(3, Qt::Key_Enter, Qt::KeypadModifier));
        QVERIFY(!DigiScaleKeystrokeMatches(3, Qt::Key_Return, Qt::AltModifier));
        QVERIFY(DigiScaleKeystrokeMatches(4, Qt::Key_Return, Qt::ControlModifier));
        QVERIFY(!DigiScaleKeystrokeMatches(4, Qt::Key_Return, Qt::NoModifier));
        QVERIFY(DigiScaleKeystrokeMatches(5, Qt::Key_F, Qt::ControlModifier));
        QVERIFY(!DigiScaleKeystrokeMatches(5, Qt::Key_F, Qt::NoModifier));
        QVERIFY(!DigiScaleKeystrokeMatches(5, Qt::Key_G, Qt::ControlModifier));
        for (int key : {int(Qt::Key_Space), int(Qt::Key_Return), int(Qt::Key_F)})
            QVERIFY(!DigiScaleKeystrokeMatches(0, key, Qt::NoModifier));

        TOptionsFrm options;
        options.DigiScaleKeystrokeCBx->setCurrentIndex(2);
        QVERIFY(options.IsDigiScaleKeystroke(Qt::Key_Space, Qt::ControlModifier));
        QVERIFY(!options.IsDigiScaleKeystroke(Qt::Key_Space, Qt::NoModifier));
    }

    void wheelHelpText()
    {
        TOptionsFrm options;
        QCOMPARE(options.MouseWheelTxt->text(),
                 QString("Shift+ : Tune 10x faster\nCtrl+Shift+ : Tune 100x faster\nCtrl+ : Jump to frequency marker"));
        options.MouseWheelCBx->setCurrentIndex(3);
        QCOMPARE(options.MouseWheelTxt->text(), QString("Shift+\nScroll vertically list of fq markers"));
        options.MouseWheelCBx->setCurrentIndex(2);
        QCOMPARE(options.MouseWheelTxt->text(), QString());
    }

    void cancelRestoresOkSaves()
    {
        TOptionsFrm options;
        options.show();
        options.CwTuneStepCBx->setCurrentIndex(3);
        options.PortCBx->setCurrentText("9000");
        options.ShowHintMouseHoverChk->setChecked(false);
        options.done(QDialog::Rejected);
        QCOMPARE(options.CwTuneStepCBx->currentIndex(), 0);
        QCOMPARE(options.PortCBx->currentText(), QString("7388"));
        QVERIFY(options.ShowHintMouseHoverChk->isChecked());
        QCOMPARE(options.FastCwTuneLbl->text(), QString("100 Hz"));
        QVERIFY(!SettingExists("CwTuneStepCBx"));

        options.show();
        options.CwTuneStepCBx->setCurrentIndex(2);
        options.PortCBx->setCurrentText("9000");
        options.HeronpostRdo->SetItemIndex(2);
        options.ShowHintMouseHoverChk->setChecked(false);
        options.done(QDialog::Accepted);
        QCOMPARE(ReadSetting("CwTuneStepCBx"), QString("2"));
        QCOMPARE(ReadSetting("PortCBx"), QString("9000"));
        QCOMPARE(ReadSetting("HeronpostRdo"), QString("2"));
        QCOMPARE(ReadSetting("DigiScaleKeystrokeCBx"), QString("1"));
        QVERIFY(!SettingExists("ShowHintMouseHoverChk"));
        QVERIFY(!options.ShowHintMouseHoverChk->isChecked()); // applies until exit

        options.show();
        options.CwTuneStepCBx->setCurrentIndex(4);
        options.HeronpostRdo->SetItemIndex(1);
        options.done(QDialog::Rejected);
        QCOMPARE(options.CwTuneStepCBx->currentIndex(), 2);
        QCOMPARE(options.HeronpostRdo->ItemIndex(), 2);

        TOptionsFrm restarted; // the next run reads what Ok saved
        QCOMPARE(restarted.CwTuneStepCBx->currentIndex(), 2);
        QCOMPARE(restarted.PortCBx->currentText(), QString("9000"));
        QCOMPARE(restarted.HeronpostRdo->ItemIndex(), 2);
        QVERIFY(restarted.ShowHintMouseHoverChk->isChecked());
    }
};

TARNWICK_TEST_CLASS(TestOptions)
#include "tst_options.moc"
