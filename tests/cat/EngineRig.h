#pragma once

// The CAT engine with a stand-in window, talking to tarnwick-rigsim on a
// pseudo-terminal through the real serial link.

#include "FakeEngineHost.h"
#include "RigProcess.h"
#include "cat/CatEngine.h"
#include "cat/CatLog.h"

#include <functional>

struct EngineRig
{
    RigProcess rig;
    TCatLog log;
    QStringList lines;
    FakeEngineHost host;
    TCatEngine engine{host, log};

    explicit EngineRig(const QStringList &rigArguments, int model = 0)
        : rig(QStringList{"--speed", "38400", "--delay", "1"} + rigArguments)
    {
        log.SetWindowVisible(true);
        QObject::connect(&log, &TCatLog::EntryAdded, &log, [this](const QString &line) { lines << line; });
        host.serial.Port = rig.path();
        host.serial.TcvrIndex = model;
        host.serial.SpeedText = QStringLiteral("38400");
        host.settings[QStringLiteral("ConnectSuccess")] = QStringLiteral("1");
    }

    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            engine.MainTmrTimer();
    }
    bool tickUntil(const std::function<bool()> &done, int maxTicks = 200)
    {
        for (int i = 0; i < maxTicks; ++i) {
            if (done())
                return true;
            engine.MainTmrTimer();
        }
        return done();
    }
    bool announced() const { return host.lastStatus() == QLatin1String("Connected to TCVR."); }
    bool connectAndAnnounce()
    {
        engine.Connect();
        return engine.IsConnected() && tickUntil([this] { return announced(); });
    }
    int count(const QString &line) const { return int(lines.count(line)); }
    int countStarting(const QString &start) const
    {
        int n = 0;
        for (const QString &line : lines)
            n += line.startsWith(start) ? 1 : 0;
        return n;
    }
    int statusCount(const QString &text) const
    {
        int n = 0;
        for (const FakeStatus &status : host.statuses)
            n += status.text == text ? 1 : 0;
        return n;
    }
};
