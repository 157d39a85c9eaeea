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

class QTcpServer;
class QTcpSocket;

class TTcpConnection;

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
    void Forget(quint64 ClientId);

private:
    void accept(QTcpServer *Listener);

    std::vector<std::unique_ptr<QTcpServer>> Listeners;
    std::map<quint64, TTcpConnection *> Connections; // children of this object
    quint64 NextId = 1;
};

class TTcpConnection : public QObject
{
    Q_OBJECT
public:
    TTcpConnection(TTcpWorker &Worker, quint64 Id, QTcpSocket *Socket);

    // The window has carried out the command this client waits for.
    void WindowDone();
    // Ends the connection (the listener is closing).
    void Close();

private:
    enum class TState { Resolving, Ready, AtWindow, Finished };

    void resolved(const QString &HostName);
    // The name is known (an empty one: the address stands for it).
    void announce(const QString &HostName);
    // Reads and answers lines until the client must wait: no complete line
    // left, a command at the window, or too many unread replies.
    void pump();
    void answer(const QByteArray &Line);
    void write(const QByteArray &Reply);
    void repliesWritten();
    void drop(const QString &Reason);
    void finish();

    TTcpWorker &Worker;
    const quint64 Id;
    QTcpSocket *Socket; // child
    TTcpLineFramer Framer;
    TState State = TState::Resolving;
    bool Utf8 = false;
    bool Pumping = false;
    QString Address;
    QString HostName;
    QTimer StallTmr;
    QTimer LookupTmr;
};
