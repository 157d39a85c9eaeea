#include "remote/RigctldProtocol.h"

#include "cat/CatEngine.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <cmath>

namespace {

// A VFO argument: which one it names, as far as this radio knows VFOs.
enum class VfoName { A, B, Current, Transmit, Unavailable, Invalid };

bool oneOf(const QString &text, std::initializer_list<const char *> names)
{
    return std::any_of(names.begin(), names.end(), [&text](const char *name) { return text == QLatin1String(name); });
}

VfoName parseVfo(const QString &text)
{
    if (oneOf(text, {"currVFO", "VFO", "RX"}))
        return VfoName::Current;
    if (oneOf(text, {"VFOA", "Main", "MainA"}))
        return VfoName::A;
    if (oneOf(text, {"VFOB", "Sub", "SubB", "MainB"}))
        return VfoName::B;
    if (text == QLatin1String("TX"))
        return VfoName::Transmit;
    if (oneOf(text, {"VFOC", "MEM", "SubA", "MainC", "SubC", "None"}))
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

// Whether a VFO argument names the other VFO rather than the one in use
// (absent: the one in use); tx is the one that transmits in split.
bool namesOtherVfo(const QString &text, const TRigctldRadio &radio, QChar tx)
{
    switch (parseVfo(text)) {
    case VfoName::A: return radio.Vfo == u'B';
    case VfoName::B: return radio.Vfo != u'B';
    case VfoName::Transmit: return radio.Split == 1 && tx != radio.Vfo;
    default: return false;
    }
}

struct CommandName
{
    char shortName;
    const char *longName;
    int arguments;
};
// The commands carried out here; a short name of 0 has only the long form.
constexpr CommandName commandNames[] = {
    {'F', "set_freq", 1},        {'f', "get_freq", 0},        {'M', "set_mode", 2},
    {'m', "get_mode", 0},        {'V', "set_vfo", 1},         {'v', "get_vfo", 0},
    {'T', "set_ptt", 1},         {'t', "get_ptt", 0},         {'S', "set_split_vfo", 2},
    {'s', "get_split_vfo", 0},   {'I', "set_split_freq", 1},  {'i', "get_split_freq", 0},
    {'X', "set_split_mode", 2},  {'x', "get_split_mode", 0},  {'K', "set_split_freq_mode", 3},
    {'k', "get_split_freq_mode", 0}, {'l', "get_level", 1},   {'G', "vfo_op", 1},
    {'1', "dump_caps", 0},       {'q', "quit", 0},            {'Q', "quit", 0},
    {0, "chk_vfo", 0},           {0, "dump_state", 0},        {0, "get_powerstat", 0},
    {0, "get_lock_mode", 0},     {0, "get_vfo_info", 1},
};

const CommandName *findCommand(const QByteArray &longName, char shortName)
{
    for (const CommandName &name : commandNames)
        if (longName.isEmpty() ? name.shortName != 0 && name.shortName == shortName : longName == name.longName)
            return &name;
    return nullptr;
}

bool isSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c));
}

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

QString number(double value)
{
    return QString::number(value, 'f', 6);
}

bool isCommand(const TRigctldRequest &request, const char *name)
{
    return request.Command == QLatin1String(name);
}

} // namespace

QList<TRigctldRequest> ParseRigctldLine(const QByteArray &line)
{
    QList<TRigctldRequest> requests;
    qsizetype pos = 0;
    const qsizetype size = line.size();
    const auto skipSpace = [&] {
        while (pos < size && isSpace(line.at(pos)))
            ++pos;
    };
    for (skipSpace(); pos < size && line.at(pos) != '#'; skipSpace()) {
        TRigctldRequest request;
        if (isSeparator(line.at(pos))) {
            request.Separator = line.at(pos) == '+' ? QChar(u'\n') : QChar(QLatin1Char(line.at(pos)));
            ++pos;
            skipSpace();
            if (pos >= size)
                break;
        }
        const CommandName *name = nullptr;
        if (line.at(pos) == '\\') {
            const qsizetype start = ++pos;
            while (pos < size && !isSpace(line.at(pos)))
                ++pos;
            const QByteArray word = line.mid(start, pos - start);
            name = findCommand(word, 0);
            request.Command = name ? QString::fromLatin1(name->longName) : u'\\' + QString::fromLatin1(word);
        } else {
            const char shortName = line.at(pos++);
            name = findCommand(QByteArray(), shortName);
            request.Command = name ? QString::fromLatin1(name->longName) : QString(QLatin1Char(shortName));
        }
        request.Known = name != nullptr;
        // An unknown command takes the rest of the line: where its arguments
        // end is not known.
        const int arguments = name ? name->arguments : int(size);
        for (int i = 0; i < arguments; ++i) {
            skipSpace();
            if (pos >= size || line.at(pos) == '#')
                break;
            const qsizetype start = pos;
            while (pos < size && !isSpace(line.at(pos)))
                ++pos;
            request.Arguments << QString::fromLatin1(line.mid(start, pos - start));
        }
        requests << request;
    }
    return requests;
}

