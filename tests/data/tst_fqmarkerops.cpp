// The main window's marker operations on a real scale, with the mode keys,
// radio and scanner of a fake host: load, add, edit, delete, the marker list,
// the groups and the search.
#include "DataTestSupport.h"
#include "base/Settings.h"
#include "controls/RadioScale.h"
#include "data/AllFqMarkersDialog.h"
#include "data/EditFreqMarkerDialog.h"
#include "data/FqMarkerFormat.h"
#include "data/FqMarkerOps.h"
#include "data/FqMarkerRows.h"
#include "data/SearchFqMarkerDialog.h"
#include "data/ShowFqMarkersDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTreeView>

#include <memory>

using namespace datatest;

namespace {

class FakeHost : public TFqMarkersHost
{
public:
    QStringList calls;
    QString mode = "USB";
    bool connected = false;
    bool upper = false;

    QString PressedMode() const override { return mode; }
    void PressModeButton(const QString &Mode) override { mode = Mode; }
    bool IsConnected() const override { return connected; }
    void FqMarkerClick(int Index) override { calls << QString("click %1").arg(Index); }
    void QueueModeCommand(const QString &Mode) override { calls << "mode " + Mode; }
    void QueueFrequencyCommand(qint32 F) override { calls << QString("freq %1").arg(F); }
    void SetTones(int Rx, int Tx) override { calls << QString("tones %1 %2").arg(Rx).arg(Tx); }
    bool ScanRunning() const override { return false; }
    void StopScan() override { calls << "StopScan"; }
    bool PreferUpperCaseChecked() const override { return upper; }
};

// A scale on 3.5 ... 3.8 MHz tuned to 3.55 MHz, the operations on it.
struct Rig
{
    PromptRecorder prompts;
    QWidget window;
    TRadioScale scale{&window};
    FakeHost host;
    std::unique_ptr<TFqMarkerOps> ops;

    // With createFile, an empty marker file is there unless the test wrote
    // one, so that no missing-file message is shown.
    explicit Rig(bool createFile = true)
    {
        if (createFile && !QFileInfo::exists(programFile("FqMarkers.tsv")))
            writeBytes(programFile("FqMarkers.tsv"), Comment);
        scale.resize(700, 100);
        ops = std::make_unique<TFqMarkerOps>(scale, host, &window);
        ops->Store().SetSaveDelay(5);
        ops->LoadMarkers();
    }
    void run(std::function<int(QDialog &)> answer) { ops->SetDialogRunner(std::move(answer)); }
    TFqMarker *add(const QString &line, bool highlighted = false)
    {
        TFqMarker values;
        ParseMarkerLine(line, values);
        values.Highlighted = highlighted;
        return ops->AddOrReplaceMarker(values);
    }
    QStringList lines() const
    {
        QStringList all;
        for (const TFqMarker *m : scale.Markers)
            all << FormatMarkerLine(*m);
        return all;
    }
};

TDialogRunner editorAnswer(std::function<void(TEditFreqMarkerFrm &)> fill)
{
    return [fill](QDialog &dialog) {
        auto &editor = static_cast<TEditFreqMarkerFrm &>(dialog);
        fill(editor);
        return int(QDialog::Accepted);
    };
}

} // namespace

