#include "RigEmulator.h"

#include <QStringList>

namespace {

constexpr quint8 Accepted = 0x00;
constexpr quint8 Rejected = 0xF0;

// The FT-847's CTCSS codes, in the order of its 39 standard tones (tenths of a hertz).
constexpr struct { int tone; quint8 code; } ft847Tones[] = {
    {670, 0x3F},  {693, 0x39},  {719, 0x1F},  {744, 0x3E},  {770, 0x0F},  {797, 0x3D},  {825, 0x1E},
    {854, 0x3C},  {885, 0x0E},  {915, 0x3B},  {948, 0x1D},  {974, 0x3A},  {1000, 0x0D}, {1035, 0x1C},
    {1072, 0x0C}, {1109, 0x1B}, {1148, 0x0B}, {1188, 0x1A}, {1230, 0x0A}, {1273, 0x19}, {1318, 0x09},
    {1365, 0x18}, {1413, 0x08}, {1462, 0x17}, {1514, 0x07}, {1567, 0x16}, {1622, 0x06}, {1679, 0x15},
    {1738, 0x05}, {1799, 0x14}, {1862, 0x04}, {1928, 0x13}, {2035, 0x03}, {2107, 0x12}, {2181, 0x02},
    {2257, 0x11}, {2336, 0x01}, {2418, 0x10}, {2503, 0x00},
};

int bcdByte(quint8 byte, bool *ok)
{
    const int high = byte >> 4;
    const int low = byte & 0x0F;
    if (high > 9 || low > 9)
        *ok = false;
    return high * 10 + low;
}

quint8 toBcdByte(int value)
{
    return quint8(((value / 10) % 10) << 4 | (value % 10));
}

struct ModeName
{
    const char *name;
    quint8 byte;
};
const ModeName modeNames[] = {
    {"LSB", 0x00}, {"USB", 0x01}, {"CW", 0x02},   {"CWR", 0x03},  {"CW-R", 0x03}, {"AM", 0x04},
    {"WFM", 0x06}, {"FM", 0x08},  {"DIG", 0x0A},  {"PKT", 0x0C},  {"CWN", 0x82},  {"CWRN", 0x83},
    {"AMN", 0x84}, {"FMN", 0x88},
};

QString modeText(quint8 byte)
{
    for (const auto &m : modeNames)
        if (m.byte == byte)
            return QString::fromLatin1(m.name);
    return QStringLiteral("0x%1").arg(byte, 2, 16, QChar(u'0'));
}

bool onOff(const QString &word, bool *value)
{
    if (word == QLatin1String("on") || word == QLatin1String("1") || word == QLatin1String("open")) {
        *value = true;
        return true;
    }
    if (word == QLatin1String("off") || word == QLatin1String("0") || word == QLatin1String("closed")) {
        *value = false;
        return true;
    }
    return false;
}

} // namespace

bool bcdToFrequency(const QByteArray &fourBytes, qint32 *frequency)
{
    if (fourBytes.size() < 4)
        return false;
    bool ok = true;
    qint64 value = 0;
    for (int i = 0; i < 4; ++i)
        value = value * 100 + bcdByte(quint8(fourBytes.at(i)), &ok);
    if (!ok)
        return false;
    *frequency = qint32(value * 10);
    return true;
}

QByteArray frequencyToBcd(qint32 frequency)
{
    qint64 tens = qMax<qint64>(0, frequency) / 10;
    QByteArray bytes(4, '\0');
    for (int i = 3; i >= 0; --i) {
        bytes[i] = char(toBcdByte(int(tens % 100)));
        tens /= 100;
    }
    return bytes;
}

RigEmulator::RigEmulator(Model model, quint32 seed)
    : model_(model)
    , random_(seed)
{
    state_.vfoB.frequency = 7050000;
    state_.vfoB.mode = 0x00;
    state_.satRx.frequency = 145900000;
    state_.satRx.mode = 0x08;
    state_.satTx.frequency = 435300000;
    state_.satTx.mode = 0x08;
}

