#include "remote/TcpConnections.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {

// Bytes taken from a socket at a time.
constexpr qint64 ReadChunk = 16 * 1024;
// What the socket may hold of a client's unread lines.
constexpr qint64 ReadBufferSize = 64 * 1024;
// Longest host name kept.
constexpr int MaxHostName = 40;
// Connections waiting to be accepted.
constexpr int ListenBacklog = 1024;

const QByteArray EmptyReply("\r\n");

QString quoted(const QString &Text)
{
    return u'"' + TcpLogText(Text) + u'"';
}

} // namespace

// ---- the listeners --------------------------------------------------------------

TTcpWorker::TTcpWorker(TTcpShared &Shared, TToWindow ToWindow)
    : Shared(Shared)
    , ToWindow(std::move(ToWindow))
{
}

TTcpWorker::~TTcpWorker()
{
    CloseAll();
}

TTcpServer::TStartResult TTcpWorker::Listen(const QList<TTcpBinding> &Bindings, const TTcpServerLimits &NewLimits,
                                            const TTcpResolver &NewResolver)
{
    CloseAll();
    Limits = NewLimits;
    Resolver = NewResolver;
    for (int i = 0; i < Bindings.size(); ++i) {
        const TTcpBinding &binding = Bindings.at(i);
        if (binding.Address.isEmpty())
            continue;
        QString error;
        QHostAddress address;
        auto listener = std::make_unique<QTcpServer>();
        if (!address.setAddress(binding.Address)) {
            error = QStringLiteral("\"%1\" is not an IP address").arg(binding.Address);
        } else if (binding.Port < 0 || binding.Port > 65535) {
            error = QStringLiteral("%1 is not a port number").arg(binding.Port);
        } else {
            listener->setListenBacklogSize(ListenBacklog);
            if (!listener->listen(address, quint16(binding.Port)))
                error = listener->errorString();
        }
        if (!error.isEmpty()) {
            Listeners.clear();
            return {i, error};
        }
        QTcpServer *raw = listener.get();
        connect(raw, &QTcpServer::newConnection, this, [this, raw] { accept(raw); });
        Listeners.push_back(std::move(listener));
    }
    return {};
}

void TTcpWorker::CloseAll()
{
    Listeners.clear();
    const auto connections = Connections;
    for (const auto &[id, connection] : connections)
        connection->Close();
}

QList<quint16> TTcpWorker::Ports() const
{
    QList<quint16> ports;
    for (const auto &listener : Listeners)
        ports.append(listener->serverPort());
    return ports;
}

void TTcpWorker::WindowDone(quint64 ClientId)
{
    const auto found = Connections.find(ClientId);
    if (found != Connections.end())
        found->second->WindowDone();
}

void TTcpWorker::Forget(quint64 ClientId)
{
    Connections.erase(ClientId);
}

void TTcpWorker::accept(QTcpServer *Listener)
{
    while (QTcpSocket *socket = Listener->nextPendingConnection()) {
        const quint64 id = NextId++;
        Connections[id] = new TTcpConnection(*this, id, socket);
    }
}

// ---- one client -----------------------------------------------------------------

TTcpConnection::TTcpConnection(TTcpWorker &Worker, quint64 Id, QTcpSocket *Socket)
    : QObject(&Worker)
    , Worker(Worker)
    , Id(Id)
    , Socket(Socket)
{
    Socket->setParent(this);
    Socket->setReadBufferSize(ReadBufferSize);
    Address = Socket->peerAddress().toString();
    HostName = Address;
    Worker.Shared.AddClient({Id, Address, Address});

    connect(Socket, &QTcpSocket::readyRead, this, &TTcpConnection::pump);
    connect(Socket, &QTcpSocket::bytesWritten, this, &TTcpConnection::repliesWritten);
    connect(Socket, &QTcpSocket::disconnected, this, &TTcpConnection::finish);
    connect(Socket, &QTcpSocket::errorOccurred, this, [this] {
        if (this->Socket->state() != QAbstractSocket::ConnectedState)
            finish();
    });
    StallTmr.setSingleShot(true);
    StallTmr.setInterval(Worker.Limits.StallTimeoutMs);
    connect(&StallTmr, &QTimer::timeout, this, [this] { drop(QStringLiteral("does not read its replies")); });
    LookupTmr.setSingleShot(true);
    connect(&LookupTmr, &QTimer::timeout, this, [this] { resolved(QString()); });
    LookupTmr.start(Worker.Limits.LookupTimeoutMs);

    // The connection may be gone before the name comes (or never comes).
    const QHostAddress peer = Socket->peerAddress();
    if (Worker.Resolver)
        Worker.Resolver(peer, this, [this](const QString &Name) { resolved(Name); });
    else
        resolved(QString());
}

