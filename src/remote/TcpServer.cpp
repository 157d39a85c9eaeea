#include "remote/TcpServer.h"

#include "base/Folders.h"
#include "remote/TcpConnections.h"
#include "remote/TcpServerHost.h"

#include <QAbstractEventDispatcher>
#include <QHostInfo>
#include <QMutexLocker>
#include <QThread>

// ---- shared state -------------------------------------------------------------

std::shared_ptr<const TTcpReplies> TTcpShared::Replies() const
{
    QMutexLocker lock(&RepliesLock);
    return CurrentReplies;
}

void TTcpShared::SetReplies(std::shared_ptr<const TTcpReplies> Replies)
{
    QMutexLocker lock(&RepliesLock);
    CurrentReplies.swap(Replies);
    // The old replies are released after the lock (Replies now holds them).
    lock.unlock();
}

void TTcpShared::AddClient(const TTcpClientInfo &Client)
{
    QMutexLocker lock(&ClientsLock);
    ClientList.append(Client);
}

void TTcpShared::SetClientName(quint64 Id, const QString &HostName)
{
    QMutexLocker lock(&ClientsLock);
    for (TTcpClientInfo &client : ClientList)
        if (client.Id == Id)
            client.HostName = HostName;
}

void TTcpShared::RemoveClient(quint64 Id)
{
    QMutexLocker lock(&ClientsLock);
    ClientList.removeIf([Id](const TTcpClientInfo &client) { return client.Id == Id; });
}

QList<TTcpClientInfo> TTcpShared::Clients() const
{
    QMutexLocker lock(&ClientsLock);
    return ClientList;
}

int TTcpShared::ClientCount() const
{
    QMutexLocker lock(&ClientsLock);
    return int(ClientList.size());
}

// ---- the server ----------------------------------------------------------------

namespace {

// The system's reverse lookup, answered on the asking thread.
void lookUpHostName(const QHostAddress &Address, QObject *Context, std::function<void(const QString &)> Done)
{
    const QString text = Address.toString();
    QHostInfo::lookupHost(text, Context, [Done = std::move(Done), text](const QHostInfo &Info) {
        const bool found = Info.error() == QHostInfo::NoError && Info.hostName() != text;
        Done(found ? Info.hostName() : QString());
    });
}

} // namespace

TTcpServer::TTcpServer(TTcpServerHost &Host, TLog Log, QObject *Parent)
    : QObject(Parent)
    , Host(Host)
    , Resolver(lookUpHostName)
{
    Shared.Log = std::move(Log);
    Shared.VersionReply = EncodeTcpReply(FileVersionText(), false);

    Thread = new QThread(this);
    Thread->setObjectName(QStringLiteral("TcpServer"));
    Worker = new TTcpWorker(Shared, [this](quint64 ClientId, const TTcpRequest &Request) {
        QMetaObject::invokeMethod(this, [this, ClientId, Request] { runWindowRequest(ClientId, Request); },
                                  Qt::QueuedConnection);
    });
    Worker->moveToThread(Thread);
    connect(Thread, &QThread::finished, Worker, &QObject::deleteLater);
    Thread->start();

    // Whatever the window's thread did before it waits for events (or
    // returns to look for them) is what the status replies show from then on.
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance(thread())) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (Active)
                PublishState();
        });
        connect(dispatcher, &QAbstractEventDispatcher::awake, this, [this] {
            if (Active)
                PublishState();
        });
    }
}

TTcpServer::~TTcpServer()
{
    Stop();
    Thread->quit();
    Thread->wait();
}

TTcpServer::TStartResult TTcpServer::Start(const QList<TTcpBinding> &Bindings)
{
    Stop();
    PublishState();
    TStartResult result;
    QMetaObject::invokeMethod(
        Worker, [&] { result = Worker->Listen(Bindings, Limits, Resolver); }, Qt::BlockingQueuedConnection);
    Active = result.Ok();
    return result;
}

void TTcpServer::Stop()
{
    QMetaObject::invokeMethod(Worker, [this] { Worker->CloseAll(); }, Qt::BlockingQueuedConnection);
    Active = false;
}

bool TTcpServer::IsActive() const
{
    return Active;
}

QList<quint16> TTcpServer::ListeningPorts() const
{
    QList<quint16> ports;
    QMetaObject::invokeMethod(Worker, [&] { ports = Worker->Ports(); }, Qt::BlockingQueuedConnection);
    return ports;
}

QList<TTcpClientInfo> TTcpServer::TcpClients() const
{
    return Shared.Clients();
}

int TTcpServer::ClientCount() const
{
    return Shared.ClientCount();
}

void TTcpServer::PublishState()
{
    const TTcpWindowState state = Host.TcpWindowState();
    if (Published && state == LastState)
        return;
    Published = true;
    LastState = state;
    auto replies = std::make_shared<TTcpReplies>();
    replies->Status = EncodeTcpReply(FormatTcpStatusLine(state), false);
    replies->Connected = state.Connected ? QByteArrayLiteral("1\r\n") : QByteArrayLiteral("0\r\n");
    const QString groups = FormatTcpGroupList(state.VisibleGroups);
    replies->GroupsAnsi = EncodeTcpReply(groups, false);
    replies->GroupsUtf8 = EncodeTcpReply(groups, true);
    Shared.SetReplies(std::move(replies));
}

void TTcpServer::SetLimits(const TTcpServerLimits &NewLimits)
{
    Limits = NewLimits;
}

void TTcpServer::SetResolver(TTcpResolver NewResolver)
{
    Resolver = std::move(NewResolver);
}

void TTcpServer::runWindowRequest(quint64 ClientId, const TTcpRequest &Request)
{
    const QString refused = ApplyTcpRequest(Request, Host);
    if (!refused.isEmpty())
        Shared.Log(refused);
    PublishState();
    QMetaObject::invokeMethod(Worker, [Worker = Worker, ClientId] { Worker->WindowDone(ClientId); },
                              Qt::QueuedConnection);
}
