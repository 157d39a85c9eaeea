#include "DataTestSupport.h"
#include "data/Bands.h"
#include "data/BandsDialog.h"
#include "data/DataFile.h"
#include "data/Modes.h"
#include "data/ModesDialog.h"

#include <QApplication>

using namespace datatest;

namespace {

const QByteArray Comment = "; It is highly recommended that you don't edit this file.\r\n";

QList<QByteArray> fileLines(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestDataFiles : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetFolders(); }
    void cleanupTestCase() { resetFolders(); }

    // --- Band plan file -------------------------------------------------

    void missingBandPlanIsToldAndDefaultPlanWritten()
    {
        PromptRecorder prompts;
        TBandsFrm frm;
        frm.FormCreate();
        const TBandPlan &plan = frm.Plan();

        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown.first().first, PromptKind::Information);
        QCOMPARE(prompts.shown.first().second,
                 "File \"" + ProgramFolder() + "Bands.tsv\" is missing!\n\nNew file with default values will be created.");

        const QByteArray bytes = readBytes(programFile("Bands.tsv"));
        QVERIFY(bytes.startsWith(Comment));
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        const QList<QByteArray> lines = fileLines(bytes);
        QCOMPARE(lines.size(), 16);
        QCOMPARE(lines.first(), QByteArray("; It is highly recommended that you don't edit this file.\r"));
        QCOMPARE(lines.first().size(), 58);
        for (int i = 1; i < lines.size(); ++i) {
            QVERIFY(lines.at(i).endsWith('\r'));
            QCOMPARE(lines.at(i).startsWith("0\t"), i == 1);
            QVERIFY(lines.at(i).startsWith("0\t") || lines.at(i).startsWith("1\t"));
            QCOMPARE(lines.at(i).count('\t'), 6);
        }
        QCOMPARE(lines.at(1), QByteArray("0\t136\t135\t138\t137\tCW\t136 kHz amateur band\r"));
        QCOMPARE(lines.at(7), QByteArray("1\t14\t14000\t14350\t14050\tCW\t20 m amateur band\r"));
        QCOMPARE(lines.at(15), QByteArray("1\t430\t430000\t440000\t432100\tCW\t70 cm amateur band\r"));
        QCOMPARE(bytes.count("\r\n"), 16);
        QCOMPARE(bytes.count('\n'), 16);

