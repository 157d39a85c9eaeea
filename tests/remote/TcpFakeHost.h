#pragma once

// A window for the TCP server's tests: a state the status replies read, one
// mode segment, and a record of every change a client asked for.

#include "remote/TcpServerHost.h"

#include <QStringList>

class TcpFakeHost : public TTcpServerHost
{
public:
    TTcpWindowState state;
    // Changes in the order they were made: "add CAPTION FREQ MODE GROUP P/-
    // redraw", "delete GROUP redraw", "groups A|B", "tune FREQ MODE CAPTION".
    QStringList calls;
    QList<TFqMarker> markers;

    TcpFakeHost()
    {
        state.Frequency = 7040000;
        state.Mode = "CW";
        state.ScaleBegin = 7000000;
        state.ScaleEnd = 7200000;
    }

    TTcpWindowState TcpWindowState() const override { return state; }
    // 14.000 to 14.100 MHz is a CW segment, nothing else.
    QString ModeAt(qint32 frequency) const override
    {
        return frequency >= 14000000 && frequency <= 14100000 ? QStringLiteral("CW-R") : QString();
    }
    void AddOrReplaceMarker(const TFqMarker &marker, bool redraw) override
    {
        markers.append(marker);
        calls << QStringLiteral("add %1 %2 %3 %4 %5 %6")
                     .arg(marker.Caption)
                     .arg(marker.Frequency)
                     .arg(marker.Mode, marker.Attributes, marker.Highlighted ? "P" : "-", redraw ? "1" : "0");
    }
    void DeleteMarkersWithAttribute(const QString &group, bool redraw) override
    {
        calls << QStringLiteral("delete %1 %2").arg(group, redraw ? "1" : "0");
    }
    void SetVisibleGroups(const QStringList &groups) override
    {
        state.VisibleGroups = groups;
        calls << QStringLiteral("groups ") + groups.join(u'|');
    }
    void PlaceTuneRequest(const TFqMarker &request) override
    {
        calls << QStringLiteral("tune %1 %2 %3").arg(request.Frequency).arg(request.Mode, request.Caption);
    }
};
