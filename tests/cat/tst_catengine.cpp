#include "EngineRig.h"
#include "cat/Radio.h"

#include <QApplication>
#include <QFile>

namespace {

const QString Offline = QStringLiteral("Off-line mode. Click COM button to connect to TCVR.");
constexpr quint32 Red = 0x0000FF;

// The log file's lines from the first one containing `from`, time stamps cut.
QStringList logTail(const QString &file, const QString &from)
{
    QStringList lines;
    for (const QString &line : file.split(QStringLiteral("\r\n")))
        if (!lines.isEmpty() || line.contains(from))
            lines << line.mid(9);
    return lines;
}

} // namespace

class TestCatEngine : public QObject
{
    Q_OBJECT
private slots:
    void firstConnectNeedsSixEqualRepliesReconnectFive()
    {
        EngineRig r({});
        QVERIFY(r.rig.ok());
        r.connect();
        QVERIFY(r.engine.IsConnected());
        QCOMPARE(r.host.lastStatus(), QString("Data integrity check..."));
        QCOMPARE(r.host.settings.value("Connected"), QString("1"));
        QCOMPARE(r.engine.WatchdogInterval(), 1000);
        QVERIFY(r.engine.CommandQueue.IsEmpty()); // TCVR -> PC sync sends nothing
        QVERIFY(r.tickUntil([&] { return r.announced(); }));
        QCOMPARE(r.count(">0000000003"), 6);
        QCOMPARE(r.lines.filter(QRegularExpression("^>")).first(), QString(">0000000088")); // unkeyed first

        r.disconnect();
        QCOMPARE(r.host.lastStatus(), Offline);
        QVERIFY(!r.engine.WatchdogActive());

        // A reconnect to a radio that has not moved: five replies.
        r.lines.clear();
        r.connect();
        QVERIFY(r.tickUntil([&] { return r.announced(); }));
        QCOMPARE(r.count(">0000000003"), 5);

        // PC -> TCVR sync sends the mode, then the frequency.
        r.disconnect();
        r.link.SyncToRadio = true;
        r.host.mode = "LSB";
        r.host.scaleFrequency = 7050000;
        r.connect();
        QCOMPARE(r.engine.CommandQueue.Commands(), QStringList({"0000000007", "0070500001"}));
        QVERIFY(r.tickUntil([&] { return r.announced(); }));
        QCOMPARE(r.rig.status("freq"), QString("7050000"));
    }

    void changingReplies_data()
    {
        QTest::addColumn<int>("changes");
        QTest::addColumn<bool>("connects");
        QTest::newRow("twenty still connect") << 20 << true;
        QTest::newRow("twenty-one give E22") << 21 << false;
    }
    void changingReplies()
    {
        QFETCH(int, changes);
        QFETCH(bool, connects);
        EngineRig r({"--drift", QString::number(changes)});
        r.saveLog();
        r.connect();
        QVERIFY(r.tickUntil([&] { return r.announced() || !r.engine.IsConnected(); }));
        QCOMPARE(r.engine.IsConnected(), connects);
        QCOMPARE(r.count(">0000000003"), connects ? 25 : 21);
        if (connects)
            return;
        QCOMPARE(r.host.statuses.last().colour, Red);
        QCOMPARE(r.host.settings.value("ConnectSuccess"), QString("0"));
        QVERIFY(r.host.assignedFrequencies.isEmpty()); // nothing reached the scale
        // The log file keeps the reason before it is closed.
        QCOMPARE(logTail(r.logFile(), "ERROR [E22]"),
                 QStringList({"ERROR [E22]: Data integrity check failed.", "STATUS: Data integrity check failed [E22].",
                              "Log closed.", ""}));
    }

