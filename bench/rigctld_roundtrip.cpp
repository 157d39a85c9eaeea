// "f" round trips through the rigctld endpoint of a real main window while
// its CAT engine polls the radio emulator with the 20 ms MainTmr: one client
// on its own thread asks, waits for the answer, asks again (as WSJT-X and
// fldigi do). The user-interface thread serves the socket between the poll
// transfers, each of which blocks it for the time the radio takes to answer.
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

// A client thread that asks "f" for the given time while this thread's event
// loop serves it.
Result measure(quint16 port, int seconds, const QByteArray &expected)
{
    std::vector<double> latencies;
    QEventLoop loop; // the user-interface thread waits in it, as the program does
    int wrong = 0;
    double elapsedMs = 0;
    std::thread client([&] {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        if (!socket.waitForConnected(3000)) {
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
            return;
        }
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
            latencies.push_back(one.nsecsElapsed() / 1e3);
            if (reply != expected)
                ++wrong;
        }
        elapsedMs = total.nsecsElapsed() / 1e6;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    client.join();
    Result result;
    if (latencies.empty())
        return result;
    std::sort(latencies.begin(), latencies.end());
    double sum = 0;
    for (double us : latencies)
        sum += us;
    result.perSecond = latencies.size() / (elapsedMs / 1000.0);
    result.averageUs = sum / latencies.size();
    result.p99Us = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
    result.maxUs = latencies.back();
    result.wrong = wrong;
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

    std::printf("%d s per measurement; one client asking \"f\" and waiting for each answer\n", seconds);
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
        window.close();
    }
    std::printf("\ntrips/s: answered requests per second; avg, p99, max: microseconds from sending \"f\" to the\n"
                "whole answer; wrong: answers other than the expected frequency. A poll transfer blocks the\n"
                "user-interface thread for its wire time plus the radio's delay; a request that arrives\n"
                "meanwhile waits for it.\n");
    return 0;
}
