#include "FakeEngineHost.h"
#include "cat/CatCommands.h"
#include "cat/HamlibCommands.h"
#include "cat/HamlibModels.h"
#include "cat/HamlibRig.h"
#include "cat/Radio.h"
#include "common/TestEnvironment.h"
#include "remote/Rigctl.h"

#include <QTcpServer>
#include <QTest>

namespace {

// The engine on a radio through Hamlib; the test drives its timers.
struct HamlibEngine
{
    TCatLog log;
    FakeEngineHost host;
    TCatEngine engine{host, log};
    TLinkSettings link;

    HamlibEngine(int model, const QString &port)
    {
        host.watch(engine);
        link.Serial.HamlibModel = model;
        link.Serial.Port = port;
        engine.SetManualTimers(true);
    }
    void connect()
    {
        engine.Connect(link);
        settleEngine(engine);
    }
    bool tickUntil(const std::function<bool()> &done)
    {
        for (int i = 0; i < 100 && !done(); ++i) {
            engine.MainTmrTimer();
            settleEngine(engine);
        }
        return done();
    }
    bool announced() { return tickUntil([this] { return host.lastStatus() == QLatin1String("Connected to TCVR."); }); }
    // Carries out a command on the radio itself, past the engine.
    QString radio(const QString &command)
    {
        QString reply;
        engine.RunDirect([&reply, command](const TCatTransport::DirectSend &send) { reply = send(command, 0).Reply; });
        settleEngine(engine);
        return reply;
    }
};

QString made(const std::unique_ptr<TTcvrCommand> &command)
{
    return command ? command->Command + u'/' + command->Code : QStringLiteral("null");
}

} // namespace

class TestHamlib : public QObject
{
    Q_OBJECT
private slots:
    void commandTexts()
    {
        const TTcvrType type = HamlibModelType(1020);
        QCOMPARE(type.CommandSet, 3);
        const QStringList texts = {
            made(MakeFrequencyCommand(14074000, type, u'A')),  made(MakeModeCommand("DIG", type)),
            made(MakeModeCommand("CW-R", type)),               made(MakeTransmitCommand(true, type)),
            made(MakeVfoToggleCommand(type, u'A')),            made(MakeCopyToOtherVfoCommand(7000000, type, u'A')),
            made(MakeSplitCommand(true, type, u'A')),          made(MakeToneFrequencyCommand(885, 0, type)),
            made(MakeToneModeCommand(885, 0, type)),           made(MakeTonesOffCommand(type)),
            made(MakeSplitFrequencyCommands(14076000, type, u'A').front()),
            made(MakeSplitModeCommands("FSK", type).front()),
        };
        QCOMPARE(texts, QStringList({"F 14074000/F", "M PKTUSB 0/M", "M CWR 0/M", "T 1/T", "G TOGGLE/G", "G CPY/G",
                                     "S 1/S", "CTCSS 885 0/CTCSS", "null", "CTCSS 0 0/CTCSS", "I 14076000/I",
                                     "X RTTY 0/X"}));
    }

