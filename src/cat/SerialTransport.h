#pragma once

#include "cat/CatTransport.h"
#include "cat/LinkThread.h"

#include <atomic>
#include <memory>

class TCatLog;

// The serial port on a link thread of its own: the blocking link (TCatLink)
// runs there, and its answers come back to the thread that created this
// object as queued events.
class TSerialTransport : public TCatTransport
{
    Q_OBJECT
public:
    explicit TSerialTransport(TCatLog &log, QObject *parent = nullptr);
    ~TSerialTransport() override;

    void Open(const TSerialSettings &settings, const TTcvrType &type) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    void SetTcvrType(const TTcvrType &type) override;
    void Transfer(const QString &command, int expectedLength, TransferDone done) override;
    void Drain() override;
    void RunDirect(DirectJob job, std::function<void()> done = {}) override;
    bool Idle() const override;

    // Shorter time-outs for tests of silent or garbled lines.
    void SetTimeouts(const TLineTimeouts &timeouts);
    // Waits until everything asked has run and its answers were handed over
    // (shutdown, tests).
    void WaitUntilIdle();

private:
    // Hands a result to this object's thread, unless the session is over by then.
    void deliver(int session, std::function<void()> action);
    void post(std::function<void(TCatLink &)> job);

    std::unique_ptr<TCatLink> link_; // used on the link thread only
    std::atomic<int> undelivered_{0};
    int session_ = 0;
    bool open_ = false;
    // Declared last: destroyed first, so jobs still waiting run while the link exists.
    std::unique_ptr<TLinkThread> thread_;
};
