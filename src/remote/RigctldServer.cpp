#include "remote/RigctldServer.h"

#include <QTcpServer>
#include <QTcpSocket>

TRigctldServer::TRigctldServer(TRigctldHost &host, QObject *parent)
    : QObject(parent)
    , protocol_(host)
    , server_(new QTcpServer(this))
{
    connect(server_, &QTcpServer::newConnection, this, &TRigctldServer::acceptClients);
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
    const QList<QTcpSocket *> sockets = clients_.keys();
    for (QTcpSocket *socket : sockets) {
        const QString peer = clients_.value(socket).peer;
        if (!quietly) {
            log(QStringLiteral("Client %1 disconnected.").arg(peer));
            emit ClientGone(peer);
        }
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    clients_.clear();
    server_->close();
    if (!quietly && !sockets.isEmpty())
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
    while (QTcpSocket *socket = server_->nextPendingConnection()) {
        const QString peer = EndpointText(socket->peerAddress(), socket->peerPort());
        if (clients_.size() >= MaxClients && !makeRoom(peer)) {
            log(QStringLiteral("Client %1 turned away: %2 clients wait for the radio.").arg(peer).arg(MaxClients));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // What a client sends while its answers wait stays with the system.
        socket->setReadBufferSize(64 * 1024);
        Client client;
        client.id = ++nextId_;
        client.peer = peer;
        client.lastActive = ++activity_;
        clients_.insert(socket, client);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { forget(socket); });
        log(QStringLiteral("Client %1 connected.").arg(peer));
        emit ClientCountChanged(ClientCount());
        if (socket->bytesAvailable() > 0)
            serve(socket);
    }
}

bool TRigctldServer::makeRoom(const QString &newPeer)
{
    QTcpSocket *idlest = nullptr;
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

void TRigctldServer::serve(QTcpSocket *socket)
{
    auto client = clients_.find(socket);
    if (client == clients_.end() || client->serving)
        return; // an answer given while serving: the loop below goes on
    client->serving = true;
    for (;;) {
        client = clients_.find(socket); // an answer may have closed it
        if (client == clients_.end())
            return;
        if (client->answering)
            break; // the radio is read first; deliver() goes on
        if (socket->bytesToWrite() > MaxUnreadBytes) {
            drop(socket, QStringLiteral("it does not read its answers"));
            return;
        }
        if (!client->requests.isEmpty()) {
            client->answering = true;
            const quint64 id = client->id;
            // What a command sets is done for this client (it holds the
            // transmitter it keys).
            serving_ = client->peer;
            protocol_.Answer(client->requests.takeFirst(), [this, socket, id](const TRigctldAnswer &answer) {
                deliver(socket, id, answer);
            });
            serving_.clear();
            continue;
        }
        if (!client->dropReason.isEmpty()) {
            drop(socket, client->dropReason);
            return;
        }
        if (socket->state() != QAbstractSocket::ConnectedState || socket->bytesAvailable() == 0)
            break;
        QList<QByteArray> lines;
        const TRigctldLineReader::Result result = client->reader.Feed(socket->readAll(), &lines);
        client->lastActive = ++activity_;
        for (const QByteArray &line : std::as_const(lines))
            client->requests += ParseRigctldLine(line);
        if (result == TRigctldLineReader::Garbage)
            client->dropReason = QStringLiteral("it sent bytes that are no command text");
        else if (result == TRigctldLineReader::TooLong)
            client->dropReason = QStringLiteral("it sent a line longer than %1 characters").arg(TRigctldLineReader::MaxLineLength);
    }
    client->serving = false;
}

void TRigctldServer::deliver(QTcpSocket *socket, quint64 id, const TRigctldAnswer &answer)
{
    auto client = clients_.find(socket);
    if (client == clients_.end() || client->id != id)
        return; // gone while the radio was read
    client->answering = false;
    if (!answer.LogText.isEmpty())
        log(client->peer + QStringLiteral(": ") + answer.LogText);
    socket->write(answer.Reply);
    if (answer.Quit) {
        // What is left unread goes with the connection.
        client->requests.clear();
        client->dropReason.clear();
        socket->disconnectFromHost();
        return;
    }
    serve(socket);
}

void TRigctldServer::drop(QTcpSocket *socket, const QString &reason)
{
    const QString peer = clients_.value(socket).peer;
    log(QStringLiteral("Client %1 dropped: %2.").arg(peer, reason));
    clients_.remove(socket);
    socket->disconnect(this);
    socket->flush(); // the answers to its lines before the fault
    socket->abort();
    socket->deleteLater();
    emit ClientCountChanged(ClientCount());
    emit ClientGone(peer);
}

void TRigctldServer::forget(QTcpSocket *socket)
{
    const auto client = clients_.constFind(socket);
    if (client == clients_.cend())
        return;
    const QString peer = client->peer;
    log(QStringLiteral("Client %1 disconnected.").arg(peer));
    clients_.erase(client);
    socket->disconnect(this);
    socket->deleteLater();
    emit ClientCountChanged(ClientCount());
    emit ClientGone(peer);
}
