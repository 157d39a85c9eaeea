// The main window against the radio emulator: the window follows the radio,
// the window's keys and operations reach it, and the link's timers are wired.

#include "MainWindowTestSupport.h"
#include "base/Settings.h"
#include "cat/ComSettings.h"
#include "cat/DebugWindow.h"
#include "controls/Depresz.h"
#include "controls/Digits2.h"
#include "controls/SpectroGraph.h"

#include <QLabel>
#include <QListWidget>

class TestMainRadio : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(!qEnvironmentVariable("TARNWICK_RIGSIM").isEmpty(), "TARNWICK_RIGSIM is not set"); }
    void init() { testenv::clearSettings(); }

    void windowFollowsTheRadio()
    {
        MainWindowFixture fx(true);
        TTarnwickFrm &w = fx.makeOnRig({"--freq", "7030000", "--mode", "CW", "--smeter", "9"});
        QVERIFY(fx.rig->ok());
        w.Radio->State().SetSplit(SplitOn);
        QCOMPARE(w.GetSplitState(w.SplitBtn), SplitOn);
        QVERIFY(fx.connect());
        QVERIFY(w.CatBtn->isChecked());
        QCOMPARE(w.GetSplitState(w.SplitBtn), SplitIndeterminate);
        QTRY_COMPARE(w.StatusText(), QString("Connected to TCVR."));
        QTRY_COMPARE(w.ScaleFrequency(), 7030000);
        QTRY_VERIFY(w.CwBtn->isChecked());
        QTRY_COMPARE(w.SqlRcvTxPnl->Caption(), QString("RX"));
        QTRY_COMPARE(w.DepreszLbl->text(), QString("60%"));
        QVERIFY(w.Depresz->Lit());
        QCOMPARE(w.DigiScale->AsString(), QString("7030.00"));
        QVERIFY(w.SpectroGraph->Lit() && w.GraphBtn->isChecked() && w.UpdateSpectrographTmr->isActive());
        w.UpdateSpectrographTmrTimer();
        w.RestartSpectrograph(); // connected: cleared, and again with the longer first interval
        QVERIFY(w.SpectroGraph->Points().empty() && w.UpdateSpectrographTmr->isActive());
        QCOMPARE(w.UpdateSpectrographTmr->interval(), TTarnwickFrm::SpectrographStartInterval);

        fx.rig->control("set ptt on");
        QTRY_VERIFY(w.PttBtn->isChecked());
        QTRY_COMPARE(w.GetSqlState(), 2);

        w.CatBtn->click(); // released by the user
        QVERIFY(!w.IsConnected());
        QTRY_COMPARE(fx.rig->status("ptt"), QString("0")); // unkeyed before the port closed
        QVERIFY(!w.SpectroGraph->Lit() && !w.GraphBtn->isChecked() && !w.UpdateSpectrographTmr->isActive());
        QCOMPARE(w.StatusText(), QString("Off-line mode. Click COM button to connect to TCVR."));
        QCOMPARE(ReadSetting("ConnectSuccess"), QString("1"));
    }

    void radioOperationsReachTheRadio()
    {
        MainWindowFixture fx(true);
        TTarnwickFrm &w = fx.makeOnRig({});
        QVERIFY(fx.connect());
        QTRY_COMPARE(w.StatusText(), QString("Connected to TCVR."));
        QTRY_VERIFY(w.UsbBtn->isChecked() && fx.queued().isEmpty()); // the VFO read from the radio

        w.FskBtn->click(); // not an FT-817 mode: sent as CW
        QCOMPARE(fx.queued(), QStringList({"0200000007"}));
        QTRY_VERIFY(w.CwBtn->isChecked()); // the radio's answer wins

        w.AIsBBtn->click(); // over, mode, frequency, back
        QCOMPARE(fx.queued(), QStringList({"0000000081", "0200000007", "0142500001", "0000000081"}));
        QTRY_VERIFY(fx.queued().isEmpty());

        TFqMarker marker; // a receive tone only
        marker.Frequency = 145500000;
        marker.Mode = "FM";
        marker.RxCtcss = 885;
        w.GoToFqMarker(marker);
        QVERIFY(w.FmBtn->isChecked());
        QCOMPARE(fx.queued(), QStringList({"0800000007", "1455000001", "088508850B", "2A0000000A"}));
        QTRY_COMPARE(fx.rig->status("freq"), QString("145500000"));
        QTRY_VERIFY(fx.queued().isEmpty());
        w.Radio->GoTo(145520000, "FM", 885, 0, true); // a scan's step: only what changes
        QCOMPARE(fx.queued(), QStringList({"1455200001"}));
        QTRY_VERIFY(fx.queued().isEmpty());
        w.PttBtn->click();
        QCOMPARE(fx.queued(), QStringList({"0000000008"}));
        QTRY_COMPARE(fx.rig->status("ptt"), QString("1"));
        w.PttBtn->click();
        QTRY_COMPARE(fx.rig->status("ptt"), QString("0"));
        QTRY_VERIFY(fx.queued().isEmpty());
        w.ABBtn->click(); // and where it went, read from the radio's memory
        QCOMPARE(fx.queued(), QStringList({"0000000081", "00540000BB", "007A0000BB"}));
        QTRY_COMPARE(fx.rig->status("vfo"), QString("B"));
        QTRY_COMPARE(w.ScaleFrequency(), 14250000); // VFO B got A=B's frequency
        w.SplitBtn->click();
        QCOMPARE(w.GetSplitState(w.SplitBtn), SplitOn);
        QCOMPARE(fx.queued(), QStringList({"0000000002"}));
        QTRY_COMPARE(fx.rig->status("split"), QString("1"));
        w.SplitBtn->click();
        QCOMPARE(w.GetSplitState(w.SplitBtn), SplitOff);

        // A band key sends mode, frequency, mode.
        QTRY_VERIFY(fx.queued().isEmpty());
        fx.holdPolling(true);
        w.FormShow(); // gives the band keys their captions
        w.BandButtons.at(3)->click(); // "7"
        QCOMPARE(fx.queued(), QStringList({"0200000007", "0070300001", "0200000007"}));
        fx.holdPolling(false);
    }

    // The scale, the arrow keys and the wheel tune the connected radio through
    // the command queue, each with its own follow-up.
    void scaleKeysAndWheelTuneTheRadio()
    {
        MainWindowFixture fx(true);
        TTarnwickFrm &w = fx.makeOnRig({"--freq", "7030000", "--mode", "CW"});
        w.show();
        QVERIFY(fx.connect());
        QTRY_COMPARE(w.StatusText(), QString("Connected to TCVR."));
        QTRY_COMPARE(w.ScaleFrequency(), 7030000);
        QTRY_VERIFY(fx.queued().isEmpty());

        // With the poll cycle held, what each action leaves in the queue shows.
        fx.holdPolling(true);
        w.ConnectionWatchdogTmr->stop();
        QVERIFY(w.FormKeyDown(Qt::Key_Right, Qt::NoModifier));
        w.FormKeyUp(Qt::Key_Right);
        QCOMPARE(fx.queued(), QStringList({"0070300101", "8A0000000A"}));
        QVERIFY(w.ConnectionWatchdogTmr->isActive()); // a key restarts the watchdog

        for (int i = 1; i <= 50; ++i) { // a drag: one frequency and one tones-off waiting
            w.RadioScale->SetFrequency(7030010 + i * 100);
            w.RadioScaleFreqChanged(w.RadioScale->Frequency());
        }
        QCOMPARE(fx.queued(), QStringList({"0070350101", "8A0000000A"}));

        fx.holdPolling(false);
        QTRY_VERIFY(fx.queued().isEmpty());
        QTRY_COMPARE(fx.rig->status("freq"), QString("7035010"));
        fx.holdPolling(true);
        w.FormMouseWheel(120); // the frequency alone
        QCOMPARE(fx.queued(), QStringList({"0070350201"}));

        // A marker without a mode and beyond the radio's range (either end)
        // sends only its (empty) tones; above the scale the window stays.
        for (const qint32 frequency : {600000000, 50000}) {
            w.CatEngine->CommandQueue.Clear();
            TFqMarker broken;
            broken.Frequency = frequency;
            w.GoToFqMarker(broken);
            QCOMPARE(fx.queued(), QStringList({"000000000B", "8A0000000A"}));
            QCOMPARE(w.ScaleFrequency(), frequency > TCatEngine::HighestRadioHz ? 7035020 : frequency);
        }
        fx.holdPolling(false);
    }

    void offLineKeys()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.make();
        QCOMPARE(w.GetSplitState(w.SplitBtn), SplitIndeterminate);
        w.SplitBtn->click();
        QCOMPARE(w.GetSplitState(w.SplitBtn), SplitIndeterminate);
        QVERIFY(w.CatEngine->CommandQueue.IsEmpty());
        // PTT is queued off-line all the same; the next connect empties the queue.
        w.PttBtn->click();
        QCOMPARE(fx.queued(), QStringList({"0000000008"}));
        TFqMarker marker; // moves the window only
        marker.Frequency = 3573000;
        marker.Mode = "USB";
        w.GoToFqMarker(marker);
        QCOMPARE(w.ScaleFrequency(), 3573000);
        QVERIFY(w.UsbBtn->isChecked());
        QCOMPARE(w.CatEngine->CommandQueue.Count(), 1);
    }

    void ft847VfoCopiesAreDirect()
    {
        MainWindowFixture fx(true);
        TTarnwickFrm &w = fx.makeOnRig({}, "FT-847");
        QVERIFY(fx.connect());
        QTRY_COMPARE(w.StatusText(), QString("Connected to TCVR."));
        QVERIFY(!w.ABBtn->isEnabled() && !w.AIsBBtn->isEnabled() && !w.SplitBtn->isEnabled());
        w.ABBtnClick(); // as the scripting object does
        QTRY_VERIFY(fx.logLines.contains("A/B: main vfo: \"0142500001\", sub vfo: \"1459000008\""));
        for (const char *sent : {">1459000001", ">0800000007", ">0142500011", ">0142500021", ">0100000017", ">0100000027"})
            QTRY_VERIFY2(fx.logLines.contains(sent), sent);
        QTRY_COMPARE(fx.rig->status("satrx"), QString("14250000"));

        w.AIsBBtnClick();
        QTRY_VERIFY(fx.logLines.contains("A=B: main vfo: \"1459000008\""));
        QTRY_COMPARE(fx.rig->status("sattx"), QString("145900000"));
        QCOMPARE(fx.rig->status("satrxmode"), QString("FM"));

        w.SplitBtn->setEnabled(true);
        w.SplitBtn->click();
        QCOMPARE(fx.queued(), QStringList({"000000004E"}));
        QVERIFY(w.close()); // closing sends CAT off
        QTRY_COMPARE(fx.rig->status("cat"), QString("0"));

        // Off-line the direct transfers fail: no half of a swap is written.
        MainWindowFixture off;
        TTarnwickFrm &o = off.make();
        o.SetCommandLineSerial({"/dev/null", "FT-847"});
        o.ABBtnClick();
        QTRY_COMPARE(off.logLines.filter("ERROR [E10]").size(), 2);
        QCOMPARE(off.logLines.filter(">").size(), 2);
    }

    // An advanced serial option holds the start-up connect back; the debug
    // window and the log file come with the link and go with the window.
    void advancedOptionsDebugWindowAndLogFile()
    {
        MainWindowFixture fx(true);
        TTarnwickFrm &w = fx.makeOnRig({});
        w.ComSettingsFrm->ShowDebugWndChk->setChecked(true);
        w.show();
        QTRY_VERIFY(w.ActivatedOnce);
        QVERIFY(!w.IsConnected()); // "Connected" is missing, but the option holds it back
        w.ComSettingsFrm->SaveLogChk->setChecked(true);
        QVERIFY(fx.connect());
        QVERIFY(w.DebugFrm->isVisible() && w.CatLog->LogOpen());
        QTRY_COMPARE(w.StatusText(), QString("Connected to TCVR."));
        QFile log(w.CatLog->LogFilePath());
        QVERIFY(w.close());
        QVERIFY(!w.DebugFrm->isVisible() && !w.IsConnected() && !w.CatLog->LogOpen());
        QCOMPARE(ReadSetting("Connected"), QString("1"));
        QVERIFY(log.open(QIODevice::ReadOnly) && log.readAll().contains("STATUS: Connected to TCVR."));
    }

    // The watchdog timer reaches the engine with the model's interval
    // (shortened here); the engine's own tests count the expiries.
    void silentRadioWakesTheWatchdog()
    {
        MainWindowFixture fx(true);
        TTarnwickFrm &w = fx.makeOnRig({"--silence"}, "FT-847");
        QVERIFY(fx.connect());
        QCOMPARE(w.ConnectionWatchdogTmr->interval(), 3000);
        fx.holdPolling(true); // no polls waiting out their read time-outs
        // One expiry is enough: the next status stops the shortened timer.
        QObject::connect(w.CatEngine.get(), &TCatEngine::StatusReport, &w, [&w] { w.ConnectionWatchdogTmr->stop(); });
        w.ConnectionWatchdogTmr->setInterval(10);
        QTRY_COMPARE(w.StatusText(), QString("No communication with TCVR [E20]. Retrying...[10]"));
        QCOMPARE(fx.logLines.count("ERROR [E20]: No communication with TCVR. Retrying..."), 1);
    }
};

TARNWICK_TEST_CLASS(TestMainRadio)
#include "tst_mainradio.moc"
