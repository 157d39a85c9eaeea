// The rigctld protocol without sockets: each request line against a radio
// state, the reply bytes and what reaches the window; the line reader's
// verdict on what a client sends.

#include "FakeRigctldHost.h"
#include "common/TestEnvironment.h"

namespace {

// "model=FT-847 freq=7030000 mode=CW-R ptt=1 split=-1 vfo=B meter=60 offline"
void applyRadio(TRigctldRadio &radio, const QString &spec)
{
    for (const QString &word : spec.split(u' ', Qt::SkipEmptyParts)) {
        const QString key = word.section(u'=', 0, 0);
        const QString value = word.section(u'=', 1);
        if (key == "model")
            radio.Type = TcvrTypeAt(TcvrTypeIndex(value));
        else if (key == "set2")
            radio.Type.CommandSet = 2;
        else if (key == "freq")
            radio.Frequency = value.toInt();
        else if (key == "mode")
            radio.Mode = value;
        else if (key == "ptt")
            radio.Ptt = value == "1";
        else if (key == "split")
            radio.Split = value.toInt();
        else if (key == "vfo")
            radio.Vfo = value.at(0);
        else if (key == "meter")
            radio.MeterPercent = value.toInt();
        else if (key == "offline")
            radio.Connected = false;
        else
            qFatal("unknown radio key");
    }
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

        // Reads in both forms, from the state alone.
        QTest::newRow("f") << "" << QByteArray("f") << QByteArray("14250000\n") << "" << false;
        QTest::newRow("f, blanks and CR") << "" << QByteArray("  f\r") << QByteArray("14250000\n") << "" << false;
        QTest::newRow("+f") << "" << QByteArray("+f") << QByteArray("get_freq:\nFrequency: 14250000\nRPRT 0\n") << "" << false;
        QTest::newRow(";f") << "" << QByteArray(";f") << QByteArray("get_freq:;Frequency: 14250000;RPRT 0\n") << "" << false;
        QTest::newRow("|long") << "" << QByteArray("|\\get_freq") << QByteArray("get_freq:|Frequency: 14250000|RPRT 0\n")
                               << "" << false;
        QTest::newRow("m CW-R") << "mode=CW-R" << QByteArray("m") << QByteArray("CWR\n2200\n") << "" << false;
        QTest::newRow("m DIG") << "mode=DIG" << QByteArray("m") << QByteArray("PKTUSB\n2200\n") << "" << false;
        QTest::newRow("m PKT") << "mode=PKT" << QByteArray("m") << QByteArray("PKTFM\n9000\n") << "" << false;
        QTest::newRow("m FSK-R") << "set2 mode=FSK-R" << QByteArray("m") << QByteArray("RTTYR\n2200\n") << "" << false;
        QTest::newRow("m none") << "mode=" << QByteArray("m") << QByteArray("None\n0\n") << "" << false;
        QTest::newRow("+m") << "mode=FM" << QByteArray("+m") << QByteArray("get_mode:\nMode: FM\nPassband: 9000\nRPRT 0\n")
                            << "" << false;
        QTest::newRow("v") << "vfo=B" << QByteArray("v") << QByteArray("VFOB\n") << "" << false;
        QTest::newRow("+v") << "" << QByteArray("+v") << QByteArray("get_vfo:\nVFO: VFOA\nRPRT 0\n") << "" << false;
        QTest::newRow("t") << "ptt=1" << QByteArray("t") << QByteArray("1\n") << "" << false;
        QTest::newRow("s on") << "split=1" << QByteArray("s") << QByteArray("1\nVFOB\n") << "" << false;
        QTest::newRow("s on, B") << "split=1 vfo=B" << QByteArray("s") << QByteArray("1\nVFOA\n") << "" << false;
        QTest::newRow("s unknown") << "split=-1" << QByteArray("+s")
                                   << QByteArray("get_split_vfo:\nSplit: 0\nTX VFO: VFOA\nRPRT 0\n") << "" << false;
        QTest::newRow("S0") << "meter=0" << QByteArray("l STRENGTH") << QByteArray("-54\n") << "" << false;
        QTest::newRow("S5") << "meter=33" << QByteArray("l STRENGTH") << QByteArray("-24\n") << "" << false;
        QTest::newRow("S9") << "meter=60" << QByteArray("l STRENGTH") << QByteArray("0\n") << "" << false;
        QTest::newRow("S9+60") << "meter=100" << QByteArray("l STRENGTH") << QByteArray("60\n") << "" << false;
        QTest::newRow("+l") << "meter=60" << QByteArray("+l STRENGTH") << QByteArray("get_level: STRENGTH\n0\nRPRT 0\n")
                            << "" << false;
        QTest::newRow("RAWSTR") << "meter=60" << QByteArray("l RAWSTR") << QByteArray("9\n") << "" << false;
        QTest::newRow("RAWSTR 847") << "model=FT-847 meter=100" << QByteArray("l RAWSTR") << QByteArray("31\n") << "" << false;
        QTest::newRow("l SWR") << "" << QByteArray("l SWR") << QByteArray("RPRT -11\n") << "" << true;
        QTest::newRow("l") << "" << QByteArray("l") << QByteArray("RPRT -1\n") << "" << false;
        QTest::newRow("powerstat") << "" << QByteArray("\\get_powerstat") << QByteArray("1\n") << "" << false;
        QTest::newRow("powerstat off") << "offline" << QByteArray("+\\get_powerstat")
                                       << QByteArray("get_powerstat:\nPower Status: 0\nRPRT 0\n") << "" << false;
        QTest::newRow("lock") << "" << QByteArray("\\get_lock_mode") << QByteArray("0\n") << "" << false;
        QTest::newRow("chk_vfo") << "offline" << QByteArray("\\chk_vfo") << QByteArray("0\n") << "" << false;
        QTest::newRow("+chk_vfo") << "" << QByteArray("+\\chk_vfo") << QByteArray("ChkVFO: 0\n") << "" << false;

        // Off-line: no reads from a stale window, nothing queued.
        QTest::newRow("off f") << "offline" << QByteArray("f") << QByteArray("RPRT -6\n") << "" << false;
        QTest::newRow("off F") << "offline" << QByteArray("F 7074000") << QByteArray("RPRT -6\n") << "" << false;

        // Frequency.
        QTest::newRow("F") << "" << QByteArray("F 7074000") << QByteArray("RPRT 0\n") << "tune 7074000" << false;
        QTest::newRow("F Hamlib's form") << "" << QByteArray("F 7074000.000000") << QByteArray("RPRT 0\n")
                                         << "tune 7074000" << false;
        QTest::newRow("F exponent") << "" << QByteArray("F 7.1e6") << QByteArray("RPRT 0\n") << "tune 7100000" << false;
        QTest::newRow("F rounded") << "" << QByteArray("F 14074000.6") << QByteArray("RPRT 0\n") << "tune 14074001" << false;
        QTest::newRow("+F") << "" << QByteArray("+F 7074000") << QByteArray("set_freq: 7074000\nRPRT 0\n")
                            << "tune 7074000" << false;
        QTest::newRow(";F") << "" << QByteArray(";F 7074000") << QByteArray("set_freq: 7074000;RPRT 0\n")
                            << "tune 7074000" << false;
        QTest::newRow("F text") << "" << QByteArray("F abc") << QByteArray("RPRT -1\n") << "" << false;
        QTest::newRow("F none") << "" << QByteArray("F") << QByteArray("RPRT -1\n") << "" << false;
        QTest::newRow("F nan") << "" << QByteArray("F nan") << QByteArray("RPRT -1\n") << "" << false;
        QTest::newRow("F huge") << "" << QByteArray("F 1e300") << QByteArray("RPRT -1\n") << "" << false;
        QTest::newRow("F gap") << "" << QByteArray("F 60000000") << QByteArray("RPRT -1\n") << "" << false;
        QTest::newRow("F 847 top") << "model=FT-847" << QByteArray("F 505000000") << QByteArray("RPRT -1\n") << "" << false;
        QTest::newRow("F 817 70cm") << "" << QByteArray("F 435000000") << QByteArray("RPRT 0\n") << "tune 435000000" << false;

        // Mode: Hamlib names to the radio's, the passband ignored.
        QTest::newRow("M USB") << "" << QByteArray("M USB 2400") << QByteArray("RPRT 0\n") << "mode USB" << false;
        QTest::newRow("M no passband") << "" << QByteArray("M LSB") << QByteArray("RPRT 0\n") << "mode LSB" << false;
        QTest::newRow("M CWR") << "" << QByteArray("M CWR -1") << QByteArray("RPRT 0\n") << "mode CW-R" << false;
        QTest::newRow("M PKTUSB") << "" << QByteArray("M PKTUSB 0") << QByteArray("RPRT 0\n") << "mode DIG" << false;
        QTest::newRow("M RTTY") << "" << QByteArray("M RTTY 0") << QByteArray("RPRT 0\n") << "mode DIG" << false;
        QTest::newRow("M RTTY set2") << "set2" << QByteArray("M RTTY 0") << QByteArray("RPRT 0\n") << "mode FSK" << false;
        QTest::newRow("M PKTFM") << "" << QByteArray("M PKTFM 0") << QByteArray("RPRT 0\n") << "mode PKT" << false;
        QTest::newRow("M FM-D") << "" << QByteArray("M FM-D 0") << QByteArray("RPRT 0\n") << "mode PKT" << false;
        QTest::newRow("M WFM") << "" << QByteArray("M WFM 0") << QByteArray("RPRT 0\n") << "mode WFM" << false;
        QTest::newRow("M PKTLSB") << "" << QByteArray("M PKTLSB 0") << QByteArray("RPRT -1\n") << "" << false;
        QTest::newRow("M PKTUSB 847") << "model=FT-847" << QByteArray("M PKTUSB 0") << QByteArray("RPRT -1\n") << "" << false;
        QTest::newRow("M bad passband") << "" << QByteArray("M USB wide") << QByteArray("RPRT -1\n") << "" << false;
        QTest::newRow("M") << "" << QByteArray("M") << QByteArray("RPRT -1\n") << "" << false;

        // VFO: a toggle when another one is asked for and the radio has one.
        QTest::newRow("V B") << "" << QByteArray("V VFOB") << QByteArray("RPRT 0\n") << "vfo" << false;
        QTest::newRow("V Sub") << "" << QByteArray("V Sub") << QByteArray("RPRT 0\n") << "vfo" << false;
        QTest::newRow("V A on A") << "" << QByteArray("V VFOA") << QByteArray("RPRT 0\n") << "" << false;
        QTest::newRow("V A on B") << "vfo=B" << QByteArray("\\set_vfo VFOA") << QByteArray("RPRT 0\n") << "vfo" << false;
        QTest::newRow("V current") << "" << QByteArray("V currVFO") << QByteArray("RPRT 0\n") << "" << false;
        QTest::newRow("V TX in split") << "split=1" << QByteArray("V TX") << QByteArray("RPRT 0\n") << "vfo" << false;
        QTest::newRow("V MEM") << "" << QByteArray("V MEM") << QByteArray("RPRT -11\n") << "" << false;
        QTest::newRow("V nonsense") << "" << QByteArray("V VFOX") << QByteArray("RPRT -1\n") << "" << false;
        QTest::newRow("V B 847") << "model=FT-847" << QByteArray("V VFOB") << QByteArray("RPRT -11\n") << "" << false;

        // PTT and split.
        QTest::newRow("T 1") << "" << QByteArray("T 1") << QByteArray("RPRT 0\n") << "ptt 1" << false;
        QTest::newRow("T 3") << "" << QByteArray("T 3") << QByteArray("RPRT 0\n") << "ptt 1" << false;
        QTest::newRow("T 0") << "ptt=1" << QByteArray("+T 0") << QByteArray("set_ptt: 0\nRPRT 0\n") << "ptt 0" << false;
        QTest::newRow("T 4") << "" << QByteArray("T 4") << QByteArray("RPRT -1\n") << "" << false;
        QTest::newRow("S on") << "" << QByteArray("S 1 VFOB") << QByteArray("RPRT 0\n") << "split 1" << false;
        QTest::newRow("S on from unknown") << "split=-1" << QByteArray("S 1") << QByteArray("RPRT 0\n") << "split 1" << false;
        QTest::newRow("S off") << "split=1" << QByteArray("S 0 VFOA") << QByteArray("RPRT 0\n") << "split 0" << false;
        QTest::newRow("S on, on") << "split=1" << QByteArray("S 1 VFOB") << QByteArray("RPRT 0\n") << "" << false;
        QTest::newRow("S 2") << "" << QByteArray("S 2 VFOB") << QByteArray("RPRT -1\n") << "" << false;
        QTest::newRow("S bad VFO") << "" << QByteArray("S 1 VFOX") << QByteArray("RPRT -1\n") << "" << false;

        // Leaving, unknown commands, nothing at all.
        QTest::newRow("q") << "" << QByteArray("q") << QByteArray("RPRT 0\n") << "" << false;
        QTest::newRow("unknown short") << "" << QByteArray("k") << QByteArray("RPRT -11\n") << "" << true;
        QTest::newRow("unknown long") << "" << QByteArray("+\\get_rig_info 1")
                                      << QByteArray("\\get_rig_info: 1\nRPRT -11\n") << "" << true;
        QTest::newRow("empty") << "" << QByteArray("   ") << QByteArray() << "" << false;
        QTest::newRow("comment") << "" << QByteArray("# f") << QByteArray() << "" << false;
    }
    void answers()
    {
        QFETCH(QString, radio);
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, reply);
        QFETCH(QString, calls);
        QFETCH(bool, logged);
        FakeRigctldHost host;
        applyRadio(host.radio, radio);
        TRigctldProtocol protocol(host);
        const TRigctldAnswer answer = protocol.Answer(line);
        QCOMPARE(answer.Reply, reply);
        QCOMPARE(host.calls.join(u','), calls);
        QCOMPARE(!answer.LogText.isEmpty(), logged);
        QCOMPARE(answer.Quit, line == "q");
    }

    void lineReader_data()
    {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<QByteArray>>("lines");
        using L = QList<QByteArray>;
        QTest::newRow("lines across chunks") << L{"f\nF 70", "74000\r\n", "m"} << int(TRigctldLineReader::Lines)
                                             << L{"f", "F 7074000\r"};
        QTest::newRow("tab allowed") << L{"M\tUSB\n"} << int(TRigctldLineReader::Lines) << L{"M\tUSB"};
        QTest::newRow("NUL") << L{QByteArray("f\nF\0", 4)} << int(TRigctldLineReader::Garbage) << L{"f"};
        QTest::newRow("escape") << L{"\x1b[A\n"} << int(TRigctldLineReader::Garbage) << L{};
        QTest::newRow("high byte") << L{"F 7\xc3\xa9\n"} << int(TRigctldLineReader::Garbage) << L{};
        QTest::newRow("longest line") << L{QByteArray(TRigctldLineReader::MaxLineLength, 'f') + "\n"}
                                      << int(TRigctldLineReader::Lines)
                                      << L{QByteArray(TRigctldLineReader::MaxLineLength, 'f')};
        QTest::newRow("one more") << L{QByteArray(TRigctldLineReader::MaxLineLength / 2, 'f'),
                                       QByteArray(TRigctldLineReader::MaxLineLength / 2 + 1, 'f')}
                                  << int(TRigctldLineReader::TooLong) << L{};
    }
    void lineReader()
    {
        QFETCH(QList<QByteArray>, chunks);
        QFETCH(int, result);
        QFETCH(QList<QByteArray>, lines);
        TRigctldLineReader reader;
        QList<QByteArray> got;
        int last = TRigctldLineReader::Lines;
        for (const QByteArray &chunk : chunks)
            if ((last = reader.Feed(chunk, &got)) != TRigctldLineReader::Lines)
                break;
        QCOMPARE(last, result);
        QCOMPARE(got, lines);
    }
};

TARNWICK_TEST_CLASS(TestRigctldProtocol)
#include "tst_rigctldprotocol.moc"
