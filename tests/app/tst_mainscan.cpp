// The scanner and the spectrograph inside the real main window: the SCAN key
// with its dialog and timer, every place that stops a running scan, the GRAPH
// key and the plot's own timer, connecting and disconnecting, and the plot
// lying under the scale.

#include "MainWindowTestSupport.h"
#include "cat/CatEngine.h"
#include "cat/RigProcess.h"
#include "controls/Depresz.h"
#include "controls/ScaleTestSupport.h"
#include "controls/SpectroGraph.h"
#include "scan/ScanProperties.h"
#include "scan/Scanner.h"

#include <QComboBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace {

// Answers the dialog with a range scan of the whole scale, 1 kHz steps.
void answerRangeScan(TTarnwickFrm &w)
{
    w.ScanPropertiesRunner = [](TScanPropertiesFrm &f) {
        f.PageControl1->setCurrentIndex(0);
        f.DwellOnFreqCBx->setCurrentText("0.25");
        f.FreqStepCBx->setCurrentText("1000");
        return true;
    };
}

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
        fx.create();
        TTarnwickFrm &w = *fx.window;
        const qint32 begin = fx.scale().ScaleBegin();
        TScanPropertiesFrm *shown = nullptr;
        w.ScanPropertiesRunner = [&](TScanPropertiesFrm &f) {
            shown = &f;
            return false;
        };
        w.ScanBtn->click();
        QVERIFY(shown);
        QCOMPARE(shown->ScaleBegin, begin);
        QCOMPARE(shown->ScaleEnd, fx.scale().ScaleEnd());
        QCOMPARE(shown->SelectionLow, begin); // no selection: the whole scale
        QVERIFY(!shown->ScanSelectedRangeChk->isChecked());
        QCOMPARE(shown->ModeCBx->itemText(1), "Current only (" + w.CurrentMode() + ")");
        QVERIFY(!w.ScanBtn->isChecked()); // Cancel lets the key up
        QVERIFY(!w.ScanTmr->isActive());

        answerRangeScan(w);
        for (int i = 0; i < 5; ++i)
            w.Depresz->SetValue(60);
        fx.requests.clear();
        w.ScanBtn->click();
        QVERIFY(w.ScanTmr->isActive());
        QCOMPARE(w.ScanTmr->interval(), 250);
        QVERIFY(w.ScanBtn->isChecked());
        QCOMPARE(w.CatEngine->TuningBusy, 1);
        QCOMPARE(fx.frequency(), begin);
        QCOMPARE(fx.requests, QStringList{QString("tune %1 drag").arg(begin)});
        QVERIFY(w.GraphBtn->isChecked());                 // started automatically
        QVERIFY(!w.UpdateSpectrographTmr->isActive());    // the scan feeds the plot itself

        // One tick of the scan timer: the reading, then the next step.
        QVERIFY(QTest::qWaitFor([&] { return fx.frequency() != begin; }, 2000));
        QCOMPARE(fx.frequency(), begin + 1000);
        QCOMPARE(w.SpectroGraph->PlotMode(), int(TSpectroGraph::PlotFrequency));
        QCOMPARE(w.SpectroGraph->Points().front().Frequency, begin);
        QCOMPARE(w.SpectroGraph->Points().front().Values[0], 60);

        w.ScanBtn->click();
        QVERIFY(scanStopped(w));
        QVERIFY(!w.GraphBtn->isChecked());
    }

    void everyCallerStopsARunningScan()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        answerRangeScan(w);
        TRadioScale &s = fx.scale();
        const std::pair<const char *, std::function<void()>> callers[] = {
            {"mouse press on the scale",
             [&] {
                 pressLeft(s, 100, s.height() / 2);
                 releaseLeft(s, 100, s.height() / 2);
             }},
            {"typed entry begins", [&] { w.DigiScaleEditBegin(); }},
            {"typed entry ends", [&] { w.DigiScaleEditEnd(); }},
            {"band key", [&] { w.BandButtons.at(5)->click(); }},
            {"tune request",
             [&] {
                 TFqMarker request;
                 request.Frequency = 7074000;
                 request.Mode = "USB";
                 w.CatEngine->PendingTune.Place(request);
                 w.MainTmrTimer();
             }},
            {"disconnect", [&] { w.Disconnect(); }},
        };
        for (const auto &[name, stop] : callers) {
            w.ScanBtn->click();
            QVERIFY2(w.ScanTmr->isActive(), name);
            stop();
            QVERIFY2(scanStopped(w), name);
        }
    }

    void graphKeyAndThePlotTimer()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        w.GraphBtn->click();
        QVERIFY(w.UpdateSpectrographTmr->isActive());
        for (int i = 0; i < 5; ++i)
            w.Depresz->SetValue(40);
        w.UpdateSpectrographTmr->setInterval(TTarnwickFrm::SpectrographStartInterval);
        w.UpdateSpectrographTmrTimer();
        QCOMPARE(w.UpdateSpectrographTmr->interval(), TTarnwickFrm::SpectrographRunInterval);
        w.PttBtn->setChecked(true); // transmitting: no S-meter to plot
        w.UpdateSpectrographTmrTimer();
        w.PttBtn->setChecked(false);
        QCOMPARE(int(w.SpectroGraph->Points().size()), 2);
        QCOMPARE(w.SpectroGraph->Points().at(0).Values[0], 40);
        QCOMPARE(w.SpectroGraph->Points().at(1).Values[0], 0);

        // Restarting clears the plot; off-line the timer stays off.
        w.OptionsFrm->RestartSpectrographChk->setChecked(false);
        w.RestartSpectrograph();
        QCOMPARE(int(w.SpectroGraph->Points().size()), 2);
        w.OptionsFrm->RestartSpectrographChk->setChecked(true);
        w.RestartSpectrograph();
        QVERIFY(w.SpectroGraph->Points().empty());
        QVERIFY(!w.UpdateSpectrographTmr->isActive());

        // During a range scan the key leaves the timer alone, and the timer
        // (restarted by the scan's first tune when connected) adds nothing
        // to the scan's plot.
        answerRangeScan(w);
        w.ScanBtn->click();
        w.UpdateSpectrographTmr->start();
        w.GraphBtn->click();
        QVERIFY(!w.GraphBtn->isChecked());
        QVERIFY(w.UpdateSpectrographTmr->isActive());
        w.ScanTmrTimer();
        w.UpdateSpectrographTmrTimer();
        QCOMPARE(w.SpectroGraph->PlotMode(), int(TSpectroGraph::PlotFrequency));
        QCOMPARE(int(w.SpectroGraph->Points().size()), 1);
        w.StopScan();
        QVERIFY(!w.UpdateSpectrographTmr->isActive());
        w.GraphBtn->click();
        QVERIFY(w.GraphBtn->isChecked());
        QVERIFY(w.UpdateSpectrographTmr->isActive());
        w.GraphBtn->click();
        QVERIFY(!w.UpdateSpectrographTmr->isActive());
    }

    void connectingStartsAndLightsThePlot()
    {
        QVERIFY2(!qEnvironmentVariable("TARNWICK_RIGSIM").isEmpty(), "TARNWICK_RIGSIM is not set");
        RigProcess rig({"--speed", "38400", "--delay", "1", "--smeter", "9"});
        QVERIFY(rig.ok());
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        QVERIFY(!w.SpectroGraph->Lit());
        w.SetCommandLineSerial({rig.path(), "FT-817"});
        TTarnwickFrm::SetComSettingsRunner([](TComSettingsFrm &) { return true; });
        w.CatBtn->click();
        QVERIFY(w.IsConnected());
        QVERIFY(w.SpectroGraph->Lit());
        QVERIFY(w.GraphBtn->isChecked());
        QVERIFY(w.UpdateSpectrographTmr->isActive());

        // Connected, a restart begins with the longer first interval.
        w.UpdateSpectrographTmrTimer();
        QCOMPARE(int(w.SpectroGraph->Points().size()), 1);
        w.RestartSpectrograph();
        QVERIFY(w.SpectroGraph->Points().empty());
        QVERIFY(w.UpdateSpectrographTmr->isActive());
        QCOMPARE(w.UpdateSpectrographTmr->interval(), TTarnwickFrm::SpectrographStartInterval);

        w.CatBtn->click();
        QVERIFY(!w.IsConnected());
        QVERIFY(!w.SpectroGraph->Lit());
        QVERIFY(!w.GraphBtn->isChecked());
        QVERIFY(!w.UpdateSpectrographTmr->isActive());
    }

    void plotLiesUnderTheScaleAndFollowsItsRange()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        TRadioScale &s = fx.scale();
        w.resize(913, w.height());
        QCoreApplication::processEvents();
        QCOMPARE(w.SpectroGraph->width(), s.width());
        w.SetSpectrographRange(s.ScaleBegin(), s.ScaleEnd());
        for (qint32 f : {s.ScaleBegin(), s.ScaleBegin() + 1234, s.ScaleEnd()}) {
            const int plotX = w.SpectroGraph->mapToGlobal(QPoint(w.SpectroGraph->FreqToX(f), 0)).x();
            QCOMPARE(plotX, s.mapToGlobal(QPoint(s.FreqToX(f), 0)).x());
        }

        // A band change hands a frequency plot the new range, not a strip chart.
        const qint32 before = w.SpectroGraph->ScaleBegin();
        w.SpectroGraph->AddValue(0, 10);
        w.BandButtons.at(5)->click(); // "14"
        QVERIFY(s.ScaleBegin() != before);
        QCOMPARE(w.SpectroGraph->ScaleBegin(), before);
        w.SpectroGraph->AddValue(14010000, 10);
        w.BandButtons.at(2)->click(); // "3.5"
        QCOMPARE(w.SpectroGraph->ScaleBegin(), s.ScaleBegin());
        QCOMPARE(w.SpectroGraph->ScaleEnd(), s.ScaleEnd());
    }
};

TARNWICK_TEST_CLASS(TestMainScan)
#include "tst_mainscan.moc"
