#include "base/Folders.h"
#include "base/SettingValues.h"
#include "base/Settings.h"
#include "common/TestEnvironment.h"

Q_DECLARE_METATYPE(TStoredGeometry)

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void longValuesAndNamesAreCut()
    {
        QVERIFY(WriteSetting("Long", QString(300, 'v')));
        QCOMPARE(ReadSetting("Long"), QString(255, 'v'));
        const QString name = "Tarnwick." + QString(290, 'n');
        QVERIFY(WriteSettingValue(SettingsGroup::Default, name, "x"));
        QCOMPARE(ReadSettingValue(SettingsGroup::Default, name.left(255) + "tail"), QString("x"));
    }

    void separatorsInNamesStayOneValue()
    {
        const QString name = "Tarnwick.NoForm:a/b\\c%d";
        QVERIFY(WriteSettingValue(SettingsGroup::Common, name, "v"));
        QVERIFY(SettingValueExists(SettingsGroup::Common, name));
        QVERIFY(!SettingValueExists(SettingsGroup::Common, "Tarnwick.NoForm:a"));
        QCOMPARE(ReadSettingValue(SettingsGroup::Common, name), QString("v"));
        QVERIFY(!SettingValueExists(SettingsGroup::Default, name));
    }

    void numbersFromHandEditedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("lastFreq");
        QTest::newRow("empty") << "" << -1 << 3550000;
        QTest::newRow("blanks around") << " 7030000\t" << 7030000 << 7030000;
        QTest::newRow("hex") << "0x10" << -1 << 3550000;
        QTest::newRow("beyond int") << "2147483648" << -1 << 3550000;
        QTest::newRow("lowest") << "100000" << 100000 << 100000;
        QTest::newRow("below lowest") << "99999" << 99999 << 3550000;
        QTest::newRow("highest") << "500000000" << 500000000 << 500000000;
        QTest::newRow("above highest") << "500000001" << 500000001 << 3550000;
    }
    void numbersFromHandEditedText()
    {
        QFETCH(QString, text);
        QFETCH(int, number);
        QFETCH(int, lastFreq);
        QCOMPARE(SettingTextToInt(text, -1), number);
        QCOMPARE(LastFreqFromSetting(text), lastFreq);
    }

    // Work area 1000 x 700 at (10, 20); design 800 x 372; minimum 420 x 300.
    void restoredWindowStaysOnTheScreen_data()
    {
        QTest::addColumn<TStoredGeometry>("stored");
        QTest::addColumn<QRect>("rect");
        QTest::newRow("as stored") << TStoredGeometry{50, 60, 640, 400} << QRect(50, 60, 640, 400);
        QTest::newRow("-20 kept") << TStoredGeometry{-20, -20, -1, -1} << QRect(-20, -20, 800, 372);
        QTest::newRow("-21") << TStoredGeometry{-21, -21, -1, -1} << QRect(100, 200, 800, 372);
        QTest::newRow("area size - 100 kept") << TStoredGeometry{900, 600, -1, -1} << QRect(900, 600, 800, 372);
        QTest::newRow("beyond") << TStoredGeometry{901, 601, -1, -1} << QRect(100, 200, 800, 372);
        QTest::newRow("below minimum") << TStoredGeometry{0, 0, 0, -5} << QRect(0, 0, 420, 300);
        QTest::newRow("huge") << TStoredGeometry{300, 300, 2000000000, 2000000000} << QRect(10, 20, 1000, 700);
        QTest::newRow("one pixel too wide") << TStoredGeometry{300, 300, 1001, 700} << QRect(10, 300, 1000, 700);
    }
    void restoredWindowStaysOnTheScreen()
    {
        QFETCH(TStoredGeometry, stored);
        QFETCH(QRect, rect);
        QCOMPARE(RestoredWindowRect(stored, QRect(10, 20, 1000, 700), QSize(800, 372), QSize(420, 300)), rect);
    }

    void folders()
    {
        QCOMPARE(MakeDataFolder("/home/op/.local/share", "Tarnwick", "1"),
                 QString("/home/op/.local/share/Orbelle/Tarnwick1/"));
        QCOMPARE(MakeDataFolder("/x/", "Tarn Wick Pro", "2"), QString("/x/Orbelle/TarnWickPro2/"));
        QCOMPARE(MakeDataFolder("/x", "Tarnwick", ""), QString("/x/"));
        QCOMPARE(WithTrailingSlash("/opt/tarnwick"), QString("/opt/tarnwick/"));
        QCOMPARE(WithTrailingSlash("/opt/tarnwick/"), QString("/opt/tarnwick/"));
    }
};

TARNWICK_TEST_CLASS(TestSettings)
#include "tst_settings.moc"