bool RigEmulator::modelFromName(const QString &name, Model *model)
{
    const QString upper = name.toUpper();
    if (upper == QLatin1String("FT-817") || upper == QLatin1String("FT817"))
        *model = Model::FT817;
    else if (upper == QLatin1String("FT-847") || upper == QLatin1String("FT847"))
        *model = Model::FT847;
    else if (upper == QLatin1String("FT-857") || upper == QLatin1String("FT857"))
        *model = Model::FT857;
    else if (upper == QLatin1String("FT-897") || upper == QLatin1String("FT897"))
        *model = Model::FT897;
    else
        return false;
    return true;
}

QString RigEmulator::modelName(Model model)
{
    switch (model) {
    case Model::FT817: return QStringLiteral("FT-817");
    case Model::FT847: return QStringLiteral("FT-847");
    case Model::FT857: return QStringLiteral("FT-857");
    case Model::FT897: return QStringLiteral("FT-897");
    }
    return QString();
}

RigEmulator::Vfo &RigEmulator::currentVfo()
{
    if (model_ == Model::FT847)
        return state_.vfoA; // the main VFO
    return state_.onVfoB ? state_.vfoB : state_.vfoA;
}

QByteArray RigEmulator::receive(const QByteArray &bytes)
{
    QByteArray out;
    pending_ += bytes;
    while (pending_.size() >= 5) {
        out += command(pending_.left(5));
        pending_.remove(0, 5);
    }
    return out;
}

QByteArray RigEmulator::command(const QByteArray &five)
{
    ++commands_;
    last_ = five;
    if (faults_.silence)
        return QByteArray();
    return applyFaults(answer(five));
}

QByteArray RigEmulator::ack(bool accepted) const
{
    // The FT-817, FT-857 and FT-897 answer every set command with one byte;
    // the FT-847 answers none.
    if (model_ == Model::FT847 || faults_.noAck)
        return QByteArray();
    return QByteArray(1, char(accepted ? Accepted : Rejected));
}

QByteArray RigEmulator::frequencyReply(Vfo &vfo)
{
    if (faults_.driftReads > 0) {
        --faults_.driftReads;
        vfo.frequency += 10;
    }
    QByteArray reply = frequencyToBcd(vfo.frequency);
    reply.append(char(vfo.mode));
    return reply;
}

quint8 RigEmulator::receiveStatus()
{
    const int top = model_ == Model::FT847 ? 31 : 15;
    int level = state_.sMeter;
    if (state_.sMeterNoise)
        level = int(random_() % quint32(top + 1));
    bool open = state_.squelchOpen;
    band_.apply(currentVfo().frequency, &level, &open);
    level = qBound(0, level, top);
    // Bit 7: squelch closed (no signal).
    return quint8((open ? 0 : 0x80) | level);
}

quint8 RigEmulator::transmitStatus() const
{
    if (model_ == Model::FT847) {
        const int level = state_.ptt ? qBound(0, state_.power, 31) : 0;
        return quint8((state_.ptt ? 0 : 0x80) | level);
    }
    // The FT-817 family only reports while keyed; receiving reads 0xFF.
    if (!state_.ptt)
        return 0xFF;
    return quint8((state_.split ? 0x20 : 0) | qBound(0, state_.power, 15));
}

