#include "cat/SimulatedTransport.h"

#include "cat/CatCommands.h"
#include "cat/CatLog.h"

#include <QRandomGenerator>
#include <QTimer>

namespace {

bool isBroadcastBand(qint32 frequency)
{
    return frequency >= 87000000 && frequency < 109000001;
}

// The simulator reports WFM only on the broadcast band and FM elsewhere.
QString simulatorModeByte(const QString &mode, qint32 frequency)
{
    if (isBroadcastBand(frequency))
        return QStringLiteral("06");
    const QString byte = Set1ModeByte(mode, QStringLiteral("00"));
    return byte == QLatin1String("06") ? QStringLiteral("08") : byte;
}

QString hexByte(int value)
{
    return QStringLiteral("%1").arg(value & 0xFF, 2, 16, QChar(u'0')).toUpper();
}

} // namespace

TRadioSimulator::TRadioSimulator()
    : random_([](int n) { return n > 0 ? int(QRandomGenerator::global()->bounded(n)) : 0; })
{
}

int TRadioSimulator::randomLevel(int top)
{
    // Mostly a quiet band, now and then a signal.
    if (random_(10) > 3 && random_(10) > 5)
        return random_(top + 1);
    return 0;
}

int TRadioSimulator::Delay()
{
    return 20 + random_(30);
}

TTransfer TRadioSimulator::Answer(const QString &command, const TSimulatorView &view, const TTcvrType &type, int capacity)
{
    TTransfer transfer;
    const QString text = command.left(255);
    QString reply;
    if (type.CommandSet == 2) {
        const QString code = text.left(2);
        if (code == QLatin1String("IF")) {
            const int digit = Set2ModeDigit(view.CurrentMode);
            reply = QStringLiteral("IF") + QString::number(view.ScaleFrequency).rightJustified(11, u'0') + QString(15, u' ')
                    + (view.PttDown ? u'1' : u'0') + QString::number(digit ? digit : 1) + QString(7, u' ') + u';';
        } else if (code == QLatin1String("SM")) {
            reply = QStringLiteral("SM") + QString::number(randomLevel(9999)).rightJustified(4, u'0') + u';';
        } else {
            reply = QStringLiteral(";");
        }
        transfer.Count = int(reply.size());
    } else {
        const QString opcode = Set1Opcode(text);
        if (opcode == QLatin1String("03")) {
            reply = QString::number(view.ScaleFrequency / 10).rightJustified(8, u'0')
                    + simulatorModeByte(view.CurrentMode, view.ScaleFrequency);
        } else if (opcode == QLatin1String("E7")) {
            reply = hexByte(randomLevel(15) | (view.MeterValue < 25 ? 0x80 : 0));
        } else if (opcode == QLatin1String("F7")) {
            bool ptt = view.PttDown;
            if (isBroadcastBand(view.ScaleFrequency) && ptt) {
                ptt = false;
                transfer.ReleasePtt = true;
            }
            reply = hexByte(randomLevel(15) | (ptt ? 0 : 0x80));
        } else {
            reply = type.AnswersSetCommands ? QStringLiteral("F4") : QString();
        }
        transfer.Count = int(reply.size() / 2);
    }
    transfer.Result = ReplyRead;
    transfer.Reply = reply.left(qMax(0, capacity));
    return transfer;
}

TSimulatedTransport::TSimulatedTransport(TCatLog &log, TCatTransport *port, QObject *parent)
    : TCatTransport(parent)
    , log_(log)
    , port_(port)
    , view_([] { return TSimulatorView(); })
    , delay_([this] { return simulator_.Delay(); })
{
    if (port_) {
        connect(port_, &TCatTransport::Opened, this, [this](bool ok) {
            open_ = ok;
            emit Opened(ok);
        });
        connect(port_, &TCatTransport::PortLost, this, [this] {
            open_ = false;
            ++session_;
            emit PortLost();
        });
        connect(port_, &TCatTransport::StatusReport, this, &TCatTransport::StatusReport);
    }
}

void TSimulatedTransport::Open(const TSerialSettings &settings, const TTcvrType &type)
{
    ++session_;
    open_ = false;
    type_ = type;
    if (port_) {
        port_->Open(settings, type);
        return;
    }
    const int session = session_;
    ++waiting_;
    QTimer::singleShot(0, this, [this, session] {
        --waiting_;
        if (session != session_)
            return;
        open_ = true;
        emit Opened(true);
    });
}

void TSimulatedTransport::Close()
{
    ++session_;
    open_ = false;
    if (port_)
        port_->Close();
}

bool TSimulatedTransport::IsOpen() const
{
    return open_;
}

void TSimulatedTransport::SetTcvrType(const TTcvrType &type)
{
    type_ = type;
    if (port_)
        port_->SetTcvrType(type);
}

void TSimulatedTransport::Transfer(const QString &command, int expectedLength, TransferDone done)
{
    Q_UNUSED(expectedLength);
    // The answer reflects the window at the moment the command goes out.
    log_.LogEvent(QStringLiteral(">") + command.left(255));
    const TTransfer result = simulator_.Answer(command, view_(), type_);
    const int session = session_;
    ++waiting_;
    QTimer::singleShot(delay_(), this, [this, session, result, done = std::move(done)] {
        --waiting_;
        if (session != session_)
            return;
        log_.LogEvent(QStringLiteral("<") + result.Reply.left(254));
        done(result);
    });
}

void TSimulatedTransport::Drain()
{
    if (port_)
        port_->Drain();
}

void TSimulatedTransport::RunDirect(DirectJob job, std::function<void()> done)
{
    if (port_) {
        port_->RunDirect(std::move(job), std::move(done));
        return;
    }
    // No port: every direct transfer fails as on a closed one.
    job([this](const QString &command, int) {
        log_.LogEvent(QStringLiteral(">") + command);
        log_.LogEvent(QStringLiteral("ERROR [E10]: WriteFile: Bad file descriptor"));
        return TTransfer();
    });
    if (done)
        done();
}

bool TSimulatedTransport::Idle() const
{
    return waiting_ == 0 && (!port_ || port_->Idle());
}
