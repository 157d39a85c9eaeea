// The scanner and the spectrograph wired into the real main window: the SCAN
// key with its dialog and timer, the places that stop a scan, the GRAPH key
// and the plot's timer, connecting, and the plot lying under the scale.

#include "MainWindowTestSupport.h"
#include "cat/CatEngine.h"
#include "controls/ScaleTestSupport.h"
#include "controls/SpectroGraph.h"
#include "scan/ScanProperties.h"

#include <QComboBox>
#include <QTimer>
#include <QToolButton>

namespace {

bool scanStopped(TTarnwickFrm &w)
{
    return !w.ScanTmr->isActive() && !w.ScanBtn->isChecked() && w.CatEngine->TuningBusy == 0;
}

} // namespace

class TestMainScan : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::clearSettings(); }

    void scanKeyRunsTheDialogAndTheScan()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        const qint32 begin = fx.scale().ScaleBegin();
        bool answer = false;
        w.ScanPropertiesRunner = [&](TScanPropertiesFrm &f) {
            // The scale's range, no selection, the current mode.
            if (f.SelectionLow != begin || f.ScaleEnd != fx.scale().ScaleEnd() || f.ScanSelectedRangeChk->isChecked()
                || f.ModeCBx->itemText(1) != "Current only (" + w.CurrentMode() + ")")
                return false;
            f.DwellOnFreqCBx->setCurrentText("0.25");
            f.FreqStepCBx->setCurrentText("1000");
            return answer;
        };
        w.ScanBtn->click();
        QVERIFY(scanStopped(w)); // Cancel lets the key up

        answer = true;
        w.Radio->State().ReportMeter(60); // the reading the step is plotted with
        fx.requests.clear();
        w.ScanBtn->click();
        QVERIFY(w.ScanTmr->isActive() && w.ScanBtn->isChecked() && w.GraphBtn->isChecked());
        QCOMPARE(w.CatEngine->TuningBusy, 1);
        QCOMPARE(fx.requests, QStringList{QString("tune %1 drag").arg(begin)});
        QVERIFY(QTest::qWaitFor([&] { return fx.frequency() == begin + 1000; }, 2000)); // one 250 ms tick
        QCOMPARE(w.SpectroGraph->Points().front().Values[0], 60);
        w.ScanBtn->click();
        QVERIFY(scanStopped(w));
        QVERIFY(!w.GraphBtn->isChecked());
    }

    // A quarter-second marker scan over an FT-817 on its default 4800 bd that
    // answers after 40 ms: each step sends only what changes and decides on a
    // reading of its own marker, so the scan stops on the strong signal in
    // its first round.
    void markerScanStopsOnTheSignalInItsFirstRound()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        QVERIFY(fx.connectToRig({"--speed", "4800", "--delay", "40", "--freq", "3550000", "--mode", "CW", "--signal",
                                 "3620000:15:500", "--squelch-level", "5"}));
        QTRY_COMPARE_WITH_TIMEOUT(w.StatusText(), QString("Connected to TCVR."), 5000);
        for (qint32 f = 3560000; f <= 3650000; f += 10000)
            fx.addMarker(f).RxCtcss = 885;
        w.ScanPropertiesRunner = [](TScanPropertiesFrm &f) {
            f.PageControl1->setCurrentIndex(1);
            f.DwellOnFqMarkerCBx->setCurrentText("0.25");
            f.WatchSquelchCBx->setCurrentIndex(WatchSquelchStop);
            return true;
        };
        fx.requests.clear();
        w.ScanBtn->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.ScanTmr->isActive(), 10000);
        QCOMPARE(fx.rig->status("freq"), QString("3620000"));
        QCOMPARE(fx.requests.filter("marker").size(), 7); // 3.560 ... 3.620 MHz, each once
    }

    // A zoom during a scan, then the scale following the scan out of the
    // zoomed range: the plot takes every range the scale shows.
    void plotFollowsTheScaleRange()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        TRadioScale &s = fx.scale();
        w.ScanPropertiesRunner = [](TScanPropertiesFrm &) { return true; };
        w.ScanBtn->click();
        w.ZoomInMnuClick();
        const qint32 zoomedEnd = s.ScaleEnd();
        s.SetFrequency(zoomedEnd + 10000);
        QVERIFY(s.ScaleEnd() != zoomedEnd);
        QCOMPARE(QList<int>({w.SpectroGraph->ScaleBegin(), w.SpectroGraph->ScaleEnd()}),
                 QList<int>({s.ScaleBegin(), s.ScaleEnd()}));
    }

    void everyCallerStopsARunningScan()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        w.ScanPropertiesRunner = [](TScanPropertiesFrm &) { return true; };
        TRadioScale &s = fx.scale();
        TFqMarker request;
        request.Frequency = 7074000;
        const std::pair<const char *, std::function<void()>> callers[] = {
            {"scale press", [&] { pressLeft(s, 100, 50), releaseLeft(s, 100, 50); }},
            {"entry begins", [&] { w.DigiScaleEditBegin(); }},
            {"entry ends", [&] { w.DigiScaleEditEnd(); }},
            {"band key", [&] { w.BandButtons.at(5)->click(); }},
            {"tune request", [&] { w.CatEngine->PlaceTuneRequest({request.Frequency, request.Mode, request.Caption}), w.MainTmrTimer(); }},
            {"disconnect", [&] { w.Disconnect(); }},
        };
        for (const auto &[name, stop] : callers) {
            w.ScanBtn->click();
            QVERIFY2(w.ScanTmr->isActive(), name);
            stop();
            QVERIFY2(scanStopped(w), name);
        }
    }

    void graphKeyDrivesThePlotTimer()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        w.GraphBtn->click();
        QVERIFY(w.UpdateSpectrographTmr->isActive());
        TRadioState &state = w.Radio->State();
        state.ReportMeter(40);
        w.UpdateSpectrographTmr->setInterval(TTarnwickFrm::SpectrographStartInterval);
        w.UpdateSpectrographTmrTimer();
        QCOMPARE(w.UpdateSpectrographTmr->interval(), TTarnwickFrm::SpectrographRunInterval);
        state.SetPtt(true); // transmitting: nothing to plot
        w.UpdateSpectrographTmrTimer();
        QCOMPARE(w.SpectroGraph->Points().at(0).Values[0], 8); // one reading of 40 in the meter's five
        QCOMPARE(w.SpectroGraph->Points().at(1).Values[0], 0);
        state.SetPtt(false);
        w.OptionsFrm->RestartSpectrographChk->setChecked(false);
        w.RestartSpectrograph();
        QCOMPARE(int(w.SpectroGraph->Points().size()), 2);
        w.OptionsFrm->RestartSpectrographChk->setChecked(true);
        w.RestartSpectrograph(); // off-line: cleared and left off
        QVERIFY(w.SpectroGraph->Points().empty() && !w.UpdateSpectrographTmr->isActive());

        // A range scan feeds the plot: the key only says whether its readings
        // count, and the timer (restarted by the scan's first tune when
        // connected) adds nothing.
        w.ScanPropertiesRunner = [](TScanPropertiesFrm &) { return true; };
        w.ScanBtn->click();
        w.UpdateSpectrographTmr->start();
        w.GraphBtn->click();
        QVERIFY(!w.GraphBtn->isChecked() && w.UpdateSpectrographTmr->isActive());
        w.ScanTmrTimer();
        w.UpdateSpectrographTmrTimer();
        QCOMPARE(w.SpectroGraph->PlotMode(), int(TSpectroGraph::PlotFrequency));
        QCOMPARE(int(w.SpectroGraph->Points().size()), 1);
        w.StopScan();
        QVERIFY(!w.UpdateSpectrographTmr->isActive());
    }

    void plotLiesUnderTheScale()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        TRadioScale &s = fx.scale();
        w.resize(913, w.height());
        QCoreApplication::processEvents();
        w.SetSpectrographRange(s.ScaleBegin(), s.ScaleEnd());
        for (qint32 f : {s.ScaleBegin(), s.ScaleBegin() + 1234, s.ScaleEnd()})
            QCOMPARE(w.SpectroGraph->mapToGlobal(QPoint(w.SpectroGraph->FreqToX(f), 0)).x(),
                     s.mapToGlobal(QPoint(s.FreqToX(f), 0)).x());
    }
};

TARNWICK_TEST_CLASS(TestMainScan)
#include "tst_mainscan.moc"
