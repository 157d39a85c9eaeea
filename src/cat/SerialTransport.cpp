#include "cat/SerialTransport.h"

#include "cat/CatLog.h"

#include <QCoreApplication>
#include <QThread>

TSerialTransport::TSerialTransport(TCatLog &log, QObject *parent)
    : TCatTransport(parent)
{
    // Opening reports its progress and failures as it goes, on the link thread.
    link_ = std::make_unique<TCatLink>(log, [this](const QString &text, quint32 colour, bool bold) {
        ++undelivered_;
        QMetaObject::invokeMethod(
            this,
            [this, text, colour, bold] {
                --undelivered_;
                emit StatusReport(text, colour, bold);
            },
            Qt::QueuedConnection);
    });
    thread_ = std::make_unique<TLinkThread>();
}

TSerialTransport::~TSerialTransport()
{
    // Whatever was asked still goes out (a transmit-off, a CAT-off), then the
    // port closes on the link thread, where it was opened.
    post([](TCatLink &link) { link.CloseComPort(); });
    thread_.reset();
}

void TSerialTransport::deliver(int session, std::function<void()> action)
{
    ++undelivered_;
    QMetaObject::invokeMethod(
        this,
        [this, session, action = std::move(action)] {
            --undelivered_;
            if (session == session_)
                action();
        },
        Qt::QueuedConnection);
}

void TSerialTransport::post(std::function<void(TCatLink &)> job)
{
    thread_->Post([this, job = std::move(job)] { job(*link_); });
}

void TSerialTransport::Open(const TSerialSettings &settings, const TTcvrType &type)
{
    const int session = ++session_;
    open_ = false;
    post([this, session, settings, type](TCatLink &link) {
        // A device that vanishes mid-transfer is reported to the session that used it.
        link.SetPortLostHandler([this, session] {
            deliver(session, [this] {
                open_ = false;
                emit PortLost();
            });
        });
        const bool ok = link.OpenComPort(settings);
        if (ok)
            link.SetTcvrType(type);
        deliver(session, [this, ok] {
            open_ = ok;
            emit Opened(ok);
        });
    });
}

void TSerialTransport::Close()
{
    ++session_;
    open_ = false;
    post([](TCatLink &link) { link.CloseComPort(); });
}

void TSerialTransport::SetTcvrType(const TTcvrType &type)
{
    post([type](TCatLink &link) { link.SetTcvrType(type); });
}

void TSerialTransport::Transfer(const QString &command, int expectedLength, TransferDone done)
{
    const int session = session_;
    post([this, session, command, expectedLength, done = std::move(done)](TCatLink &link) {
        const TTransfer result = link.SendCommand(command, expectedLength);
        deliver(session, [done, result] { done(result); });
    });
}

void TSerialTransport::Drain()
{
    post([](TCatLink &link) { link.Drain(); });
}

void TSerialTransport::RunDirect(DirectJob job, std::function<void()> done)
{
    const int session = session_;
    post([this, session, job = std::move(job), done = std::move(done)](TCatLink &link) {
        job([&link](const QString &command, int expectedLength) { return link.SendCommand(command, expectedLength); });
        if (done)
            deliver(session, done);
    });
}

bool TSerialTransport::Idle() const
{
    return thread_->Pending() == 0 && undelivered_ == 0;
}

void TSerialTransport::SetTimeouts(const TLineTimeouts &timeouts)
{
    post([timeouts](TCatLink &link) { link.SetTimeouts(timeouts); });
}

void TSerialTransport::WaitUntilIdle()
{
    while (!Idle()) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
}
