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
