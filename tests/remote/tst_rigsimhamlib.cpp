// Hamlib's own FT-817 and FT-857 backends against the emulator: what one
// rigctl run sets, the next one reads back, including the VFO and split
// states that Hamlib takes from the radio's EEPROM.

#include "Rigctl.h"
#include "cat/RigProcess.h"
#include "common/TestEnvironment.h"

class TestRigsimHamlib : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(!rigctl::program().isEmpty(), "rigctl not found: install libhamlib-utils"); }

    void ft817KeepsItsStateAcrossRuns()
    {
        // A radio's processing time: Hamlib's FT-817 backend keeps replies
        // for 50 ms and would otherwise read VFO A's mode back for VFO B.
        RigProcess rig({"--model", "FT-817", "--delay", "55"});
        QVERIFY(rig.ok());
        QCOMPARE(rigctl::run("1020", rig.path(), {"V", "VFOB", "M", "PKTUSB", "0", "F", "7074000", "T", "1"}),
                 QStringList());
        QCOMPARE(rig.status("vfo"), QString("B"));
        QCOMPARE(rig.status("mode"), QString("DIG"));
        QCOMPARE(rigctl::run("1020", rig.path(), {"v", "m", "f", "t"}),
                 QStringList({"VFOB", "PKTUSB", "0", "7074000", "1"}));
        QCOMPARE(rigctl::run("1020", rig.path(), {"T", "0", "S", "1", "VFOB", "V", "VFOA"}), QStringList());
        QCOMPARE(rig.status("split"), QString("1"));
        QCOMPARE(rigctl::run("1020", rig.path(), {"v", "f", "m", "t", "s"}).mid(0, 6),
                 QStringList({"VFOA", "14250000", "USB", "2200", "0", "1"}));
    }

    void ft857ReadsVfoAndSplit()
    {
        RigProcess rig({"--model", "FT-857", "--delay", "55"});
        QVERIFY(rig.ok());
        QCOMPARE(rigctl::run("1022", rig.path(), {"V", "VFOB", "S", "1", "VFOA"}), QStringList());
        QCOMPARE(rigctl::run("1022", rig.path(), {"v", "s", "m"}).mid(0, 4), QStringList({"VFOB", "1", "VFOB", "LSB"}));
    }
};

TARNWICK_TEST_CLASS(TestRigsimHamlib)
#include "tst_rigsimhamlib.moc"
