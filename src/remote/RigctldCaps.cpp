// What the rigctld endpoint tells clients about a model: its modes in
// Hamlib's names and bits, the levels it reads, and the capability dumps
// ("\dump_state" for Hamlib's NET rigctl backend, "\dump_caps" for people and
// loggers), all from the model's data.

#include "remote/RigctldProtocol.h"

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

// Hamlib's level bits and names, of the levels read here.
struct LevelName
{
    quint64 bit;
    const char *name;
};
constexpr LevelName levelNames[] = {
    {0x1000, "RFPOWER"}, {0x04000000, "RAWSTR"}, {0x10000000, "SWR"}, {0x20000000, "ALC"}, {0x40000000, "STRENGTH"},
};

// Hamlib's VFO operations: A=B and the A/B toggle.
constexpr quint32 OpCopy = 0x1;
constexpr quint32 OpToggle = 0x1000;

quint32 modeBits(const QStringList &modes)
{
    quint32 bits = 0;
    for (const ModePair &pair : modePairs)
        if (modes.contains(QLatin1String(pair.radio)))
            bits |= pair.bit;
    return bits;
}

QString modeNames(quint32 bits)
{
    // In Hamlib's order of the bits, each name once.
    QStringList names;
    for (quint32 bit = 1; bit != 0 && bit <= bits; bit <<= 1) {
        if (!(bits & bit))
            continue;
        for (const ModePair &pair : modePairs)
            if (pair.bit == bit) {
                names << QString::fromLatin1(pair.hamlib);
                break;
            }
    }
    return names.join(u' ');
}

QString hex(quint64 value)
{
    return QStringLiteral("0x") + QString::number(value, 16);
}

QString hertz(qint64 value)
{
    return QString::number(double(value), 'f', 6);
}

quint32 vfoOps(const TTcvrType &type)
{
    return type.HasVfoKeys ? OpCopy | OpToggle : 0;
}

} // namespace

QByteArray TRigctldProtocol::DumpState(const TTcvrType &type)
{
    const quint32 modes = modeBits(type.Modes);
    const QString vfos = type.HasVfoKeys ? QStringLiteral("0x3") : QStringLiteral("0x1");
    QStringList lines = {QStringLiteral("1"), QString::number(type.HamlibModel), QStringLiteral("0")};
    // The broadcast band takes wide FM only, the others every mode but it.
    for (const TFrequencyRange &range : type.ReceiveRanges)
        lines << QStringLiteral("%1 %2 %3 -1 -1 %4 0x1")
                     .arg(hertz(range.Low), hertz(range.High),
                          hex(range.WideFmOnly ? modes & ModeWfm : modes & ~ModeWfm), vfos);
    lines << QStringLiteral("0 0 0 0 0 0 0");
    // AM transmits its carrier at less power: a row of its own, as Hamlib has it.
    const quint32 transmitModes = modes & ~(ModeWfm | ModeAm);
    for (const TFrequencyRange &range : type.TransmitRanges) {
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6 0x1")
                     .arg(hertz(range.Low), hertz(range.High), hex(transmitModes))
                     .arg(type.LowPowerMw)
                     .arg(type.HighPowerMw)
                     .arg(vfos);
        if (modes & ModeAm)
            lines << QStringLiteral("%1 %2 0x1 %3 %4 %5 0x1")
                         .arg(hertz(range.Low), hertz(range.High))
                         .arg(qMin(type.LowPowerMw, type.AmHighPowerMw))
                         .arg(type.AmHighPowerMw)
                         .arg(vfos);
    }
    lines << QStringLiteral("0 0 0 0 0 0 0");
    lines << hex(modes) + u' ' + QString::number(type.TuningStepHz) << QStringLiteral("0 0");
    // The passbands reported when a client set none.
    const struct { quint32 modes; const char *mode; } filters[] = {
        {ModeLsb | ModeUsb | ModeCw | ModeCwr | ModeRtty | ModeRttyr | ModePktusb, "USB"},
        {ModeAm, "AM"},
        {ModeFm | ModePktfm, "FM"},
        {ModeWfm, "WFM"},
    };
    for (const auto &filter : filters)
        if (filter.modes & modes)
            lines << QStringLiteral("%1 %2").arg(hex(filter.modes & modes)).arg(Passband(QLatin1String(filter.mode)));
    lines << QStringLiteral("0 0");
    lines << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0") << QStringLiteral("0"); // RIT, XIT, IF shift, announces
    lines << QString() << QString();                                                                   // preamps, attenuators
    lines << QStringLiteral("0x0") << QStringLiteral("0x0") << hex(LevelBits(type)) << QStringLiteral("0x0")
          << QStringLiteral("0x0") << QStringLiteral("0x0");
    lines << QStringLiteral("vfo_ops=%1").arg(hex(vfoOps(type))) << QStringLiteral("ptt_type=0x1")
          << QStringLiteral("targetable_vfo=0x0") << QStringLiteral("has_set_vfo=1") << QStringLiteral("has_get_vfo=1")
          << QStringLiteral("has_set_freq=1") << QStringLiteral("has_get_freq=1") << QStringLiteral("has_set_conf=0")
          << QStringLiteral("has_get_conf=0") << QStringLiteral("has_power2mW=0") << QStringLiteral("has_mW2power=0")
          << QStringLiteral("timeout=1000") << QStringLiteral("rig_model=%1").arg(type.HamlibModel)
          << QStringLiteral("rigctld_version=Tarnwick " TARNWICK_VERSION_TEXT) << QStringLiteral("done");
    return (lines.join(u'\n') + u'\n').toLatin1();
}