void TTcpConnection::resolved(const QString &Name)
{
    if (State != TState::Resolving)
        return;
    announce(Name);
    State = TState::Ready;
    pump();
}

void TTcpConnection::announce(const QString &Name)
{
    LookupTmr.stop();
    HostName = Name.isEmpty() ? Address : Name.left(MaxHostName);
    Worker.Shared.SetClientName(Id, HostName);
    Worker.Shared.Log(QStringLiteral("TCPIP: Client connected ") + quoted(HostName) + QStringLiteral(" on ") + Address);
}

void TTcpConnection::pump()
{
    if (Pumping)
        return;
    Pumping = true;
    while (State == TState::Ready) {
        if (Socket->bytesToWrite() > Worker.Limits.OutputHighWater) {
            if (!StallTmr.isActive())
                StallTmr.start();
            break;
        }
        QByteArray line;
        const TTcpLineFramer::TResult result = Framer.Next(line);
        if (result == TTcpLineFramer::TResult::Line) {
            answer(line);
        } else if (result == TTcpLineFramer::TResult::TooLong) {
            drop(QStringLiteral("sent a line longer than %1 characters").arg(TcpMaxLineLength));
        } else {
            const QByteArray more = Socket->read(ReadChunk);
            if (more.isEmpty())
                break;
            Framer.Append(more);
        }
    }
    Pumping = false;
}

void TTcpConnection::answer(const QByteArray &Line)
{
    const TTcpLineText text = DecodeTcpLine(Line);
    Utf8 = Utf8 || text.Utf8;
    const TTcpRequest request = ParseTcpRequest(text.Text);
    if (TcpCommandChangesWindow(request.Command)) {
        State = TState::AtWindow;
        Worker.ToWindow(Id, request);
        return;
    }
    const std::shared_ptr<const TTcpReplies> replies = Worker.Shared.Replies();
    switch (request.Command) {
    case TTcpCommand::QS:
        write(replies ? replies->Status : EmptyReply);
        break;
    case TTcpCommand::CS:
        write(replies ? replies->Connected : EmptyReply);
        break;
    case TTcpCommand::GM:
        write(!replies ? EmptyReply : Utf8 ? replies->GroupsUtf8 : replies->GroupsAnsi);
        break;
    case TTcpCommand::XS:
        write(QByteArrayLiteral("Tarnwick\r\n"));
        break;
    case TTcpCommand::AV:
        write(Worker.Shared.VersionReply);
        break;
    case TTcpCommand::IV:
        write(QByteArrayLiteral("1\r\n"));
        break;
    default:
        Worker.Shared.Log(QStringLiteral("TCPIP: Unknown command received: ") + quoted(request.Name) + u'.');
        write(EmptyReply);
        break;
    }
}

void TTcpConnection::write(const QByteArray &Reply)
{
    if (Socket->state() == QAbstractSocket::ConnectedState)
        Socket->write(Reply);
}

void TTcpConnection::WindowDone()
{
    if (State != TState::AtWindow)
        return;
    State = TState::Ready;
    write(EmptyReply);
    pump();
}

void TTcpConnection::repliesWritten()
{
    if (!StallTmr.isActive())
        return;
    // Replies are being read: the client gets time again, and its lines are
    // read once the unread replies are few.
    if (Socket->bytesToWrite() > Worker.Limits.OutputHighWater) {
        StallTmr.start();
        return;
    }
    StallTmr.stop();
    pump();
}

void TTcpConnection::drop(const QString &Reason)
{
    if (State == TState::Finished)
        return;
    Worker.Shared.Log(QStringLiteral("TCPIP: Client ") + quoted(HostName) + QStringLiteral(" dropped: it ") + Reason + u'.');
    Close();
}

void TTcpConnection::Close()
{
    if (State == TState::Finished)
        return;
    Socket->abort();
    finish();
}

void TTcpConnection::finish()
{
    if (State == TState::Finished)
        return;
    if (State == TState::Resolving)
        announce(QString());
    State = TState::Finished;
    StallTmr.stop();
    LookupTmr.stop();
    Worker.Shared.Log(QStringLiteral("TCPIP: Client disconnected ") + quoted(HostName));
    Worker.Shared.RemoveClient(Id);
    Worker.Forget(Id);
    deleteLater();
}
