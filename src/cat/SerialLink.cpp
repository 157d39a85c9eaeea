#include "cat/SerialLink.h"

#include "cat/CatCommands.h"
#include "cat/CatLog.h"

#include <QElapsedTimer>
#include <QSerialPort>

#include <cerrno>
#include <cstring>

namespace {

constexpr quint32 Black = 0x000000;
constexpr quint32 Red = 0x0000FF;
constexpr int TransferBufferSize = 256;
constexpr int DriverQueueSize = 10240;
// A device that never stops talking must not hold the user-interface thread
// forever: the drain gives up after a full driver queue or two seconds.
constexpr int MaxDrainReads = DriverQueueSize / 10 + 1;
constexpr int MaxDrainMs = 2000;

QString openFailureStatus(int code)
{
    return QStringLiteral("Can't initialize COM port [E%1]. Click COM button to try again.").arg(code);
}

} // namespace

TCatLink::TCatLink(TCatLog &log, StatusSink status)
    : log_(log)
    , status_(std::move(status))
{
}

TCatLink::~TCatLink() = default;

void TCatLink::log(const QString &text)
{
    log_.LogEvent(text);
}

void TCatLink::SetPortLostHandler(std::function<void()> handler)
{
    portLost_ = std::move(handler);
}

qint32 TCatLink::LineSpeed(const QString &speedText)
{
    for (qint32 speed : {4800, 9600, 38400, 57600})
        if (speedText.startsWith(QString::number(speed)))
            return speed;
    return 4800;
}

QString TCatLink::DevicePath(const QString &port)
{
    if (port.contains(u'/'))
        return port;
    return QStringLiteral("/dev/") + port;
}

QString TCatLink::SystemErrorText(const QString &text)
{
    QString result = text;
    while (!result.isEmpty()) {
        const QChar last = result.back();
        if (last.category() == QChar::Other_Control || last.isSpace() || last == u'.')
            result.chop(1);
        else
            break;
    }
    return result;
}

QString TCatLink::OpenFailureAdvice(const QString &errorText, const QString &device)
{
    // A device locked by another program is refused too, with another text.
    if (SystemErrorText(errorText) != SystemErrorText(QString::fromLocal8Bit(std::strerror(EACCES))))
        return QString();
    return QStringLiteral("No permission for %1: add your user to the \"dialout\" group "
                          "(sudo adduser $USER dialout) and log in again.")
        .arg(device);
}

bool TCatLink::IsOpen() const
{
    return port_ && port_->isOpen();
}

bool TCatLink::OpenComPort(const TSerialSettings &settings)
{
    settings_ = settings;
    type_ = TcvrTypeAt(settings.TcvrIndex);
    status_(QStringLiteral("Initializing COM port. This can take a while if incorrect port selected. Please wait..."),
            Black, false);
    CloseComPort();

    auto port = std::make_unique<QSerialPort>();
    port->setPortName(DevicePath(settings.Port));
    if (!port->open(QIODevice::ReadWrite)) {
        log(QStringLiteral("ERROR [E1]: CreateFile: ") + SystemErrorText(port->errorString()));
        const QString advice = OpenFailureAdvice(port->errorString(), DevicePath(settings.Port));
        if (advice.isEmpty()) {
            status_(openFailureStatus(1), Red, true);
        } else {
            // Trying again will not help here; what will is said instead.
            log(QStringLiteral("CAT: ") + advice);
            status_(QStringLiteral("Can't initialize COM port [E1]. ") + advice, Red, true);
        }
        return false;
    }

    // The driver's queues: only the input side has a size here, and setting
    // it cannot fail, so E2 never arises on this platform.
    port->setReadBufferSize(DriverQueueSize);

    const bool rtsHandshake = settings.Rts == 2;
    rtsToggle_ = settings.Rts == 3;
    const bool lineSet = port->setBaudRate(LineSpeed(settings.SpeedText)) && port->setDataBits(QSerialPort::Data8)
                         && port->setParity(QSerialPort::NoParity) && port->setStopBits(QSerialPort::TwoStop)
                         && port->setFlowControl(rtsHandshake ? QSerialPort::HardwareControl : QSerialPort::NoFlowControl);
    if (!lineSet) {
        log(QStringLiteral("ERROR [E4]: SetCommState: ") + SystemErrorText(port->errorString()));
        status_(openFailureStatus(4), Red, true);
        port->close();
        return false;
    }

    // Control lines: a device that cannot drive them (a pseudo-terminal, some
    // adapters) is still a working port, so a refusal is logged and ignored.
    // DTR hand-shake has no DSR flow control here: DTR stays raised.
    if (!port->setDataTerminalReady(settings.Dtr != 0)) {
        log(QStringLiteral("CAT: DTR line not set: ") + SystemErrorText(port->errorString()));
        port->clearError();
    }
    if (!rtsHandshake && !port->setRequestToSend(settings.Rts == 1)) {
        log(QStringLiteral("CAT: RTS line not set: ") + SystemErrorText(port->errorString()));
        port->clearError();
    }

    // Time-outs are applied per transfer (ReadIntervalTimeout and friends), so
    // E5 cannot fail either.
    port_ = std::move(port);
    log(QStringLiteral("CAT: COM port initialized succesfully."));
    return true;
}

