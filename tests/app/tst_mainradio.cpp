// The main window against the radio emulator with its real timers: the
// window follows the radio, the radio operations reach it, and a radio that
// falls silent is given up after the watchdog's eleventh expiry.

#include "app/Main.h"
#include "base/MessageBoxes.h"
#include "base/Settings.h"
#include "base/Widgets.h"
#include "cat/CatEngine.h"
#include "cat/CatLog.h"
#include "cat/ComSettings.h"
#include "cat/DebugWindow.h"
#include "cat/RigProcess.h"
#include "common/TestEnvironment.h"
#include "controls/Depresz.h"
#include "controls/Digits2.h"
#include "controls/RadioScale.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QTimer>
#include <QToolButton>

namespace {


// A window whose serial dialog points at the emulator and is answered with
// "Connect >>>"; its log lines are collected.
struct RadioWindow
{
    RigProcess rig;
    TTarnwickFrm window;
    QStringList lines;

    RadioWindow(const QStringList &rigArguments, const QString &model = "FT-817")
        : rig(QStringList{"--speed", "38400", "--delay", "1", "--model", model} + rigArguments)
    {
        window.SetCommandLineSerial({rig.path(), model});
        window.CatLog->SetWindowVisible(true);
        QObject::connect(window.CatLog.get(), &TCatLog::EntryAdded, window.CatLog.get(),
                         [this](const QString &line) { lines << line; });
    }
    bool connect()
    {
        window.CatBtn->click();
        return window.IsConnected();
    }
    QStringList queued() const { return window.CatEngine->CommandQueue.Commands(); }
};

} // namespace