QByteArray RigEmulator::answer(const QByteArray &five)
{
    const quint8 opcode = quint8(five.at(4));
    const quint8 p1 = quint8(five.at(0));
    const QByteArray params = five.left(4);

    if (model_ == Model::FT847) {
        if (opcode == 0x00) {
            state_.catOn = true;
            return QByteArray();
        }
        if (!state_.catOn)
            return QByteArray(); // the radio ignores the port until CAT on
        qint32 frequency = 0;
        switch (opcode) {
        case 0x80: state_.catOn = false; return QByteArray();
        case 0x01: if (bcdToFrequency(params, &frequency)) state_.vfoA.frequency = frequency; return QByteArray();
        case 0x11: if (bcdToFrequency(params, &frequency)) state_.satRx.frequency = frequency; return QByteArray();
        case 0x21: if (bcdToFrequency(params, &frequency)) state_.satTx.frequency = frequency; return QByteArray();
        case 0x07: state_.vfoA.mode = p1; return QByteArray();
        case 0x17: state_.satRx.mode = p1; return QByteArray();
        case 0x27: state_.satTx.mode = p1; return QByteArray();
        case 0x03: return frequencyReply(state_.vfoA);
        case 0x13: return frequencyReply(state_.satRx);
        case 0x23: return frequencyReply(state_.satTx);
        case 0x08: state_.ptt = true; return QByteArray();
        case 0x88: state_.ptt = false; return QByteArray();
        case 0x4E: state_.satMode = true; return QByteArray();
        case 0x8E: state_.satMode = false; return QByteArray();
        case 0x0A: case 0x1A: case 0x2A: state_.toneMode = p1; return QByteArray();
        case 0x0B: case 0x1B: case 0x2B:
            // One tone for both directions, given as the radio's tone code.
            for (const auto &row : ft847Tones)
                if (row.code == p1)
                    state_.txTone = state_.rxTone = row.tone;
            return QByteArray();
        case 0x0C: case 0x1C: case 0x2C: case 0x09: case 0x49: case 0x89: case 0xF9: return QByteArray();
        case 0xE7: return QByteArray(1, char(receiveStatus()));
        case 0xF7: return QByteArray(1, char(transmitStatus()));
        default: return QByteArray(); // no VFO toggle, no split: not answered
        }
    }

    qint32 frequency = 0;
    switch (opcode) {
    case 0x00: { const bool was = state_.locked; state_.locked = true; return ack(!was); }
    case 0x80: { const bool was = state_.locked; state_.locked = false; return ack(was); }
    case 0x01:
        // Digits that are not BCD are refused and leave the dial alone.
        if (!bcdToFrequency(params, &frequency))
            return ack(false);
        currentVfo().frequency = frequency;
        return ack(true);
    case 0x03: return frequencyReply(currentVfo());
    case 0x07: currentVfo().mode = p1; return ack(true);
    case 0x08: { const bool was = state_.ptt; state_.ptt = true; return ack(!was); }
    case 0x88: { const bool was = state_.ptt; state_.ptt = false; return ack(was); }
    case 0x81: state_.onVfoB = !state_.onVfoB; return ack(true);
    case 0x02: { const bool was = state_.split; state_.split = true; return ack(!was); }
    case 0x82: { const bool was = state_.split; state_.split = false; return ack(was); }
    case 0x05: state_.clarifier = true; return ack(true);
    case 0x85: state_.clarifier = false; return ack(true);
    case 0x0A: state_.toneMode = p1; return ack(true);
    case 0x0B: {
        bool ok = true;
        const int tx = bcdByte(quint8(five.at(0)), &ok) * 100 + bcdByte(quint8(five.at(1)), &ok);
        const int rx = bcdByte(quint8(five.at(2)), &ok) * 100 + bcdByte(quint8(five.at(3)), &ok);
        if (ok) {
            state_.txTone = tx;
            state_.rxTone = rx;
        }
        return ack(ok);
    }
    case 0x09: case 0xF9: case 0xF5: case 0x0C: case 0x0F: case 0x8F: return ack(true);
    case 0xE7: return QByteArray(1, char(receiveStatus()));
    case 0xF7: return QByteArray(1, char(transmitStatus()));
    case 0xBB: {
        // EEPROM read: the two bytes of the even address P1 P2 (high, low).
        const int address = (p1 << 8 | quint8(five.at(1))) & ~1;
        return QByteArray(1, char(eepromByte(address))) + QByteArray(1, char(eepromByte(address + 1)));
    }
    case 0xBD:
        // FT-817 transmit metering: one byte while receiving; while keyed,
        // power and SWR, then modulation and ALC, a nibble each.
        if (model_ != Model::FT817)
            return QByteArray();
        if (!state_.ptt)
            return QByteArray(1, '\0');
        return QByteArray(1, char(qBound(0, state_.power, 15) << 4 | qBound(0, state_.swr, 15)))
               + QByteArray(1, char(qBound(0, state_.alc, 15)));
    default: return QByteArray();          // unknown opcodes are not answered
    }
}

