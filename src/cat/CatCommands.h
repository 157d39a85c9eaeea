#pragma once

#include "cat/RadioState.h"
#include "cat/TcvrTypes.h"

#include <QByteArray>
#include <QChar>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// One command waiting in the command queue. The queue owns it.
struct TTcvrCommand
{
    QString Command; // what goes to the port (hexadecimal text for command set 1)
    QString Code;    // short name of the operation; equal codes replace each other
    // A change of VFO or split, a step of a sequence over the other VFO, or
    // a reading: a newer command never takes the place of one queued before
    // it, since it would then reach another VFO or undo the order.
    bool Barrier = false;
    // A reading among the commands: the length of its reply and who takes
    // the reply (empty when none came or the command was dropped). The poll
    // cycle's decoding never sees it.
    int ReplyLength = 0;
    std::function<void(const QString &reply)> TakeReply;
};
using TTcvrCommands = std::vector<std::unique_ptr<TTcvrCommand>>;

// Texts longer than 255 characters are cut, like every field of the queue.
std::unique_ptr<TTcvrCommand> MakeCommand(const QString &command, const QString &code);

// Command set 3 (the Hamlib transport's) is built in HamlibCommands.h.
// Set frequency on the current VFO. Command set 2 names the VFO letter.
std::unique_ptr<TTcvrCommand> MakeFrequencyCommand(qint32 frequency, const TTcvrType &type, QChar currentVfo);
std::unique_ptr<TTcvrCommand> MakeModeCommand(const QString &mode, const TTcvrType &type);

std::unique_ptr<TTcvrCommand> MakeTransmitCommand(bool on, const TTcvrType &type);
// VFO A/B toggle. The FT-847 has no toggle: null (its swap is a direct transfer).
std::unique_ptr<TTcvrCommand> MakeVfoToggleCommand(const TTcvrType &type, QChar currentVfo);
// Split on/off; the FT-847 uses its satellite mode instead.
std::unique_ptr<TTcvrCommand> MakeSplitCommand(bool on, const TTcvrType &type, QChar currentVfo);
// Command sets 2 and 3: write the frequency into the other VFO (A=B). Null for set 1,
// whose A=B is a sequence of toggle, mode, frequency, toggle.
std::unique_ptr<TTcvrCommand> MakeCopyToOtherVfoCommand(qint32 frequency, const TTcvrType &type, QChar currentVfo);
// The VFO that transmits in split: the other VFO of the FT-817, FT-857 and
// FT-897 (over to it, the command, and back, as one sequence), the FT-847's
// satellite transmit VFO, the other VFO of command set 2, Hamlib's split
// VFO for set 3. Empty where the model has no way (a mode on command set 2).
TTcvrCommands MakeSplitFrequencyCommands(qint32 frequency, const TTcvrType &type, QChar currentVfo);
TTcvrCommands MakeSplitModeCommands(const QString &mode, const TTcvrType &type);
// Reads the transmit VFO's frequency and mode; the reply is the one of the
// frequency-and-mode poll. Command set 1 only (the others' is the radio state).
TTcvrCommands MakeSplitReadCommands(const TTcvrType &type, std::function<void(const QString &reply)> takeReply);
// Command set 1: the two EEPROM bytes of the even address at or below
// address; the byte asked for is EepromByte of the reply.
std::unique_ptr<TTcvrCommand> MakeEepromReadCommand(int address, std::function<void(const QString &reply)> takeReply);
int EepromByte(const QString &reply, int address); // -1 when the reply is not two bytes
// The FT-817's metering of a transmission: two bytes, power and SWR, then
// modulation and ALC, a nibble each (one byte while receiving).
std::unique_ptr<TTcvrCommand> MakeTransmitMeteringCommand(std::function<void(const QString &reply)> takeReply);
// Its reply in the radio's meter scales: power 0 to 8 segments, ALC 0 to 5,
// SWR 0 to 15 (1:1 to 5:1); nothing when the reply is not two bytes.
std::optional<TTransmitReading> DecodeTransmitMetering(const QString &reply);
// CTCSS, command sets 1 and 3 (null otherwise; set 3 sends both tones in the
// frequency command and has no tone-mode command). Tones in tenths of a hertz, 0 = none.
// The FT-817/857/897 keep one tone: a single tone goes into both fields. The
// FT-847 takes one code from its own table; null when the tone is not in it.
std::unique_ptr<TTcvrCommand> MakeToneFrequencyCommand(int txTone, int rxTone, const TTcvrType &type);
std::unique_ptr<TTcvrCommand> MakeToneModeCommand(int rxTone, int txTone, const TTcvrType &type);
std::unique_ptr<TTcvrCommand> MakeTonesOffCommand(const TTcvrType &type);
// The FT-847's code of a standard CTCSS tone (tenths of a hertz), -1 for none.
int Ft847ToneCode(int tone);

