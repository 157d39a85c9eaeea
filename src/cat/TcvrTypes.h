#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// Everything that is particular to a transceiver model: the model table, the
// poll commands and the mode names. Pure data: no code outside this folder
// asks which model it talks to, only what the model can do.

// How a model changes VFOs: a toggle command, or (the FT-847, which has
// none) copies between its main and satellite VFOs read back first.
enum class TVfoMethod { Toggle, SatelliteCopy };

// A band of frequencies a model receives or transmits on. A band for wide FM
// only (the FM broadcast band) takes no other mode.
struct TFrequencyRange
{
    qint64 Low = 0;
    qint64 High = 0;
    bool WideFmOnly = false;
};

struct TTcvrType
{
    QString Model;            // shown in the serial dialog's type list
    QString Maker;
    qint32 CommandSet;        // 1: five-byte Yaesu binary, 2: ";"-terminated text, 3: Hamlib (HamlibCommands.h)
    QString DefaultSpeed;     // marked "(tcvr default)" in the speed list
    QString Speeds;           // comma-separated speeds the radio supports
    QString DtrChoices;
    QString RtsChoices;
    QString CatOnCommand;     // queued first after a connect; empty for none
    QString CatOffCommand;    // sent when disconnecting; empty for none
    bool HexCoded;            // commands and replies travel as hexadecimal text
    QString FrequencyCodeA;   // codes whose acknowledgement length is learned
    QString FrequencyCodeB;
    quint16 ProbeReplyLength; // bytes read when no reply length is known
    quint32 WatchdogInterval; // milliseconds of silence before the watchdog fires
    bool HasVfoKeys;
    // The radio answers set commands with an acknowledgement. One that never
    // does (the FT-847) must not be probed: every probe would wait out the
    // read time-out for nothing.
    bool AnswersSetCommands = true;

    // --- what the model can do, as Hamlib's capabilities describe it
    TVfoMethod VfoMethod = TVfoMethod::Toggle;
    // Split through the satellite mode ("4E"/"8E") instead of "02"/"82".
    bool SatelliteSplit = false;
    // A tone-decoder-only mode ("3A"); without it a receive tone is tone squelch.
    bool DecoderOnlyTone = false;
    // CTCSS tones as codes of the radio's own table instead of BCD tenths.
    bool ToneCodeTable = false;
    // Largest value of the meter field of the status bytes (4 or 5 bits).
    int MeterMax = 15;
    // The modes the radio can be set to (of ModeNames).
    QStringList Modes;
    // Modes whose keys are off: the radio has no such mode and a request for
    // one is refused with a message. Empty for the four built-in models,
    // whose spare keys send their nearest mode.
    QStringList ModesOff;
    // Split can be switched (the VFO keys: HasVfoKeys).
    bool HasSplit = true;
    // The radio reports its signal strength.
    bool HasMeter = true;
    QList<TFrequencyRange> ReceiveRanges;
    QList<TFrequencyRange> TransmitRanges;
    int LowPowerMw = 5000;
    int HighPowerMw = 100000;
    int AmHighPowerMw = 25000; // the carrier in AM
    // The smallest step the radio tunes to by CAT.
    int TuningStepHz = 10;
    // EEPROM addresses that say which VFO is in use (bit 0: VFO B) and
    // whether split is on (bit 7); -1 where the radio has none to read.
    int VfoEepromAddress = -1;
    int SplitEepromAddress = -1;
    // Where the meters of a transmission come from: the FT-817's metering
    // command (power, SWR, ALC), or the transmit status byte alone (power on
    // the FT-857 and FT-897, power or ALC as the FT-847's meter switch says).
    enum class TTransmitMeters { MeteringCommand, StatusPower, StatusAlc };
    TTransmitMeters TransmitMeters = TTransmitMeters::StatusPower;
    // The model's number in Hamlib (what a rigctld client is told it talks to).
    int HamlibModel = 0;

    bool Receives(qint64 frequency) const;
    bool HasMode(const QString &mode) const { return Modes.contains(mode); }
};

constexpr int TcvrTypeCount = 4;
// Row index = item index of the serial dialog's type list.
extern const TTcvrType TcvrTypes[TcvrTypeCount];

// Row of a model name; -1 when no row carries it.
int TcvrTypeIndex(const QString &model);
// The model names of the table, in its order.
QStringList TcvrModelNames();

// A row that is always valid: out-of-range indexes fall back to the first row,
// so a bad stored model can never make a reader index past the table.
const TTcvrType &TcvrTypeAt(int index);

struct TPollCommand
{
    QString Command;
    qint32 ReplyLength;
};

constexpr int PollCommandCount = 5;
constexpr int CommandSetCount = 3;
// Indexed by the command set number itself (row 0 is empty and unused), then
// by the poll index: PollCommands[set][PollIndex].
extern const TPollCommand PollCommands[CommandSetCount + 1][PollCommandCount];

constexpr int ModeCount = 11;
extern const QString ModeNames[ModeCount];
// Whether a text is one of ModeNames (exact). Anything else would be sent as
// the command set's fallback mode byte, so callers skip it.
bool IsModeName(const QString &mode);
