#include "cat/ThreadedTransport.h"

#include <QCoreApplication>
#include <QThread>

TThreadedTransport::TThreadedTransport(QObject *parent)
    : TCatTransport(parent)
    , thread_(std::make_unique<TLinkThread>())
{
}

TThreadedTransport::~TThreadedTransport() = default;

void TThreadedTransport::deliver(int session, std::function<void()> action)
{
    ++undelivered_;
    QMetaObject::invokeMethod(
        this,
        [this, session, action = std::move(action)] {
            --undelivered_;
            if (session == AnySession || session == session_)
                action();
        },
        Qt::QueuedConnection);
}

void TThreadedTransport::Close()
{
    ++session_;
    open_ = false;
    runOnLink([this] { closeOnLink(); });
}

void TThreadedTransport::Transfer(const QString &command, int expectedLength, TransferDone done)
{
    const int session = session_;
    runOnLink([this, session, command, expectedLength, done = std::move(done)] {
        const TTransfer result = sendOnLink(command, expectedLength, session);
        deliver(session, [done, result] { done(result); });
    });
}

void TThreadedTransport::RunDirect(DirectJob job, std::function<void()> done)
{
    const int session = session_;
    runOnLink([this, session, job = std::move(job), done = std::move(done)] {
        job([this, session](const QString &command, int expectedLength) {
            return sendOnLink(command, expectedLength, session);
        });
        if (done)
            deliver(session, done);
    });
}

bool TThreadedTransport::Idle() const
{
    return (!thread_ || thread_->Pending() == 0) && undelivered_ == 0;
}

void TThreadedTransport::WaitUntilIdle()
{
    while (!Idle()) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
}
