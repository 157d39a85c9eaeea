// The command server under load on 127.0.0.1:
//  - 1, 10 and 50 clients, each sending "QS" and waiting for the reply, back
//    to back: replies per second in total and the latency of each reply
//    (p50, p99, max), off-line and while the CAT engine polls the radio
//    emulator (FT-817) at 4800 and 38400 bd with the program's 20 ms timer;
//  - the same for "FM" (a marker to the window), which waits for the
//    window's thread and so for a serial transfer in progress;
//  - memory and threads of the process with 1000 idle clients connected.
//
// The window is a stand-in with the CAT engine's fake host, but the server,
// its thread and the hand-over to the window's thread are the program's.
//
// Usage: bench_tcp_server [seconds per measurement]
// The emulator is found through TARNWICK_RIGSIM or next to this program.

#include "TimedEngineHost.h"
#include "cat/CatEngine.h"
#include "cat/CatLog.h"
#include "cat/RigProcess.h"
#include "remote/TcpServer.h"
#include "remote/TcpServerHost.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The window as the engine and the server see it.
class BenchWindow : public FakeEngineHost, public TTcpServerHost
{
public:
    TCatEngine *engine = nullptr;
    int markers = 0;

    TTcpWindowState TcpWindowState() const override
    {
        return {scaleFrequency, mode, 14000000, 14350000, engine && engine->IsConnected(), false,
                {QStringLiteral("DX"), QStringLiteral("SPOTS")}};
    }
    QString ModeAt(qint32) const override { return QString(); }
    void AddOrReplaceMarker(const TFqMarker &, bool) override { ++markers; }
    void DeleteMarkersWithAttribute(const QString &, bool) override {}
    void SetVisibleGroups(const QStringList &) override {}
    void PlaceTuneRequest(const TFqMarker &) override {}
};

int connectTo(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        if (fd >= 0)
            ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

// One client: the line, its reply, the next line, until told to stop.
void clientLoop(quint16 port, const QByteArray &line, const std::atomic<bool> &go, const std::atomic<bool> &stop,
                std::vector<double> &latenciesUs)
{
    const int fd = connectTo(port);
    if (fd < 0)
        return;
    while (!go)
        std::this_thread::yield();
    char buffer[4096];
    while (!stop) {
        const auto sent = Clock::now();
        if (::send(fd, line.constData(), size_t(line.size()), MSG_NOSIGNAL) != line.size())
            break;
        bool complete = false;
        while (!complete) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) {
                ::close(fd);
                return;
            }
            complete = buffer[n - 1] == '\n'; // one request at a time: a reply ends the bytes
        }
        latenciesUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - sent).count());
    }
    ::close(fd);
}

struct Figures
{
    double perSecond = 0, p50 = 0, p99 = 0, max = 0;
};

Figures measure(quint16 port, int clients, const QByteArray &line, int seconds)
{
    std::atomic<bool> go{false}, stop{false};
    std::vector<std::vector<double>> latencies(static_cast<size_t>(clients));
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c)
        threads.emplace_back(clientLoop, port, line, std::cref(go), std::cref(stop), std::ref(latencies[size_t(c)]));
    runEventLoop(300); // connected and announced
    const auto start = Clock::now();
    go = true;
    runEventLoop(seconds * 1000);
    stop = true;
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    // Clients waiting for a window command need the window's thread to finish.
    while (std::any_of(threads.begin(), threads.end(), [](const std::thread &t) { return t.joinable(); })) {
        runEventLoop(20);
        for (auto &thread : threads)
            if (thread.joinable()) {
                thread.join();
                break;
            }
    }
    std::vector<double> all;
    for (const auto &list : latencies)
        all.insert(all.end(), list.begin(), list.end());
    Figures figures;
    if (all.empty())
        return figures;
    std::sort(all.begin(), all.end());
    figures.perSecond = all.size() / elapsed;
    figures.p50 = all[all.size() / 2] / 1000.0;
    figures.p99 = all[std::min(all.size() - 1, size_t(all.size() * 0.99))] / 1000.0;
    figures.max = all.back() / 1000.0;
    return figures;
}

long statusValue(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qsizetype(strlen(key))).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;

    TCatLog log;
    BenchWindow window;
    TCatEngine engine(window, log);
    engine.SetManualTimers(true);
    window.engine = &engine;
    TTcpServer server(window, [](const QString &) {});
    if (!server.Start({{QStringLiteral("127.0.0.1"), 0}}).Ok()) {
        std::fprintf(stderr, "the server cannot listen\n");
        return 1;
    }
    const quint16 port = server.ListeningPorts().value(0);
    const QByteArray fm = "FMDL1ABC    014074000USB  -    SPOTS     0remark\n";

    std::printf("%d s per measurement; latency in ms from sending a line to its whole reply\n", seconds);
    std::printf("%-16s %-4s %7s | %10s %8s %8s %8s\n", "condition", "line", "clients", "replies/s", "p50", "p99", "max");
    for (const int speed : {0, 4800, 38400}) {
        std::optional<RigProcess> rig;
        if (speed > 0) {
            rig.emplace(QStringList{QStringLiteral("--model"), QStringLiteral("FT-817"), QStringLiteral("--speed"),
                                    QString::number(speed), QStringLiteral("--delay"), QStringLiteral("0")});
            if (!rig->ok()) {
                std::fprintf(stderr, "cannot start the radio emulator tarnwick-rigsim\n");
                return 1;
            }
            if (!connectForBench(engine, rig->path(), speed)) {
                std::fprintf(stderr, "no connection at %d bd\n", speed);
                return 1;
            }
            engine.SetManualTimers(false);
        }
        const QByteArray condition = speed > 0 ? "polling " + QByteArray::number(speed) + " bd" : "off-line";
        for (const auto &[name, line] : {std::pair{"QS", QByteArray("QS\n")}, std::pair{"FM", fm}}) {
            for (const int clients : {1, 10, 50}) {
                const Figures f = measure(port, clients, line, seconds);
                std::printf("%-16s %-4s %7d | %10.0f %8.2f %8.2f %8.2f\n", condition.constData(), name, clients,
                            f.perSecond, f.p50, f.p99, f.max);
            }
        }
        if (speed > 0) {
            engine.SetManualTimers(true);
            engine.Disconnect();
            settleEngine(engine);
        }
    }

    // A thousand idle clients.
    runEventLoop(500);
    const long rssBefore = statusValue("VmRSS:");
    const long threadsBefore = statusValue("Threads:");
    std::vector<int> idle;
    for (int i = 0; i < 1000; ++i)
        idle.push_back(connectTo(port));
    long peakThreads = threadsBefore;
    for (int i = 0; i < 100 && server.ClientCount() < 1000; ++i) {
        runEventLoop(20);
        peakThreads = std::max(peakThreads, statusValue("Threads:"));
    }
    runEventLoop(2000);
    peakThreads = std::max(peakThreads, statusValue("Threads:"));
    const long rssAfter = statusValue("VmRSS:");
    std::printf("\n1000 idle clients: %d connected; resident memory %ld kB -> %ld kB (+%.1f kB a client); "
                "threads %ld -> %ld (at most %ld during the connects)\n",
                server.ClientCount(), rssBefore, rssAfter, (rssAfter - rssBefore) / 1000.0, threadsBefore,
                statusValue("Threads:"), peakThreads);
    for (const int fd : idle)
        if (fd >= 0)
            ::close(fd);
    runEventLoop(500);
    std::printf("after they left: %d connected, threads %ld\n", server.ClientCount(), statusValue("Threads:"));
    return 0;
}
