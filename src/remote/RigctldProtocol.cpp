#include "remote/RigctldProtocol.h"

#include "cat/CatEngine.h"

#include <cctype>
#include <cmath>

namespace {

// Hamlib's mode bits.
constexpr quint32 ModeAm = 0x1;
constexpr quint32 ModeCw = 0x2;
constexpr quint32 ModeUsb = 0x4;
constexpr quint32 ModeLsb = 0x8;
constexpr quint32 ModeRtty = 0x10;
constexpr quint32 ModeFm = 0x20;
constexpr quint32 ModeWfm = 0x40;
constexpr quint32 ModeCwr = 0x80;
constexpr quint32 ModeRttyr = 0x100;
constexpr quint32 ModePktusb = 0x800;
constexpr quint32 ModePktfm = 0x1000;

// Hamlib's level bits: the S-meter in dB and raw.
constexpr quint64 LevelRawStrength = 0x04000000;
constexpr quint64 LevelStrength = 0x40000000;

struct ModePair
{
    const char *radio;
    const char *hamlib;
    quint32 bit;
};
// The radio's mode is reported as the Hamlib name of its first row (the
// names every Hamlib version reads); newer Hamlib writes some modes under the
// names of the last rows.
constexpr ModePair modePairs[] = {
    {"LSB", "LSB", ModeLsb},       {"USB", "USB", ModeUsb},        {"CW", "CW", ModeCw},
    {"CW-R", "CWR", ModeCwr},      {"AM", "AM", ModeAm},           {"WFM", "WFM", ModeWfm},
    {"FM", "FM", ModeFm},          {"DIG", "PKTUSB", ModePktusb},  {"DIG", "RTTY", ModeRtty},
    {"PKT", "PKTFM", ModePktfm},   {"FSK", "RTTY", ModeRtty},      {"FSK-R", "RTTYR", ModeRttyr},
    {"CW-R", "CW-R", ModeCwr},     {"DIG", "USB-D", ModePktusb},   {"PKT", "FM-D", ModePktfm},
    {"FSK-R", "RTTY-R", ModeRttyr},
};

// What Hamlib's own backends say about a radio, in the bits of its modes.
struct Model
{
    int hamlibModel;
    quint32 modes;          // what the radio can be set to
    QList<TFrequencyRange> receive;
    QList<TFrequencyRange> transmit;
    int lowPowerMw;
    int highPowerMw;
};

quint32 hamlibModeBits(const QStringList &modes)
{
    quint32 bits = 0;
    for (const ModePair &pair : modePairs)
        if (modes.contains(QLatin1String(pair.radio)))
            bits |= pair.bit;
    return bits;
}

Model modelOf(const TTcvrType &type)
{
    return {type.HamlibModel, hamlibModeBits(type.Modes), type.ReceiveRanges, type.TransmitRanges, type.LowPowerMw,
            type.HighPowerMw};
}

// The modes a range takes: the broadcast band only wide FM, the others all
// the radio's modes but wide FM.
quint32 rangeModes(const Model &model, const TFrequencyRange &range)
{
    return range.WideFmOnly ? (model.modes & ModeWfm) : (model.modes & ~quint32(ModeWfm));
}

QString hex(quint64 value)
{
    return QStringLiteral("0x") + QString::number(value, 16);
}

QString hertz(double value)
{
    return QString::number(value, 'f', 6);
}

// A VFO argument: which one it names, as far as this radio knows VFOs.
enum class VfoName { A, B, Current, Transmit, Unavailable, Invalid };

VfoName parseVfo(const QString &text)
{
    static const char *const current[] = {"currVFO", "VFO", "RX"};
    static const char *const a[] = {"VFOA", "Main", "MainA"};
    static const char *const b[] = {"VFOB", "Sub", "SubB", "MainB"};
    static const char *const unavailable[] = {"VFOC", "MEM", "SubA", "MainC", "SubC", "None"};
    for (const char *name : current)
        if (text == QLatin1String(name))
            return VfoName::Current;
    for (const char *name : a)
        if (text == QLatin1String(name))
            return VfoName::A;
    for (const char *name : b)
        if (text == QLatin1String(name))
            return VfoName::B;
    if (text == QLatin1String("TX"))
        return VfoName::Transmit;
    for (const char *name : unavailable)
        if (text == QLatin1String(name))
            return VfoName::Unavailable;
    return VfoName::Invalid;
}

QString vfoText(QChar vfo)
{
    if (vfo == u'B')
        return QStringLiteral("VFOB");
    if (vfo == u'M')
        return QStringLiteral("MEM");
    return QStringLiteral("VFOA");
}

QChar otherVfo(QChar vfo)
{
    return vfo == u'B' ? u'A' : u'B';
}

struct CommandName
{
    char shortName;
    const char *longName;
};
// The commands carried out here; a short name of 0 has only the long form.
constexpr CommandName commandNames[] = {
    {'F', "set_freq"},  {'f', "get_freq"},      {'M', "set_mode"},      {'m', "get_mode"},
    {'V', "set_vfo"},   {'v', "get_vfo"},       {'T', "set_ptt"},       {'t', "get_ptt"},
    {'S', "set_split_vfo"}, {'s', "get_split_vfo"}, {'l', "get_level"}, {'q', "quit"},
    {'Q', "quit"},      {0, "chk_vfo"},         {0, "dump_state"},      {0, "get_powerstat"},
    {0, "get_lock_mode"},
};

bool isSeparator(char c)
{
    // '\' starts a long name, '?' and '_' are commands of their own, '#' a comment.
    return std::ispunct(static_cast<unsigned char>(c)) && c != '\\' && c != '?' && c != '_' && c != '#';
}

// A line as it may appear in the log: printable ASCII, not too long.
QString printable(const QByteArray &line)
{
    QString text;
    for (char c : line.left(64)) {
        const auto byte = static_cast<unsigned char>(c);
        text += byte >= 0x20 && byte < 0x7F ? QChar(c) : QChar(u'?');
    }
    return text;
}

} // namespace

