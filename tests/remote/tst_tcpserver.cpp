// The TCP command server with real sockets on 127.0.0.1 and a fake window:
// replies in order and after their effects, also to a client that half-closes,
// the log, the client list, listening, clients that misbehave, and running out
// of descriptors.

#include "common/TestEnvironment.h"
#include "remote/TcpFakeHost.h"
#include "remote/TcpServer.h"
#include "remote/TcpStream.h"
#include "remote/TcpTestClient.h"

#include <QMutex>
#include <QTcpServer>

#include <memory>
#include <optional>
#include <vector>

#include <csignal>
#include <ctime>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A server on a free port whose log is collected; names come from Resolver.
struct Served
{
    TcpFakeHost host;
    mutable QMutex lock;
    QStringList log;
    TTcpServer server{host, [this](const QString &line) {
                          QMutexLocker locker(&lock);
                          log << line;
                      }};
    quint16 port = 0;

    explicit Served(TTcpServerLimits limits = {}, std::optional<QString> name = QString("companion.local"))
    {
        server.SetLimits(limits);
        server.SetResolver([name](const QHostAddress &, QObject *, std::function<void(const QString &)> done) {
            if (name)
                done(*name);
        });
        if (server.Start({{"127.0.0.1", 0}}).Ok())
            port = server.ListeningPorts().value(0);
    }
    bool logged(const QString &line) const
    {
        QMutexLocker locker(&lock);
        return log.contains(line);
    }
};

const QByteArray Status = "007040000CW   007000000007200000 ";

} // namespace

class TestTcpServer : public QObject
{
    Q_OBJECT
private slots:
    // Lines sent in one go are answered one by one, in order, each after its
    // effect: the groups set by SM are what the next GM reads. What the window
    // publishes is what the next status shows; a client that sends UTF-8 is
    // answered in UTF-8.
    void pipelinedLinesInOrder()
    {
        Served s;
        TcpTestClient client(s.port);
        client.send("QS\r\nCS\nXS any\nIV\nAV\nGM\nSMDX;SPOTS\nGM\nFMSPOT      014074000\nqs\n\nTT014074000\n");
        for (const QByteArray &reply : {Status, QByteArray("0"), QByteArray("Tarnwick"), QByteArray("1"),
                                        QByteArray(TARNWICK_VERSION_TEXT), QByteArray(""), QByteArray(""),
                                        QByteArray("DX;SPOTS;"), QByteArray(""), QByteArray(""), QByteArray(""),
                                        QByteArray("")})
            QCOMPARE(client.readLine(), reply);
        QCOMPARE(s.host.calls, (QStringList{"groups DX|SPOTS", "add SPOT/14074000/CW-R//-0/", "tune 14074000/CW-R/"}));
        s.host.state = {14074000, "USB", 14000000, 14350000, true, true, {QString::fromUtf8("Köln")}};
        s.server.PublishState();
        QCOMPARE(client.ask("QS"), QByteArray("014074000USB  0140000000143500001"));
        QCOMPARE(client.ask("GM"), QByteArray("K\xf6ln;"));
        QCOMPARE(client.ask(QString::fromUtf8("SMKöln;Łódź").toUtf8()), QByteArray(""));
        QCOMPARE(client.ask("GM"), QString::fromUtf8("Köln;Łódź;").toUtf8());
        QCOMPARE(s.server.TcpClients().value(0).HostName, QString("companion.local"));
        QCOMPARE(s.server.TcpClients().value(0).PeerAddress, QString("127.0.0.1"));
        client.socket.close();
        QTRY_COMPARE(s.server.ClientCount(), 0);
        QTRY_VERIFY(s.logged("TCPIP: Client disconnected \"companion.local\""));
        QMutexLocker locker(&s.lock);
        QCOMPARE(s.log.mid(0, 3), (QStringList{"TCPIP: Client connected \"companion.local\" on 127.0.0.1",
                                               "TCPIP: Unknown command received: \"qs\".",
                                               "TCPIP: Unknown command received: \"\"."}));
    }

    // A client that shuts its sending side after its lines (printf 'QS\n' |
    // nc -N) gets every reply, also after a window command, then the end.
    void halfCloseGetsEveryReply()
    {
        Served s;
        TcpTestClient client(s.port);
        client.send("QS\nSMDX\nXS\nIV"); // the last line lacks its LF: no reply
        QVERIFY(client.socket.flush() && shutdown(int(client.socket.socketDescriptor()), SHUT_WR) == 0);
        for (const QByteArray &reply : {Status, QByteArray(""), QByteArray("Tarnwick")})
            QCOMPARE(client.readLine(), reply);
        QVERIFY(client.waitForClose());
        QCOMPARE(s.host.calls, QStringList{"groups DX"});
    }

    // A failed or a slow reverse lookup: the address stands for the name.
    void hostNameWithoutLookup()
    {
        for (const std::optional<QString> &name : {std::optional<QString>(QString()), std::optional<QString>()}) {
            TTcpServerLimits limits;
            limits.LookupTimeoutMs = 50;
            Served s(limits, name);
            TcpTestClient client(s.port);
            QCOMPARE(client.ask("IV"), QByteArray("1"));
            QVERIFY(s.logged("TCPIP: Client connected \"127.0.0.1\" on 127.0.0.1"));
        }
    }

