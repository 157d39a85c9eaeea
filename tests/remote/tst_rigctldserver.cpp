// The listener with real sockets on 127.0.0.1: Hamlib's own client opens it
// for every model, clients are served together, a bad client is dropped
// alone, and the port is bound to the configured address only.

#include "FakeRigctldHost.h"
#include "Rigctl.h"
#include "common/TestEnvironment.h"
#include "remote/RigctldServer.h"

#include <QTcpSocket>

#include <sys/socket.h>

namespace {

struct Listener
{
    FakeRigctldHost host;
    TRigctldServer server{host};
    QStringList log;
    Listener() { server.SetLogger([this](const QString &line) { log << line; }); }
    QString target() const { return QStringLiteral("127.0.0.1:%1").arg(server.Port()); }
    std::unique_ptr<QTcpSocket> connect(const char *address = "127.0.0.1")
    {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(address, server.Port());
        socket->waitForConnected(2000);
        return socket;
    }
};

// Sends and reads until the reply holds that many line ends or the peer leaves.
QByteArray ask(QTcpSocket &socket, const QByteArray &lines, int replies = 1)
{
    socket.write(lines);
    QByteArray reply;
    for (int i = 0; i < 2000 && reply.count('\n') < replies && socket.state() == QAbstractSocket::ConnectedState; ++i) {
        QTest::qWait(2);
        reply += socket.readAll();
    }
    return reply;
}

} // namespace

