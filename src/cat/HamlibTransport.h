#pragma once

#include "cat/ThreadedTransport.h"

#include <memory>

class TCatLog;
class THamlibRig;

// A radio through Hamlib, on a link thread of its own: librig's blocking
// calls run there, one command text of command set 3 per transfer, and the
// answers come back to the thread that created this object as queued events.
// What goes wrong is said in plain words on the status line ("Radio does not
// answer (Hamlib: Communication timed out)"), once for a run of failures.
class THamlibTransport : public TThreadedTransport
{
    Q_OBJECT
public:
    explicit THamlibTransport(TCatLog &log, QObject *parent = nullptr);
    ~THamlibTransport() override;

    void Open(const TSerialSettings &settings, const TTcvrType &type) override;
    void SetTcvrType(const TTcvrType &) override {}
    // Nothing waits on a Hamlib link; a far end that went away (rigctld
    // stopped) is opened again.
    void Drain() override;

signals:
    // What the opened radio can do; comes before Opened(true).
    void TcvrTypeLearned(const TTcvrType &type);

protected:
    // Runs one command, logging it and its answer.
    TTransfer sendOnLink(const QString &command, int expectedLength, int session) override;
    void closeOnLink() override;

private:
    void post(std::function<void(THamlibRig &)> job);
    void report(int session, const QString &failure);

    TCatLog &log_;
    std::unique_ptr<THamlibRig> rig_; // used on the link thread only
    bool failing_ = false; // a failure was said and nothing has worked since
};