    void silentRadioCountsDownThenGivesUp()
    {
        EngineRig r({"--silence"});
        r.fastLine(false);
        r.saveLog();
        r.connect();
        QVERIFY(r.engine.IsConnected());
        TRadioState &state = r.engine.State();
        state.SetPtt(true);
        state.ReportMeter(60);
        state.SetReceive(TReceive::Receiving);
        // The test is the clock: one poll, then the watchdog's interval is over.
        for (int expiry = 1; expiry <= 10; ++expiry) {
            r.tick();
            r.watchdog();
            QCOMPARE(r.host.lastStatus(), QString("No communication with TCVR [E20]. Retrying...[%1]").arg(11 - expiry));
            QVERIFY(!state.Ptt() && state.Meter() == 0 && state.Receive() == TReceive::SquelchClosed);
            QVERIFY(r.engine.IsConnected());
        }
        r.tick();
        r.watchdog();
        QVERIFY(!r.engine.IsConnected());
        QCOMPARE(r.host.settings.value("ConnectSuccess"), QString("0"));
        QCOMPARE(logTail(r.logFile(), "ERROR [E21]"),
                 QStringList({"ERROR [E21]: No communication with TCVR.",
                              "STATUS: No communication with TCVR [E21]. Click COM button to connect again.",
                              "Log closed.", ""}));
    }

    void lineOutOfStep_data()
    {
        QTest::addColumn<QStringList>("rigArguments");
        QTest::addColumn<qint32>("scale");
        QTest::addColumn<QString>("faultWhenConnected");
        QTest::addColumn<bool>("messed");
        QTest::addColumn<bool>("staysConnected");
        // The scale on the MW band, the radio on 2 m: its digits are the
        // scale's moved by two places, and still a correct reply.
        QTest::newRow("radio 144.050 MHz, scale 1.440 MHz")
            << QStringList{"--freq", "144050000"} << 1440000 << "" << false << true;
        QTest::newRow("one shift at the start, read with the first reply (to transmit-off)")
            << QStringList{"--shift", "1"} << 14250000 << "" << false << true;
        QTest::newRow("one shift when connected") << QStringList{} << 14250000 << "fault shift 2" << true << true;
        QTest::newRow("two stray bytes after every reply") << QStringList{"--extra", "2"} << 14250000 << "" << true << false;
        QTest::newRow("a shift that lasts, when connected")
            << QStringList{} << 14250000 << "fault shift 1 60000" << true << false;
    }
    void lineOutOfStep()
    {
        QFETCH(QStringList, rigArguments);
        QFETCH(qint32, scale);
        QFETCH(QString, faultWhenConnected);
        QFETCH(bool, messed);
        QFETCH(bool, staysConnected);
        EngineRig r(rigArguments);
        r.fastLine();
        r.host.scaleFrequency = scale;
        const qint32 radio = rigArguments.contains("--freq") ? 144050000 : 14250000;
        r.connect();
        if (!faultWhenConnected.isEmpty()) {
            QVERIFY(r.tickUntil([&] { return r.announced(); }));
            r.tick(3);
            r.rig.control(faultWhenConnected);
        }
        // However garbled the line, the operator hears of it within a few cycles.
        r.tick(40);
        QCOMPARE(r.countStarting("Messed data detected: ") > 0, messed);
        QCOMPARE(r.engine.IsConnected(), staysConnected);
        if (staysConnected) {
            QVERIFY(r.announced());
            QCOMPARE(r.engine.IntegrityCountdown, 0);
            QCOMPARE(r.host.scaleFrequency, radio);
        } else {
            QCOMPARE(r.host.lastStatus(), QString("Data integrity check failed [E22]."));
            QCOMPARE(r.countStarting("Messed data detected: "), TCatEngine::MaxMessedRestarts + 1);
        }
        for (qint32 f : std::as_const(r.host.assignedFrequencies))
            QCOMPARE(f, radio);
    }

