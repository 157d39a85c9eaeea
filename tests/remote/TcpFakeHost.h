#pragma once

// A window for the TCP server's tests: a state the status replies read, one
// mode segment (14.0 to 14.1 MHz, "CW-R"), and every change in order:
// "add CAPTION/FREQ/MODE/GROUP/FLAGS/REMARK" (flags: "P" or "-" highlighted,
// "1" or "0" redraw, "!" if permanent), "delete GROUP REDRAW",
// "groups A|B", "tune FREQ/MODE/CAPTION".

#include "remote/TcpServerHost.h"

#include <QStringList>

class TcpFakeHost : public TTcpServerHost
{
public:
    TTcpWindowState state{7040000, "CW", 7000000, 7200000, false, false, {}};
    QStringList calls;

    TTcpWindowState TcpWindowState() const override { return state; }
    QString ModeAt(qint32 f) const override { return f >= 14000000 && f < 14100000 ? QStringLiteral("CW-R") : QString(); }
    void AddOrReplaceMarker(const TFqMarker &m, bool redraw) override
    {
        const QString flags = QString(m.Highlighted ? "P" : "-") + (redraw ? "1" : "0") + (m.Permanent ? "!" : "");
        calls << QStringList{"add " + m.Caption, QString::number(m.Frequency), m.Mode, m.Attributes, flags, m.Remark}.join('/');
    }
    void DeleteMarkersWithAttribute(const QString &group, bool redraw) override
    {
        calls << QStringLiteral("delete %1 %2").arg(group, redraw ? "1" : "0");
    }
    void SetVisibleGroups(const QStringList &groups) override
    {
        state.VisibleGroups = groups;
        calls << "groups " + groups.join('|');
    }
    void PlaceTuneRequest(const TFqMarker &r) override
    {
        calls << QStringList{"tune " + QString::number(r.Frequency), r.Mode, r.Caption}.join('/');
    }
};
