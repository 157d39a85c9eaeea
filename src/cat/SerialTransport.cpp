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

TTransfer TSerialTransport::sendOnLink(const QString &command, int expectedLength, int)
{
    return link_->SendCommand(command, expectedLength);
}

void TSerialTransport::closeOnLink()
{
    link_->CloseComPort();
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

void TSerialTransport::SetTcvrType(const TTcvrType &type)
{
    post([type](TCatLink &link) { link.SetTcvrType(type); });
}

void TSerialTransport::Drain()
{
    post([](TCatLink &link) { link.Drain(); });
}

void TSerialTransport::SetTimeouts(const TLineTimeouts &timeouts)
{
    post([timeouts](TCatLink &link) { link.SetTimeouts(timeouts); });
}
