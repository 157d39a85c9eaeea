#pragma once

// The Zov object as the bus sees it (the service's own part, see ZovDBus.h).

#include "script/Zov.h"

#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QObject>
#include <QVariantMap>

#include <functional>

// The object on the bus. Its own slots and properties are the interface;
// what they do is TZov's. A value TZov refuses is answered with an error
// reply carrying TZov's text (a script would see it in a message box; a
// client is answered instead, so that nothing waits on the operator). Its
// D-Bus context serves its properties' adaptor too.
class TZovDBusObject : public QObject, public QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.orbelle.Tarnwick.Zov")
    Q_PROPERTY(QString Mode READ Mode WRITE SetMode)
    Q_PROPERTY(int Frequency READ Frequency WRITE SetFrequency)
    Q_PROPERTY(QString Band READ Band WRITE SetBand)
    Q_PROPERTY(bool Split READ Split WRITE SetSplit)
    Q_PROPERTY(bool Ptt READ Ptt WRITE SetPtt)
    Q_PROPERTY(bool Interrupted READ Interrupted)
    Q_PROPERTY(int SMeter READ SMeter)
    Q_PROPERTY(bool Squelch READ Squelch)
public:
    TZovDBusObject(TZovHost &Host, QObject *parent);

    QString Mode() const { return zov.Mode(); }
    void SetMode(const QString &Value) { refusal = zov.SetMode(Value); }
    int Frequency() const { return zov.Frequency(); }
    void SetFrequency(int Value) { refusal = zov.SetFrequency(Value); }
    QString Band() const { return zov.Band(); }
    void SetBand(const QString &Value) { refusal = zov.SetBand(Value); }
    bool Split() const { return zov.Split(); }
    void SetSplit(bool Value) { zov.SetSplit(Value); }
    bool Ptt() const { return zov.Ptt(); }
    // The caller holds the transmitter by its name on the bus.
    void SetPtt(bool Value)
    {
        // Written through the properties' adaptor, the call's context is this object's.
        const QString caller = calledFromDBus() ? message().service() : QString();
        zov.SetPttHolder({TPttHolder::Bus, caller});
        zov.SetPtt(Value);
        if (Value && !caller.isEmpty() && Keyed)
            Keyed(caller);
    }
    // Told the name of a caller that keyed the transmitter.
    std::function<void(const QString &)> Keyed;
    // Reading it handles the window's pending messages, as a script's does.
    bool Interrupted() const { return zov.Interrupted(); }
    int SMeter() const { return zov.SMeter(); }
    bool Squelch() const { return zov.Squelch(); }

    // Why the last property written refused its value; empty when it took it.
    QString refusal;

public slots:
    void ZoomTo(int ScaleBegin, int ScaleEnd);
    void ToggleVfo() { zov.ToggleVfo(); }
    void AlignVfo() { zov.AlignVfo(); }
    void Sleep(int Milliseconds) { zov.Sleep(Milliseconds); }

private:
    mutable TZov zov;
};

// org.freedesktop.DBus.Properties of the object, answered here rather than
// by Qt, whose replies cannot carry a refused value's text.
class TZovProperties : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.DBus.Properties")
public:
    explicit TZovProperties(TZovDBusObject *parent);

public slots:
    QDBusVariant Get(const QString &Interface, const QString &Name);
    QVariantMap GetAll(const QString &Interface);
    void Set(const QString &Interface, const QString &Name, const QDBusVariant &Value);

private:
    // The property's index, or -1 after an error reply.
    int Property(const QString &Interface, const QString &Name);

    TZovDBusObject &object;
};
