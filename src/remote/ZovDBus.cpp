#include "remote/ZovDBus.h"

#include "remote/ZovDBusObject.h"

#include <QAtomicInt>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QQueue>

// Qt gives a property write no context of its call (calledFromDBus() is
// false there), but it runs its spy hooks on this thread ahead of delivering
// every incoming call, in order: the callers of Ptt writes are noted there.
QT_BEGIN_NAMESPACE
extern Q_DBUS_EXPORT void qDBusAddSpyHook(void (*)(const QDBusMessage &));
QT_END_NAMESPACE

namespace {

QQueue<QString> &pttCallers()
{
    static QQueue<QString> callers;
    return callers;
}

// Only a write that reaches the property is noted (the right interface, a
// boolean value), so each one is taken by the property it reaches.
void notePttCaller(const QDBusMessage &message)
{
    const QVariantList arguments = message.arguments();
    if (message.type() == QDBusMessage::MethodCallMessage && message.path() == ZovDBus::Path
        && message.interface() == QLatin1String("org.freedesktop.DBus.Properties")
        && message.member() == QLatin1String("Set") && arguments.size() == 3
        && arguments.at(0).toString() == ZovDBus::Interface && arguments.at(1).toString() == QLatin1String("Ptt")
        && arguments.at(2).value<QDBusVariant>().variant().metaType() == QMetaType::fromType<bool>())
        pttCallers().enqueue(message.service());
}

// Each service on a bus of its own address gets a connection of its own.
QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("tarnwick-zov-%1").arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

QString TakePttCaller()
{
    return pttCallers().isEmpty() ? QString() : pttCallers().dequeue();
}

TZovDBusService::TZovDBusService(TZovHost &Host, QObject *parent)
    : QObject(parent)
    , host(Host)
{
    static const bool hooked = (qDBusAddSpyHook(notePttCaller), true);
    Q_UNUSED(hooked);
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
    keyers = new QDBusServiceWatcher(QString(), bus, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(keyers, &QDBusServiceWatcher::serviceUnregistered, this, [this](const QString &name) {
        keyers->removeWatchedService(name);
        emit ClientLeft(name);
    });
    object->Keyed = [this](const QString &name) { keyers->addWatchedService(name); };
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
    delete keyers;
    keyers = nullptr;
    connectionName.clear();
    ownConnection = false;
    nameOwned = false;
}

QString TZovDBusService::UniqueName() const
{
    return connectionName.isEmpty() ? QString() : QDBusConnection(connectionName).baseService();
}
