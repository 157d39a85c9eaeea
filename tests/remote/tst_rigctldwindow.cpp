// Hamlib's rigctl works the emulated radio through the window: sets reach the
// radio through the command queue and the window follows at once, reads
// answer what the radio holds; a WSJT-X session with split leaves the radio
// as Hamlib's own rigctld leaves it. The options and the command line place
// the listener, and a port that is taken is reported on the status line.

#include "Rigctl.h"
#include "app/Main.h"
#include "app/Options.h"
#include "base/MessageBoxes.h"
#include "base/Widgets.h"
#include "cat/CatEngine.h"
#include "cat/CatLog.h"
#include "cat/RigProcess.h"
#include "common/TestEnvironment.h"
#include "controls/RadioScale.h"
#include "remote/RigctldServer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTcpServer>
#include <QToolButton>

namespace {

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The window on the emulator, its endpoint switched on as "--rigctld PORT" does.
struct RigctldWindow
{
    RigProcess rig;
    TTarnwickFrm window;
    QStringList log;
    quint16 port = freePort();

    explicit RigctldWindow(const QStringList &rigArguments = {})
        : rig(QStringList{"--speed", "38400", "--delay", "1"} + rigArguments)
    {
        window.SetCommandLineSerial({rig.path(), "FT-817"});
        window.SetCommandLineRigctld({true, "127.0.0.1", port});
        window.CatLog->SetWindowVisible(true);
        QObject::connect(window.CatLog.get(), &TCatLog::EntryAdded, window.CatLog.get(),
                         [this](const QString &line) { log << line; });
        window.ApplyRigctldOptions();
    }
    QString target() const { return QStringLiteral("127.0.0.1:%1").arg(port); }
    QStringList rigctl(const QStringList &commands) { return rigctl::run("2", target(), commands); }
};

// VFO A on 28 074 000 USB, B on 21 074 000 LSB, A in use.
void twoBands(RigProcess &rig)
{
    for (const char *line : {"set vfo B", "set freq 21074000", "set mode LSB", "set vfo A", "set freq 28074000"})
        rig.control(line);
}

QString radioHolds(RigProcess &rig)
{
    return rig.control("status").split(u' ').filter(QRegularExpression("^(vfo|ptt|split|freqa|modea|freqb|modeb)=")).join(u' ');
}

// What WSJT-X asks with "Split Operation: Rig" in one connection: its
// start-up reads, split on, the receive and transmit frequencies and modes,
// a transmission (read back while keyed), the transmit VFO read back.
const QStringList wsjtxSession = {"v", "f", "m", "s", "t", "S", "1", "VFOB", "F", "14074000", "I", "14075500", "X",
                                  "PKTUSB", "3000", "M", "PKTUSB", "3000", "T", "1", "t", "T", "0", "i", "x"};

} // namespace

class TestRigctldWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(!rigctl::program().isEmpty(), "rigctl not found: install libhamlib-utils");
        TTarnwickFrm::SetComSettingsRunner([](TComSettingsFrm &) { return true; });
        SetInformationAnswerer([this](QWidget *, const QString &text) { boxes << text; });
        SetConfirmationAnswerer([](QWidget *, const QString &) { return false; });
    }
    void init()
    {
        testenv::clearSettings();
        boxes.clear();
    }

    void hamlibWorksTheRadioThroughTheWindow()
    {
        RigctldWindow w({"--freq", "14074000", "--smeter", "9"});
        QVERIFY(w.rig.ok() && w.window.RigctldServer->IsListening());
        QCOMPARE(w.rigctl({"f"}), QStringList()); // off-line: no frequency
        w.window.CatBtn->click();
        QTRY_COMPARE(w.window.ScaleFrequency(), 14074000);
        QTRY_COMPARE(w.window.GetSqlState(), 1);

        QCOMPARE(w.rigctl({"F", "7074000", "M", "PKTUSB", "0"}), QStringList());
        QCOMPARE(w.window.ScaleFrequency(), 7074000); // at once, before the radio answers
        QVERIFY(w.window.DigBtn->isChecked());
        QTRY_COMPARE(w.rig.status("freq"), QString("7074000"));
        QTRY_COMPARE(w.rig.status("mode"), QString("DIG"));
        QCOMPARE(w.rigctl({"f", "m", "l", "STRENGTH"}), QStringList({"7074000", "PKTUSB", "2200", "0"}));

        // In one connection (a client that goes unkeys what it keyed). No
        // signal while transmitting; the FT-817's transmit meters read from the radio.
        for (const char *line : {"set power 6", "set swr 3", "set alc 2"})
            w.rig.control(line);
        QCOMPARE(w.rigctl({"T", "1", "t", "l", "STRENGTH", "l", "RFPOWER", "l", "SWR", "l", "ALC", "T", "0"}),
                 QStringList({"1", "-54", "0.660000", "1.800000", "0.400000"}));
        QTRY_COMPARE(w.rig.status("ptt"), QString("0"));

        // VFO B holds 7.05 MHz LSB in the emulator; A/B on the radio itself:
        // the window follows, the VFO is read from the radio.
        w.rig.control("set vfo B");
        QTRY_COMPARE(w.window.ScaleFrequency(), 7050000);
        QTRY_VERIFY(w.window.LsbBtn->isChecked());
        QCOMPARE(w.rigctl({"v", "f"}), QStringList({"VFOB", "7050000"}));
        w.rig.control("set vfo A");
        // Across VFO changes every command reaches the radio in its order, and
        // a read answers what the radio holds (10 Hz steps) on that VFO.
        QCOMPARE(w.rigctl({"V", "VFOB", "F", "7075005", "V", "VFOA", "F", "14074000", "f", "V", "VFOB", "f", "V", "VFOA"}),
                 QStringList({"14074000", "7075010"}));
        QCOMPARE(w.rig.status("freqa") + ' ' + w.rig.status("freqb") + ' ' + w.rig.status("vfo"),
                 QString("14074000 7075010 A"));
        QCOMPARE(w.rigctl({"S", "1", "VFOB"}), QStringList());
        QCOMPARE(w.window.GetSplitState(w.window.SplitBtn), SplitOn);
        QTRY_COMPARE(w.rig.status("split"), QString("1"));
        QCOMPARE(w.rigctl({"s"}), QStringList({"1", "VFOB"}));
        // Each run of rigctl in the log as it came and went.
        const qsizetype came = w.log.filter(QRegularExpression("^RIGCTLD: Client 127.0.0.1:\\d+ connected\\.$")).size();
        QVERIFY(came >= 9);
        QTRY_COMPARE(w.log.filter(QRegularExpression("^RIGCTLD: Client 127.0.0.1:\\d+ disconnected\\.$")).size(), came);
        QCOMPARE(w.window.RigctldServer->ClientCount(), 0);
    }

    void wsjtxSplitSessionLeavesTheRadioAsRigctldDoes()
    {
        RigctldWindow w;
        twoBands(w.rig);
        w.window.CatBtn->click();
        QTRY_COMPARE(w.window.ScaleFrequency(), 28074000);
        QCOMPARE(w.rigctl(wsjtxSession), QStringList({"VFOA", "28074000", "USB", "2200", "0", "VFOA", "0", "1",
                                                      "14075500", "PKTUSB", "3000"}));
        QVERIFY(w.log.contains(">0000000008"));
        const QString held = "vfo=A ptt=0 split=1 freqa=14074000 modea=DIG freqb=14075500 modeb=DIG";
        QTRY_COMPARE(radioHolds(w.rig), held);
        // VFO B was only visited between two toggles: the window never showed it.
        QCOMPARE(w.window.ScaleFrequency(), 14074000);

        if (rigctl::Daemon::program().isEmpty())
            QSKIP("rigctld not found: the comparison with Hamlib's own daemon needs libhamlib-utils");
        RigProcess theirs({"--delay", "60"});
        twoBands(theirs);
        rigctl::Daemon daemon("1020", theirs.path(), "4800");
        QVERIFY(daemon.listening());
        // Their passband is the radio's (0: normal); ours the one WSJT-X set.
        QCOMPARE(rigctl::run("2", daemon.target(), wsjtxSession),
                 QStringList({"VFOA", "28074000", "USB", "2200", "0", "VFOA", "0", "1", "14075500", "PKTUSB", "0"}));
        QCOMPARE(radioHolds(theirs), held);
    }

    void optionsPlaceTheListener()
    {
        RigctldWindow w;
        boxes.clear(); // the missing band plan's, once a run
        // A port that is taken: red on the status line, no box, the program goes on.
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::LocalHost, 0));
        w.window.OptionsFrm->RigctldPortCBx->setCurrentText(QString::number(taken.serverPort()));
        emit w.window.PreferencesApplied();
        QVERIFY(!w.window.RigctldServer->IsListening());
        QVERIFY(w.window.StatusText().startsWith(
            QStringLiteral("Can't listen for rigctld clients on 127.0.0.1:%1: ").arg(taken.serverPort())));
        QCOMPARE(w.window.StatusBarPnl->FontColor(), QColor(Qt::red));
        QVERIFY(boxes.isEmpty());
        // While the link checks a new connection, the report waits for its messages.
        w.window.CatBtn->click();
        emit w.window.PreferencesApplied();
        QTRY_COMPARE(w.window.CatEngine->IntegrityCountdown, 0);
        QTRY_VERIFY(w.window.StatusText().startsWith("Can't listen for rigctld clients"));
        w.window.OptionsFrm->RigctldAddressCBx->setCurrentText("::1");
        w.window.OptionsFrm->RigctldPortCBx->setCurrentText(QString::number(w.port));
        emit w.window.PreferencesApplied();
        QCOMPARE(w.window.RigctldServer->Address(), QHostAddress(QHostAddress::LocalHostIPv6));
        w.window.OptionsFrm->RigctldChk->setChecked(false);
        emit w.window.PreferencesApplied();
        QVERIFY(!w.window.RigctldServer->IsListening());
    }

    void commandLineEndpoint()
    {
        const auto parse = [](const QStringList &parameters) {
            QStringList warnings;
            const RigctldEndpoint e = ParseRigctldEndpoint(parameters, &warnings);
            return QStringLiteral("%1 %2 %3 %4").arg(int(e.Given)).arg(e.Address).arg(e.Port).arg(warnings.size());
        };
        QCOMPARE(parse({"--rigctld", "4532"}), QString("1 127.0.0.1 4532 0"));
        QCOMPARE(parse({"--rigctld=[::1]:4600"}), QString("1 ::1 4600 0"));
        QCOMPARE(parse({"--port", "/dev/pts/3"}), QString("0  0 0"));
        for (const char *bad : {"0", "65536", "radio.example:4532", "::1:4532"})
            QCOMPARE(parse({"--rigctld", bad}), QString("0  0 1"));
    }

private:
    QStringList boxes;
};

TARNWICK_TEST_CLASS(TestRigctldWindow)
#include "tst_rigctldwindow.moc"