TRigctldRequest ParseRigctldLine(const QByteArray &line)
{
    TRigctldRequest request;
    const QByteArray text = line.trimmed();
    if (text.isEmpty() || text.at(0) == '#')
        return request;
    qsizetype pos = 0;
    if (isSeparator(text.at(0))) {
        request.Separator = text.at(0) == '+' ? QChar(u'\n') : QChar(QLatin1Char(text.at(0)));
        ++pos;
    }
    while (pos < text.size() && std::isspace(static_cast<unsigned char>(text.at(pos))))
        ++pos;
    if (pos >= text.size())
        return request;

    QByteArray rest;
    if (text.at(pos) == '\\') {
        qsizetype end = pos + 1;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text.at(end))))
            ++end;
        request.Command = QString::fromLatin1(text.mid(pos + 1, end - pos - 1));
        for (const CommandName &name : commandNames)
            if (request.Command == QLatin1String(name.longName))
                request.Known = true;
        if (!request.Known)
            request.Command.prepend(u'\\');
        rest = text.mid(end);
    } else {
        const char shortName = text.at(pos);
        request.Command = QString(QLatin1Char(shortName));
        for (const CommandName &name : commandNames)
            if (name.shortName != 0 && name.shortName == shortName) {
                request.Command = QString::fromLatin1(name.longName);
                request.Known = true;
            }
        rest = text.mid(pos + 1);
    }
    for (const QByteArray &word : rest.simplified().split(' '))
        if (!word.isEmpty())
            request.Arguments << QString::fromLatin1(word);
    return request;
}

TRigctldProtocol::TRigctldProtocol(TRigctldHost &host)
    : host_(host)
{
}

