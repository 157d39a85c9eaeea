#pragma once

// The network protocol of Hamlib's rigctld ("Hamlib NET rigctl", model 2), as
// WSJT-X, fldigi, JS8Call, Gpredict and loggers speak it: commands short
// ("f", "F 7074000") or long ("\get_freq"), several to a line ("fv"), each
// optionally led by a punctuation character that asks for the extended
// response form. Window-free: what the radio is doing comes from a host, and
// what a client asks to change goes back to it.

#include "cat/RadioState.h"
#include "cat/TcvrTypes.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Hamlib's return codes as "RPRT x" carries them.
namespace RigctldCode {
constexpr int Ok = 0;
constexpr int InvalidArgument = -1; // RIG_EINVAL
constexpr int IoError = -6;         // RIG_EIO: the radio is off-line
constexpr int Rejected = -9;        // RIG_ERJCTED: not now (a transmit meter while receiving)
constexpr int NotAvailable = -11;   // RIG_ENAVAIL: not implemented here
} // namespace RigctldCode

// What the program knows about the radio at the moment a request is
// answered. Nothing here costs a transfer on the serial line.
struct TRigctldRadio
{
    bool Connected = false;
    TTcvrType Type = TcvrTypes[0];
    qint32 Frequency = 0;
    QString Mode;          // one of ModeNames; empty while not known
    bool Ptt = false;
    int Split = 0;         // 0 off, 1 on, -1 not known (after a connect, command set 1)
    QChar Vfo = u'A';      // 'A', 'B' ('M': memory, command set 2)
    int MeterPercent = 0;  // the S-meter while receiving, 0..100
    qint32 SplitFrequency = 0; // the VFO that transmits in split; 0 while not known
    QString SplitMode;
    TTransmitReading Transmit; // the meters of a transmission
};

// What an answer needs read from the radio first.
enum class TRigctldRead { State, Vfo, SplitVfo, TransmitMeters };

// The endpoint's view of the program. Sets are only asked for while the radio
// is connected and with values the radio takes; they go to the radio in the
// order they come, the way the window's own keys send them.
class TRigctldHost
{
public:
    virtual ~TRigctldHost() = default;
    virtual TRigctldRadio RigctldRadio() const = 0;
    // Reads what is asked where the radio can tell it, then calls done once
    // the radio state shows what the radio holds after every change asked so
    // far: at once when nothing is pending, and also when the link goes away.
    virtual void RigctldRefresh(TRigctldRead what, std::function<void()> done) = 0;
    virtual void RigctldTune(qint32 frequency) = 0;
    virtual void RigctldSetMode(const QString &mode) = 0; // one of ModeNames
    virtual void RigctldSetPtt(bool on) = 0;
    virtual void RigctldToggleVfo() = 0;
    virtual void RigctldCopyVfo() = 0; // A=B
    virtual void RigctldSetSplit(bool on) = 0;
    // The VFO that transmits in split; false when the model cannot set it.
    virtual bool RigctldSetSplitFrequency(qint32 frequency) = 0;
    virtual bool RigctldSetSplitMode(const QString &mode) = 0;
};

// One command of a request line.
struct TRigctldRequest
{
    // Null for the default protocol; the record separator of the extended
    // form otherwise ('\n' for a leading '+').
    QChar Separator;
    QString Command;     // long name ("get_freq"); for an unknown command the word given
    QStringList Arguments;
    bool Known = false;  // a command this endpoint carries out
};
// The commands of one line in their order: each takes as many arguments as
// it has, the next begins after them ("fv", "F 7074000 f"); an unknown
// command takes the rest of the line, and '#' starts a comment.
QList<TRigctldRequest> ParseRigctldLine(const QByteArray &line);

struct TRigctldAnswer
{
    QByteArray Reply;    // sent back as it is
    bool Quit = false;   // the client said goodbye: close after the reply
    QString LogText;     // worth a line in the log; empty when not
};

class TRigctldProtocol
{
public:
    using Reply = std::function<void(const TRigctldAnswer &answer)>;

