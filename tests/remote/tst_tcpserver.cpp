// The TCP command server with real sockets on 127.0.0.1 and a fake window:
// replies in order and after their effects, the log, the client list,
// listening, and clients that misbehave.

#include "common/TestEnvironment.h"
#include "remote/TcpFakeHost.h"
#include "remote/TcpServer.h"
#include "remote/TcpTestClient.h"

#include <QMutex>
#include <QTcpServer>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace {

// A server on a free port of 127.0.0.1 whose log lines are collected; host
// names come from a table instead of the system's resolver.
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

    explicit Served(TTcpServerLimits limits = {}, TTcpResolver resolver = named("companion.local"))
    {
        server.SetLimits(limits);
        server.SetResolver(std::move(resolver));
        if (server.Start({{"127.0.0.1", 0}}).Ok())
            port = server.ListeningPorts().value(0);
    }
    static TTcpResolver named(const QString &name)
    {
        return [name](const QHostAddress &, QObject *, std::function<void(const QString &)> done) { done(name); };
    }
    QStringList lines() const
    {
        QMutexLocker locker(&lock);
        return log;
    }
    bool logged(const QString &line) const { return lines().contains(line); }
};

} // namespace

class TestTcpServer : public QObject
{
    Q_OBJECT
private slots:
    // Lines sent in one go are answered one by one, in order, each after its
    // effect: the groups set by SM are what the next GM reads.
    void pipelinedLinesInOrder()
    {
        Served s;
        QVERIFY(s.port != 0);
        TcpTestClient client(s.port);
        QVERIFY(client.ok());
        QVERIFY(client.send("QS\r\nCS\nXS any\nIV\nAV\nGM\nSMDX;SPOTS\nGM\nFMSPOT      014074000\nqs\n\nTT014074000\nQS\n"));
        const QList<QByteArray> expected{"007040000CW   007000000007200000 ", "0", "Tarnwick", "1",
                                         TARNWICK_VERSION_TEXT, "", "", "DX;SPOTS;", "", "", "", "",
                                         "007040000CW   007000000007200000 "};
        for (const QByteArray &reply : expected)
            QCOMPARE(client.readLine(), reply);
        QCOMPARE(s.host.calls, (QStringList{"groups DX|SPOTS", "add SPOT 14074000 CW-R  - 0", "tune 14074000 CW-R "}));

        QTRY_COMPARE(s.server.TcpClients().size(), 1);
        QCOMPARE(s.server.TcpClients().at(0).HostName, QString("companion.local"));
        QCOMPARE(s.server.TcpClients().at(0).PeerAddress, QString("127.0.0.1"));
        client.close();
        QTRY_COMPARE(s.server.ClientCount(), 0);
        QTRY_VERIFY(s.logged("TCPIP: Client disconnected \"companion.local\""));
        QCOMPARE(s.lines().mid(0, 3), (QStringList{"TCPIP: Client connected \"companion.local\" on 127.0.0.1",
                                                   "TCPIP: Unknown command received: \"qs\".",
                                                   "TCPIP: Unknown command received: \"\"."}));
    }

    // What the window publishes is what the next status reply shows.
    void repliesFollowPublishedState()
    {
        Served s;
        TcpTestClient client(s.port);
        s.host.state = {14074000, "USB", 14000000, 14350000, true, true, {QString::fromUtf8("Köln")}};
        s.server.PublishState();
        QCOMPARE(client.ask("QS"), QByteArray("014074000USB  0140000000143500001"));
        QCOMPARE(client.ask("CS"), QByteArray("1"));
        QCOMPARE(client.ask("GM"), QByteArray("K\xf6ln;"));
        // A client that speaks UTF-8 is answered in UTF-8.
        QCOMPARE(client.ask(QString::fromUtf8("SMKöln;Łódź").toUtf8()), QByteArray(""));
        QCOMPARE(client.ask("GM"), QString::fromUtf8("Köln;Łódź;").toUtf8());
    }

