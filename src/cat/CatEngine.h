#pragma once

#include "cat/CatEngineHost.h"
#include "cat/CommandQueue.h"
#include "cat/SerialLink.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The connection and polling engine: keeps the window in step with the
// transceiver. MainTmrTimer sends one command per tick (a queued command
// first, else the next poll), checks the reply and applies it through the
// host; Connect and Disconnect run the connect and disconnect sequences; an
// integrity check must pass before the connection is announced, and the
// watchdog retries ten times before it gives up.
class TCatEngine
{
public:
    TCatEngine(TCatEngineHost &host, TCatLog &log);
    ~TCatEngine();
    TCatEngine(const TCatEngine &) = delete;
    TCatEngine &operator=(const TCatEngine &) = delete;

    bool IsConnected() const;
    // The model chosen in the serial dialog (or the one a test put in place).
    const TTcvrType &GetTcvrType() const;
    void Connect();
    void Disconnect();
    void RestartCommunication(bool purge);
    void InitialSync();
    void QueueCommand(std::unique_ptr<TTcvrCommand> command);
    void QueueReplacingCommand(std::unique_ptr<TTcvrCommand> command);

    void MainTmrTimer();
    void ConnectionWatchdogTmrTimer();
    void DecodeReply(const QString &command, const QString &reply);
    void ApplyRadioFrequency(qint32 frequency);
    bool IsReplyPlausible(const QString &reply) const;

    // A direct transfer that bypasses the queue (FT-847 VFO copies).
    TTransfer SendDirect(const QString &command, int expectedLength);

    // A model outside the table (a command-set 2 radio) for tests; nullopt
    // goes back to the dialog's choice.
    void SetTcvrTypeOverride(std::optional<TTcvrType> type);
    // Milliseconds of a steady clock; tests step their own.
    void SetClock(std::function<qint64()> clock);

    TCatLink &Link() { return link_; }
    TCatLog &Log() { return log_; }

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

    // --- state
    TCommandQueue CommandQueue;
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
    TPendingTune PendingTune;

private:
    struct Outgoing
    {
        QString command;
        // A queued set-frequency command: its reply length is the one learnt.
        bool frequencyCode = false;
        int expected = 0;
        bool poll = false;
        bool pollEntry0 = false;
    };
    void carryOutTuneRequest(const TFqMarker &request);
    // The connect sequence after the dialog; automatic tells a reconnect to a
    // port that came back.
    void openAndStart(bool automatic);
    // Closes the link, leaving the given status text; the log file gets it
    // before it is closed.
    void goOffline(const QString &status, quint32 colour, bool bold);
    void failIntegrity();
    // A reply that cannot be trusted: drain and restart the check, or give up.
    void messedData(const QString &logText);
    // The port closed itself: off-line at once, then wait for it to return.
    bool takePortLoss();
    void waitForPortReturn();
    QString waitingStatus() const;
    Outgoing nextCommand(const TTcvrType &type);
    TTransfer transfer(const Outgoing &out);
    // The integrity check on a reply to poll entry 0; false when the link was
    // closed by it (E22).
    bool checkIntegrity(const QString &reply);
    void decodeSet1(const QString &command, const QString &reply, const TTcvrType &type);
    void decodeSet2(const QString &reply);
    // False for a frequency far from the scale that was not reported twice in a row.
    bool frequencyConfirmed(qint32 frequency);
    // The mode key follows a mode the radio reported; an unknown mode leaves it.
    void followRadioMode(const QString &mode);
    void logLine(const QString &text);

    TCatEngineHost &host_;
    TCatLog &log_;
    TCatLink link_;
    std::optional<TTcvrType> override_;
    std::function<qint64()> clock_;
    bool portLost_ = false;
    QString lostPort_;           // device path of a vanished port while it is waited for
    qint64 lostSince_ = 0;
    qint64 lastReturnTry_ = 0;
};
