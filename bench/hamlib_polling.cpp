// The engine polling a radio through rigctld (Hamlib's NET rigctl) with its
// own 20 ms MainTmr running, as the window runs it:
//  - poll cycles per second (three transfers each) and the CPU use of this
//    program and of rigctld, for Hamlib's dummy radio (the cost of the way
//    itself) and for the emulated FT-817 at 4800 bd (rigctld -m 1020; the
//    emulator answers after 55 ms, as Hamlib's backend needs);
//  - how long after rigctld stops the link is off-line (the watchdog's retries).
//
// Usage: bench_hamlib_polling [seconds per measurement]
// rigctld comes from the PATH, the emulator through TARNWICK_RIGSIM or next
// to this program.

#include "TimedEngineHost.h"
#include "cat/CatEngine.h"
#include "cat/CatLog.h"
#include "cat/HamlibRig.h"
#include "cat/RigProcess.h"
#include "remote/Rigctl.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <unistd.h>

#include <cstdio>

namespace {

// User and system time of another process, from /proc.
double processCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(' ');
    return (fields.value(13).toDouble() + fields.value(14).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

void measure(const char *what, const QStringList &rigctldArguments, int seconds, bool timeOffline)
{
    rigctl::Daemon rigctld(rigctldArguments);
    if (!rigctld.listening()) {
        std::printf("%-30s rigctld did not start\n", what);
        return;
    }
    TCatLog log;
    log.SetWindowVisible(true);
    int cycles = 0;
    QObject::connect(&log, &TCatLog::EntryAdded, &log, [&cycles](const QString &line) {
        cycles += line == QLatin1String(">f;m;v;s") ? 1 : 0;
    });
    FakeEngineHost host;
    TCatEngine engine(host, log);
    host.watch(engine);
    TLinkSettings link;
    link.Serial.HamlibModel = HamlibNetworkModel;
    link.Serial.Port = rigctld.target();
    engine.Connect(link);
    QElapsedTimer wait;
    wait.start();
    while (host.lastStatus() != QLatin1String("Connected to TCVR.") && wait.elapsed() < 30000)
        runEventLoop(50);
    if (host.lastStatus() != QLatin1String("Connected to TCVR.")) {
        std::printf("%-30s no connection (%s)\n", what, qPrintable(host.lastStatus()));
        return;
    }

    cycles = 0;
    const double ownStart = cpuSeconds();
    const double rigctldStart = processCpuSeconds(rigctld.process.processId());
    QElapsedTimer period;
    period.start();
    runEventLoop(seconds * 1000);
    const double elapsed = period.nsecsElapsed() / 1e9;
    std::printf("%-30s %8.1f %8.1f %10.1f\n", what, cycles / elapsed, 100 * (cpuSeconds() - ownStart) / elapsed,
                100 * (processCpuSeconds(rigctld.process.processId()) - rigctldStart) / elapsed);

    if (!timeOffline)
        return;
    rigctld.stop();
    QElapsedTimer gone;
    gone.start();
    while (engine.State().Link() != TLinkPhase::Offline && gone.elapsed() < 60000)
        runEventLoop(10);
    std::printf("rigctld stopped: off-line after %.1f s (watchdog %u ms, ten retries): \"%s\"\n", gone.elapsed() / 1000.0,
                engine.GetTcvrType().WatchdogInterval, qPrintable(host.lastStatus()));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    std::printf("the engine through rigctld, %d s per measurement\n", seconds);
    std::printf("%-30s %8s %8s %10s\n", "radio", "cycles/s", "CPU %", "rigctld %");
    measure("Hamlib's dummy (-m 1)", {"-m", "1"}, seconds, false);
    RigProcess radio({"--model", "FT-817", "--speed", "4800", "--delay", "55"});
    if (!radio.ok()) {
        std::fprintf(stderr, "cannot start the radio emulator tarnwick-rigsim\n");
        return 1;
    }
    measure("FT-817 emulator (-m 1020)", {"-m", "1020", "-r", radio.path(), "-s", "4800"}, seconds, true);
    return 0;
}
