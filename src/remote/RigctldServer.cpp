#include "remote/RigctldServer.h"

#include "remote/TcpStream.h"

#include <QSocketNotifier>
#include <QTcpServer>
#include <QTimer>

namespace {

// What is read of a client at a time: its lines are answered before more is read.
constexpr qint64 ReadChunk = 16 * 1024;
// How long accepting rests when the system has no descriptor for a client.
constexpr int AcceptRetryMs = 500;

} // namespace

TRigctldServer::TRigctldServer(TRigctldHost &host, QObject *parent)
    : QObject(parent)
    , protocol_(host)
    , server_(new QTcpServer(this))
{
}

TRigctldServer::~TRigctldServer()
{
    // The window that owns the log may be half gone by now.
    closeAll(true);
}

QString TRigctldServer::EndpointText(const QHostAddress &address, quint16 port)
{
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol ? u'[' + address.toString() + u']'
                                                                              : address.toString();
    return host + u':' + QString::number(port);
}

void TRigctldServer::SetLogger(std::function<void(const QString &)> logger)
{
    logger_ = std::move(logger);
}

void TRigctldServer::log(const QString &text) const
{
    if (logger_)
        logger_(QStringLiteral("RIGCTLD: ") + text);
}

bool TRigctldServer::Listen(const QHostAddress &address, quint16 port)
{
    Close();
    error_.clear();
    if (!server_->listen(address, port)) {
        error_ = server_->errorString();
        log(QStringLiteral("Can't listen on %1: %2").arg(EndpointText(address, port), error_));
        return false;
    }
    // Connections are taken here on their native sockets, not by Qt's
    // server as QTcpSockets (which drop the answers of a client that stops
    // sending).
    server_->pauseAccepting();
    waiting_ = std::make_unique<QSocketNotifier>(server_->socketDescriptor(), QSocketNotifier::Read);
    connect(waiting_.get(), &QSocketNotifier::activated, this, &TRigctldServer::acceptClients);
    log(QStringLiteral("Listening on %1.").arg(EndpointText(Address(), Port())));
    return true;
}

void TRigctldServer::Close()
{
    if (!server_->isListening())
        return;
    log(QStringLiteral("Stopped listening on %1.").arg(EndpointText(Address(), Port())));
    closeAll(false);
}

void TRigctldServer::closeAll(bool quietly)
{
    const QList<TTcpStream *> streams = clients_.keys();
    for (TTcpStream *stream : streams) {
        const QString peer = clients_.value(stream).peer;
        if (!quietly) {
            log(QStringLiteral("Client %1 disconnected.").arg(peer));
            emit ClientGone(peer);
        }
        stream->disconnect(this);
        stream->Close();
        stream->deleteLater();
    }
    clients_.clear();
    waiting_.reset();
    server_->close();
    if (!quietly && !streams.isEmpty())
        emit ClientCountChanged(0);
}

bool TRigctldServer::IsListening() const
{
    return server_->isListening();
}

QHostAddress TRigctldServer::Address() const
{
    return server_->serverAddress();
}

quint16 TRigctldServer::Port() const
{
    return server_->serverPort();
}

QString TRigctldServer::ErrorText() const
{
    return error_;
}

int TRigctldServer::ClientCount() const
{
    return int(clients_.size());
}

void TRigctldServer::acceptClients()
{
    for (;;) {
        const TTcpAccepted next = AcceptTcpConnection(server_->socketDescriptor());
        switch (next.Result) {
        case TTcpAccepted::Taken:
            acceptFailing_ = false;
            admit(new TTcpStream(next.Descriptor, this));
            continue;
        case TTcpAccepted::Gone:
            continue;
        case TTcpAccepted::NoneWaiting:
            return;
        default:
            // Out of descriptors, say: the connection waits in the system's
            // queue while accepting rests, rather than being asked for again
            // and again at once.
            if (!acceptFailing_)
                log(QStringLiteral("Can't accept a client: %1. Trying again.").arg(next.Error));
            acceptFailing_ = true;
            waiting_->setEnabled(false);
            QTimer::singleShot(AcceptRetryMs, waiting_.get(), [this] { waiting_->setEnabled(true); });
            return;
        }
    }
}

void TRigctldServer::admit(TTcpStream *stream)
{
    const QString peer = EndpointText(stream->PeerAddress(), stream->PeerPort());
    if (clients_.size() >= MaxClients && !makeRoom(peer)) {
        log(QStringLiteral("Client %1 turned away: %2 clients wait for the radio.").arg(peer).arg(MaxClients));
        stream->Close();
        stream->deleteLater();
        return;
    }
    Client client;
    client.id = ++nextId_;
    client.peer = peer;
    client.lastActive = ++activity_;
    clients_.insert(stream, client);
    connect(stream, &TTcpStream::ReadyRead, this, [this, stream] { serve(stream); });
    connect(stream, &TTcpStream::BytesWritten, this, [this, stream] {
        if (clients_.value(stream).ending)
            endWhenWritten(stream);
    });
    connect(stream, &TTcpStream::Broken, this, [this, stream] { forget(stream); });
    log(QStringLiteral("Client %1 connected.").arg(peer));
    emit ClientCountChanged(ClientCount());
    serve(stream);
}