    void replies_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<QString>("read"); // frequency, mode, VFO, split, PTT, meter, squelch; "-" for not told
        QTest::newRow("dial") << "f;m;v;s" << "14074000;PKTUSB;VFOB;1" << "14074000 DIG B 1 - - -";
        QTest::newRow("sub VFO, FMN") << "f;m;v;s" << "145500000;FMN;Sub;0" << "145500000 FM B 0 - - -";
        QTest::newRow("fields not told") << "f;m;v;s" << "7000000;;;" << "7000000 - - - - - -";
        QTest::newRow("unknown mode, frequency no number") << "f;m" << "7.1e6;SAM" << "- - - - - - -";
        QTest::newRow("frequency beyond qint32") << "f" << "10368100000" << "- - - - - - -";
        QTest::newRow("S0, squelch closed") << "l STRENGTH;dcd" << "-54;0" << "- - - - - 0 0";
        QTest::newRow("S9, open") << "l STRENGTH;dcd" << "0;1" << "- - - - - 60 1";
        QTest::newRow("S9+60 and beyond") << "l STRENGTH" << "75" << "- - - - - 100 -";
        QTest::newRow("below S0") << "l STRENGTH" << "-70" << "- - - - - 0 -";
        QTest::newRow("transmitting") << "t" << "1" << "- - - - 1 - -";
        QTest::newRow("fewer fields") << "f;m;v;s" << "3550000" << "3550000 - - - - - -";
        QTest::newRow("garbage flags") << "t;dcd;s" << "2;yes;-" << "- - - - - - -";
    }
    void replies()
    {
        QFETCH(QString, command);
        QFETCH(QString, reply);
        const Set3::TReading r = Set3::DecodeReply(command, reply);
        const auto text = [](const auto &value) { return value ? QString::number(*value) : QStringLiteral("-"); };
        const QString read = QStringList{text(r.Frequency), r.Mode.isEmpty() ? "-" : r.Mode,
                                         r.Vfo.isNull() ? "-" : QString(r.Vfo), text(r.Split), text(r.Ptt),
                                         text(r.MeterPercent), text(r.SquelchOpen)}
                                 .join(u' ');
        QTEST(read, "read");
    }

    void wellFormedReplies()
    {
        QVERIFY(Set3::IsReplyWellFormed("f;m;v;s", "14074000;USB;;"));
        QVERIFY(!Set3::IsReplyWellFormed("f;m;v;s", "14074000;USB"));
        QVERIFY(!Set3::IsReplyWellFormed("f;m", "7.1e6;USB"));
    }

    void modelsAndTheirAbilities()
    {
        QCOMPARE(FindHamlibModel("1020"), 1020);
        QCOMPARE(FindHamlibModel("yaesu ft-817"), 1020);
        QCOMPARE(FindHamlibModel("2"), HamlibNetworkModel);
        QCOMPARE(FindHamlibModel("no such radio"), 0);
        const TTcvrType ft817 = HamlibModelType(1020);
        QCOMPARE(ft817.ModesOff, QStringList({"FSK-R"}));
        QCOMPARE(ft817.Speeds, QStringLiteral("4800,9600,19200,38400"));
        QVERIFY(ft817.HasVfoKeys && ft817.HasSplit && ft817.HasMeter);
        // Hamlib's dummy has no packet modes
        QCOMPARE(HamlibModelType(1).ModesOff, QStringList({"DIG", "PKT"}));
    }

    // Hamlib's dummy radio, in this process: the engine follows it, and the
    // radio operations reach it.
    void dummyRadio()
    {
        HamlibEngine rig(1, QString());
        rig.connect();
        QVERIFY(rig.announced());
        QCOMPARE(rig.engine.State().Model().ModesOff, QStringList({"DIG", "PKT"}));

        rig.radio("F 7100000");
        rig.radio("M CW 0");
        QVERIFY(rig.tickUntil([&] { return rig.host.scaleFrequency == 7100000 && rig.host.mode == "CW"; }));
        QVERIFY(rig.tickUntil([&] { return rig.engine.State().Meter() > 0; })); // the dummy's signal, S5 or so
        // The dummy's squelch opens and closes at every other reading.
        QVERIFY(rig.tickUntil([&] { return rig.engine.State().Receive() == TReceive::Receiving; }));
        QVERIFY(rig.tickUntil([&] { return rig.engine.State().Receive() == TReceive::SquelchClosed; }));

        TRadio radio(rig.engine);
        radio.ToggleVfo();
        radio.SetFrequency(14074000, TRadio::Queueing::Append);
        radio.SetMode("USB", TRadio::Queueing::Append);
        radio.SetPtt(true);
        radio.SetMode("DIG", TRadio::Queueing::Append);
        QCOMPARE(rig.host.lastStatus(), QStringLiteral("The radio has no DIG mode."));
        QCOMPARE(rig.engine.CommandQueue.Commands(), QStringList({"G TOGGLE", "F 14074000", "M USB 0", "T 1"}));
        QVERIFY(rig.tickUntil([&] { return rig.engine.CommandQueue.Count() == 0; }));
        QCOMPARE(rig.radio("v;f;m;t"), QStringLiteral("VFOB;14074000;USB;1"));
        radio.AlignVfos(14074000, "USB");
        radio.SetTones(0, 885);
        QVERIFY(rig.tickUntil([&] { return rig.engine.CommandQueue.Count() == 0; }));
        rig.radio("G TOGGLE"); // back to A, which now has B's dial
        QCOMPARE(rig.radio("f;m"), QStringLiteral("14074000;USB"));
        QVERIFY(rig.tickUntil([&] { return rig.engine.State().Vfo() == u'A'; })); // read back, not counted
    }

    // Hamlib's dummy behind rigctld keys by no command: its PTT read is
    // refused and the field stays empty. A rigctld that went away and came
    // back on its port is found by opening again.
    void refusedReadsAndAFarEndThatReturns()
    {
        auto daemon = std::make_unique<rigctl::Daemon>("1", "/dev/null", "4800");
        const quint16 port = daemon->port;
        THamlibRig rig;
        QString failure;
        TSerialSettings settings;
        settings.HamlibModel = HamlibNetworkModel;
        settings.Port = daemon->target();
        QVERIFY(rig.Open(settings, &failure));
        const auto run = [&](const QString &command) {
            failure.clear();
            const TTransfer t = rig.Execute(command, &failure);
            return QStringLiteral("%1 %2 %3").arg(t.Result).arg(t.Reply, failure);
        };
        QCOMPARE(run("t;f"), QStringLiteral("1 ;145000000 "));
        QCOMPARE(run("t"), QStringLiteral("2  "));
        QVERIFY(rig.Reopen()); // nothing failed: it stays as it is
        daemon.reset();
        QCOMPARE(run("f"), QStringLiteral("2  Radio does not answer (Hamlib: IO error)"));
        QVERIFY(!rig.Reopen());
        daemon = std::make_unique<rigctl::Daemon>("1", "/dev/null", "4800", port);
        QVERIFY(rig.Reopen());
        QCOMPARE(run("f"), QStringLiteral("1 145000000 "));
    }

    void unreachableRigctld()
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const QString address = QStringLiteral("127.0.0.1:%1").arg(probe.serverPort());
        probe.close(); // nothing listens there now
        HamlibEngine rig(HamlibNetworkModel, address);
        rig.connect();
        QVERIFY(!rig.engine.IsConnected());
        QCOMPARE(rig.engine.State().Link(), TLinkPhase::Offline);
        QCOMPARE(rig.host.lastStatus(), QStringLiteral("Cannot reach rigctld at %1 (Hamlib: IO error).").arg(address));
        QCOMPARE(rig.host.settings.value("ConnectSuccess"), QStringLiteral("0"));
    }
};

TARNWICK_TEST_CLASS(TestHamlib)
#include "tst_hamlib.moc"
