// Tuning from the keyboard and the wheel, band changes with Page Up/Down, and
// typing a frequency into the digital display, on a real main window.

#include "MainWindowTestSupport.h"
#include "controls/Digits2.h"
#include "data/BandKeys.h"

#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <QWheelEvent>

namespace {

void turnWheel(QWidget *over, int delta)
{
    const QPointF at(over->width() / 2, over->height() / 2);
    QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(over, &wheel);
}

void tuneTo(MainWindowFixture &fx, qint32 f)
{
    fx.scale().SetFrequency(f);
    fx.scale().FinishAnimation();
}

} // namespace

class TestMainKeys : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::clearSettings(); }

    // Steps chosen so that each list gives its own: CW/LSB/USB "50 Hz",
    // AM/FM "1 kHz", WFM "5 kHz"; Shift 10 times, Ctrl+Shift 100 times.
    void arrowKeysStepByTheModesList()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        w.OptionsFrm->CwTuneStepCBx->setCurrentIndex(2);
        w.OptionsFrm->FmTuneStepCBx->setCurrentIndex(3);
        w.OptionsFrm->WfmTuneStepCbx->setCurrentIndex(2);
        const Qt::KeyboardModifiers none, shift(Qt::ShiftModifier), both(Qt::ControlModifier | Qt::ShiftModifier);
        const struct { const char *mode; Qt::Key key; Qt::KeyboardModifiers modifiers; int delta; } rows[] = {
            {"LSB", Qt::Key_Right, none, 50},      {"USB", Qt::Key_Right, shift, 500},
            {"CW", Qt::Key_Right, both, 5000},     {"CW-R", Qt::Key_Left, none, -50},
            {"AM", Qt::Key_Right, none, 1000},     {"AM", Qt::Key_Left, shift, -10000},
            {"FM", Qt::Key_Right, both, 100000},   {"WFM", Qt::Key_Right, none, 5000},
            {"WFM", Qt::Key_Left, both, -500000},  {"DIG", Qt::Key_Right, none, 50},
            {"PKT", Qt::Key_Right, shift, 500},    {"FSK", Qt::Key_Left, none, -50},
            {"FSK-R", Qt::Key_Right, none, 50},
        };
        for (const auto &row : rows) {
            tuneTo(fx, 3550000);
            for (QToolButton *key : std::as_const(w.ModeButtons))
                if (key->text() == QLatin1String(row.mode))
                    key->click();
            QTest::keyClick(&w, row.key, row.modifiers);
            QVERIFY2(fx.frequency() == 3550000 + row.delta, row.mode);
            QCOMPARE(fx.lastRequest(), QString("tune %1 key").arg(3550000 + row.delta));
        }
    }

    // Tuning never leaves the scale's limits; any key release ends key
    // tuning; keys of dialogs are not previewed; Ctrl+arrows jump markers.
    void keyTuningEdgesAndMarkerJumps()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        w.OptionsFrm->CwTuneStepCBx->setCurrentIndex(4);
        tuneTo(fx, 100);
        QTest::keyPress(&w, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(fx.lastRequest(), QString("tune 0 key"));
        QVERIFY(w.KeyTuning);
        QTest::keyRelease(&w, Qt::Key_A);
        QVERIFY(!w.KeyTuning);
        w.OptionsFrm->show();
        QTest::keyClick(w.OptionsFrm, Qt::Key_Right);
        QCOMPARE(fx.frequency(), 0);
        w.OptionsFrm->hide();

        tuneTo(fx, 3550000);
        fx.addMarker(3560000);
        fx.addMarker(3700000);
        QTest::keyClick(&w, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(fx.frequency(), 3560000);
        QCOMPARE(fx.lastRequest(), QString("marker 0"));
        QTest::keyClick(&w, Qt::Key_Left, Qt::ControlModifier); // wraps
        QCOMPARE(fx.frequency(), 3700000);
    }

    void wheelDoesWhatThePreferenceSays()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        w.WfmBtn->click();
        turnWheel(w.RadioScale, 120); // "Tune" by default; WFM "1 kHz"
        QCOMPARE(fx.lastRequest(), QString("tune 3551000 wheel"));
        turnWheel(w.StatusBarPnl, -240); // anywhere over the window
        QCOMPARE(fx.frequency(), 3549000);
        fx.held = Qt::ShiftModifier;
        turnWheel(w.RadioScale, 120);
        QCOMPARE(fx.frequency(), 3559000);
        fx.held = Qt::ShiftModifier | Qt::ControlModifier;
        turnWheel(w.RadioScale, -120);
        QCOMPARE(fx.frequency(), 3459000);

        tuneTo(fx, 3550000);
        fx.addMarker(3560000);
        fx.held = Qt::ControlModifier;
        turnWheel(w.RadioScale, 120);
        QCOMPARE(fx.requests.mid(fx.requests.size() - 2), QStringList({"marker 0", "tune 3560000 wheel"}));
        fx.held = Qt::NoModifier;

        w.OptionsFrm->MouseWheelCBx->setCurrentIndex(2); // "Zoom"
        turnWheel(w.RadioScale, 120);
        QCOMPARE(fx.scale().ScaleBegin(), 3520000);
        turnWheel(w.RadioScale, -120);
        QCOMPARE(fx.scale().ScaleBegin(), 3500000);
        w.OptionsFrm->MouseWheelCBx->setCurrentIndex(4); // "Scroll band horizontally"
        turnWheel(w.RadioScale, 120);
        QCOMPARE(fx.scale().ScaleBegin(), 3500000 + fx.scale().labelStep());
        w.OptionsFrm->MouseWheelCBx->setCurrentIndex(3); // "Change band"
        turnWheel(w.RadioScale, 120);
        QVERIFY(w.BandButtons.at(3)->isChecked());
        fx.held = Qt::ShiftModifier; // scrolls the marker rows instead
        turnWheel(w.RadioScale, -120);
        QVERIFY(w.BandButtons.at(3)->isChecked());
        w.OptionsFrm->MouseWheelCBx->setCurrentIndex(0); // "<Nothing>"
        const qint32 before = fx.frequency();
        turnWheel(w.RadioScale, 120);
        QCOMPARE(fx.frequency(), before);
    }

    // Page Up/Down walk the captioned band keys and, between two bands,
    // select the band above or below; with Shift they scroll the marker rows.
    void pageKeysChangeBand()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        for (int key : {int(Qt::Key_PageUp), int(Qt::Key_PageDown)}) {
            tuneTo(fx, 5000000); // between 3.5 and 7
            QTest::keyClick(&w, Qt::Key(key));
            QVERIFY(w.BandButtons.at(key == Qt::Key_PageUp ? 3 : 2)->isChecked());
        }
        tuneTo(fx, 200000); // below the first band nothing happens
        QTest::keyClick(&w, Qt::Key_PageDown);
        QCOMPARE(fx.frequency(), 200000);

        w.BandButtons.at(2)->click();
        QTest::keyClick(&w, Qt::Key_PageUp);
        QVERIFY(w.BandButtons.at(3)->isChecked());
        QTest::keyClick(&w, Qt::Key_PageDown);
        QVERIFY(w.BandButtons.at(2)->isChecked());
        w.BandButtons.at(13)->click(); // "430", the last key with a caption
        QTest::keyClick(&w, Qt::Key_PageUp);
        QVERIFY(w.BandButtons.at(13)->isChecked());
        QVERIFY(fx.questions.isEmpty()); // the empty key was never clicked
        w.BandButtons.at(0)->click();
        QTest::keyClick(&w, Qt::Key_PageDown);
        QVERIFY(w.BandButtons.at(0)->isChecked());

        w.BandButtons.at(2)->click();
        for (int i = 0; i < 12; ++i)
            fx.addMarker(3600000);
        QTest::keyClick(&w, Qt::Key_PageDown, Qt::ShiftModifier);
        QVERIFY(fx.scale().firstMarkerRow() > 0);
        QVERIFY(w.BandButtons.at(2)->isChecked()); // no band change
        QTest::keyClick(&w, Qt::Key_PageUp, Qt::ShiftModifier);
        QCOMPARE(fx.scale().firstMarkerRow(), 0);
    }

    void typedFrequencyEntry()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        QTest::keyClick(&w, Qt::Key_Space); // off-line the display is dark: no editing
        QVERIFY(!w.DigiScale->IsEditing());
        w.DigiScale->SetLit(true); // as while connected

        QTest::keyClick(&w, Qt::Key_Space); // the default keystroke
        QVERIFY(w.DigiScale->IsEditing());
        // Space now toggles the unit of the entry, a unit label picks one.
        QTest::keyClick(&w, Qt::Key_Space);
        QCOMPARE(w.GetFreqUnit(), 1);
        QTest::mouseClick(w.MhzLbl, Qt::LeftButton);
        QCOMPARE(w.GetFreqUnit(), 2);
        QTest::mouseClick(w.kHzLbl, Qt::LeftButton);
        QCOMPARE(w.GetFreqUnit(), 1);
        QTest::mouseClick(w.MhzLbl, Qt::LeftButton);
        w.UsbBtn->click(); // a mode key ends the entry unused
        QVERIFY(!w.DigiScale->IsEditing());
        QTest::keyClick(&w, Qt::Key_Space);
        QTest::keyClick(&w, Qt::Key_Space); // editing again, in kHz
        QCOMPARE(w.GetFreqUnit(), 1);

        // Digits and arrows go to the display, not to tuning.
        fx.requests.clear();
        QTest::keyClicks(&w, "7031");
        QTest::keyClick(&w, Qt::Key_Left);
        QTest::keyClicks(&w, "0.5");
        QVERIFY(fx.requests.isEmpty());
        QTest::keyClick(&w, Qt::Key_Return);
        QCOMPARE(fx.frequency(), 7030500);
        QCOMPARE(fx.lastRequest(), QString("tune 7030500 entry"));
        QVERIFY(w.GraphBtn->isChecked());

        w.SetFreqUnit(1);
        QTest::mouseClick(w.MhzLbl, Qt::LeftButton); // not editing: ignored
        QCOMPARE(w.GetFreqUnit(), 1);
    }

    // "Error Lo"/"Error Hi" holds the display for the whole pause, also
    // against the poll's refreshes, and nothing is tuned.
    void badEntryHoldsItsErrorThroughThePause()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        w.DigiErrorPauseMs = 100;
        w.OptionsFrm->DigiScaleKeystrokeCBx->setCurrentIndex(5); // "Ctrl+F"
        w.DigiScale->SetLit(true);
        QTest::keyClick(&w, Qt::Key_F);
        QVERIFY(!w.DigiScale->IsEditing());
        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w.DigiScale->IsEditing());
        w.SetFreqUnit(2);
        QTest::keyClicks(&w, "600.");
        fx.requests.clear();
        QString duringPause;
        QTimer::singleShot(10, &w, [&] {
            w.UpdateDigiDisplay();
            duringPause = w.DigiScale->AsString();
        });
        QTest::keyClick(&w, Qt::Key_Return);
        QCOMPARE(duringPause, QString("Error Hi"));
        QCOMPARE(w.DigiScale->AsString(), QString("Error Hi"));
        QCOMPARE(fx.frequency(), 3550000);
        QVERIFY(fx.requests.isEmpty());
        w.UpdateDigiDisplay(); // after the pause the next update replaces it
        QCOMPARE(w.DigiScale->AsString(), QString()); // dark off-line
    }
};

TARNWICK_TEST_CLASS(TestMainKeys)
#include "tst_mainkeys.moc"
