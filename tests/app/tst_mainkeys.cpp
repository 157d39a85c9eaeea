// Tuning from the keyboard and the wheel, band changes with Page Up/Down,
// and typing a frequency into the digital display, on a real main window.

#include "MainWindowTestSupport.h"
#include "common/TestEnvironment.h"
#include "controls/Digits2.h"
#include "data/BandKeys.h"

#include "base/Widgets.h"

#include <QLabel>
#include <QToolButton>
#include <QWheelEvent>

namespace {

void turnWheel(QWidget *over, int delta)
{
    const QPointF at(over->width() / 2, over->height() / 2);
    QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(over, &wheel);
}

// Markers owned by the test; the scale's list only refers to them.
struct Markers
{
    TRadioScale &scale;
    TFqMarker a, b;
    Markers(TRadioScale &owner, qint32 fa, qint32 fb)
        : scale(owner)
    {
        a.Frequency = fa;
        a.Caption = "ALPHA";
        a.Mode = "USB";
        b.Frequency = fb;
        b.Caption = "BRAVO";
        b.Mode = "CW";
        scale.AddMarker(&a, true);
        scale.AddMarker(&b, true);
    }
    ~Markers() { scale.Markers.clear(); }
};

} // namespace

class TestMainKeys : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::clearSettings(); }

    void arrowKeysTuneByTheStepOfTheModeTimesTheModifiers()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        w.UsbBtn->click();
        w.OptionsFrm->CwTuneStepCBx->setCurrentIndex(2); // "50 Hz"
        QCOMPARE(fx.frequency(), 3550000);

        QTest::keyClick(&w, Qt::Key_Right);
        QCOMPARE(fx.frequency(), 3550050);
        QCOMPARE(fx.lastRequest(), QString("tune 3550050 key"));
        QTest::keyClick(&w, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(fx.frequency(), 3550550);
        QTest::keyClick(&w, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(fx.frequency(), 3555550);
        QTest::keyClick(&w, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(fx.frequency(), 3555050);

        w.OptionsFrm->CwTuneStepCBx->setCurrentIndex(4); // "200 Hz"
        QTest::keyClick(&w, Qt::Key_Left);
        QCOMPARE(fx.frequency(), 3554850);

        // FM and AM take their own list, WFM its own.
        w.OptionsFrm->FmTuneStepCBx->setCurrentIndex(3); // "1 kHz"
        w.FmBtn->click();
        QTest::keyClick(&w, Qt::Key_Right);
        QCOMPARE(fx.frequency(), 3555850);
        w.OptionsFrm->WfmTuneStepCbx->setCurrentIndex(2); // "5 kHz"
        w.WfmBtn->click();
        QTest::keyClick(&w, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(fx.frequency(), 3505850);
        QCOMPARE(fx.lastRequest(), QString("tune 3505850 key"));
    }

    void keyTuningIsSetWhileTheArrowIsDownOnly()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        QVERIFY(!w.KeyTuning);
        QTest::keyPress(&w, Qt::Key_Right);
        QVERIFY(w.KeyTuning);
        QTest::keyRelease(&w, Qt::Key_Right);
        QVERIFY(!w.KeyTuning);
        // Any release clears it.
        QTest::keyPress(&w, Qt::Key_Left);
        QTest::keyRelease(&w, Qt::Key_A);
        QVERIFY(!w.KeyTuning);
    }

    void tuningNeverLeavesTheScaleLimits()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        w.OptionsFrm->CwTuneStepCBx->setCurrentIndex(4);
        fx.scale().SetFrequency(100);
        QTest::keyClick(&w, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(fx.frequency(), 0);
        QCOMPARE(fx.lastRequest(), QString("tune 0 key"));
    }

    void ctrlArrowsJumpFromMarkerToMarker()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        Markers markers(fx.scale(), 3560000, 3700000);
        QTest::keyClick(&w, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(fx.frequency(), 3560000);
        QCOMPARE(fx.lastRequest(), QString("marker 0"));
        QCOMPARE(w.CurrentMode(), QString("USB")); // the marker's mode
        QTest::keyClick(&w, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(fx.frequency(), 3700000);
        QCOMPARE(w.CurrentMode(), QString("CW"));
        QTest::keyClick(&w, Qt::Key_Right, Qt::ControlModifier); // wraps
        QCOMPARE(fx.frequency(), 3560000);
        QTest::keyClick(&w, Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(fx.frequency(), 3700000);
        QCOMPARE(fx.lastRequest(), QString("marker 1"));
    }

    void wheelTunesJumpsZoomsChangesBandAndScrolls()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        QCOMPARE(w.OptionsFrm->MouseWheelCBx->currentIndex(), 1); // "Tune" by default
        w.WfmBtn->click();
        w.OptionsFrm->WfmTuneStepCbx->setCurrentIndex(0); // "1 kHz"
        turnWheel(w.RadioScale, 120);
        QCOMPARE(fx.frequency(), 3551000);
        QCOMPARE(fx.lastRequest(), QString("tune 3551000 wheel"));
        turnWheel(w.StatusBarPnl, -240); // anywhere over the window
        QCOMPARE(fx.frequency(), 3549000);
        fx.held = Qt::ShiftModifier;
        turnWheel(w.RadioScale, 120);
        QCOMPARE(fx.frequency(), 3559000);
        fx.held = Qt::ShiftModifier | Qt::ControlModifier;
        turnWheel(w.RadioScale, -120);
        QCOMPARE(fx.frequency(), 3459000);

        fx.scale().SetFrequency(3550000); // back into the 3.5 band
        fx.scale().FinishAnimation();
        fx.held = Qt::ControlModifier;
        Markers markers(fx.scale(), 3560000, 3700000);
        turnWheel(w.RadioScale, 120);
        QCOMPARE(fx.frequency(), 3560000);
        QVERIFY(fx.requests.contains("marker 0"));
        QCOMPARE(fx.lastRequest(), QString("tune 3560000 wheel"));
        fx.held = Qt::NoModifier;

        w.OptionsFrm->MouseWheelCBx->setCurrentIndex(2); // "Zoom"
        turnWheel(w.RadioScale, 120);
        QVERIFY(fx.scale().CanZoomOut());
        QVERIFY(fx.scale().ScaleEnd() - fx.scale().ScaleBegin() < 300000);
        turnWheel(w.RadioScale, -120);
        QCOMPARE(fx.scale().ScaleBegin(), 3500000);
        QCOMPARE(fx.scale().ScaleEnd(), 3800000);

        w.OptionsFrm->MouseWheelCBx->setCurrentIndex(4); // "Scroll band horizontally"
        const qint32 begin = fx.scale().ScaleBegin();
        turnWheel(w.RadioScale, 120);
        QCOMPARE(fx.scale().ScaleBegin(), begin + fx.scale().labelStep());
        turnWheel(w.RadioScale, -120);
        QCOMPARE(fx.scale().ScaleBegin(), begin);

        w.OptionsFrm->MouseWheelCBx->setCurrentIndex(3); // "Change band"
        turnWheel(w.RadioScale, 120);
        QVERIFY(w.BandButtons.at(3)->isChecked()); // 3.5 -> 7
        QCOMPARE(fx.frequency(), 7030000);
        turnWheel(w.RadioScale, -120);
        QVERIFY(w.BandButtons.at(2)->isChecked());

        w.OptionsFrm->MouseWheelCBx->setCurrentIndex(0); // "<Nothing>"
        const qint32 before = fx.frequency();
        turnWheel(w.RadioScale, 120);
        QCOMPARE(fx.frequency(), before);
    }

    void pageKeysChangeBandAlongTheCaptionedKeys()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        QVERIFY(w.BandButtons.at(2)->isChecked()); // 3.5 at 3550000
        QTest::keyClick(&w, Qt::Key_PageUp);
        QVERIFY(w.BandButtons.at(3)->isChecked());
        QCOMPARE(fx.frequency(), 7030000);
        QCOMPARE(w.CurrentMode(), QString("CW"));
        QTest::keyClick(&w, Qt::Key_PageDown);
        QVERIFY(w.BandButtons.at(2)->isChecked());
        QCOMPARE(fx.frequency(), 3550000);

        // 430 is the last key with a caption: Page Up does nothing there.
        w.BandButtons.at(13)->click();
        QCOMPARE(w.BandButtons.at(13)->text(), QString("430"));
        QVERIFY(w.BandButtons.at(14)->text().isEmpty());
        const qint32 f = fx.frequency();
        QTest::keyClick(&w, Qt::Key_PageUp);
        QVERIFY(w.BandButtons.at(13)->isChecked());
        QCOMPARE(fx.frequency(), f);
        QVERIFY(fx.questions.isEmpty()); // the empty key was never clicked

        // MW is the first key: Page Down does nothing there.
        w.BandButtons.at(0)->click();
        QTest::keyClick(&w, Qt::Key_PageDown);
        QVERIFY(w.BandButtons.at(0)->isChecked());
    }

    void pageKeysInAGapSelectTheBandAboveOrBelow()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        fx.scale().SetFrequency(5000000); // between 3.5 and 7
        fx.scale().FinishAnimation();
        QCOMPARE(w.BandKeys->PressedButton(), -1);
        fx.requests.clear();
        QTest::keyClick(&w, Qt::Key_PageUp);
        QVERIFY(w.BandButtons.at(3)->isChecked());
        QCOMPARE(fx.frequency(), 7030000);
        QCOMPARE(fx.scale().ScaleBegin(), 7000000);
        QCOMPARE(fx.scale().ScaleEnd(), 7200000);

        fx.scale().SetFrequency(5000000);
        fx.scale().FinishAnimation();
        QTest::keyClick(&w, Qt::Key_PageDown);
        QVERIFY(w.BandButtons.at(2)->isChecked());
        QCOMPARE(fx.frequency(), 3550000);

        // Below the first band nothing happens.
        fx.scale().SetFrequency(200000);
        fx.scale().FinishAnimation();
        QCOMPARE(w.BandKeys->PressedButton(), -1);
        QTest::keyClick(&w, Qt::Key_PageDown);
        QCOMPARE(fx.frequency(), 200000);
        QCOMPARE(w.BandKeys->PressedButton(), -1);
    }

    void shiftPageKeysScrollTheMarkerRows()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        // Enough markers at one place to need more rows than are shown.
        std::vector<std::unique_ptr<TFqMarker>> markers;
        for (int i = 0; i < 12; ++i) {
            auto m = std::make_unique<TFqMarker>();
            m->Frequency = 3600000;
            m->Caption = QString("M%1").arg(i);
            fx.scale().AddMarker(m.get(), true);
            markers.push_back(std::move(m));
        }
        w.repaint();
        QVERIFY(fx.scale().moreBelow());
        QTest::keyClick(&w, Qt::Key_PageDown, Qt::ShiftModifier);
        QVERIFY(fx.scale().firstMarkerRow() > 0);
        QVERIFY(w.BandButtons.at(2)->isChecked()); // no band change
        QTest::keyClick(&w, Qt::Key_PageUp, Qt::ShiftModifier);
        QCOMPARE(fx.scale().firstMarkerRow(), 0);
        fx.scale().Markers.clear();
    }

    void typedFrequencyEntry()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        w.OptionsFrm->DigiScaleKeystrokeCBx->setCurrentIndex(1); // "Space"
        // Off-line the display is dark and cannot be edited.
        QTest::keyClick(&w, Qt::Key_Space);
        QVERIFY(!w.DigiScale->IsEditing());
        w.DigiScale->SetLit(true); // as while connected

        QTest::keyClick(&w, Qt::Key_Space);
        QVERIFY(w.DigiScale->IsEditing());
        QCOMPARE(w.DigiScale->cursorCell(), 0);
        // Space now toggles the unit of the entry instead of starting again.
        QTest::keyClick(&w, Qt::Key_Space);
        QCOMPARE(w.GetFreqUnit(), 1);
        QTest::keyClick(&w, Qt::Key_Space);
        QCOMPARE(w.GetFreqUnit(), 2);
        QTest::keyClick(&w, Qt::Key_Space);
        QCOMPARE(w.GetFreqUnit(), 1);
        // A click on a unit label picks that unit while editing.
        QTest::mouseClick(w.MhzLbl, Qt::LeftButton);
        QCOMPARE(w.GetFreqUnit(), 2);
        QTest::mouseClick(w.kHzLbl, Qt::LeftButton);
        QCOMPARE(w.GetFreqUnit(), 1);

        // Digits and arrows go to the display, not to tuning.
        fx.requests.clear();
        QTest::keyClicks(&w, "7031");
        QTest::keyClick(&w, Qt::Key_Left);
        QTest::keyClick(&w, Qt::Key_0);
        QTest::keyClick(&w, Qt::Key_Period);
        QTest::keyClick(&w, Qt::Key_5);
        QCOMPARE(fx.frequency(), 3550000);
        QVERIFY(fx.requests.isEmpty());
        QTest::keyClick(&w, Qt::Key_Return);
        QVERIFY(!w.DigiScale->IsEditing());
        QCOMPARE(fx.frequency(), 7030500);
        QCOMPARE(fx.lastRequest(), QString("tune 7030500 entry"));
        QVERIFY(w.GraphBtn->isChecked());
        QVERIFY(w.BandButtons.at(3)->isChecked()); // the scale changed band by itself

        // Not editing: the labels ignore clicks.
        w.SetFreqUnit(1);
        QTest::mouseClick(w.MhzLbl, Qt::LeftButton);
        QCOMPARE(w.GetFreqUnit(), 1);
    }

    void badEntriesShowAnErrorAndDoNotTune()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        w.OptionsFrm->DigiScaleKeystrokeCBx->setCurrentIndex(5); // "Ctrl+F"
        w.DigiScale->SetLit(true);
        QTest::keyClick(&w, Qt::Key_F);
        QVERIFY(!w.DigiScale->IsEditing());
        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w.DigiScale->IsEditing());
        w.SetFreqUnit(1);
        QTest::keyClicks(&w, "50.");
        fx.requests.clear();
        QTest::keyClick(&w, Qt::Key_Return);
        QCOMPARE(w.DigiScale->AsString(), QString("Error Lo"));
        QCOMPARE(fx.frequency(), 3550000);
        QVERIFY(fx.requests.isEmpty());

        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w.DigiScale->IsEditing());
        w.SetFreqUnit(2);
        QTest::keyClicks(&w, "600.");
        QTest::keyClick(&w, Qt::Key_Return);
        QCOMPARE(w.DigiScale->AsString(), QString("Error Hi"));
        QCOMPARE(fx.frequency(), 3550000);
        QVERIFY(fx.requests.isEmpty());

        // Esc gives up the entry without an error.
        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(&w, "14");
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.DigiScale->IsEditing());
        QCOMPARE(w.DigiScale->AsString(), QString("Error Hi"));
        QCOMPARE(fx.frequency(), 3550000);
    }

    void keysOfDialogsAreNotPreviewed()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        w.OptionsFrm->show();
        QTest::keyClick(w.OptionsFrm, Qt::Key_Right);
        QCOMPARE(fx.frequency(), 3550000);
        w.OptionsFrm->hide();
    }
};

TARNWICK_TEST_CLASS(TestMainKeys)
#include "tst_mainkeys.moc"