TRigctldProtocol::TRigctldProtocol(TRigctldHost &host)
    : host_(host)
{
}

void TRigctldProtocol::Answer(const TRigctldRequest &request, const Reply &reply)
{
    TRigctldRead what = TRigctldRead::State;
    if (!readNeeded(request, &what)) {
        reply(answerNow(request));
        return;
    }
    host_.RigctldRefresh(what, [this, alive = std::weak_ptr<int>(alive_), request, reply] {
        if (alive.lock())
            reply(answerNow(request));
    });
}

bool TRigctldProtocol::readNeeded(const TRigctldRequest &request, TRigctldRead *what) const
{
    const QString &command = request.Command;
    if (oneOf(command, {"get_freq", "get_mode", "get_ptt", "get_split_vfo"}))
        return true; // the state, as it is
    if (oneOf(command, {"get_split_freq", "get_split_mode", "get_split_freq_mode"})) {
        // A client that went over to the transmit VFO reads it as the one in use.
        if (transmitVfo(host_.RigctldRadio()) != host_.RigctldRadio().Vfo)
            *what = TRigctldRead::SplitVfo;
        return true;
    }
    if (oneOf(command, {"get_vfo", "set_vfo"})) {
        *what = TRigctldRead::Vfo;
        return true;
    }
    if (isCommand(request, "get_level")) {
        if (oneOf(request.Arguments.value(0), {"RFPOWER", "SWR", "ALC"}))
            *what = TRigctldRead::TransmitMeters;
        return true;
    }
    if (isCommand(request, "get_vfo_info")) {
        const TRigctldRadio radio = host_.RigctldRadio();
        if (namesOtherVfo(request.Arguments.value(0), radio, transmitVfo(radio)))
            *what = TRigctldRead::SplitVfo;
        return true;
    }
    return false;
}

TRigctldAnswer TRigctldProtocol::answerNow(const TRigctldRequest &request)
{
    TRigctldAnswer answer;
    if (!request.Known) {
        answer.Reply = format(request, RigctldCode::NotAvailable, {});
        answer.LogText = QStringLiteral("Command \"%1\" is not implemented.")
                             .arg(printable((request.Command + u' ' + request.Arguments.join(u' ')).trimmed().toLatin1()));
        return answer;
    }
    if (isCommand(request, "quit")) {
        answer.Reply = format(request, RigctldCode::Ok, {});
        answer.Quit = true;
        return answer;
    }
    if (isCommand(request, "chk_vfo")) {
        // No VFO argument in front of the others' arguments.
        answer.Reply = request.Separator.isNull() ? QByteArray("0\n") : QByteArray("ChkVFO: 0\n");
        return answer;
    }

    const TRigctldRadio radio = host_.RigctldRadio();
    if (isCommand(request, "dump_state")) {
        answer.Reply = formatText(request, DumpState(radio.Type), false);
        return answer;
    }
    if (isCommand(request, "dump_caps")) {
        answer.Reply = formatText(request, DumpCaps(radio.Type), true);
        return answer;
    }
    if (isCommand(request, "get_powerstat")) {
        answer.Reply = format(request, RigctldCode::Ok, {{"Power Status", radio.Connected ? "1" : "0"}});
        return answer;
    }
    if (isCommand(request, "get_lock_mode")) {
        answer.Reply = format(request, RigctldCode::Ok, {{"Locked", "0"}});
        return answer;
    }
    if (!radio.Connected) {
        answer.Reply = format(request, RigctldCode::IoError, {});
        return answer;
    }
    if (request.Command.startsWith(QLatin1String("get_")))
        return answerRead(request, radio);

    int code = RigctldCode::InvalidArgument;
    if (isCommand(request, "set_freq"))
        code = setFrequency(request, radio);
    else if (isCommand(request, "set_mode"))
        code = setMode(request, radio);
    else if (isCommand(request, "set_vfo"))
        code = setVfo(request, radio);
    else if (isCommand(request, "set_ptt"))
        code = setPtt(request);
    else if (isCommand(request, "set_split_vfo"))
        code = setSplit(request, radio);
    else if (isCommand(request, "set_split_freq"))
        code = setSplitFrequency(request.Arguments.value(0), radio);
    else if (isCommand(request, "set_split_mode"))
        code = setSplitMode(request.Arguments, radio);
    else if (isCommand(request, "set_split_freq_mode")) {
        // The mode first: a frequency that cannot be had leaves the mode set,
        // as two separate requests would.
        code = request.Arguments.size() < 2 ? RigctldCode::InvalidArgument
                                            : setSplitMode(request.Arguments.mid(1), radio);
        if (code == RigctldCode::Ok)
            code = setSplitFrequency(request.Arguments.value(0), radio);
    } else if (isCommand(request, "vfo_op"))
        code = vfoOperation(request, radio);
    answer.Reply = format(request, code, {});
    return answer;
}

