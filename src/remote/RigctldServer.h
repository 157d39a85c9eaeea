#pragma once

// The rigctld-compatible listener: one TCP server on the configured address,
// up to MaxClients clients, all on the user-interface thread, so no lock
// guards the program's state. Each client's commands are answered one after
// the other in their order: at once, or when the radio has been read (the
// client's further lines wait meanwhile, its socket is not read). A client
// that has sent all it will (printf 'f\n' | nc -N) still gets every answer
// before its connection is closed.

#include "remote/RigctldProtocol.h"

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QSocketNotifier;
class QTcpServer;
class TTcpStream;

class TRigctldServer : public QObject
{
    Q_OBJECT
public:
    // With this many clients, a new one takes the place of the one that has
    // been idle longest; it is turned away only while every one waits for
    // an answer from the radio.
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
        quint64 id = 0;
        QString peer; // kept for the log: a closed socket forgets it
        TRigctldLineReader reader;
        QList<TRigctldRequest> requests; // read, not yet answered
        bool answering = false;          // one request is at the protocol
        bool serving = false;            // serve() is running for it
        QString dropReason;              // bad input: dropped once the lines before it are answered
        bool ending = false;             // nothing more to answer: closed once its answers are out
        quint64 lastActive = 0;          // activity_ when it last sent something
    };
    void acceptClients();
    void admit(TTcpStream *stream);
    // Makes room for a new client: drops the one idle longest; false when
    // every client waits for the radio.
    bool makeRoom(const QString &newPeer);
    // Answers what the client asked, in order, and reads on while nothing waits.
    void serve(TTcpStream *stream);
    void deliver(TTcpStream *stream, quint64 id, const TRigctldAnswer &answer);
    // Closes the connection once what was written has gone out.
    void endWhenWritten(TTcpStream *stream);
    void drop(TTcpStream *stream, const QString &reason);
    // The connection is over: closed here, or broken by the client.
    void forget(TTcpStream *stream);
    // Closes every client and the listener; quietly when the log may be gone.
    void closeAll(bool quietly);
    void log(const QString &text) const;

    TRigctldProtocol protocol_;
    QTcpServer *server_ = nullptr;                // listens; connections are taken natively
    std::unique_ptr<QSocketNotifier> waiting_;    // a connection waits to be taken
    QHash<TTcpStream *, Client> clients_;
    quint64 nextId_ = 0;
    quint64 activity_ = 0;
    std::function<void(const QString &)> logger_;
    QString error_;
    QString serving_;
    bool acceptFailing_ = false; // said once for a run of failures
};
