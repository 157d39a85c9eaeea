#include "cat/LinkThread.h"

#include <QThread>

TLinkThread::TLinkThread()
    : thread_(QThread::create([this] { run(); }))
{
    thread_->setObjectName(QStringLiteral("CatLink"));
    thread_->start();
}

TLinkThread::~TLinkThread()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_->wait();
}

void TLinkThread::Post(std::function<void()> job)
{
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

int TLinkThread::Pending() const
{
    std::lock_guard lock(mutex_);
    return int(jobs_.size()) + running_;
}

void TLinkThread::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty())
            return; // stopping, and nothing left to do
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        ++running_;
        lock.unlock();
        job();
        job = nullptr; // what the job held goes on this thread, before it counts as done
        lock.lock();
        --running_;
    }
}
