// The emulator's band of signals: what --signal accepts, the S-meter reading
// over frequency, the squelch level, and the control lines that change them
// while the emulator runs, as the radio's receive status byte shows them.

#include "RigEmulator.h"
#include "SignalBand.h"
#include "common/TestEnvironment.h"

namespace {

// The FT-817's receive status: bit 7 set while the squelch is closed, the
// meter in the low four bits.
quint8 receiveStatus(RigEmulator &rig)
{
    return quint8(rig.command(QByteArray::fromHex("00000000E7")).at(0));
}

} // namespace

class TestSignalBand : public QObject
{
    Q_OBJECT
private slots:
    void parsesSignals()
    {
        SignalBand::Signal s;
        QVERIFY(SignalBand::parse("7005000:9", &s));
        QCOMPARE(s.frequency, 7005000);
        QCOMPARE(s.strength, 9);
        QCOMPARE(s.width, SignalBand::DefaultWidth);
        QVERIFY(SignalBand::parse("7005000:15:2500", &s));
        QCOMPARE(s.width, 2500);
        for (const char *bad : {"7005000", "x:9", "7005000:y", "7005000:9:0", "7005000:-1", "0:9", "1:2:3:4", ""})
            QVERIFY2(!SignalBand::parse(bad, &s), bad);
    }

    void readingFallsOffOverTheWidth()
    {
        SignalBand band;
        band.add({7005000, 15, 1000});
        band.add({7005600, 6, 2000});
        const struct {
            qint32 frequency;
            int background;
            int level;
        } rows[] = {
            {7005000, 0, 15}, {7004900, 0, 13}, {7005100, 0, 13}, {7003600, 0, 0}, {7004000, 2, 2},
            {7005500, 0, 7},  // the first signal's 7 beats the second's 5
            {7006600, 0, 3},  // only the second reaches here
            {7007600, 0, 0},  {7010000, 4, 4},
        };
        for (const auto &r : rows)
            QCOMPARE(band.level(r.frequency, r.background), r.level);

        band.add({7005000, 9, 1000}); // replaces the signal there
        QCOMPARE(band.level(7005000, 0), 9);
        QVERIFY(band.remove(7005000));
        QVERIFY(!band.remove(7005000));
        QCOMPARE(band.level(7005000, 0), 4); // the second signal's slope
    }

    void theRadioReportsTheBand()
    {
        RigEmulator rig(RigEmulator::Model::FT817);
        rig.control("set smeter 3");
        rig.control("set squelch open");
        rig.control("set freq 7005000");
        QCOMPARE(receiveStatus(rig), quint8(0x03)); // no signals: as before

        QCOMPARE(rig.control("signal add 7005000:15:1000"), QString("ok signal add 7005000:15:1000"));
        QCOMPARE(receiveStatus(rig), quint8(0x0F));
        QVERIFY(rig.control("signal squelch 14").startsWith("ok"));
        QCOMPARE(receiveStatus(rig), quint8(0x0F)); // 15 is above 14: open
        rig.control("set freq 7004900");
        QCOMPARE(receiveStatus(rig), quint8(0x8D)); // 13: closed
        rig.control("set freq 7010000");
        QCOMPARE(receiveStatus(rig), quint8(0x83)); // the background, closed

        QCOMPARE(rig.control("signal list"), QString("ok signals 7005000:15:1000"));
        QVERIFY(rig.control("signal remove 7005000").startsWith("ok"));
        QCOMPARE(rig.control("signal list"), QString("ok signals none"));
        QVERIFY(rig.control("signal squelch off").startsWith("ok"));
        QCOMPARE(receiveStatus(rig), quint8(0x03)); // "set squelch open" rules again

        for (const char *bad : {"signal add 7005000", "signal remove 7005000", "signal squelch -2", "signal louder"})
            QVERIFY2(rig.control(bad).startsWith("error"), bad);
    }
};

TARNWICK_TEST_CLASS(TestSignalBand)
#include "tst_signalband.moc"
