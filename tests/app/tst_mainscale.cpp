// The scale, the band keys and the mode segments inside the real main window:
// first activation, band switching, the scale's events reaching the radio
// requests, the scale popup, the tool-bar keys and the preferences.

#include "MainWindowTestSupport.h"
#include "base/Settings.h"
#include "base/Widgets.h"
#include "cat/CatEngine.h"
#include "common/TestEnvironment.h"
#include "controls/Digits2.h"
#include "controls/ScaleTestSupport.h"
#include "controls/ZoomTo.h"
#include "data/BandKeys.h"
#include "data/ModesDialog.h"

#include <QAction>
#include <thread>
#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace {

void sendRightPress(QWidget &w, int x, int y)
{
    sendMouse(w, QEvent::MouseButtonPress, x, y, Qt::RightButton, Qt::RightButton);
}

QPoint flagCentre(const TFqMarker &marker)
{
    const TEdgeRect &r = marker.HitRect;
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

int middleY(const TRadioScale &scale)
{
    return scale.height() / 2;
}

} // namespace

class TestMainScale : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::clearSettings(); }

    void firstActivationRestoresFrequencyModeAndBandKey()
    {
        WriteSetting("LastFreq", "7100000");
        WriteSetting("LastMode", "USB");
        {
            MainWindowFixture fx;
            fx.create();
            TTarnwickFrm &w = *fx.window;
            QVERIFY(w.BandButtons.at(3)->isChecked()); // "7"
            QCOMPARE(w.BandButtons.at(3)->text(), QString("7"));
            QCOMPARE(fx.frequency(), 7100000); // not the band's initial 7030000
            QCOMPARE(fx.scale().ScaleBegin(), 7000000);
            QCOMPARE(fx.scale().ScaleEnd(), 7200000);
            QVERIFY(w.UsbBtn->isChecked());
            QVERIFY(fx.scale().SliderVisible());
            QVERIFY(!fx.scale().CanZoomOut());

            fx.scale().SetFrequency(7120000);
            w.close();
        }
        QCOMPARE(ReadSetting("LastFreq"), QString("7120000"));
        QCOMPARE(ReadSetting("LastMode"), QString("USB"));

        // A frequency between bands presses no key.
        WriteSetting("LastFreq", "5000000");
        MainWindowFixture fx;
        fx.create();
        QCOMPARE(fx.window->BandKeys->PressedButton(), -1);
        QCOMPARE(fx.frequency(), 5000000);
    }

    void scaleOptionsFollowThePreferences()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        QVERIFY(!fx.scale().AnimateScale()); // the fixture ticks "Don't animate"
        w.OptionsFrm->DontAnimateScaleChk->setChecked(false);
        w.OptionsFrm->ShowHintMouseHoverChk->setChecked(false);
        w.OptionsFrm->ShowHintMarkerSelectedChk->setChecked(true);
        emit w.PreferencesApplied();
        QVERIFY(fx.scale().AnimateScale());
        QVERIFY(!fx.scale().ShowHintMouseHoover());
        QVERIFY(fx.scale().ShowHintMarkerSelected());
        w.OptionsFrm->ShowHintMarkerSelectedChk->setChecked(false);
        emit w.PreferencesApplied();
        QVERIFY(!fx.scale().ShowHintMarkerSelected());
    }

    void switchingBandsAndBackReturnsToTheLastFrequencyAndMode()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        w.OptionsFrm->CwTuneStepCBx->setCurrentIndex(2); // 50 Hz
        w.UsbBtn->click();
        QTest::keyClick(&w, Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClick(&w, Qt::Key_Right);
        QCOMPARE(fx.frequency(), 3550550);

        w.BandButtons.at(5)->click(); // "14"
        QCOMPARE(fx.frequency(), 14050000);
        QCOMPARE(w.CurrentMode(), QString("CW"));
        QCOMPARE(fx.scale().ScaleBegin(), 14000000);
        QCOMPARE(fx.scale().ScaleEnd(), 14350000);
        w.LsbBtn->click();
        QTest::keyClick(&w, Qt::Key_Left);

        w.BandButtons.at(2)->click(); // back to "3.5"
        QVERIFY(w.BandButtons.at(2)->isChecked());
        QVERIFY(!w.BandButtons.at(5)->isChecked());
        QCOMPARE(fx.frequency(), 3550550);
        QCOMPARE(w.CurrentMode(), QString("USB"));

        w.BandButtons.at(5)->click();
        QCOMPARE(fx.frequency(), 14049950);
        QCOMPARE(w.CurrentMode(), QString("LSB"));
    }

    void scaleDragReachesTheRadioAndHoldsTuningBusy()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        TRadioScale &s = fx.scale();
        const int x = s.drawnSliderX();
        const int y = middleY(s);
        fx.requests.clear();
        pressLeft(s, x, y);
        QCOMPARE(w.CatEngine->TuningBusy, 1);
        dragTo(s, x + 60, y);
        QTRY_VERIFY(!s.IsDragTimerActive());
        QVERIFY(s.Frequency() > 3550000);
        QCOMPARE(fx.requests, QStringList{QString("tune %1 drag").arg(s.Frequency())});
        releaseLeft(s, s.drawnSliderX(), y);
        QCOMPARE(w.CatEngine->TuningBusy, 0);
        // A release whose press went elsewhere keeps the counter at zero.
        releaseLeft(s, 5, y);
        QCOMPARE(w.CatEngine->TuningBusy, 0);
    }

    void markerClickTunesToTheMarkersModeAndReachesTheRadio()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        TRadioScale &s = fx.scale();
        TFqMarker marker;
        marker.Frequency = 3700000;
        marker.Caption = "ALPHA";
        marker.Mode = "LSB";
        s.AddMarker(&marker, true);
        s.repaint();
        QVERIFY(!marker.HitRect.isZero());
        fx.requests.clear();
        const QPoint at = flagCentre(marker);
        pressLeft(s, at.x(), at.y());
        releaseLeft(s, at.x(), at.y());
        QCOMPARE(s.Frequency(), 3700000);
        QCOMPARE(w.CurrentMode(), QString("LSB"));
        QCOMPARE(fx.requests, QStringList{"marker 0"});
        QCOMPARE(w.CatEngine->TuningBusy, 0);
        s.Markers.clear();
    }

    // A tune request left by another thread (the TCP server) is carried out
    // by the next poll tick: mode key, scale frequency, the named marker
    // scrolled into view; off-line nothing goes to the radio.
    void pendingTuneRequestMovesTheWindowAndShowsItsMarker()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        TRadioScale &s = fx.scale();
        const int rows = s.visibleMarkerRows();
        QVERIFY(rows >= 1);
        std::vector<std::unique_ptr<TFqMarker>> store;
        for (int i = 0; i < 3 * rows; ++i) {
            store.push_back(std::make_unique<TFqMarker>());
            store.back()->Frequency = 3650000 + 10 * i;
            store.back()->Caption = QString("M%1").arg(i);
            s.AddMarker(store.back().get(), true);
        }
        TFqMarker *last = store.back().get();
        s.repaint();
        QCOMPARE(s.firstMarkerRow(), 0);
        QCOMPARE(last->HitRect.Bottom, 1); // its row is below the visible ones

        TFqMarker request;
        request.Frequency = last->Frequency;
        request.Caption = last->Caption;
        request.Mode = "AM";
        std::thread([&] { w.CatEngine->PendingTune.Place(request); }).join();
        fx.requests.clear();
        w.MainTmrTimer();
        QCOMPARE(s.Frequency(), last->Frequency);
        QCOMPARE(w.CurrentMode(), QString("AM"));
        QCOMPARE(s.firstMarkerRow(), 2 * rows);
        QVERIFY(w.CatEngine->CommandQueue.Count() == 0);
        s.Markers.clear();
    }

    void scalePopupItemsFollowThePlaceAndTheState()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        TRadioScale &s = fx.scale();
        TFqMarker marker;
        marker.Frequency = 3700000;
        marker.Caption = "ALPHA";
        s.AddMarker(&marker, true);
        s.repaint();

        auto openAt = [&](int x, int y) {
            sendRightPress(s, x, y);
            QVERIFY(w.ScalePpp->isVisible());
            w.ScalePpp->close();
        };
        openAt(s.drawnSliderX(), middleY(s));
        QVERIFY(w.AddFreqMarkerMnu->isEnabled());
        QVERIFY(!w.EditFreqMarkerMnu->isEnabled());
        QCOMPARE(w.EditFreqMarkerMnu->text(), QString("Edit Freq Marker"));
        QCOMPARE(w.DeleteFreqMarkerMnu->text(), QString("Delete Freq Marker"));
        QVERIFY(w.ZoomInMnu->isEnabled());
        QVERIFY(w.ZoomToMnu->isEnabled());
        QVERIFY(!w.ZoomOutMnu->isEnabled());

        const QPoint flag = flagCentre(marker);
        openAt(flag.x(), flag.y());
        QVERIFY(!w.AddFreqMarkerMnu->isEnabled()); // not over the slider
        QVERIFY(w.EditFreqMarkerMnu->isEnabled());
        QCOMPARE(w.EditFreqMarkerMnu->text(), QString("Edit \"ALPHA\""));
        QCOMPARE(w.DeleteFreqMarkerMnu->text(), QString("Delete \"ALPHA\""));

        // While a scan runs nothing may change the markers or the range.
        w.ToolButton1->click();
        w.ScanTmr->start();
        openAt(flag.x(), flag.y());
        QVERIFY(!w.EditFreqMarkerMnu->isEnabled());
        QVERIFY(!w.DeleteFreqMarkerMnu->isEnabled());
        QVERIFY(!w.ZoomInMnu->isEnabled());
        QVERIFY(!w.ZoomOutMnu->isEnabled());
        w.ScanTmr->stop();
        w.ToolButton2->click();
        s.repaint();

        openAt(flag.x(), flag.y());
        QVERIFY(w.DeleteFreqMarkerMnu->isEnabled());
        w.DeleteFreqMarkerMnu->trigger();
        QVERIFY(s.Markers.isEmpty());
    }

    void toolBarZoomsScrollsAndJumps()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        TRadioScale &s = fx.scale();
        w.ToolButton1->click();
        QCOMPARE(s.ScaleBegin(), 3520000);
        QCOMPARE(s.ScaleEnd(), 3580000);
        w.ToolButton2->click();
        QCOMPARE(s.ScaleBegin(), 3500000);
        QCOMPARE(s.ScaleEnd(), 3800000);
        const int step = s.labelStep();
        w.ToolButton8->click();
        QCOMPARE(s.ScaleBegin(), 3500000 + step);
        w.ToolButton7->click();
        QCOMPARE(s.ScaleBegin(), 3500000);

        TFqMarker a, b;
        a.Frequency = 3600000;
        b.Frequency = 3650000;
        s.AddMarker(&a, true);
        s.AddMarker(&b, true);
        fx.requests.clear();
        w.ToolButton5->click();
        QCOMPARE(s.Frequency(), 3600000);
        w.ToolButton5->click();
        QCOMPARE(s.Frequency(), 3650000);
        w.ToolButton4->click();
        QCOMPARE(s.Frequency(), 3600000);
        QCOMPARE(fx.requests, (QStringList{"marker 0", "marker 1", "marker 0"}));
        s.Markers.clear();
    }

    void doubleClicksFollowThePreferences()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        TRadioScale &s = fx.scale();
        QCOMPARE(w.OptionsFrm->SliderDblClkCBx->currentIndex(), 1); // "Zoom in"
        QCOMPARE(w.OptionsFrm->ScaleDblClkCBx->currentIndex(), 1);  // "Zoom out"
        // The pointer keeps its offset from the slider across the zoom.
        QCursor::setPos(s.mapToGlobal(QPoint(s.SliderX() + 4, middleY(s))));
        doubleClickLeft(s, s.drawnSliderX() + 4, middleY(s));
        QVERIFY(s.CanZoomOut());
        QCOMPARE(s.ScaleBegin(), 3520000);
        QCOMPARE(QCursor::pos().x(), s.mapToGlobal(QPoint(s.SliderX() + 4, 0)).x());
        doubleClickLeft(s, 15, middleY(s));
        QVERIFY(!s.CanZoomOut());
        QCOMPARE(s.ScaleBegin(), 3500000);

        w.OptionsFrm->SliderDblClkCBx->setCurrentIndex(0);
        w.OptionsFrm->ScaleDblClkCBx->setCurrentIndex(0);
        doubleClickLeft(s, s.drawnSliderX(), middleY(s));
        QVERIFY(!s.CanZoomOut());
        w.ToolButton1->click();
        doubleClickLeft(s, 15, middleY(s));
        QVERIFY(s.CanZoomOut());
    }

    void zoomToDialogGetsTheRangeAndZooms()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        QString begin, end;
        qint32 minBegin = 0, maxEnd = 0;
        bool stayedOpen = false;
        fx.messages.clear();
        QTimer::singleShot(0, &w, [&] {
            auto dialog = qobject_cast<TZoomToFrm *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            begin = dialog->BeginEdt->text();
            end = dialog->EndEdt->text();
            minBegin = dialog->MinScaleBegin;
            maxEnd = dialog->MaxScaleEnd;
            dialog->BeginEdt->setText("3400"); // below the scale: refused, the dialog stays
            dialog->EndEdt->setText("3560");
            dialog->accept();
            stayedOpen = dialog->isVisible();
            dialog->BeginEdt->setText("3540");
            dialog->EndEdt->setText("3560");
            dialog->accept();
        });
        w.ZoomToMnu->trigger();
        QCOMPARE(begin, QString("3500"));
        QCOMPARE(end, QString("3800"));
        QCOMPARE(minBegin, 3500000);
        QCOMPARE(maxEnd, 3800000);
        QVERIFY(stayedOpen);
        QCOMPARE(fx.messages, QStringList({"It is not possible to zoom out of the current scale this way.\n"
                                           "The scale beginning must higher or equal to 3500 kHz"}));
        QCOMPARE(fx.scale().ScaleBegin(), 3540000);
        QCOMPARE(fx.scale().ScaleEnd(), 3560000);

        QTimer::singleShot(0, &w, [] { QApplication::activeModalWidget()->close(); });
        w.ZoomToMnu->trigger(); // cancelled: nothing changes
        QCOMPARE(fx.scale().ScaleBegin(), 3540000);
    }

    void scaleFillsItsPanelAtEveryWidth()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        for (int width : {800, 420, 1200}) {
            w.resize(width, w.height());
            QTRY_COMPARE(w.ScalePnl->width(), width);
            QCOMPARE(fx.scale().geometry(), QRect(1, 2, w.ScalePnl->width() - 3, w.ScalePnl->height() - 4));
            QCOMPARE(fx.scale().SliderX(), fx.scale().FreqToX(fx.frequency()));
            // Rows of keys show whole keys only.
            for (QFrame *row : {w.BandPnl, w.ModePnl, w.SplitPnl, w.ProgramPnl}) {
                for (QToolButton *key : row->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly))
                    QCOMPARE(!key->isHidden(), key->x() + key->width() < row->width());
            }
        }
        // "Only Scale Visible": the scale takes the room of the panels.
        w.resize(800, w.height());
        w.HideAllControlsMnu->trigger();
        QTRY_COMPARE(w.ScalePnl->height(), w.height() - w.StatusBarPnl->height());
        QCOMPARE(fx.scale().height(), w.ScalePnl->height() - 4);
        w.HideAllControlsMnu->trigger();
        QTRY_VERIFY(!w.MainPanel->isHidden());
        QTRY_COMPARE(fx.scale().height(), w.ScalePnl->height() - 4);
    }

    void litStateLightsTheScaleAndTheDisplay()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        QCOMPARE(fx.scale().Color(), QColor(0xF0, 0xF0, 0xF0));
        QVERIFY(!w.DigiScale->Lit());
        QCOMPARE(w.DigiScale->AsString(), QString()); // off-line: empty
        QCOMPARE(w.GetFreqUnit(), 0);
        emit w.LitStateChanged(true);
        QCOMPARE(fx.scale().Color(), QColor(Qt::white));
        QVERIFY(w.DigiScale->Lit());
        w.UpdateLitState(); // off-line after all
        QVERIFY(!w.DigiScale->Lit());
        QCOMPARE(fx.scale().Color(), QColor(0xF0, 0xF0, 0xF0));
    }

    void hoverHintHidesWhenTheMouseLeavesTheScale()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        TFqMarker marker;
        marker.Frequency = 3700000;
        marker.Caption = "ALPHA";
        fx.scale().AddMarker(&marker, true);
        fx.scale().repaint();
        fx.scale().ShowMarkerHint(0);
        QVERIFY(!fx.scale().HintText().isEmpty());
        emit w.MouseMovedOffScale();
        QVERIFY(fx.scale().HintText().isEmpty());
        fx.scale().Markers.clear();
    }

    void bandAndModeMenusApplyTheDialogs()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        QVERIFY(w.BandsMnu->isEnabled());
        QVERIFY(w.ModesMnu->isEnabled());
        QVERIFY(w.DefineBandsMnu->isEnabled());
        QCOMPARE(w.DefineBandsMnu->text(), QString("Define Bands..."));

        // The popup lists every band of the plan, the pressed one in bold.
        emit w.AllBandsPpp->aboutToShow();
        const QList<QAction *> items = w.AllBandsPpp->actions();
        QCOMPARE(items.size(), 15 + 2);
        QCOMPARE(items.at(0)->text(), QString("136"));
        QCOMPARE(items.at(3)->text(), QString("3.5"));
        QVERIFY(items.at(3)->font().bold());
        QVERIFY(!items.at(4)->font().bold());
        // A band without a key tunes to its initial frequency and mode.
        items.at(0)->trigger();
        QCOMPARE(fx.frequency(), 137000);
        QCOMPARE(w.BandKeys->PressedButton(), -1);

        w.ModesFrm->Segments().Append("3500\t3570\tCW\t009B9BFB\t");
        w.BandKeys->SetModesDialog([] { return true; });
        w.ModesMnu->trigger();
        QCOMPARE(int(fx.scale().Modes.size()), 1);
        QCOMPARE(fx.scale().ModeAt(3550000), QString("CW"));

        w.BandButtons.at(4)->click(); // "10"
        QCOMPARE(fx.frequency(), 10120000);
        w.BandKeys->SetBandsDialog([] { return true; });
        w.BandsMnu->trigger(); // re-applies the plan and re-selects the band
        QVERIFY(w.BandButtons.at(4)->isChecked());
        QCOMPARE(fx.frequency(), 10120000);
    }

    void emptyBandKeyOffersTheBandPlan()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        const qint32 f = fx.frequency();
        w.BandButtons.at(20)->click();
        QCOMPARE(fx.questions,
                 QStringList{"No band assigned to this button.\n\nDo you want to change the band plan now?"});
        QVERIFY(!w.BandButtons.at(20)->isChecked());
        QCOMPARE(fx.frequency(), f);
    }
};

TARNWICK_TEST_CLASS(TestMainScale)
#include "tst_mainscale.moc"
