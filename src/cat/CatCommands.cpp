#include "cat/CatCommands.h"

#include "cat/HamlibCommands.h"

#include <limits>

namespace {

constexpr int MaxCommandText = 255;

bool allDigits(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - '0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - 'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c.unicode() - 'a' + 10;
    return -1;
}

bool isHexText(const QString &text)
{
    for (QChar c : text)
        if (hexDigit(c) < 0)
            return false;
    return true;
}

QString padded(qint64 value, int width)
{
    return QString::number(value).rightJustified(width, u'0');
}

// The FT-847's CTCSS codes, in the order of its 39 standard tones.
struct ToneCode
{
    int tone;
    quint8 code;
};
constexpr ToneCode ft847Tones[] = {
    {670, 0x3F},  {693, 0x39},  {719, 0x1F},  {744, 0x3E},  {770, 0x0F},  {797, 0x3D},  {825, 0x1E},
    {854, 0x3C},  {885, 0x0E},  {915, 0x3B},  {948, 0x1D},  {974, 0x3A},  {1000, 0x0D}, {1035, 0x1C},
    {1072, 0x0C}, {1109, 0x1B}, {1148, 0x0B}, {1188, 0x1A}, {1230, 0x0A}, {1273, 0x19}, {1318, 0x09},
    {1365, 0x18}, {1413, 0x08}, {1462, 0x17}, {1514, 0x07}, {1567, 0x16}, {1622, 0x06}, {1679, 0x15},
    {1738, 0x05}, {1799, 0x14}, {1862, 0x04}, {1928, 0x13}, {2035, 0x03}, {2107, 0x12}, {2181, 0x02},
    {2257, 0x11}, {2336, 0x01}, {2418, 0x10}, {2503, 0x00},
};

// A tone the FT-847 cannot take counts as no tone there.
int usableTone(int tone, const TTcvrType &type)
{
    if (tone != 0 && type.ToneCodeTable && Ft847ToneCode(tone) < 0)
        return 0;
    return tone;
}

std::unique_ptr<TTcvrCommand> barrier(std::unique_ptr<TTcvrCommand> command)
{
    if (command)
        command->Barrier = true;
    return command;
}

std::unique_ptr<TTcvrCommand> reading(const QString &text, int replyLength,
                                      std::function<void(const QString &reply)> takeReply)
{
    auto command = barrier(MakeCommand(text, text.right(2)));
    command->ReplyLength = replyLength;
    command->TakeReply = std::move(takeReply);
    return command;
}

TTcvrCommands one(std::unique_ptr<TTcvrCommand> command)
{
    TTcvrCommands commands;
    commands.push_back(std::move(command));
    return commands;
}

// Over to the other VFO, the commands, and back: every step a barrier, so
// that nothing queued later lands on the other VFO.
TTcvrCommands overOtherVfo(std::unique_ptr<TTcvrCommand> command, const TTcvrType &type)
{
    TTcvrCommands sequence;
    sequence.push_back(MakeVfoToggleCommand(type, u'A'));
    sequence.push_back(barrier(std::move(command)));
    sequence.push_back(MakeVfoToggleCommand(type, u'A'));
    return sequence;
}

} // namespace

std::unique_ptr<TTcvrCommand> MakeCommand(const QString &command, const QString &code)
{
    auto made = std::make_unique<TTcvrCommand>();
    made->Command = command.left(MaxCommandText);
    made->Code = code.left(MaxCommandText);
    return made;
}

QString Set1ModeByte(const QString &mode, const QString &fallback)
{
    static const struct { const char *name; const char *byte; } table[] = {
        {"LSB", "00"}, {"USB", "01"}, {"CW", "02"},  {"CW-R", "03"}, {"AM", "04"},
        {"WFM", "08"}, {"FM", "08"},  {"DIG", "0A"}, {"PKT", "0C"},
    };
    for (const auto &row : table)
        if (mode == QLatin1String(row.name))
            return QString::fromLatin1(row.byte);
    return fallback;
}

