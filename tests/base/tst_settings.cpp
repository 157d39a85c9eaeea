#include "base/Folders.h"
#include "base/Settings.h"
#include "common/TestEnvironment.h"

#include <QApplication>

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void storeLivesInTheSandbox()
    {
        QVERIFY(SettingsLocation().startsWith(testenv::sandbox().path()));
        QVERIFY(SettingsLocation().endsWith("Orbelle/Tarnwick1.conf"));
    }
    void missingValueReadsEmpty()
    {
        QVERIFY(!SettingExists("NeverWritten"));
        QCOMPARE(ReadSetting("NeverWritten"), QString());
        QCOMPARE(ReadIntSetting("NeverWritten", 42), 42);
    }
    void roundTripUsesPrefixedName()
    {
        QVERIFY(WriteSetting("LastFreq", "3550000"));
        QVERIFY(SettingExists("LastFreq"));
        QCOMPARE(ReadSetting("LastFreq"), QString("3550000"));
        QVERIFY(SettingValueExists(SettingsGroup::Default, "Tarnwick.LastFreq"));
        QVERIFY(!SettingValueExists(SettingsGroup::Common, "Tarnwick.LastFreq"));
        QCOMPARE(ReadIntSetting("LastFreq", 0), 3550000);
    }
    void textWhereNumberBelongsGivesFallback()
    {
        QVERIFY(WriteSetting("Top", "ten"));
        QCOMPARE(ReadIntSetting("Top", 10), 10);
    }
    void longValuesAndNamesAreCut()
    {
        const QString value(300, 'v');
        QVERIFY(WriteSetting("Long", value));
        QCOMPARE(ReadSetting("Long"), value.left(255));
        const QString name = "Tarnwick." + QString(290, 'n');
        QVERIFY(WriteSettingValue(SettingsGroup::Default, name, "x"));
        QVERIFY(SettingValueExists(SettingsGroup::Default, name.left(255)));
        QCOMPARE(ReadSettingValue(SettingsGroup::Default, name.left(255) + "tail"), QString("x"));
    }
    void separatorsInNamesStayOneValue()
    {
        const QString name = "Tarnwick.NoForm:a/b\\c%d";
        QVERIFY(WriteSettingValue(SettingsGroup::Common, name, QString()));
        QVERIFY(SettingValueExists(SettingsGroup::Common, name));
        QVERIFY(!SettingValueExists(SettingsGroup::Common, "Tarnwick.NoForm:a"));
        QCOMPARE(ReadSettingValue(SettingsGroup::Common, name), QString());
    }
    void dataFolderRule()
    {
        QCOMPARE(MakeDataFolder("/home/op/.local/share", "Tarnwick", "1"),
                 QString("/home/op/.local/share/Orbelle/Tarnwick1/"));
        QCOMPARE(MakeDataFolder("/x/", "Tarn Wick Pro", "2"), QString("/x/Orbelle/TarnWickPro2/"));
        QCOMPARE(MakeDataFolder("/x", "Tarnwick", ""), QString("/x/"));
        QVERIFY(DataFolder().endsWith("/Orbelle/Tarnwick1/"));
        QVERIFY(DataFolder().startsWith(testenv::sandbox().path()));
    }
    void foldersEndWithOneSlash()
    {
        QCOMPARE(WithTrailingSlash("/opt/tarnwick/"), QString("/opt/tarnwick/"));
        QCOMPARE(WithTrailingSlash("/opt/tarnwick"), QString("/opt/tarnwick/"));
        QCOMPARE(WithTrailingSlash(""), QString(""));
        QCOMPARE(ProgramFolder(), testenv::sandbox().path() + "/program/");
        QVERIFY(DesktopFolder().startsWith(testenv::sandbox().path()));
        QVERIFY(DesktopFolder().endsWith('/'));
    }
    void versionComesFromTheBuild()
    {
        QCOMPARE(FileVersionText(), QString(TARNWICK_VERSION_TEXT));
        QCOMPARE(MajorVersionText(), QString::number(TARNWICK_VERSION_MAJOR));
        QCOMPARE(ApplicationKey(), "Tarnwick" + MajorVersionText());
    }
};

TARNWICK_TEST_CLASS(TestSettings)
#include "tst_settings.moc"