void TCatLink::CloseComPort()
{
    if (port_) {
        if (port_->isOpen())
            port_->close();
        port_.reset();
    }
}

void TCatLink::portVanishedIfGone()
{
    if (!port_)
        return;
    const auto error = port_->error();
    // A failing read or write system call on a serial device means the device
    // is gone (adapter pulled, far end closed): the port reports the error yet
    // stays "open", so the link closes it itself. Time-outs are not failures.
    if (error == QSerialPort::ResourceError || error == QSerialPort::DeviceNotFoundError
        || error == QSerialPort::ReadError || error == QSerialPort::WriteError || !port_->isOpen()) {
        CloseComPort();
        if (portLost_)
            portLost_();
    }
}

bool TCatLink::writeBytes(const QByteArray &bytes)
{
    if (!IsOpen())
        return false;
    if (rtsToggle_)
        port_->setRequestToSend(true);
    const int timeout = timeouts_.PerByte * int(bytes.size()) + timeouts_.TotalConstant;
    bool ok = port_->write(bytes) == bytes.size();
    if (ok && !port_->waitForBytesWritten(timeout))
        ok = port_->bytesToWrite() == 0 && (port_->error() == QSerialPort::NoError || port_->error() == QSerialPort::TimeoutError);
    if (ok)
        port_->clearError();
    if (rtsToggle_) {
        port_->setRequestToSend(false);
        port_->clearError();
    }
    return ok;
}

QByteArray TCatLink::readWithTimeouts(int count, bool &failed)
{
    failed = false;
    QByteArray data;
    if (!IsOpen()) {
        failed = true;
        return data;
    }
    const int totalTimeout = timeouts_.PerByte * count + timeouts_.TotalConstant;
    QElapsedTimer total;
    total.start();
    QElapsedTimer sinceByte;
    while (data.size() < count) {
        if (port_->bytesAvailable() > 0) {
            data += port_->read(count - data.size());
            sinceByte.start();
            continue;
        }
        qint64 wait = totalTimeout - total.elapsed();
        if (wait <= 0)
            break;
        if (!data.isEmpty()) {
            const qint64 gap = timeouts_.ReadInterval - sinceByte.elapsed();
            if (gap <= 0)
                break;
            wait = qMin(wait, gap);
        }
        if (!port_->waitForReadyRead(int(wait))) {
            const auto error = port_->error();
            if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) {
                port_->clearError();
                continue;
            }
            failed = true;
            break;
        }
    }
    return data;
}