quint8 RigEmulator::eepromByte(int address) const
{
    // The addresses Hamlib's backends read: the VFO in use (bit 0), split
    // (bit 7) and the DIG mode (top three bits). The FT-857 and FT-897 keep
    // them elsewhere than the FT-817 and number the DIG modes differently.
    const bool ft817 = model_ == Model::FT817;
    const int vfoAddress = ft817 ? 0x55 : 0x68;
    const int splitAddress = ft817 ? 0x7A : 0x8D;
    const int digAddress = ft817 ? 0x65 : 0x78;
    if (model_ == Model::FT847)
        return 0;
    if (address == vfoAddress)
        return state_.onVfoB ? 0x01 : 0x00;
    if (address == splitAddress)
        return state_.split ? 0x80 : 0x00;
    if (address == digAddress) {
        // In the order of DigMode. The FT-817 counts RTTY, PSK-L, PSK-U,
        // USER-L, USER-U; the others RTTY-L, RTTY-U, PSK-L, PSK-U, USER-L, USER-U.
        static const quint8 ft817Codes[] = {0, 1, 2, 3, 4};
        static const quint8 ft857Codes[] = {0, 2, 3, 4, 5};
        const int index = int(state_.digMode);
        return quint8((ft817 ? ft817Codes[index] : ft857Codes[index]) << 5);
    }
    return 0;
}

QByteArray RigEmulator::applyFaults(QByteArray reply)
{
    if (faults_.shortBy > 0)
        reply.chop(qMin<qsizetype>(faults_.shortBy, reply.size()));
    for (int i = 0; i < faults_.extra; ++i)
        reply.append(char(random_() & 0xFF));
    if (faults_.shift > 0 && std::chrono::steady_clock::now() < faults_.shiftUntil) {
        // The stream runs late: what goes out now begins with the tail of the
        // previous reply.
        if (carry_.size() != faults_.shift)
            carry_ = QByteArray(faults_.shift, '\0');
        const QByteArray stream = carry_ + reply;
        reply = stream.left(reply.size());
        carry_ = stream.mid(reply.size());
        return reply;
    }
    if (faults_.shift > 0) {
        // Once: stray bytes ahead of this reply; the line stays out of step.
        reply.prepend(QByteArray(faults_.shift, '\0'));
        faults_.shift = 0;
    }
    // Bytes held back by a timed shift that is over go out now.
    reply.prepend(carry_);
    carry_.clear();
    return reply;
}

QString RigEmulator::statusLine() const
{
    const Vfo &vfo = model_ == Model::FT847 ? state_.vfoA : (state_.onVfoB ? state_.vfoB : state_.vfoA);
    return QStringLiteral("status model=%1 freq=%2 mode=%3 vfo=%4 ptt=%5 split=%6 lock=%7 cat=%8 sat=%9 "
                          "satrx=%10 satrxmode=%11 sattx=%12 sattxmode=%13 txtone=%14 rxtone=%15 tonemode=%16 "
                          "commands=%17 last=%18 freqa=%19 modea=%20 freqb=%21 modeb=%22")
        .arg(modelName(model_))
        .arg(vfo.frequency)
        .arg(modeText(vfo.mode))
        .arg(state_.onVfoB ? QStringLiteral("B") : QStringLiteral("A"))
        .arg(int(state_.ptt))
        .arg(int(state_.split))
        .arg(int(state_.locked))
        .arg(int(state_.catOn))
        .arg(int(state_.satMode))
        .arg(state_.satRx.frequency)
        .arg(modeText(state_.satRx.mode))
        .arg(state_.satTx.frequency)
        .arg(modeText(state_.satTx.mode))
        .arg(state_.txTone)
        .arg(state_.rxTone)
        .arg(QStringLiteral("%1").arg(state_.toneMode, 2, 16, QChar(u'0')).toUpper())
        .arg(commands_)
        .arg(QString::fromLatin1(last_.toHex().toUpper()))
        .arg(state_.vfoA.frequency)
        .arg(modeText(state_.vfoA.mode))
        .arg(state_.vfoB.frequency)
        .arg(modeText(state_.vfoB.mode));
}

