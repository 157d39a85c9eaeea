#include "FakeEngineHost.h"
#include "cat/CatCommands.h"
#include "cat/CatEngine.h"
#include "common/TestEnvironment.h"
#include "data/Bands.h"

#include <QApplication>

namespace {

const TTcvrType &ft817() { return TcvrTypes[0]; }
const TTcvrType &ft847() { return TcvrTypes[1]; }
const TTcvrType &ft857() { return TcvrTypes[2]; }

// Command set 2 is complete in the code although no model of the table selects it.
TTcvrType set2Type()
{
    TTcvrType type = TcvrTypes[0];
    type.Model = QStringLiteral("TS-TEST");
    type.CommandSet = 2;
    type.HexCoded = false;
    return type;
}

// "command/code", "!" after a barrier, or "null" when no command is made.
QString tc(const std::unique_ptr<TTcvrCommand> &command)
{
    return command ? command->Command + u'/' + command->Code + (command->Barrier ? QStringLiteral("!") : QString())
                   : QStringLiteral("null");
}

QString tcs(const TTcvrCommands &commands)
{
    QStringList made;
    for (const auto &command : commands)
        made << tc(command);
    return made.join(u',');
}

QString set1Reply(qint32 frequency, const char *modeByte)
{
    return QString::number(frequency / 10).rightJustified(8, u'0') + QLatin1String(modeByte);
}

} // namespace

