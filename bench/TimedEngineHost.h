#pragma once

// What the benchmarks that drive the CAT engine share: the tests' fake window
// with a real 20 ms MainTmr behind EnableMainTimer, and a wait that lets the
// event loop (and so that timer) run.

#include "cat/FakeEngineHost.h"

#include <QEventLoop>
#include <QTimer>

class TimedEngineHost : public FakeEngineHost
{
public:
    QTimer mainTmr;
    // The benchmark wants the timer ticking; the engine switches it off
    // around its blocking transfers and on again.
    bool running = false;

    TimedEngineHost() { mainTmr.setInterval(20); }
    void EnableMainTimer(bool enabled) override
    {
        FakeEngineHost::EnableMainTimer(enabled);
        if (!enabled)
            mainTmr.stop();
        else if (running)
            mainTmr.start();
    }
};

// Sleeps in the event loop (timers run) for ms milliseconds.
inline void runEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
