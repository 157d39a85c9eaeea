#pragma once

// The CAT engine with a stand-in window, talking to tarnwick-rigsim on a
// pseudo-terminal through the real serial link. The test drives the timers:
// each tick waits for its transfer's answer.

#include "FakeEngineHost.h"
#include "RigProcess.h"
#include "cat/CatEngine.h"
#include "cat/CatLog.h"
#include "cat/SerialTransport.h"
#include "common/TestEnvironment.h"

#include <QFile>

#include <functional>

struct EngineRig
{
    RigProcess rig;
    TCatLog log;
    QStringList lines;
    FakeEngineHost host;
    TCatEngine engine{host, log};
    TLinkSettings link;
    qint64 now = 0; // the engine's clock, stepped by the test

    explicit EngineRig(const QStringList &rigArguments, int model = 0)
        : rig(QStringList{"--speed", "38400", "--delay", "1"} + rigArguments)
    {
        log.SetWindowVisible(true);
        QObject::connect(&log, &TCatLog::EntryAdded, &log, [this](const QString &line) { lines << line; });
        host.statusLog = &log;
        host.tcvrIndex = model;
        host.watch(engine);
        link.Serial.Port = rig.path();
        link.Serial.TcvrIndex = model;
        link.Serial.SpeedText = QStringLiteral("38400");
        engine.SetManualTimers(true);
        engine.SetClock([this] { return now; });
    }

    // Short time-outs for tests that wait on silence or garbage (long enough
    // for a loaded machine where replies come).
    void fastLine(bool repliesToo = true)
    {
        engine.SerialPort()->SetTimeouts(repliesToo ? TLineTimeouts{20, 5, 100} : TLineTimeouts{10, 2, 30});
    }
    void saveLog()
    {
        link.SaveLog = true;
        log.SetLogFolder(testenv::sandboxPath("catlogs"));
    }
    QString logFile() const
    {
        QFile file(log.LogFilePath());
        return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
    }

    bool settle() { return settleEngine(engine); }
    void connect()
    {
        engine.Connect(link);
        settle();
    }
    void disconnect()
    {
        engine.Disconnect();
        settle();
    }
    void tick(int count = 1)
    {
        for (int i = 0; i < count; ++i) {
            engine.MainTmrTimer();
            settle();
        }
    }
    void watchdog()
    {
        engine.ConnectionWatchdogTmrTimer();
        settle();
    }
    bool tickUntil(const std::function<bool()> &done, int maxTicks = 200)
    {
        for (int i = 0; i < maxTicks; ++i) {
            if (done())
                return true;
            tick();
        }
        return done();
    }
    bool announced() const { return host.lastStatus() == QLatin1String("Connected to TCVR."); }
    // Connected, announced, and the radio's VFO read (the reads queued at the announcement).
    bool connectAndAnnounce()
    {
        connect();
        return engine.IsConnected() && tickUntil([this] { return announced(); })
               && tickUntil([this] { return engine.CommandQueue.IsEmpty(); });
    }
    int count(const QString &line) const { return int(lines.count(line)); }
    int countStarting(const QString &start) const
    {
        int n = 0;
        for (const QString &line : lines)
            n += line.startsWith(start) ? 1 : 0;
        return n;
    }
};