class TestCommandSet : public QObject
{
    Q_OBJECT
private slots:
    void encodings_data()
    {
        QTest::addColumn<QString>("made");
        QTest::addColumn<QString>("expected");
        const TTcvrType set2 = set2Type();
        auto row = [](const char *name, const QString &made, const char *expected) {
            QTest::newRow(name) << made << QString::fromLatin1(expected);
        };
        row("freq 20 m", tc(MakeFrequencyCommand(14250000, ft817(), u'A')), "0142500001/01");
        row("freq last digit dropped", tc(MakeFrequencyCommand(7050005, ft817(), u'A')), "0070500001/01");
        row("freq 2 m", tc(MakeFrequencyCommand(145500000, ft847(), u'A')), "1455000001/01");
        const char *modes[][2] = {{"LSB", "00"}, {"USB", "01"}, {"CW", "02"},  {"CW-R", "03"},  {"AM", "04"}, {"WFM", "08"},
                                  {"FM", "08"},  {"DIG", "0A"}, {"PKT", "0C"}, {"FSK", "02"}, {"FSK-R", "02"}, {"XYZ", "02"}};
        for (const auto &mode : modes)
            QTest::newRow(mode[0]) << tc(MakeModeCommand(QString::fromLatin1(mode[0]), ft817()))
                                   << QString::fromLatin1(mode[1]) + QStringLiteral("00000007/07");
        row("ptt on", tc(MakeTransmitCommand(true, ft817())), "0000000008/08");
        row("ptt off", tc(MakeTransmitCommand(false, ft817())), "0000000088/88");
        row("vfo toggle", tc(MakeVfoToggleCommand(ft817(), u'A')), "0000000081/81!");
        row("847 has no toggle", tc(MakeVfoToggleCommand(ft847(), u'A')), "null");
        row("split on", tc(MakeSplitCommand(true, ft817(), u'A')), "0000000002/02!");
        row("split off", tc(MakeSplitCommand(false, TcvrTypes[3], u'A')), "0000000082/82!");
        row("847 satellite on", tc(MakeSplitCommand(true, ft847(), u'A')), "000000004E/4E!");
        row("847 satellite off", tc(MakeSplitCommand(false, ft847(), u'A')), "000000008E/8E!");
        row("set 1 copies by toggling", tc(MakeCopyToOtherVfoCommand(14250000, ft817(), u'A')), "null");
        // The transmit VFO of split: over to the other VFO and back, or the FT-847's satellite VFO.
        row("split freq", tcs(MakeSplitFrequencyCommands(14075505, ft817(), u'A')), "0000000081/81!,0140755001/01!,0000000081/81!");
        row("split mode", tcs(MakeSplitModeCommands("DIG", ft857())), "0000000081/81!,0A00000007/07!,0000000081/81!");
        row("eeprom odd address", tc(MakeEepromReadCommand(0x8D, {})), "008C0000BB/BB!");
        // Tones, as Hamlib 4.5 writes them: a single tone goes into both fields.
        row("tones tx and rx", tc(MakeToneFrequencyCommand(1000, 885, ft817())), "100008850B/0B");
        row("rx tone only", tc(MakeToneFrequencyCommand(0, 885, ft817())), "088508850B/0B");
        row("tx tone only", tc(MakeToneFrequencyCommand(885, 0, ft857())), "088508850B/0B");
        row("no tones", tc(MakeToneFrequencyCommand(0, 0, ft817())), "000000000B/0B");
        row("847 tone code", tc(MakeToneFrequencyCommand(0, 885, ft847())), "0E0000000B/0B");
        row("847 one tone, tx first", tc(MakeToneFrequencyCommand(1000, 885, ft847())), "0D0000000B/0B");
        row("847 tone not in table", tc(MakeToneFrequencyCommand(886, 0, ft847())), "null");
        row("mode both", tc(MakeToneModeCommand(885, 1000, ft817())), "2A0000000A/0A");
        row("mode rx only 857", tc(MakeToneModeCommand(885, 0, ft857())), "3A0000000A/0A");
        row("mode rx only 817 squelches", tc(MakeToneModeCommand(885, 0, ft817())), "2A0000000A/0A");
        row("mode rx only 847 squelches", tc(MakeToneModeCommand(885, 0, ft847())), "2A0000000A/0A");
        row("mode tx only", tc(MakeToneModeCommand(0, 1000, ft857())), "4A0000000A/0A");
        row("mode none", tc(MakeToneModeCommand(0, 0, ft817())), "8A0000000A/0A");
        row("847 mode, tone not in table", tc(MakeToneModeCommand(886, 0, ft847())), "8A0000000A/0A");
        row("tones off", tc(MakeTonesOffCommand(ft817())), "8A0000000A/0A");
        row("set 2 tones", tc(MakeToneFrequencyCommand(1000, 885, set2)), "null");
        row("set 2 tone mode", tc(MakeToneModeCommand(885, 1000, set2)), "null");
        row("set 2 tones off", tc(MakeTonesOffCommand(set2)), "null");
        // Command set 2.
        row("set 2 freq A", tc(MakeFrequencyCommand(14250000, set2, u'A')), "FA00014250000;/FA");
        row("set 2 freq B", tc(MakeFrequencyCommand(7050005, set2, u'B')), "FB00007050005;/FB");
        const char *digits[][2] = {{"LSB", "1"}, {"USB", "2"}, {"CW", "3"},   {"FM", "4"},   {"AM", "5"},
                                   {"FSK", "6"}, {"CW-R", "7"}, {"FSK-R", "9"}, {"DIG", ""}, {"WFM", ""}};
        for (const auto &mode : digits)
            QTest::newRow(qPrintable(QStringLiteral("set 2 ") + QLatin1String(mode[0])))
                << tc(MakeModeCommand(QString::fromLatin1(mode[0]), set2))
                << (*mode[1] ? QStringLiteral("MD%1;/MD").arg(QLatin1String(mode[1])) : QStringLiteral("/MD"));
        row("set 2 tx", tc(MakeTransmitCommand(true, set2)), "TX;/TX");
        row("set 2 rx", tc(MakeTransmitCommand(false, set2)), "RX;/RX");
        row("set 2 toggle from A", tc(MakeVfoToggleCommand(set2, u'A')), "FR1;/FR!");
        row("set 2 toggle from M", tc(MakeVfoToggleCommand(set2, u'M')), "FR0;/FR!");
        row("set 2 split on A", tc(MakeSplitCommand(true, set2, u'A')), "FT1;/FT!");
        row("set 2 split on B", tc(MakeSplitCommand(true, set2, u'B')), "FT0;/FT!");
        row("set 2 split off A", tc(MakeSplitCommand(false, set2, u'A')), "FR0;/FR!");
        row("set 2 split off B", tc(MakeSplitCommand(false, set2, u'B')), "FR1;/FR!");
        row("set 2 split off M", tc(MakeSplitCommand(false, set2, u'M')), "FR2;/FR!");
        row("set 2 copy from A", tc(MakeCopyToOtherVfoCommand(14250000, set2, u'A')), "FB00014250000;/FB");
        row("set 2 copy from M", tc(MakeCopyToOtherVfoCommand(14250000, set2, u'M')), "FA00014250000;/FA");
        row("set 2 split freq", tcs(MakeSplitFrequencyCommands(14075500, set2, u'B')), "FA00014075500;/FA!");
        row("set 2 split mode", tcs(MakeSplitModeCommands("USB", set2)), "");
        row("cut to 255", QString::number(tc(MakeCommand(QString(300, u'A'), QString(256, u'c'))).size()), "511");
    }
    void encodings()
    {
        QFETCH(QString, made);
        QFETCH(QString, expected);
        QCOMPARE(made, expected);
    }