TRigctldAnswer TRigctldProtocol::answerRead(const TRigctldRequest &request, const TRigctldRadio &radio)
{
    TRigctldAnswer answer;
    const bool onCurrent = transmitVfo(radio) == radio.Vfo;
    const qint32 txFrequency = onCurrent ? radio.Frequency : radio.SplitFrequency;
    const QString txMode = onCurrent ? radio.Mode : radio.SplitMode;
    const QString splitMode = HamlibMode(txMode);
    const QString splitFrequency = QString::number(txFrequency);
    const QString splitPassband = QString::number(passbandOf(txMode, true));
    if (isCommand(request, "get_freq")) {
        answer.Reply = format(request, RigctldCode::Ok, {{"Frequency", QString::number(radio.Frequency)}});
    } else if (isCommand(request, "get_mode")) {
        const QString mode = HamlibMode(radio.Mode);
        answer.Reply = format(request, RigctldCode::Ok,
                              {{"Mode", mode.isEmpty() ? QStringLiteral("None") : mode},
                               {"Passband", QString::number(passbandOf(radio.Mode, false))}});
    } else if (isCommand(request, "get_vfo")) {
        answer.Reply = format(request, RigctldCode::Ok, {{"VFO", vfoText(radio.Vfo)}});
    } else if (isCommand(request, "get_ptt")) {
        answer.Reply = format(request, RigctldCode::Ok, {{"PTT", radio.Ptt ? "1" : "0"}});
    } else if (isCommand(request, "get_split_vfo")) {
        // A split state not known yet is reported as off: the radio was not
        // switched to split from here.
        const bool split = radio.Split == 1;
        answer.Reply = format(request, RigctldCode::Ok,
                              {{"Split", split ? "1" : "0"}, {"TX VFO", vfoText(split ? transmitVfo(radio) : radio.Vfo)}});
    } else if (request.Command.startsWith(QLatin1String("get_split_freq")) || isCommand(request, "get_split_mode")) {
        const bool wantsFrequency = !isCommand(request, "get_split_mode");
        const bool wantsMode = !isCommand(request, "get_split_freq");
        // Not read: command set 2 has no way, or the radio did not answer.
        if ((wantsFrequency && txFrequency <= 0) || (wantsMode && txMode.isEmpty())) {
            answer.Reply = format(request, radio.Type.CommandSet == 2 ? RigctldCode::NotAvailable : RigctldCode::IoError, {});
        } else if (isCommand(request, "get_split_freq")) {
            answer.Reply = format(request, RigctldCode::Ok, {{"TX Frequency", splitFrequency}});
        } else if (isCommand(request, "get_split_mode")) {
            answer.Reply = format(request, RigctldCode::Ok, {{"TX Mode", splitMode}, {"TX Passband", splitPassband}});
        } else {
            answer.Reply = format(request, RigctldCode::Ok,
                                  {{"TX Frequency", splitFrequency}, {"TX Mode", splitMode}, {"TX Passband", splitPassband}});
        }
    } else if (isCommand(request, "get_level")) {
        return answerLevel(request, radio);
    } else if (isCommand(request, "get_vfo_info")) {
        return answerVfoInfo(request, radio);
    }
    return answer;
}