int Set2ModeDigit(const QString &mode)
{
    static const struct { const char *name; int digit; } table[] = {
        {"LSB", 1}, {"USB", 2}, {"CW", 3}, {"FM", 4}, {"AM", 5}, {"FSK", 6}, {"CW-R", 7}, {"FSK-R", 9},
    };
    for (const auto &row : table)
        if (mode == QLatin1String(row.name))
            return row.digit;
    return 0;
}

std::unique_ptr<TTcvrCommand> MakeFrequencyCommand(qint32 frequency, const TTcvrType &type, QChar currentVfo)
{
    if (type.CommandSet == 3)
        return MakeCommand(Set3::Frequency(frequency), QStringLiteral("F"));
    if (type.CommandSet == 2)
        return MakeCommand(QStringLiteral("F") + currentVfo + padded(frequency, 11) + u';',
                           QStringLiteral("F") + currentVfo);
    // Decimal digits in hexadecimal text arrive as packed BCD; the last hertz
    // digit is dropped (the radios tune in 10 Hz steps).
    return MakeCommand(padded(frequency / 10, 8) + QStringLiteral("01"), QStringLiteral("01"));
}

std::unique_ptr<TTcvrCommand> MakeModeCommand(const QString &mode, const TTcvrType &type)
{
    if (type.CommandSet == 3)
        return MakeCommand(Set3::Mode(mode), QStringLiteral("M"));
    if (type.CommandSet == 2) {
        const int digit = Set2ModeDigit(mode);
        return MakeCommand(digit ? QStringLiteral("MD%1;").arg(digit) : QString(), QStringLiteral("MD"));
    }
    return MakeCommand(Set1ModeByte(mode) + QStringLiteral("00000007"), QStringLiteral("07"));
}

std::unique_ptr<TTcvrCommand> MakeTransmitCommand(bool on, const TTcvrType &type)
{
    if (type.CommandSet == 3)
        return MakeCommand(Set3::Ptt(on), QStringLiteral("T"));
    if (type.CommandSet == 2)
        return on ? MakeCommand(QStringLiteral("TX;"), QStringLiteral("TX"))
                  : MakeCommand(QStringLiteral("RX;"), QStringLiteral("RX"));
    return on ? MakeCommand(QStringLiteral("0000000008"), QStringLiteral("08"))
              : MakeCommand(QStringLiteral("0000000088"), QStringLiteral("88"));
}

std::unique_ptr<TTcvrCommand> MakeVfoToggleCommand(const TTcvrType &type, QChar currentVfo)
{
    if (type.CommandSet == 3)
        return barrier(MakeCommand(Set3::VfoToggle(), QStringLiteral("G")));
    if (type.CommandSet == 2)
        return barrier(MakeCommand(currentVfo == u'A' ? QStringLiteral("FR1;") : QStringLiteral("FR0;"), QStringLiteral("FR")));
    if (type.VfoMethod != TVfoMethod::Toggle)
        return nullptr;
    return barrier(MakeCommand(QStringLiteral("0000000081"), QStringLiteral("81")));
}

std::unique_ptr<TTcvrCommand> MakeSplitCommand(bool on, const TTcvrType &type, QChar currentVfo)
{
    if (type.CommandSet == 3)
        return barrier(MakeCommand(Set3::Split(on), QStringLiteral("S")));
    if (type.CommandSet == 2) {
        if (on)
            return barrier(MakeCommand(currentVfo == u'A' ? QStringLiteral("FT1;") : QStringLiteral("FT0;"), QStringLiteral("FT")));
        const QString digit = currentVfo == u'B' ? QStringLiteral("1") : currentVfo == u'M' ? QStringLiteral("2")
                                                                                            : QStringLiteral("0");
        return barrier(MakeCommand(QStringLiteral("FR") + digit + u';', QStringLiteral("FR")));
    }
    const QString text = type.SatelliteSplit ? (on ? QStringLiteral("000000004E") : QStringLiteral("000000008E"))
                                       : (on ? QStringLiteral("0000000002") : QStringLiteral("0000000082"));
    return barrier(MakeCommand(text, text.mid(8, 2)));
}