class TestFqMarkerOps : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetFolders();
        testenv::clearSettings();
    }
    void cleanupTestCase() { resetFolders(); }

    void loadingPutsTheFileOnTheScale()
    {
        {
            Rig missing(false);
            QCOMPARE(missing.prompts.texts(), QStringList{"File \"" + programFile("FqMarkers.tsv")
                                                          + "\" is missing!\n\nNew file with default values will be created."});
            QTRY_COMPARE(readBytes(programFile("FqMarkers.tsv")), Comment);
        }
        QVERIFY(writeBytes(programFile("FqMarkers.tsv"),
                           Comment + "3600000\tB\r\n3550006\tA\r\nbad\r\n3600000\tC\tAM\t1\tREPEATER\r\n"));
        WriteSetting("VisibleFqMarkers", "REPEATER\r\n");
        Rig rig;
        QCOMPARE(rig.prompts.texts(), QStringList{"1 line(s) of \"" + programFile("FqMarkers.tsv")
                                                  + "\" could not be read as frequency markers. They are kept in the "
                                                    "file unchanged, after the markers.\n\nThe first one:\nbad"});
        // Rounded to the tuning step, in frequency order, equal ones as read.
        QCOMPARE(rig.lines(), QStringList({"3550010\tA\tCW\t1\t\t\t0\t0", "3600000\tB\tCW\t1\t\t\t0\t0",
                                           "3600000\tC\tAM\t1\tREPEATER\t\t0\t0"}));
        QCOMPARE(rig.scale.VisibleGroups, QStringList{"REPEATER"});
    }

    void addedMarkerReachesScaleAndFile()
    {
        Rig rig;
        rig.run([](QDialog &) { return int(QDialog::Rejected); });
        rig.ops->AddFreqMarkerMnuClick();
        QVERIFY(rig.scale.Markers.isEmpty());
        QCOMPARE(rig.ops->Store().OwnedCount(), 0);

        rig.host.upper = true;
        rig.scale.SetFrequency(3570004);
        bool editorAsExpected = false;
        rig.run(editorAnswer([&](TEditFreqMarkerFrm &e) {
            editorAsExpected = e.CaptionEdt->text() == "New Marker" && e.FrequencyEdt->isEnabled()
                && e.FrequencyEdt->text() == "3570" && e.ModeCBx->currentText() == "USB" && !e.PermanentChk->isChecked();
            e.CaptionEdt->setText("dl0abc");
            e.AttributesMmo->setPlainText("REPEATER");
            e.PermanentChk->setChecked(true);
        }));
        rig.prompts.answers = {true};
        rig.ops->AddFreqMarkerMnuClick();
        QVERIFY(editorAsExpected);
        QCOMPARE(rig.lines(), QStringList{"3570000\tDL0ABC\tUSB\t1\tREPEATER\t\t0\t0"});
        // Hidden by its group: the operator is offered to switch it on.
        QCOMPARE(rig.prompts.texts().size(), 1);
        QVERIFY(rig.prompts.texts().first().endsWith("turn the group \"REPEATER\" on to make it visible?"));
        QVERIFY(rig.scale.VisibleGroups.contains("REPEATER"));
        QTRY_VERIFY(!rig.ops->Store().SavePending());
        QVERIFY(readBytes(programFile("FqMarkers.tsv")).endsWith("3570000\tDL0ABC\tUSB\t1\tREPEATER\t\t0\t0\r\n"));
        QVERIFY(ReadSetting("VisibleFqMarkers").contains("REPEATER"));
    }

    void editKeepsTheFrequencyAndSendsTones()
    {
        Rig rig;
        TFqMarker *marker = rig.add("3600000\told\tCW\t1");
        rig.host.upper = true;
        rig.run(editorAnswer([](TEditFreqMarkerFrm &e) {
            QVERIFY(!e.FrequencyEdt->isEnabled());
            e.FrequencyEdt->setText("3700");
            e.CaptionEdt->setText("new");
            e.RxCtcssCBx->setCurrentIndex(8);
        }));
        rig.ops->EditMarker(0);
        rig.ops->EditMarker(5); // no such marker: nothing
        QCOMPARE(FormatMarkerLine(*marker), QString("3600000\tNEW\tCW\t1\t\t\t885\t0"));
        QCOMPARE(rig.host.calls, QStringList{"tones 885 0"});
        QTRY_VERIFY(readBytes(programFile("FqMarkers.tsv")).contains("\tNEW\t"));
    }

    void deletedMarkerIsFreedAndSaved()
    {
        Rig rig;
        rig.add("3550000\tA");
        rig.add("3600000\tB");
        QTRY_VERIFY(readBytes(programFile("FqMarkers.tsv")).contains("\tB\t"));
        rig.scale.SetFrequency(3600000);
        rig.ops->DeleteFqMarkerBtnClick();
        QCOMPARE(rig.lines(), QStringList{"3550000\tA\tCW\t1\t\t\t0\t0"});
        QCOMPARE(rig.ops->Store().OwnedCount(), 1);
        QTRY_VERIFY(!readBytes(programFile("FqMarkers.tsv")).contains("\tB\t"));
        rig.ops->DeleteMarkersWithAttribute("X"); // permanent markers stay
        QCOMPARE(rig.scale.Markers.size(), 1);
    }

    void markerListRebuildsTheScaleWhateverTheResult()
    {
        Rig rig;
        rig.add("3700000\tTEMP\tFM\t0\tREPEATER", true);
        rig.add("3560000\tPERM");
        rig.scale.SetFrequency(3600000);

        int firstSelected = -1;
        bool savedWhileOpen = false; // every change is saved soon, not at close
        rig.run([&](QDialog &dialog) {
            auto &list = static_cast<TAllFqMarkersFrm &>(dialog);
            firstSelected = list.SelectedRow();
            list.SelectRow(0);
            list.DeleteMnuClick();
            savedWhileOpen = QTest::qWaitFor([] { return !readBytes(programFile("FqMarkers.tsv")).contains("PERM"); });
            return int(QDialog::Rejected);
        });
        QTRY_VERIFY(readBytes(programFile("FqMarkers.tsv")).contains("PERM"));
        rig.ops->AllFreqMarkersMnuClick();
        QVERIFY(savedWhileOpen);
        QCOMPARE(firstSelected, 1); // the first not below the tuned frequency
        QCOMPARE(rig.lines(), QStringList{"3700000\tTEMP\tFM\t0\tREPEATER\t\t0\t0"});
        QVERIFY(!rig.scale.Markers.first()->Highlighted);
        QCOMPARE(rig.ops->Store().OwnedCount(), 1);

        rig.run([](QDialog &dialog) {
            auto &list = static_cast<TAllFqMarkersFrm &>(dialog);
            list.SelectRow(0);
            return int(TAllFqMarkersFrm::TuneToResult);
        });
        rig.prompts.answers = {false};
        rig.ops->AllFreqMarkersMnuClick();
        QCOMPARE(rig.scale.Frequency(), 3700000);
        QCOMPARE(rig.host.calls, QStringList{"click 0"});
        QCOMPARE(rig.prompts.texts().size(), 2); // the deletion asked, its hidden group offered
    }

    void groupDialogReplacesTheVisibleGroups()
    {
        Rig rig;
        rig.add("3600000\tX\tCW\t1\tREPEATER-beacon");
        QStringList offered;
        rig.run([&](QDialog &dialog) {
            auto &show = static_cast<TShowFqMarkersFrm &>(dialog);
            for (int i = 0; i < show.AttributesLBx->count(); ++i)
                offered << show.AttributesLBx->item(i)->text() + (show.AttributesLBx->item(i)->checkState() ? "+" : "");
            show.SelectAllBtnClick();
            return int(QDialog::Accepted);
        });
        rig.ops->ShowHideFqMarkersMnuClick();
        QCOMPARE(offered, QStringList({"REPEATER", "beacon+"}));
        QCOMPARE(rig.scale.VisibleGroups, QStringList({"REPEATER", "beacon"}));
        QCOMPARE(rig.host.calls, QStringList{"StopScan"});
        QTRY_COMPARE(TFqMarkerStore::ReadVisibleGroups(), rig.scale.VisibleGroups);

        // Cancel changes nothing; Ok with nothing ticked hides every group.
        for (int result : {int(QDialog::Rejected), int(QDialog::Accepted)}) {
            rig.run([result](QDialog &dialog) {
                static_cast<TShowFqMarkersFrm &>(dialog).SelectNoneBtnClick();
                return result;
            });
            rig.ops->ShowHideFqMarkersMnuClick();
            QCOMPARE(rig.scale.VisibleGroups.size(), result == QDialog::Rejected ? 2 : 0);
        }
        QVERIFY(!rig.scale.IsMarkerVisibleByGroups(*rig.scale.Markers.first()));
    }

    void searchWalksTheMarkersInScope()
    {
        Rig rig;
        for (const char *line : {"3800000\tin band\tLSB\t1\tBEACON", "7030000\tout of band\tCW\t1\tbeacon",
                                 "3700000\tno match\tAM"})
            rig.add(line);
        const auto search = [&](const QString &text, bool allBands) {
            rig.run([=](QDialog &dialog) {
                auto &s = static_cast<TSearchFqMarkerFrm &>(dialog);
                s.SearchStringCBx->setEditText(text);
                s.AllBandsRdo->setChecked(allBands);
                return int(QDialog::Accepted);
            });
            rig.prompts.shown.clear();
            rig.host.calls.clear();
            rig.ops->SearchForFreqMarkerMnuClick();
        };
        rig.host.connected = true;
        search("Beacon", false);
        QCOMPARE(rig.prompts.texts(), QStringList{"Frequency marker \"in band\" found.\n\nSearch for another occurence?"});
        QCOMPARE(rig.host.calls, QStringList({"mode LSB", "freq 3800000", "mode LSB"}));
        QCOMPARE(rig.scale.Frequency(), 3800000); // the end of the range is in it

        rig.prompts.answers = {true, false};
        search(" beacon ", true);
        QCOMPARE(rig.prompts.texts().size(), 2);
        QCOMPARE(rig.host.mode, QString("CW"));
        QCOMPARE(rig.scale.Frequency(), 7030000);

        search("zzz", true);
        QCOMPARE(rig.prompts.texts(), QStringList{"Occurence of \"zzz\" not found."});
    }
};

TARNWICK_TEST_CLASS(TestFqMarkerOps)
#include "tst_fqmarkerops.moc"