    void disconnectInAnyStateGoesOffline()
    {
        EngineRig r({"--silence"});
        r.fastLine(false);
        r.connect();
        r.watchdog();
        r.engine.QueueCommand(MakeCommand("0000000081", "81"));
        r.engine.State().SetPtt(true);
        r.disconnect();
        QVERIFY(!r.engine.State().Ptt());
        QCOMPARE(r.engine.State().Link(), TLinkPhase::Offline);
        const int sent = r.countStarting(">");
        r.tick(3); // ticks while off-line send nothing
        QCOMPARE(r.countStarting(">"), sent);
        r.connect();
        QCOMPARE(r.engine.CommandQueue.Count(), 0); // the old queue was discarded

        // A port that cannot be opened.
        r.disconnect();
        r.link.Serial.Port = "/dev/no-such-tty";
        r.connect();
        QVERIFY(!r.engine.IsConnected());
        QCOMPARE(r.host.settings.value("Connected"), QString("0"));
        QCOMPARE(r.host.lastStatus(), QString("Can't initialize COM port [E1]. Click COM button to try again."));
    }

    void acknowledgementLearning()
    {
        // A radio that never answers set commands.
        EngineRig r({"--noack"});
        QVERIFY(r.connectAndAnnounce());
        r.engine.QueueReplacingCommand(MakeFrequencyCommand(7050000, r.engine.GetTcvrType(), u'A'));
        r.tick();
        QCOMPARE(r.count("Command \"0070500001\" returned: 0 byte(s)."), 1);
        r.lines.clear();
        // Learned: neither the next frequency nor any other set command waits.
        r.engine.QueueReplacingCommand(MakeFrequencyCommand(7060000, r.engine.GetTcvrType(), u'A'));
        r.engine.QueueReplacingCommand(MakeTonesOffCommand(r.engine.GetTcvrType()));
        r.tick(2);
        QCOMPARE(r.count("Reading from COM: No response expected"), 2);
        QCOMPARE(r.countStarting("Reading from COM: 10"), 0);

        // The FT-817 answers one byte; the learned length is used from then on.
        r.rig.control("fault noack off");
        r.disconnect();
        QVERIFY(r.connectAndAnnounce());
        r.engine.QueueReplacingCommand(MakeFrequencyCommand(3550000, r.engine.GetTcvrType(), u'A'));
        r.tick();
        QCOMPARE(r.count("Command \"0035500001\" returned: 1 byte(s)."), 1);
        r.engine.QueueReplacingCommand(MakeFrequencyCommand(3560000, r.engine.GetTcvrType(), u'A'));
        r.lines.clear();
        r.tick();
        QCOMPARE(r.lines, QStringList({">0035600001", "Writing to COM: 5 Bytes", "<00"}));
        // So does every other set command: no read time-out after its byte.
        r.engine.QueueCommand(MakeModeCommand("CW", r.engine.GetTcvrType()));
        r.lines.clear();
        r.tick();
        QCOMPARE(r.lines, QStringList({">0200000007", "Writing to COM: 5 Bytes", "<00"}));
    }

    void ft847()
    {
        EngineRig r({"--model", "FT-847"}, 1);
        r.fastLine();
        r.rig.control("set ptt on");
        r.connect();
        QCOMPARE(r.engine.WatchdogInterval(), 3000);
        QCOMPARE(r.engine.CommandQueue.Commands(), QStringList({"0000000000"}));
        QVERIFY(r.tickUntil([&] { return r.announced(); }));
        QCOMPARE(r.rig.status("cat") + r.rig.status("ptt"), QString("10")); // unkeyed once it listens

        // The radio acknowledges nothing, so nothing is waited for.
        r.engine.QueueReplacingCommand(MakeFrequencyCommand(145625000, r.engine.GetTcvrType(), u'A'));
        r.tick();
        QCOMPARE(r.countStarting("Reading from COM: 10"), 0);
        QTRY_COMPARE(r.rig.status("freq"), QString("145625000"));

        // Switched off and on (keyed by a client): it ignores everything until CAT
        // on, which every retry of the watchdog sends, and is unkeyed first then.
        TRadio(r.engine).SetPtt(true, {TPttHolder::Client, "x"});
        r.tick();
        r.rig.control("set cat off");
        r.tick(3);
        r.watchdog();
        QCOMPARE(r.host.lastStatus(), QString("No communication with TCVR [E20]. Retrying...[10]"));
        QCOMPARE(r.engine.CommandQueue.Commands(), QStringList({"0000000000"}));
        r.host.statuses.clear();
        QVERIFY(r.tickUntil([&] { return r.announced(); }, 20));
        // Replies again: the check runs again.
        QCOMPARE(r.host.statuses.first().text, QString("Data integrity check [E22]..."));
        QCOMPARE(r.engine.WatchdogRetries, 0);
        QCOMPARE(r.rig.status("ptt"), QString("0"));

        r.lines.clear();
        r.disconnect();
        QCOMPARE(r.lines.mid(0, 3), QStringList({">0000000080", "Writing to COM: 5 Bytes", "Reading from COM: No response expected"}));
    }

