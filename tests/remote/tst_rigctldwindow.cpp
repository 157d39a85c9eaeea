// Hamlib's rigctl works the emulated radio through the window: sets reach the
// radio through the command queue and the window follows at once, reads come
// from what the window shows; the options and the command line place the
// listener, and a port that is taken is reported on the status line.

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

        // In one connection (a client that goes unkeys what it keyed); no
        // signal while transmitting.
        QCOMPARE(w.rigctl({"T", "1", "t", "l", "STRENGTH", "T", "0"}), QStringList({"1", "-54"}));

        // VFO B holds 7.05 MHz LSB in the emulator: the window follows it there.
        QCOMPARE(w.rigctl({"V", "VFOB"}), QStringList());
        QTRY_COMPARE(w.window.ScaleFrequency(), 7050000);
        QTRY_VERIFY(w.window.LsbBtn->isChecked());
        QCOMPARE(w.rigctl({"v"}), QStringList({"VFOB"}));
        QCOMPARE(w.rigctl({"V", "VFOA"}), QStringList());
        QTRY_COMPARE(w.rig.status("vfo"), QString("A"));
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
