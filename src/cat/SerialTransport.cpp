#include "cat/SerialTransport.h"

#include "cat/CatLog.h"


TSerialTransport::TSerialTransport(TCatLog &log, QObject *parent)
    : TThreadedTransport(parent)
{
    // Opening reports its progress and failures as it goes, on the link thread.
    link_ = std::make_unique<TCatLink>(log, [this](const QString &text, quint32 colour, bool bold) {
        deliver(AnySession, [this, text, colour, bold] { emit StatusReport(text, colour, bold); });
    });
}

TSerialTransport::~TSerialTransport()
{
    // Whatever was asked still goes out (a transmit-off, a CAT-off), then the
    // port closes on the link thread, where it was opened.
    post([](TCatLink &link) { link.CloseComPort(); });
    finishLink();
}

void TSerialTransport::post(std::function<void(TCatLink &)> job)
{
    runOnLink([this, job = std::move(job)] { job(*link_); });
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

void TSerialTransport::SetTimeouts(const TLineTimeouts &timeouts)
{
    post([timeouts](TCatLink &link) { link.SetTimeouts(timeouts); });
}
