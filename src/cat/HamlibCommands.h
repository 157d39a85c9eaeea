#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

#include <optional>

// Command set 3: the text commands that the Hamlib transport carries out
// through librig, modelled on rigctl's. The engine and the radio operations
// speak it like the radios' own command sets; only the transport knows
// librig. Set commands:
//   "F 14074000"     frequency of the current VFO in hertz
//   "M PKTUSB 0"     mode by Hamlib's name, with the radio's normal passband
//   "T 1", "T 0"     PTT on, off
//   "G TOGGLE"       VFO A/B
//   "G CPY"          the other VFO takes the current one's frequency and mode
//   "S 1", "S 0"     split on (transmitting on the other VFO), off
//   "I 14076000"     frequency of the transmitting VFO in split
//   "X USB 0"        mode of the transmitting VFO in split
//   "CTCSS 885 0"    transmit and receive tone in tenths of a hertz, 0 none
// Reads, several in one transfer separated by ";", answered field by field
// in the same order; a field stays empty when the radio cannot tell:
//   "f" frequency in hertz     "m" mode (Hamlib's name)   "v" VFO ("VFOA")
//   "s" split (0 or 1)         "t" PTT (0 or 1)
//   "l STRENGTH" signal strength in dB over S9
//   "dcd" squelch open (1) or closed (0)
namespace Set3 {

QString Frequency(qint64 hertz);
// Empty when Hamlib has no mode for the name.
QString Mode(const QString &mode);
QString Ptt(bool on);
QString VfoToggle();
QString VfoCopy();
QString Split(bool on);
QString SplitFrequency(qint64 hertz);
QString SplitMode(const QString &mode);
QString Tones(int txTone, int rxTone);

// Hamlib's name of one of ModeNames ("DIG" is "PKTUSB"); empty for none.
QString HamlibModeName(const QString &mode);
// The mode of ModeNames for a Hamlib mode name; empty when there is none
// ("PKTLSB" is "DIG" too, "FMN" is "FM").
QString ModeFromHamlib(const QString &name);

// What a reply to a read says; what it does not carry stays unset.
struct TReading
{
    std::optional<qint32> Frequency;
    QString Mode;            // of ModeNames; empty: not told or unknown
    QChar Vfo;               // 'A', 'B', 'M' (memory); null: not told
    std::optional<bool> Split;
    std::optional<bool> Ptt;
    std::optional<int> MeterPercent;
    std::optional<bool> SquelchOpen;
};
// The reply's fields read by the reads of the command, one by one.
TReading DecodeReply(const QString &command, const QString &reply);
// Whether a reply to a read has one field per read and a frequency that is
// a whole number where one was read.
bool IsReplyWellFormed(const QString &command, const QString &reply);

// Signal strength in dB over S9 on the meter's scale (the five-byte
// radios' S0 to S9 and then 10 dB steps up to S9+60), in per cent.
int MeterPercentFromStrength(int dbOverS9);

} // namespace Set3
