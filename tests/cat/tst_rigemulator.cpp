#include "RigEmulator.h"
#include "common/TestEnvironment.h"

#include <QApplication>

namespace {

QByteArray cmd(const char *hex)
{
    return QByteArray::fromHex(hex);
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

} // namespace

class TestRigEmulator : public QObject
{
    Q_OBJECT
private slots:
    void models()
    {
        RigEmulator::Model model;
        QVERIFY(RigEmulator::modelFromName("FT-817", &model));
        QVERIFY(model == RigEmulator::Model::FT817);
        QVERIFY(RigEmulator::modelFromName("ft897", &model));
        QVERIFY(model == RigEmulator::Model::FT897);
        QVERIFY(!RigEmulator::modelFromName("FT-1000", &model));
        QCOMPARE(RigEmulator::modelName(RigEmulator::Model::FT847), QStringLiteral("FT-847"));
        QCOMPARE(hex(frequencyToBcd(145500000)), QStringLiteral("14550000"));
        qint32 f = 0;
        QVERIFY(bcdToFrequency(cmd("01425000"), &f));
        QCOMPARE(f, 14250000);
        QVERIFY(!bcdToFrequency(cmd("0142A000"), &f));
    }

    void ft817FamilyAnswersAndAcknowledges()
    {
        for (auto model : {RigEmulator::Model::FT817, RigEmulator::Model::FT857, RigEmulator::Model::FT897}) {
            RigEmulator rig(model);
            QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("0142500001"));
            QCOMPARE(hex(rig.command(cmd("0070800001"))), QStringLiteral("00"));
            QCOMPARE(rig.state().vfoA.frequency, 7080000);
            QCOMPARE(hex(rig.command(cmd("0200000007"))), QStringLiteral("00"));
            QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("0070800002"));
            // VFO toggle brings VFO B (7.050 MHz LSB) and back.
            QCOMPARE(hex(rig.command(cmd("0000000081"))), QStringLiteral("00"));
            QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("0070500000"));
            rig.command(cmd("0000000081"));
            // PTT, split and lock acknowledge with 00, or F0 when already so.
            QCOMPARE(hex(rig.command(cmd("0000000088"))), QStringLiteral("F0"));
            QCOMPARE(hex(rig.command(cmd("00000000F7"))), QStringLiteral("FF"));
            QCOMPARE(hex(rig.command(cmd("0000000008"))), QStringLiteral("00"));
            QCOMPARE(hex(rig.command(cmd("0000000008"))), QStringLiteral("F0"));
            QCOMPARE(hex(rig.command(cmd("00000000F7"))), QStringLiteral("0A"));
            QCOMPARE(hex(rig.command(cmd("0000000002"))), QStringLiteral("00"));
            QCOMPARE(hex(rig.command(cmd("00000000F7"))), QStringLiteral("2A"));
            QCOMPARE(hex(rig.command(cmd("0000000002"))), QStringLiteral("F0"));
            QCOMPARE(hex(rig.command(cmd("0000000082"))), QStringLiteral("00"));
            QCOMPARE(hex(rig.command(cmd("0000000088"))), QStringLiteral("00"));
            QCOMPARE(hex(rig.command(cmd("0000000000"))), QStringLiteral("00"));
            QCOMPARE(hex(rig.command(cmd("0000000000"))), QStringLiteral("F0"));
            QCOMPARE(hex(rig.command(cmd("0000000080"))), QStringLiteral("00"));
            // CTCSS.
            QCOMPARE(hex(rig.command(cmd("100008850B"))), QStringLiteral("00"));
            QCOMPARE(rig.state().txTone, 1000);
            QCOMPARE(rig.state().rxTone, 885);
            QCOMPARE(hex(rig.command(cmd("3A0000000A"))), QStringLiteral("00"));
            QCOMPARE(int(rig.state().toneMode), 0x3A);
            // Receive status: squelch bit and S-meter.
            QCOMPARE(hex(rig.command(cmd("00000000E7"))), QStringLiteral("80"));
            QVERIFY(rig.control("set smeter 9").startsWith("ok"));
            QVERIFY(rig.control("set squelch open").startsWith("ok"));
            QCOMPARE(hex(rig.command(cmd("00000000E7"))), QStringLiteral("09"));
            // Unknown opcodes are not answered.
            QCOMPARE(hex(rig.command(cmd("00000000AA"))), QString());
            QCOMPARE(rig.commandsReceived(), 25);
        }
    }

    void ft847()
    {
        RigEmulator rig(RigEmulator::Model::FT847);
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QString()); // CAT off: ignored
        QCOMPARE(hex(rig.command(cmd("0000000000"))), QString());
        QVERIFY(rig.state().catOn);
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("0142500001"));
        QCOMPARE(hex(rig.command(cmd("0000000013"))), QStringLiteral("1459000008"));
        QCOMPARE(hex(rig.command(cmd("0000000023"))), QStringLiteral("4353000008"));
        // Set commands are never acknowledged.
        QCOMPARE(hex(rig.command(cmd("1459000001"))), QString());
        QCOMPARE(hex(rig.command(cmd("0142500011"))), QString());
        QCOMPARE(hex(rig.command(cmd("0142500021"))), QString());
        QCOMPARE(hex(rig.command(cmd("0800000007"))), QString());
        QCOMPARE(hex(rig.command(cmd("0100000017"))), QString());
        QCOMPARE(hex(rig.command(cmd("0100000027"))), QString());
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("1459000008"));
        QCOMPARE(hex(rig.command(cmd("0000000013"))), QStringLiteral("0142500001"));
        QCOMPARE(hex(rig.command(cmd("0000000023"))), QStringLiteral("0142500001"));
        QCOMPARE(hex(rig.command(cmd("0000000081"))), QString()); // no VFO toggle
        QCOMPARE(hex(rig.command(cmd("000000004E"))), QString());
        QVERIFY(rig.state().satMode);
        QCOMPARE(hex(rig.command(cmd("00000000F7"))), QStringLiteral("80"));
        rig.command(cmd("0000000008"));
        QCOMPARE(hex(rig.command(cmd("00000000F7"))), QStringLiteral("0A"));
        QVERIFY(rig.control("set smeter 31").startsWith("ok"));
        QVERIFY(rig.control("set squelch open").startsWith("ok"));
        QCOMPARE(hex(rig.command(cmd("00000000E7"))), QStringLiteral("1F"));
        rig.command(cmd("0000000080"));
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QString());
    }

    void framingAcrossReads()
    {
        RigEmulator rig(RigEmulator::Model::FT817);
        QCOMPARE(hex(rig.receive(cmd("000000"))), QString());
        QCOMPARE(hex(rig.receive(cmd("000300000000E7"))), QStringLiteral("014250000180"));
        QCOMPARE(hex(rig.receive(cmd("0000"))), QString());
        QVERIFY(rig.control("flush").startsWith("ok"));
        QCOMPARE(hex(rig.receive(cmd("0000000003"))), QStringLiteral("0142500001"));
    }

    void faults()
    {
        RigEmulator rig(RigEmulator::Model::FT817, 42);
        QVERIFY(rig.control("fault silence").startsWith("ok"));
        QCOMPARE(hex(rig.command(cmd("0145000001"))), QString());
        QCOMPARE(rig.state().vfoA.frequency, 14250000); // a silent radio ignores commands
        QVERIFY(rig.control("fault none").startsWith("ok"));
        QVERIFY(rig.control("fault noack on").startsWith("ok"));
        QCOMPARE(hex(rig.command(cmd("0145000001"))), QString());
        QCOMPARE(rig.state().vfoA.frequency, 14500000);
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("0145000001"));
        QVERIFY(rig.control("fault none").startsWith("ok"));
        QVERIFY(rig.control("fault short 2").startsWith("ok"));
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("014500"));
        QCOMPARE(hex(rig.command(cmd("00000000E7"))), QString());
        QVERIFY(rig.control("fault none").startsWith("ok"));
        QVERIFY(rig.control("fault extra 3").startsWith("ok"));
        const QByteArray extra = rig.command(cmd("0000000003"));
        QCOMPARE(extra.size(), 8);
        QCOMPARE(hex(extra.left(5)), QStringLiteral("0145000001"));
        QVERIFY(rig.control("fault none").startsWith("ok"));
        QVERIFY(rig.control("fault shift 2").startsWith("ok"));
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("0000014500"));
        QCOMPARE(hex(rig.command(cmd("00000000E7"))), QStringLiteral("00"));
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("0180014500"));
        QVERIFY(rig.control("fault none").startsWith("ok"));
        QVERIFY(rig.control("fault drift 2").startsWith("ok"));
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("0145000101"));
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("0145000201"));
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("0145000201"));
        QVERIFY(rig.control("fault slow 250").startsWith("ok"));
        QCOMPARE(rig.turnaroundMs(), 255);
        // Same seed, same garbage.
        RigEmulator a(RigEmulator::Model::FT857, 9), b(RigEmulator::Model::FT857, 9);
        a.control("fault extra 16");
        b.control("fault extra 16");
        QCOMPARE(a.command(cmd("0000000003")), b.command(cmd("0000000003")));
    }

    void controlChannel()
    {
        RigEmulator rig(RigEmulator::Model::FT857);
        QVERIFY(rig.control("set freq 145500005").startsWith("ok"));
        QVERIFY(rig.control("set mode FM").startsWith("ok"));
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("1455000008"));
        QVERIFY(rig.control("set mode 0x88").startsWith("ok"));
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("1455000088"));
        QVERIFY(rig.control("set mode bogus").startsWith("error"));
        QVERIFY(rig.control("set vfo B").startsWith("ok"));
        QCOMPARE(hex(rig.command(cmd("0000000003"))), QStringLiteral("0070500000"));
        QVERIFY(rig.control("speed 38400").startsWith("ok"));
        QCOMPARE(rig.byteTimeUs(), 286);
        QVERIFY(rig.control("fault shift 9").startsWith("error"));
        QVERIFY(rig.control("dance").startsWith("error"));
        QVERIFY(rig.control("").startsWith("error"));
        const QString status = rig.control("status");
        QVERIFY(status.contains("model=FT-857"));
        QVERIFY(status.contains("freq=7050000"));
        QVERIFY(status.contains("vfo=B"));
        QVERIFY(status.contains("last=0000000003"));
        bool quit = false;
        QVERIFY(rig.control("quit", &quit).startsWith("ok"));
        QVERIFY(quit);
    }
};

TARNWICK_TEST_CLASS(TestRigEmulator)
#include "tst_rigemulator.moc"
