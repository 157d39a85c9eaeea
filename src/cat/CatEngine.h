#pragma once

#include "cat/CatEngineHost.h"
#include "cat/CatLog.h"
#include "cat/CatTransport.h"
#include "cat/CommandQueue.h"
#include "cat/RadioState.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class THamlibTransport;
class TSerialTransport;
class TSimulatedTransport;

// The choices of the serial dialog and the preferences that a connect uses.
struct TLinkSettings
{
    TSerialSettings Serial;
    bool Simulate = false;      // the poll cycle talks to the simulated transceiver
    bool SaveLog = false;       // a log file on the desktop while connected
    TLogHeader LogHeader;
    bool SyncToRadio = false;   // "PC -> TCVR": the window's mode and frequency go to the radio
};

// The connection and polling engine: keeps the radio state, and through it
// the window, in step with the transceiver. MainTmr sends one command per
// tick (a queued command first, else the next poll) and the tick's work goes
// on when the reply comes back from the link's thread; the next tick follows
// 20 ms later. Connect and Disconnect run the connect and disconnect
// sequences; an integrity check must pass before the connection is
// announced, and the watchdog retries ten times before it gives up. The
// engine never waits for the radio: everything it asks of the port returns at
// once.
class TCatEngine : public QObject
{
    Q_OBJECT
public:
    // port: the transport to the radio; null makes the serial port's.
    TCatEngine(TCatEngineHost &host, TCatLog &log, std::unique_ptr<TCatTransport> port = nullptr,
               QObject *parent = nullptr);
    ~TCatEngine() override;

    TRadioState &State() { return state_; }
    TCatLog &Log() { return log_; }
    const TRadioState &State() const { return state_; }
    bool IsConnected() const;
    // The model chosen in the serial dialog (or the one a test put in place).
    const TTcvrType &GetTcvrType() const;
    void Connect(const TLinkSettings &settings);
    void Disconnect();
    // The program is going: the timers stop and nothing waits to be sent.
    void Stop();
    void RestartCommunication(bool purge);
    void InitialSync();
    void QueueCommand(std::unique_ptr<TTcvrCommand> command);
    // A sequence that nothing may come between (no poll, no other command).
    void QueueCommands(TTcvrCommands commands);
    void QueueReplacingCommand(std::unique_ptr<TTcvrCommand> command);
    // Reads the VFO in use and split from the radio's memory where it keeps
    // them (the FT-817, FT-857 and FT-897); the radio state follows. done
    // runs once it has (or the read was dropped); where the memory holds no
    // VFO, once a fresh reading has come (the poll reports the VFO there).
    void QueueVfoRead(std::function<void()> done = {});
    // done runs once a frequency reading that was taken after every command
    // queued so far has reached the radio state: at once when nothing was
    // queued since the last one, and also when the link goes off-line.
    void WhenFresh(std::function<void()> done);
    // A tune request from another thread, carried out at the next tick.
    void PlaceTuneRequest(const TTuneRequest &request) { PendingTune.Place(request); }
    // A sequence of direct transfers on the real port (never simulated),
    // after whatever was asked before.
    void RunDirect(TCatTransport::DirectJob job, std::function<void()> done = {});
    // Goes out before everything queued, right after the transfer in flight.
    void SendAhead(std::unique_ptr<TTcvrCommand> command);

    // Transmit-off ahead of everything queued, with any waiting transmit-on
    // dropped and nobody holding the transmitter any more; why goes to the
    // status line (red) and the log.
    void ReleasePtt(const QString &why);
    // The program is going: transmit-off goes out before anything else still
    // to be sent, and its acknowledgement is waited for, at most waitMs
    // (events go on meanwhile). False when the link is not open or no answer
    // came in time; the port still sends it before it closes.
    bool TransmitOffBeforeExit(int waitMs);
    // Transmitting this long without a break releases the PTT; 0: never.
    void SetTransmitTimeout(int minutes);

    void MainTmrTimer();
    void ConnectionWatchdogTmrTimer();
    // Disabled and enabled again: the watchdog's full interval starts anew.
    void RestartWatchdog();
    void DecodeReply(const QString &command, const QString &reply);
    void ApplyRadioFrequency(qint32 frequency);
    bool IsReplyPlausible(const QString &reply) const;

