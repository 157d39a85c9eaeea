#pragma once

#include "cat/TcvrTypes.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QSerialPort;
class TCatLog;

// The serial dialog's choices that the link needs, read when connecting.
struct TSerialSettings
{
    QString Port;      // a bare name ("ttyUSB0") opens under /dev, a path as given
    int TcvrIndex = 0; // row of TcvrTypes
    QString SpeedText; // text of the speed list: "4800", "9600", "38400", "57600"
    int Dtr = 0;       // 0 Disabled, 1 Enabled, 2 Hand-shake
    int Rts = 0;       // 0 Disabled, 1 Enabled, 2 Hand-shake, 3 Toggle
    // A radio driven through Hamlib: its model number (0: one of TcvrTypes
    // on this link). Port is then its device, or HOST:PORT of a rigctld.
    int HamlibModel = 0;
};

// Result codes of one transfer.
enum TransferResult { ReplyRead = 1, NothingRead = 2, ShortRead = 3 };

struct TTransfer
{
    int Result = NothingRead;
    int Count = 0;  // bytes read
    QString Reply;  // hexadecimal text for hex-coded models
    // Bytes that were already waiting when the command went out and were
    // thrown away: the line was out of step (a late, repeated or shifted reply).
    int Discarded = 0;
    // The simulated transceiver refused to transmit (the broadcast band).
    bool ReleasePtt = false;
};

// The line's time-outs in milliseconds: a read waits at most PerByte per byte
// requested plus TotalConstant, and stops early after ReadInterval of silence
// once a byte has come; a write waits PerByte per byte plus TotalConstant.
struct TLineTimeouts
{
    int ReadInterval = 50;
    int PerByte = 10;
    int TotalConstant = 200;
};

// The link to the transceiver: one serial port, opened and driven
// synchronously, always on one thread: the serial transport's link thread
// (tests drive it directly). Every step is logged through the CAT log and
// opening failures also go to the status line.
class TCatLink
{
public:
    using StatusSink = std::function<void(const QString &text, quint32 bgrColour, bool bold)>;

    TCatLink(TCatLog &log, StatusSink status);
    ~TCatLink();
    TCatLink(const TCatLink &) = delete;
    TCatLink &operator=(const TCatLink &) = delete;

    bool OpenComPort(const TSerialSettings &settings);
    void CloseComPort();
    // The port is open (IsConnected of the engine).
    bool IsOpen() const;

    // Writes one command and reads its reply. expectedLength equal to the
    // model's ProbeReplyLength reads whatever arrives within the time-outs
    // (result 1 even when nothing came); 0 reads nothing.
    TTransfer SendCommand(const QString &command, int expectedLength, int capacity = 255);
    // Reads and discards what the radio still sends, then empties both queues.
    void Drain();

    // The model the link talks to: the row of the settings at the last open
    // (the first row before any open). SetTcvrType replaces it, for a model
    // outside the table such as a command-set 2 radio.
    const TTcvrType &TcvrType() const { return type_; }
    void SetTcvrType(const TTcvrType &type) { type_ = type; }
    const TSerialSettings &Settings() const { return settings_; }

    // Called after the link closed the port itself because the device vanished.
    void SetPortLostHandler(std::function<void()> handler);
    // Shorter time-outs let tests of silent or garbled lines run quickly.
    void SetTimeouts(const TLineTimeouts &timeouts) { timeouts_ = timeouts; }
    const TLineTimeouts &Timeouts() const { return timeouts_; }

    // 4800, 9600, 38400 or 57600 by which of these texts the speed text begins
    // with; 4800 (every model's default) when none.
    static qint32 LineSpeed(const QString &speedText);
    static QString DevicePath(const QString &port);
    // An operating-system error text without trailing blanks, control
    // characters and full stops.
    static QString SystemErrorText(const QString &text);
    // What the operator can do when opening a device failed with the system's
    // error text: one line for a refused permission (the user is not in the
    // group that owns serial ports); empty when there is nothing to suggest.
    static QString OpenFailureAdvice(const QString &errorText, const QString &device);

private:
    QByteArray readWithTimeouts(int count, bool &failed);
    // Reads, without waiting, whatever is already waiting on the line.
    int discardWaitingBytes();
    bool writeBytes(const QByteArray &bytes);
    void portVanishedIfGone();
    void log(const QString &text);

    TCatLog &log_;
    StatusSink status_;
    std::unique_ptr<QSerialPort> port_;
    TSerialSettings settings_;
    TTcvrType type_ = TcvrTypes[0];
    bool rtsToggle_ = false;
    std::function<void()> portLost_;
    TLineTimeouts timeouts_;
};
