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
        if (clients_.size() >= MaxClients) {
            log(QStringLiteral("Client %1 turned away: %2 clients are connected already.").arg(peer).arg(MaxClients));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        clients_.insert(socket, Client{peer, {}});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { forget(socket); });
        log(QStringLiteral("Client %1 connected.").arg(peer));
        emit ClientCountChanged(ClientCount());
        if (socket->bytesAvailable() > 0)
            serve(socket);
    }
}

void TRigctldServer::serve(QTcpSocket *socket)
{
    auto client = clients_.find(socket);
    if (client == clients_.end() || socket->state() != QAbstractSocket::ConnectedState)
        return;
    QList<QByteArray> lines;
    const TRigctldLineReader::Result result = client->reader.Feed(socket->readAll(), &lines);
    const QString peer = client->peer;
    for (const QByteArray &line : std::as_const(lines)) {
        serving_ = peer;
        const TRigctldAnswer answer = protocol_.Answer(line);
        serving_.clear();
        if (!answer.LogText.isEmpty())
            log(peer + QStringLiteral(": ") + answer.LogText);
        socket->write(answer.Reply);
        if (answer.Quit) {
            // What is left unread goes with the connection.
            socket->disconnectFromHost();
            return;
        }
    }
    if (result == TRigctldLineReader::Garbage)
        drop(socket, QStringLiteral("it sent bytes that are no command text"));
    else if (result == TRigctldLineReader::TooLong)
        drop(socket, QStringLiteral("it sent a line longer than %1 characters").arg(TRigctldLineReader::MaxLineLength));
    else if (socket->bytesToWrite() > MaxUnreadBytes)
        drop(socket, QStringLiteral("it does not read its answers"));
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
