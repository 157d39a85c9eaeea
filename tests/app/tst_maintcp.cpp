// The main window's TCP command server and companion programs, driven by a
// plain socket client: markers on the scale, groups, tuning the emulated
// radio, the status line, the close question, the endpoints from the
// preferences, and Heronpost and Linkmoor started and closed.

#include "MainWindowTestSupport.h"
#include "base/Settings.h"
#include "base/Widgets.h"
#include "cat/CatEngine.h"
#include "cat/RigProcess.h"
#include "common/PromptRecorder.h"
#include "controls/ScaleTestSupport.h"
#include "remote/TcpServer.h"
#include "remote/TcpTestClient.h"

#include <QDir>
#include <QFile>
#include <QTcpServer>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <csignal>
#include <memory>
#include <vector>

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

bool processRuns(qint64 pid)
{
    return pid > 0 && !ProcessExecutable(pid).isEmpty();
}

QString readArgs(const QString &path)
{
    QFile file(path + ".args");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<none>");
}

} // namespace

class TestMainTcp : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::clearSettings(); }

    // The done run: a companion reads the status, puts markers on the scale,
    // switches groups, removes markers and tunes the emulated radio.
    void companionDrivesWindowAndRadio()
    {
        RigProcess rig({"--speed", "38400", "--delay", "1", "--model", "FT-817", "--freq", "7040000", "--mode", "CW"});
        QVERIFY(rig.ok());
        WriteSetting("LastFreq", "7040000");
        WriteSetting("LastMode", "CW");
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        fx.scale().ClearModes();
        fx.scale().AddMode(7000000, 7040000, "DIG", 0, "DIG");
        TcpTestClient client(firstPort(w));
        QVERIFY(client.ok());
        QTRY_COMPARE(client.ask("QS"), QByteArray("007040000CW   007000000007200000 "));
        QCOMPARE(client.ask("CS"), QByteArray("0"));

        w.SetCommandLineSerial({rig.path(), "FT-817"});
        TTarnwickFrm::SetComSettingsRunner([](TComSettingsFrm &) { return true; });
        w.CatBtn->click();
        QTRY_COMPARE(w.StatusText(), QString("Connected to TCVR."));
        QTRY_COMPARE(client.ask("CS"), QByteArray("1"));

        // Each reply comes after its effect: the markers are on the scale.
        QCOMPARE(client.ask("FMDX1       007010000CW   P    SPOTS     0first~second"), QByteArray(""));
        QCOMPARE(client.ask("FMBEACON    007020000"), QByteArray(""));
        QCOMPARE(client.ask("UMHERE       1"), QByteArray(""));
        const TFqMarker *dx = markerNamed(fx.scale(), "DX1");
        QVERIFY(dx && markerNamed(fx.scale(), "BEACON") && markerNamed(fx.scale(), "HERE"));
        QCOMPARE(dx->Remark, QString("first\r\nsecond"));
        QVERIFY(dx->Highlighted && !dx->Permanent);
        QCOMPARE(markerNamed(fx.scale(), "HERE")->Frequency, 7040000);
        QCOMPARE(markerNamed(fx.scale(), "BEACON")->Mode, QString("DIG"));

        QCOMPARE(client.ask("SMSPOTS;DX"), QByteArray(""));
        QCOMPARE(fx.scale().VisibleGroups, (QStringList{"SPOTS", "DX"}));
        QCOMPARE(client.ask("GM"), QByteArray("SPOTS;DX;"));
        QVERIFY(fx.scale().IsMarkerVisibleByGroups(*dx));
        QCOMPARE(client.ask("SM"), QByteArray(""));
        QVERIFY(!fx.scale().IsMarkerVisibleByGroups(*dx));
        QVERIFY(fx.scale().IsMarkerVisibleByGroups(*markerNamed(fx.scale(), "BEACON")));

        QCOMPARE(client.ask("DMSPOTS     1"), QByteArray(""));
        QVERIFY(!markerNamed(fx.scale(), "DX1"));
        QVERIFY(markerNamed(fx.scale(), "BEACON"));

        // Tuning waits for the next poll tick.
        QCOMPARE(client.ask("FMDX2       014074000USB "), QByteArray(""));
        w.MainTmr->stop();
        QCOMPARE(client.ask("TT014074000USB  DX2"), QByteArray(""));
        QVERIFY(w.CatEngine->PendingTune.IsSet());
        QCOMPARE(w.ScaleFrequency(), 7040000);
        w.MainTmrTimer();
        QCOMPARE(w.ScaleFrequency(), 14074000);
        QVERIFY(w.UsbBtn->isChecked());
        QVERIFY(!w.CatEngine->PendingTune.IsSet());
        w.MainTmr->start();
        QTRY_COMPARE(rig.status("freq"), QString("14074000"));
        QTRY_COMPARE(rig.status("mode"), QString("USB"));
        QTRY_COMPARE(client.ask("QS").left(14), QByteArray("014074000USB  "));
    }

    // Ten clients send marker and group bursts while the user drags the
    // scale: every line is answered, the scale keeps its markers sorted, and
    // each client's last DM leaves none of its group.
    void markerBurstsWhileTheUserDrags()
    {
        MainWindowFixture fx;
        fx.create();
        TRadioScale &s = fx.scale();
        std::vector<std::unique_ptr<TcpTestClient>> clients;
        constexpr int rounds = 30;
        for (int c = 0; c < 10; ++c) {
            clients.push_back(std::make_unique<TcpTestClient>(firstPort(*fx.window)));
            QByteArray burst;
            const QByteArray group = "G" + QByteArray::number(c);
            for (int r = 0; r < rounds; ++r) {
                const QByteArray caption = QStringLiteral("M%1-%2").arg(c).arg(r).toLatin1().leftJustified(10, ' ');
                burst += "FM" + caption + QByteArray::number(3510000 + 1000 * r + 100 * c).rightJustified(9, '0')
                    + "CW   -    " + group.leftJustified(10, ' ') + (r % 10 == 9 ? "1\n" : "0\n");
                burst += "UMU" + QByteArray::number(c) + "        -" + (r % 10 == 9 ? "1\n" : "0\n");
                burst += "SM" + group + ";G0\n";
            }
            burst += "DM" + group.leftJustified(10, ' ') + "1\nQS\n";
            QVERIFY(clients.back()->send(burst));
        }
        const int y = s.height() / 2;
        pressLeft(s, s.drawnSliderX(), y);
        for (const auto &client : clients) {
            for (int line = 0; line < rounds * 3 + 1; ++line) {
                QCOMPARE(client->readLine(), QByteArray(""));
                if (line % 15 == 0)
                    dragTo(s, s.drawnSliderX() + (line % 30 == 0 ? 7 : -5), y);
            }
            QCOMPARE(client->readLine().size(), 33);
        }
        releaseLeft(s, s.drawnSliderX(), y);
        QVERIFY(std::is_sorted(s.Markers.begin(), s.Markers.end(),
                               [](const TFqMarker *a, const TFqMarker *b) { return a->Frequency < b->Frequency; }));
        for (const TFqMarker *marker : s.Markers)
            QVERIFY2(marker->Attributes.isEmpty(), qPrintable(marker->Caption));
        QVERIFY(markerNamed(s, "U9"));
    }

    // Closing with a client connected asks once; No keeps the window, Yes
    // tells the clients (column 33) and closes when the timer runs out.
    void closeQuestion()
    {
        MainWindowFixture fx;
        fx.create();
        TTarnwickFrm &w = *fx.window;
        w.DisconnectAndTerminateTmr->setInterval(100);
        TcpTestClient client(firstPort(w));
        QCOMPARE(client.ask("IV"), QByteArray("1"));
        QTRY_COMPARE(w.TcpServer->ClientCount(), 1);

        testenv::PromptRecorder prompts;
        prompts.answers = {false, true};
        w.close();
        QVERIFY(w.isVisible());
        QCOMPARE(prompts.texts(), QStringList{"One or more TCP/IP clients connected to Zov.\n\nTerminate anyway?"});
        QVERIFY(!w.DisconnectAndTerminateTmr->isActive());
        QCOMPARE(client.ask("QS").right(1), QByteArray(" "));

        w.close();
        QVERIFY(w.isVisible());
        QCOMPARE(prompts.shown.size(), 2);
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
        fx.create();
        TTarnwickFrm &w = *fx.window;
        QCOMPARE(w.TcpServer->ListeningPorts().size(), 3);
        QTcpServer occupier;
        QVERIFY(occupier.listen(QHostAddress::LocalHost, 0));
        const QString taken = QString::number(occupier.serverPort());
        TcpTestClient before(firstPort(w));
        QCOMPARE(before.ask("IV"), QByteArray("1"));

        qunsetenv("TARNWICK_TCP_ANY_PORT");
        w.OptionsFrm->PortCBx->setCurrentText("0");
        w.OptionsFrm->IpAddress2CBx->setCurrentText(" 127.0.0.1 ");
        w.OptionsFrm->Port2CBx->setCurrentText(taken);
        w.OptionsFrm->IpAddress3CBx->setCurrentText("");
        fx.messages.clear();
        w.StartTcpServer();
        qputenv("TARNWICK_TCP_ANY_PORT", "1");
        QCOMPARE(fx.messages,
                 QStringList{"Can't use the specified IP address ( 127.0.0.1 ) and port (" + taken
                             + ")\nIt is either occupied by another software or there are more \nZov instances running "
                               "concurrently.\n\nAny clients (if any) will not be able to connect to Zov.\n\nTry to "
                               "change IP address or port."});
        QVERIFY(!w.TcpServer->IsActive());
        QVERIFY(before.waitForClose());

        QTimer::singleShot(0, w.OptionsFrm, &QDialog::accept);
        w.PreferencesMnuClick();
        QVERIFY(w.TcpServer->IsActive());
        QCOMPARE(w.TcpServer->ListeningPorts().size(), 2); // the third address is empty
        QCOMPARE(TcpTestClient(firstPort(w)).ask("XS"), QByteArray("Tarnwick"));
    }

    // Heronpost and Linkmoor from a program folder with a blank in its name:
    // started as chosen, not twice, Heronpost closed and started again after
    // Ok in the preferences, both closed with the window.
    void companionProgramsStartAndClose()
    {
        const QString oldFolder = qEnvironmentVariable("TARNWICK_PROGRAM_DIR");
        const QString folder = oldFolder + "/with blank";
        QVERIFY(QDir().mkpath(folder));
        qputenv("TARNWICK_PROGRAM_DIR", folder.toLocal8Bit());
        const QString fake = QCoreApplication::applicationDirPath() + "/tarnwick-fakecompanion";
        QVERIFY(QFile::copy(fake, folder + "/Heronpost"));
        QVERIFY(QFile::copy(fake, folder + "/Linkmoor"));

        qint64 heronpost = 0, linkmoor = 0;
        {
            MainWindowFixture fx;
            fx.create(); // both set to "Don't start"
            TTarnwickFrm &w = *fx.window;
            QCOMPARE(w.HeronpostProcessId, 0);
            QCOMPARE(w.LinkmoorProcessId, 0);

            w.OptionsFrm->HeronpostRdo->SetItemIndex(2);
            w.OptionsFrm->LinkmoorRdo->SetItemIndex(1);
            w.StartClientPrograms();
            heronpost = w.HeronpostProcessId;
            linkmoor = w.LinkmoorProcessId;
            QVERIFY(processRuns(heronpost) && processRuns(linkmoor));
            QTRY_COMPARE(readArgs(folder + "/Heronpost"), QString("-m"));
            QTRY_COMPARE(readArgs(folder + "/Linkmoor"), QString());
            w.StartClientPrograms();
            QCOMPARE(w.HeronpostProcessId, heronpost);
            QCOMPARE(w.LinkmoorProcessId, linkmoor);

            QTimer::singleShot(0, w.OptionsFrm, &QDialog::accept);
            w.PreferencesMnuClick();
            QVERIFY(!processRuns(heronpost));
            QVERIFY(processRuns(w.HeronpostProcessId));
            QVERIFY(w.HeronpostProcessId != heronpost);
            QCOMPARE(w.LinkmoorProcessId, linkmoor);
            heronpost = w.HeronpostProcessId;

            w.OptionsFrm->LinkmoorRdo->SetItemIndex(0);
            ::kill(pid_t(linkmoor), SIGTERM);
            QTRY_VERIFY(!processRuns(linkmoor));
            w.StartClientPrograms();
            QCOMPARE(w.LinkmoorProcessId, 0);
            w.OptionsFrm->LinkmoorRdo->SetItemIndex(1);
            w.StartClientPrograms();
            linkmoor = w.LinkmoorProcessId;
            QVERIFY(processRuns(linkmoor));
            w.close();
            QVERIFY(!processRuns(heronpost));
            QTRY_VERIFY(!processRuns(linkmoor));
        }
        qputenv("TARNWICK_PROGRAM_DIR", oldFolder.toLocal8Bit());
    }
};

TARNWICK_TEST_CLASS(TestMainTcp)
#include "tst_maintcp.moc"
