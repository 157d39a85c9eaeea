// How late the window's thread runs what it is given while the real window
// polls the radio emulator: an FT-817 on 4800 bd that answers after 40 ms,
// then the same radio gone silent (the watchdog's retries). A probe thread
// posts an event to the window's thread every 5 ms and records how long each
// waited before it ran; a companion program sends "FM" lines to the command
// server and records each reply's wait; getrusage gives the program's CPU
// use while it polls an idle radio.
//
// With "rigctld" after them, the window reaches the same radio through
// rigctld as a radio on the network (the Hamlib engine; rigctld -m 1020, on
// the PATH; Hamlib's FT-817 backend wants a delay of 55 ms or more).
//
// Usage: bench_window_latency [seconds per phase] [speed] [radio delay ms] [rigctld]
// The emulator is found through TARNWICK_RIGSIM or next to this program.

#include "BenchSupport.h"
#include "app/Main.h"
#include "base/MessageBoxes.h"
#include "cat/RigProcess.h"
#include "common/TestEnvironment.h"
#include "remote/Rigctl.h"
#include "remote/TcpServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <QToolButton>


#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace {

struct Figures
{
    size_t count = 0;
    double p50 = 0, p99 = 0, max = 0;
};

Figures figuresOf(std::vector<double> values)
{
    Figures f;
    if (values.empty())
        return f;
    std::sort(values.begin(), values.end());
    f.count = values.size();
    f.p50 = values[values.size() / 2];
    f.p99 = values[std::min(values.size() - 1, values.size() * 99 / 100)];
    f.max = values.back();
    return f;
}

// The window's thread's delays (ms) in running posted events, and a
// companion's "FM" reply times (ms), over one phase.
struct Phase
{
    Figures events;
    Figures replies;
};

Phase measure(QObject &window, quint16 tcpPort, int seconds)
{
    std::mutex mutex;
    std::vector<double> delays;
    std::vector<double> replies;
    std::atomic<bool> running{true};
    QElapsedTimer clock;
    clock.start();

    std::thread probe([&] {
        while (running) {
            const qint64 sent = clock.nsecsElapsed();
            QMetaObject::invokeMethod(
                &window,
                [&, sent] {
                    std::lock_guard lock(mutex);
                    delays.push_back((clock.nsecsElapsed() - sent) / 1e6);
                },
                Qt::QueuedConnection);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    std::thread companion([&] {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, tcpPort);
        if (!socket.waitForConnected(3000))
            return;
        int n = 0;
        while (running) {
            const QByteArray line = QStringLiteral("FMCALL%1  014074000USB  -    BENCH     0\n")
                                        .arg(n++ % 100, 4, 10, QChar(u'0'))
                                        .toLatin1();
            QElapsedTimer one;
            one.start();
            socket.write(line);
            socket.waitForBytesWritten(1000);
            QByteArray reply;
            while (!reply.endsWith('\n') && socket.waitForReadyRead(3000))
                reply += socket.readAll();
            {
                std::lock_guard lock(mutex);
                replies.push_back(one.nsecsElapsed() / 1e6);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    runEventLoop(seconds * 1000);
    running = false;
    probe.join();
    companion.join();
    runEventLoop(50);
    std::lock_guard lock(mutex);
    return {figuresOf(delays), figuresOf(replies)};
}

void print(const char *what, const Figures &f)
{
    std::printf("%-44s %7zu %8.2f %8.2f %8.2f\n", what, f.count, f.p50, f.p99, f.max);
}

} // namespace

int main(int argc, char *argv[])
{
    testenv::prepareTestEnvironment();
    qputenv("TARNWICK_TCP_ANY_PORT", "1");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int speed = argc > 2 ? std::max(1200, atoi(argv[2])) : 4800;
    const int delayMs = argc > 3 ? std::max(0, atoi(argv[3])) : 40;
    const bool throughRigctld = argc > 4 && QByteArray(argv[4]) == "rigctld";
    SetInformationAnswerer([](QWidget *, const QString &) {});
    SetConfirmationAnswerer([](QWidget *, const QString &) { return false; });
    TTarnwickFrm::SetComSettingsRunner([](TComSettingsFrm &) { return true; });

    RigProcess rig({QStringLiteral("--model"), QStringLiteral("FT-817"), QStringLiteral("--speed"),
                    QString::number(speed), QStringLiteral("--delay"), QString::number(delayMs), QStringLiteral("--freq"),
                    QStringLiteral("7074000")});
    if (!rig.ok()) {
        std::fprintf(stderr, "cannot start the radio emulator tarnwick-rigsim\n");
        return 1;
    }
    std::optional<rigctl::Daemon> rigctld;
    SerialPresets presets{rig.path(), QStringLiteral("FT-817")};
    if (throughRigctld) {
        rigctld.emplace("1020", rig.path(), QString::number(speed));
        presets.Rigctl = rigctld->target();
    }
    testenv::clearSettings();
    TTarnwickFrm window;
    window.SetCommandLineSerial(presets);
    window.StartTcpServer();
    const quint16 tcpPort = window.TcpServer->ListeningPorts().value(0);
    window.CatBtn->click();
    QElapsedTimer wait;
    wait.start();
    // (Hamlib's FT-817 backend may leave the radio on VFO B as it opens.)
    const auto following = [&] { return window.ScaleFrequency() == rig.status(QStringLiteral("freq")).toInt(); };
    while (!(window.StatusText() == QLatin1String("Connected to TCVR.") && following()) && wait.elapsed() < 20000)
        runEventLoop(100);
    if (!following()) {
        std::fprintf(stderr, "no connection at %d bd: %s\n", speed, qPrintable(window.StatusText()));
        return 1;
    }

    std::printf("FT-817 emulator at %d bd%s, radio delay %d ms, %d s per phase; milliseconds\n", speed,
                throughRigctld ? " through rigctld" : "", delayMs, seconds);
    const double cpuStart = cpuSeconds();
    QElapsedTimer idle;
    idle.start();
    runEventLoop(seconds * 1000);
    const double cpuPercent = 100.0 * (cpuSeconds() - cpuStart) / (idle.nsecsElapsed() / 1e9);

    const Phase polling = measure(window, tcpPort, seconds);
    rig.control(QStringLiteral("fault silence on"));
    const Phase silent = measure(window, tcpPort, seconds);

    std::printf("%-44s %7s %8s %8s %8s\n", "", "count", "p50", "p99", "max");
    print("window thread, polling: posted event waits", polling.events);
    print("window thread, polling: \"FM\" reply", polling.replies);
    print("window thread, radio silent: posted event waits", silent.events);
    print("window thread, radio silent: \"FM\" reply", silent.replies);
    std::printf("CPU while polling an idle radio: %.2f %%\n", cpuPercent);
    std::printf("last status: %s\n", qPrintable(window.StatusText()));
    window.close();
    if (rigctld)
        rigctld->stop();
    return 0;
}
