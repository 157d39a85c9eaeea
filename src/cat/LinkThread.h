#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <memory>

class QThread;

// A thread of its own for blocking device work: jobs run one after another in
// the order they were posted, so the user-interface thread never waits on a
// port. Destroying it runs every job already posted, then joins the thread,
// so a command posted last (a transmit-off, a CAT-off) still reaches the
// radio before the port goes.
class TLinkThread
{
public:
    TLinkThread();
    ~TLinkThread();
    TLinkThread(const TLinkThread &) = delete;
    TLinkThread &operator=(const TLinkThread &) = delete;

    void Post(std::function<void()> job);
    // Jobs posted and not finished yet.
    int Pending() const;

private:
    void run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    int running_ = 0;
    bool stopping_ = false;
    // A QThread (not a bare one): the serial port's notifiers insist on it.
    std::unique_ptr<QThread> thread_;
};
