// The PROG keys and the Zov object wired into the real main window: a script
// stepping the emulated radio, the "Line: " report, an endless loop stopped by
// its key, the hints, and no PTT holder (script, client) leaving it keyed.

#include "MainWindowTestSupport.h"
#include "base/Folders.h"
#include "cat/RigProcess.h"
#include "common/DBusDaemon.h"
#include "controls/Digits2.h"
#include "data/BandKeys.h"
#include "remote/RigctldServer.h"
#include "remote/TcpServer.h"
#include "remote/TcpTestClient.h"
#include "remote/ZovDBus.h"
#include "script/EditScript.h"
#include "script/ScriptDialogs.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>

#include <sys/socket.h>

namespace {

void writeScript(const QString &name, const QByteArray &bytes)
{
    QFile file(ProgramFolder() + name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

bool keysRestored(TTarnwickFrm &w)
{
    for (QToolButton *key : {w.Prog1Btn, w.Prog2Btn, w.Prog3Btn})
        if (key->isChecked() || !key->isEnabled() || key->palette().color(QPalette::ButtonText) != QColor(Qt::black))
            return false;
    return !w.BlinkingButtonTmr->isActive() && !w.ScriptRunning();
}

// Five frequencies, each read back after the radio had time to report.
const char StepScript[] = "For i = 0 To 4\n"
                          "    Zov.Frequency = 7010000 + i * 5000\n"
                          "    Zov.Sleep 300\n"
                          "    r = r & Zov.Frequency & \" \" & Zov.SMeter & \" \" & Zov.Squelch & \";\"\n"
                          "    If Zov.Interrupted Then Exit For\n"
                          "Next\n"
                          "MsgBox r\n";

} // namespace

class TestMainScript : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::resetSandbox(); }
    void cleanup()
    {
        SetScriptMsgBoxAnswerer({});
        TTarnwickFrm::SetComSettingsRunner({});
    }

    // The emulated radio has a signal on the third frequency, above its
    // squelch level: the script sees the meter rise and the squelch open
    // there, and every frequency it set confirmed by the radio. Clicked
    // again, the key stops it at its next look at Interrupted.
    void scriptStepsTheEmulatedRadio()
    {
        QVERIFY2(!qEnvironmentVariable("TARNWICK_RIGSIM").isEmpty(), "TARNWICK_RIGSIM is not set");
        RigProcess rig({"--speed", "38400", "--delay", "1", "--model", "FT-817", "--freq", "7000000", "--signal",
                        "7020000:9:1000", "--squelch-level", "3"});
        QVERIFY(rig.ok());
        TTarnwickFrm::SetComSettingsRunner([](TComSettingsFrm &) { return true; });
        QStringList messages;
        SetInformationAnswerer([&](QWidget *, const QString &text) { messages << text; });
        QStringList boxes;
        SetScriptMsgBoxAnswerer([&](const QString &prompt, int, const QString &) {
            boxes << prompt;
            return 1;
        });
        TTarnwickFrm w;
        w.FormShow(); // the band keys from the band plan
        w.SetCommandLineSerial({rig.path(), "FT-817"});
        w.CatBtn->click();
        QTRY_COMPARE(w.StatusText(), QString("Connected to TCVR."));
        messages.clear();

        // The editor shows the file; what is typed there is run (the saving
        // is the script keys' own tests).
        writeScript("PROG1.vbs", "' steps\r\n");
        QString shown;
        w.EditScriptRunner = [&](TEditScriptFrm &editor) {
            shown = editor.ScriptText();
            editor.RichEdit1->setPlainText(QString("' steps\n") + StepScript);
            return true;
        };
        w.Prog1Btn->click();
        QCOMPARE(shown, QString("' steps\n"));
        QCOMPARE(messages, QStringList());
        // "frequency meter squelch;" per step: the meter rises and the squelch
        // opens on the third.
        QCOMPARE(boxes.size(), 1);
        const QRegularExpression readings("^7010000 0 True;7015000 \\d+ True;7020000 [1-9]\\d* False;"
                                          "7025000 \\d+ True;7030000 \\d+ True;$");
        QVERIFY2(readings.match(boxes.at(0)).hasMatch(), qPrintable(boxes.at(0)));
        QCOMPARE(rig.status("freq"), QString("7030000"));
        QCOMPARE(w.DigiScale->AsString().trimmed(), QString("7030.00"));
        QVERIFY(keysRestored(w));

        // The other members reach the window's keys, the scale and the radio.
        boxes.clear();
        w.EditScriptRunner = [](TEditScriptFrm &editor) {
            editor.SetScriptText("Zov.ToggleVfo : Zov.Sleep 200\n"
                                 "Zov.Band = \"14\" : Zov.Mode = \"USB\" : Zov.Split = True : Zov.Ptt = True\n"
                                 "Zov.Sleep 200 : MsgBox Zov.Band & Zov.Mode & Zov.Split & Zov.Ptt\n"
                                 "Zov.Ptt = False : Zov.ZoomTo 14000000, 14100000 : Zov.Sleep 200");
            return true;
        };
        w.Prog2Btn->click();
        QCOMPARE(boxes, QStringList({"14USBTrueTrue"}));
        QVERIFY(rig.status("ptt") == "0" && rig.status("split") == "1" && rig.status("vfo") == "B");
        QCOMPARE(rig.status("mode"), QString("USB"));
        QCOMPARE(w.BandKeys->PressedButton(), -1);
        QCOMPARE(w.RadioScale->ScaleEnd(), 14100000);

        // Stopped during its second wait.
        boxes.clear();
        w.EditScriptRunner = [](TEditScriptFrm &) { return true; };
        QTimer::singleShot(450, &w, [&] { w.Prog1Btn->click(); });
        w.Prog1Btn->click();
        QCOMPARE(boxes.size(), 1);
        const int done = int(boxes.at(0).split(';', Qt::SkipEmptyParts).size());
        QVERIFY2(done >= 1 && done < 5, qPrintable(boxes.at(0)));
        QVERIFY(keysRestored(w));
        SetInformationAnswerer({});
    }

