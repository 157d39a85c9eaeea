#include "cat/CatCommands.h"
#include "cat/TcvrTypes.h"
#include "common/TestEnvironment.h"

#include <QApplication>

namespace {

const TTcvrType &ft817() { return TcvrTypes[0]; }
const TTcvrType &ft847() { return TcvrTypes[1]; }

// Command set 2 is complete in the code although no model of the table selects it.
TTcvrType set2Type()
{
    TTcvrType type = TcvrTypes[0];
    type.Model = QStringLiteral("TS-TEST");
    type.CommandSet = 2;
    type.HexCoded = false;
    return type;
}

QString text(const std::unique_ptr<TTcvrCommand> &command) { return command ? command->Command : QStringLiteral("<null>"); }
QString code(const std::unique_ptr<TTcvrCommand> &command) { return command ? command->Code : QStringLiteral("<null>"); }

} // namespace

class TestCommandSet : public QObject
{
    Q_OBJECT
private slots:
    void modelTable()
    {
        const char *models[] = {"FT-817", "FT-847", "FT-857", "FT-897"};
        for (int i = 0; i < TcvrTypeCount; ++i) {
            const TTcvrType &t = TcvrTypes[i];
            QCOMPARE(t.Model, QString::fromLatin1(models[i]));
            QCOMPARE(t.Maker, QStringLiteral("Yeasu"));
            QCOMPARE(t.CommandSet, 1);
            QCOMPARE(t.DefaultSpeed, QStringLiteral("4800"));
            QCOMPARE(t.DtrChoices, QStringLiteral("Disabled,Enabled,Hand-shake"));
            QCOMPARE(t.RtsChoices, QStringLiteral("Disabled,Enabled,Hand-shake,Toggle"));
            QVERIFY(t.HexCoded);
            QCOMPARE(t.FrequencyCodeA, QStringLiteral("01"));
            QCOMPARE(t.FrequencyCodeB, QStringLiteral("01"));
            QCOMPARE(int(t.ProbeReplyLength), 10);
            const bool is847 = i == 1;
            QCOMPARE(t.Speeds, is847 ? QStringLiteral("4800,9600,57600") : QStringLiteral("4800,9600,38400"));
            QCOMPARE(t.CatOnCommand, is847 ? QStringLiteral("0000000000") : QString());
            QCOMPARE(t.CatOffCommand, is847 ? QStringLiteral("0000000080") : QString());
            QCOMPARE(t.WatchdogInterval, is847 ? 3000u : 1000u);
            QCOMPARE(t.HasVfoKeys, !is847);
        }
        QCOMPARE(TcvrTypeIndex("FT-897"), 3);
        QCOMPARE(TcvrTypeIndex("IC-7300"), -1);
        QCOMPARE(TcvrTypeAt(-1).Model, QStringLiteral("FT-817"));
        QCOMPARE(TcvrTypeAt(99).Model, QStringLiteral("FT-817"));
    }
    void pollTableAndModeNames()
    {
        QCOMPARE(PollCommands[1][0].Command, QStringLiteral("0000000003"));
        QCOMPARE(PollCommands[1][0].ReplyLength, 5);
        QCOMPARE(PollCommands[1][1].Command, QStringLiteral("00000000E7"));
        QCOMPARE(PollCommands[1][1].ReplyLength, 1);
        QCOMPARE(PollCommands[1][2].Command, QStringLiteral("00000000F7"));
        QCOMPARE(PollCommands[1][2].ReplyLength, 1);
        QVERIFY(PollCommands[1][3].Command.isEmpty());
        QCOMPARE(PollCommands[2][0].Command, QStringLiteral("IF;"));
        QCOMPARE(PollCommands[2][0].ReplyLength, 38);
        QCOMPARE(PollCommands[2][1].Command, QStringLiteral("SM;"));
        QCOMPARE(PollCommands[2][1].ReplyLength, 7);
        QVERIFY(PollCommands[2][2].Command.isEmpty());
        QCOMPARE(PollCommands[2][2].ReplyLength, 0);
        const QStringList modes{"LSB", "USB", "CW", "CW-R", "AM", "WFM", "FM", "DIG", "PKT", "FSK", "FSK-R"};
        for (int i = 0; i < ModeCount; ++i)
            QCOMPARE(ModeNames[i], modes.at(i));
    }
    void makeCommandCutsTo255()
    {
        auto command = MakeCommand(QString(300, 'A'), QString(256, 'c'));
        QCOMPARE(command->Command.size(), 255);
        QCOMPARE(command->Code.size(), 255);
    }
    void set1Frequency_data()
    {
        QTest::addColumn<qint32>("hz");
        QTest::addColumn<QString>("expected");
        QTest::newRow("20 m") << 14250000 << "0142500001";
        QTest::newRow("last digit dropped") << 7050005 << "0070500001";
        QTest::newRow("2 m") << 145500000 << "1455000001";
        QTest::newRow("zero") << 0 << "0000000001";
        QTest::newRow("top of scale") << 500000000 << "5000000001";
    }
    void set1Frequency()
    {
        QFETCH(qint32, hz);
        QFETCH(QString, expected);
        auto command = MakeFrequencyCommand(hz, ft817(), u'A');
        QCOMPARE(command->Command, expected);
        QCOMPARE(command->Code, QStringLiteral("01"));
        QCOMPARE(HexToBytes(command->Command).toHex(), QByteArray(expected.toLatin1()).toLower());
    }
    void set1Modes_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("LSB") << "LSB" << "0000000007";
        QTest::newRow("USB") << "USB" << "0100000007";
        QTest::newRow("CW") << "CW" << "0200000007";
        QTest::newRow("CW-R") << "CW-R" << "0300000007";
        QTest::newRow("AM") << "AM" << "0400000007";
        QTest::newRow("WFM") << "WFM" << "0800000007";
        QTest::newRow("FM") << "FM" << "0800000007";
        QTest::newRow("DIG") << "DIG" << "0A00000007";
        QTest::newRow("PKT") << "PKT" << "0C00000007";
        QTest::newRow("FSK falls to CW") << "FSK" << "0200000007";
        QTest::newRow("FSK-R falls to CW") << "FSK-R" << "0200000007";
        QTest::newRow("unknown") << "XYZ" << "0200000007";
    }
    void set1Modes()
    {
        QFETCH(QString, mode);
        QFETCH(QString, expected);
        auto command = MakeModeCommand(mode, ft817());
        QCOMPARE(command->Command, expected);
        QCOMPARE(command->Code, QStringLiteral("07"));
    }
    void set1Operations()
    {
        QCOMPARE(text(MakeTransmitCommand(true, ft817())), QStringLiteral("0000000008"));
        QCOMPARE(code(MakeTransmitCommand(true, ft817())), QStringLiteral("08"));
        QCOMPARE(text(MakeTransmitCommand(false, ft817())), QStringLiteral("0000000088"));
        QCOMPARE(code(MakeTransmitCommand(false, ft817())), QStringLiteral("88"));
        QCOMPARE(text(MakeVfoToggleCommand(ft817(), u'A')), QStringLiteral("0000000081"));
        QCOMPARE(code(MakeVfoToggleCommand(ft817(), u'A')), QStringLiteral("81"));
        QVERIFY(!MakeVfoToggleCommand(ft847(), u'A'));
        QCOMPARE(text(MakeSplitCommand(true, ft817(), u'A')), QStringLiteral("0000000002"));
        QCOMPARE(code(MakeSplitCommand(true, ft817(), u'A')), QStringLiteral("02"));
        QCOMPARE(text(MakeSplitCommand(false, TcvrTypes[3], u'A')), QStringLiteral("0000000082"));
        QCOMPARE(code(MakeSplitCommand(false, TcvrTypes[3], u'A')), QStringLiteral("82"));
        QCOMPARE(text(MakeSplitCommand(true, ft847(), u'A')), QStringLiteral("000000004E"));
        QCOMPARE(code(MakeSplitCommand(true, ft847(), u'A')), QStringLiteral("4E"));
        QCOMPARE(text(MakeSplitCommand(false, ft847(), u'A')), QStringLiteral("000000008E"));
        QCOMPARE(code(MakeSplitCommand(false, ft847(), u'A')), QStringLiteral("8E"));
        QVERIFY(!MakeCopyToOtherVfoCommand(14250000, ft817(), u'A'));
        // The FT-847 reaches the radio with five-byte mode commands as well.
        QCOMPARE(text(MakeModeCommand("USB", ft847())), QStringLiteral("0100000007"));
    }
    void tones()
    {
        QCOMPARE(text(MakeToneFrequencyCommand(1000, 885, ft817())), QStringLiteral("100008850B"));
        QCOMPARE(code(MakeToneFrequencyCommand(1000, 885, ft817())), QStringLiteral("0B"));
        QCOMPARE(text(MakeToneModeCommand(885, 1000, ft817())), QStringLiteral("2A0000000A"));
        QCOMPARE(text(MakeToneModeCommand(885, 0, ft817())), QStringLiteral("3A0000000A"));
        QCOMPARE(text(MakeToneModeCommand(0, 1000, ft817())), QStringLiteral("4A0000000A"));
        QCOMPARE(text(MakeToneModeCommand(0, 0, ft817())), QStringLiteral("8A0000000A"));
        QCOMPARE(code(MakeToneModeCommand(0, 0, ft817())), QStringLiteral("0A"));
        QCOMPARE(text(MakeToneFrequencyCommand(0, 885, ft817())), QStringLiteral("000008850B"));
        QCOMPARE(text(MakeTonesOffCommand(ft817())), QStringLiteral("8A0000000A"));
        QCOMPARE(code(MakeTonesOffCommand(ft817())), QStringLiteral("0A"));
        const TTcvrType set2 = set2Type();
        QVERIFY(!MakeToneFrequencyCommand(1000, 885, set2));
        QVERIFY(!MakeToneModeCommand(885, 1000, set2));
        QVERIFY(!MakeTonesOffCommand(set2));
    }
    void ft847DirectTransfers()
    {
        QCOMPARE(TcvrTypes[1].CatOnCommand, QStringLiteral("0000000000"));
        QCOMPARE(Ft847ReadMainVfoText(), QStringLiteral("0000000003"));
        QCOMPARE(Ft847ReadSubVfoText(), QStringLiteral("0000000013"));
        QCOMPARE(Ft847SetFrequencyText("4359000008", "01"), QStringLiteral("4359000001"));
        QCOMPARE(Ft847SetFrequencyText("4359000008", "11"), QStringLiteral("4359000011"));
        QCOMPARE(Ft847SetFrequencyText("4359000008", "21"), QStringLiteral("4359000021"));
        QCOMPARE(Ft847SetModeText("0142500001", "07"), QStringLiteral("0100000007"));
        QCOMPARE(Ft847SetModeText("0142500001", "17"), QStringLiteral("0100000017"));
        QCOMPARE(Ft847SetModeText("0142500001", "27"), QStringLiteral("0100000027"));
        // A short or failed read never becomes a set command.
        QCOMPARE(Ft847SetFrequencyText("", "01"), QString());
        QCOMPARE(Ft847SetFrequencyText("01425", "01"), QString());
        QCOMPARE(Ft847SetModeText("01425000010000", "07"), QString());
        QCOMPARE(Ft847SetModeText("0142500Z01", "07"), QString());
    }
    void set2Encodings()
    {
        const TTcvrType t = set2Type();
        QCOMPARE(text(MakeFrequencyCommand(14250000, t, u'A')), QStringLiteral("FA00014250000;"));
        QCOMPARE(code(MakeFrequencyCommand(14250000, t, u'A')), QStringLiteral("FA"));
        QCOMPARE(text(MakeFrequencyCommand(7050005, t, u'B')), QStringLiteral("FB00007050005;"));
        QCOMPARE(code(MakeFrequencyCommand(7050005, t, u'B')), QStringLiteral("FB"));
        const QStringList modes{"LSB", "USB", "CW", "FM", "AM", "FSK", "CW-R", "FSK-R"};
        const QStringList digits{"1", "2", "3", "4", "5", "6", "7", "9"};
        for (int i = 0; i < modes.size(); ++i) {
            QCOMPARE(text(MakeModeCommand(modes.at(i), t)), QStringLiteral("MD") + digits.at(i) + u';');
            QCOMPARE(code(MakeModeCommand(modes.at(i), t)), QStringLiteral("MD"));
        }
        QCOMPARE(text(MakeModeCommand("FSK", t)), QStringLiteral("MD6;"));
        QCOMPARE(text(MakeModeCommand("DIG", t)), QString());
        QCOMPARE(text(MakeModeCommand("WFM", t)), QString());
        QCOMPARE(text(MakeTransmitCommand(true, t)), QStringLiteral("TX;"));
        QCOMPARE(code(MakeTransmitCommand(true, t)), QStringLiteral("TX"));
        QCOMPARE(text(MakeTransmitCommand(false, t)), QStringLiteral("RX;"));
        QCOMPARE(code(MakeTransmitCommand(false, t)), QStringLiteral("RX"));
        QCOMPARE(text(MakeVfoToggleCommand(t, u'A')), QStringLiteral("FR1;"));
        QCOMPARE(text(MakeVfoToggleCommand(t, u'B')), QStringLiteral("FR0;"));
        QCOMPARE(text(MakeVfoToggleCommand(t, u'M')), QStringLiteral("FR0;"));
        QCOMPARE(code(MakeVfoToggleCommand(t, u'M')), QStringLiteral("FR"));
        QCOMPARE(text(MakeSplitCommand(true, t, u'A')), QStringLiteral("FT1;"));
        QCOMPARE(text(MakeSplitCommand(true, t, u'B')), QStringLiteral("FT0;"));
        QCOMPARE(code(MakeSplitCommand(true, t, u'B')), QStringLiteral("FT"));
        QCOMPARE(text(MakeSplitCommand(false, t, u'A')), QStringLiteral("FR0;"));
        QCOMPARE(text(MakeSplitCommand(false, t, u'B')), QStringLiteral("FR1;"));
        QCOMPARE(text(MakeSplitCommand(false, t, u'M')), QStringLiteral("FR2;"));
        QCOMPARE(code(MakeSplitCommand(false, t, u'M')), QStringLiteral("FR"));
        QCOMPARE(text(MakeCopyToOtherVfoCommand(14250000, t, u'A')), QStringLiteral("FB00014250000;"));
        QCOMPARE(code(MakeCopyToOtherVfoCommand(14250000, t, u'A')), QStringLiteral("FB"));
        QCOMPARE(text(MakeCopyToOtherVfoCommand(14250000, t, u'B')), QStringLiteral("FA00014250000;"));
        QCOMPARE(text(MakeCopyToOtherVfoCommand(14250000, t, u'M')), QStringLiteral("FA00014250000;"));
    }
    void hexConversions()
    {
        QCOMPARE(HexToBytes("0142500001"), QByteArray::fromHex("0142500001"));
        QCOMPARE(HexToBytes("e7ff"), QByteArray::fromHex("E7FF"));
        QCOMPARE(HexToBytes("0G12"), QByteArray::fromHex("0012"));   // invalid pair reads 0
        QCOMPARE(HexToBytes("123"), QByteArray::fromHex("12"));      // odd tail ignored
        QCOMPARE(HexToBytes("1"), QByteArray());
        QCOMPARE(HexToBytes(""), QByteArray());
        QCOMPARE(HexToBytes(" 1-2"), QByteArray(2, '\0'));
        QCOMPARE(BytesToHex(QByteArray::fromHex("0aff10"), 3), QStringLiteral("0AFF10"));
        QCOMPARE(BytesToHex(QByteArray::fromHex("0aff10"), 2), QStringLiteral("0AFF"));
        QCOMPARE(BytesToHex(QByteArray::fromHex("0aff10"), 9), QStringLiteral("0AFF10"));
        QCOMPARE(BytesToHex(QByteArray::fromHex("0aff10"), -1), QString());
    }
    void set1FrequencyReplies_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<qint32>("frequency");
        QTest::addColumn<QString>("mode");
        QTest::newRow("CW, high nibble ignored") << "0142500082" << 14250000 << "CW";
        QTest::newRow("FM") << "0142500088" << 14250000 << "FM";
        QTest::newRow("LSB") << "0070500000" << 7050000 << "LSB";
        QTest::newRow("USB") << "1455000001" << 145500000 << "USB";
        QTest::newRow("CW-R") << "0142500003" << 14250000 << "CW-R";
        QTest::newRow("AM") << "0142500004" << 14250000 << "AM";
        QTest::newRow("WFM") << "1000000006" << 100000000 << "WFM";
        QTest::newRow("DIG") << "0142500A0A" << -1 << "DIG";
        QTest::newRow("PKT") << "014250000C" << 14250000 << "PKT";
        QTest::newRow("mode 5 unchanged") << "0142500005" << 14250000 << "";
        QTest::newRow("mode 15 unchanged") << "014250008F" << 14250000 << "";
        QTest::newRow("letters are no number") << "01F2500001" << -1 << "USB";
        QTest::newRow("short reply") << "014250" << -1 << "";
        QTest::newRow("empty reply") << "" << -1 << "";
        QTest::newRow("shifted garbage") << "FF01425000" << -1 << "LSB";
    }
    void set1FrequencyReplies()
    {
        QFETCH(QString, reply);
        QFETCH(qint32, frequency);
        QFETCH(QString, mode);
        const TDecodedReply decoded = DecodeSet1Reply("0000000003", reply, ft817());
        QCOMPARE(decoded.kind, TDecodedReply::FrequencyAndMode);
        QCOMPARE(decoded.frequency, frequency);
        QCOMPARE(decoded.mode, mode);
    }
    void set1StatusReplies()
    {
        TDecodedReply rx = DecodeSet1Reply("00000000E7", "8F", ft817());
        QCOMPARE(rx.kind, TDecodedReply::ReceiveStatus);
        QCOMPARE(rx.percent, 100);
        QVERIFY(rx.squelchClosed);
        rx = DecodeSet1Reply("00000000E7", "8F", ft847());
        QCOMPARE(rx.percent, 48);
        QVERIFY(rx.squelchClosed);
        rx = DecodeSet1Reply("00000000e7", "07", ft817());
        QCOMPARE(rx.percent, 46);
        QVERIFY(!rx.squelchClosed);
        rx = DecodeSet1Reply("00000000E7", "1F", ft847());
        QCOMPARE(rx.percent, 100);
        TDecodedReply tx = DecodeSet1Reply("00000000F7", "0A", ft817());
        QCOMPARE(tx.kind, TDecodedReply::TransmitStatus);
        QVERIFY(tx.transmitting);
        QCOMPARE(tx.percent, 66);
        tx = DecodeSet1Reply("00000000F7", "FF", ft817());
        QVERIFY(!tx.transmitting);
        tx = DecodeSet1Reply("00000000F7", "14", ft847());
        QCOMPARE(tx.percent, 64);
        QCOMPARE(DecodeSet1Reply("00000000E7", "", ft817()).kind, TDecodedReply::Nothing);
        QCOMPARE(DecodeSet1Reply("0142500001", "00", ft817()).kind, TDecodedReply::Nothing);
        QCOMPARE(Set1ReplyFrequency("0142500001"), 14250000);
    }
    void set2Replies()
    {
        const QString info = QStringLiteral("IF00014250000") + QString(15, ' ') + "1" + "3" + "1" + QString(6, ' ') + ";";
        QCOMPARE(info.size(), 38);
        TDecodedReply decoded = DecodeSet2Reply(info);
        QCOMPARE(decoded.kind, TDecodedReply::Information);
        QCOMPARE(decoded.frequency, 14250000);
        QVERIFY(decoded.transmitting);
        QCOMPARE(decoded.mode, QStringLiteral("CW"));
        QCOMPARE(decoded.vfo, QChar(u'B'));
        QString other = info;
        other[28] = '0';
        other[29] = '8';
        other[30] = '2';
        decoded = DecodeSet2Reply(other);
        QVERIFY(!decoded.transmitting);
        QCOMPARE(decoded.mode, QString()); // "8" leaves the mode unchanged
        QCOMPARE(decoded.vfo, QChar(u'M'));
        other[29] = '9';
        other[30] = '0';
        QCOMPARE(DecodeSet2Reply(other).mode, QStringLiteral("FSK-R"));
        QCOMPARE(DecodeSet2Reply(other).vfo, QChar(u'A'));
        QCOMPARE(DecodeSet2Reply("IF0001425X000;").frequency, -1);
        QCOMPARE(DecodeSet2Reply("IF99999999999;").frequency, -1);
        QCOMPARE(DecodeSet2Reply("IF").kind, TDecodedReply::Information);
        const TDecodedReply meter = DecodeSet2Reply("SM5000;");
        QCOMPARE(meter.kind, TDecodedReply::SMeter);
        QCOMPARE(meter.percent, 50);
        QCOMPARE(DecodeSet2Reply("SM9999;").percent, 100);
        QCOMPARE(DecodeSet2Reply("SM;").kind, TDecodedReply::Nothing);
        QCOMPARE(DecodeSet2Reply(";").kind, TDecodedReply::Nothing);
    }
};

TARNWICK_TEST_CLASS(TestCommandSet)
#include "tst_commandset.moc"
