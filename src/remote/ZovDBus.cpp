#include "remote/ZovDBus.h"

#include "remote/ZovDBusObject.h"

#include <QAtomicInt>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QMetaProperty>

namespace {

// Each service on a bus of its own address gets a connection of its own.
QString nextConnectionName()
{
    static QAtomicInt counter;
    return QStringLiteral("tarnwick-zov-%1").arg(counter.fetchAndAddRelaxed(1));
}

} // namespace

TZovDBusObject::TZovDBusObject(TZovHost &Host, QObject *parent)
    : QObject(parent)
    , zov(Host)
{
    new TZovProperties(this);
}

void TZovDBusObject::ZoomTo(int ScaleBegin, int ScaleEnd)
{
    const QString refused = zov.ZoomTo(ScaleBegin, ScaleEnd);
    if (!refused.isEmpty())
        sendErrorReply(QDBusError::InvalidArgs, refused);
}

TZovProperties::TZovProperties(TZovDBusObject *parent)
    : QDBusAbstractAdaptor(parent)
    , object(*parent)
{
}

int TZovProperties::Property(const QString &Interface, const QString &Name)
{
    if (!Interface.isEmpty() && Interface != ZovDBus::Interface) {
        object.sendErrorReply(QDBusError::UnknownInterface, QStringLiteral("No such interface: ") + Interface);
        return -1;
    }
    const int index = object.metaObject()->indexOfProperty(Name.toUtf8().constData());
    if (index < QObject::staticMetaObject.propertyCount()) {
        object.sendErrorReply(QDBusError::UnknownProperty, QStringLiteral("No such property: ") + Name);
        return -1;
    }
    return index;
}

QDBusVariant TZovProperties::Get(const QString &Interface, const QString &Name)
{
    const int index = Property(Interface, Name);
    return index < 0 ? QDBusVariant() : QDBusVariant(object.metaObject()->property(index).read(&object));
}

QVariantMap TZovProperties::GetAll(const QString &Interface)
{
    QVariantMap all;
    if (Property(Interface, QStringLiteral("Mode")) < 0)
        return all;
    const QMetaObject *meta = object.metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i)
        all.insert(QString::fromLatin1(meta->property(i).name()), meta->property(i).read(&object));
    return all;
}

void TZovProperties::Set(const QString &Interface, const QString &Name, const QDBusVariant &Value)
{
    const int index = Property(Interface, Name);
    if (index < 0)
        return;
    const QMetaProperty property = object.metaObject()->property(index);
    if (!property.isWritable()) {
        object.sendErrorReply(QDBusError::PropertyReadOnly, QStringLiteral("Property %1 is read-only").arg(Name));
        return;
    }
    if (Value.variant().metaType() != property.metaType()) {
        object.sendErrorReply(QDBusError::InvalidArgs,
                       QStringLiteral("Property %1 takes type %2").arg(Name, QLatin1String(property.typeName())));
        return;
    }
    object.refusal.clear();
    property.write(&object, Value.variant());
    if (!object.refusal.isEmpty())
        object.sendErrorReply(QDBusError::InvalidArgs, object.refusal);
}

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
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties
                                | QDBusConnection::ExportAdaptors)) {
        delete object;
        object = nullptr;
        if (own)
            QDBusConnection::disconnectFromBus(bus.name());
        return QStringLiteral("the object path %1 is taken").arg(ZovDBus::Path);
    }
    connectionName = bus.name();
    ownConnection = own;
    // A caller that keyed the transmitter is watched: its leaving the bus
    // releases it.
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