class TestMainRadio : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariable("TARNWICK_RIGSIM").isEmpty(), "TARNWICK_RIGSIM is not set");
        TTarnwickFrm::SetComSettingsRunner([](TComSettingsFrm &) { return true; });
        // The missing band and mode files are announced in boxes; nobody
        // reads them here.
        SetInformationAnswerer([](QWidget *, const QString &) {});
        SetConfirmationAnswerer([](QWidget *, const QString &) { return false; });
    }
    void init() { testenv::clearSettings(); }

    void commandLinePresetsTheDialog()
    {
        TTarnwickFrm window;
        window.SetCommandLineSerial({"/dev/pts/77", "FT-857"});
        QCOMPARE(window.ComSettingsFrm->SelectedPort, QString("/dev/pts/77"));
        QCOMPARE(window.GetTcvrType().Model, QString("FT-857"));
        QVERIFY(window.Depresz && window.Depresz->parentWidget() == window.SMeterPnl);
        QVERIFY(window.DigiScale && window.DigiScale->parentWidget() == window.DigiScalePnl);
    }

    void windowFollowsTheRadio()
    {
        RadioWindow w({"--freq", "7030000", "--mode", "CW", "--smeter", "9"});
        QVERIFY(w.rig.ok());
        w.window.SetSplitState(w.window.SplitBtn, SplitOn);
        QVERIFY(w.connect());
        QVERIFY(w.window.CatBtn->isChecked());
        QCOMPARE(w.window.GetSplitState(w.window.SplitBtn), SplitIndeterminate);
        QTRY_COMPARE(w.window.StatusText(), QString("Connected to TCVR."));
        QTRY_COMPARE(w.window.ScaleFrequency(), 7030000);
        QTRY_VERIFY(w.window.CwBtn->isChecked());
        QTRY_COMPARE(w.window.SqlRcvTxPnl->Caption(), QString("RX"));
        QTRY_COMPARE(w.window.DepreszLbl->text(), QString("60%"));
        QVERIFY(w.window.Depresz->Lit());
        QVERIFY(w.window.DigiScale->Lit());
        QCOMPARE(w.window.DigiScale->AsString().trimmed(), QString("7030.00"));

        w.rig.control("set ptt on");
        QTRY_VERIFY(w.window.PttBtn->isChecked());
        QTRY_COMPARE(w.window.GetSqlState(), 2);
        w.rig.control("set ptt off");
        QTRY_VERIFY(!w.window.PttBtn->isChecked());

        w.window.CatBtn->click(); // released by the user
        QVERIFY(!w.window.IsConnected());
        QCOMPARE(w.window.StatusText(), QString("Off-line mode. Click COM button to connect to TCVR."));
        QCOMPARE(w.window.GetSqlState(), 0);
        QVERIFY(!w.window.Depresz->Lit());
        QCOMPARE(ReadSetting("ConnectSuccess"), QString("1"));
    }

    void radioOperationsReachTheRadio()
    {
        RadioWindow w({});
        QVERIFY(w.connect());
        QTRY_COMPARE(w.window.StatusText(), QString("Connected to TCVR."));
        QTRY_VERIFY(w.window.UsbBtn->isChecked());

        // FSK is not an FT-817 mode: it is sent as CW.
        w.window.FskBtn->click();
        QCOMPARE(w.queued(), QStringList({"0200000007"}));
        QTRY_COMPARE(w.rig.status("mode"), QString("CW"));
        QTRY_VERIFY(w.window.CwBtn->isChecked()); // the radio's answer wins

        // A=B: over, mode, frequency, back.
        w.window.AIsBBtn->click();
        QCOMPARE(w.queued(), QStringList({"0000000081", "0200000007", "0142500001", "0000000081"}));
        QTRY_VERIFY(w.queued().isEmpty());
        QTRY_COMPARE(w.rig.status("vfo"), QString("A"));

        // A marker with a receive tone only.
        TFqMarker marker;
        marker.Frequency = 145500000;
        marker.Mode = "FM";
        marker.RxCtcss = 885;
        w.window.GoToFqMarker(marker);
        QVERIFY(w.window.FmBtn->isChecked());
        QCOMPARE(w.queued(), QStringList({"0800000007", "1455000001", "088508850B", "2A0000000A"}));
        QTRY_COMPARE(w.rig.status("rxtone"), QString("885"));
        QTRY_COMPARE(w.rig.status("tonemode"), QString("2A"));
        QCOMPARE(w.rig.status("freq"), QString("145500000"));

        // Fifty tuning steps: never more than one frequency and one tones-off waiting.
        for (int i = 1; i <= 50; ++i) {
            w.window.TuneRadio(145500000 + i * 1250, true);
            const QStringList codes = w.window.CatEngine->CommandQueue.Codes();
            QVERIFY(codes.count("01") <= 1);
            QVERIFY(codes.count("0A") <= 1);
            if (i % 10 == 0)
                QTest::qWait(30);
        }
        QTRY_COMPARE(w.rig.status("freq"), QString("145562500"));
        QTRY_COMPARE(w.rig.status("tonemode"), QString("8A"));
        QCOMPARE(w.window.ScaleFrequency(), 145562500);

        // PTT, A/B and split.
        QTRY_VERIFY(w.queued().isEmpty());
        w.window.PttBtn->click();
        QCOMPARE(w.queued(), QStringList({"0000000008"}));
        QTRY_COMPARE(w.rig.status("ptt"), QString("1"));
        w.window.PttBtn->click();
        QCOMPARE(w.queued(), QStringList({"0000000088"}));
        QTRY_COMPARE(w.rig.status("ptt"), QString("0"));
        w.window.ABBtn->click();
        QCOMPARE(w.queued(), QStringList({"0000000081"}));
        QTRY_COMPARE(w.rig.status("vfo"), QString("B"));
        // VFO B got the frequency and mode of A=B above.
        QTRY_COMPARE(w.window.ScaleFrequency(), 14250000);
        QTRY_VERIFY(w.window.CwBtn->isChecked());
        w.window.SplitBtn->click();
        QCOMPARE(w.window.GetSplitState(w.window.SplitBtn), SplitOn);
        QCOMPARE(w.queued(), QStringList({"0000000002"}));
        QTRY_COMPARE(w.rig.status("split"), QString("1"));
        w.window.SplitBtn->click();
        QCOMPARE(w.window.GetSplitState(w.window.SplitBtn), SplitOff);
        QTRY_COMPARE(w.rig.status("split"), QString("0"));
    }

    // The scale, the arrow keys and the wheel tune the connected radio through
    // the command queue, each with its own follow-up.
    void scaleKeysAndWheelTuneTheRadio()
    {
        RadioWindow w({"--freq", "7030000", "--mode", "CW"});
        QVERIFY(w.rig.ok());
        w.window.show();
        QVERIFY(w.connect());
        QTRY_COMPARE(w.window.StatusText(), QString("Connected to TCVR."));
        QTRY_COMPARE(w.window.ScaleFrequency(), 7030000);
        QTRY_VERIFY(w.window.CwBtn->isChecked());
        QTRY_VERIFY(w.queued().isEmpty());

        // With the poll timer held, what each action leaves in the queue shows.
        w.window.MainTmr->stop();
        QVERIFY(w.window.FormKeyDown(Qt::Key_Right, Qt::NoModifier));
        w.window.FormKeyUp(Qt::Key_Right);
        QCOMPARE(w.window.ScaleFrequency(), 7030010);
        QCOMPARE(w.queued(), QStringList({"0070300101", "8A0000000A"}));

        // A drag across fifty steps leaves one frequency and one tones-off.
        for (int i = 1; i <= 50; ++i) {
            w.window.RadioScale->SetFrequency(7030010 + i * 100);
            w.window.RadioScaleFreqChanged(w.window.RadioScale->Frequency());
            QCOMPARE(w.queued().size(), 2);
        }
        QCOMPARE(w.queued(), QStringList({"0070350101", "8A0000000A"}));

        // One wheel notch tunes one step and sends the frequency alone.
        w.window.MainTmr->start();
        QTRY_VERIFY(w.queued().isEmpty());
        QTRY_COMPARE(w.rig.status("freq"), QString("7035010"));
        w.window.MainTmr->stop();
        w.window.FormMouseWheel(120);
        QCOMPARE(w.queued(), QStringList({"0070350201"}));
        w.window.MainTmr->start();
        QTRY_COMPARE(w.rig.status("freq"), QString("7035020"));

        // A marker without a mode and beyond the radio's range sends neither:
        // only its (empty) tones go out, the window stays where it is.
        QTRY_VERIFY(w.queued().isEmpty());
        w.window.MainTmr->stop();
        TFqMarker broken;
        broken.Frequency = 600000000;
        broken.Caption = "BROKEN";
        w.window.GoToFqMarker(broken);
        QCOMPARE(w.queued(), QStringList({"000000000B", "8A0000000A"}));
        QCOMPARE(w.window.ScaleFrequency(), 7035020);
        QVERIFY(w.window.CwBtn->isChecked());
        w.window.MainTmr->start();
    }

    void splitKeyOffLine()
    {
        TTarnwickFrm window;
        QCOMPARE(window.GetSplitState(window.SplitBtn), SplitIndeterminate);
        window.SplitBtn->click();
        QVERIFY(!window.SplitBtn->isChecked());
        QCOMPARE(window.GetSplitState(window.SplitBtn), SplitIndeterminate);
        QVERIFY(window.CatEngine->CommandQueue.IsEmpty());
        // PTT is queued off-line all the same; the next connect empties the queue.
        window.PttBtn->click();
        QCOMPARE(window.CatEngine->CommandQueue.Commands(), QStringList({"0000000008"}));
        // A marker off-line moves the window only.
        TFqMarker marker;
        marker.Frequency = 3573000;
        marker.Mode = "USB";
        window.GoToFqMarker(marker);
        QCOMPARE(window.ScaleFrequency(), 3573000);
        QCOMPARE(window.CatEngine->CommandQueue.Count(), 1);
    }

    void ft847VfoCopiesAreDirect()
    {
        RadioWindow w({}, "FT-847");
        QVERIFY(w.connect());
        QTRY_COMPARE(w.window.StatusText(), QString("Connected to TCVR."));
        QVERIFY(!w.window.ABBtn->isEnabled());
        QVERIFY(!w.window.SplitBtn->isEnabled());
        w.window.ABBtnClick(); // as the scripting object does
        QVERIFY(w.lines.contains("A/B: main vfo: \"0142500001\", sub vfo: \"1459000008\""));
        for (const char *sent : {">1459000001", ">0800000007", ">0142500011", ">0142500021", ">0100000017", ">0100000027"})
            QVERIFY2(w.lines.contains(sent), sent);
        QCOMPARE(w.rig.status("freq"), QString("145900000"));
        QCOMPARE(w.rig.status("mode"), QString("FM"));
        QCOMPARE(w.rig.status("satrx"), QString("14250000"));
        QCOMPARE(w.rig.status("sattxmode"), QString("USB"));

        w.window.AIsBBtnClick();
        QVERIFY(w.lines.contains("A=B: main vfo: \"1459000008\""));
        QCOMPARE(w.rig.status("satrx"), QString("145900000"));
        QCOMPARE(w.rig.status("sattx"), QString("145900000"));
        QCOMPARE(w.rig.status("satrxmode"), QString("FM"));

        w.window.SplitBtn->setEnabled(true);
        w.window.SplitBtn->click();
        QCOMPARE(w.queued(), QStringList({"000000004E"}));
        QTRY_COMPARE(w.rig.status("sat"), QString("1"));

        // Closing sends CAT off and leaves the radio alone otherwise.
        QVERIFY(w.window.close());
        QCOMPARE(w.rig.status("cat"), QString("0"));

        // Off-line the direct transfers fail and change nothing.
        TTarnwickFrm offline;
        offline.SetCommandLineSerial({"/dev/null", "FT-847"});
        offline.CatLog->SetWindowVisible(true);
        QStringList lines;
        connect(offline.CatLog.get(), &TCatLog::EntryAdded, this, [&lines](const QString &l) { lines << l; });
        offline.ABBtnClick();
        QVERIFY(lines.contains(">0000000003"));
        QVERIFY(lines.filter("ERROR [E10]: WriteFile: ").size() == 2);
        QCOMPARE(lines.filter(">").size(), 2);
    }

    void closingDisconnectsAndHidesTheDebugWindow()
    {
        RadioWindow w({});
        w.window.ComSettingsFrm->ShowDebugWndChk->setChecked(true);
        w.window.show();
        QTRY_VERIFY(w.window.ActivatedOnce);
        QVERIFY(!w.window.IsConnected()); // an advanced option: no connect at start
        QVERIFY(w.connect());
        QVERIFY(w.window.DebugFrm->isVisible());
        QTRY_VERIFY(w.window.DebugFrm->ErrorsLBx->count() > 10);
        QVERIFY(w.window.close());
        QVERIFY(!w.window.DebugFrm->isVisible());
        QVERIFY(!w.window.IsConnected());
        QCOMPARE(ReadSetting("Connected"), QString("1"));
    }

    void logFileRecordsTheSession()
    {
        RadioWindow w({});
        w.window.ComSettingsFrm->SaveLogChk->setChecked(true);
        QVERIFY(w.connect());
        QVERIFY(w.window.CatLog->LogOpen());
        QTRY_COMPARE(w.window.StatusText(), QString("Connected to TCVR."));
        const QString path = w.window.CatLog->LogFilePath();
        w.window.CatBtn->click();
        QVERIFY(!w.window.CatLog->LogOpen());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromLocal8Bit(file.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QVERIFY(lines.value(2).startsWith("Line: " + w.rig.path()));
        auto logged = [&lines](const QString &text) {
            for (const QString &line : lines)
                if (line.mid(9) == text) // after "hh:mm:ss "
                    return true;
            return false;
        };
        QVERIFY(logged("STATUS: Data integrity check..."));
        QVERIFY(logged("STATUS: Connected to TCVR."));
        QVERIFY(logged("CAT: Communication  (re)started."));
        QVERIFY(logged(">0000000003"));
        QVERIFY(logged("<0142500001"));
        QVERIFY(logged("STATUS: Off-line mode. Click COM button to connect to TCVR."));
        QVERIFY(lines.last().endsWith(" Log closed."));
        // Status lines go to the file only, not to the debug window.
        QVERIFY(w.lines.filter("STATUS: ").isEmpty());
    }

    void silentRadioIsGivenUpWithTheRealTimers()
    {
        RadioWindow w({"--silence"});
        WriteSetting("ConnectSuccess", "1");
        QVERIFY(w.connect());
        QCOMPARE(w.window.ConnectionWatchdogTmr->interval(), 1000);
        QStringList seen;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 30000 && w.window.IsConnected()) {
            const QString status = w.window.StatusText();
            if (seen.isEmpty() || seen.last() != status)
                seen << status;
            QTest::qWait(20);
        }
        seen << w.window.StatusText();
        QVERIFY(!w.window.IsConnected());
        QVERIFY2(clock.elapsed() >= 10000, qPrintable(QString::number(clock.elapsed())));
        QStringList expected{"Data integrity check..."};
        for (int n = 10; n >= 1; --n)
            expected << QString("No communication with TCVR [E20]. Retrying...[%1]").arg(n);
        expected << "No communication with TCVR [E21]. Click COM button to connect again.";
        QCOMPARE(seen, expected);
        QVERIFY(!w.window.CatBtn->isChecked());
        QCOMPARE(ReadSetting("ConnectSuccess"), QString("0"));
        QCOMPARE(w.lines.count("ERROR [E20]: No communication with TCVR. Retrying..."), 10);
        QCOMPARE(w.lines.count("ERROR [E21]: No communication with TCVR."), 1);
    }
};

TARNWICK_TEST_CLASS(TestMainRadio)
#include "tst_mainradio.moc"