    // A start drops the clients of the last one; when one endpoint cannot
    // listen, none does.
    void startAndStop()
    {
        QTcpServer occupier;
        QVERIFY(occupier.listen(QHostAddress::LocalHost, 0));
        Served s;
        TcpTestClient before(s.port);
        for (const TTcpBinding &bad : {TTcpBinding{"127.0.0.1", occupier.serverPort()}, TTcpBinding{"local host", 0},
                                       TTcpBinding{"127.0.0.1", 65536}}) {
            const TTcpServer::TStartResult result = s.server.Start({{"127.0.0.1", 0}, bad});
            QVERIFY(result.FailedBinding == 1 && !result.Error.isEmpty() && !s.server.IsActive());
            QVERIFY(s.server.ListeningPorts().isEmpty());
        }
        QVERIFY(before.waitForClose());
        QVERIFY(s.server.Start({{"", 0}, {"127.0.0.1", 0}}).Ok());
        QCOMPARE(TcpTestClient(s.server.ListeningPorts().value(0)).ask("XS"), QByteArray("Tarnwick"));
    }

    // Lines too long, binary garbage, a half line: only the sender is
    // affected, and the log names it.
    void badInputEndsOnlyItsClient()
    {
        Served s;
        TcpTestClient longest(s.port), tooLong(s.port), garbage(s.port), halfLine(s.port);
        halfLine.send("QS");
        QCOMPARE(longest.ask("XS" + QByteArray(TcpMaxLineLength - 2, 'x') + '\r'), QByteArray("Tarnwick"));
        tooLong.send("XS" + QByteArray(TcpMaxLineLength - 1, 'x') + "\n");
        QVERIFY(tooLong.waitForClose());
        QTRY_VERIFY(s.logged("TCPIP: Client \"companion.local\" dropped: it sent a line longer than 16384 characters."));
        QCOMPARE(garbage.ask(QByteArray("\0\x01\xff\xfe", 4)), QByteArray(""));
        QTRY_VERIFY(s.logged("TCPIP: Unknown command received: \"\\x00\\x01\"."));
        QCOMPARE(garbage.ask("IV"), QByteArray("1"));
        halfLine.send("\n");
        QCOMPARE(halfLine.readLine(), Status);
        QCOMPARE(s.server.ClientCount(), 3);
    }

    // A client that sends and never reads: its lines wait once its unread
    // replies pass the limit, others are served meanwhile, and it is dropped
    // when nothing drains.
    void clientThatNeverReads()
    {
        TTcpServerLimits limits;
        limits.OutputHighWater = 4096;
        limits.StallTimeoutMs = 300;
        Served s(limits);
        TcpTestClient stalled(s.port), other(s.port);
        stalled.socket.setReadBufferSize(1); // reads nothing more
        stalled.send(QByteArray("QS\n").repeated(400000)); // far more replies than the kernel's buffers hold
        QCOMPARE(other.ask("IV"), QByteArray("1"));
        QTRY_VERIFY_WITH_TIMEOUT(s.logged("TCPIP: Client \"companion.local\" dropped: it does not read its replies."),
                                 10000);
        QTRY_COMPARE(s.server.ClientCount(), 1);
        QCOMPARE(other.ask("CS"), QByteArray("0"));
    }

    // Out of descriptors, accepting pauses instead of spinning; once there
    // are descriptors again (the soft limit raised to the hard one, as at
    // start), every waiting client is served.
    void outOfDescriptors()
    {
        TTcpServerLimits limits;
        limits.AcceptRetryMs = 100;
        Served s(limits);
        rlimit low{};
        getrlimit(RLIMIT_NOFILE, &low);
        low.rlim_cur = rlim_t(QDir("/proc/self/fd").count()) + 8;
        setrlimit(RLIMIT_NOFILE, &low);
        const pid_t child = fork();
        if (child == 0) { // thirty clients that wait to be killed
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            rlimit plenty{256, 256};
            setrlimit(RLIMIT_NOFILE, &plenty);
            sockaddr_in to{AF_INET, htons(s.port), {htonl(INADDR_LOOPBACK)}, {}};
            for (int i = 0; i < 30; ++i)
                ::connect(socket(AF_INET, SOCK_STREAM, 0), reinterpret_cast<sockaddr *>(&to), sizeof to);
            for (;;)
                pause();
        }
        QTRY_VERIFY(s.logged("TCPIP: Can't accept a client: Too many open files. Trying again."));
        const std::clock_t before = std::clock(); // the process's processor time
        QTest::qWait(500);
        const double used = double(std::clock() - before) / CLOCKS_PER_SEC;
        RaiseOpenFileLimit();
        QTRY_COMPARE_WITH_TIMEOUT(s.server.ClientCount(), 30, 10000);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        QVERIFY2(used < 0.05, qPrintable(QString::number(used))); // a spinning thread takes far more
    }

    // A thousand connections opened at once and dropped at once, half of
    // them in the middle of their replies; then a client is served as before.
    void connectionStorm()
    {
        Served s;
        std::vector<std::unique_ptr<TcpTestClient>> clients;
        for (int i = 0; i < 1000; ++i) {
            clients.push_back(std::make_unique<TcpTestClient>(s.port));
            QVERIFY(clients.back()->ok());
            if (i % 2)
                clients.back()->send(QByteArray("QS\n").repeated(1000));
        }
        QCoreApplication::processEvents();
        QTRY_COMPARE_WITH_TIMEOUT(s.server.ClientCount(), 1000, 20000);
        clients.clear();
        QTRY_COMPARE_WITH_TIMEOUT(s.server.ClientCount(), 0, 20000);
        QCOMPARE(TcpTestClient(s.port).ask("XS"), QByteArray("Tarnwick"));
    }
};

TARNWICK_TEST_CLASS(TestTcpServer)
#include "tst_tcpserver.moc"