QString RigEmulator::control(const QString &line, bool *quit)
{
    const QStringList words = line.simplified().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return QStringLiteral("error empty command");
    const QString verb = words.at(0).toLower();
    const QString what = words.value(1).toLower();
    const QString value = words.value(2);
    bool ok = false;
    const int number = value.isEmpty() ? words.value(1).toInt(&ok) : value.toInt(&ok);

    if (verb == QLatin1String("quit") || verb == QLatin1String("exit")) {
        if (quit)
            *quit = true;
        return QStringLiteral("ok bye");
    }
    if (verb == QLatin1String("status"))
        return QStringLiteral("ok ") + statusLine();
    if (verb == QLatin1String("signal"))
        return band_.control(words);
    if (verb == QLatin1String("speed") && ok && number > 0) {
        setSpeed(number);
        return QStringLiteral("ok speed %1").arg(speed_);
    }
    if (verb == QLatin1String("delay") && ok) {
        setDelayMs(number);
        return QStringLiteral("ok delay %1").arg(delayMs_);
    }
    if (verb == QLatin1String("flush")) {
        pending_.clear();
        carry_.clear();
        return QStringLiteral("ok flush");
    }
    if (verb == QLatin1String("set")) {
        bool flag = false;
        if (what == QLatin1String("freq") && ok) {
            currentVfo().frequency = number / 10 * 10;
        } else if (what == QLatin1String("mode")) {
            bool found = false;
            for (const auto &m : modeNames)
                if (value.toUpper() == QLatin1String(m.name)) {
                    currentVfo().mode = m.byte;
                    found = true;
                    break;
                }
            if (!found) {
                const int byte = value.toInt(&found, 0);
                if (!found || byte < 0 || byte > 255)
                    return QStringLiteral("error unknown mode ") + value;
                currentVfo().mode = quint8(byte);
            }
        } else if (what == QLatin1String("vfo") && (value == QLatin1String("A") || value == QLatin1String("B"))) {
            state_.onVfoB = value == QLatin1String("B");
        } else if (what == QLatin1String("smeter") && value == QLatin1String("random")) {
            state_.sMeterNoise = true;
        } else if (what == QLatin1String("smeter") && ok) {
            state_.sMeterNoise = false;
            state_.sMeter = number;
        } else if (what == QLatin1String("power") && ok) {
            state_.power = number;
        } else if (what == QLatin1String("swr") && ok) {
            state_.swr = number;
        } else if (what == QLatin1String("alc") && ok) {
            state_.alc = number;
        } else if (what == QLatin1String("squelch") && onOff(value, &flag)) {
            state_.squelchOpen = flag;
        } else if (what == QLatin1String("ptt") && onOff(value, &flag)) {
            state_.ptt = flag;
        } else if (what == QLatin1String("split") && onOff(value, &flag)) {
            state_.split = flag;
        } else if (what == QLatin1String("cat") && onOff(value, &flag)) {
            state_.catOn = flag;
        } else {
            return QStringLiteral("error bad set: ") + line.simplified();
        }
        return QStringLiteral("ok ") + line.simplified();
    }
    if (verb == QLatin1String("fault")) {
        bool flag = false;
        if (what == QLatin1String("none")) {
            faults_ = Faults();
            carry_.clear();
        } else if (what == QLatin1String("silence") && onOff(value.isEmpty() ? QStringLiteral("on") : value, &flag)) {
            faults_.silence = flag;
        } else if (what == QLatin1String("noack") && onOff(value.isEmpty() ? QStringLiteral("on") : value, &flag)) {
            faults_.noAck = flag;
        } else if (what == QLatin1String("short") && ok && number >= 0) {
            faults_.shortBy = number;
        } else if (what == QLatin1String("extra") && ok && number >= 0) {
            faults_.extra = qMin(number, 1000);
        } else if (what == QLatin1String("shift") && ok && number >= 0 && number <= 4) {
            // "fault shift N" once; "fault shift N MS" for MS milliseconds.
            const int ms = words.value(3).toInt();
            faults_.shift = number;
            faults_.shiftUntil = std::chrono::steady_clock::now() + std::chrono::milliseconds(qMax(0, ms));
        } else if (what == QLatin1String("drift") && ok && number >= 0) {
            faults_.driftReads = number;
        } else if (what == QLatin1String("slow") && ok && number >= 0) {
            faults_.slowMs = number;
        } else {
            return QStringLiteral("error bad fault: ") + line.simplified();
        }
        return QStringLiteral("ok ") + line.simplified();
    }
    return QStringLiteral("error unknown command: ") + line.simplified();
}
