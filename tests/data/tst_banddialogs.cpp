#include "DataTestSupport.h"
#include "data/BandsDialog.h"
#include "data/EditBandDialog.h"
#include "data/EditModeDialog.h"
#include "data/ModesDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <QStyleOptionViewItem>
#include <QAbstractItemView>
#include <QPushButton>
#include <QTreeWidget>

using namespace datatest;

namespace {

const QByteArray Comment = "; It is highly recommended that you don't edit this file.\r\n";

struct BandInput
{
    QString caption, begin, end, initial, mode, name;
    bool button = true;
};

// Stands in for the operator at the Edit Band dialog: types the given texts
// and presses Ok.
TDialogRunner typeBand(const BandInput &input)
{
    return [input](QDialog &dialog) {
        auto &frm = static_cast<TEditBandFrm &>(dialog);
        frm.setResult(QDialog::Rejected);
        frm.ButtonCaptionEdt->setText(input.caption);
        frm.ScaleBeginEdt->setText(input.begin);
        frm.ScaleEndEdt->setText(input.end);
        frm.InitFreqEdt->setText(input.initial);
        frm.InitModeCBx->setCurrentIndex(frm.InitModeCBx->findText(input.mode));
        frm.BandNameEdt->setText(input.name);
        frm.ButtonAvailableChk->setChecked(input.button);
        frm.accept();
        return frm.result();
    };
}

TDialogRunner typeMode(const QString &begin, const QString &end, int mode, int color, const QString &caption)
{
    return [=](QDialog &dialog) {
        auto &frm = static_cast<TEditModeFrm &>(dialog);
        frm.setResult(QDialog::Rejected);
        frm.ScaleBeginEdt->setText(begin);
        frm.ScaleEndEdt->setText(end);
        frm.InitModeCBx->setCurrentIndex(mode);
        frm.InitModeCBxChange();
        if (color >= -1 && color != -2)
            frm.ColorCBx->setCurrentIndex(color);
        frm.CaptionEdt->setText(caption);
        frm.accept();
        return frm.result();
    };
}

QStringList rowTexts(QTreeWidget *list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts.append(list->topLevelItem(i)->text(column));
    return texts;
}

} // namespace

class TestBandDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetFolders(); }
    void cleanupTestCase() { resetFolders(); }

    // --- Edit Band ------------------------------------------------------

    void editBandLowestLimitIsAccepted()
    {
        PromptRecorder prompts;
        TEditBandFrm frm;
        frm.LoadEntry("X\t100\t101\t100\tCW\tlowest", true);
        QVERIFY(frm.FormCloseQuery());
        QVERIFY(prompts.shown.isEmpty());

        frm.ScaleBeginEdt->setText("99");
        frm.InitFreqEdt->setText("100");
        QVERIFY(!frm.FormCloseQuery());
        QCOMPARE(prompts.texts(),
                 QStringList{"Invalid value for beginning frequency.\nIt must be integer, in kHz, higher than 100"});
    }

    void editBandShowsEveryFailedCheck()
    {
        PromptRecorder prompts;
        TEditBandFrm frm;
        frm.LoadEntry("TOOLONG\tabc\t50\t70\tnone\tn", true);
        QCOMPARE(frm.InitModeCBx->currentIndex(), -1);
        QVERIFY(!frm.FormCloseQuery());
        QCOMPARE(prompts.texts(), QStringList({
            "Caption of the band button must from 1 to 6 characters long.",
            "Invalid value for beginning frequency.\nIt must be integer, in kHz, higher than 100",
            "Invalid value for end frequency.\nIt must be integer, in kHz, higher than 100",
            "Initial frequency must be within the band limits.",
            "No initial mode selected.",
        }));
        for (const auto &shown : prompts.shown)
            QCOMPARE(shown.first, PromptKind::Information);

        prompts.shown.clear();
        frm.LoadEntry("\t300\t200\t250\tAM\t", true);
        QVERIFY(!frm.FormCloseQuery());
        QCOMPARE(prompts.texts(), QStringList({
            "Caption of the band button must from 1 to 6 characters long.",
            "End frequency must be higher than beginning frequency.",
            "Initial frequency must be within the band limits.",
        }));

        prompts.shown.clear();
        frm.LoadEntry("SIXSIX\t300\t400\t350\tAM\t", true);
        QVERIFY(frm.FormCloseQuery());
        QVERIFY(prompts.shown.isEmpty());
    }

    void failedValidationKeepsEditBandOpen()
    {
        PromptRecorder prompts;
        TEditBandFrm frm;
        frm.LoadNewEntry();
        frm.show();
        frm.accept();
        QVERIFY(frm.isVisible());
        QCOMPARE(prompts.shown.size(), 4);
        frm.reject();
        QVERIFY(!frm.isVisible());
        QCOMPARE(prompts.shown.size(), 4); // no checks on Cancel
    }

    void newBandStartsWithCwAndButton()
    {
        TEditBandFrm frm;
        frm.LoadEntry("A\t1\t2\t3\tAM\tname", false);
        frm.LoadNewEntry();
        QCOMPARE(frm.InitModeCBx->currentText(), QString("CW"));
        QVERIFY(frm.ButtonAvailableChk->isChecked());
        QCOMPARE(frm.EntryText(), QString("\t\t\t\tCW\t"));
        QCOMPARE(frm.InitModeCBx->count(), 11);
        QCOMPARE(frm.InitModeCBx->itemText(10), QString("FSK-R"));
    }

    void newEndOutsideBandMovesInitialToMidpoint()
    {
        TEditBandFrm frm;
        frm.LoadEntry("14\t14000\t14350\t14050\tCW\t20 m", true);
        QCOMPARE(frm.InitFreqEdt->text(), QString("14050"));
        frm.ScaleEndEdt->setText("14021");
        QCOMPARE(frm.InitFreqEdt->text(), QString("14010")); // 14000 + 21 div 2
        frm.ScaleEndEdt->setText("14400");
        QCOMPARE(frm.InitFreqEdt->text(), QString("14010")); // inside: untouched
        frm.ScaleBeginEdt->setText("14500");
        QCOMPARE(frm.InitFreqEdt->text(), QString("14010")); // begin above end: untouched
        frm.InitFreqEdt->setText("x");
        frm.ScaleBeginEdt->setText("100");
        QCOMPARE(frm.InitFreqEdt->text(), QString("7250"));
        frm.ScaleEndEdt->setText("0");
        frm.InitFreqEdt->setText("5");
        frm.ScaleBeginEdt->setText("-10");
        QCOMPARE(frm.InitFreqEdt->text(), QString("5")); // end below 1
    }

    void tabsTypedIntoFieldsCannotSplitTheEntry()
    {
        TEditBandFrm frm;
        frm.LoadEntry("A\t100\t200\t150\tCW\tname", true);
        frm.BandNameEdt->setText("two\tfields");
        QCOMPARE(frm.EntryText().count('\t'), 5);
        QCOMPARE(frm.EntryText(), QString("A\t100\t200\t150\tCW\ttwo fields"));
    }

    // --- Bands dialog ---------------------------------------------------

    void bandsListShowsFieldsAndHeader()
    {
        PromptRecorder prompts;
        TBandsFrm frm;
        frm.FormCreate();
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(frm.windowTitle(), QString("Bands"));
        QCOMPARE(frm.BandsLBx->topLevelItemCount(), 15);
        QTreeWidgetItem *header = frm.BandsLBx->headerItem();
        QCOMPARE(header->text(0), QString("Button"));
        QCOMPARE(header->text(5), QString("Band Name"));
        QCOMPARE(frm.BandsLBx->header()->sectionSize(5), 140);
        QTreeWidgetItem *row = frm.BandsLBx->topLevelItem(13);
        QCOMPARE(row->text(0), QString("144"));
        QCOMPARE(row->text(1), QString("144,000"));
        QCOMPARE(row->text(2), QString("146,000"));
        QCOMPARE(row->text(3), QString("144,120"));
        QCOMPARE(row->text(4), QString("CW"));
        QCOMPARE(row->text(5), QString("2 m amateur band"));
        QCOMPARE(frm.BandsLBx->topLevelItem(0)->checkState(0), Qt::Unchecked);
        QCOMPARE(row->checkState(0), Qt::Checked);

        frm.show();
        QCOMPARE(frm.SelectedIndex(), 0);
        frm.reject();
    }

    void tickBoxSwitchesButtonDirectly()
    {
        TBandsFrm frm;
        const PromptRecorder silent; // answers Yes to every box
        frm.FormCreate();
        frm.BandsLBx->topLevelItem(0)->setCheckState(0, Qt::Checked);
        QVERIFY(frm.Plan().Item(0).Checked);
        frm.BandsLBx->topLevelItem(3)->setCheckState(0, Qt::Unchecked);
        QVERIFY(!frm.Plan().Item(3).Checked);
    }

    void editedBeginMovesEntryAndKeepsSelection()
    {
        TBandsFrm frm;
        const PromptRecorder silent; // answers Yes to every box
        frm.FormCreate();
        frm.SelectItem(6);
        frm.SetDialogRunner(typeBand({"14", "500", "700", "600", "USB", "moved", false}));
        frm.EditBtnClick();
        QCOMPARE(frm.SelectedIndex(), 1);
        QCOMPARE(frm.Plan().Item(1).Text, QString("14\t500\t700\t600\tUSB\tmoved"));
        QVERIFY(!frm.Plan().Item(1).Checked);
        QCOMPARE(frm.BandsLBx->topLevelItem(1)->text(0), QString("14"));
        QCOMPARE(frm.BandsLBx->topLevelItem(1)->checkState(0), Qt::Unchecked);
    }

    void addRunsTheEditDialogModally()
    {
        TBandsFrm frm;
        const PromptRecorder silent; // answers Yes to every box
        frm.FormCreate();
        frm.show();
        bool sawDialog = false;
        QTimer::singleShot(0, &frm, [&] {
            auto *edit = qobject_cast<TEditBandFrm *>(QApplication::activeModalWidget());
            if (edit == nullptr)
                return;
            sawDialog = true;
            typeBand({"MOD", "600", "700", "650", "AM", "modal", true})(*edit);
        });
        QTimer::singleShot(3000, &frm, [] {
            if (QWidget *stuck = QApplication::activeModalWidget())
                static_cast<QDialog *>(stuck)->reject();
        });
        frm.AddBtnClick();
        QVERIFY(sawDialog);
        QCOMPARE(frm.Plan().Field(2, bfCaption), QString("MOD"));
        QCOMPARE(frm.SelectedIndex(), 2);
        frm.reject();
    }

    void editLoadsTheSelectedEntry()
    {
        TBandsFrm frm;
        const PromptRecorder silent; // answers Yes to every box
        frm.FormCreate();
        frm.SelectItem(0);
        QString seenCaption;
        bool seenButton = true;
        frm.SetDialogRunner([&](QDialog &dialog) {
            auto &edit = static_cast<TEditBandFrm &>(dialog);
            seenCaption = edit.ButtonCaptionEdt->text() + "|" + edit.ScaleBeginEdt->text() + "|" + edit.ScaleEndEdt->text()
                + "|" + edit.InitFreqEdt->text() + "|" + edit.InitModeCBx->currentText() + "|" + edit.BandNameEdt->text();
            seenButton = edit.ButtonAvailableChk->isChecked();
            return int(QDialog::Rejected);
        });
        frm.EditBtnClick();
        QCOMPARE(seenCaption, QString("136|135|138|137|CW|136 kHz amateur band"));
        QVERIFY(!seenButton);
        QCOMPARE(frm.Plan().Item(0).Text, QString("136\t135\t138\t137\tCW\t136 kHz amateur band"));
    }

    void addedBandIsSortedInAndSelected()
    {
        TBandsFrm frm;
        const PromptRecorder silent; // answers Yes to every box
        frm.FormCreate();
        frm.SetDialogRunner(typeBand({"60", "5351", "5366", "5355", "CW", "60 m amateur band", true}));
        frm.AddBtnClick();
        QCOMPARE(frm.Plan().Count(), 16);
        QCOMPARE(frm.SelectedIndex(), 4);
        QCOMPARE(frm.Plan().Field(4, bfCaption), QString("60"));
        QVERIFY(frm.Plan().Item(4).Checked);
    }

    void cancelRestoresFileAndList()
    {
        PromptRecorder prompts;
        TBandsFrm frm;
        frm.FormCreate();
        const QByteArray before = readBytes(programFile("Bands.tsv"));
        const QList<TBandPlanItem> itemsBefore = frm.Plan().AllItems();

        frm.show();
        frm.SetDialogRunner(typeBand({"NEW", "1000", "2000", "1500", "AM", "added", true}));
        frm.AddBtnClick();
        frm.SelectItem(5);
        prompts.answers = {true};
        frm.DeleteBtnClick();
        frm.BandsLBx->topLevelItem(0)->setCheckState(0, Qt::Checked);
        QCOMPARE(frm.Plan().Count(), 15);
        frm.reject();

        QCOMPARE(readBytes(programFile("Bands.tsv")), before);
        QCOMPARE(frm.Plan().Count(), itemsBefore.size());
        for (int i = 0; i < itemsBefore.size(); ++i) {
            QCOMPARE(frm.Plan().Item(i).Text, itemsBefore.at(i).Text);
            QCOMPARE(frm.Plan().Item(i).Checked, itemsBefore.at(i).Checked);
        }
        QCOMPARE(frm.BandsLBx->topLevelItemCount(), 15);
        QCOMPARE(frm.BandsLBx->topLevelItem(0)->checkState(0), Qt::Unchecked);
    }

    void okSavesTheEditedPlan()
    {
        TBandsFrm frm;
        const PromptRecorder silent; // answers Yes to every box
        frm.FormCreate();
        frm.show();
        frm.SetDialogRunner(typeBand({"NEW", "1000", "2000", "1500", "AM", "added", false}));
        frm.AddBtnClick();
        frm.accept();
        QCOMPARE(frm.result(), int(QDialog::Accepted));
        const QByteArray saved = readBytes(programFile("Bands.tsv"));
        QVERIFY(saved.contains("\r\n0\tNEW\t1000\t2000\t1500\tAM\tadded\r\n1\t1.8\t"));
        QCOMPARE(saved, frm.Plan().ToFileBytes());
    }

    void failedSaveOnOkIsReported()
    {
        PromptRecorder prompts;
        TBandsFrm frm;
        frm.FormCreate();
        const QByteArray before = readBytes(programFile("Bands.tsv"));
        testenv::setEnv("TARNWICK_PROGRAM_DIR", unwritableFolder());
        testenv::setEnv("XDG_DATA_HOME", unwritableFolder() + "/data");
        prompts.shown.clear();
        QVERIFY(!frm.SaveBandPlan());
        QCOMPARE(prompts.shown.size(), 1);
        QVERIFY(prompts.shown.first().second.startsWith("Cannot save"));
        resetFolders();
        QVERIFY(writeBytes(programFile("Bands.tsv"), before));
        {
            NoFileWrites blocked;
            frm.Plan().Remove(0);
            frm.show();
            frm.accept();
        }
        QCOMPARE(prompts.shown.size(), 2);
        QCOMPARE(readBytes(programFile("Bands.tsv")), before);
        QCOMPARE(frm.Plan().Count(), 14); // kept in memory
    }

    void deleteAsksAndHonoursTheAnswer()
    {
        PromptRecorder prompts;
        TBandsFrm frm;
        frm.FormCreate();
        prompts.shown.clear();
        frm.SelectItem(2);
        prompts.answers = {false};
        frm.DeleteBtnClick();
        QCOMPARE(frm.Plan().Count(), 15);
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(prompts.shown.first().first, PromptKind::Question);
        QCOMPARE(prompts.shown.first().second, QString("Are you sure to delete the selected band?"));

        prompts.answers = {true};
        QTest::keyClick(frm.BandsLBx, Qt::Key_Delete);
        QCOMPARE(frm.Plan().Count(), 14);
        QCOMPARE(frm.Plan().Field(2, bfCaption), QString("3.5"));
        QCOMPARE(prompts.shown.size(), 2);

        prompts.answers = {true};
        QTest::keyClick(frm.AddBtn, Qt::Key_Delete); // caught for the whole dialog
        QCOMPARE(frm.Plan().Count(), 13);

        frm.BandsLBx->clearSelection();
        frm.DeleteBtnClick();
        QCOMPARE(prompts.shown.size(), 3); // nothing selected: no question
    }

    // --- Edit Mode ------------------------------------------------------

    void fskReversePreselectsColourTwo()
    {
        TEditModeFrm frm;
        frm.LoadNewEntry();
        QCOMPARE(frm.ColorCBx->currentIndex(), -1);
        frm.InitModeCBx->setCurrentIndex(frm.InitModeCBx->findText("FSK-R"));
        emit frm.InitModeCBx->activated(frm.InitModeCBx->currentIndex());
        QCOMPARE(frm.ColorCBx->currentIndex(), 2);
        frm.ColorCBx->setCurrentIndex(5);
        frm.ScaleBeginEdt->setText("14070");
        frm.ScaleEndEdt->setText("14099");
        QCOMPARE(frm.EntryText(), QString("14070\t14099\tFSK-R\t00E0FF64\t"));
        QCOMPARE(frm.InitModeCBx->maxVisibleItems(), 16);
        QCOMPARE(frm.windowTitle(), QString("Edit Mode"));

        // The colour list shows colours, not the values behind them.
        frm.show();
        const QImage shown = frm.ColorCBx->grab().toImage();
        QCOMPARE(shown.pixelColor(shown.width() / 3, shown.height() / 2), QColor(0x64, 0xFF, 0xE0));
        QImage row(60, 16, QImage::Format_ARGB32);
        row.fill(Qt::white);
        {
            QPainter painter(&row);
            QStyleOptionViewItem option;
            option.rect = row.rect();
            frm.ColorCBx->itemDelegate()->paint(&painter, option, frm.ColorCBx->model()->index(0, 0));
        }
        QCOMPARE(row.pixelColor(30, 8), QColor(0xFB, 0x9B, 0x9B));
        frm.reject();
    }

    void loadingAnEntryKeepsItsOwnColour()
    {
        TEditModeFrm frm;
        frm.LoadEntry("14000\t14070\tCW\t00FF91F1\tbeacons");
        QCOMPARE(frm.InitModeCBx->currentText(), QString("CW"));
        QCOMPARE(frm.ColorCBx->currentIndex(), 6);
        QCOMPARE(frm.CaptionEdt->text(), QString("beacons"));
        QCOMPARE(frm.EntryText(), QString("14000\t14070\tCW\t00FF91F1\tbeacons"));
        frm.LoadEntry("14000\t14070\tXX\t12345678");
        QCOMPARE(frm.InitModeCBx->currentIndex(), -1);
        QCOMPARE(frm.ColorCBx->currentIndex(), -1);
        QCOMPARE(frm.EntryText(), QString("14000\t14070\t\t\t"));
    }

    void editModeStopsAtFirstFailure()
    {
        PromptRecorder prompts;
        TEditModeFrm frm;
        frm.LoadEntry("99\t50\t\t\t");
        QVERIFY(!frm.FormCloseQuery());
        QCOMPARE(prompts.texts(),
                 QStringList{"Invalid value for beginning frequency.\nIt must be integer, in kHz, higher than 100"});
        frm.LoadEntry("100\tx\t\t\t");
        QVERIFY(!frm.FormCloseQuery());
        QCOMPARE(prompts.texts().last(), QString("Invalid value for end frequency.\nIt must be integer, in kHz, higher than 100"));
        frm.LoadEntry("200\t200\t\t\t");
        QVERIFY(!frm.FormCloseQuery());
        QCOMPARE(prompts.texts().last(), QString("End frequency must be higher than beginning frequency."));
        frm.LoadEntry("100\t101\t\t\t");
        QVERIFY(!frm.FormCloseQuery());
        QCOMPARE(prompts.texts().last(), QString("No mode selected."));
        QCOMPARE(prompts.shown.size(), 4);
        frm.LoadEntry("100\t101\tAM\t\t");
        QVERIFY(frm.FormCloseQuery()); // colour and caption are optional
        QCOMPARE(prompts.shown.size(), 4);
    }

    // --- Modes dialog ---------------------------------------------------

    void modesDialogAddsSortsAndShowsBars()
    {
        PromptRecorder prompts;
        TModesFrm frm;
        frm.FormCreate();
        QCOMPARE(prompts.shown.size(), 1);
        QCOMPARE(frm.windowTitle(), QString("Bands"));
        QCOMPARE(frm.ModesLBx->headerItem()->text(2), QString("Mode and Color"));
        QCOMPARE(frm.ModesLBx->header()->sectionSize(2), 300);

        frm.SetDialogRunner(typeMode("14070", "14350", 1, -2, ""));
        frm.AddBtnClick();
        frm.SetDialogRunner(typeMode("14000", "14070", 2, -2, "CW part"));
        frm.AddBtnClick();
        QCOMPARE(frm.Segments().AllItems(),
                 QStringList({"14000\t14070\tCW\t009B9BFB\tCW part", "14070\t14350\tUSB\t009ADCA4\t"}));
        QCOMPARE(frm.SelectedIndex(), 0);
        frm.SetDialogRunner(typeMode("13000", "20000", 4, -1, ""));
        frm.AddBtnClick();
        QCOMPARE(frm.SelectedIndex(), 2);
        QCOMPARE(frm.Segments().Item(2), QString("13000\t20000\tAM\t\t"));
        QCOMPARE(rowTexts(frm.ModesLBx, 0), QStringList({"14,000", "14,070", "13,000"}));
        QCOMPARE(rowTexts(frm.ModesLBx, 1), QStringList({"14,070", "14,350", "20,000"}));

        // Painting the rows (bars, captions, an empty colour) must not fail.
        frm.show();
        QImage image(frm.size(), QImage::Format_ARGB32);
        frm.render(&image);
        frm.accept();
        QCOMPARE(readBytes(programFile("Modes.tsv")),
                 Comment + "14000\t14070\tCW\t009B9BFB\tCW part\r\n14070\t14350\tUSB\t009ADCA4\t\r\n13000\t20000\tAM\t\t\r\n");
    }

    void sharedBoundaryPassesWithoutQuestion()
    {
        PromptRecorder prompts;
        TModesFrm frm;
        frm.FormCreate();
        prompts.shown.clear();
        frm.Segments().SetAllItems({"14000\t14070\tCW\t\t", "14070\t14350\tUSB\t\t"});
        frm.show();
        frm.accept();
        QVERIFY(prompts.shown.isEmpty());
        QVERIFY(!frm.isVisible());
    }

    void everyOverlapIsAskedAndAnyNoKeepsDialogOpen()
    {
        PromptRecorder prompts;
        TModesFrm frm;
        frm.FormCreate();
        const QByteArray before = readBytes(programFile("Modes.tsv"));
        prompts.shown.clear();
        frm.Segments().SetAllItems({"14000\t14100\tCW\t\t", "14070\t14350\tUSB\t\t", "14300\t14400\tFM\t\t"});
        frm.show();
        prompts.answers = {false, true};
        frm.accept();
        QCOMPARE(prompts.shown.size(), 2);
        QCOMPARE(prompts.shown.at(0).first, PromptKind::Question);
        QCOMPARE(prompts.shown.at(0).second,
                 QString("The following segments:\n14000 - 14100\n14070 - 14350\nare overlapping.\n\n"
                         "Do you want to save it like that anyway?"));
        QVERIFY(frm.isVisible());
        QCOMPARE(readBytes(programFile("Modes.tsv")), before);

        prompts.answers = {true, true};
        frm.accept();
        QVERIFY(!frm.isVisible());
        QCOMPARE(prompts.shown.size(), 4);
        QVERIFY(readBytes(programFile("Modes.tsv")).endsWith("14300\t14400\tFM\t\t\r\n"));
    }

    void modesCancelRereadsFile()
    {
        QVERIFY(writeBytes(programFile("Modes.tsv"), Comment + "1\t2\tCW\t\tkept\r\n"));
        PromptRecorder prompts;
        TModesFrm frm;
        frm.FormCreate();
        QVERIFY(prompts.shown.isEmpty());
        frm.show();
        QCOMPARE(frm.SelectedIndex(), 0);
        prompts.answers = {true};
        frm.DeleteBtnClick();
        QCOMPARE(prompts.texts(), QStringList{"Are you sure to delete the selected mode?"});
        QCOMPARE(frm.Segments().Count(), 0);
        frm.reject();
        QCOMPARE(frm.Segments().AllItems(), QStringList{"1\t2\tCW\t\tkept"});
        QCOMPARE(frm.ModesLBx->topLevelItemCount(), 1);
    }

    void editedSegmentIsResortedByEnd()
    {
        TModesFrm frm;
        const PromptRecorder silent; // answers Yes to every box
        frm.Segments().SetAllItems({"100\t200\tCW\t\t", "200\t300\tAM\t\t", "300\t400\tFM\t\t"});
        frm.show();
        frm.SelectItem(0);
        frm.SetDialogRunner(typeMode("100", "350", 2, -2, ""));
        frm.EditBtnClick();
        QCOMPARE(frm.SelectedIndex(), 1);
        QCOMPARE(frm.Segments().Item(1), QString("100\t350\tCW\t009B9BFB\t"));
        frm.SetDialogRunner([](QDialog &) { return int(QDialog::Rejected); });
        frm.EditBtnClick();
        QCOMPARE(frm.Segments().Item(1), QString("100\t350\tCW\t009B9BFB\t"));
        frm.done(QDialog::Rejected);
    }
};

TARNWICK_TEST_CLASS(TestBandDialogs)
#include "tst_banddialogs.moc"
