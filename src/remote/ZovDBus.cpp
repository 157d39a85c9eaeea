#include "remote/ZovDBus.h"

#include "remote/ZovDBusObject.h"

#include <QAtomicInt>
#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace {

// Each service on a bus of its own address gets a connection of its own.
QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("tarnwick-zov-%1").arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

TZovDBusService::TZovDBusService(TZovHost &Host, QObject *parent)
    : QObject(parent)
    , host(Host)
{
}

TZovDBusService::~TZovDBusService()
{
    Stop();
}

QString TZovDBusService::Start(const QString &Address)
{
    Stop();
    QDBusConnection bus = Address.isEmpty() ? QDBusConnection::sessionBus()
                                            : QDBusConnection::connectToBus(Address, nextConnectionName());
    const bool own = !Address.isEmpty();
    if (!bus.isConnected()) {
        const QString reason = bus.lastError().message();
        if (own)
            QDBusConnection::disconnectFromBus(bus.name());
        return reason.isEmpty() ? QStringLiteral("no session bus") : reason;
    }
    object = new TZovDBusObject(host, this);
    if (!bus.registerObject(ZovDBus::Path, object,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties)) {
        delete object;
        object = nullptr;
        if (own)
            QDBusConnection::disconnectFromBus(bus.name());
        return QStringLiteral("the object path %1 is taken").arg(ZovDBus::Path);
    }
    connectionName = bus.name();
    ownConnection = own;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply = bus.interface()->registerService(
        ZovDBus::Service, QDBusConnectionInterface::DontQueueService, QDBusConnectionInterface::DontAllowReplacement);
    nameOwned = reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
    return QString();
}

void TZovDBusService::Stop()
{
    if (connectionName.isEmpty())
        return;
    QDBusConnection bus(connectionName);
    bus.unregisterObject(ZovDBus::Path);
    if (nameOwned)
        bus.unregisterService(ZovDBus::Service);
    if (ownConnection)
        QDBusConnection::disconnectFromBus(connectionName);
    delete object;
    object = nullptr;
    connectionName.clear();
    ownConnection = false;
    nameOwned = false;
}

QString TZovDBusService::UniqueName() const
{
    return connectionName.isEmpty() ? QString() : QDBusConnection(connectionName).baseService();
}
