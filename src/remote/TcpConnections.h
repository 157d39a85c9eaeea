#pragma once

// The server's thread: the listeners and one TTcpConnection per client.
// Only TTcpServer uses these classes.

#include "remote/TcpServer.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QSocketNotifier;
class QTcpServer;
class TTcpConnection;
class TTcpStream;

class TTcpWorker : public QObject
{
    Q_OBJECT
public:
    // ToWindow hands a window command of a client to the window's thread;
    // WindowDone is to be called on this thread when it has been carried out.
    using TToWindow = std::function<void(quint64 ClientId, const TTcpRequest &Request)>;

    TTcpWorker(TTcpShared &Shared, TToWindow ToWindow);
    ~TTcpWorker() override;

    TTcpServer::TStartResult Listen(const QList<TTcpBinding> &Bindings, const TTcpServerLimits &Limits,
                                    const TTcpResolver &Resolver);
    void CloseAll();
    QList<quint16> Ports() const;
    void WindowDone(quint64 ClientId);

    // Used by the connections.
    TTcpShared &Shared;
    TToWindow ToWindow;
    TTcpServerLimits Limits;
    TTcpResolver Resolver;
    // A connection has ended: its descriptor is free for the next client.
    void Forget(quint64 ClientId);

private:
    // A listening endpoint. QTcpServer listens; the connections are taken
    // here, so that running out of descriptors pauses accepting instead of
    // ending it (or retrying it at once, for ever).
    struct TListener
    {
        std::unique_ptr<QTcpServer> Server;
        std::unique_ptr<QSocketNotifier> Waiting; // a connection waits to be taken
        ~TListener();
    };

    void accept(TListener &Listener);
    void pauseAccepting(const QString &Reason);
    void resumeAccepting();

    std::vector<std::unique_ptr<TListener>> Listeners;
    std::map<quint64, TTcpConnection *> Connections; // children of this object
    quint64 NextId = 1;
    QTimer AcceptRetryTmr;
    bool AcceptPaused = false;
};

class TTcpConnection : public QObject
{
    Q_OBJECT
public:
    // Takes over the connected socket.
    TTcpConnection(TTcpWorker &Worker, quint64 Id, qintptr Descriptor);
    // Looks up the client's name, then serves it.
    void Start();

    // The window has carried out the command this client waits for.
    void WindowDone();
    // Ends the connection (the listener is closing).
    void Close();

private:
    // Ending: the client has sent all it will and every line has its reply;
    // the connection closes once the replies are written.
    enum class TState { Resolving, Ready, AtWindow, Ending, Finished };

    void resolved(const QString &HostName);
    // The name is known (an empty one: the address stands for it).
    void announce(const QString &HostName);
    // Reads and answers lines until the client must wait: no complete line
    // left, a command at the window, or too many unread replies. Bytes are
    // read only when every line before has been answered, so that the end
    // of the client's data (a half-close) is seen only then.
    void pump();
    void answer(const QByteArray &Line);
    void write(const QByteArray &Reply);
    void repliesWritten();
    // Closes once every reply is written.
    void endWhenWritten();
    void drop(const QString &Reason);
    void finish();

    TTcpWorker &Worker;
    const quint64 Id;
    TTcpStream *Stream; // child
    TTcpLineFramer Framer;
    TState State = TState::Resolving;
    bool Utf8 = false;
    bool Pumping = false;
    QString Address;
    QString HostName;
    QTimer StallTmr;
    QTimer LookupTmr;
};