QByteArray TRigctldProtocol::DumpCaps(const TTcvrType &type)
{
    const auto yes = [](bool can) { return can ? QStringLiteral("Y") : QStringLiteral("N"); };
    const bool splitMode = type.CommandSet == 1;
    QStringList levels;
    for (const LevelName &level : levelNames)
        if (LevelBits(type) & level.bit)
            levels << QString::fromLatin1(level.name);
    QStringList ops;
    if (vfoOps(type) & OpCopy)
        ops << QStringLiteral("CPY");
    if (vfoOps(type) & OpToggle)
        ops << QStringLiteral("TOGGLE");
    const QStringList lines = {
        QStringLiteral("Caps dump for model: %1").arg(type.HamlibModel),
        QStringLiteral("Model name:\t") + type.Model,
        QStringLiteral("Mfg name:\tYaesu"),
        QStringLiteral("Backend version:\tTarnwick " TARNWICK_VERSION_TEXT),
        QStringLiteral("Backend status:\tStable"),
        QStringLiteral("Rig type:\tTransceiver"),
        QStringLiteral("PTT type:\tRig capable"),
        QStringLiteral("DCD type:\tRig capable"),
        QStringLiteral("Port type:\tNetwork link"),
        QStringLiteral("Has targetable VFO: N"),
        QStringLiteral("Get level: ") + levels.join(u' '),
        QStringLiteral("Set level: "),
        QStringLiteral("Mode list: ") + modeNames(modeBits(type.Modes)),
        QStringLiteral("VFO list: ") + (type.HasVfoKeys ? QStringLiteral("VFOA VFOB") : QStringLiteral("VFOA")),
        QStringLiteral("VFO Ops: ") + ops.join(u' '),
        QStringLiteral("Tuning steps:\n\t%1 Hz:\t%2").arg(type.TuningStepHz).arg(modeNames(modeBits(type.Modes))),
        QStringLiteral("Can set Frequency:\tY"),
        QStringLiteral("Can get Frequency:\tY"),
        QStringLiteral("Can set Mode:\tY"),
        QStringLiteral("Can get Mode:\tY"),
        QStringLiteral("Can set VFO:\t") + yes(type.HasVfoKeys),
        QStringLiteral("Can get VFO:\tY"),
        QStringLiteral("Can set PTT:\tY"),
        QStringLiteral("Can get PTT:\tY"),
        QStringLiteral("Can set Split Freq:\tY"),
        QStringLiteral("Can get Split Freq:\t") + yes(splitMode),
        QStringLiteral("Can set Split Mode:\t") + yes(splitMode),
        QStringLiteral("Can get Split Mode:\t") + yes(splitMode),
        QStringLiteral("Can set Split VFO:\tY"),
        QStringLiteral("Can get Split VFO:\tY"),
        QStringLiteral("Can get Level:\tY"),
        QStringLiteral("Can get Power Stat:\tY"),
        QStringLiteral("Can get Info:\tY"),
    };
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
    const quint32 modes = modeBits(type.Modes);
    for (const ModePair &pair : modePairs) {
        if (hamlibMode != QLatin1String(pair.hamlib) || !(modes & pair.bit))
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

quint64 TRigctldProtocol::LevelBits(const TTcvrType &type)
{
    quint64 bits = LevelBit(QStringLiteral("STRENGTH")) | LevelBit(QStringLiteral("RAWSTR"));
    switch (type.TransmitMeters) {
    case TTcvrType::TTransmitMeters::MeteringCommand:
        return bits | LevelBit(QStringLiteral("RFPOWER")) | LevelBit(QStringLiteral("SWR")) | LevelBit(QStringLiteral("ALC"));
    case TTcvrType::TTransmitMeters::StatusPower: return bits | LevelBit(QStringLiteral("RFPOWER"));
    case TTcvrType::TTransmitMeters::StatusAlc: return bits | LevelBit(QStringLiteral("ALC"));
    }
    return bits;
}

quint64 TRigctldProtocol::LevelBit(const QString &name)
{
    for (const LevelName &level : levelNames)
        if (name == QLatin1String(level.name))
            return level.bit;
    return 0;
}
