// The rigctld protocol without sockets: each request line against a radio
// state, the reply bytes and what reaches the program (sets, and reads from
// the radio); the line reader's verdict on what a client sends.

#include "FakeRigctldHost.h"
#include "common/TestEnvironment.h"

namespace {

// "model=FT-847 set2 freq=7030000 mode=CW-R ptt=1 split=-1 vfo=B meter=60 offline
//  tx=14075500 txmode=DIG power=0.66"
void applyRadio(TRigctldRadio &radio, const QString &spec)
{
    for (const QString &word : spec.split(u' ', Qt::SkipEmptyParts)) {
        const QString key = word.section(u'=', 0, 0), value = word.section(u'=', 1);
        if (key == "model")
            radio.Type = TcvrTypeAt(TcvrTypeIndex(value));
        radio.Type.CommandSet = key == "set2" ? 2 : radio.Type.CommandSet;
        radio.Mode = key == "mode" ? value : radio.Mode;
        radio.Frequency = key == "freq" ? value.toInt() : radio.Frequency;
        radio.Ptt = key == "ptt" || radio.Ptt;
        radio.Split = key == "split" ? value.toInt() : radio.Split;
        radio.Vfo = key == "vfo" ? value.at(0) : radio.Vfo;
        radio.MeterPercent = key == "meter" ? value.toInt() : radio.MeterPercent;
        radio.Connected = key != "offline" && radio.Connected;
        radio.SplitFrequency = key == "tx" ? value.toInt() : radio.SplitFrequency;
        radio.SplitMode = key == "txmode" ? value : radio.SplitMode;
        radio.Transmit.Power = key == "power" ? value.toDouble() : radio.Transmit.Power;
    }
}

void row(const char *name, const char *radio, const char *line, const char *reply, const char *calls = "",
         bool logged = false)
{
    QTest::newRow(name) << QString(radio) << QByteArray(line) << QByteArray(reply) << QString(calls) << logged;
}

} // namespace

class TestRigctldProtocol : public QObject
{
    Q_OBJECT
private slots:
    void answers_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<bool>("logged");

        // Reads, default and extended forms, from the state as it is after
        // every change; reads of what the poll does not cover go to the radio.
        row("f", "", "  f\r", "14250000\n");
        row("+f", "", "+f", "get_freq:\nFrequency: 14250000\nRPRT 0\n");
        row("|long", "", "|\\get_freq", "get_freq:|Frequency: 14250000|RPRT 0\n");
        row("m CW-R", "mode=CW-R", "m", "CWR\n2200\n");
        row("m DIG", "mode=DIG", "m", "PKTUSB\n2200\n");
        row("+m PKT", "mode=PKT", "+m", "get_mode:\nMode: PKTFM\nPassband: 9000\nRPRT 0\n");
        row("m FSK-R", "set2 mode=FSK-R", "m", "RTTYR\n2200\n");
        row("m none", "mode=", "m", "None\n0\n");
        row("v", "vfo=B", "v", "VFOB\n", "read vfo");
        row("t", "ptt=1", "t", "1\n");
        row("s on", "split=1", "s", "1\nVFOB\n");
        row("s on, B", "split=1 vfo=B", "s", "1\nVFOB\n");
        row("s unknown", "split=-1", "+s", "get_split_vfo:\nSplit: 0\nTX VFO: VFOA\nRPRT 0\n");
        row("i", "tx=14075500 txmode=DIG", "i", "14075500\n", "read split");
        row("k", "tx=14075500 txmode=LSB", "k", "14075500\nLSB\n2200\n", "read split");
        row("i not read", "", "i", "RPRT -6\n", "read split");
        // A client that went over to the transmit VFO reads and sets it there.
        row("i on B", "vfo=B freq=14075500", "i", "14075500\n");
        row("S 1 VFOA, i", "freq=14075500", "S 1 VFOA i", "RPRT 0\n14075500\n", "split 1");
        row("info A", "split=1", "+\\get_vfo_info VFOA",
            "get_vfo_info: VFOA\nFreq: 14250000\nMode: USB\nWidth: 2200\nSplit: 1\nSatMode: 0\nRPRT 0\n");
        row("info B", "tx=7074000 txmode=LSB", "\\get_vfo_info VFOB", "7074000\nLSB\n2200\n0\n0\n", "read split");
        row("S5", "meter=33", "l STRENGTH", "-24\n");
        row("S9+60", "meter=100", "l STRENGTH", "60\n");
        row("+l", "meter=60", "+l STRENGTH", "get_level: STRENGTH\n0\nRPRT 0\n");
        row("RAWSTR", "meter=60", "l RAWSTR", "9\n");
        row("RAWSTR 847", "model=FT-847 meter=100", "l RAWSTR", "31\n");
        row("RFPOWER", "ptt=1 power=0.66", "l RFPOWER", "0.660000\n", "read meters");
        row("RFPOWER receiving", "power=0.66", "l RFPOWER", "RPRT -9\n", "read meters");
        row("SWR 857", "model=FT-857 ptt=1", "l SWR", "RPRT -11\n", "read meters", true);
        row("powerstat", "", "\\get_powerstat", "1\n");
        row("powerstat off", "offline", "+\\get_powerstat", "get_powerstat:\nPower Status: 0\nRPRT 0\n");
        row("lock", "", "\\get_lock_mode", "0\n");
        row("chk_vfo", "offline", "\\chk_vfo", "0\n");
        row("+chk_vfo", "", "+\\chk_vfo", "ChkVFO: 0\n");
        // Off-line: no reads from a stale state, nothing queued.
        row("off f", "offline", "f", "RPRT -6\n");
        row("off F", "offline", "F 7074000", "RPRT -6\n");

