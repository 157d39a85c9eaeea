#pragma once

// The rigctld-compatible listener: one TCP server on the configured address,
// any number of clients, each line answered at once on the user-interface
// thread (the answers come from what the window shows, the sets go into the
// command queue), so no lock guards the window's state.

#include "remote/RigctldProtocol.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <functional>

class QTcpServer;
class QTcpSocket;

class TRigctldServer : public QObject
{
    Q_OBJECT
public:
    // Clients beyond this many are turned away.
    static constexpr int MaxClients = 32;
    // A client that leaves this many bytes of answers unread is dropped.
    static constexpr qint64 MaxUnreadBytes = 1 << 20;

    explicit TRigctldServer(TRigctldHost &host, QObject *parent = nullptr);
    ~TRigctldServer() override;

    // Listens on the address and port (0: any free port); a listener already
    // open is closed first, with its clients. False with ErrorText() when the
    // port cannot be had.
    bool Listen(const QHostAddress &address, quint16 port);
    void Close();
    bool IsListening() const;
    QHostAddress Address() const;
    quint16 Port() const;
    QString ErrorText() const;
    int ClientCount() const;

    // The client whose line is being answered ("127.0.0.1:51234"), empty
    // between lines: who keys the transmitter with "T 1".
    QString ServingClient() const { return serving_; }

    // Where the endpoint's log lines go ("RIGCTLD: ..." is added in front).
    void SetLogger(std::function<void(const QString &)> logger);

    // "ADDRESS:PORT" as people write it; IPv6 addresses in brackets.
    static QString EndpointText(const QHostAddress &address, quint16 port);

signals:
    void ClientCountChanged(int count);
    // A client's connection is over: closed or reset by it, dropped here, or
    // closed with the listener.
    void ClientGone(const QString &peer);

private:
    struct Client
    {
        QString peer; // kept for the log: a closed socket forgets it
        TRigctldLineReader reader;
    };
    void acceptClients();
    void serve(QTcpSocket *socket);
    void drop(QTcpSocket *socket, const QString &reason);
    void forget(QTcpSocket *socket);
    // Closes every client and the listener; quietly when the log may be gone.
    void closeAll(bool quietly);
    void log(const QString &text) const;

    TRigctldProtocol protocol_;
    QTcpServer *server_ = nullptr;
    QHash<QTcpSocket *, Client> clients_;
    std::function<void(const QString &)> logger_;
    QString error_;
    QString serving_;
};
