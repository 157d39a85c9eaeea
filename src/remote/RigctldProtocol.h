#pragma once

// The network protocol of Hamlib's rigctld ("Hamlib NET rigctl", model 2), as
// WSJT-X, fldigi, JS8Call, Gpredict and loggers speak it: one command a line,
// short ("f", "F 7074000") or long ("\get_freq"), optionally led by a
// punctuation character that asks for the extended response form. Window-free:
// what the radio is doing comes from a host, and what a client asks to change
// goes back to it.

#include "cat/TcvrTypes.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// Hamlib's return codes as "RPRT x" carries them.
namespace RigctldCode {
constexpr int Ok = 0;
constexpr int InvalidArgument = -1; // RIG_EINVAL
constexpr int IoError = -6;         // RIG_EIO: the radio is off-line
constexpr int NotAvailable = -11;   // RIG_ENAVAIL: not implemented here
} // namespace RigctldCode

// What the window knows about the radio from its polling, at the moment a
// request comes in. Nothing here costs a transfer on the serial line.
struct TRigctldRadio
{
    bool Connected = false;
    TTcvrType Type = TcvrTypes[0];
    qint32 Frequency = 0;
    QString Mode;          // one of ModeNames; empty while no mode key is down
    bool Ptt = false;
    int Split = 0;         // 0 off, 1 on, -1 not known (after a connect, command set 1)
    QChar Vfo = u'A';      // 'A', 'B' ('M': memory, command set 2)
    int MeterPercent = 0;  // the S-meter while receiving, 0..100
};

// The endpoint's view of the main window. Sets are only asked for while the
// radio is connected and with values the radio takes; they go to the radio the
// way the window's own keys send them, and the window follows at once.
class TRigctldHost
{
public:
    virtual ~TRigctldHost() = default;
    virtual TRigctldRadio RigctldRadio() const = 0;
    virtual void RigctldTune(qint32 frequency) = 0;
    virtual void RigctldSetMode(const QString &mode) = 0; // one of ModeNames
    virtual void RigctldSetPtt(bool on) = 0;
    virtual void RigctldToggleVfo() = 0;
    virtual void RigctldSetSplit(bool on) = 0;
};

// One request line taken apart.
struct TRigctldRequest
{
    // Null for the default protocol; the record separator of the extended
    // form otherwise ('\n' for a leading '+').
    QChar Separator;
    QString Command;     // long name ("get_freq"); for an unknown command the word given
    QStringList Arguments;
    bool Known = false;  // a command this endpoint carries out
};
TRigctldRequest ParseRigctldLine(const QByteArray &line);

struct TRigctldAnswer
{
    QByteArray Reply;    // sent back as it is; empty for an empty line
    bool Quit = false;   // the client said goodbye: close after the reply
    QString LogText;     // worth a line in the log; empty when not
};

class TRigctldProtocol
{
public:
    explicit TRigctldProtocol(TRigctldHost &host);

    // One line without its line end.
    TRigctldAnswer Answer(const QByteArray &line);

    // The reply to "\dump_state" for a model: what Hamlib's NET rigctl backend
    // reads when it opens (protocol version 1, ended by "done").
    static QByteArray DumpState(const TTcvrType &type);
    // Hamlib's mode name for one of ModeNames ("CW-R" -> "CWR", "DIG" -> "PKTUSB").
    static QString HamlibMode(const QString &mode);
    // The radio's mode for a Hamlib mode name; empty when the model has none
    // that fits.
    static QString RadioMode(const QString &hamlibMode, const TTcvrType &type);
    // The passband reported for one of ModeNames (the radios have no filter command).
    static int Passband(const QString &mode);
    // The S-meter in dB relative to S9 (S0 is -54, 6 dB an S-unit up to S9,
    // then 10 dB a step), and in the radio's own steps.
    static int StrengthDb(int meterPercent);
    static int RawStrength(int meterPercent, const TTcvrType &type);
    // Whether a frequency lies in one of the model's receive ranges.
    static bool InRange(qint64 frequency, const TTcvrType &type);

private:
    struct Value
    {
        QString label;
        QString text;
    };
    QByteArray format(const TRigctldRequest &request, int code, const QList<Value> &values) const;
    int setFrequency(const TRigctldRequest &request);
    int setMode(const TRigctldRequest &request);
    int setVfo(const TRigctldRequest &request);
    int setPtt(const TRigctldRequest &request);
    int setSplit(const TRigctldRequest &request);

    TRigctldHost &host_;
};

// Splits what a client sent into lines. Bytes that no command contains (a
// control character other than tab and carriage return, or anything outside
// ASCII) and a line longer than the limit make the client a bad one.
class TRigctldLineReader
{
public:
    enum Result { Lines, Garbage, TooLong };
    static constexpr int MaxLineLength = 1024;

    // Appends the bytes and moves every complete line (line end removed) to
    // lines. Garbage and TooLong leave the state undefined: drop the client.
    Result Feed(const QByteArray &bytes, QList<QByteArray> *lines);

private:
    QByteArray pending_;
};
