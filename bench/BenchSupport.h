#pragma once

// Small helpers every benchmark uses: the program's own CPU time, and a wait
// in the event loop during which timers run.

#include <QEventLoop>
#include <QTimer>

#include <sys/resource.h>

inline double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Sleeps in the event loop (timers run) for ms milliseconds.
inline void runEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
