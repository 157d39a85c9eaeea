// The main window on radios through Hamlib: its dummy radio in this process,
// and the radio emulator served by rigctld on this computer as a radio on
// the network.

#include "MainWindowTestSupport.h"
#include "base/Settings.h"
#include "controls/Depresz.h"

#include "remote/Rigctl.h"

#include <QLabel>

namespace {

QString offLine()
{
    return QStringLiteral("No communication with TCVR [E21]. Click COM button to connect again.");
}

} // namespace

class TestMainHamlib : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        testenv::clearSettings();
        WriteSetting("Connected", "0"); // no connect to the serial dialog's first port at start
    }

    void windowDrivesTheDummyRadio()
    {
        MainWindowFixture fx(true);
        TTarnwickFrm &w = fx.create();
        w.SetCommandLineSerial({"none", {}, "1", {}});
        QVERIFY(fx.connect());
        QTRY_COMPARE(w.StatusText(), QString("Connected to TCVR."));
        // What the dummy lacks is off, and says why.
        QVERIFY(!w.DigBtn->isEnabled() && !w.PktBtn->isEnabled() && w.FskBtn->isEnabled());
        QCOMPARE(w.DigBtn->toolTip(), QString("The radio has no DIG mode."));
        QVERIFY(w.ABBtn->isEnabled() && w.SplitBtn->isEnabled() && w.Depresz->Lit());

        auto onRadio = [&](const QString &command) {
            QString reply;
            w.CatEngine->RunDirect([&](const TCatTransport::DirectSend &send) { reply = send(command, 0).Reply; });
            return QTest::qWaitFor([&] { return w.CatEngine->Idle(); }) ? reply : QString("busy");
        };
        onRadio("F 7100000");
        onRadio("M CW 0");
        QTRY_VERIFY(w.ScaleFrequency() == 7100000 && w.CwBtn->isChecked());
        w.UsbBtn->click();
        w.PttBtn->click();
        QTRY_COMPARE(onRadio("m;t"), QString("USB;1"));
        w.PttBtn->click();
        QTRY_COMPARE(onRadio("t"), QString("0"));

        // The rigctld endpoint shares it with Hamlib programs.
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        const quint16 port = probe.serverPort();
        probe.close();
        w.SetCommandLineRigctld({true, "127.0.0.1", port});
        w.ApplyRigctldOptions();
        const QString endpoint = QStringLiteral("127.0.0.1:%1").arg(port);
        QCOMPARE(rigctl::run("2", endpoint, {"F", "3560000", "f"}), QStringList({"3560000"}));
        QTRY_COMPARE(onRadio("f"), QString("3560000"));

        w.CatBtn->click();
        QVERIFY(w.DigBtn->isEnabled() && w.DigBtn->toolTip().isEmpty()); // off-line: every key on
    }

    // rigctld serves the emulated FT-817 (Hamlib's backend needs the radio's
    // real turnaround); the window uses it as a radio on the network.
    void radioOnTheNetworkEndToEnd()
    {
        RigProcess radio({"--model", "FT-817", "--speed", "4800", "--delay", "55", "--freq", "3550000", "--mode", "LSB"});
        QVERIFY(radio.ok());
        auto rigctld = std::make_unique<rigctl::Daemon>("1020", radio.path(), "4800");
        const quint16 port = rigctld->port;
        MainWindowFixture fx(true);
        TTarnwickFrm &w = fx.create();
        w.SetCommandLineSerial({{}, {}, {}, rigctld->target()});
        QVERIFY(fx.connect());
        QTRY_COMPARE_WITH_TIMEOUT(w.StatusText(), QString("Connected to TCVR."), 20000);

        // Frequency, mode, S-meter and squelch follow the radio.
        for (const char *line : {"set freq 7050000", "set mode CW", "set smeter 9", "set squelch open"})
            QCOMPARE(radio.control(line).left(2), QString("ok"));
        QTRY_VERIFY_WITH_TIMEOUT(w.ScaleFrequency() == 7050000 && w.CwBtn->isChecked(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(w.DepreszLbl->text() == "60%" && w.GetSqlState() == 1, 10000);
        radio.control("set squelch closed");
        QTRY_COMPARE_WITH_TIMEOUT(w.GetSqlState(), 0, 10000);

        // The scale, a mode key, PTT and a marker reach it.
        w.RadioScale->SetFrequency(7060000);
        w.RadioScaleFreqChanged(7060000);
        QTRY_COMPARE_WITH_TIMEOUT(radio.status("freq"), QString("7060000"), 10000);
        w.UsbBtn->click();
        QTRY_COMPARE_WITH_TIMEOUT(radio.status("mode"), QString("USB"), 10000);
        w.PttBtn->click();
        QTRY_COMPARE_WITH_TIMEOUT(radio.status("ptt"), QString("1"), 10000);
        w.PttBtn->click();
        QTRY_COMPARE_WITH_TIMEOUT(radio.status("ptt"), QString("0"), 10000);
        TFqMarker &marker = fx.addMarker(7070000);
        marker.Mode = "FM";
        marker.RxCtcss = 885;
        const QPoint flag = centre(marker.HitRect);
        pressLeft(fx.scale(), flag.x(), flag.y());
        releaseLeft(fx.scale(), flag.x(), flag.y());
        QTRY_COMPARE_WITH_TIMEOUT(radio.status("freq") + radio.status("mode"), QString("7070000FM"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(radio.status("rxtone") + radio.status("tonemode"), QString("8852A"), 10000);

        // rigctld stops: the watchdog's retries, then off-line. Its timer is
        // driven here; bench/hamlib_polling times the real one.
        rigctld.reset();
        w.CatEngine->SetManualTimers(true);
        const auto settled = [&] { return QTest::qWaitFor([&] { return w.CatEngine->Idle(); }); };
        QVERIFY(settled());
        w.MainTmrTimer();
        QTRY_COMPARE(w.StatusText(), QString("Radio does not answer (Hamlib: IO error)"));
        for (int i = 0; i < 11; ++i) {
            w.ConnectionWatchdogTmrTimer();
            QVERIFY(settled());
        }
        QCOMPARE(w.StatusText(), offLine());
        QVERIFY(!w.IsConnected() && !w.CatBtn->isChecked());

        // Started again, the COM key connects.
        rigctld = std::make_unique<rigctl::Daemon>("1020", radio.path(), "4800", port);
        QVERIFY(rigctld->listening());
        w.CatEngine->SetManualTimers(false);
        QVERIFY(fx.connect());
        QTRY_COMPARE_WITH_TIMEOUT(w.StatusText(), QString("Connected to TCVR."), 20000);
        // (Hamlib's FT-817 backend may leave the radio on VFO B as it opens.)
        QTRY_COMPARE_WITH_TIMEOUT(w.ScaleFrequency(), radio.status("freq").toInt(), 10000);
    }
};

TARNWICK_TEST_CLASS(TestMainHamlib)
#include "tst_mainhamlib.moc"
