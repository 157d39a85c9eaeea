#pragma once

#include "cat/CatTransport.h"

#include <functional>

class TCatLog;

// What the simulated transceiver reads from the program: the frequency and
// mode the window shows, the transmit state and the meter.
struct TSimulatorView
{
    qint32 ScaleFrequency = 0;
    QString CurrentMode;
    bool PttDown = false;
    int MeterValue = 0; // what the meter shows now (0 to 100)
};

// The simulated transceiver's replies: the radio the window shows, with a
// band that is mostly quiet and now and then a signal.
class TRadioSimulator
{
public:
    // Returns a whole number from 0 to n - 1.
    using RandomSource = std::function<int(int n)>;

    TRadioSimulator();
    void SetRandomSource(RandomSource random) { random_ = std::move(random); }

    // The reply to one command (Result always 1); ReleasePtt when the radio
    // refused to transmit (the broadcast band).
    TTransfer Answer(const QString &command, const TSimulatorView &view, const TTcvrType &type, int capacity = 255);
    // The simulated radio's turnaround: 20 to 49 ms.
    int Delay();

private:
    int randomLevel(int top);
    RandomSource random_;
};

// The simulated connection: the real port is opened, drained and closed as
// usual (and direct transfers use it), but the poll cycle's transfers are
// answered by the simulator after its turnaround. Without a port it stands
// alone: opening always succeeds.
class TSimulatedTransport : public TCatTransport
{
    Q_OBJECT
public:
    using ViewSource = std::function<TSimulatorView()>;

    // port may be null; it is not owned.
    TSimulatedTransport(TCatLog &log, TCatTransport *port, QObject *parent = nullptr);

    void SetViewSource(ViewSource view) { view_ = std::move(view); }
    TRadioSimulator &Simulator() { return simulator_; }
    // How long the answer is held back (tests pass one that returns 0).
    void SetDelaySource(std::function<int()> delay) { delay_ = std::move(delay); }

    void Open(const TSerialSettings &settings, const TTcvrType &type) override;
    void Close() override;
    bool IsOpen() const override;
    void SetTcvrType(const TTcvrType &type) override;
    void Transfer(const QString &command, int expectedLength, TransferDone done) override;
    void Drain() override;
    void RunDirect(DirectJob job, std::function<void()> done = {}) override;
    bool Idle() const override;

private:
    TCatLog &log_;
    TCatTransport *port_;
    TRadioSimulator simulator_;
    ViewSource view_;
    std::function<int()> delay_;
    TTcvrType type_ = TcvrTypes[0];
    int session_ = 0;
    int waiting_ = 0;
    bool open_ = false;
};
