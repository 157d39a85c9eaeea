// Field access, the band plan and mode segment files (encodings, hand-made
// lines, where they are read from and written to) and the list rules.
#include "DataTestSupport.h"
#include "data/Bands.h"
#include "data/BandsDialog.h"
#include "data/DataFile.h"
#include "data/Modes.h"
#include "data/ModesDialog.h"
#include "data/TextFields.h"

using namespace datatest;

class TestDataFiles : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetFolders(); }
    void cleanupTestCase() { resetFolders(); }

    void fieldsAreCutAndShown()
    {
        QString line = "\t14\t\tx";
        QStringList cut;
        for (int i = 0; i < 5; ++i)
            cut << CutField(line, '\t');
        QCOMPARE(cut, QStringList({"", "14", "", "x", ""}));
        QCOMPARE(GetField("14000\t14070\tCW\t", '\t', 2), QString("CW"));
        QCOMPARE(GetField("14000\t14070\tCW\t", '\t', 3), QString());
        QCOMPARE(GetField("a\tb", '\t', 1), QString("b"));
        QCOMPARE(GetField("a\tb", '\t', 7), QString());
        QCOMPARE(GetField("a\tb", '\t', -1), QString());
        QCOMPARE(GetField("14000", '\t', 0), QString()); // no separator: nothing
        const QList<QPair<QString, QString>> grouped = {
            {"580", "580"}, {"1810", "1,810"}, {"144000", "144,000"}, {"1234567", "1234,567"}};
        for (const auto &g : grouped)
            QCOMPARE(GroupThousands(g.first), g.second);
        QCOMPARE(SanitizeFieldText("a\tb\r\nc"), QString("a b  c"));

        qint32 khz = 1;
        QVERIFY(ReadKhz("2147483", khz) && khz == 2147483);
        QVERIFY(ReadKhz("-7", khz) && khz == -7);
        for (const char *bad : {"2147484", "99999999999", "", "14.5", "abc"})
            QVERIFY2(!ReadKhz(bad, khz) && khz == -7, bad);
    }

    void existingFileIsLoadedAndDataFolderCopyWins()
    {
        QVERIFY(writeBytes(programFile("Bands.tsv"), Comment + "1\tPROG\t100\t200\t150\tCW\tp\r\n"));
        PromptRecorder prompts;
        TBandsFrm frm;
        frm.FormCreate();
        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(frm.Plan().Item(0).Text, QString("PROG\t100\t200\t150\tCW\tp"));

        QVERIFY(writeBytes(dataFile("Bands.tsv"), Comment + "0\tDATA\t300\t400\t350\tAM\td\r\n"));
        TBandPlan plan;
        QCOMPARE(plan.LoadBandPlan(), QString());
        QCOMPARE(plan.Field(0, bfCaption), QString("DATA"));
        QVERIFY(!plan.Item(0).Checked);
        // Saving updates the shadowing data copy as well.
        plan.Append(true, "NEW\t300\t400\t350\tAM\tadded");
        QCOMPARE(plan.SaveBandPlan(), QString());
        QCOMPARE(readBytes(programFile("Bands.tsv")), plan.ToFileBytes());
        QCOMPARE(readBytes(dataFile("Bands.tsv")), plan.ToFileBytes());
    }

    void windows1252FileRoundTripsByteForByte()
    {
        const QByteArray bytes = Comment + "1\t14\t14000\t14350\t14050\tCW\t20 m amateur band\r\n"
            + "0\tH\xE9l\x80\t100\t200\t150\tFM\tna\xEFve \x81\x8D\x8F\x90\x9D \xFF\r\n" + "1\t\t\t\t\t\t\r\n"
            + "0\tx\r\n";
        QVERIFY(writeBytes(programFile("Bands.tsv"), bytes));
        TBandPlan plan;
        QVERIFY(plan.LoadBandPlan().isEmpty());
        QCOMPARE(plan.Field(1, bfCaption), QString::fromUtf8("Hél€"));
        QVERIFY(plan.SaveBandPlan().isEmpty());
        QCOMPARE(readBytes(programFile("Bands.tsv")), bytes);
        for (int b = 0; b < 256; ++b)
            QCOMPARE(EncodeAnsi(DecodeAnsi(QByteArray(1, char(b)))), QByteArray(1, char(b)));
    }

    void noCharacterIsLost()
    {
        // UTF-8 without a mark, as Linux editors write it, reads as UTF-8.
        TModeSegments segments;
        segments.LoadFromFileBytes(Comment + "1\t2\tCW\t\tcaf\xC3\xA9\r\n");
        QCOMPARE(segments.Item(0), QString::fromUtf8("1\t2\tCW\t\tcafé"));
        QCOMPARE(segments.ToFileBytes(), Comment + "1\t2\tCW\t\tcaf\xE9\r\n"); // fits Windows-1252

        // Beyond Windows-1252: UTF-8 with a mark, read back unchanged.
        const QString foreign = QString::fromUtf8("1\t2\tCW\t\tДиапазон Ωμέγα ✓");
        segments.SetAllItems({foreign});
        const QByteArray saved = segments.ToFileBytes();
        QCOMPARE(saved, "\xEF\xBB\xBF" + Comment + foreign.toUtf8() + "\r\n");
        segments.LoadFromFileBytes(saved);
        QCOMPARE(segments.AllItems(), QStringList{foreign});

        // Windows-1252 text whose bytes would read as UTF-8 is written as
        // UTF-8, so that it reads back as it was.
        segments.SetAllItems({QString::fromUtf8("1\t2\tCW\t\tÃ©")});
        segments.LoadFromFileBytes(segments.ToFileBytes());
        QCOMPARE(segments.Item(0), QString::fromUtf8("1\t2\tCW\t\tÃ©"));

        QString text = QString::fromUtf8("; c\r\n1\tÄ\t1\t2\t1\tCW\tn\r\n");
        QByteArray utf16("\xFF\xFE");
        for (QChar c : text)
            utf16 += QByteArray(1, char(c.unicode() & 0xFF)) + char(c.unicode() >> 8);
        TBandPlan plan;
        plan.LoadFromFileBytes(utf16);
        QCOMPARE(plan.Field(0, bfCaption), QString::fromUtf8("Ä"));
    }

    void handEditedBandFileKeepsEveryRecordLine()
    {
        const QByteArray bytes = "\xEF\xBB\xBF; comment\n\n   \t  \r\n"
                                 "1\tA\t100\t200\r"                      // missing fields, lone CR
                                 "  1\tB\tabc\t\t\tCW\tname  \r\n"       // blanks around, not a number
                                 "\t0\tC\t500\t400\t450\tAM\ttab first\n" // a stray TAB before the flag
                                 "1\tD\t100\t200\t150\tCW\tx\t\textra\r\n"
                                 "1\r\n"
                                 "; another comment\r\n"
                                 "2\tE\t1\t2\t1\tCW\tflag not 1";
        TBandPlan plan;
        plan.LoadFromFileBytes(bytes);
        const QStringList expected = {"A\t100\t200", "B\tabc\t\t\tCW\tname", "C\t500\t400\t450\tAM\ttab first",
                                      "D\t100\t200\t150\tCW\tx\t\textra", "", "E\t1\t2\t1\tCW\tflag not 1"};
        QCOMPARE(plan.Count(), expected.size());
        for (int i = 0; i < plan.Count(); ++i) {
            QCOMPARE(plan.Item(i).Text, expected.at(i));
            QCOMPARE(plan.Item(i).Checked, i != 2 && i != 5);
        }
        QCOMPARE(plan.Entry(0).InitFreqKhz, 1500);
        QCOMPARE(plan.Entry(1).BeginKhz, 1000);
        QCOMPARE(plan.Entry(1).EndKhz, 2000);
        QVERIFY(!plan.Entry(2).hasValidLimits());
    }

    void resortBandKeepsEqualBeginsInOrder()
    {
        TBandPlan ties; // equal begins keep their order, no number counts as 0
        for (const char *text : {"A\t100", "B\t100", "C\t100", "D\tabc"})
            ties.Append(true, text);
        QCOMPARE(ties.ResortBand(1), 1);
        QCOMPARE(ties.ResortBand(3), 0);
    }

    void unwritableProgramFolderFallsBackToDataFolder()
    {
        testenv::setEnv("TARNWICK_PROGRAM_DIR", unwritableFolder());
        PromptRecorder prompts;
        TBandsFrm frm;
        frm.FormCreate();
        QCOMPARE(prompts.texts(), QStringList{"File \"" + ProgramFolder()
                                              + "Bands.tsv\" is missing!\n\nNew file with default values will be created."});
        QCOMPARE(frm.Plan().Count(), 15);
        QCOMPARE(readBytes(dataFile("Bands.tsv")), frm.Plan().ToFileBytes());

        TModeSegments segments;
        segments.Append("14000\t14070\tCW\t009B9BFB\t");
        QCOMPARE(segments.SaveModeSegments(), QString());
        QCOMPARE(readBytes(dataFile("Modes.tsv")), Comment + "14000\t14070\tCW\t009B9BFB\t\r\n");
    }

    void failureInBothFoldersIsReportedAndOldFilesStay()
    {
        const QByteArray oldProgram = Comment + "1\tOLD\t100\t200\t150\tCW\tprogram\r\n";
        const QByteArray oldData = Comment + "1\tOLD\t100\t200\t150\tCW\tdata\r\n";
        QVERIFY(writeBytes(programFile("Bands.tsv"), oldProgram));
        QVERIFY(writeBytes(dataFile("Bands.tsv"), oldData));
        TBandPlan plan;
        plan.LoadDefaultPlan();
        QString problem;
        {
            NoFileWrites blocked;
            problem = plan.SaveBandPlan();
        }
        QVERIFY(problem.contains(programFile("Bands.tsv")) && problem.contains(dataFile("Bands.tsv")));
        QCOMPARE(readBytes(programFile("Bands.tsv")), oldProgram);
        QCOMPARE(readBytes(dataFile("Bands.tsv")), oldData);
        QCOMPARE(QDir(ProgramFolder()).entryList(QDir::Files), QStringList{"Bands.tsv"});

        testenv::setEnv("TARNWICK_PROGRAM_DIR", unwritableFolder());
        testenv::setEnv("XDG_DATA_HOME", unwritableFolder() + "/data");
        PromptRecorder prompts;
        TModesFrm frm;
        frm.FormCreate();
        QCOMPARE(prompts.shown.size(), 2);
        QVERIFY(prompts.shown.at(1).second.startsWith("Cannot save \"" + programFile("Modes.tsv")));
        QVERIFY(prompts.shown.at(1).second.contains("The changes are kept only until the program ends."));
    }

    void unreadableFileIsReported()
    {
        QDir().mkpath(programFile("Bands.tsv")); // a folder where the file belongs
        QVERIFY(!DataFileExists("Bands.tsv"));
        QVERIFY(QDir().rmdir(programFile("Bands.tsv")));
        QVERIFY(writeBytes(programFile("Bands.tsv"), "x"));
        QFile::setPermissions(programFile("Bands.tsv"), QFileDevice::WriteOwner);
        QFile probe(programFile("Bands.tsv"));
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("running as root: permissions do not stop reading");
        TBandPlan plan;
        QVERIFY(plan.LoadBandPlan().startsWith("Cannot read"));
    }

    void modeSegmentsAreReadForTheScale()
    {
        const QByteArray bytes = Comment + "14000\t14070\tCW\t009B9BFB\tCW \xB7 part\r\n14070\t14350\tUSB\t\t\r\n"
            + "abc\t14400\tFM\t00FF9E91\tbad begin\r\n14400\r\n";
        TModeSegments segments;
        segments.LoadFromFileBytes(bytes);
        QCOMPARE(segments.ToFileBytes(), bytes);
        TMode segment;
        QVERIFY(TModeSegments::ReadSegment(segments.Item(0), segment));
        QCOMPARE(segment.Low, 14000000);
        QCOMPARE(segment.High, 14070000);
        QCOMPARE(segment.Color, 0x009B9BFBu);
        QCOMPARE(segment.Caption, QString::fromUtf8("CW · part"));
        QVERIFY(TModeSegments::ReadSegment(segments.Item(1), segment));
        QCOMPARE(segment.Color, DefaultModeColor);
        for (const QString &bad : {segments.Item(2), segments.Item(3), QString("1\t99999999\tCW")})
            QVERIFY(!TModeSegments::ReadSegment(bad, segment));
        QCOMPARE(ModeColorFromText("  "), 0x00C0C0C0u);
        QCOMPARE(ModeColorFromText("red"), 0x00C0C0C0u);
        QCOMPARE(ModeColorFromText("FFFFFFFF"), 0xFFFFFFFFu);

        const QList<TMode> modes = {{14000000, 14100000, "CW", 0, ""}, {14070000, 14350000, "USB", 0, ""}};
        const QList<QPair<qint32, QString>> at = {{13999999, ""}, {14000000, "CW"}, {14080000, "CW"},
                                                   {14100000, "USB"}, {14350000, ""}};
        for (const auto &a : at)
            QCOMPARE(ModeAt(modes, a.first), a.second);
    }

    void modeListRules()
    {
        TModeSegments segments;
        segments.SetAllItems({"14000\t14070\tCW\t\t", "14070\t14350\tUSB\t\t", "13000\t20000\tAM\t\t"});
        QCOMPARE(segments.ResortMode(2), 2);
        QVERIFY(segments.OverlapQuestions().size() == 1); // a shared boundary is no overlap
        segments.Append("14050\t14200\tDIG\t\t");
        QCOMPARE(segments.ResortMode(3), 1);
        segments.Append("100\t14070\tFM\t\tequal end");
        QCOMPARE(segments.ResortMode(4), 1); // after the earlier end of 14070
        segments.SetAllItems({"14000\t14100\tCW\t\t", "14070\t14350\tUSB\t\t"});
        QCOMPARE(segments.OverlapQuestions(),
                 QStringList{"The following segments:\n14000 - 14100\n14070 - 14350\nare overlapping.\n\n"
                             "Do you want to save it like that anyway?"});
    }
};

TARNWICK_TEST_CLASS(TestDataFiles)
#include "tst_datafiles.moc"