TTcvrCommands MakeSplitFrequencyCommands(qint32 frequency, const TTcvrType &type, QChar currentVfo)
{
    if (type.CommandSet == 3)
        return one(barrier(MakeCommand(Set3::SplitFrequency(frequency), QStringLiteral("I"))));
    if (type.CommandSet == 2)
        return one(barrier(MakeCopyToOtherVfoCommand(frequency, type, currentVfo)));
    if (type.VfoMethod == TVfoMethod::SatelliteCopy)
        return one(barrier(MakeCommand(padded(frequency / 10, 8) + QStringLiteral("21"), QStringLiteral("21"))));
    return overOtherVfo(MakeFrequencyCommand(frequency, type, currentVfo), type);
}

TTcvrCommands MakeSplitModeCommands(const QString &mode, const TTcvrType &type)
{
    if (type.CommandSet == 3)
        return one(barrier(MakeCommand(Set3::SplitMode(mode), QStringLiteral("X"))));
    if (type.CommandSet == 2)
        return {};
    if (type.VfoMethod == TVfoMethod::SatelliteCopy)
        return one(barrier(MakeCommand(Set1ModeByte(mode) + QStringLiteral("00000027"), QStringLiteral("27"))));
    return overOtherVfo(MakeModeCommand(mode, type), type);
}

TTcvrCommands MakeSplitReadCommands(const TTcvrType &type, std::function<void(const QString &reply)> takeReply)
{
    if (type.CommandSet != 1)
        return {};
    if (type.VfoMethod == TVfoMethod::SatelliteCopy)
        return one(reading(QStringLiteral("0000000023"), 5, std::move(takeReply)));
    return overOtherVfo(reading(QStringLiteral("0000000003"), 5, std::move(takeReply)), type);
}

std::unique_ptr<TTcvrCommand> MakeEepromReadCommand(int address, std::function<void(const QString &reply)> takeReply)
{
    const QString at = QStringLiteral("%1").arg(address & 0xFFFE, 4, 16, QChar(u'0')).toUpper();
    return reading(at + QStringLiteral("0000BB"), 2, std::move(takeReply));
}

int EepromByte(const QString &reply, int address)
{
    if (reply.size() != 4 || !isHexText(reply))
        return -1;
    return quint8(HexToBytes(reply).at(address % 2));
}

std::unique_ptr<TTcvrCommand> MakeTransmitMeteringCommand(std::function<void(const QString &reply)> takeReply)
{
    return reading(QStringLiteral("00000000BD"), 2, std::move(takeReply));
}

std::optional<TTransmitReading> DecodeTransmitMetering(const QString &reply)
{
    if (reply.size() != 4 || !isHexText(reply))
        return std::nullopt;
    const QByteArray bytes = HexToBytes(reply);
    // The power bar's segments are not evenly spaced in watts.
    static const int powerPercent[] = {0, 10, 14, 20, 34, 50, 66, 82, 100};
    const int power = quint8(bytes.at(0)) >> 4;
    const int swr = quint8(bytes.at(0)) & 0x0F;
    const int alc = quint8(bytes.at(1)) & 0x0F;
    TTransmitReading reading;
    reading.Power = powerPercent[qMin(power, 8)] / 100.0;
    reading.Swr = 1.0 + swr * 4.0 / 15.0;
    reading.Alc = qMin(alc, 5) / 5.0;
    return reading;
}

std::unique_ptr<TTcvrCommand> MakeCopyToOtherVfoCommand(qint32 frequency, const TTcvrType &type, QChar currentVfo)
{
    if (type.CommandSet == 3)
        return MakeCommand(Set3::VfoCopy(), QStringLiteral("G"));
    if (type.CommandSet != 2)
        return nullptr;
    const QChar other = currentVfo != u'A' ? u'A' : u'B';
    return MakeCommand(QStringLiteral("F") + other + padded(frequency, 11) + u';', QStringLiteral("F") + other);
}

int Ft847ToneCode(int tone)
{
    for (const ToneCode &row : ft847Tones)
        if (row.tone == tone)
            return row.code;
    return -1;
}