        // Sets reach the program only with values the radio takes, rounded
        // to its 10 Hz as Hamlib's Yaesu backends round.
        row("F", "", "F 7074000.000000", "RPRT 0\n", "tune 7074000");
        row("F half", "", "F 14074000.5", "RPRT 0\n", "tune 14074000");
        row("F 55", "", "F 14074055", "RPRT 0\n", "tune 14074060");
        row(";F", "", ";F 7074000", "set_freq: 7074000;RPRT 0\n", "tune 7074000");
        row("F text", "", "F abc", "RPRT -1\n");
        row("F nan", "", "F nan", "RPRT -1\n");
        row("F huge", "", "F 1e300", "RPRT -1\n");
        row("F gap", "", "F 60000000", "RPRT -1\n");
        row("F 847 top", "model=FT-847", "F 505000000", "RPRT -1\n");
        row("M USB", "", "M USB 2400", "RPRT 0\n", "mode USB");
        row("M no passband", "", "M LSB", "RPRT 0\n", "mode LSB");
        row("M CWR", "", "M CWR -1", "RPRT 0\n", "mode CW-R");
        row("M PKTUSB", "", "M PKTUSB 0", "RPRT 0\n", "mode DIG");
        row("M RTTY", "", "M RTTY 0", "RPRT 0\n", "mode DIG");
        row("M RTTY set2", "set2", "M RTTY 0", "RPRT 0\n", "mode FSK");
        row("M FM-D", "", "M FM-D 0", "RPRT 0\n", "mode PKT");
        row("M PKTLSB", "", "M PKTLSB 0", "RPRT -1\n");
        row("M PKTUSB 847", "model=FT-847", "M PKTUSB 0", "RPRT -1\n");
        row("M bad passband", "", "M USB wide", "RPRT -1\n");
        row("passband set", "", "M CW 500 m", "RPRT 0\nCW\n500\n", "mode CW");
        row("passband normal", "", "M CW 500 M CW 0 m", "RPRT 0\nRPRT 0\nCW\n2200\n", "mode CW,mode CW");
        row("passband kept", "", "M CW 500 M CW -1 m", "RPRT 0\nRPRT 0\nCW\n500\n", "mode CW,mode CW");
        row("V B", "", "V VFOB", "RPRT 0\n", "read vfo,vfo");
        row("V Main on B", "vfo=B", "\\set_vfo Main", "RPRT 0\n", "read vfo,vfo");
        row("V current", "vfo=B", "V currVFO", "RPRT 0\n", "read vfo");
        row("V TX in split", "split=1", "V TX", "RPRT 0\n", "read vfo,vfo");
        row("V MEM", "", "V MEM", "RPRT -11\n", "read vfo");
        row("V nonsense", "", "V VFOX", "RPRT -1\n", "read vfo");
        row("V B 847", "model=FT-847", "V VFOB", "RPRT -11\n", "read vfo");
        row("G TOGGLE", "", "G TOGGLE", "RPRT 0\n", "vfo");
        row("G CPY", "", "+\\vfo_op CPY", "vfo_op: CPY\nRPRT 0\n", "a=b");
        row("G UP", "", "G UP", "RPRT -11\n");
        row("G 847", "model=FT-847", "G TOGGLE", "RPRT -11\n");
        row("T 3", "", "T 3", "RPRT 0\n", "ptt 1");
        row("T 0", "ptt=1", "+T 0", "set_ptt: 0\nRPRT 0\n", "ptt 0");
        row("T 4", "", "T 4", "RPRT -1\n");
        row("S on from unknown", "split=-1", "S 1", "RPRT 0\n", "split 1");
        row("S off", "split=1", "S 0 VFOA", "RPRT 0\n", "split 0");
        row("S on, on", "split=1", "S 1 VFOB", "RPRT 0\n");
        row("S 2", "", "S 2 VFOB", "RPRT -1\n");
        row("S bad VFO", "", "S 1 VFOX", "RPRT -1\n");
        row("I", "", "I 14075505", "RPRT 0\n", "split freq 14075510");
        row("I gap", "", "I 60000000", "RPRT -1\n");
        row("I on B", "vfo=B", "I 14075500", "RPRT 0\n", "tune 14075500");
        row("X", "", "X PKTUSB 3000 x", "RPRT 0\nPKTUSB\n3000\n", "split mode DIG,read split");
        row("X set2", "set2", "X USB 0", "RPRT -11\n");
        row("K", "", "K 7075000 LSB 0", "RPRT 0\n", "split mode LSB,split freq 7075000");