    void ft847ToneCodesAsHamlibSendsThem()
    {
        // Hamlib 4.5, rigctl -m 1001 C <tone>: the code byte of each of the 39 tones.
        const int tones[] = {670,  693,  719,  744,  770,  797,  825,  854,  885,  915,  948,  974,  1000,
                             1035, 1072, 1109, 1148, 1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567,
                             1622, 1679, 1738, 1799, 1862, 1928, 2035, 2107, 2181, 2257, 2336, 2418, 2503};
        const QString codes = "3F391F3E0F3D1E3C0E3B1D3A0D1C0C1B0B1A0A1909180817071606150514041303120211011000";
        QString made;
        for (int tone : tones)
            made += MakeToneFrequencyCommand(tone, 0, ft847())->Command.left(2);
        QCOMPARE(made, codes);
        QCOMPARE(Ft847ToneCode(0), -1);
    }

    void ft847DirectTransfers()
    {
        QCOMPARE(Ft847SetFrequencyText("4359000008", "11"), QStringLiteral("4359000011"));
        QCOMPARE(Ft847SetModeText("0142500001", "27"), QStringLiteral("0100000027"));
        // A short or failed read never becomes a set command.
        for (const char *bad : {"", "01425", "01425000010000", "0142500Z01"}) {
            QCOMPARE(Ft847SetFrequencyText(bad, "01"), QString());
            QCOMPARE(Ft847SetModeText(bad, "07"), QString());
        }
    }

    void hexConversions()
    {
        QCOMPARE(HexToBytes("0142500001"), QByteArray::fromHex("0142500001"));
        QCOMPARE(HexToBytes("e7ff"), QByteArray::fromHex("E7FF"));
        QCOMPARE(HexToBytes("0G12"), QByteArray::fromHex("0012")); // invalid pair reads 0
        QCOMPARE(HexToBytes("123"), QByteArray::fromHex("12"));    // odd tail ignored
        QCOMPARE(HexToBytes(" 1-2"), QByteArray(2, '\0'));
        QCOMPARE(BytesToHex(QByteArray::fromHex("0aff10"), 2), QStringLiteral("0AFF"));
        QCOMPARE(BytesToHex(QByteArray::fromHex("0aff10"), 9), QStringLiteral("0AFF10"));
        QCOMPARE(BytesToHex(QByteArray::fromHex("0aff10"), -1), QString());
    }

    void set1Replies()
    {
        const struct { const char *command, *reply; int model; TDecodedReply::Kind kind; qint32 frequency; const char *mode; int percent; bool flag; } rows[] = {
            // frequency and mode: the mode's high nibble is ignored, unknown modes leave it
            {"0000000003", "0142500082", 0, TDecodedReply::FrequencyAndMode, 14250000, "CW", 0, false},
            {"0000000003", "0142500088", 0, TDecodedReply::FrequencyAndMode, 14250000, "FM", 0, false},
            {"0000000003", "1455000001", 0, TDecodedReply::FrequencyAndMode, 145500000, "USB", 0, false},
            {"0000000003", "0142500003", 0, TDecodedReply::FrequencyAndMode, 14250000, "CW-R", 0, false},
            {"0000000003", "1000000006", 0, TDecodedReply::FrequencyAndMode, 100000000, "WFM", 0, false},
            {"0000000003", "0142500A0A", 0, TDecodedReply::FrequencyAndMode, -1, "DIG", 0, false},
            {"0000000003", "014250008F", 0, TDecodedReply::FrequencyAndMode, 14250000, "", 0, false},
            {"0000000003", "01F2500001", 0, TDecodedReply::FrequencyAndMode, -1, "USB", 0, false},
            {"0000000003", "014250", 0, TDecodedReply::FrequencyAndMode, -1, "", 0, false},
            // receive status (flag: squelch closed) and transmit status (flag: transmitting)
            {"00000000E7", "8F", 0, TDecodedReply::ReceiveStatus, -1, "", 100, true},
            {"00000000E7", "8F", 1, TDecodedReply::ReceiveStatus, -1, "", 48, true},
            {"00000000e7", "07", 0, TDecodedReply::ReceiveStatus, -1, "", 46, false},
            {"00000000F7", "0A", 0, TDecodedReply::TransmitStatus, -1, "", 66, true},
            {"00000000F7", "FF", 0, TDecodedReply::TransmitStatus, -1, "", 100, false},
            {"00000000F7", "14", 1, TDecodedReply::TransmitStatus, -1, "", 64, true},
            {"00000000E7", "", 0, TDecodedReply::Nothing, -1, "", 0, false},
            {"0142500001", "00", 0, TDecodedReply::Nothing, -1, "", 0, false},
        };
        for (const auto &row : rows) {
            const TDecodedReply d = DecodeSet1Reply(row.command, row.reply, TcvrTypes[row.model]);
            const QString got = QStringLiteral("%1 %2 %3 %4 %5").arg(d.kind).arg(d.frequency).arg(d.mode).arg(d.percent)
                                    .arg(d.squelchClosed || d.transmitting);
            QCOMPARE(got, QStringLiteral("%1 %2 %3 %4 %5").arg(row.kind).arg(row.frequency).arg(QLatin1String(row.mode))
                              .arg(row.percent).arg(row.flag));
        }
    }