TRigctldAnswer TRigctldProtocol::Answer(const QByteArray &line)
{
    TRigctldAnswer answer;
    const TRigctldRequest request = ParseRigctldLine(line);
    const QString &command = request.Command;
    if (command.isEmpty())
        return answer;
    if (!request.Known) {
        answer.Reply = format(request, RigctldCode::NotAvailable, {});
        answer.LogText = QStringLiteral("Command \"%1\" is not implemented.").arg(printable(line.trimmed()));
        return answer;
    }
    if (command == QLatin1String("quit")) {
        answer.Reply = format(request, RigctldCode::Ok, {});
        answer.Quit = true;
        return answer;
    }
    if (command == QLatin1String("chk_vfo")) {
        // No VFO argument in front of the others' arguments.
        answer.Reply = request.Separator.isNull() ? QByteArray("0\n") : QByteArray("ChkVFO: 0\n");
        return answer;
    }

    const TRigctldRadio radio = host_.RigctldRadio();
    if (command == QLatin1String("dump_state")) {
        const QByteArray dump = DumpState(radio.Type);
        if (request.Separator.isNull())
            answer.Reply = dump;
        else
            answer.Reply = "dump_state:" + QString(request.Separator).toLatin1() + dump + "RPRT 0\n";
        return answer;
    }
    if (command == QLatin1String("get_powerstat")) {
        answer.Reply = format(request, RigctldCode::Ok, {{"Power Status", radio.Connected ? "1" : "0"}});
        return answer;
    }
    if (command == QLatin1String("get_lock_mode")) {
        answer.Reply = format(request, RigctldCode::Ok, {{"Locked", "0"}});
        return answer;
    }
    if (!radio.Connected) {
        answer.Reply = format(request, RigctldCode::IoError, {});
        return answer;
    }

    if (command == QLatin1String("get_freq")) {
        answer.Reply = format(request, RigctldCode::Ok, {{"Frequency", QString::number(radio.Frequency)}});
    } else if (command == QLatin1String("get_mode")) {
        const QString mode = HamlibMode(radio.Mode);
        answer.Reply = format(request, RigctldCode::Ok,
                              {{"Mode", mode.isEmpty() ? QStringLiteral("None") : mode},
                               {"Passband", QString::number(Passband(radio.Mode))}});
    } else if (command == QLatin1String("get_vfo")) {
        answer.Reply = format(request, RigctldCode::Ok, {{"VFO", vfoText(radio.Vfo)}});
    } else if (command == QLatin1String("get_ptt")) {
        answer.Reply = format(request, RigctldCode::Ok, {{"PTT", radio.Ptt ? "1" : "0"}});
    } else if (command == QLatin1String("get_split_vfo")) {
        // A split state not known yet is reported as off: the radio was not
        // switched to split from here.
        const bool split = radio.Split == 1;
        answer.Reply = format(request, RigctldCode::Ok,
                              {{"Split", split ? "1" : "0"},
                               {"TX VFO", vfoText(split ? otherVfo(radio.Vfo) : radio.Vfo)}});
    } else if (command == QLatin1String("get_level")) {
        const QString level = request.Arguments.value(0);
        if (level == QLatin1String("STRENGTH")) {
            answer.Reply = format(request, RigctldCode::Ok, {{"", QString::number(StrengthDb(radio.MeterPercent))}});
        } else if (level == QLatin1String("RAWSTR")) {
            answer.Reply = format(request, RigctldCode::Ok,
                                  {{"", QString::number(RawStrength(radio.MeterPercent, radio.Type))}});
        } else if (level.isEmpty()) {
            answer.Reply = format(request, RigctldCode::InvalidArgument, {});
        } else {
            answer.Reply = format(request, RigctldCode::NotAvailable, {});
            answer.LogText = QStringLiteral("Level \"%1\" is not available.").arg(printable(level.toLatin1()));
        }
    } else {
        int code = RigctldCode::InvalidArgument;
        if (command == QLatin1String("set_freq"))
            code = setFrequency(request);
        else if (command == QLatin1String("set_mode"))
            code = setMode(request);
        else if (command == QLatin1String("set_vfo"))
            code = setVfo(request);
        else if (command == QLatin1String("set_ptt"))
            code = setPtt(request);
        else if (command == QLatin1String("set_split_vfo"))
            code = setSplit(request);
        answer.Reply = format(request, code, {});
    }
    return answer;
}

QByteArray TRigctldProtocol::format(const TRigctldRequest &request, int code, const QList<Value> &values) const
{
    const QByteArray status = "RPRT " + QByteArray::number(code) + '\n';
    if (request.Separator.isNull()) {
        if (code != RigctldCode::Ok || values.isEmpty())
            return status;
        QByteArray reply;
        for (const Value &value : values)
            reply += value.text.toLatin1() + '\n';
        return reply;
    }
    // Extended form: the command echoed with its arguments, each value
    // labelled, the status last, records ended by the separator.
    const QByteArray separator = QString(request.Separator).toLatin1();
    QByteArray reply = request.Command.toLatin1() + ':';
    if (!request.Arguments.isEmpty())
        reply += ' ' + request.Arguments.join(u' ').toLatin1();
    reply += separator;
    if (code == RigctldCode::Ok)
        for (const Value &value : values)
            reply += (value.label.isEmpty() ? value.text : value.label + QStringLiteral(": ") + value.text).toLatin1()
                     + separator;
    return reply + status;
}

