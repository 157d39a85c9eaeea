#include "cat/HamlibTransport.h"

#include "cat/CatLog.h"
#include "cat/HamlibModels.h"
#include "cat/HamlibRig.h"

namespace {

constexpr quint32 Red = 0x0000FF;

} // namespace

THamlibTransport::THamlibTransport(TCatLog &log, QObject *parent)
    : TThreadedTransport(parent)
    , log_(log)
    , rig_(std::make_unique<THamlibRig>())
{
    PrepareHamlib();
}

THamlibTransport::~THamlibTransport()
{
    // What was asked still goes out (a transmit-off), then the radio is
    // closed on the link thread.
    post([](THamlibRig &rig) { rig.Close(); });
    finishLink();
}

void THamlibTransport::post(std::function<void(THamlibRig &)> job)
{
    runOnLink([this, job = std::move(job)] { job(*rig_); });
}

void THamlibTransport::report(int session, const QString &failure)
{
    deliver(session, [this, failure] {
        if (failure.isEmpty()) {
            failing_ = false;
        } else if (!failing_) {
            failing_ = true;
            emit StatusReport(failure, Red, false);
        }
    });
}

void THamlibTransport::Open(const TSerialSettings &settings, const TTcvrType &)
{
    const int session = ++session_;
    open_ = false;
    failing_ = false;
    post([this, session, settings](THamlibRig &rig) {
        QString failure;
        const bool ok = rig.Open(settings, &failure);
        log_.LogEvent(ok ? QStringLiteral("Hamlib: radio model %1 open on %2.").arg(settings.HamlibModel).arg(settings.Port)
                         : failure);
        const TTcvrType type = rig.Type();
        deliver(session, [this, ok, failure, type] {
            open_ = ok;
            if (ok)
                emit TcvrTypeLearned(type);
            else
                emit StatusReport(failure, Red, true);
            emit Opened(ok);
        });
    });
}

TTransfer THamlibTransport::sendOnLink(const QString &command, int, int session)
{
    log_.LogEvent(QStringLiteral(">") + command);
    QString failure;
    const TTransfer result = rig_->Execute(command, &failure);
    if (result.Result == ReplyRead && !result.Reply.isEmpty())
        log_.LogEvent(QStringLiteral("<") + result.Reply);
    if (!failure.isEmpty())
        log_.LogEvent(failure);
    report(session, failure);
    return result;
}

void THamlibTransport::closeOnLink()
{
    rig_->Close();
}

void THamlibTransport::Drain()
{
    post([this](THamlibRig &rig) {
        if (!rig.Reopen())
            log_.LogEvent(QStringLiteral("Hamlib: the radio could not be opened again."));
    });
}
