// One five-byte command and its five-byte reply through the serial link and the
// radio emulator on a pseudo-terminal, at 4800, 9600 and 38400 bd. Reports the
// time per transfer as a ratio to the wire time of the ten bytes (11 bits each).
//
// Usage: bench_cat_roundtrip [transfers per speed] [processing delay ms]
// The emulator is found through TARNWICK_RIGSIM or next to this program.

#include "cat/CatLog.h"
#include "cat/RigProcess.h"
#include "cat/SerialLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int transfers = argc > 1 ? std::max(1, atoi(argv[1])) : 100;
    const int delayMs = argc > 2 ? std::max(0, atoi(argv[2])) : 0;

    std::printf("transfers per speed: %d, emulator processing delay: %d ms\n", transfers, delayMs);
    std::printf("%8s %12s %12s %12s %12s %8s\n", "speed", "wire ms", "mean ms", "median ms", "max ms", "ratio");
    for (const int speed : {4800, 9600, 38400}) {
        RigProcess rig({QStringLiteral("--model"), QStringLiteral("FT-817"), QStringLiteral("--speed"),
                           QString::number(speed), QStringLiteral("--delay"), QString::number(delayMs)});
        if (!rig.ok()) {
            std::fprintf(stderr, "cannot start the radio emulator tarnwick-rigsim\n");
            return 1;
        }
        const QString path = rig.path();

        TCatLog log;
        TCatLink link(log, [](const QString &, quint32, bool) {});
        TSerialSettings settings;
        settings.Port = path;
        settings.SpeedText = QString::number(speed);
        if (!link.OpenComPort(settings)) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
            return 1;
        }
        for (int i = 0; i < 5; ++i) // warm-up
            link.SendCommand(QStringLiteral("0000000003"), 5);

        std::vector<double> times;
        int failures = 0;
        for (int i = 0; i < transfers; ++i) {
            QElapsedTimer timer;
            timer.start();
            const TTransfer t = link.SendCommand(QStringLiteral("0000000003"), 5);
            times.push_back(timer.nsecsElapsed() / 1e6);
            if (t.Result != ReplyRead || t.Count != 5)
                ++failures;
        }
        link.CloseComPort();

        std::sort(times.begin(), times.end());
        double sum = 0;
        for (double t : times)
            sum += t;
        const double mean = sum / double(times.size());
        const double wire = 10.0 * 11.0 * 1000.0 / speed;
        std::printf("%8d %12.2f %12.2f %12.2f %12.2f %8.2f%s\n", speed, wire, mean, times[times.size() / 2], times.back(),
                    mean / wire, failures ? "  (failed transfers!)" : "");
    }
    return 0;
}