    void set2Replies()
    {
        QString info = QStringLiteral("IF00014250000") + QString(15, ' ') + "131" + QString(6, ' ') + ";";
        TDecodedReply decoded = DecodeSet2Reply(info);
        QCOMPARE(decoded.kind, TDecodedReply::Information);
        QCOMPARE(decoded.frequency, 14250000);
        QVERIFY(decoded.transmitting);
        QCOMPARE(decoded.mode, QStringLiteral("CW"));
        QCOMPARE(decoded.vfo, QChar(u'B'));
        info.replace(28, 3, "082");
        decoded = DecodeSet2Reply(info);
        QVERIFY(!decoded.transmitting);
        QCOMPARE(decoded.mode, QString()); // "8" leaves the mode unchanged
        QCOMPARE(decoded.vfo, QChar(u'M'));
        info.replace(29, 2, "90");
        QCOMPARE(DecodeSet2Reply(info).mode, QStringLiteral("FSK-R"));
        QCOMPARE(DecodeSet2Reply(info).vfo, QChar(u'A'));
        QCOMPARE(DecodeSet2Reply("IF0001425X000;").frequency, -1);
        QCOMPARE(DecodeSet2Reply("IF99999999999;").frequency, -1);
        QCOMPARE(DecodeSet2Reply("SM5000;").percent, 50);
        QCOMPARE(DecodeSet2Reply("SM9999;").percent, 100);
        QCOMPARE(DecodeSet2Reply("SM;").kind, TDecodedReply::Nothing);
        QVERIFY(IsSet2InformationReplyWellFormed("IF00003580000               0600000 ;"));
        QVERIFY(!IsSet2InformationReplyWellFormed("IF0000358;0000"));
        QVERIFY(!IsSet2InformationReplyWellFormed("XX;"));
    }

    void plausibilityOfFrequencyReplies()
    {
        const QStringList plausible = {"0142500001", "0142500088", "5000000000", "0001000000"};
        const QStringList refused = {"0142500041", "FFFFFFFF00", "5000000100", "0000999900", "01425"};
        for (const QString &reply : plausible)
            QVERIFY2(IsSet1FrequencyReplyWellFormed(reply, TCatEngine::LowestRadioHz, TCatEngine::HighestRadioHz), qPrintable(reply));
        for (const QString &reply : refused)
            QVERIFY2(!IsSet1FrequencyReplyWellFormed(reply, TCatEngine::LowestRadioHz, TCatEngine::HighestRadioHz), qPrintable(reply));
    }

    void wellFormedRepliesAreAcceptedWhateverTheScaleShows()
    {
        // Every band of the default plan under the scale, against a radio on
        // any frequency of the FT-817's coverage and at the scale's own digits
        // moved by one or two bytes (the pairs that once looked "shifted").
        TBandPlan plan;
        plan.LoadDefaultPlan();
        QList<qint32> scales;
        for (int i = 0; i < plan.Count(); ++i) {
            const TBandPlanEntry band = plan.Entry(i);
            scales << band.BeginKhz * 1000 << band.InitFreqKhz * 1000 << band.EndKhz * 1000;
        }
        QList<qint32> radios;
        const qint32 coverage[][2] = {{100000, 56000000}, {76000000, 108000000}, {118000000, 164000000}, {420000000, 470000000}};
        for (const auto &range : coverage)
            for (qint64 f = range[0]; f <= range[1]; f += (range[1] - range[0]) / 97)
                radios << qint32(f / 10 * 10);
        for (qint32 scale : std::as_const(scales))
            for (qint64 moved : {qint64(scale) * 100, qint64(scale) * 10000, qint64(scale) / 100, qint64(scale) / 10000})
                if (moved >= 100000 && moved <= 470000000)
                    radios << qint32(moved / 10 * 10);

        FakeEngineHost host;
        TCatLog log;
        TCatEngine engine(host, log);
        engine.SetManualTimers(true);
        for (qint32 scale : std::as_const(scales)) {
            host.scaleFrequency = scale;
            for (qint32 radio : std::as_const(radios))
                if (!engine.IsReplyPlausible(set1Reply(radio, radio % 20 ? "01" : "88")))
                    QFAIL(qPrintable(QStringLiteral("scale %1, radio %2 refused").arg(scale).arg(radio)));
        }
    }
};

TARNWICK_TEST_CLASS(TestCommandSet)
#include "tst_commandset.moc"
