#pragma once

// The Zov object as the bus sees it (the service's own part, see ZovDBus.h).

#include "script/Zov.h"

#include <QObject>

#include <functional>

// The bus name of the caller whose write of Ptt is being delivered (empty
// when it was not a bus call).
QString TakePttCaller();

// The object on the bus. Its own slots and properties are the interface;
// what they do is TZov's.
class TZovDBusObject : public QObject
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
    TZovDBusObject(TZovHost &Host, QObject *parent)
        : QObject(parent)
        , zov(Host)
    {
    }

    QString Mode() const { return zov.Mode(); }
    void SetMode(const QString &Value) { zov.SetMode(Value); }
    int Frequency() const { return zov.Frequency(); }
    void SetFrequency(int Value) { zov.SetFrequency(Value); }
    QString Band() const { return zov.Band(); }
    void SetBand(const QString &Value) { zov.SetBand(Value); }
    bool Split() const { return zov.Split(); }
    void SetSplit(bool Value) { zov.SetSplit(Value); }
    bool Ptt() const { return zov.Ptt(); }
    // The caller holds the transmitter by its name on the bus.
    void SetPtt(bool Value)
    {
        const QString caller = TakePttCaller();
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

public slots:
    void ZoomTo(int ScaleBegin, int ScaleEnd) { zov.ZoomTo(ScaleBegin, ScaleEnd); }
    void ToggleVfo() { zov.ToggleVfo(); }
    void AlignVfo() { zov.AlignVfo(); }
    void Sleep(int Milliseconds) { zov.Sleep(Milliseconds); }

private:
    mutable TZov zov;
};