    // The hints come from the files. A syntax error on line 3: nothing runs,
    // the report names the line. An endless loop that never calls Zov: the
    // window still works, the power key cannot close it, the key blinks, and
    // a click on it stops the loop.
    void hintsErrorsAndAnEndlessLoop()
    {
        writeScript("PROG1.vbs", "' Beacon\r\n  Zov.Ptt = True  \r\n");
        writeScript("PROG2.vbs", "Do : Loop\r\n");
        writeScript("PROG3.vbs", "MsgBox 1\r\nx = 2\r\nIf x Then y = (\r\n");
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        QCOMPARE(w.Prog1Btn->toolTip(), QString("' Beacon\nZov.Ptt = True"));
        w.EditScriptRunner = [](TEditScriptFrm &) { return true; };
        fx.messages.clear();
        w.Prog3Btn->click();
        QCOMPARE(fx.messages, QStringList({"Line: 3\n\nExpected expression"}));
        QVERIFY(keysRestored(w));

        fx.messages.clear();
        // At each blink: the key's colour, the other keys enabled, and the
        // text of key 3 (coloured by its run above) grey as disabled text is.
        QStringList seen;
        const QColor greyed = QApplication::palette(w.Prog3Btn).color(QPalette::Disabled, QPalette::ButtonText);
        connect(w.BlinkingButtonTmr, &QTimer::timeout, &w, [&] {
            seen << QString("%1 %2%3%4").arg(w.Prog2Btn->palette().color(QPalette::ButtonText) == Qt::red)
                        .arg(w.Prog1Btn->isEnabled()).arg(w.Prog3Btn->isEnabled())
                        .arg(w.Prog3Btn->palette().color(QPalette::Disabled, QPalette::ButtonText) == greyed);
        });
        QTimer::singleShot(100, &w, [&] { w.PwrBtn->click(); });
        QTimer::singleShot(400, &w, [&] { w.Prog2Btn->click(); });
        w.Prog2Btn->click();
        QVERIFY(seen.size() >= 2);
        QCOMPARE(seen.mid(0, 2), QStringList({"1 001", "0 001"}));
        QCOMPARE(fx.messages.size(), 1);
        QVERIFY(fx.messages.at(0).startsWith("Zov can't be switched off while a script is running."));
        QVERIFY(w.isVisible() && keysRestored(w));
    }