TRigctldAnswer TRigctldProtocol::answerLevel(const TRigctldRequest &request, const TRigctldRadio &radio)
{
    TRigctldAnswer answer;
    const QString level = request.Arguments.value(0);
    const quint64 bit = LevelBit(level);
    if (level.isEmpty()) {
        answer.Reply = format(request, RigctldCode::InvalidArgument, {});
    } else if (!(LevelBits(radio.Type) & bit)) {
        answer.Reply = format(request, RigctldCode::NotAvailable, {});
        answer.LogText = QStringLiteral("Level \"%1\" is not available.").arg(printable(level.toLatin1()));
    } else if (level == QLatin1String("STRENGTH")) {
        answer.Reply = format(request, RigctldCode::Ok, {{"", QString::number(StrengthDb(radio.MeterPercent))}});
    } else if (level == QLatin1String("RAWSTR")) {
        answer.Reply = format(request, RigctldCode::Ok, {{"", QString::number(RawStrength(radio.MeterPercent, radio.Type))}});
    } else {
        // The meters of a transmission read nothing while receiving.
        const double value = level == QLatin1String("RFPOWER") ? radio.Transmit.Power
                             : level == QLatin1String("SWR")   ? radio.Transmit.Swr
                                                               : radio.Transmit.Alc;
        answer.Reply = radio.Ptt && value >= 0 ? format(request, RigctldCode::Ok, {{"", number(value)}})
                                               : format(request, RigctldCode::Rejected, {});
    }
    return answer;
}

TRigctldAnswer TRigctldProtocol::answerVfoInfo(const TRigctldRequest &request, const TRigctldRadio &radio)
{
    TRigctldAnswer answer;
    if (parseVfo(request.Arguments.value(0, QStringLiteral("currVFO"))) >= VfoName::Unavailable) {
        answer.Reply = format(request, RigctldCode::InvalidArgument, {});
        return answer;
    }
    const bool split = namesOtherVfo(request.Arguments.value(0), radio, transmitVfo(radio));
    const QString mode = split ? radio.SplitMode : radio.Mode;
    const QString hamlibMode = HamlibMode(mode);
    answer.Reply = format(request, RigctldCode::Ok,
                          {{"Freq", QString::number(split ? radio.SplitFrequency : radio.Frequency)},
                           {"Mode", hamlibMode.isEmpty() ? QStringLiteral("None") : hamlibMode},
                           {"Width", QString::number(passbandOf(mode, split))},
                           {"Split", radio.Split == 1 ? "1" : "0"},
                           {"SatMode", "0"}});
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

QByteArray TRigctldProtocol::formatText(const TRigctldRequest &request, const QByteArray &text, bool status) const
{
    if (request.Separator.isNull())
        return status ? text + "RPRT 0\n" : text;
    return request.Command.toLatin1() + ':' + QString(request.Separator).toLatin1() + text + "RPRT 0\n";
}

qint64 TRigctldProtocol::RadioFrequency(const QString &text, const TTcvrType &type)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > 1e12)
        return -1;
    const double step = qMax(1, type.TuningStepHz);
    const qint64 frequency = qint64(std::floor((value + step / 2) / step) * step);
    if (!InRange(frequency, type) || frequency > TCatEngine::HighestRadioHz)
        return -1;
    return frequency;
}

int TRigctldProtocol::setFrequency(const TRigctldRequest &request, const TRigctldRadio &radio)
{
    const qint64 frequency = RadioFrequency(request.Arguments.value(0), radio.Type);
    if (frequency < 0)
        return RigctldCode::InvalidArgument;
    host_.RigctldTune(qint32(frequency));
    return RigctldCode::Ok;
}

int TRigctldProtocol::setSplitFrequency(const QString &text, const TRigctldRadio &radio)
{
    const qint64 frequency = RadioFrequency(text, radio.Type);
    if (frequency < 0)
        return RigctldCode::InvalidArgument;
    if (transmitVfo(radio) == radio.Vfo) {
        host_.RigctldTune(qint32(frequency));
        return RigctldCode::Ok;
    }
    return host_.RigctldSetSplitFrequency(qint32(frequency)) ? RigctldCode::Ok : RigctldCode::NotAvailable;
}