// Command set 1 mode byte as two hexadecimal digits; the fallback for a mode
// the radios have no byte for (FSK and FSK-R go out as CW).
QString Set1ModeByte(const QString &mode, const QString &fallback = QStringLiteral("02"));
// Command set 2 mode digit, 0 when the mode has none.
int Set2ModeDigit(const QString &mode);

// FT-847 direct transfers (never queued).
QString Ft847ReadMainVfoText();  // "0000000003"
QString Ft847ReadSubVfoText();   // "0000000013"
// A set-frequency command built from a read reply's eight frequency digits and
// the opcode "01", "11" or "21". Empty when the reply is not ten hexadecimal
// digits, so that a short or garbled read never becomes a bogus set command.
QString Ft847SetFrequencyText(const QString &readReply, const QString &opcode);
// A set-mode command from a read reply's mode byte and "07", "17" or "27".
QString Ft847SetModeText(const QString &readReply, const QString &opcode);

// Each pair of characters read as a hexadecimal number (0 when not valid);
// a final odd character is ignored.
QByteArray HexToBytes(const QString &hex);
// Two upper-case hexadecimal digits per byte, for the first count bytes.
QString BytesToHex(const QByteArray &bytes, int count);
QString BytesToHex(const QByteArray &bytes);

// What a reply says. Fields that a reply does not carry keep their defaults.
struct TDecodedReply
{
    enum Kind { Nothing, FrequencyAndMode, ReceiveStatus, TransmitStatus, Information, SMeter };
    Kind kind = Nothing;
    qint32 frequency = -1; // -1 when the digits are not a number
    QString mode;          // empty: leave the current mode unchanged
    bool squelchClosed = false;
    bool transmitting = false;
    int percent = 0;       // S-meter or power meter
    int rawValue = 0;      // status byte (set 1)
    QChar vfo;             // set 2 "IF": 'A', 'B', 'M' (null when unknown)
};

// Command set 1: the decoding is chosen by the opcode of the sent command
// (its characters 9 and 10).
TDecodedReply DecodeSet1Reply(const QString &command, const QString &reply, const TTcvrType &type);
// Command set 2: by the first two characters of the reply.
TDecodedReply DecodeSet2Reply(const QString &reply);
// Frequency of a set-1 frequency reply ("0142500082" -> 14250000), -1 when
// characters 1 to 8 are not decimal digits.
qint32 Set1ReplyFrequency(const QString &reply);
// The opcode of a set-1 command text (characters 9 and 10), upper-case.
QString Set1Opcode(const QString &command);

// Whether a reply to the frequency-and-mode poll is well formed: set 1 wants
// eight decimal digits of a frequency from lowest to highest hertz and a mode
// byte whose high digit is 0 or 8; set 2 an "IF" reply whose only ";" ends it.
// A reply that passes can still come from a line out of step; the engine
// catches that by the bytes left over on the line.
bool IsSet1FrequencyReplyWellFormed(const QString &reply, qint32 lowestHz, qint32 highestHz);
bool IsSet2InformationReplyWellFormed(const QString &reply);

// A receive or transmit status byte's meter field (the low four bits, five on
// the FT-847) in per cent of full scale.
int MeterPercentFromStatus(quint8 status, const TTcvrType &type);
// A four-digit ASCII meter reply, 0..9999, in per cent.
int MeterPercentFromDigits(int reading);