    // A SIGTERM while a script loops and a client is connected: the script
    // is stopped and the window closes without a question (a close query
    // alone would refuse for as long as the script runs, then ask).
    void shutdownStopsTheRunningScript()
    {
        writeScript("PROG2.vbs", "Do : Loop\r\n");
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        TcpTestClient client(w.TcpServer->ListeningPorts().value(0));
        QCOMPARE(client.ask("IV"), QByteArray("1"));
        w.EditScriptRunner = [](TEditScriptFrm &) { return true; };
        QTimer::singleShot(100, &w, [&] { w.CloseForShutdown(); });
        // Only reached on failure: ends the loop so the test can report.
        QTimer::singleShot(5000, &w, [&] { w.StopScript(); });
        w.Prog2Btn->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 2000);
        QVERIFY(fx.questions.isEmpty());
    }

    // Each row keys the radio its own way, sees it keyed and makes its holder
    // go: within a second the radio is unkeyed and the window says why.
    void holderGoingAwayUnkeysTheRadio()
    {
        DBusDaemon bus;
        MainWindowFixture fx(true);
        TTarnwickFrm &w = fx.create();
        w.EditScriptRunner = [](TEditScriptFrm &) { return true; };
        QVERIFY(bus.ok() && w.StartAutomation(bus.address()) && fx.connectToRig({})
                && w.RigctldServer->Listen(QHostAddress::LocalHost, 0));
        const auto keyed = [&] { return QTest::qWaitFor([&] { return fx.rig->status("ptt") == "1"; }, 5000); };
        QTcpSocket client;
        const auto clientKeys = [&] {
            client.connectToHost(QHostAddress::LocalHost, w.RigctldServer->Port());
            return client.waitForConnected(5000) && client.write("T 1\n") == 4 && keyed();
        };
        const auto clientResets = [&, reset = ::linger{1, 0}] { // an abort with no lingering
            return !::setsockopt(int(client.socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset)
                   && (client.abort(), true);
        };
        // The script runs inside its key's click: seen keyed (and stopped) while it sleeps.
        const auto scriptRuns = [&](const QByteArray &script, bool stop) {
            writeScript("PROG1.vbs", script);
            bool wasKeyed = false;
            QTimer::singleShot(0, &w, [&] {
                if ((wasKeyed = keyed()) && stop)
                    w.Prog1Btn->click();
            });
            w.Prog1Btn->click();
            return wasKeyed;
        };
        const QString clientWent = "the client 127\\.0\\.0\\.1:\\d+ went away";
        const std::initializer_list<std::pair<std::function<bool()>, QString>> rows = {
            {[&] { return clientKeys() && (client.disconnectFromHost(), true); }, clientWent},
            {[&] { return clientKeys() && clientResets(); }, clientWent},
            {[&] { return clientKeys() && client.write("\x01\n") == 2; }, clientWent},
            {[&] { return scriptRuns("Zov.Ptt = True\r\nDo : Zov.Sleep 20 : Loop\r\n", true); },
             "the script PROG 1 was stopped"},
            {[&] { return scriptRuns("Zov.Ptt = True\r\nZov.Sleep 20\r\nx = 1 / 0\r\n", false); },
             "the script PROG 1 failed"},
            {[&] { // gdbus leaves the bus right after its call
                 return bus.run("gdbus", {"call", "--session", "--dest", ZovDBus::Service, "--object-path", ZovDBus::Path,
                                          "--method", "org.freedesktop.DBus.Properties.Set", ZovDBus::Interface, "Ptt",
                                          "<true>"}).exitCode == 0;
             },
             "the D-Bus client :1\\.\\d+ left the bus"},
        };
        for (const auto &[keyAndGo, who] : rows) {
            fx.logLines.clear();
            QVERIFY2(keyAndGo(), qPrintable(who));
            QTRY_COMPARE_WITH_TIMEOUT(fx.rig->status("ptt"), QString("0"), 1000);
            const QRegularExpression said("^PTT released: " + who + "\\.$");
            QVERIFY2(said.match(w.StatusText()).hasMatch() && fx.logLines.filter(said).size() == 1, qPrintable(who));
            client.abort();
        }
        // A script that ends by itself leaves the radio keyed on purpose.
        QVERIFY(scriptRuns("Zov.Ptt = True\r\nZov.Sleep 20\r\n", false));
        QCOMPARE(w.PttBtn->toolTip(), QString("PTT held by the script PROG 1"));
    }
};

TARNWICK_TEST_CLASS(TestMainScript)
#include "tst_mainscript.moc"
