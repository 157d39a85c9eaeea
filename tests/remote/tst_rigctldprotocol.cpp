// The rigctld protocol without sockets: each request line against a radio
// state, the reply bytes and what reaches the window; the line reader's
// verdict on what a client sends.

#include "FakeRigctldHost.h"
#include "common/TestEnvironment.h"

namespace {

// "model=FT-847 set2 freq=7030000 mode=CW-R ptt=1 split=-1 vfo=B meter=60 offline"
void applyRadio(TRigctldRadio &radio, const QString &spec)
{
    for (const QString &word : spec.split(u' ', Qt::SkipEmptyParts)) {
        const QString key = word.section(u'=', 0, 0), value = word.section(u'=', 1);
        if (key == "model")
            radio.Type = TcvrTypeAt(TcvrTypeIndex(value));
        radio.Type.CommandSet = key == "set2" ? 2 : radio.Type.CommandSet;
        radio.Mode = key == "mode" ? value : radio.Mode;
        radio.Ptt = key == "ptt" || radio.Ptt;
        radio.Split = key == "split" ? value.toInt() : radio.Split;
        radio.Vfo = key == "vfo" ? value.at(0) : radio.Vfo;
        radio.MeterPercent = key == "meter" ? value.toInt() : radio.MeterPercent;
        radio.Connected = key != "offline" && radio.Connected;
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

        // Reads, default and extended forms, from the state alone.
        row("f", "", "  f\r", "14250000\n");
        row("+f", "", "+f", "get_freq:\nFrequency: 14250000\nRPRT 0\n");
        row("|long", "", "|\\get_freq", "get_freq:|Frequency: 14250000|RPRT 0\n");
        row("m CW-R", "mode=CW-R", "m", "CWR\n2200\n");
        row("m DIG", "mode=DIG", "m", "PKTUSB\n2200\n");
        row("+m PKT", "mode=PKT", "+m", "get_mode:\nMode: PKTFM\nPassband: 9000\nRPRT 0\n");
        row("m FSK-R", "set2 mode=FSK-R", "m", "RTTYR\n2200\n");
        row("m none", "mode=", "m", "None\n0\n");
        row("v", "vfo=B", "v", "VFOB\n");
        row("t", "ptt=1", "t", "1\n");
        row("s on", "split=1", "s", "1\nVFOB\n");
        row("s on, B", "split=1 vfo=B", "s", "1\nVFOA\n");
        row("s unknown", "split=-1", "+s", "get_split_vfo:\nSplit: 0\nTX VFO: VFOA\nRPRT 0\n");
        row("S5", "meter=33", "l STRENGTH", "-24\n");
        row("S9+60", "meter=100", "l STRENGTH", "60\n");
        row("+l", "meter=60", "+l STRENGTH", "get_level: STRENGTH\n0\nRPRT 0\n");
        row("RAWSTR", "meter=60", "l RAWSTR", "9\n");
        row("RAWSTR 847", "model=FT-847 meter=100", "l RAWSTR", "31\n");
        row("l SWR", "", "l SWR", "RPRT -11\n", "", true);
        row("powerstat", "", "\\get_powerstat", "1\n");
        row("powerstat off", "offline", "+\\get_powerstat", "get_powerstat:\nPower Status: 0\nRPRT 0\n");
        row("lock", "", "\\get_lock_mode", "0\n");
        row("chk_vfo", "offline", "\\chk_vfo", "0\n");
        row("+chk_vfo", "", "+\\chk_vfo", "ChkVFO: 0\n");
        // Off-line: no reads from a stale window, nothing queued.
        row("off f", "offline", "f", "RPRT -6\n");
        row("off F", "offline", "F 7074000", "RPRT -6\n");

        // Sets reach the window only with values the radio takes.
        row("F", "", "F 7074000.000000", "RPRT 0\n", "tune 7074000");
        row("F rounded", "", "F 1.40740006e7", "RPRT 0\n", "tune 14074001");
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
        row("V B", "", "V VFOB", "RPRT 0\n", "vfo");
        row("V Main on B", "vfo=B", "\\set_vfo Main", "RPRT 0\n", "vfo");
        row("V current", "vfo=B", "V currVFO", "RPRT 0\n");
        row("V TX in split", "split=1", "V TX", "RPRT 0\n", "vfo");
        row("V MEM", "", "V MEM", "RPRT -11\n");
        row("V nonsense", "", "V VFOX", "RPRT -1\n");
        row("V B 847", "model=FT-847", "V VFOB", "RPRT -11\n");
        row("T 3", "", "T 3", "RPRT 0\n", "ptt 1");
        row("T 0", "ptt=1", "+T 0", "set_ptt: 0\nRPRT 0\n", "ptt 0");
        row("T 4", "", "T 4", "RPRT -1\n");
        row("S on from unknown", "split=-1", "S 1", "RPRT 0\n", "split 1");
        row("S off", "split=1", "S 0 VFOA", "RPRT 0\n", "split 0");
        row("S on, on", "split=1", "S 1 VFOB", "RPRT 0\n");
        row("S 2", "", "S 2 VFOB", "RPRT -1\n");
        row("S bad VFO", "", "S 1 VFOX", "RPRT -1\n");

        // Leaving, unknown commands, nothing at all.
        row("q", "", "q", "RPRT 0\n");
        row("unknown short", "", "k", "RPRT -11\n", "", true);
        row("unknown long", "", "+\\get_rig_info 1", "\\get_rig_info: 1\nRPRT -11\n", "", true);
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
        const TRigctldAnswer answer = protocol.Answer(line);
        QTEST(answer.Reply, "reply");
        QTEST(host.calls.join(u','), "calls");
        QTEST(!answer.LogText.isEmpty(), "logged");
        QCOMPARE(answer.Quit, line == "q");
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