    // The scale belongs to the operator or the scanner: radio reports do not move it.
    void HoldTuning() { ++TuningBusy; }
    void ReleaseTuning() { TuningBusy = qMax(0, TuningBusy - 1); }

    // Nothing runs or waits: no transfer, open or direct job in flight.
    bool Idle() const;
    bool TransferInFlight() const { return inFlight_; }
    // Polling held (tests look at the queue): ticks send nothing.
    void HoldPolling(bool held) { pollingHeld_ = held; }

    // A model outside the table (a command-set 2 radio) for tests; nullopt
    // goes back to the dialog's choice.
    void SetTcvrTypeOverride(std::optional<TTcvrType> type);
    // Milliseconds of a steady clock; tests step their own.
    void SetClock(std::function<qint64()> clock);
    // Tests and benchmarks drive MainTmrTimer and the watchdog themselves.
    void SetManualTimers(bool manual);
    QTimer *MainTimer() { return &mainTmr_; }
    QTimer *WatchdogTimer() { return &watchdogTmr_; }
    bool WatchdogActive() const { return watchdogActive_; }
    int WatchdogInterval() const { return watchdogInterval_; }
    TSerialTransport *SerialPort() const;
    TSimulatedTransport &Simulated() const { return *simulated_; }
    // The Hamlib link, made at the first connect through Hamlib (null before).
    THamlibTransport *Hamlib() const { return hamlib_.get(); }
    // True, with a message on the status line and in the log, when the
    // model lacks the mode (its key is off): nothing is sent for it then.
    bool RefuseMissingMode(const QString &mode);
    // The words for a mode the radio lacks (the refusal, the mode key's hint).
    static QString MissingModeText(const QString &mode);

    // The status line while the link is closed.
    static const QString OfflineStatus;

    // Frequencies a radio report may move the scale to.
    static constexpr qint32 LowestRadioHz = 100000;
    static constexpr qint32 HighestRadioHz = 500000000;
    // Restarts for messed data in a row, without an integrity check passed in
    // between, after which the link gives up with E22.
    static constexpr int MaxMessedRestarts = 5;
    // How long a vanished port is waited for, and how often its return is tried.
    static constexpr qint64 PortReturnWaitMs = 60000;
    static constexpr qint64 PortReturnTryMs = 1000;
    static constexpr int MainTmrInterval = 20;
    static constexpr int LongestTransmitTimeout = 30; // minutes

