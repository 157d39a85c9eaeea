// The Bands and Modes dialogs and their entry editors.
#include "DataTestSupport.h"
#include "data/BandsDialog.h"
#include "data/EditBandDialog.h"
#include "data/EditModeDialog.h"
#include "data/ModesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

using namespace datatest;

namespace {

// Stands in for the operator at the Edit Band dialog: loads the entry text
// as typed and presses Ok.
TDialogRunner typeBand(const QString &text, bool button = true)
{
    return [=](QDialog &dialog) {
        auto &frm = static_cast<TEditBandFrm &>(dialog);
        frm.setResult(QDialog::Rejected);
        frm.LoadEntry(text, button);
        frm.accept();
        return frm.result();
    };
}

TDialogRunner typeMode(const QString &begin, const QString &end, int mode, const QString &caption)
{
    return [=](QDialog &dialog) {
        auto &frm = static_cast<TEditModeFrm &>(dialog);
        frm.setResult(QDialog::Rejected);
        frm.LoadNewEntry();
        frm.ScaleBeginEdt->setText(begin);
        frm.ScaleEndEdt->setText(end);
        frm.InitModeCBx->setCurrentIndex(mode);
        frm.InitModeCBxChange();
        frm.CaptionEdt->setText(caption);
        frm.accept();
        return frm.result();
    };
}

const QString BeginLow = "Invalid value for beginning frequency.\nIt must be integer, in kHz, higher than 100";
const QString EndLow = "Invalid value for end frequency.\nIt must be integer, in kHz, higher than 100";
const QString EndNotAbove = "End frequency must be higher than beginning frequency.";

} // namespace

