#pragma once

#include "SignalBand.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <random>

// The protocol side of the radio emulator: a Yaesu FT-817, FT-847, FT-857 or
// FT-897 as seen through its CAT port. Five-byte commands go in, the radio's
// reply bytes come out, with the radio's state in between and optional faults.
// No I/O here, so tests can drive it in-process.
class RigEmulator
{
public:
    enum class Model { FT817, FT847, FT857, FT897 };

    struct Vfo
    {
        qint32 frequency = 14250000; // hertz; the radio keeps 10 Hz steps
        quint8 mode = 0x01;          // CAT mode byte (0x01 USB)
    };

    struct State
    {
        Vfo vfoA;
        Vfo vfoB;
        bool onVfoB = false;   // FT-817/857/897: VFO B is the current one
        Vfo satRx;             // FT-847 satellite receive VFO
        Vfo satTx;             // FT-847 satellite transmit VFO
        bool satMode = false;  // FT-847
        bool catOn = false;    // FT-847 ignores everything until CAT on
        bool ptt = false;
        bool split = false;
        bool locked = false;
        bool clarifier = false;
        int txTone = 0;        // tenths of a hertz (FT-847: the radio's tone code)
        int rxTone = 0;
        quint8 toneMode = 0x8A;
        int sMeter = 0;        // 0..15 (FT-847 0..31)
        bool squelchOpen = false;
        bool sMeterNoise = false;
        int power = 10;        // transmit power meter, 0..15 (FT-847 0..31)
        int swr = 0;           // FT-817 transmit metering, 0..15
        int alc = 0;
        // What the radio's DIG mode is set to in its menu (the CAT mode byte
        // only says DIG); Hamlib reads it from the EEPROM.
        enum class DigMode { Rtty, PskL, PskU, UserL, UserU };
        DigMode digMode = DigMode::PskU;
    };

    struct Faults
    {
        bool silence = false;  // no answer at all, commands are lost
        int shortBy = 0;       // replies lose this many bytes at the end
        int extra = 0;         // replies carry this many extra bytes
        // The reply stream runs this many bytes late. Alone it is a one-shot
        // fault: that many stray bytes go out ahead of the next reply, and the
        // line stays out of step until the host drains it. With shiftUntil the
        // radio itself holds the bytes back until then, whatever the host does.
        int shift = 0;
        std::chrono::steady_clock::time_point shiftUntil{};
        int driftReads = 0;    // the next N frequency reads each find the dial moved
        int slowMs = 0;        // extra turnaround before replying
        bool noAck = false;    // set commands are not acknowledged
    };

    explicit RigEmulator(Model model, quint32 seed = 1);

    static bool modelFromName(const QString &name, Model *model);
    static QString modelName(Model model);
    Model model() const { return model_; }

    // Feeds bytes received on the line; returns the reply bytes of every
    // command that became complete.
    QByteArray receive(const QByteArray &bytes);
    // One five-byte command, faults applied.
    QByteArray command(const QByteArray &five);

    // One line of the control channel ("set freq 145500000", "fault shift 1",
    // "status"). Returns the answer line, which starts with "ok" or "error".
    QString control(const QString &line, bool *quit = nullptr);
    QString statusLine() const;

    // Line timing: 11 bits a byte at the set speed.
    int speed() const { return speed_; }
    void setSpeed(int speed) { speed_ = speed > 0 ? speed : 4800; }
    qint64 byteTimeUs() const { return 11LL * 1000000 / speed_; }
    // Time between the command's last byte and the reply's first.
    int turnaroundMs() const { return delayMs_ + faults_.slowMs; }
    void setDelayMs(int ms) { delayMs_ = qMax(0, ms); }

    State &state() { return state_; }
    const State &state() const { return state_; }
    Faults &faults() { return faults_; }
    int commandsReceived() const { return commands_; }
    QByteArray lastCommand() const { return last_; }

    // The current VFO of the frequency read (FT-847: the main VFO).
    Vfo &currentVfo();

private:
    QByteArray answer(const QByteArray &five);
    QByteArray ack(bool accepted) const;
    QByteArray frequencyReply(Vfo &vfo);
    // The byte at an EEPROM address, as far as the state says (else 0).
    quint8 eepromByte(int address) const;
    quint8 receiveStatus();
    quint8 transmitStatus() const;
    QByteArray applyFaults(QByteArray reply);

    Model model_;
    State state_;
    Faults faults_;
    QByteArray pending_;
    QByteArray carry_;
    QByteArray last_;
    int commands_ = 0;
    int speed_ = 4800;
    int delayMs_ = 5;
    std::mt19937 random_;
    SignalBand band_; // signals on the band and the squelch level ("signal ..." lines)
};

// Packed BCD helpers shared with the tests.
bool bcdToFrequency(const QByteArray &fourBytes, qint32 *frequency);
QByteArray frequencyToBcd(qint32 frequency);
