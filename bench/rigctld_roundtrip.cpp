// "f" round trips through the rigctld endpoint of a real main window while
// its CAT engine polls the radio emulator with the 20 ms MainTmr: one client,
// then ten, each on its own thread, asks, waits for the answer, asks again
// (as WSJT-X and fldigi do). The user-interface thread serves the sockets
// between the poll transfers.
//
// Usage: bench_rigctld_roundtrip [seconds per measurement]
// The emulator is found through TARNWICK_RIGSIM or next to this program.
// Settings and data live in a temporary folder, never the user's.

#include "app/Main.h"
#include "base/MessageBoxes.h"
#include "cat/RigProcess.h"
#include "common/TestEnvironment.h"
#include "remote/RigctldServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

struct Result
{
    double perSecond = 0;
    double averageUs = 0;
    double p99Us = 0;
    double maxUs = 0;
    int wrong = 0;
};

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Client threads that ask "f" for the given time while this thread's event
// loop serves them; the trips of all of them count.
Result measure(quint16 port, int seconds, const QByteArray &expected, int clients = 1)
{
    std::vector<std::vector<double>> each(clients);
    std::vector<int> wrongs(clients, 0);
    std::vector<double> elapsed(clients, 0);
    QEventLoop loop; // the user-interface thread waits in it, as the program does
    std::atomic<int> running{clients};
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back([&, c] {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, port);
            if (socket.waitForConnected(3000)) {
                QElapsedTimer total;
                total.start();
                QElapsedTimer one;
                while (total.elapsed() < seconds * 1000) {
                    one.start();
                    socket.write("f\n");
                    socket.waitForBytesWritten(1000);
                    QByteArray reply;
                    while (!reply.endsWith('\n') && socket.waitForReadyRead(3000))
                        reply += socket.readAll();
                    each[c].push_back(one.nsecsElapsed() / 1e3);
                    if (reply != expected)
                        ++wrongs[c];
                }
                elapsed[c] = total.nsecsElapsed() / 1e6;
            }
            if (--running == 0)
                QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    loop.exec();
    for (std::thread &thread : threads)
        thread.join();
    Result result;
    std::vector<double> latencies;
    double perSecond = 0;
    for (int c = 0; c < clients; ++c) {
        latencies.insert(latencies.end(), each[c].begin(), each[c].end());
        if (elapsed[c] > 0)
            perSecond += each[c].size() / (elapsed[c] / 1000.0);
        result.wrong += wrongs[c];
    }
    if (latencies.empty())
        return result;
    std::sort(latencies.begin(), latencies.end());
    double sum = 0;
    for (double us : latencies)
        sum += us;
    result.perSecond = perSecond;
    result.averageUs = sum / latencies.size();
    result.p99Us = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    result.maxUs = latencies.back();
    return result;
}

void print(const char *what, const Result &r)
{
    std::printf("%-38s %10.0f %10.0f %10.0f %10.0f %6d\n", what, r.perSecond, r.averageUs, r.p99Us, r.maxUs, r.wrong);
}

} // namespace

int main(int argc, char *argv[])
{
    testenv::prepareTestEnvironment();
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    SetInformationAnswerer([](QWidget *, const QString &) {});
    SetConfirmationAnswerer([](QWidget *, const QString &) { return false; });
    TTarnwickFrm::SetComSettingsRunner([](TComSettingsFrm &) { return true; });

    std::printf("%d s per measurement; clients asking \"f\" and waiting for each answer\n", seconds);
    std::printf("%-38s %10s %10s %10s %10s %6s\n", "", "trips/s", "avg us", "p99 us", "max us", "wrong");
    const struct { int speed; int delay; } lines[] = {{38400, 1}, {9600, 5}, {4800, 5}};
    bool first = true;
    for (const auto &line : lines) {
        RigProcess rig({QStringLiteral("--model"), QStringLiteral("FT-817"), QStringLiteral("--speed"),
                           QString::number(line.speed), QStringLiteral("--delay"), QString::number(line.delay),
                           QStringLiteral("--freq"), QStringLiteral("7074000")});
        if (!rig.ok()) {
            std::fprintf(stderr, "cannot start the radio emulator tarnwick-rigsim\n");
            return 1;
        }
        testenv::clearSettings();
        TTarnwickFrm window;
        const quint16 port = freePort();
        window.SetCommandLineSerial({rig.path(), QStringLiteral("FT-817")});
        window.SetCommandLineRigctld({true, QStringLiteral("127.0.0.1"), port});
        window.ApplyRigctldOptions();
        if (!window.RigctldServer->IsListening()) {
            std::fprintf(stderr, "cannot listen on port %u\n", port);
            return 1;
        }
        if (first) {
            first = false;
            print("off-line (no polling, RPRT -6)", measure(port, seconds, "RPRT -6\n"));
        }
        window.CatBtn->click();
        QElapsedTimer wait;
        wait.start();
        while (window.ScaleFrequency() != 7074000 && wait.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (window.ScaleFrequency() != 7074000) {
            std::fprintf(stderr, "no connection at %d bd\n", line.speed);
            return 1;
        }
        const QByteArray label = QStringLiteral("polling at %1 bd, radio delay %2 ms").arg(line.speed).arg(line.delay).toLatin1();
        print(label.constData(), measure(port, seconds, "7074000\n"));
        print("  the same, ten clients at once", measure(port, seconds, "7074000\n", 10));
        window.close();
    }
    std::printf("\ntrips/s: answered requests per second; avg, p99, max: microseconds from sending \"f\" to the\n"
                "whole answer; wrong: answers other than the expected frequency. A poll transfer blocks the\n"
                "user-interface thread for its wire time plus the radio's delay; a request that arrives\n"
                "meanwhile waits for it.\n");
    return 0;
}
