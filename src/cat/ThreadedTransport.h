#pragma once

#include "cat/CatTransport.h"
#include "cat/LinkThread.h"

#include <atomic>
#include <functional>
#include <memory>

// A transport whose device (the serial link, a Hamlib rig) lives on a link
// thread of its own: jobs run there one after another, and what they hand
// back reaches this object's thread as queued events, dropped once their
// session (an Open, up to the next Close or Open) is over.
class TThreadedTransport : public TCatTransport
{
public:
    bool IsOpen() const override { return open_; }
    bool Idle() const override;
    // Ends the session; the device closes on the link thread.
    void Close() override;
    void Transfer(const QString &command, int expectedLength, TransferDone done) override;
    void RunDirect(DirectJob job, std::function<void()> done = {}) override;
    // Waits until everything asked has run and its answers were handed over
    // (shutdown, tests).
    void WaitUntilIdle();

    // For deliver: an action that belongs to no session (a status of the
    // opening in progress).
    static constexpr int AnySession = -1;

protected:
    explicit TThreadedTransport(QObject *parent);
    ~TThreadedTransport() override;

    void runOnLink(std::function<void()> job) { thread_->Post(std::move(job)); }
    // Hands a result to this object's thread, unless the session is over by then.
    void deliver(int session, std::function<void()> action);
    // Runs what was asked, then ends the link thread. The derived destructor
    // calls it first, while its device still exists.
    void finishLink() { thread_.reset(); }

    // The device's own work, on the link thread: one command and its answer
    // (for the session that asked), and closing.
    virtual TTransfer sendOnLink(const QString &command, int expectedLength, int session) = 0;
    virtual void closeOnLink() = 0;

    int session_ = 0;
    bool open_ = false;

private:
    std::atomic<int> undelivered_{0};
    std::unique_ptr<TLinkThread> thread_;
};
