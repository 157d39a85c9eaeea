#pragma once

#include "cat/ThreadedTransport.h"

#include <memory>

class TCatLog;

// The serial port on a link thread of its own: the blocking link (TCatLink)
// runs there, and its answers come back to the thread that created this
// object as queued events.
class TSerialTransport : public TThreadedTransport
{
    Q_OBJECT
public:
    explicit TSerialTransport(TCatLog &log, QObject *parent = nullptr);
    ~TSerialTransport() override;

    void Open(const TSerialSettings &settings, const TTcvrType &type) override;
    void SetTcvrType(const TTcvrType &type) override;
    void Drain() override;

    // Shorter time-outs for tests of silent or garbled lines.
    void SetTimeouts(const TLineTimeouts &timeouts);

protected:
    TTransfer sendOnLink(const QString &command, int expectedLength, int session) override;
    void closeOnLink() override;

private:
    void post(std::function<void(TCatLink &)> job);

    std::unique_ptr<TCatLink> link_; // used on the link thread only
};
