#pragma once

// The TCP command server for companion programs.
//
// Threads. The sockets are served by one thread of the server's own, for
// every client together (event-driven, not a thread per client). Commands
// that only read ("QS", "CS", "GM", "XS", "AV", "IV") are answered on that
// thread at once from replies the window's thread published last
// (PublishState), so that a client never waits for a serial transfer that
// holds the window's thread. Commands that change the window ("UM", "FM",
// "DM", "SM", "TT") are carried out on the window's thread through
// TTcpServerHost; the client's reply is written after that, and the client's
// next line is not read before. So each client's lines take effect in the
// order sent, each reply follows its effect, and a window request is
// outstanding for at most one line per client.
//
// The state is published again after every window command, whenever the
// window's thread is about to wait for events, and whenever the window calls
// PublishState (before each blocking serial transfer), so a status reply
// shows what the window shows.
//
// No client can hold up another or the window: writes never block; a client
// whose unread replies pass OutputHighWater is not read from until they
// drain, and is dropped when none drains for StallTimeoutMs; a line longer
// than TcpMaxLineLength drops its client. A client that has finished sending
// (a half-close) gets the replies to all its lines before the server closes
// the connection.

#include "remote/TcpCommands.h"

#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QThread;
class TTcpServerHost;
class TTcpWorker;

// One listening endpoint. An empty address leaves the endpoint unused; port
// 0 lets the system choose a free one.
struct TTcpBinding
{
    QString Address;
    int Port = 0;
};

// One connected client, from its connection to its disconnection.
struct TTcpClientInfo
{
    quint64 Id = 0;
    QString PeerAddress;
    QString HostName; // the peer address until the reverse lookup is done
};

struct TTcpServerLimits
{
    // Reply bytes a client may leave unread before its lines wait.
    qint64 OutputHighWater = 64 * 1024;
    // How long replies may wait unread (beyond OutputHighWater) before the
    // client is dropped.
    int StallTimeoutMs = 30000;
    // How long a reverse lookup of a client's address may take; after that
    // the address stands for the name.
    int LookupTimeoutMs = 2000;
    // How long accepting pauses when the system has no descriptor left for
    // a new client (unless a client leaves before).
    int AcceptRetryMs = 500;
};

// Finds the host name of an address: calls Done once with the name, or with
// an empty text when there is none. Context is the connection: when it goes,
// a late answer must not be delivered.
using TTcpResolver =
    std::function<void(const QHostAddress &Address, QObject *Context, std::function<void(const QString &)> Done)>;

// What the server's thread reads: the replies of the read-only commands.
struct TTcpReplies
{
    QByteArray Status;          // "QS", with CR LF
    QByteArray Connected;       // "CS"
    QByteArray GroupsAnsi;      // "GM" for a client of the 8-bit code page
    QByteArray GroupsUtf8;      // "GM" for a client that sends UTF-8
};

// State shared by the window's thread and the server's thread, each part
// under its own lock.
struct TTcpShared
{
    std::function<void(const QString &)> Log; // thread-safe
    QByteArray VersionReply;                  // "AV"

    std::shared_ptr<const TTcpReplies> Replies() const;
    void SetReplies(std::shared_ptr<const TTcpReplies> Replies);

    // TcpClients.
    void AddClient(const TTcpClientInfo &Client);
    void SetClientName(quint64 Id, const QString &HostName);
    void RemoveClient(quint64 Id);
    QList<TTcpClientInfo> Clients() const;
    int ClientCount() const;

private:
    mutable QMutex RepliesLock;
    std::shared_ptr<const TTcpReplies> CurrentReplies;
    mutable QMutex ClientsLock;
    QList<TTcpClientInfo> ClientList;
};

class TTcpServer : public QObject
{
    Q_OBJECT
public:
    using TLog = std::function<void(const QString &Line)>;

    // Log must be callable from any thread.
    TTcpServer(TTcpServerHost &Host, TLog Log, QObject *Parent = nullptr);
    ~TTcpServer() override;

    struct TStartResult
    {
        int FailedBinding = -1; // index of the endpoint that could not listen
        QString Error;          // the system's reason
        bool Ok() const { return FailedBinding < 0; }
    };
    // Stops, then listens on every binding; when one fails none listens.
    TStartResult Start(const QList<TTcpBinding> &Bindings);
    // Closes the listeners and every client connection.
    void Stop();
    bool IsActive() const;
    // The ports listened on, in binding order (the chosen one for port 0).
    QList<quint16> ListeningPorts() const;

    QList<TTcpClientInfo> TcpClients() const;
    int ClientCount() const;

    // Reads the window's state and hands new replies to the server's thread.
    void PublishState();

    // Take effect at the next Start.
    void SetLimits(const TTcpServerLimits &Limits);
    void SetResolver(TTcpResolver Resolver);

private:
    void runWindowRequest(quint64 ClientId, const TTcpRequest &Request);

    TTcpServerHost &Host;
    TTcpShared Shared;
    TTcpServerLimits Limits;
    TTcpResolver Resolver;
    QThread *Thread = nullptr;
    TTcpWorker *Worker = nullptr; // lives on Thread
    bool Active = false;
    bool Published = false;
    TTcpWindowState LastState;
};