std::unique_ptr<TTcvrCommand> MakeToneFrequencyCommand(int txTone, int rxTone, const TTcvrType &type)
{
    if (type.CommandSet == 3)
        return MakeCommand(Set3::Tones(txTone, rxTone), QStringLiteral("CTCSS"));
    if (type.CommandSet != 1)
        return nullptr;
    if (type.ToneCodeTable) {
        // One tone for both directions, as a code of the radio's table.
        const int code = Ft847ToneCode(txTone != 0 ? txTone : rxTone);
        if (code < 0)
            return nullptr;
        return MakeCommand(QString::number(code, 16).rightJustified(2, u'0').toUpper() + QStringLiteral("0000000B"),
                           QStringLiteral("0B"));
    }
    // A tone field of 0000 is no tone the radio knows: a single tone goes into both.
    const int tx = txTone != 0 ? txTone : rxTone;
    const int rx = rxTone != 0 ? rxTone : txTone;
    return MakeCommand(padded(tx, 4) + padded(rx, 4) + QStringLiteral("0B"), QStringLiteral("0B"));
}

std::unique_ptr<TTcvrCommand> MakeToneModeCommand(int rxTone, int txTone, const TTcvrType &type)
{
    if (type.CommandSet != 1)
        return nullptr;
    rxTone = usableTone(rxTone, type);
    txTone = usableTone(txTone, type);
    // Without a decoder-only mode (the FT-817 and FT-847) a receive tone is
    // decoded only as tone squelch, which sends it as well.
    const bool decoderOnly = type.DecoderOnlyTone;
    QString p1;
    if (rxTone != 0 && (txTone != 0 || !decoderOnly))
        p1 = QStringLiteral("2A");
    else if (rxTone != 0)
        p1 = QStringLiteral("3A");
    else if (txTone != 0)
        p1 = QStringLiteral("4A");
    else
        p1 = QStringLiteral("8A");
    return MakeCommand(p1 + QStringLiteral("0000000A"), QStringLiteral("0A"));
}

std::unique_ptr<TTcvrCommand> MakeTonesOffCommand(const TTcvrType &type)
{
    if (type.CommandSet == 3)
        return MakeCommand(Set3::Tones(0, 0), QStringLiteral("CTCSS"));
    if (type.CommandSet != 1)
        return nullptr;
    return MakeCommand(QStringLiteral("8A0000000A"), QStringLiteral("0A"));
}

QString Ft847ReadMainVfoText()
{
    return QStringLiteral("0000000003");
}

QString Ft847ReadSubVfoText()
{
    return QStringLiteral("0000000013");
}

QString Ft847SetFrequencyText(const QString &readReply, const QString &opcode)
{
    if (readReply.size() != 10 || !isHexText(readReply))
        return QString();
    return readReply.left(8) + opcode;
}

QString Ft847SetModeText(const QString &readReply, const QString &opcode)
{
    if (readReply.size() != 10 || !isHexText(readReply))
        return QString();
    return readReply.mid(8, 2) + QStringLiteral("000000") + opcode;
}

QByteArray HexToBytes(const QString &hex)
{
    QByteArray bytes;
    bytes.reserve(hex.size() / 2);
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        const int high = hexDigit(hex.at(i));
        const int low = hexDigit(hex.at(i + 1));
        bytes.append(high < 0 || low < 0 ? char(0) : char(high * 16 + low));
    }
    return bytes;
}

QString BytesToHex(const QByteArray &bytes, int count)
{
    const int n = qBound(0, count, int(bytes.size()));
    return QString::fromLatin1(bytes.left(n).toHex().toUpper());
}

QString BytesToHex(const QByteArray &bytes)
{
    return BytesToHex(bytes, int(bytes.size()));
}

QString Set1Opcode(const QString &command)
{
    return command.mid(8, 2).toUpper();
}

bool IsSet1FrequencyReplyWellFormed(const QString &reply, qint32 lowestHz, qint32 highestHz)
{
    if (reply.size() < 10)
        return false;
    const qint32 frequency = Set1ReplyFrequency(reply);
    if (frequency < lowestHz || frequency > highestHz)
        return false;
    const QChar modeHigh = reply.at(8);
    return modeHigh == u'0' || modeHigh == u'8';
}

