// The listener with real sockets on 127.0.0.1: Hamlib's own client opens it
// for every model, several clients are served at once, a bad client is
// dropped alone, and the port is bound to the configured address only.

#include "FakeRigctldHost.h"
#include "Rigctl.h"
#include "common/TestEnvironment.h"
#include "remote/RigctldServer.h"

#include <QTcpSocket>

namespace {

struct Listener
{
    FakeRigctldHost host;
    TRigctldServer server{host};
    QStringList log;

    Listener() { server.SetLogger([this](const QString &line) { log << line; }); }
    bool listen(const char *address = "127.0.0.1") { return server.Listen(QHostAddress(address), 0); }
    QString target() const { return QStringLiteral("127.0.0.1:%1").arg(server.Port()); }
};

std::unique_ptr<QTcpSocket> connectTo(const QString &address, quint16 port)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(address, port);
    socket->waitForConnected(2000);
    return socket;
}

// Sends a line and reads what comes back until the reply holds `lines` line ends.
QByteArray ask(QTcpSocket &socket, const QByteArray &line, int lines = 1)
{
    socket.write(line);
    QByteArray reply;
    QElapsedTimer timer;
    timer.start();
    while (reply.count('\n') < lines && timer.elapsed() < 5000 && socket.state() == QAbstractSocket::ConnectedState) {
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

    // Hamlib's NET rigctl backend reads the capabilities of each model and
    // then the state through the endpoint.
    void hamlibOpensEachModel_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("modes");
        QTest::addColumn<QString>("vfos");
        QTest::newRow("FT-817") << "FT-817" << "Mode list: AM CW USB LSB RTTY FM WFM CWR PKTUSB FM-D" << "VFO list: VFOA VFOB";
        QTest::newRow("FT-847") << "FT-847" << "Mode list: AM CW USB LSB FM CWR" << "VFO list: VFOA";
        QTest::newRow("FT-857") << "FT-857" << "Mode list: AM CW USB LSB RTTY FM WFM CWR PKTUSB FM-D" << "VFO list: VFOA VFOB";
        QTest::newRow("FT-897") << "FT-897" << "Mode list: AM CW USB LSB RTTY FM WFM CWR PKTUSB FM-D" << "VFO list: VFOA VFOB";
    }
    void hamlibOpensEachModel()
    {
        QFETCH(QString, model);
        QFETCH(QString, modes);
        QFETCH(QString, vfos);
        Listener l;
        l.host.radio.Type = TcvrTypeAt(TcvrTypeIndex(model));
        l.host.radio.Mode = "CW-R";
        l.host.radio.MeterPercent = 60;
        QVERIFY(l.listen());
        const QStringList caps = rigctl::run("2", l.target(), {"1"});
        QVERIFY2(caps.contains(modes), qPrintable(caps.join('\n')));
        QVERIFY(caps.contains(vfos));
        QVERIFY(caps.contains("Get level: RAWSTR(0..0/0) STRENGTH(0..0/0)"));
        QCOMPARE(rigctl::run("2", l.target(), {"f", "m", "v", "t", "s", "l", "STRENGTH"}),
                 QStringList({"14250000", "CWR", "2200", "VFOA", "0", "0", "VFOA", "0"}));
        QCOMPARE(rigctl::run("2", l.target(), {"F", "7074000", "M", "USB", "0", "T", "1"}), QStringList());
        // The FT-847 splits between its main and satellite VFOs; Hamlib knows no VFO B there.
        QCOMPARE(rigctl::run("2", l.target(), {"S", "1", vfos.endsWith("VFOB") ? "VFOB" : "VFOA"}), QStringList());
        // Opening, Hamlib reads VFO B by switching to it and back.
        QCOMPARE(l.host.radio.Vfo, u'A');
        l.host.calls.removeAll("vfo");
        QCOMPARE(l.host.calls, QStringList({"tune 7074000", "mode USB", "ptt 1", "split 1"}));
    }

    void twoHamlibClientsAtOnce()
    {
        Listener l;
        QVERIFY(l.listen());
        int most = 0;
        connect(&l.server, &TRigctldServer::ClientCountChanged, this, [&most](int count) { most = qMax(most, count); });
        auto tuner = rigctl::start({"-m", "2", "-r", l.target(), "F", "7074000", "f"});
        auto moder = rigctl::start({"-m", "2", "-r", l.target(), "M", "LSB", "0", "m"});
        QVERIFY(rigctl::finish({tuner.get(), moder.get()}));
        QCOMPARE(tuner->readAllStandardOutput(), QByteArray("7074000\n"));
        QCOMPARE(moder->readAllStandardOutput(), QByteArray("LSB\n2200\n"));
        QCOMPARE(most, 2);
        QCOMPARE(l.server.ClientCount(), 0);
    }

    void clientsAreServedTogetherAndABadOneIsDroppedAlone()
    {
        Listener l;
        QVERIFY(l.listen());
        auto good = connectTo("127.0.0.1", l.server.Port());
        auto garbage = connectTo("127.0.0.1", l.server.Port());
        auto rambling = connectTo("127.0.0.1", l.server.Port());
        auto leaving = connectTo("127.0.0.1", l.server.Port());
        QTRY_COMPARE(l.server.ClientCount(), 4);

        QCOMPARE(ask(*good, "f\n"), QByteArray("14250000\n"));
        garbage->write(QByteArray("f\n\x01\x02\xff\n", 6));
        rambling->write(QByteArray(TRigctldLineReader::MaxLineLength + 1, 'F'));
        QCOMPARE(ask(*leaving, "q\nf\n"), QByteArray("RPRT 0\n"));
        QTRY_COMPARE(garbage->state(), QAbstractSocket::UnconnectedState);
        QTRY_COMPARE(rambling->state(), QAbstractSocket::UnconnectedState);
        QTRY_COMPARE(leaving->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(garbage->readAll(), QByteArray("14250000\n")); // its line before the garbage was answered
        QCOMPARE(l.server.ClientCount(), 1);
        QCOMPARE(ask(*good, "F 7074000\nf\n", 2), QByteArray("RPRT 0\n7074000\n"));
        QCOMPARE(l.log.filter("dropped").size(), 2);
        QVERIFY(l.log.filter("dropped").at(0).contains("no command text"));
        QVERIFY(l.log.filter("dropped").at(1).contains("longer than 1024"));

        // A client that asks and never reads is cut off before it fills the memory.
        auto greedy = connectTo("127.0.0.1", l.server.Port());
        QTRY_COMPARE(l.server.ClientCount(), 2);
        greedy->write(QByteArray("\\dump_state\n").repeated(8000));
        QTRY_COMPARE(greedy->state(), QAbstractSocket::UnconnectedState);
        QVERIFY(l.log.last().contains("does not read its answers"));
        QCOMPARE(ask(*good, "f\n"), QByteArray("7074000\n"));
    }

    void boundToTheConfiguredAddressOnly()
    {
        Listener first;
        QVERIFY(first.listen("127.0.0.2"));
        QCOMPARE(first.log.last(), QStringLiteral("RIGCTLD: Listening on 127.0.0.2:%1.").arg(first.server.Port()));
        QCOMPARE(connectTo("127.0.0.1", first.server.Port())->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(connectTo("127.0.0.2", first.server.Port())->state(), QAbstractSocket::ConnectedState);

        // The same address and port a second time: refused with the reason.
        Listener second;
        QVERIFY(!second.server.Listen(QHostAddress("127.0.0.2"), first.server.Port()));
        QVERIFY(!second.server.IsListening());
        QVERIFY(!second.server.ErrorText().isEmpty());
        QVERIFY(second.log.last().startsWith(QStringLiteral("RIGCTLD: Can't listen on 127.0.0.2:%1: ").arg(first.server.Port())));
        QVERIFY(first.server.IsListening());
    }
};

TARNWICK_TEST_CLASS(TestRigctldServer)
#include "tst_rigctldserver.moc"