    // A failed or slow reverse lookup: the address stands for the name.
    void hostNameWithoutLookup_data()
    {
        QTest::addColumn<bool>("answers");
        QTest::newRow("lookup fails") << true;
        QTest::newRow("lookup never answers") << false;
    }
    void hostNameWithoutLookup()
    {
        QFETCH(bool, answers);
        TTcpServerLimits limits;
        limits.LookupTimeoutMs = 50;
        Served s(limits, [answers](const QHostAddress &, QObject *, std::function<void(const QString &)> done) {
            if (answers)
                done(QString());
        });
        TcpTestClient client(s.port);
        QCOMPARE(client.ask("IV"), QByteArray("1"));
        QVERIFY(s.logged("TCPIP: Client connected \"127.0.0.1\" on 127.0.0.1"));
        QCOMPARE(s.server.TcpClients().value(0).HostName, QString("127.0.0.1"));
    }

    void startAndStop_data()
    {
        QTest::addColumn<QString>("secondAddress");
        QTest::addColumn<int>("secondPort");
        QTest::addColumn<int>("failed");
        QTest::addColumn<int>("listening");
        QTest::newRow("both listen") << "127.0.0.1" << 0 << -1 << 2;
        QTest::newRow("empty address: unused") << "" << 0 << -1 << 1;
        QTest::newRow("port taken") << "127.0.0.1" << -2 << 1 << 0;
        QTest::newRow("not an address") << "local host" << 0 << 1 << 0;
        QTest::newRow("not a port") << "127.0.0.1" << 65536 << 1 << 0;
    }
    void startAndStop()
    {
        QFETCH(QString, secondAddress);
        QFETCH(int, secondPort);
        QFETCH(int, failed);
        QFETCH(int, listening);
        QTcpServer occupier;
        QVERIFY(occupier.listen(QHostAddress::LocalHost, 0));
        if (secondPort == -2)
            secondPort = occupier.serverPort();
        Served s;
        const TTcpServer::TStartResult result = s.server.Start({{"127.0.0.1", 0}, {secondAddress, secondPort}});
        QCOMPARE(result.FailedBinding, failed);
        QCOMPARE(result.Error.isEmpty(), failed < 0);
        QCOMPARE(s.server.IsActive(), failed < 0);
        QCOMPARE(s.server.ListeningPorts().size(), listening);
        for (const quint16 port : s.server.ListeningPorts())
            QCOMPARE(TcpTestClient(port).ask("XS"), QByteArray("Tarnwick"));
    }

    // Stopping (and starting again) drops every client.
    void stopDropsClients()
    {
        Served s;
        TcpTestClient client(s.port);
        QCOMPARE(client.ask("IV"), QByteArray("1"));
        s.server.Stop();
        QVERIFY(client.waitForClose());
        QCOMPARE(s.server.ClientCount(), 0);
        QVERIFY(s.logged("TCPIP: Client disconnected \"companion.local\""));
        QVERIFY(!TcpTestClient(s.port).ok());
    }

    // Lines too long, binary garbage, a half line: only the sender is
    // affected, and the log names it.
    void badInputEndsOnlyItsClient()
    {
        Served s;
        TcpTestClient longest(s.port), tooLong(s.port), garbage(s.port), halfLine(s.port), good(s.port);
        QVERIFY(halfLine.send("QS"));
        QVERIFY(longest.send("XS" + QByteArray(TcpMaxLineLength - 2, 'x') + "\r\n"));
        QCOMPARE(longest.readLine(), QByteArray("Tarnwick"));
        QVERIFY(tooLong.send("XS" + QByteArray(TcpMaxLineLength - 1, 'x') + "\n"));
        QVERIFY(tooLong.waitForClose());
        QTRY_VERIFY(s.logged(QStringLiteral("TCPIP: Client \"companion.local\" dropped: it sent a line longer than "
                                            "16384 characters.")));
        QCOMPARE(garbage.ask(QByteArray("\0\x01\xff\xfe", 4)), QByteArray(""));
        QTRY_VERIFY(s.logged("TCPIP: Unknown command received: \"\\x00\\x01\"."));
        QCOMPARE(good.ask("IV"), QByteArray("1"));
        QCOMPARE(garbage.ask("IV"), QByteArray("1"));
        QVERIFY(halfLine.send("\n"));
        QCOMPARE(halfLine.readLine(), QByteArray("007040000CW   007000000007200000 "));
        QCOMPARE(s.server.ClientCount(), 4);
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
        // Far more replies than the kernel's buffers on both sides hold.
        const QByteArray burst = QByteArray("QS\n").repeated(400000);
        std::atomic<bool> sending{true};
        std::thread writer([&] {
            stalled.send(burst); // blocks once the server stops reading, fails once it drops us
            sending = false;
        });
        QTest::qWait(100);
        QCOMPARE(other.ask("IV"), QByteArray("1"));
        QTRY_VERIFY_WITH_TIMEOUT(s.logged("TCPIP: Client \"companion.local\" dropped: it does not read its replies."),
                                 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!sending, 10000);
        writer.join();
        QTRY_COMPARE(s.server.ClientCount(), 1);
        QCOMPARE(other.ask("CS"), QByteArray("0"));
    }

