#pragma once

// What the benchmarks that drive the CAT engine share: the tests' stand-in
// window, a connect that waits for the announcement, and a wait that lets
// the event loop (and so the engine's own 20 ms MainTmr) run.

#include "BenchSupport.h"
#include "cat/FakeEngineHost.h"

// Connects the engine (its timers driven by hand) to an emulator's port and
// polls until the connection is announced.
inline bool connectForBench(TCatEngine &engine, const QString &port, int speed)
{
    engine.SetManualTimers(true);
    TLinkSettings link;
    link.Serial.Port = port;
    link.Serial.SpeedText = QString::number(speed);
    engine.Connect(link);
    settleEngine(engine);
    for (int i = 0; i < 200 && !engine.ConnectAnnounced; ++i) {
        engine.MainTmrTimer();
        settleEngine(engine);
    }
    return engine.ConnectAnnounced;
}