int TRigctldProtocol::setFrequency(const TRigctldRequest &request)
{
    bool ok = false;
    const double value = request.Arguments.value(0).toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > 1e12)
        return RigctldCode::InvalidArgument;
    const qint64 frequency = std::llround(value);
    const TRigctldRadio radio = host_.RigctldRadio();
    if (!InRange(frequency, radio.Type) || frequency > TCatEngine::HighestRadioHz)
        return RigctldCode::InvalidArgument;
    host_.RigctldTune(qint32(frequency));
    return RigctldCode::Ok;
}

int TRigctldProtocol::setMode(const TRigctldRequest &request)
{
    // The passband is accepted and left alone: these radios have no filter command.
    if (request.Arguments.isEmpty() || request.Arguments.size() > 2)
        return RigctldCode::InvalidArgument;
    bool ok = true;
    if (request.Arguments.size() == 2)
        request.Arguments.at(1).toInt(&ok);
    const QString mode = RadioMode(request.Arguments.at(0), host_.RigctldRadio().Type);
    if (!ok || mode.isEmpty())
        return RigctldCode::InvalidArgument;
    host_.RigctldSetMode(mode);
    return RigctldCode::Ok;
}

int TRigctldProtocol::setVfo(const TRigctldRequest &request)
{
    const TRigctldRadio radio = host_.RigctldRadio();
    QChar wanted;
    switch (parseVfo(request.Arguments.value(0))) {
    case VfoName::A: wanted = u'A'; break;
    case VfoName::B: wanted = u'B'; break;
    case VfoName::Current: return RigctldCode::Ok;
    case VfoName::Transmit: wanted = radio.Split == 1 ? otherVfo(radio.Vfo) : radio.Vfo; break;
    case VfoName::Unavailable: return RigctldCode::NotAvailable;
    case VfoName::Invalid: return RigctldCode::InvalidArgument;
    }
    if (wanted == radio.Vfo)
        return RigctldCode::Ok;
    // The FT-847 has main and satellite VFOs, no A/B toggle; memories are
    // left by a toggle only on the radio itself.
    if (!radio.Type.HasVfoKeys || radio.Vfo == u'M')
        return RigctldCode::NotAvailable;
    host_.RigctldToggleVfo();
    return RigctldCode::Ok;
}

int TRigctldProtocol::setPtt(const TRigctldRequest &request)
{
    // 1 is PTT on, 2 and 3 on with the microphone or the data input: the
    // radios key the same way for all three.
    bool ok = false;
    const int value = request.Arguments.value(0).toInt(&ok);
    if (!ok || value < 0 || value > 3)
        return RigctldCode::InvalidArgument;
    host_.RigctldSetPtt(value != 0);
    return RigctldCode::Ok;
}

int TRigctldProtocol::setSplit(const TRigctldRequest &request)
{
    // The transmit VFO is the other one whatever the client names: these
    // radios split between A and B only.
    bool ok = false;
    const int value = request.Arguments.value(0).toInt(&ok);
    if (!ok || value < 0 || value > 1 || request.Arguments.size() > 2)
        return RigctldCode::InvalidArgument;
    if (request.Arguments.size() == 2) {
        const VfoName vfo = parseVfo(request.Arguments.at(1));
        if (vfo == VfoName::Invalid)
            return RigctldCode::InvalidArgument;
        if (vfo == VfoName::Unavailable)
            return RigctldCode::NotAvailable;
    }
    const TRigctldRadio radio = host_.RigctldRadio();
    if (radio.Split != value)
        host_.RigctldSetSplit(value == 1);
    return RigctldCode::Ok;
}