    // --- state
    TCommandQueue CommandQueue;
    TPendingTune PendingTune;
    int PollIndex = 0;
    int IntegrityCountdown = 5;
    int IntegrityMismatches = 0;
    int MessedRestarts = 0;
    qint32 UnconfirmedFrequency = -1; // a jump reported once, read again before the scale follows
    QString LastIntegrityReply;
    bool ConnectAnnounced = false;
    int WatchdogRetries = 0;
    int AckLength = 10;
    QChar CurrentVfo = u'A';
    quint8 FreqReportCount = 0;
    int TuningBusy = 0;

signals:
    // A status-line text and its colour (blue-green-red).
    void StatusReport(const QString &text, quint32 bgrColour, bool bold);
    // "ConnectSuccess" and "Connected" for the settings store.
    void SettingReport(const QString &name, const QString &value);
    // The port opened (the display lights, the spectrograph may start), or
    // the link went off-line (edit, scan and spectrograph end).
    void LinkOpened();
    void LinkClosed();
    // The radio moved: the scale follows without telling it back.
    void ScaleFollows(qint32 frequency);
    // The radio's mode differs from the mode key: press it, sending nothing.
    void ModeReported(const QString &mode);
    void DisplayRefresh();
    void ScanMustStop();
    // A frequency typed into the display is given up (the cycle restarted).
    void EditMustEnd();
    // A tune request is carried out: the window shows its mode and frequency
    // and brings its marker into view.
    void TuneRequestTaken(const TTuneRequest &request);

private:
    struct Outgoing
    {
        QString command;
        // A queued set-frequency command: its reply length is the one learnt.
        bool frequencyCode = false;
        int expected = 0;
        bool poll = false;
        bool pollEntry0 = false;
        // Commands queued so far when it went out: a reading taken while
        // nothing new was queued reflects every command before it.
        quint64 queued = 0;
        // A reading among the commands: who takes its reply.
        std::function<void(const QString &reply)> takeReply;
    };
    TCatTransport &transport() const;
    // The transport's answers and reports reach the engine while it is the one in use.
    void listenTo(TCatTransport *transport);
    // The last connect chose a radio through Hamlib (not simulated).
    bool hamlibChosen() const;
    void carryOutTuneRequest(const TTuneRequest &request);
    // The connect sequence after the dialog; automatic tells a reconnect to a
    // port that came back.
    void openAndStart(bool automatic);
    void opened(bool ok);
    // Closes the link, leaving the given status text; the log file gets it
    // before it is closed.
    void goOffline(const QString &status, quint32 colour, bool bold);
    void failIntegrity();
    // A reply that cannot be trusted: drain and restart the check, or give up.
    void messedData(const QString &logText);
    // The port closed itself: off-line at once, then wait for it to return.
    void portLost();
    void waitForPortReturn();
    QString waitingStatus() const;
    Outgoing nextCommand(const TTcvrType &type);
    void startTransfer(const Outgoing &out);
    void transferDone(const Outgoing &out, const TTransfer &result);
    // The transfer in flight (if any) belongs to a cycle that is over.
    void abandonTransfer();
    // A frequency reading reflecting every command queued up to queued has
    // reached the radio state (all: the link went away).
    void freshReading(quint64 queued);
    // The integrity check on a reply to poll entry 0; false when the link was
    // closed by it (E22).
    bool checkIntegrity(const QString &reply);
    bool isReceiveReading(const QString &command) const;
    bool isTransmitReading(const QString &command) const;
    void decodeSet1(const QString &command, const QString &reply, const TTcvrType &type);
    void decodeSet2(const QString &reply);
    void decodeSet3(const QString &command, const QString &reply);
    // False for a frequency far from the scale that was not reported twice in a row.
    bool frequencyConfirmed(qint32 frequency);
    // The mode key follows a mode the radio reported; an unknown mode leaves it.
    void followRadioMode(const QString &mode);
    // Transmit-off before everything queued; nobody holds the transmitter.
    void unkeyAhead();
    // The link is back (opened, or replies after a watchdog retry):
    // transmit-off goes first unless the operator keyed the radio.
    void linkBack();
    void checkTransmitTimeout();
    // What a set command waits for: the learned acknowledgement, or nothing.
    int ackLength(const TTcvrType &type) const;
    void startWatchdog(int intervalMs);
    void stopWatchdog();
    void setStatus(const QString &text, quint32 colour, bool bold);
    void logLine(const QString &text);

    TCatEngineHost &host_;
    TCatLog &log_;
    TRadioState state_;
    std::unique_ptr<TCatTransport> port_;
    std::unique_ptr<TSimulatedTransport> simulated_;
    std::unique_ptr<THamlibTransport> hamlib_;
    // The Hamlib radio's abilities: its model's until the open tells the radio's.
    TTcvrType hamlibType_ = TcvrTypes[0];
    TLinkSettings settings_;
    std::optional<TTcvrType> override_;
    std::function<qint64()> clock_;
    QTimer mainTmr_;
    QTimer watchdogTmr_;
    bool manualTimers_ = false;
    bool watchdogActive_ = false;
    int watchdogInterval_ = 0;
    bool inFlight_ = false;
    bool opening_ = false;
    bool automaticOpen_ = false; // the open in progress is a vanished port's return
    bool pollingHeld_ = false;
    bool staleReading_ = false; // the reply being decoded is older than a queued command
    quint64 transferSerial_ = 0;
    quint64 commandsQueued_ = 0;
    quint64 freshQueued_ = 0;        // commandsQueued_ at the last reading applied
    bool readingApplied_ = false;    // the reply being decoded moved the radio state
    std::function<void(const QString &)> inFlightReply_;
    std::vector<std::pair<quint64, std::function<void()>>> freshWaiters_;
    std::deque<std::unique_ptr<TTcvrCommand>> ahead_;
    qint64 transmitTimeoutMs_ = 0;
    qint64 transmittingSince_ = 0;
    QString lostPort_;           // device path of a vanished port while it is waited for
    qint64 lostSince_ = 0;
    qint64 lastReturnTry_ = 0;
};