bool TRigctldServer::makeRoom(const QString &newPeer)
{
    TTcpStream *idlest = nullptr;
    quint64 since = 0;
    for (auto client = clients_.cbegin(); client != clients_.cend(); ++client)
        if (!client->answering && (!idlest || client->lastActive < since)) {
            idlest = client.key();
            since = client->lastActive;
        }
    if (!idlest)
        return false;
    drop(idlest, QStringLiteral("it was idle longest when %1 came").arg(newPeer));
    return true;
}

void TRigctldServer::serve(TTcpStream *stream)
{
    auto client = clients_.find(stream);
    if (client == clients_.end() || client->serving)
        return; // an answer given while serving: the loop below goes on
    client->serving = true;
    bool wantBytes = false;
    for (;;) {
        client = clients_.find(stream); // an answer may have closed it
        if (client == clients_.end())
            return;
        if (client->answering || client->ending)
            break; // the radio is read first; deliver() goes on
        if (stream->BytesToWrite() > MaxUnreadBytes) {
            drop(stream, QStringLiteral("it does not read its answers"));
            return;
        }
        if (!client->requests.isEmpty()) {
            client->answering = true;
            const quint64 id = client->id;
            // What a command sets is done for this client (it holds the
            // transmitter it keys).
            serving_ = client->peer;
            protocol_.Answer(client->requests.takeFirst(), [this, stream, id](const TRigctldAnswer &answer) {
                deliver(stream, id, answer);
            });
            serving_.clear();
            continue;
        }
        if (!client->dropReason.isEmpty()) {
            drop(stream, client->dropReason);
            return;
        }
        if (stream->AtEnd()) {
            // It has sent all it will, and all of it is answered (a last
            // line without its line end goes unanswered).
            client->serving = false;
            stream->WatchReading(false);
            endWhenWritten(stream);
            return;
        }
        const QByteArray bytes = stream->Read(ReadChunk);
        if (bytes.isEmpty()) {
            if (stream->AtEnd())
                continue; // the end of its data, or a broken connection
            wantBytes = true;
            break;
        }
        QList<QByteArray> lines;
        const TRigctldLineReader::Result result = client->reader.Feed(bytes, &lines);
        client->lastActive = ++activity_;
        for (const QByteArray &line : std::as_const(lines))
            client->requests += ParseRigctldLine(line);
        if (result == TRigctldLineReader::Garbage)
            client->dropReason = QStringLiteral("it sent bytes that are no command text");
        else if (result == TRigctldLineReader::TooLong)
            client->dropReason = QStringLiteral("it sent a line longer than %1 characters").arg(TRigctldLineReader::MaxLineLength);
    }
    // Not read while its answers wait: its further lines wait with the system.
    stream->WatchReading(wantBytes);
    client->serving = false;
}

void TRigctldServer::deliver(TTcpStream *stream, quint64 id, const TRigctldAnswer &answer)
{
    auto client = clients_.find(stream);
    if (client == clients_.end() || client->id != id)
        return; // gone while the radio was read
    client->answering = false;
    if (!answer.LogText.isEmpty())
        log(client->peer + QStringLiteral(": ") + answer.LogText);
    if (answer.Quit) {
        // What is left unread goes with the connection.
        client->requests.clear();
        client->dropReason.clear();
        client->ending = true;
    }
    stream->Write(answer.Reply); // a broken connection is forgotten here
    if (!clients_.contains(stream))
        return;
    if (answer.Quit)
        endWhenWritten(stream);
    else
        serve(stream);
}

void TRigctldServer::endWhenWritten(TTcpStream *stream)
{
    const auto client = clients_.find(stream);
    if (client == clients_.end())
        return;
    client->ending = true;
    if (stream->BytesToWrite() > 0)
        return; // written as the client reads; BytesWritten comes back here
    stream->Close();
    forget(stream);
}

void TRigctldServer::drop(TTcpStream *stream, const QString &reason)
{
    const QString peer = clients_.value(stream).peer;
    log(QStringLiteral("Client %1 dropped: %2.").arg(peer, reason));
    clients_.remove(stream);
    stream->disconnect(this);
    // The answers to its lines before the fault went out as far as the
    // system took them.
    stream->Close();
    stream->deleteLater();
    emit ClientCountChanged(ClientCount());
    emit ClientGone(peer);
}

void TRigctldServer::forget(TTcpStream *stream)
{
    const auto client = clients_.constFind(stream);
    if (client == clients_.cend())
        return;
    const QString peer = client->peer;
    log(QStringLiteral("Client %1 disconnected.").arg(peer));
    clients_.erase(client);
    stream->disconnect(this);
    stream->Close();
    stream->deleteLater();
    emit ClientCountChanged(ClientCount());
    emit ClientGone(peer);
}