    explicit TRigctldProtocol(TRigctldHost &host);

    // Answers one command: at once, or when what it needs has been read from
    // the radio. reply is never called once the protocol is gone.
    void Answer(const TRigctldRequest &request, const Reply &reply);

    // The reply to "\dump_state" for a model: what Hamlib's NET rigctl backend
    // reads when it opens (protocol version 1, ended by "done").
    static QByteArray DumpState(const TTcvrType &type);
    // The reply to "\dump_caps": the capability lines clients look for.
    static QByteArray DumpCaps(const TTcvrType &type);
    // Hamlib's mode name for one of ModeNames ("CW-R" -> "CWR", "DIG" -> "PKTUSB").
    static QString HamlibMode(const QString &mode);
    // The radio's mode for a Hamlib mode name; empty when the model has none
    // that fits.
    static QString RadioMode(const QString &hamlibMode, const TTcvrType &type);
    // The passband of one of ModeNames when the client set none (the radios
    // have no filter command).
    static int Passband(const QString &mode);
    // The S-meter in dB relative to S9 (S0 is -54, 6 dB an S-unit up to S9,
    // then 10 dB a step), and in the radio's own steps.
    static int StrengthDb(int meterPercent);
    static int RawStrength(int meterPercent, const TTcvrType &type);
    // Whether a frequency lies in one of the model's receive ranges.
    static bool InRange(qint64 frequency, const TTcvrType &type);
    // A frequency as a client wrote it, rounded to the radio's tuning step
    // (half a step up, as Hamlib's Yaesu backends do); -1 when it is no
    // frequency the model receives.
    static qint64 RadioFrequency(const QString &text, const TTcvrType &type);
    // Hamlib's bits of the levels the endpoint reads for a model.
    static quint64 LevelBits(const TTcvrType &type);
    static quint64 LevelBit(const QString &name);

private:
    struct Value
    {
        QString label;
        QString text;
    };
    // What the request needs read from the radio first; false for none.
    bool readNeeded(const TRigctldRequest &request, TRigctldRead *what) const;
    TRigctldAnswer answerNow(const TRigctldRequest &request);
    TRigctldAnswer answerRead(const TRigctldRequest &request, const TRigctldRadio &radio);
    TRigctldAnswer answerLevel(const TRigctldRequest &request, const TRigctldRadio &radio);
    TRigctldAnswer answerVfoInfo(const TRigctldRequest &request, const TRigctldRadio &radio);
    QByteArray format(const TRigctldRequest &request, int code, const QList<Value> &values) const;
    // A whole text (a dump) in the request's response form.
    QByteArray formatText(const TRigctldRequest &request, const QByteArray &text, bool status) const;
    int setFrequency(const TRigctldRequest &request, const TRigctldRadio &radio);
    int setMode(const TRigctldRequest &request, const TRigctldRadio &radio);
    int setVfo(const TRigctldRequest &request, const TRigctldRadio &radio);
    int setPtt(const TRigctldRequest &request);
    int setSplit(const TRigctldRequest &request, const TRigctldRadio &radio);
    int setSplitFrequency(const QString &text, const TRigctldRadio &radio);
    int setSplitMode(const QStringList &arguments, const TRigctldRadio &radio);
    int vfoOperation(const TRigctldRequest &request, const TRigctldRadio &radio);
    // The passband a client set with the mode, or the mode's own.
    int passbandOf(const QString &mode, bool split) const;
    // The VFO that transmits in split, as the client names it.
    QChar transmitVfo(const TRigctldRadio &radio) const;

    TRigctldHost &host_;
    // Answers still on their way hold a weak copy: they are dropped once the
    // protocol is gone.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
    // The passbands clients set with the modes (the radios have no filter
    // command): answered back while the radio stays in that mode.
    struct SetPassband
    {
        QString mode;
        int passband = 0;
    };
    SetPassband passband_;
    SetPassband splitPassband_;
    QChar splitVfo_ = u'B'; // the transmit VFO clients named last (VFO B until one does)
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
