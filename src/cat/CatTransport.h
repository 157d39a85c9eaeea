#pragma once

#include "cat/SerialLink.h"

#include <QObject>
#include <QString>

#include <functional>

// The way to the radio, as the engine sees it: every call returns at once and
// answers come later, on the caller's thread, as callbacks or signals. One
// transfer at a time and in the order asked; a transfer, drain or direct job
// asked while another runs waits behind it. After Close (or a new Open) the
// answers of what was asked before are dropped: nothing arrives for a link
// that is gone.
class TCatTransport : public QObject
{
    Q_OBJECT
public:
    using TransferDone = std::function<void(const TTransfer &)>;
    // A blocking send for direct jobs, on the transport's own thread.
    using DirectSend = std::function<TTransfer(const QString &command, int expectedLength)>;
    using DirectJob = std::function<void(const DirectSend &send)>;

    using QObject::QObject;

    // Starts opening the port; Opened follows, also for a failure.
    virtual void Open(const TSerialSettings &settings, const TTcvrType &type) = 0;
    // Closed at once for the caller; what was asked before still goes out first.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The model the link talks to (the hexadecimal coding and the probe length).
    virtual void SetTcvrType(const TTcvrType &type) = 0;
    virtual void Transfer(const QString &command, int expectedLength, TransferDone done) = 0;
    // Reads and discards what the radio still sends, then empties the queues.
    virtual void Drain() = 0;
    // A sequence whose commands depend on the replies before them (the
    // FT-847's VFO copies), run in one piece; done follows on this thread.
    virtual void RunDirect(DirectJob job, std::function<void()> done = {}) = 0;
    // Nothing asked is still running or waiting to be answered.
    virtual bool Idle() const = 0;

signals:
    void Opened(bool ok);
    // The device vanished: the port was closed by the link.
    void PortLost();
    // Status-line texts of the link's own (opening and its failures).
    void StatusReport(const QString &text, quint32 bgrColour, bool bold);
};