class TestRigctldServer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(!rigctl::program().isEmpty(), "rigctl not found: install libhamlib-utils"); }

    // Hamlib reads the radio's abilities when it opens the endpoint.
    void hamlibOpensEachModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("caps");
        QTest::newRow("FT-817") << "FT-817"
                                << QStringList{"Mode list: AM CW USB LSB RTTY FM WFM CWR PKTUSB FM-D", "VFO list: VFOA VFOB",
                                               "Get level: RFPOWER(0..0/0) RAWSTR(0..0/0) SWR(0..0/0) ALC(0..0/0) STRENGTH(0..0/0)",
                                               "VFO Ops: CPY TOGGLE", "Low power: 0.5 W, High power: 1.5 W"};
        // The FT-847 splits between its main and satellite VFOs: Hamlib sees one VFO.
        QTest::newRow("FT-847") << "FT-847"
                                << QStringList{"Mode list: AM CW USB LSB FM CWR", "VFO list: VFOA",
                                               "Get level: RAWSTR(0..0/0) ALC(0..0/0) STRENGTH(0..0/0)", "VFO Ops:",
                                               "Low power: 5 W, High power: 25 W"};
    }
    void hamlibOpensEachModel()
    {
        QFETCH(QString, model);
        QFETCH(QStringList, caps);
        Listener l;
        l.host.radio.Type = TcvrTypeAt(TcvrTypeIndex(model));
        QVERIFY(l.server.Listen(QHostAddress::LocalHost, 0));
        const QStringList dump = rigctl::run("2", l.target(), {"1"});
        for (const QString &line : caps)
            QVERIFY2(dump.contains(line), qPrintable(line));
        QCOMPARE(l.host.radio.Vfo, u'A'); // Hamlib reads VFO B by switching to it and back
    }

    void clientsServedTogetherABadOneDroppedAlone()
    {
        Listener l;
        QVERIFY(l.server.Listen(QHostAddress::LocalHost, 0));
        int most = 0;
        connect(&l.server, &TRigctldServer::ClientCountChanged, this, [&most](int count) { most = qMax(most, count); });
        auto tuner = rigctl::start("2", l.target(), {"F", "7074000", "f"});
        auto moder = rigctl::start("2", l.target(), {"M", "LSB", "0", "m"});
        QCOMPARE(rigctl::output(*tuner), QStringList({"7074000"}));
        QCOMPARE(rigctl::output(*moder).value(0), QString("LSB")); // the passband may come from its cache
        QCOMPARE(most, 2);

        auto good = l.connect(), garbage = l.connect(), rambling = l.connect(), leaving = l.connect();
        QTRY_COMPARE(l.server.ClientCount(), 4);
        garbage->write(QByteArray("f\n\x01\x02\xff\n", 6));
        rambling->write(QByteArray(TRigctldLineReader::MaxLineLength + 1, 'F'));
        QCOMPARE(ask(*leaving, "q\nf\n"), QByteArray("RPRT 0\n"));
        for (QTcpSocket *gone : {garbage.get(), rambling.get(), leaving.get()})
            QTRY_COMPARE(gone->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(garbage->readAll(), QByteArray("7074000\n")); // its line before the garbage is answered
        QCOMPARE(ask(*good, "F 7000000\nf\n", 2), QByteArray("RPRT 0\n7000000\n"));
        QCOMPARE(l.server.ClientCount(), 1);
        const QStringList dropped = l.log.filter("dropped");
        QCOMPARE(dropped.size(), 2);
        QVERIFY(dropped.at(0).contains("no command text") && dropped.at(1).contains("longer than 1024"));

        // One that asks and never reads is cut off before it fills the memory.
        auto greedy = l.connect();
        greedy->write(QByteArray("\\dump_state\n").repeated(8000));
        QTRY_COMPARE(greedy->state(), QAbstractSocket::UnconnectedState);
        QVERIFY(l.log.last().contains("does not read its answers"));
        QCOMPARE(ask(*good, "f\n"), QByteArray("7000000\n"));
    }

    // A read from the radio holds its client's later commands back, not the
    // other clients; a full house makes room by the client idle longest.
    void readsWaitInOrderIdleClientsMakeRoom()
    {
        Listener l;
        QVERIFY(l.server.Listen(QHostAddress::LocalHost, 0));
        l.host.holdReads = true;
        auto reader = l.connect(), tuner = l.connect();
        reader->write("v\nF 7000000\n");
        QTRY_COMPARE(l.host.held.size(), size_t(1));
        QCOMPARE(ask(*tuner, "F 7100000\n"), QByteArray("RPRT 0\n"));
        QCOMPARE(reader->bytesAvailable(), 0);
        l.host.release();
        QCOMPARE(ask(*reader, "", 2), QByteArray("VFOA\nRPRT 0\n"));
        QCOMPARE(l.host.calls, QStringList({"read vfo", "tune 7100000", "tune 7000000"}));

        std::vector<std::unique_ptr<QTcpSocket>> crowd;
        for (int i = 2; i < TRigctldServer::MaxClients; ++i)
            crowd.push_back(l.connect());
        QTRY_COMPARE(l.server.ClientCount(), TRigctldServer::MaxClients);
        QCOMPARE(ask(*reader, "F 7000000\n"), QByteArray("RPRT 0\n"));
        auto newcomer = l.connect();
        QTRY_COMPARE(tuner->state(), QAbstractSocket::UnconnectedState); // idle since before the crowd came
        QCOMPARE(ask(*newcomer, "\\chk_vfo\n"), QByteArray("0\n"));
        QCOMPARE(l.log.filter("dropped: it was idle longest").size(), 1);

        // Every one waits for the radio: there is no room.
        crowd.push_back(std::move(reader));
        crowd.push_back(std::move(newcomer));
        for (auto &member : crowd)
            member->write("v\n");
        QTRY_COMPARE(l.host.held.size(), size_t(TRigctldServer::MaxClients));
        auto turnedAway = l.connect();
        QTRY_COMPARE(turnedAway->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(l.server.ClientCount(), TRigctldServer::MaxClients);
        QVERIFY(l.log.last().contains("turned away"));
    }

    // A client that shuts its sending side after its lines (printf 'v\nf\n' |
    // nc -N) gets every answer, also one that waits for the radio, then the end.
    void halfClosedClientGetsEveryAnswer()
    {
        Listener l;
        QVERIFY(l.server.Listen(QHostAddress::LocalHost, 0));
        QStringList gone;
        connect(&l.server, &TRigctldServer::ClientGone, this, [&gone](const QString &peer) { gone << peer; });
        l.host.holdReads = true;
        auto client = l.connect();
        const QString peer = QStringLiteral("127.0.0.1:%1").arg(client->localPort());
        client->write("v\nf\n");
        QVERIFY(client->flush() && shutdown(int(client->socketDescriptor()), SHUT_WR) == 0);
        QTRY_COMPARE(l.host.held.size(), size_t(1));
        l.host.release();
        QTRY_COMPARE(l.host.held.size(), size_t(1));
        l.host.release();
        QCOMPARE(ask(*client, "", 2), QByteArray("VFOA\n14250000\n"));
        QTRY_COMPARE(client->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(gone, QStringList{peer});
    }

    void boundToTheConfiguredAddressOnly()
    {
        Listener first, second;
        QVERIFY(first.server.Listen(QHostAddress("127.0.0.2"), 0));
        QCOMPARE(first.log.last(), QStringLiteral("RIGCTLD: Listening on 127.0.0.2:%1.").arg(first.server.Port()));
        QCOMPARE(first.connect("127.0.0.1")->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(first.connect("127.0.0.2")->state(), QAbstractSocket::ConnectedState);
        // The same address and port a second time: refused with the reason.
        QVERIFY(!second.server.Listen(QHostAddress("127.0.0.2"), first.server.Port()));
        QVERIFY(!second.server.IsListening() && !second.server.ErrorText().isEmpty());
        QVERIFY(second.log.last().startsWith(QStringLiteral("RIGCTLD: Can't listen on 127.0.0.2:%1: ").arg(first.server.Port())));
        QVERIFY(first.server.IsListening());
    }
};

TARNWICK_TEST_CLASS(TestRigctldServer)
#include "tst_rigctldserver.moc"
