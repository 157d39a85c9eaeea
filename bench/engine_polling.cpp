// The CAT engine's poll cycle against the radio emulator on a pseudo-terminal,
// at 4800, 9600 and 38400 bd (FT-817):
//  - poll cycles per second (three transfers each), back to back and with the
//    program's 20 ms MainTmr, against the wire-time limit of a cycle;
//  - the time from queueing a command to its bytes going to the port, with
//    the 20 ms timer running;
//  - CPU use of the program while it polls an idle radio (getrusage over a
//    fixed period) and CPU time per transfer: the program's own overhead.
//
// Usage: bench_engine_polling [seconds per measurement] [emulator delay ms]
// The emulator is found through TARNWICK_RIGSIM or next to this program.

#include "TimedEngineHost.h"
#include "cat/CatCommands.h"
#include "cat/CatEngine.h"
#include "cat/CatLog.h"
#include "cat/RigProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTimer>


#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const int delayMs = argc > 2 ? std::max(0, atoi(argv[2])) : 0;

    // One cycle: "0000000003" + 5 bytes, "00000000E7" + 1, "00000000F7" + 1.
    constexpr int cycleBytes = 5 + 5 + 5 + 1 + 5 + 1;
    std::printf("FT-817 emulator, processing delay %d ms, %d s per measurement\n", delayMs, seconds);
    std::printf("%6s | %9s %9s %9s | %9s %8s | %8s %8s %8s | %6s %9s %10s\n", "speed", "limit/s", "b2b/s", "tick ms",
                "20ms/s", "b2b us", "q->w avg", "q->w max", "bound", "CPU %", "CPU us/tx", "over us/tx");
    for (const int speed : {4800, 9600, 38400}) {
        RigProcess rig({QStringLiteral("--model"), QStringLiteral("FT-817"), QStringLiteral("--speed"),
                           QString::number(speed), QStringLiteral("--delay"), QString::number(delayMs)});
        if (!rig.ok()) {
            std::fprintf(stderr, "cannot start the radio emulator tarnwick-rigsim\n");
            return 1;
        }
        const QString path = rig.path();

        TCatLog log;
        FakeEngineHost host;
        TCatEngine engine(host, log);
        if (!connectForBench(engine, path, speed)) {
            std::fprintf(stderr, "no connection at %d bd\n", speed);
            return 1;
        }
        const double wireCycleMs = cycleBytes * 11 * 1000.0 / speed;
        const double limitPerSecond = 1000.0 / (wireCycleMs + 3 * delayMs);

        // Back to back: the engine as fast as the line allows.
        int ticks = 0;
        QElapsedTimer clock;
        const double cpuB2bStart = cpuSeconds();
        clock.start();
        while (clock.elapsed() < seconds * 1000) {
            engine.MainTmrTimer();
            settleEngine(engine);
            ++ticks;
        }
        const double b2bMs = clock.nsecsElapsed() / 1e6;
        const double b2bCpu = cpuSeconds() - cpuB2bStart;
        const double b2bPerSecond = ticks / 3.0 / (b2bMs / 1000.0);
        const double tickMs = b2bMs / ticks;
        const double wireTickMs = wireCycleMs / 3 + delayMs;

        // With the 20 ms timer, idle: cycles per second and CPU use.
        int timedTicks = 0;
        auto countTick = QObject::connect(engine.MainTimer(), &QTimer::timeout, [&timedTicks] { ++timedTicks; });
        const double cpuStart = cpuSeconds();
        clock.restart();
        engine.SetManualTimers(false);
        runEventLoop(seconds * 1000);
        const double timedMs = clock.nsecsElapsed() / 1e6;
        const double cpu = cpuSeconds() - cpuStart;
        QObject::disconnect(countTick);
        const double timedPerSecond = timedTicks / 3.0 / (timedMs / 1000.0);

        // Queue to wire, the timer still running: a command queued at a random
        // moment is written at the next tick.
        log.SetWindowVisible(true);
        QElapsedTimer queuedAt;
        std::vector<double> latencies;
        bool waiting = false;
        QObject::connect(&log, &TCatLog::EntryAdded, [&](const QString &line) {
            if (waiting && line == QLatin1String(">0000000085")) {
                latencies.push_back(queuedAt.nsecsElapsed() / 1e6);
                waiting = false;
            }
        });
        for (int i = 0; i < 40; ++i) {
            runEventLoop(int(QRandomGenerator::global()->bounded(30, 90)));
            queuedAt.start();
            waiting = true;
            engine.QueueCommand(MakeCommand(QStringLiteral("0000000085"), QStringLiteral("85")));
            for (int spin = 0; spin < 100 && waiting; ++spin)
                runEventLoop(5);
        }
        engine.SetManualTimers(true);
        settleEngine(engine);
        double sum = 0, worst = 0;
        for (double ms : latencies) {
            sum += ms;
            worst = std::max(worst, ms);
        }
        // Worst case: a probe-read transfer (ack of 10 bytes asked, 1 comes:
        // 50 ms gap) would be longer; here the longest poll transfer plus one
        // timer interval.
        const double bound = wireCycleMs * 10 / cycleBytes + delayMs + 20.0;

        const double cpuPerTransferUs = cpu * 1e6 / std::max(1, timedTicks);
        const double overheadUs = (tickMs - wireTickMs) * 1000.0;
        std::printf("%6d | %9.1f %9.1f %9.2f | %9.1f %8.1f | %8.2f %8.2f %8.1f | %5.2f%% %9.1f %10.0f\n", speed,
                    limitPerSecond, b2bPerSecond, tickMs, timedPerSecond, b2bCpu * 1e6 / std::max(1, ticks),
                    latencies.empty() ? -1.0 : sum / latencies.size(), worst, bound, 100.0 * cpu / (timedMs / 1000.0),
                    cpuPerTransferUs, overheadUs);
        engine.Disconnect();
    }
    std::printf("\nlimit/s: cycles per second the wire allows (22 bytes of 11 bits, plus the radio's delay);\n"
                "b2b/s: cycles back to back; tick ms: wall time of one transfer; 20ms/s: cycles with MainTmr;\n"
                "b2b us: CPU time per transfer back to back; q->w: ms from QueueCommand to the command's write (avg, max),\n"
                "bound: longest poll transfer plus one timer interval; CPU %%: CPU use polling with MainTmr;\n"
                "CPU us/tx: CPU time per transfer; over us/tx: wall time per transfer beyond the wire time\n"
                "(includes the emulator's and the pseudo-terminal's scheduling).\n");
    return 0;
}
