// The scale and the band keys inside the main window: the scale's events reach
// the radio requests, the window's menus and keys reach the scale.

#include "MainWindowTestSupport.h"
#include "base/Settings.h"
#include "controls/Digits2.h"
#include "controls/SpectroGraph.h"
#include "controls/ZoomTo.h"
#include "data/BandKeys.h"
#include "data/FqMarkerOps.h"
#include "data/ModesDialog.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

namespace {

QPoint flagCentre(const TFqMarker &marker)
{
    const TEdgeRect &r = marker.HitRect;
    return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

} // namespace

class TestMainScale : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::clearSettings(); }

    void scaleDragReachesTheRadioAndHoldsTuningBusy()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        TRadioScale &s = fx.scale();
        const int x = s.drawnSliderX();
        const int y = s.height() / 2;
        fx.requests.clear();
        pressLeft(s, x, y);
        QCOMPARE(w.CatEngine->TuningBusy, 1);
        dragTo(s, x + 60, y);
        QTRY_VERIFY(!s.IsDragTimerActive());
        QVERIFY(s.Frequency() > 3550000);
        QCOMPARE(fx.requests, QStringList{QString("tune %1 drag").arg(s.Frequency())});
        releaseLeft(s, s.drawnSliderX(), y);
        QCOMPARE(w.CatEngine->TuningBusy, 0);
        releaseLeft(s, 5, y); // a release whose press went elsewhere
        QCOMPARE(w.CatEngine->TuningBusy, 0);
    }

    // A tune request is carried out by the next poll tick: mode key, scale
    // frequency, the named marker scrolled into view.
    void pendingTuneRequestMovesTheWindowAndShowsItsMarker()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        TRadioScale &s = fx.scale();
        const int rows = s.visibleMarkerRows();
        for (int i = 0; i < 3 * rows; ++i)
            fx.addMarker(3650000 + 10 * i);
        TFqMarker request = *fx.markers.back();
        request.Mode = "AM";
        w.CatEngine->PlaceTuneRequest({request.Frequency, request.Mode, request.Caption});
        w.MainTmrTimer();
        QCOMPARE(s.Frequency(), request.Frequency);
        QCOMPARE(w.CurrentMode(), QString("AM"));
        QCOMPARE(s.firstMarkerRow(), 2 * rows);
    }

    void scalePopupItemsFollowThePlaceAndTheState()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        TRadioScale &s = fx.scale();
        TFqMarker &marker = fx.addMarker(3700000);
        marker.Caption = "R&D";
        auto openAt = [&](QPoint at) {
            sendMouse(s, QEvent::MouseButtonPress, at.x(), at.y(), Qt::RightButton, Qt::RightButton);
            QVERIFY(w.ScalePpp->isVisible());
            w.ScalePpp->close();
        };
        const QPoint slider(s.drawnSliderX(), s.height() / 2);
        const QPoint flag = flagCentre(marker);
        openAt(slider);
        QVERIFY(w.AddFreqMarkerMnu->isEnabled() && !w.EditFreqMarkerMnu->isEnabled());
        QVERIFY(w.ZoomInMnu->isEnabled() && !w.ZoomOutMnu->isEnabled());

        openAt(flag);
        QVERIFY(!w.AddFreqMarkerMnu->isEnabled()); // not over the slider
        QVERIFY(w.EditFreqMarkerMnu->isEnabled());
        QCOMPARE(w.EditFreqMarkerMnu->text(), QString("Edit \"R&&D\""));
        QCOMPARE(w.DeleteFreqMarkerMnu->text(), QString("Delete \"R&&D\""));

        // While a scan runs nothing may change the markers or the range.
        w.ScanTmr->start();
        openAt(flag);
        QVERIFY(!w.EditFreqMarkerMnu->isEnabled() && !w.DeleteFreqMarkerMnu->isEnabled());
        QVERIFY(!w.ZoomInMnu->isEnabled());
        w.ToolButton1->click();
        openAt(slider);
        QVERIFY(!w.ZoomOutMnu->isEnabled());
        w.ScanTmr->stop();
        w.ToolButton2->click();
        s.repaint();

        openAt(flag);
        w.DeleteFreqMarkerMnu->trigger();
        QVERIFY(s.Markers.isEmpty());
    }

    void toolBarAndZoomToDialog()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        TRadioScale &s = fx.scale();
        w.ToolButton1->click();
        QCOMPARE(s.ScaleBegin(), 3520000);
        w.ToolButton2->click();
        QCOMPARE(s.ScaleBegin(), 3500000);
        w.ToolButton8->click();
        QCOMPARE(s.ScaleBegin(), 3500000 + s.labelStep());
        w.ToolButton7->click();
        QCOMPARE(s.ScaleBegin(), 3500000);

        for (qint32 f : {3600000, 3650000, 3700000})
            fx.addMarker(f);
        fx.requests.clear();
        w.ToolButton5->click();
        w.ToolButton5->click();
        QCOMPARE(s.Frequency(), 3650000);
        w.ToolButton4->click();
        QCOMPARE(s.Frequency(), 3600000);
        QCOMPARE(fx.requests, (QStringList{"marker 0", "marker 1", "marker 0"}));

        // "Zoom To" offers the scale's range and zooms to what was typed.
        QStringList seen;
        QTimer::singleShot(0, &w, [&] {
            auto dialog = qobject_cast<TZoomToFrm *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen << dialog->BeginEdt->text() << dialog->EndEdt->text() << QString::number(dialog->MinScaleBegin)
                 << QString::number(dialog->MaxScaleEnd);
            dialog->BeginEdt->setText("3540");
            dialog->EndEdt->setText("3560");
            dialog->accept();
        });
        w.ZoomToMnu->trigger();
        QCOMPARE(seen, QStringList({"3500", "3800", "3500000", "3800000"}));
        QCOMPARE(s.ScaleBegin(), 3540000);
        QCOMPARE(s.ScaleEnd(), 3560000);

        QTimer::singleShot(0, &w, [] { QApplication::activeModalWidget()->close(); });
        w.ZoomToMnu->trigger(); // cancelled: nothing changes
        QCOMPARE(s.ScaleBegin(), 3540000);
        w.ZoomOutMnu->trigger(); // the plot under the scale follows
        QCOMPARE(w.SpectroGraph->ScaleBegin(), s.ScaleBegin());
        QVERIFY(s.ScaleBegin() < 3540000);
    }

    void doubleClicksFollowThePreferences()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        TRadioScale &s = fx.scale();
        const int y = s.height() / 2;
        // The pointer keeps its offset from the slider across the zoom.
        QCursor::setPos(s.mapToGlobal(QPoint(s.SliderX() + 4, y)));
        doubleClickLeft(s, s.drawnSliderX() + 4, y);
        QCOMPARE(s.ScaleBegin(), 3520000);
        QCOMPARE(QCursor::pos().x(), s.mapToGlobal(QPoint(s.SliderX() + 4, 0)).x());
        doubleClickLeft(s, 15, y);
        QCOMPARE(s.ScaleBegin(), 3500000);

        w.OptionsFrm->SliderDblClkCBx->setCurrentIndex(2); // "New Frequency Marker"
        w.OptionsFrm->ScaleDblClkCBx->setCurrentIndex(0);
        QStringList opened;
        w.FqMarkers->SetDialogRunner([&](QDialog &dialog) {
            opened << QString::fromLatin1(dialog.metaObject()->className());
            return int(QDialog::Rejected);
        });
        doubleClickLeft(s, s.drawnSliderX(), y);
        QVERIFY(!s.CanZoomOut());
        QCOMPARE(opened, QStringList{"TEditFreqMarkerFrm"});
        w.ToolButton1->click();
        doubleClickLeft(s, 15, y);
        QVERIFY(s.CanZoomOut());
    }

    void bandAndModeMenusApplyTheDialogs()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        emit w.AllBandsPpp->aboutToShow();
        w.AllBandsPpp->actions().at(0)->trigger(); // "136", a band without a key
        QCOMPARE(fx.frequency(), 137000);

        w.ModesFrm->Segments().Append("3500\t3570\tCW\t009B9BFB\t");
        w.BandKeys->SetModesDialog([] { return true; });
        w.ModesMnu->trigger();
        QCOMPARE(fx.scale().ModeAt(3550000), QString("CW"));

        int bandsDialogs = 0;
        w.BandKeys->SetBandsDialog([&bandsDialogs] { return ++bandsDialogs > 0; });
        w.BandsMnu->trigger();
        QCOMPARE(bandsDialogs, 1);
    }
};

TARNWICK_TEST_CLASS(TestMainScale)
#include "tst_mainscale.moc"