class TestBandDialogs : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetFolders(); }
    void cleanupTestCase() { resetFolders(); }

    void editBandShowsEveryFailedCheck_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("lowest limits") << "X\t100\t101\t100\tCW\tn" << QStringList();
        QTest::newRow("six characters") << "SIXSIX\t300\t400\t350\tAM\t" << QStringList();
        QTest::newRow("begin 99") << "X\t99\t101\t100\tCW\tn" << QStringList{BeginLow};
        QTest::newRow("everything wrong") << "TOOLONG\tabc\t50\t70\tnone\tn"
                                          << QStringList({"Caption of the band button must from 1 to 6 characters long.",
                                                          BeginLow, EndLow, "Initial frequency must be within the band limits.",
                                                          "No initial mode selected."});
        QTest::newRow("end below begin") << "\t300\t200\t250\tAM\t"
                                         << QStringList({"Caption of the band button must from 1 to 6 characters long.",
                                                         EndNotAbove, "Initial frequency must be within the band limits."});
        QTest::newRow("hertz typed") << "14\t14000000\t14350000\t14050000\tCW\t"
                                     << QStringList({"Beginning frequency is too high.\nIt must be integer, in kHz, not higher than 2147483",
                                                     "End frequency is too high.\nIt must be integer, in kHz, not higher than 2147483",
                                                     "Initial frequency is too high.\nIt must be integer, in kHz, not higher than 2147483"});
        QTest::newRow("just too high") << "X\t2147482\t2147484\t2147483\tCW\t"
                                       << QStringList{"End frequency is too high.\nIt must be integer, in kHz, not higher than 2147483"};
    }
    void editBandShowsEveryFailedCheck()
    {
        QFETCH(QString, entry);
        QFETCH(QStringList, messages);
        PromptRecorder prompts;
        TEditBandFrm frm;
        frm.LoadEntry(entry, true);
        frm.show();
        frm.accept();
        QCOMPARE(prompts.texts(), messages);
        QCOMPARE(frm.isVisible(), !messages.isEmpty()); // a failed check keeps it open
        frm.reject();
        QCOMPARE(prompts.texts().size(), messages.size()); // no checks on Cancel
    }

    void editBandEntryTextAndMidpoint()
    {
        TEditBandFrm frm;
        frm.LoadEntry("A\t1\t2\t3\tAM\tname", false);
        frm.LoadNewEntry();
        QCOMPARE(frm.EntryText(), QString("\t\t\t\tCW\t"));
        QVERIFY(frm.ButtonAvailableChk->isChecked());
        frm.LoadEntry("14\t14000\t14350\t14050\tCW\t20 m", true);
        frm.BandNameEdt->setText("two\tfields");
        QCOMPARE(frm.EntryText(), QString("14\t14000\t14350\t14050\tCW\ttwo fields"));

        const QList<QPair<QLineEdit *, QString>> typed = {
            {frm.ScaleEndEdt, "14021"}, {frm.ScaleEndEdt, "14400"}, {frm.InitFreqEdt, "14400"},
            {frm.ScaleBeginEdt, "14001"}, {frm.ScaleBeginEdt, "14500"}, {frm.InitFreqEdt, "x"},
            {frm.ScaleBeginEdt, "100"}, {frm.ScaleEndEdt, "0"}, {frm.InitFreqEdt, "5"}, {frm.ScaleBeginEdt, "-10"}};
        const QStringList initial = {"14010", "14010", "14400", "14400", "14400", "x", "7250", "7250", "5", "5"};
        for (int i = 0; i < typed.size(); ++i) {
            typed.at(i).first->setText(typed.at(i).second);
            QCOMPARE(frm.InitFreqEdt->text(), initial.at(i));
        }
        frm.setResult(QDialog::Accepted);
        frm.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
        QCOMPARE(frm.result(), int(QDialog::Rejected));
    }

    void bandsDialogEditsTheList()
    {
        PromptRecorder prompts;
        TBandsFrm frm;
        frm.FormCreate();
        prompts.shown.clear();
        const QByteArray before = readBytes(programFile("Bands.tsv"));
        QTreeWidgetItem *row = frm.BandsLBx->topLevelItem(13);
        QCOMPARE(QStringList({row->text(0), row->text(1), row->text(2), row->text(3), row->text(4), row->text(5)}),
                 QStringList({"144", "144,000", "146,000", "144,120", "CW", "2 m amateur band"}));
        frm.show();
        QCOMPARE(frm.SelectedIndex(), 0);
        frm.BandsLBx->topLevelItem(3)->setCheckState(0, Qt::Unchecked); // the tick box acts directly
        QVERIFY(!frm.Plan().Item(3).Checked);

        // Edit loads the selected entry; a new begin moves it, still selected.
        frm.SelectItem(0);
        QString seen;
        frm.SetDialogRunner([&](QDialog &dialog) {
            auto &edit = static_cast<TEditBandFrm &>(dialog);
            seen = edit.EntryText() + (edit.ButtonAvailableChk->isChecked() ? "|on" : "|off");
            return int(QDialog::Rejected);
        });
        frm.EditBtnClick();
        QCOMPARE(seen, QString("136\t135\t138\t137\tCW\t136 kHz amateur band|off"));
        frm.SelectItem(6);
        frm.SetDialogRunner(typeBand("14\t500\t700\t600\tUSB\tmoved", false));
        frm.EditBtnClick();
        QCOMPARE(frm.SelectedIndex(), 1);
        QCOMPARE(frm.Plan().Item(1).Text, QString("14\t500\t700\t600\tUSB\tmoved"));
        QCOMPARE(frm.BandsLBx->topLevelItem(1)->checkState(0), Qt::Unchecked);

        frm.SetDialogRunner(typeBand("60\t5351\t5366\t5355\tCW\t60 m amateur band"));
        frm.AddBtnClick();
        QCOMPARE(frm.SelectedIndex(), 5);
        QVERIFY(frm.Plan().Item(5).Checked);

        // Delete asks; the key works anywhere in the dialog; No keeps it.
        prompts.answers = {false, true, true};
        frm.DeleteBtnClick();
        QCOMPARE(frm.Plan().Count(), 16);
        QCOMPARE(prompts.texts(), QStringList{"Are you sure to delete the selected band?"});
        QTest::keyClick(frm.BandsLBx, Qt::Key_Delete);
        QCOMPARE(frm.SelectedIndex(), 5); // the next band is selected
        QTest::keyClick(frm.AddBtn, Qt::Key_Delete);
        QCOMPARE(frm.Plan().Count(), 14);
        frm.BandsLBx->clearSelection();
        frm.DeleteBtnClick();
        QCOMPARE(prompts.shown.size(), 3); // nothing selected: no question

        // Cancel reads the file again: the edits are gone.
        frm.reject();
        QCOMPARE(readBytes(programFile("Bands.tsv")), before);
        QCOMPARE(frm.Plan().ToFileBytes(), before);
        QCOMPARE(frm.BandsLBx->topLevelItemCount(), 15);

        // Ok writes the plan; a failed write is told and the plan kept.
        frm.show();
        frm.SetDialogRunner(typeBand("NEW\t1000\t2000\t1500\tAM\tadded", false));
        frm.AddBtnClick();
        frm.accept();
        QVERIFY(frm.isHidden() && frm.result() == QDialog::Accepted);
        QVERIFY(readBytes(programFile("Bands.tsv")).contains("\r\n0\tNEW\t1000\t2000\t1500\tAM\tadded\r\n1\t1.8\t"));
        prompts.shown.clear();
        {
            NoFileWrites blocked;
            frm.Plan().Remove(0);
            frm.show();
            frm.accept();
        }
        QCOMPARE(prompts.shown.size(), 1);
        QVERIFY(prompts.texts().first().startsWith("Cannot save"));
        QCOMPARE(frm.Plan().Count(), 15);
    }

    void editModeStopsAtTheFirstFailure()
    {
        PromptRecorder prompts;
        TEditModeFrm frm;
        const QList<QPair<QString, QString>> cases = {
            {"99\t50\t\t\t", BeginLow},
            {"100\tx\t\t\t", EndLow},
            {"14000000\t14070000\tCW\t\t",
             "Beginning frequency is too high.\nIt must be integer, in kHz, not higher than 2147483"},
            {"14000\t14070000\tCW\t\t", "End frequency is too high.\nIt must be integer, in kHz, not higher than 2147483"},
            {"200\t200\t\t\t", EndNotAbove},
            {"100\t101\t\t\t", "No mode selected."},
            {"100\t101\tAM\t\t", ""}, // colour and caption are optional
        };
        for (const auto &c : cases) {
            prompts.shown.clear();
            frm.LoadEntry(c.first);
            QCOMPARE(frm.FormCloseQuery(), c.second.isEmpty());
            QCOMPARE(prompts.texts(), c.second.isEmpty() ? QStringList() : QStringList{c.second});
        }
    }

    void editModeColours()
    {
        TEditModeFrm frm;
        frm.LoadEntry("14000\t14070\tCW\t00FF91F1\tbeacons");
        QCOMPARE(frm.ColorCBx->currentIndex(), 6); // the entry's own colour
        QCOMPARE(frm.EntryText(), QString("14000\t14070\tCW\t00FF91F1\tbeacons"));
        frm.LoadEntry("14000\t14070\tXX\t12345678");
        QCOMPARE(frm.EntryText(), QString("14000\t14070\t\t\t"));

        frm.LoadNewEntry();
        frm.InitModeCBx->setCurrentIndex(frm.InitModeCBx->findText("FSK-R"));
        emit frm.InitModeCBx->activated(frm.InitModeCBx->currentIndex());
        QCOMPARE(frm.ColorCBx->currentIndex(), 2);
    }

    void modesDialogAddsSortsAsksAndSaves()
    {
        PromptRecorder prompts;
        TModesFrm frm;
        frm.Segments().Append("stale"); // a missing file starts an empty list
        frm.FormCreate();
        QCOMPARE(prompts.texts(),
                 QStringList{"File \"" + ProgramFolder() + "Modes.tsv\" is missing!\n\nNew empty file will be created."});
        QCOMPARE(readBytes(programFile("Modes.tsv")), Comment);
        prompts.shown.clear();
        frm.SetDialogRunner(typeMode("14070", "14350", 1, ""));
        frm.AddBtnClick();
        frm.SetDialogRunner(typeMode("14000", "14070", 2, "CW part"));
        frm.AddBtnClick();
        QCOMPARE(frm.SelectedIndex(), 0);
        QCOMPARE(frm.Segments().AllItems(), QStringList({"14000\t14070\tCW\t009B9BFB\tCW part", "14070\t14350\tUSB\t009ADCA4\t"}));
        QCOMPARE(frm.ModesLBx->topLevelItem(1)->text(1), QString("14,350"));
        frm.SelectItem(0);
        frm.SetDialogRunner(typeMode("14350", "20000", 4, ""));
        frm.EditBtnClick();
        QCOMPARE(frm.SelectedIndex(), 1);

        frm.show();
        QImage image(frm.size(), QImage::Format_ARGB32);
        frm.render(&image); // the bar delegate paints every kind of row
        frm.accept();
        QVERIFY(prompts.shown.isEmpty()); // a shared boundary is no overlap
        QCOMPARE(readBytes(programFile("Modes.tsv")),
                 Comment + "14070\t14350\tUSB\t009ADCA4\t\r\n14350\t20000\tAM\t0037F3FD\t\r\n");

        // Overlaps: every one is asked, any No keeps the dialog open.
        const QByteArray saved = readBytes(programFile("Modes.tsv"));
        frm.Segments().SetAllItems({"14000\t14100\tCW\t\t", "14070\t14350\tUSB\t\t", "14300\t14400\tFM\t\t"});
        frm.show();
        prompts.answers = {false, true};
        frm.accept();
        QCOMPARE(prompts.shown.size(), 2);
        QVERIFY(frm.isVisible());
        QCOMPARE(readBytes(programFile("Modes.tsv")), saved);

        // Delete asks; Cancel reads the file again.
        prompts.shown.clear();
        frm.SelectItem(0);
        frm.DeleteBtnClick();
        QCOMPARE(prompts.texts(), QStringList{"Are you sure to delete the selected mode?"});
        frm.reject();
        QCOMPARE(frm.Segments().AllItems(), QStringList({"14070\t14350\tUSB\t009ADCA4\t", "14350\t20000\tAM\t0037F3FD\t"}));
        QCOMPARE(frm.ModesLBx->topLevelItemCount(), 2);
    }
};

TARNWICK_TEST_CLASS(TestBandDialogs)
#include "tst_banddialogs.moc"