    // A client that reads slowly but steadily is not dropped.
    void slowReaderIsKept()
    {
        TTcpServerLimits limits;
        limits.OutputHighWater = 1024;
        limits.StallTimeoutMs = 1000;
        Served s(limits);
        TcpTestClient slow(s.port);
        constexpr int lines = 100000;
        std::thread writer([&] { slow.send(QByteArray("IV\n").repeated(lines)); });
        int read = 0;
        while (read < lines && slow.readLine(2000) == "1")
            ++read;
        writer.join();
        QCOMPARE(read, lines);
        QVERIFY(!s.lines().join('\n').contains("dropped"));
    }

    // A thousand connections opened at once and dropped at once; then a
    // client is served as before. Clients that go mid-reply do no harm.
    void connectionStorm()
    {
        Served s;
        std::vector<std::unique_ptr<TcpTestClient>> clients;
        for (int i = 0; i < 1000; ++i)
            clients.push_back(std::make_unique<TcpTestClient>(s.port));
        for (const auto &client : clients)
            QVERIFY(client->ok());
        for (int i = 0; i < 1000; i += 2)
            clients[i]->send(QByteArray("QS\n").repeated(1000)); // and go without reading
        QTRY_COMPARE_WITH_TIMEOUT(s.server.ClientCount(), 1000, 20000);
        clients.clear();
        QTRY_COMPARE_WITH_TIMEOUT(s.server.ClientCount(), 0, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(s.lines().filter("TCPIP: Client disconnected").size(), 1000, 20000);
        QCOMPARE(TcpTestClient(s.port).ask("XS"), QByteArray("Tarnwick"));
    }

    // Ten clients send marker and group commands in bursts while the window
    // changes its own state between them: every client gets every reply in
    // order, and the window saw each client's commands in that client's order.
    void concurrentWindowCommands()
    {
        Served s;
        constexpr int clientCount = 10;
        constexpr int rounds = 50;
        std::vector<std::unique_ptr<TcpTestClient>> clients;
        for (int c = 0; c < clientCount; ++c) {
            clients.push_back(std::make_unique<TcpTestClient>(s.port));
            QByteArray burst;
            for (int r = 0; r < rounds; ++r) {
                const QByteArray caption = QStringLiteral("C%1R%2").arg(c).arg(r).toLatin1().leftJustified(10, ' ');
                burst += "FM" + caption + "014074000USB  -    G" + QByteArray::number(c) + "        0\n";
                burst += "UM" + caption + "-0\nSMG" + QByteArray::number(c) + "\nDMG" + QByteArray::number(c) + "\nQS\n";
            }
            QVERIFY(clients.back()->send(burst));
        }
        int replies = 0;
        for (int r = 0; r < rounds; ++r) {
            s.host.state.Frequency += 10; // the user tunes meanwhile
            s.server.PublishState();
            for (const auto &client : clients) {
                for (int k = 0; k < 4; ++k)
                    replies += client->readLine().isEmpty() ? 1 : 0;
                replies += client->readLine().startsWith("0070") ? 1 : 0;
            }
        }
        QCOMPARE(replies, clientCount * rounds * 5);
        for (int c = 0; c < clientCount; ++c) {
            const QStringList own = s.host.calls.filter(QRegularExpression(QStringLiteral("^add C%1R|G%1( |$)").arg(c)));
            QCOMPARE(own.size(), rounds * 4);
            for (int r = 0; r < rounds; ++r)
                QVERIFY2(own.at(r * 4).startsWith(QStringLiteral("add C%1R%2 14074000").arg(c).arg(r))
                             && own.at(r * 4 + 3) == QStringLiteral("delete G%1 0").arg(c),
                         qPrintable(own.mid(r * 4, 4).join(", ")));
        }
    }
};

TARNWICK_TEST_CLASS(TestTcpServer)
#include "tst_tcpserver.moc"