        QCOMPARE(plan.Count(), 15);
        QVERIFY(!plan.Item(0).Checked);
        QVERIFY(plan.Item(14).Checked);
        QCOMPARE(plan.Field(10, bfCaption), QString("CB"));
    }

    void existingBandPlanIsLoadedWithoutMessage()
    {
        QVERIFY(writeBytes(programFile("Bands.tsv"), Comment + "1\tA\t100\t200\t150\tCW\tone\r\n"));
        PromptRecorder prompts;
        TBandsFrm frm;
        frm.FormCreate();
        const TBandPlan &plan = frm.Plan();
        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(plan.Count(), 1);
        QCOMPARE(plan.Item(0).Text, QString("A\t100\t200\t150\tCW\tone"));
    }

    void dataFolderCopyWins()
    {
        QVERIFY(writeBytes(programFile("Bands.tsv"), Comment + "1\tPROG\t100\t200\t150\tCW\tp\r\n"));
        QVERIFY(writeBytes(dataFile("Bands.tsv"), Comment + "0\tDATA\t300\t400\t350\tAM\td\r\n"));
        TBandPlan plan;
        QCOMPARE(plan.LoadBandPlan(), QString());
        QCOMPARE(plan.Count(), 1);
        QCOMPARE(plan.Field(0, bfCaption), QString("DATA"));
        QVERIFY(!plan.Item(0).Checked);

        TModeSegments segments;
        QVERIFY(writeBytes(programFile("Modes.tsv"), Comment + "1\t2\tCW\t\tprog\r\n"));
        QVERIFY(writeBytes(dataFile("Modes.tsv"), Comment + "3\t4\tAM\t\tdata\r\n"));
        segments.LoadModeSegments();
        QCOMPARE(segments.AllItems(), QStringList{"3\t4\tAM\t\tdata"});
    }

    void loadingWithoutAnyFileLeavesPlanEmpty()
    {
        TBandPlan plan;
        plan.Append(true, "old");
        QCOMPARE(plan.LoadBandPlan(), QString());
        QCOMPARE(plan.Count(), 0);
    }

    void bandFileRoundTripsByteForByte()
    {
        const QByteArray bytes = Comment
            + "1\t14\t14000\t14350\t14050\tCW\t20 m amateur band\r\n"
            + "0\tH\xE9l\x80\t100\t200\t150\tFM\tna\xEFve \x81\x8D\x8F\x90\x9D \xFF\r\n"
            + "1\t\t\t\t\t\t\r\n"
            + "0\tx\r\n";
        TBandPlan plan;
        plan.LoadFromFileBytes(bytes);
        QCOMPARE(plan.Count(), 4);
        QCOMPARE(plan.Field(1, bfCaption), QString::fromUtf8("Hél€"));
        QCOMPARE(plan.ToFileBytes(), bytes);

        QVERIFY(writeBytes(programFile("Bands.tsv"), bytes));
        QVERIFY(plan.LoadBandPlan().isEmpty());
        QVERIFY(plan.SaveBandPlan().isEmpty());
        QCOMPARE(readBytes(programFile("Bands.tsv")), bytes);
    }

    void handEditedBandFileKeepsEveryRecordLine()
    {
        const QByteArray bytes = "\xEF\xBB\xBF; comment\n"
                                 "\n"
                                 "   \t  \r\n"
                                 "1\tA\t100\t200\r"              // missing fields, lone CR
                                 "  1\tB\tabc\t\t\tCW\tname  \r\n" // blanks around, non-numeric
                                 "\t0\tC\t500\t400\t450\tAM\tbegin above end\n"
                                 "1\tD\t100\t200\t150\tCW\tx\t\textra\tTABs\r\n"
                                 "1\r\n"                           // no TAB at all
                                 "; another comment\r\n"
                                 "2\tE\t1\t2\t1\tCW\tflag not 1\r\n"
                                 "1\tGr\xC3\xBC\xC3\x9F\t1\t2\t1\tCW\tutf8 after bom";
        TBandPlan plan;
        plan.LoadFromFileBytes(bytes);
        QCOMPARE(plan.Count(), 7);
        QCOMPARE(plan.Item(0).Text, QString("A\t100\t200"));
        QVERIFY(plan.Item(0).Checked);
        QCOMPARE(plan.Item(1).Text, QString("B\tabc\t\t\tCW\tname"));
        // A leading TAB is an empty flag, not blank space to trim away.
        QCOMPARE(plan.Item(2).Text, QString("0\tC\t500\t400\t450\tAM\tbegin above end"));
        QVERIFY(!plan.Item(2).Checked);
        QCOMPARE(plan.Item(3).Text, QString("D\t100\t200\t150\tCW\tx\t\textra\tTABs"));
        QCOMPARE(plan.Item(4).Text, QString());
        QVERIFY(plan.Item(4).Checked);
        QVERIFY(!plan.Item(5).Checked);
        QCOMPARE(plan.Field(6, bfCaption), QString::fromUtf8("Grüß"));

        const TBandPlanEntry missing = plan.Entry(0);
        QCOMPARE(missing.InitFreqKhz, 1500);
        QCOMPARE(missing.InitMode, QString());
        const TBandPlanEntry nonNumeric = plan.Entry(1);
        QCOMPARE(nonNumeric.BeginKhz, 1000);
        QCOMPARE(nonNumeric.EndKhz, 2000);
        QCOMPARE(nonNumeric.InitFreqKhz, 1500);
        QVERIFY(!TBandPlan::ReadEntry("X\t500\t400").hasValidLimits());

        // Saved again: plain 8-bit, no mark, CR LF, every record kept.
        const QByteArray saved = plan.ToFileBytes();
        QVERIFY(saved.startsWith(Comment));
        QCOMPARE(fileLines(saved).size(), 8);
        QVERIFY(saved.contains("1\tGr\xFC\xDF\t1\t2\t1\tCW\tutf8 after bom\r\n"));
        TBandPlan again;
        again.LoadFromFileBytes(saved);
        QCOMPARE(again.AllItems().size(), plan.AllItems().size());
        for (int i = 0; i < plan.Count(); ++i) {
            QCOMPARE(again.Item(i).Text, plan.Item(i).Text);
            QCOMPARE(again.Item(i).Checked, plan.Item(i).Checked);
        }
    }

    void utf16FileWithMarkIsRead()
    {
        QString text = QString::fromUtf8("; c\r\n1\tÄ\t1\t2\t1\tCW\tn\r\n");
        QByteArray bytes("\xFF\xFE");
        for (QChar c : text) {
            bytes.append(char(c.unicode() & 0xFF));
            bytes.append(char(c.unicode() >> 8));
        }
        TBandPlan plan;
        plan.LoadFromFileBytes(bytes);
        QCOMPARE(plan.Count(), 1);
        QCOMPARE(plan.Field(0, bfCaption), QString::fromUtf8("Ä"));
    }

    void charactersOutsideCodePageBecomeQuestionMarks()
    {
        QCOMPARE(EncodeAnsi(QString::fromUtf8("a€ÿ\u0416")), QByteArray("a\x80\xFF?"));
        for (int b = 0; b < 256; ++b) {
            const QByteArray one(1, char(b));
            QCOMPARE(EncodeAnsi(DecodeAnsi(one)), one);
        }
    }

    void resortBandMovesEntryToItsBeginOrder()
    {
        TBandPlan plan;
        plan.LoadDefaultPlan();
        plan.SetText(6, "14\t500\t700\t600\tCW\tmoved down"); // was 14000
        QCOMPARE(plan.ResortBand(6), 1);
        QCOMPARE(plan.Field(1, bfCaption), QString("14"));
        QCOMPARE(plan.Field(0, bfCaption), QString("136"));
        QCOMPARE(plan.Field(2, bfCaption), QString("MW"));

        plan.SetChecked(0, true);
        plan.SetText(0, "136\t500000\t500001\t500000\tCW\tmoved up");
        QCOMPARE(plan.ResortBand(0), 14);
        QCOMPARE(plan.Field(14, bfCaption), QString("136"));
        QVERIFY(plan.Item(14).Checked); // the tick travels with the text

        // Equal begins keep their order; a begin that is no number counts as 0.
        TBandPlan ties;
        ties.Append(true, "A\t100");
        ties.Append(true, "B\t100");
        ties.Append(true, "C\t100");
        QCOMPARE(ties.ResortBand(1), 1);
        ties.Append(true, "D\tabc");
        QCOMPARE(ties.ResortBand(3), 0);
        QCOMPARE(ties.Field(0, bfCaption), QString("D"));
    }

    // --- Saving and where the file goes --------------------------------

    void unwritableProgramFolderFallsBackToDataFolder()
    {
        testenv::setEnv("TARNWICK_PROGRAM_DIR", unwritableFolder());
        QVERIFY(!QFileInfo::exists(DataFolder()));
        PromptRecorder prompts;
        TBandsFrm frm;
        frm.FormCreate();
        const TBandPlan &plan = frm.Plan();
        QCOMPARE(prompts.shown.size(), 1); // only the missing-file message
        QVERIFY(QFileInfo(dataFile("Bands.tsv")).isFile());
        QCOMPARE(readBytes(dataFile("Bands.tsv")), plan.ToFileBytes());
        QVERIFY(!QFileInfo::exists(programFile("Bands.tsv")));

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
        QVERIFY(!problem.isEmpty());
        QVERIFY(problem.contains(programFile("Bands.tsv")));
        QVERIFY(problem.contains(dataFile("Bands.tsv")));
        QCOMPARE(readBytes(programFile("Bands.tsv")), oldProgram);
        QCOMPARE(readBytes(dataFile("Bands.tsv")), oldData);
        QCOMPARE(QDir(ProgramFolder()).entryList(QDir::Files), QStringList{"Bands.tsv"});
        QCOMPARE(QDir(DataFolder()).entryList(QDir::Files), QStringList{"Bands.tsv"});
    }

    void unwritableFoldersAreReportedAtStartUp()
    {
        testenv::setEnv("TARNWICK_PROGRAM_DIR", unwritableFolder());
        testenv::setEnv("XDG_DATA_HOME", unwritableFolder() + "/data");
        PromptRecorder prompts;
        TModesFrm frm;
        frm.FormCreate();
        QCOMPARE(prompts.shown.size(), 2);
        QVERIFY(prompts.shown.at(0).second.endsWith("is missing!\n\nNew empty file will be created."));
        QVERIFY(prompts.shown.at(1).second.startsWith("Cannot save \"" + programFile("Modes.tsv")));
        QVERIFY(prompts.shown.at(1).second.contains("The changes are kept only until the program ends."));
    }

    void savingUpdatesShadowingDataCopy()
    {
        QVERIFY(writeBytes(dataFile("Bands.tsv"), Comment + "1\tOLD\t100\t200\t150\tCW\tdata\r\n"));
        TBandPlan plan;
        plan.LoadBandPlan();
        plan.Append(true, "NEW\t300\t400\t350\tAM\tadded");
        QCOMPARE(plan.SaveBandPlan(), QString());
        QCOMPARE(readBytes(programFile("Bands.tsv")), plan.ToFileBytes());
        QCOMPARE(readBytes(dataFile("Bands.tsv")), plan.ToFileBytes());
        TBandPlan reread;
        reread.LoadBandPlan();
        QCOMPARE(reread.Count(), 2);
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

    // --- Mode segments --------------------------------------------------

    void missingModesFileGivesCommentOnlyFile()
    {
        PromptRecorder prompts;
        TModesFrm frm;
        TModeSegments &segments = frm.Segments();
        segments.Append("stale");
        frm.FormCreate();
        QCOMPARE(prompts.texts(),
                 QStringList{"File \"" + ProgramFolder() + "Modes.tsv\" is missing!\n\nNew empty file will be created."});
        QCOMPARE(segments.Count(), 0);
        QCOMPARE(readBytes(programFile("Modes.tsv")), Comment);
    }

    void modesFileRoundTripsAndKeepsMalformedLines()
    {
        const QByteArray bytes = Comment
            + "14000\t14070\tCW\t009B9BFB\tCW \xB7 part\r\n"
            + "14070\t14350\tUSB\t\t\r\n"
            + "abc\t14400\tFM\t00FF9E91\tbad begin\r\n"
            + "14400\r\n";
        TModeSegments segments;
        segments.LoadFromFileBytes(bytes);
        QCOMPARE(segments.Count(), 4);
        QCOMPARE(segments.ToFileBytes(), bytes);

        TMode segment;
        QVERIFY(TModeSegments::ReadSegment(segments.Item(0), segment));
        QCOMPARE(segment.Low, 14000000);
        QCOMPARE(segment.High, 14070000);
        QCOMPARE(segment.Mode, QString("CW"));
        QCOMPARE(segment.Color, 0x009B9BFBu);
        QCOMPARE(segment.Caption, QString::fromUtf8("CW · part"));
        QVERIFY(TModeSegments::ReadSegment(segments.Item(1), segment));
        QCOMPARE(segment.Color, DefaultModeColor);
        QCOMPARE(segment.Caption, QString());
        QVERIFY(!TModeSegments::ReadSegment(segments.Item(2), segment));
        QVERIFY(!TModeSegments::ReadSegment(segments.Item(3), segment));
        QVERIFY(!TModeSegments::ReadSegment("1\t99999999\tCW", segment)); // beyond what hertz can hold
    }

    void modeColourReadsHexWithGreyDefault()
    {
        QCOMPARE(ModeColorFromText("00FF9E91"), 0x00FF9E91u);
        QCOMPARE(ModeColorFromText(""), 0x00C0C0C0u);
        QCOMPARE(ModeColorFromText("  "), 0x00C0C0C0u);
        QCOMPARE(ModeColorFromText("red"), 0x00C0C0C0u);
        QCOMPARE(ModeColorFromText("FFFFFFFF"), 0xFFFFFFFFu);
    }

    void modeAtExcludesEndAndFirstSegmentWins()
    {
        const QList<TMode> modes = {
            {14000000, 14100000, "CW", 0, ""},
            {14070000, 14350000, "USB", 0, ""},
        };
        QCOMPARE(ModeAt(modes, 13999999), QString());
        QCOMPARE(ModeAt(modes, 14000000), QString("CW"));
        QCOMPARE(ModeAt(modes, 14080000), QString("CW"));  // overlap: first in list order
        QCOMPARE(ModeAt(modes, 14100000), QString("USB")); // end of CW excluded
        QCOMPARE(ModeAt(modes, 14349999), QString("USB"));
        QCOMPARE(ModeAt(modes, 14350000), QString());
    }

    void resortModeOrdersByEnd()
    {
        TModeSegments segments;
        segments.Append("14000\t14070\tCW\t\t");
        segments.Append("14070\t14350\tUSB\t\t");
        segments.Append("13000\t20000\tAM\t\thighest end");
        QCOMPARE(segments.ResortMode(2), 2);
        segments.Append("14050\t14200\tDIG\t\tbetween by end");
        QCOMPARE(segments.ResortMode(3), 1);
        QCOMPARE(segments.Item(1), QString("14050\t14200\tDIG\t\tbetween by end"));
        segments.Append("100\t14070\tFM\t\tequal end");
        QCOMPARE(segments.ResortMode(4), 1); // after the earlier entry with end 14070
        segments.SetText(0, "1\tzz\tCW\t\t");
        QCOMPARE(segments.ResortMode(0), 0);
    }

    void overlapQuestionsNameEachPair()
    {
        TModeSegments segments;
        segments.Append("14000\t14070\tCW\t\t");
        segments.Append("14070\t14350\tUSB\t\t");
        QVERIFY(segments.OverlapQuestions().isEmpty()); // shared boundary

        segments.Clear();
        segments.Append("14000\t14100\tCW\t\t");
        segments.Append("14070\t14350\tUSB\t\t");
        segments.Append("14300\t14400\tFM\t\t");
        QCOMPARE(segments.OverlapQuestions(),
                 QStringList({"The following segments:\n14000 - 14100\n14070 - 14350\nare overlapping.\n\n"
                              "Do you want to save it like that anyway?",
                              "The following segments:\n14070 - 14350\n14300 - 14400\nare overlapping.\n\n"
                              "Do you want to save it like that anyway?"}));
    }

    void colourPreselectionFollowsModeGroups()
    {
        QCOMPARE(PreselectedColorIndex("CW"), 0);
        QCOMPARE(PreselectedColorIndex("CW-R"), 0);
        QCOMPARE(PreselectedColorIndex("LSB"), 1);
        QCOMPARE(PreselectedColorIndex("USB"), 1);
        QCOMPARE(PreselectedColorIndex("FSK"), 2);
        QCOMPARE(PreselectedColorIndex("FSK-R"), 2);
        QCOMPARE(PreselectedColorIndex("PKT"), 2);
        QCOMPARE(PreselectedColorIndex("WFM"), 3);
        QCOMPARE(PreselectedColorIndex("AM"), 4);
        QCOMPARE(PreselectedColorIndex("FM"), 5);
        QCOMPARE(PreselectedColorIndex("SB"), 6);
        QCOMPARE(ModeColorValues().size(), 7);
        QCOMPARE(ModeColorValues().at(2), QString("00FF9E91"));
    }
};

TARNWICK_TEST_CLASS(TestDataFiles)
#include "tst_datafiles.moc"