    // The VFO and split in use come from the radio's memory at connect and
    // after a toggle; the transmit VFO is set and read in one piece each (no
    // poll between the toggles), and a read waits for the radio.
    void splitVfoThroughTheRadio_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("atConnect");
        QTest::addColumn<QString>("sets");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("panelVfo");
        QTest::newRow("FT-817") << 0 << "B on" << "81,0140755001,81,81,0200000007,81" << "81,0000000003,81" << "B";
        QTest::newRow("FT-897") << 3 << "B on" << "81,0140755001,81,81,0200000007,81" << "81,0000000003,81" << "B";
        QTest::newRow("FT-847") << 1 << "A unknown" << "0140755021,0200000027" << "0000000023" << "A";
    }
    void splitVfoThroughTheRadio()
    {
        QFETCH(int, model);
        EngineRig r({"--model", TcvrTypeAt(model).Model}, model);
        r.rig.control("set split on");
        r.rig.control("set vfo B");
        QVERIFY(r.connectAndAnnounce());
        TRadio radio(r.engine);
        const TRadioState &state = r.engine.State();
        const char *const splits[] = {"off", "on", "unknown"};
        QTEST(QStringLiteral("%1 %2").arg(state.Vfo()).arg(splits[state.Split()]), "atConnect");
        radio.ToggleVfo();
        const auto sent = [&r] { return r.lines.filter(QRegularExpression("^>")).join(u',').remove(u'>').replace("0000000081", "81"); };
        const auto done = [&r] { return r.tickUntil([&r] { return r.engine.CommandQueue.IsEmpty() && !r.engine.TransferInFlight(); }); };
        QVERIFY(done());
        QCOMPARE(state.Vfo(), u'A');
        // A/B on the front panel: the read's caller hears the VFO it found.
        r.rig.control("set vfo B");
        QChar heard;
        radio.ReadVfo([&heard, &state] { heard = state.Vfo(); });
        QVERIFY(r.tickUntil([&heard] { return !heard.isNull(); }));
        QTEST(QString(heard), "panelVfo");
        if (heard == u'B') {
            radio.ToggleVfo();
            QVERIFY(done());
        }

        r.lines.clear();
        QVERIFY(radio.SetSplitFrequency(14075500) && radio.SetSplitMode("CW"));
        bool fresh = false;
        radio.AfterChanges([&fresh] { fresh = true; });
        QVERIFY(!fresh);
        QVERIFY(r.tickUntil([&fresh] { return fresh; }));
        QFETCH(QString, sets);
        QVERIFY2(sent().contains(sets), qPrintable(sent()));

        r.engine.State().SetSplitVfo(7000000, "LSB");
        r.lines.clear();
        QVERIFY(radio.ReadSplitVfo() && done());
        QTEST(sent(), "read");
        QCOMPARE(QStringLiteral("%1 %2").arg(state.SplitFrequency()).arg(state.SplitMode()), QString("14075500 CW"));
    }

    void vanishedPortComesBack()
    {
        // The device name the operator chose, pointing at the emulator's
        // pseudo-terminal like a udev link at an adapter.
        const QString device = testenv::sandboxPath("dev") + "/ttyUSB-cat";
        auto plug = [&device](const QString &target) {
            QFile::remove(device);
            return QFile::link(target, device);
        };
        auto rig = std::make_unique<RigProcess>(QStringList{"--speed", "38400"});
        QVERIFY(plug(rig->path()));
        EngineRig r({});
        r.saveLog();
        r.link.Serial.Port = device;
        QVERIFY(r.connectAndAnnounce());

        TRadio(r.engine).SetPtt(true);
        r.tick();
        rig.reset(); // the adapter is pulled while the operator transmits
        r.tick();
        QVERIFY(!r.engine.IsConnected());
        QVERIFY(!r.engine.WatchdogActive());
        QCOMPARE(r.engine.State().Link(), TLinkPhase::WaitingForPort);
        QCOMPARE(logTail(r.logFile(), "disappeared").mid(0, 2),
                 QStringList({"ERROR [E11]: Port " + device + " disappeared.",
                              "STATUS: Port " + device + " disappeared. Waiting for it to come back..."}));
        const int statuses = r.host.statuses.size();
        r.now += 5000;
        r.tick(); // still gone: nothing happens
        QCOMPARE(r.host.statuses.size(), statuses);

        rig = std::make_unique<RigProcess>(QStringList{"--speed", "38400"});
        rig->control("set ptt on");
        QVERIFY(plug(rig->path()));
        r.tick();
        QCOMPARE(r.host.lastStatus(), "Port " + device + " is back. Data integrity check...");
        QVERIFY(r.tickUntil([&] { return r.announced(); }));
        QCOMPARE(rig->status("ptt"), QString("1")); // the operator's keying stands

        // Gone for more than a minute: the wait ends and says so.
        rig.reset();
        r.tick(2);
        r.now += TCatEngine::PortReturnWaitMs + 1;
        r.tick();
        QCOMPARE(r.host.lastStatus(), "Port " + device + " disappeared. Click COM button to connect again.");
        rig = std::make_unique<RigProcess>(QStringList{"--speed", "38400"});
        QVERIFY(plug(rig->path()));
        r.now += 2000;
        r.tick();
        QVERIFY(!r.engine.IsConnected());
    }

    // The transmit time-out on the engine's clock: transmit-off ahead of the queue (a transmit-on
    // there dropped), told in red and logged. A later keying takes over from an earlier holder.
    void transmitTimeoutReleasesThePtt()
    {
        EngineRig r({});
        QVERIFY(r.connectAndAnnounce());
        TRadio radio(r.engine);
        r.engine.SetTransmitTimeout(2);
        radio.SetPtt(true, {TPttHolder::Client, "A"});
        radio.SetPtt(true, {TPttHolder::Script, "B"});
        QVERIFY(!radio.ReleasePtt({TPttHolder::Client, "A"}, "A went"));
        r.tick(2);
        r.now += 2 * 60000 - 1;
        r.tick();
        QCOMPARE(r.rig.status("ptt"), QString("1"));
        radio.SetFrequency(7050000, TRadio::Queueing::Append);
        r.engine.QueueCommand(MakeTransmitCommand(true, r.engine.GetTcvrType()));
        r.now += 1;
        r.lines.clear();
        r.tick();
        QCOMPARE(r.lines.filter(QRegularExpression("^>")), QStringList({">0000000088"}));
        QCOMPARE(r.engine.CommandQueue.Commands(), QStringList({"0070500001"}));
        QCOMPARE(r.rig.status("ptt"), QString("0"));
        const QString said = "PTT released: transmitting longer than 2 minutes.";
        QVERIFY(r.host.statuses.last().text == said && r.host.statuses.last().colour == Red && r.count(said) == 1);
    }
};

TARNWICK_TEST_CLASS(TestCatEngine)
#include "tst_catengine.moc"