bool IsSet2InformationReplyWellFormed(const QString &reply)
{
    return reply.startsWith(QLatin1String("IF")) && reply.indexOf(u';') == reply.size() - 1;
}

qint32 Set1ReplyFrequency(const QString &reply)
{
    const QString digits = reply.left(8);
    if (digits.size() < 8 || !allDigits(digits))
        return -1;
    return (digits + u'0').toInt();
}

TDecodedReply DecodeSet1Reply(const QString &command, const QString &reply, const TTcvrType &type)
{
    TDecodedReply decoded;
    const QString opcode = Set1Opcode(command);
    if (opcode == QLatin1String("03")) {
        decoded.kind = TDecodedReply::FrequencyAndMode;
        decoded.frequency = Set1ReplyFrequency(reply);
        if (reply.size() >= 10) {
            static const char *const modes[16] = {"LSB", "USB", "CW",  nullptr, "AM",  nullptr, "WFM", nullptr,
                                                  "FM",  nullptr, "DIG", nullptr, "PKT", nullptr, nullptr, nullptr};
            const int low = hexDigit(reply.at(9));
            if (low == 3)
                decoded.mode = QStringLiteral("CW-R");
            else if (low >= 0 && modes[low])
                decoded.mode = QString::fromLatin1(modes[low]);
        }
        return decoded;
    }
    const bool receive = opcode == QLatin1String("E7");
    const bool transmit = opcode == QLatin1String("F7");
    if ((receive || transmit) && reply.size() >= 2) {
        const int value = quint8(HexToBytes(reply.left(2)).at(0));
        decoded.kind = receive ? TDecodedReply::ReceiveStatus : TDecodedReply::TransmitStatus;
        decoded.rawValue = value;
        decoded.percent = MeterPercentFromStatus(quint8(value), type);
        decoded.squelchClosed = receive && (value & 0x80);
        decoded.transmitting = transmit && !(value & 0x80);
    }
    return decoded;
}

TDecodedReply DecodeSet2Reply(const QString &reply)
{
    TDecodedReply decoded;
    if (reply.startsWith(QLatin1String("IF"))) {
        decoded.kind = TDecodedReply::Information;
        const QString digits = reply.mid(2, 11);
        // Eleven digits can exceed what a frequency holds; such a reply is not a number.
        const qint64 value = digits.size() == 11 && allDigits(digits) ? digits.toLongLong() : -1;
        decoded.frequency = value >= 0 && value <= std::numeric_limits<qint32>::max() ? qint32(value) : -1;
        decoded.transmitting = reply.mid(28, 1) == QLatin1String("1");
        static const char *const modes[10] = {nullptr, "LSB", "USB", "CW", "FM", "AM", "FSK", "CW-R", nullptr, "FSK-R"};
        const QString modeDigit = reply.mid(29, 1);
        if (allDigits(modeDigit) && modes[modeDigit.toInt()])
            decoded.mode = QString::fromLatin1(modes[modeDigit.toInt()]);
        const QString vfo = reply.mid(30, 1);
        if (vfo == QLatin1String("0"))
            decoded.vfo = u'A';
        else if (vfo == QLatin1String("1"))
            decoded.vfo = u'B';
        else if (vfo == QLatin1String("2"))
            decoded.vfo = u'M';
    } else if (reply.startsWith(QLatin1String("SM"))) {
        const QString digits = reply.mid(2, 4);
        if (allDigits(digits)) {
            decoded.kind = TDecodedReply::SMeter;
            decoded.rawValue = digits.toInt();
            decoded.percent = MeterPercentFromDigits(decoded.rawValue);
        }
    }
    return decoded;
}

int MeterPercentFromStatus(quint8 status, const TTcvrType &type)
{
    const int top = qMax(1, type.MeterMax);
    return (status & top) * 100 / top;
}

int MeterPercentFromDigits(int reading)
{
    return int(qint64(reading) * 100 / 9999);
}