int TCatLink::discardWaitingBytes()
{
    QByteArray junk;
    for (int i = 0; IsOpen() && i < MaxDrainReads; ++i) {
        const QByteArray chunk = port_->bytesAvailable() > 0 || port_->waitForReadyRead(0) ? port_->readAll() : QByteArray();
        if (chunk.isEmpty()) {
            const auto error = port_->error();
            if (error != QSerialPort::NoError && error != QSerialPort::TimeoutError)
                portVanishedIfGone();
            else
                port_->clearError();
            break;
        }
        junk += chunk;
    }
    if (!junk.isEmpty())
        log(QStringLiteral("%1 bytes discarded.").arg(junk.size()));
    return int(junk.size());
}

TTransfer TCatLink::SendCommand(const QString &command, int expectedLength, int capacity)
{
    TTransfer transfer;
    const QString text = command.left(255);
    const TTcvrType &type = TcvrType();
    // Nothing we asked for can be waiting yet: whatever is there would be read
    // as the start of this command's reply.
    transfer.Discarded = discardWaitingBytes();
    log(QStringLiteral(">") + text);

    const QByteArray bytes = type.HexCoded ? HexToBytes(text) : text.toLatin1();
    log(QStringLiteral("Writing to COM: %1 Bytes").arg(bytes.size()));
    if (!writeBytes(bytes)) {
        const QString reason = port_ ? port_->errorString() : QString::fromLocal8Bit(std::strerror(EBADF));
        log(QStringLiteral("ERROR [E10]: WriteFile: ") + SystemErrorText(reason));
        portVanishedIfGone();
        return transfer;
    }

    QByteArray received;
    const int probe = type.ProbeReplyLength;
    if (expectedLength == probe) {
        log(QStringLiteral("Reading from COM: %1 Bytes").arg(probe));
        bool failed = false;
        received = readWithTimeouts(probe, failed);
        if (failed) {
            // A vanished port is not "a probe that got nothing": say so.
            log(QStringLiteral("ERROR [E11]: ReadFile: ") + SystemErrorText(port_ ? port_->errorString() : QString()));
            portVanishedIfGone();
            log(QStringLiteral("<"));
            return transfer;
        }
        transfer.Result = ReplyRead;
    } else if (expectedLength == 0) {
        log(QStringLiteral("Reading from COM: No response expected"));
        transfer.Result = NothingRead;
    } else {
        const int wanted = qBound(1, expectedLength, TransferBufferSize - 1);
        bool failed = false;
        received = readWithTimeouts(wanted, failed);
        if (failed) {
            log(QStringLiteral("Reading from COM: %1 Bytes").arg(wanted));
            log(QStringLiteral("ERROR [E11]: ReadFile: ") + SystemErrorText(port_ ? port_->errorString() : QString()));
            portVanishedIfGone();
            transfer.Count = int(received.size());
            log(QStringLiteral("<"));
            return transfer;
        }
        if (received.size() < wanted) {
            log(QStringLiteral("ERROR [E12]: Insufficient data received from COM: %1").arg(received.size()));
            transfer.Result = ShortRead;
        } else {
            transfer.Result = ReplyRead;
        }
    }
    transfer.Count = int(received.size());
    if (transfer.Result == ReplyRead)
        transfer.Reply = (type.HexCoded ? BytesToHex(received) : QString::fromLatin1(received)).left(qMax(0, capacity));
    log(QStringLiteral("<") + transfer.Reply.left(254));
    return transfer;
}

void TCatLink::Drain()
{
    const int probe = qMax(1, int(TcvrType().ProbeReplyLength));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < MaxDrainReads && IsOpen() && timer.elapsed() < MaxDrainMs; ++i) {
        bool failed = false;
        const QByteArray junk = readWithTimeouts(probe, failed);
        if (!junk.isEmpty())
            log(QStringLiteral("%1 bytes discarded.").arg(junk.size()));
        if (failed) {
            portVanishedIfGone();
            break;
        }
        if (junk.isEmpty())
            break;
    }
    if (IsOpen()) {
        port_->clear(QSerialPort::AllDirections);
        port_->clearError();
    }
}