QChar TRigctldProtocol::transmitVfo(const TRigctldRadio &radio) const
{
    // Hamlib's clients name the transmit VFO once and go over to it to read
    // it; the FT-847 transmits on its satellite VFO whatever they name.
    return radio.Type.HasVfoKeys ? splitVfo_ : otherVfo(radio.Vfo);
}

namespace {

// A mode and its passband as a client gives them: the radio's mode (empty
// when it has none that fits) and the passband (0: the mode's own, -1: no
// change); false when the passband is no number.
bool parseMode(const QStringList &arguments, const TTcvrType &type, QString *mode, int *passband)
{
    if (arguments.isEmpty() || arguments.size() > 2)
        return false;
    bool ok = true;
    *passband = arguments.size() == 2 ? arguments.at(1).toInt(&ok) : -1;
    *mode = TRigctldProtocol::RadioMode(arguments.at(0), type);
    return ok && !mode->isEmpty();
}

} // namespace

int TRigctldProtocol::setMode(const TRigctldRequest &request, const TRigctldRadio &radio)
{
    QString mode;
    int passband = 0;
    if (!parseMode(request.Arguments, radio.Type, &mode, &passband))
        return RigctldCode::InvalidArgument;
    host_.RigctldSetMode(mode);
    if (passband >= 0 || passband_.mode != mode)
        passband_ = {mode, qMax(0, passband)};
    return RigctldCode::Ok;
}

int TRigctldProtocol::setSplitMode(const QStringList &arguments, const TRigctldRadio &radio)
{
    QString mode;
    int passband = 0;
    if (!parseMode(arguments, radio.Type, &mode, &passband))
        return RigctldCode::InvalidArgument;
    if (transmitVfo(radio) == radio.Vfo)
        host_.RigctldSetMode(mode);
    else if (!host_.RigctldSetSplitMode(mode))
        return RigctldCode::NotAvailable;
    if (passband >= 0 || splitPassband_.mode != mode)
        splitPassband_ = {mode, qMax(0, passband)};
    return RigctldCode::Ok;
}

int TRigctldProtocol::passbandOf(const QString &mode, bool split) const
{
    const SetPassband &set = split ? splitPassband_ : passband_;
    return set.mode == mode && set.passband > 0 ? set.passband : Passband(mode);
}

int TRigctldProtocol::setVfo(const TRigctldRequest &request, const TRigctldRadio &radio)
{
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

int TRigctldProtocol::setSplit(const TRigctldRequest &request, const TRigctldRadio &radio)
{
    // These radios split between A and B only: the VFO a client names is
    // remembered as the one it means by the transmit VFO.
    bool ok = false;
    const int value = request.Arguments.value(0).toInt(&ok);
    if (!ok || value < 0 || value > 1)
        return RigctldCode::InvalidArgument;
    if (request.Arguments.size() == 2) {
        const VfoName vfo = parseVfo(request.Arguments.at(1));
        if (vfo == VfoName::Invalid)
            return RigctldCode::InvalidArgument;
        if (vfo == VfoName::Unavailable)
            return RigctldCode::NotAvailable;
        if (value == 1 && (vfo == VfoName::A || vfo == VfoName::B))
            splitVfo_ = vfo == VfoName::A ? u'A' : u'B';
    }
    if (radio.Split != value)
        host_.RigctldSetSplit(value == 1);
    return RigctldCode::Ok;
}

int TRigctldProtocol::vfoOperation(const TRigctldRequest &request, const TRigctldRadio &radio)
{
    static const char *const operations[] = {"CPY",       "XCHG", "FROM_VFO", "TO_VFO", "MCL",  "UP",    "DOWN",
                                             "BAND_UP",   "BAND_DOWN", "LEFT", "RIGHT", "TUNE", "TOGGLE"};
    const QString operation = request.Arguments.value(0);
    bool known = false;
    for (const char *name : operations)
        known = known || operation == QLatin1String(name);
    if (!known)
        return RigctldCode::InvalidArgument;
    if (!radio.Type.HasVfoKeys)
        return RigctldCode::NotAvailable;
    if (operation == QLatin1String("TOGGLE"))
        host_.RigctldToggleVfo();
    else if (operation == QLatin1String("CPY"))
        host_.RigctldCopyVfo();
    else
        return RigctldCode::NotAvailable;
    return RigctldCode::Ok;
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
