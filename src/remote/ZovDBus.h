#pragma once

// The automation object Zov offered to other programs on the D-Bus session
// bus while the program runs: the same members as a PROG script sees, as
// methods (ZoomTo, ToggleVfo, AlignVfo, Sleep) and properties (Mode,
// Frequency, Band, Split, Ptt, and the read-only Interrupted, SMeter,
// Squelch) of one object. Calls run on the window's thread. A value Zov
// refuses (Frequency 99999) is answered with an InvalidArgs error carrying
// the reason, never with a box on the operator's screen.
//
//   busctl --user set-property org.orbelle.Tarnwick /Zov org.orbelle.Tarnwick.Zov Frequency i 7050000

#include <QObject>
#include <QString>

class QDBusServiceWatcher;
class TZovHost;

namespace ZovDBus {
inline const QString Service = QStringLiteral("org.orbelle.Tarnwick");
inline const QString Path = QStringLiteral("/Zov");
inline const QString Interface = QStringLiteral("org.orbelle.Tarnwick.Zov");
} // namespace ZovDBus

class TZovDBusService : public QObject
{
    Q_OBJECT
public:
    explicit TZovDBusService(TZovHost &Host, QObject *parent = nullptr);
    ~TZovDBusService() override;

    // Connects to the bus at Address (empty: the session bus), offers the
    // object under ZovDBus::Path and asks for the name ZovDBus::Service.
    // Returns an empty text when the object is offered, else why not (no
    // bus). Another instance of the program may hold the name: the object
    // is then reachable under the connection's own name only (NameOwned).
    QString Start(const QString &Address = {});
    void Stop();
    bool Started() const { return !connectionName.isEmpty(); }
    bool NameOwned() const { return nameOwned; }
    // The connection's unique name on the bus (":1.42").
    QString UniqueName() const;

signals:
    // A caller that keyed the transmitter is gone from the bus.
    void ClientLeft(const QString &name);

private:
    TZovHost &host;
    class TZovDBusObject *object = nullptr;
    QDBusServiceWatcher *keyers = nullptr;
    QString connectionName;
    bool ownConnection = false;
    bool nameOwned = false;
};
