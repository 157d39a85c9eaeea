// The main window's command server and companion programs, driven by a
// plain socket client: markers on the scale, groups, tuning the emulated
// radio, the status line, the close question, the endpoints from the
// preferences, and Heronpost and Linkmoor started and closed.

#include "MainWindowTestSupport.h"
#include "base/Settings.h"
#include "base/Widgets.h"
#include "cat/CatEngine.h"
#include "common/PromptRecorder.h"
#include "data/DataTestSupport.h"
#include "remote/TcpServer.h"
#include "remote/TcpTestClient.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTimer>
#include <QToolButton>

namespace {

quint16 firstPort(const TTarnwickFrm &window)
{
    return window.TcpServer->ListeningPorts().value(0);
}

const TFqMarker *markerNamed(const TRadioScale &scale, const QString &caption)
{
    for (const TFqMarker *marker : scale.Markers)
        if (marker->Caption == caption)
            return marker;
    return nullptr;
}

QString argumentsOf(const QString &path)
{
    QFile file(path + ".args");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<none>");
}

// Processes that run the executable at path.
int instancesOf(const QString &path)
{
    int count = 0;
    for (const QString &entry : QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        count += ProcessExecutable(entry.toLongLong()) == QFileInfo(path).canonicalFilePath();
    return count;
}

} // namespace

class TestMainTcp : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::clearSettings(); }

    // A companion reads the status, puts markers on the scale, switches
    // groups, removes markers and tunes the emulated radio (the commands
    // themselves are the command set's tests).
    void companionDrivesWindowAndRadio()
    {
        WriteSetting("LastFreq", "7040000");
        WriteSetting("LastMode", "CW");
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        TRadioScale &s = fx.scale();
        s.AddMode(7000000, 7040000, "DIG", 0, "DIG");
        TcpTestClient client(firstPort(w));
        QTRY_COMPARE(client.ask("QS"), QByteArray("007040000CW   007000000007200000 "));
        QCOMPARE(client.ask("CS"), QByteArray("0"));
        QVERIFY(fx.connectToRig({"--freq", "7040000", "--mode", "CW"}));
        QTRY_COMPARE(client.ask("CS"), QByteArray("1"));

        // Each reply comes after its effect.
        QCOMPARE(client.ask("FMDX1       007010000CW   P    SPOTS     0"), QByteArray(""));
        QCOMPARE(client.ask("FMBEACON    007020000"), QByteArray(""));
        QVERIFY(markerNamed(s, "DX1"));
        QCOMPARE(markerNamed(s, "BEACON")->Mode, QString("DIG"));
        QCOMPARE(client.ask("SMSPOTS;DX"), QByteArray(""));
        QCOMPARE(s.VisibleGroups, (QStringList{"SPOTS", "DX"}));
        QCOMPARE(client.ask("GM"), QByteArray("SPOTS;DX;"));
        QCOMPARE(client.ask("DMSPOTS     1"), QByteArray(""));
        QVERIFY(!markerNamed(s, "DX1") && markerNamed(s, "BEACON"));

        // Tuning waits for the next poll tick.
        fx.holdPolling(true);
        w.MainTmr->stop();
        QCOMPARE(client.ask("TT014074000USB  DX2"), QByteArray(""));
        QCOMPARE(w.ScaleFrequency(), 7040000);
        w.MainTmrTimer();
        QCOMPARE(w.ScaleFrequency(), 14074000);
        QVERIFY(w.UsbBtn->isChecked());
        fx.holdPolling(false);
        w.MainTmr->start();
        QTRY_COMPARE(fx.rig->status("freq"), QString("14074000"));
        QTRY_COMPARE(fx.rig->status("mode"), QString("USB"));
        QTRY_COMPARE(client.ask("QS").left(14), QByteArray("014074000USB  "));

        // No frequency, or one below 100 kHz: nothing reaches the radio.
        w.MainTmr->stop();
        for (const QByteArray line : {"TT", "TTabc      LSB", "TT000099999LSB"}) {
            QCOMPARE(client.ask(line), QByteArray(""));
            w.MainTmrTimer();
            QVERIFY2(fx.queued().isEmpty() && w.ScaleFrequency() == 14074000 && w.UsbBtn->isChecked(), line);
        }
        QCOMPARE(fx.rig->status("freq") + fx.rig->status("mode"), QString("14074000USB"));
    }

    // Closing with a client connected asks once; No keeps the window, Yes
    // tells the clients (column 33) and closes when the timer runs out.
    void closeQuestion()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        w.DisconnectAndTerminateTmr->setInterval(100);
        TcpTestClient client(firstPort(w));
        QCOMPARE(client.ask("IV"), QByteArray("1"));
        testenv::PromptRecorder prompts;
        prompts.answers = {false, true};
        w.close();
        QVERIFY(w.isVisible() && !w.DisconnectAndTerminateTmr->isActive());
        QCOMPARE(prompts.texts(), QStringList{"One or more TCP/IP clients connected to Zov.\n\nTerminate anyway?"});
        w.close();
        QVERIFY(w.isVisible());
        QCOMPARE(w.StatusText(), QString("Disconnecting clients..."));
        QVERIFY(w.StatusBarPnl->font().bold());
        QTRY_COMPARE(client.ask("QS").right(1), QByteArray("1"));
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(prompts.shown.size(), 2);
        QVERIFY(client.waitForClose());
    }

    // The endpoints come from the preferences; a port that is taken is named
    // in the message, and Ok in the preferences starts the server anew.
    void endpointsFromPreferences()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        QCOMPARE(w.TcpServer->ListeningPorts().size(), 3);
        QTcpServer occupier;
        QVERIFY(occupier.listen(QHostAddress::LocalHost, 0));
        const QString taken = QString::number(occupier.serverPort());
        qunsetenv("TARNWICK_TCP_ANY_PORT");
        w.OptionsFrm->PortCBx->setCurrentText("0");
        w.OptionsFrm->IpAddress2CBx->setCurrentText(" 127.0.0.1 ");
        w.OptionsFrm->Port2CBx->setCurrentText(taken);
        w.OptionsFrm->IpAddress3CBx->setCurrentText("");
        fx.messages.clear();
        w.StartTcpServer();
        qputenv("TARNWICK_TCP_ANY_PORT", "1");
        QCOMPARE(fx.messages, QStringList{"Can't use the specified IP address ( 127.0.0.1 ) and port (" + taken
                                          + ")\nIt is either occupied by another software or there are more \nZov "
                                            "instances running concurrently.\n\nAny clients (if any) will not be able "
                                            "to connect to Zov.\n\nTry to change IP address or port."});
        QVERIFY(!w.TcpServer->IsActive());

        QTimer::singleShot(0, w.OptionsFrm, &QDialog::accept);
        w.PreferencesMnuClick();
        QCOMPARE(w.TcpServer->ListeningPorts().size(), 2); // the third address is empty
        QCOMPARE(TcpTestClient(firstPort(w)).ask("XS"), QByteArray("Tarnwick"));
    }

    // Heronpost is a "#!/bin/sh" wrapper that runs its program without exec,
    // Linkmoor the program itself, in a folder with a blank in its name:
    // started as chosen and not twice; Heronpost (wrapper and program) closed
    // and started again after Ok in the preferences; both closed with the
    // window, or Linkmoor left running when the page says so by then.
    void companionProgramsStartAndClose()
    {
        const QByteArray sandboxFolder = qgetenv("TARNWICK_PROGRAM_DIR");
        const QString folder = QString::fromLocal8Bit(sandboxFolder) + "/with blank";
        const QString program = folder + "/Heronpost.bin";
        QVERIFY(QDir().mkpath(folder));
        qputenv("TARNWICK_PROGRAM_DIR", folder.toLocal8Bit());
        const QString fake = QCoreApplication::applicationDirPath() + "/tarnwick-fakecompanion";
        QVERIFY(QFile::copy(fake, folder + "/Linkmoor") && QFile::copy(fake, program));
        QVERIFY(datatest::writeBytes(folder + "/Heronpost", "#!/bin/sh\n\"$0.bin\" \"$@\"\n"));
        QVERIFY(QFile::setPermissions(folder + "/Heronpost", QFile::permissions(program)));
        {
            MainWindowFixture fx;
            TTarnwickFrm &w = fx.create(); // "Don't start"
            QVERIFY(w.HeronpostProcess.Id == 0 && w.LinkmoorProcess.Id == 0);
            w.OptionsFrm->HeronpostRdo->SetItemIndex(2);
            w.OptionsFrm->LinkmoorRdo->SetItemIndex(1);
            w.StartClientPrograms();
            const StartedProcess heronpost = w.HeronpostProcess, linkmoor = w.LinkmoorProcess;
            QVERIFY(ProcessRuns(heronpost) && ProcessRuns(linkmoor));
            QTRY_COMPARE(argumentsOf(program), QString("-m"));
            QTRY_COMPARE(argumentsOf(folder + "/Linkmoor"), QString());
            w.StartClientPrograms();
            QVERIFY(w.HeronpostProcess == heronpost && w.LinkmoorProcess == linkmoor);

            QTimer::singleShot(0, w.OptionsFrm, &QDialog::accept);
            w.PreferencesMnuClick();
            QVERIFY(!ProcessRuns(heronpost) && ProcessRuns(w.HeronpostProcess));
            QCOMPARE(w.LinkmoorProcess, linkmoor);
            QTRY_COMPARE(instancesOf(program), 1); // the old program went with its wrapper

            const StartedProcess running = w.HeronpostProcess;
            w.close();
            QVERIFY(!ProcessRuns(running));
            QTRY_VERIFY(!ProcessRuns(linkmoor) && instancesOf(program) == 0);
        }
        {
            MainWindowFixture fx;
            TTarnwickFrm &w = fx.create();
            w.OptionsFrm->LinkmoorRdo->SetItemIndex(1);
            w.StartClientPrograms();
            const StartedProcess linkmoor = w.LinkmoorProcess;
            w.OptionsFrm->LinkmoorRdo->SetItemIndex(0);
            QTimer::singleShot(0, w.OptionsFrm, &QDialog::accept);
            w.PreferencesMnuClick();
            QVERIFY(ProcessRuns(linkmoor) && w.LinkmoorProcess.Id == 0); // let go: the window closes it no more
            CloseProgramWindows(linkmoor.Id);
        }
        qputenv("TARNWICK_PROGRAM_DIR", sandboxFolder);
    }
};

TARNWICK_TEST_CLASS(TestMainTcp)
#include "tst_maintcp.moc"