QByteArray TRigctldProtocol::DumpState(const TTcvrType &type)
{
    const Model model = modelOf(type);
    const QString vfos = type.HasVfoKeys ? QStringLiteral("0x3") : QStringLiteral("0x1");
    QStringList lines = {QStringLiteral("1"), QString::number(model.hamlibModel), QStringLiteral("0")};
    for (const TFrequencyRange &range : model.receive)
        lines << QStringLiteral("%1 %2 %3 -1 -1 %4 0x1")
                     .arg(hertz(double(range.Low)), hertz(double(range.High)), hex(rangeModes(model, range)), vfos);
    lines << QStringLiteral("0 0 0 0 0 0 0");
    for (const TFrequencyRange &range : model.transmit)
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6 0x1")
                     .arg(hertz(double(range.Low)), hertz(double(range.High)), hex(rangeModes(model, range)))
                     .arg(model.lowPowerMw)
                     .arg(model.highPowerMw)
                     .arg(vfos);
    lines << QStringLiteral("0 0 0 0 0 0 0");
    lines << hex(model.modes) + QStringLiteral(" 10") << QStringLiteral("0 0");
    // Tuning steps above; the passbands reported by get_mode below.
    const struct { quint32 modes; const char *mode; } filters[] = {
        {ModeLsb | ModeUsb | ModeCw | ModeCwr | ModeRtty | ModeRttyr | ModePktusb, "USB"},
        {ModeAm, "AM"},
        {ModeFm | ModePktfm, "FM"},
        {ModeWfm, "WFM"},
    };
    for (const auto &filter : filters)
        if (filter.modes & model.modes)
            lines << QStringLiteral("%1 %2").arg(hex(filter.modes & model.modes)).arg(Passband(QLatin1String(filter.mode)));
    lines << QStringLiteral("0 0");
    lines << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0"); // RIT, XIT, IF shift, announces
    lines << QString() << QString();                                                                   // preamps, attenuators
    lines << QStringLiteral("0x0") << QStringLiteral("0x0") << hex(LevelStrength | LevelRawStrength)
          << QStringLiteral("0x0") << QStringLiteral("0x0") << QStringLiteral("0x0");
    lines << QStringLiteral("vfo_ops=0x0") << QStringLiteral("ptt_type=0x1") << QStringLiteral("targetable_vfo=0x0")
          << QStringLiteral("has_set_vfo=1") << QStringLiteral("has_get_vfo=1") << QStringLiteral("has_set_freq=1")
          << QStringLiteral("has_get_freq=1") << QStringLiteral("has_set_conf=0") << QStringLiteral("has_get_conf=0")
          << QStringLiteral("has_power2mW=0") << QStringLiteral("has_mW2power=0") << QStringLiteral("timeout=1000")
          << QStringLiteral("rig_model=%1").arg(model.hamlibModel)
          << QStringLiteral("rigctld_version=Tarnwick " TARNWICK_VERSION_TEXT) << QStringLiteral("done");
    return (lines.join(u'\n') + u'\n').toLatin1();
}

QString TRigctldProtocol::HamlibMode(const QString &mode)
{
    for (const ModePair &pair : modePairs)
        if (mode == QLatin1String(pair.radio))
            return QString::fromLatin1(pair.hamlib);
    return QString();
}

QString TRigctldProtocol::RadioMode(const QString &hamlibMode, const TTcvrType &type)
{
    const Model model = modelOf(type);
    for (const ModePair &pair : modePairs) {
        if (hamlibMode != QLatin1String(pair.hamlib) || !(model.modes & pair.bit))
            continue;
        // RTTY is DIG on the five-byte command set, FSK on the text one.
        const QString radio = QString::fromLatin1(pair.radio);
        if (pair.bit == ModeRtty && (radio == QLatin1String("FSK")) != (type.CommandSet == 2))
            continue;
        return radio;
    }
    return QString();
}

int TRigctldProtocol::Passband(const QString &mode)
{
    if (mode == QLatin1String("AM"))
        return 6000;
    if (mode == QLatin1String("FM") || mode == QLatin1String("PKT"))
        return 9000;
    if (mode == QLatin1String("WFM"))
        return 15000;
    return mode.isEmpty() ? 0 : 2200;
}

int TRigctldProtocol::StrengthDb(int meterPercent)
{
    const int units = int(std::lround(qBound(0, meterPercent, 100) * 15 / 100.0));
    return units <= 9 ? units * 6 - 54 : (units - 9) * 10;
}

int TRigctldProtocol::RawStrength(int meterPercent, const TTcvrType &type)
{
    const int top = type.MeterMax;
    return int(std::lround(qBound(0, meterPercent, 100) * top / 100.0));
}

bool TRigctldProtocol::InRange(qint64 frequency, const TTcvrType &type)
{
    return type.Receives(frequency);
}

TRigctldLineReader::Result TRigctldLineReader::Feed(const QByteArray &bytes, QList<QByteArray> *lines)
{
    for (char c : bytes) {
        if (c == '\n') {
            lines->append(pending_);
            pending_.clear();
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\r') || byte >= 0x7F)
            return Garbage;
        if (pending_.size() >= MaxLineLength)
            return TooLong;
        pending_.append(c);
    }
    return Lines;
}
