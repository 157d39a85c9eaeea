#include "remote/TcpConnections.h"

#include "remote/TcpStream.h"

#include <QSocketNotifier>
#include <QTcpServer>

namespace {

// Bytes taken from a socket at a time.
constexpr qint64 ReadChunk = 16 * 1024;
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

TTcpWorker::TListener::~TListener()
{
    Waiting.reset(); // before the server closes the descriptor it watches
}

TTcpWorker::TTcpWorker(TTcpShared &Shared, TToWindow ToWindow)
    : Shared(Shared)
    , ToWindow(std::move(ToWindow))
    , AcceptRetryTmr(this)
{
    AcceptRetryTmr.setSingleShot(true);
    connect(&AcceptRetryTmr, &QTimer::timeout, this, &TTcpWorker::resumeAccepting);
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
        auto listener = std::make_unique<TListener>();
        listener->Server = std::make_unique<QTcpServer>();
        QTcpServer &server = *listener->Server;
        if (!address.setAddress(binding.Address)) {
            error = QStringLiteral("\"%1\" is not an IP address").arg(binding.Address);
        } else if (binding.Port < 0 || binding.Port > 65535) {
            error = QStringLiteral("%1 is not a port number").arg(binding.Port);
        } else {
            server.setListenBacklogSize(ListenBacklog);
            if (!server.listen(address, quint16(binding.Port)))
                error = server.errorString();
        }
        if (!error.isEmpty()) {
            Listeners.clear();
            return {i, error};
        }
        server.pauseAccepting();
        listener->Waiting = std::make_unique<QSocketNotifier>(server.socketDescriptor(), QSocketNotifier::Read);
        TListener *raw = listener.get();
        connect(raw->Waiting.get(), &QSocketNotifier::activated, this, [this, raw] { accept(*raw); });
        Listeners.push_back(std::move(listener));
    }
    return {};
}

void TTcpWorker::CloseAll()
{
    Listeners.clear();
    AcceptRetryTmr.stop();
    AcceptPaused = false;
    const auto connections = Connections;
    for (const auto &[id, connection] : connections)
        connection->Close();
}

QList<quint16> TTcpWorker::Ports() const
{
    QList<quint16> ports;
    for (const auto &listener : Listeners)
        ports.append(listener->Server->serverPort());
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
    if (AcceptPaused)
        resumeAccepting();
}

void TTcpWorker::accept(TListener &Listener)
{
    for (;;) {
        const TTcpAccepted next = AcceptTcpConnection(Listener.Server->socketDescriptor());
        switch (next.Result) {
        case TTcpAccepted::Taken: {
            const quint64 id = NextId++;
            TTcpConnection *connection = new TTcpConnection(*this, id, next.Descriptor);
            Connections[id] = connection;
            connection->Start(); // may end it at once: it is known by then
            continue;
        }
        case TTcpAccepted::Gone:
            continue;
        case TTcpAccepted::NoneWaiting:
            return;
        default:
            pauseAccepting(next.Error);
            return;
        }
    }
}

// The connection stays waiting in the system's queue; it is taken when a
// client leaves or after a moment, whichever comes first.
void TTcpWorker::pauseAccepting(const QString &Reason)
{
    if (!AcceptPaused)
        Shared.Log(QStringLiteral("TCPIP: Can't accept a client: ") + Reason + QStringLiteral(". Trying again."));
    AcceptPaused = true;
    for (const auto &listener : Listeners)
        listener->Waiting->setEnabled(false);
    AcceptRetryTmr.start(Limits.AcceptRetryMs);
}

void TTcpWorker::resumeAccepting()
{
    AcceptPaused = false;
    AcceptRetryTmr.stop();
    for (const auto &listener : Listeners)
        listener->Waiting->setEnabled(true);
}

// ---- one client -----------------------------------------------------------------

TTcpConnection::TTcpConnection(TTcpWorker &Worker, quint64 Id, qintptr Descriptor)
    : QObject(&Worker)
    , Worker(Worker)
    , Id(Id)
    , Stream(new TTcpStream(Descriptor, this))
{
    Address = Stream->PeerAddress().toString();
    HostName = Address;
    Worker.Shared.AddClient({Id, Address, Address});

    connect(Stream, &TTcpStream::ReadyRead, this, &TTcpConnection::pump);
    connect(Stream, &TTcpStream::BytesWritten, this, &TTcpConnection::repliesWritten);
    connect(Stream, &TTcpStream::Broken, this, &TTcpConnection::finish);
    StallTmr.setSingleShot(true);
    StallTmr.setInterval(Worker.Limits.StallTimeoutMs);
    connect(&StallTmr, &QTimer::timeout, this, [this] { drop(QStringLiteral("does not read its replies")); });
    LookupTmr.setSingleShot(true);
    connect(&LookupTmr, &QTimer::timeout, this, [this] { resolved(QString()); });
}

void TTcpConnection::Start()
{
    LookupTmr.start(Worker.Limits.LookupTimeoutMs);
    // The connection may be gone before the name comes (or never comes).
    if (Worker.Resolver)
        Worker.Resolver(Stream->PeerAddress(), this, [this](const QString &Name) { resolved(Name); });
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
    bool wantBytes = false;
    while (State == TState::Ready) {
        if (Stream->BytesToWrite() > Worker.Limits.OutputHighWater) {
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
        } else if (Stream->AtEnd()) {
            endWhenWritten(); // a last line without its LF goes unanswered
        } else {
            const QByteArray more = Stream->Read(ReadChunk);
            if (more.isEmpty() && !Stream->AtEnd()) {
                wantBytes = true;
                break;
            }
            Framer.Append(more);
        }
    }
    Stream->WatchReading(wantBytes);
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
    Stream->Write(Reply);
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
    if (State == TState::Ending) {
        endWhenWritten();
        return;
    }
    if (!StallTmr.isActive())
        return;
    // Replies are being read: the client gets time again, and its lines are
    // read once the unread replies are few.
    if (Stream->BytesToWrite() > Worker.Limits.OutputHighWater) {
        StallTmr.start();
        return;
    }
    StallTmr.stop();
    pump();
}

void TTcpConnection::endWhenWritten()
{
    State = TState::Ending;
    if (Stream->BytesToWrite() > 0) {
        // Written as the client reads; one that stops reading is dropped.
        if (!StallTmr.isActive())
            StallTmr.start();
        return;
    }
    Close();
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
    Stream->Close();
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
