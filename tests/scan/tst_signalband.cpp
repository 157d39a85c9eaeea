// The emulator's band of signals: what --signal accepts, the reading over
// frequency, and the control lines, as the radio's receive status shows them.

#include "RigEmulator.h"
#include "SignalBand.h"
#include "common/TestEnvironment.h"

class TestSignalBand : public QObject
{
    Q_OBJECT
private slots:
    void parsesAndFallsOff()
    {
        SignalBand::Signal s;
        QVERIFY(SignalBand::parse("7005000:9", &s));
        QCOMPARE(std::tuple(s.frequency, s.strength, s.width), std::tuple(7005000, 9, 1000));
        QVERIFY(SignalBand::parse("7005600:6:2000", &s));
        QCOMPARE(s.width, 2000);
        for (const char *bad : {"7005000", "x:9", "7005000:y", "7005000:9:0", "7005000:-1", "0:9", "1:2:3:4"})
            QVERIFY2(!SignalBand::parse(bad, &s), bad);

        SignalBand band;
        band.add({7005000, 15, 1000});
        band.add(s);
        // frequency, background, reading: the strongest signal there, never below the background
        const int rows[][3] = {{7005000, 0, 15}, {7004900, 0, 13}, {7003600, 0, 0}, {7004000, 2, 2},
                               {7005500, 0, 7},  {7006600, 0, 3},  {7007600, 0, 0}};
        for (const auto &r : rows)
            QCOMPARE(band.level(r[0], r[1]), r[2]);
        band.add({7005000, 9, 1000}); // replaces the one there
        QCOMPARE(band.level(7005000, 0), 9);
    }

    void theRadioReportsTheBand()
    {
        RigEmulator rig(RigEmulator::Model::FT817);
        auto status = [&rig] { return quint8(rig.command(QByteArray::fromHex("00000000E7")).at(0)); };
        for (const char *line : {"set smeter 3", "set squelch open", "set freq 7005000"})
            rig.control(line);
        QCOMPARE(status(), quint8(0x03)); // no signals: as before
        QCOMPARE(rig.control("signal add 7005000:15:1000"), QString("ok signal add 7005000:15:1000"));
        QCOMPARE(status(), quint8(0x0F));
        QVERIFY(rig.control("signal squelch 13").startsWith("ok"));
        QCOMPARE(status(), quint8(0x0F)); // 15 is above 13: open
        rig.control("set freq 7004900");
        QCOMPARE(status(), quint8(0x8D)); // 13 is not: closed
        QCOMPARE(rig.control("signal list"), QString("ok signals 7005000:15:1000"));
        QVERIFY(rig.control("signal remove 7005000").startsWith("ok"));
        QVERIFY(rig.control("signal squelch off").startsWith("ok"));
        QCOMPARE(status(), quint8(0x03)); // "set squelch" rules again
        for (const char *bad : {"signal add 7005000", "signal remove 7005000", "signal squelch -2", "signal louder"})
            QVERIFY2(rig.control(bad).startsWith("error"), bad);
    }
};

TARNWICK_TEST_CLASS(TestSignalBand)
#include "tst_signalband.moc"