        // Several commands to a line, each in its own form; a comment ends it.
        row("fv", "", "fv", "14250000\nVFOA\n", "read vfo");
        row("+f v", "", "+f v", "get_freq:\nFrequency: 14250000\nRPRT 0\nVFOA\n", "read vfo");
        row("F then f", "", "F7074000 f", "RPRT 0\n7074000\n", "tune 7074000");
        row("f#v", "", "f#v", "14250000\n");

        // Leaving, unknown commands, nothing at all.
        row("q", "", "q", "RPRT 0\n");
        row("unknown short", "", "Z", "RPRT -11\n", "", true);
        row("unknown long", "", "+\\get_rig_info 1 2", "\\get_rig_info: 1 2\nRPRT -11\n", "", true);
        row("empty", "", "   ", "");
        row("comment", "", "# f", "");
    }
    void answers()
    {
        QFETCH(QString, radio);
        QFETCH(QByteArray, line);
        FakeRigctldHost host;
        applyRadio(host.radio, radio);
        TRigctldProtocol protocol(host);
        const LineAnswer answer = answerLine(protocol, line);
        QTEST(answer.reply, "reply");
        QTEST(host.calls.join(u','), "calls");
        QTEST(answer.logged, "logged");
        QCOMPARE(answer.quit, line == "q");
    }

    // What loggers look for in "\\dump_caps", and the tuning step of "\\dump_state".
    void dumpsSayWhatTheEndpointDoes()
    {
        const QByteArray caps = TRigctldProtocol::DumpCaps(TcvrTypes[0]);
        for (const char *line : {"Model name:\tFT-817\n", "Can set Split Freq:\tY\n", "Can get Split Mode:\tY\n",
                                 "VFO Ops: CPY TOGGLE\n", "Get level: RFPOWER RAWSTR SWR ALC STRENGTH\n"})
            QVERIFY2(caps.contains(line), line);
        QVERIFY(TRigctldProtocol::DumpCaps(TcvrTypes[1]).contains("VFO list: VFOA\n"));
        QVERIFY(TRigctldProtocol::DumpState(TcvrTypes[0]).contains("\n0x18ff 10\n"));
    }

    void lineReader_data()
    {
        using L = QList<QByteArray>;
        QTest::addColumn<L>("chunks");
        QTest::addColumn<int>("result");
        QTest::addColumn<L>("lines");
        const QByteArray longest(TRigctldLineReader::MaxLineLength, 'f');
        QTest::newRow("across chunks") << L{"f\nF 70", "74000\r\n", "m"} << 0 << L{"f", "F 7074000\r"};
        QTest::newRow("tab") << L{"M\tUSB\n"} << 0 << L{"M\tUSB"};
        QTest::newRow("NUL") << L{QByteArray("f\nF\0", 4)} << 1 << L{"f"};
        QTest::newRow("escape") << L{"\x1b[A\n"} << 1 << L{};
        QTest::newRow("high byte") << L{"F 7\xc3\xa9\n"} << 1 << L{};
        QTest::newRow("longest") << L{longest + "\n"} << 0 << L{longest};
        QTest::newRow("one more") << L{longest.left(500), longest.left(525)} << 2 << L{};
    }
    void lineReader()
    {
        QFETCH(QList<QByteArray>, chunks);
        TRigctldLineReader reader;
        QList<QByteArray> lines;
        int result = TRigctldLineReader::Lines;
        for (const QByteArray &chunk : chunks)
            if ((result = reader.Feed(chunk, &lines)) != TRigctldLineReader::Lines)
                break;
        QTEST(result, "result");
        QTEST(lines, "lines");
    }
};

TARNWICK_TEST_CLASS(TestRigctldProtocol)
#include "tst_rigctldprotocol.moc"
