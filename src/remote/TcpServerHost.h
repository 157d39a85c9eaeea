#pragma once

// What the TCP command server needs from the main window. Every member is
// called on the window's (the user-interface) thread only.

#include "controls/ScaleTypes.h"
#include "remote/TcpCommands.h"

#include <QString>
#include <QStringList>

class TTcpServerHost
{
public:
    virtual ~TTcpServerHost() = default;

    // What the status replies ("QS", "CS", "GM") show.
    virtual TTcpWindowState TcpWindowState() const = 0;
    // The mode of the mode segment that holds the frequency, empty when none.
    virtual QString ModeAt(qint32 Frequency) const = 0;
    // The marker store takes a copy; a marker of the same caption close by is
    // replaced. Redraw false leaves the scale unpainted.
    virtual void AddOrReplaceMarker(const TFqMarker &Marker, bool Redraw) = 0;
    // Removes the non-permanent markers whose groups contain Group.
    virtual void DeleteMarkersWithAttribute(const QString &Group, bool Redraw) = 0;
    // Replaces the switched-on marker groups and repaints the scale.
    virtual void SetVisibleGroups(const QStringList &Groups) = 0;
    // Leaves a tune request for the next poll tick (replacing one not yet
    // carried out).
    virtual void PlaceTuneRequest(const TFqMarker &Request) = 0;
};

// The mode of a marker or tune request that names none.
QString TcpDefaultMode();

// Carries out a command that changes the window ("UM", "FM", "DM", "SM",
// "TT"); other commands are left alone. Returns why a command was refused,
// for the log; empty when it was carried out. A "TT" outside the frequencies
// the radios take (an empty or unreadable field reads as 0) is refused whole,
// so that nothing of it reaches the radio.
QString ApplyTcpRequest(const TTcpRequest &Request, TTcpServerHost &Host);
