// The marker editor, its pick list, the marker list, the group dialog and
// the search dialog, each on its own.
#include "DataTestSupport.h"
#include "base/StickyMessage.h"
#include "data/AllFqMarkersDialog.h"
#include "data/EditFreqMarkerDialog.h"
#include "data/FqMarkerFormat.h"
#include "data/FqMarkerRows.h"
#include "data/SearchFqMarkerDialog.h"
#include "data/ShowFqMarkersDialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeView>

using namespace datatest;

namespace {

TFqMarker marker(const QString &line)
{
    TFqMarker m;
    if (!ParseMarkerLine(line, m))
        qFatal("bad test line");
    return m;
}

// Stands in for the operator at the editor: sets the frequency text and the
// caption, then presses Ok.
TDialogRunner typeInEditor(const QString &khz, const QString &caption)
{
    return [=](QDialog &dialog) {
        auto &editor = static_cast<TEditFreqMarkerFrm &>(dialog);
        editor.setResult(QDialog::Rejected);
        editor.FrequencyEdt->setText(khz);
        editor.CaptionEdt->setText(caption);
        editor.accept();
        return editor.result();
    };
}

} // namespace

class TestFqMarkerDialogs : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { SetStickyBoxRunner({}); }

    void editorShowsAndTakesEveryField()
    {
        TEditFreqMarkerFrm editor;
        const QString line = "14074500\tFT8\tUSB\t1\tBEACON-CW\tone~two\t885\t0";
        editor.ShowMarkerInEditor(marker(line));
        QCOMPARE(editor.FrequencyEdt->text(), QString("14074.5"));
        QCOMPARE(editor.ModeCBx->currentText(), QString("USB"));
        QCOMPARE(editor.RxCtcssCBx->currentText(), QString("88.5"));
        QCOMPARE(editor.TxCtcssCBx->currentText(), QString("<None>"));
        QCOMPARE(editor.AttributesMmo->toPlainText(), QString("BEACON\nCW"));
        TFqMarker taken;
        editor.TakeMarkerFromEditor(taken);
        QCOMPARE(FormatMarkerLine(taken), line);
        QCOMPARE(taken.Attributes, QString("BEACON\r\nCW"));

        // Trailing line breaks go; a mode or tone the lists lack is shown and
        // kept, and gone from the lists with the next marker.
        editor.ShowMarkerInEditor(marker("14074000\tX\tusb\t0\t\t\t886\t0"));
        QCOMPARE(editor.FrequencyEdt->text(), QString("14074"));
        QCOMPARE(editor.ModeCBx->currentText() + " " + editor.RxCtcssCBx->currentText(), QString("usb 88.6"));
        editor.RemarkMmo->setPlainText("r\n\n  ");
        editor.TakeMarkerFromEditor(taken);
        QCOMPARE(taken.Remark, QString("r"));
        QCOMPARE(FormatMarkerLine(taken), QString("14074000\tX\tusb\t0\t\tr\t886\t0"));
        editor.ShowMarkerInEditor(marker(line));
        QVERIFY(editor.ModeCBx->findText("usb") < 0 && editor.RxCtcssCBx->findText("88.6") < 0);
    }

    void okNeedsAMode()
    {
        PromptRecorder prompts;
        TEditFreqMarkerFrm editor;
        editor.ShowMarkerInEditor(marker("3550000\tX"));
        editor.ModeCBx->setCurrentIndex(-1); // added with no mode key down
        QVERIFY(!editor.FormCloseQuery(true));
        QCOMPARE(prompts.texts(), QStringList{"Select the mode of the frequency marker."});
    }

    void editorChecksTheFrequency_data()
    {
        QTest::addColumn<QString>("khz");
        QTest::addColumn<QString>("message");
        const QString low = "Invalid value for frequency.\nThe value must be higher or equal to 100 kHz.";
        QTest::newRow("100 kHz") << "100" << "";
        QTest::newRow("fraction") << "14074.5" << "";
        QTest::newRow("below 100 kHz") << "99.999" << low;
        QTest::newRow("unreadable") << "abc" << low;
        QTest::newRow("hertz typed") << "14074000"
                                     << "Invalid value for frequency.\nThe value must be lower or equal to 500000 kHz.";
    }
    void editorChecksTheFrequency()
    {
        QFETCH(QString, khz);
        QFETCH(QString, message);
        PromptRecorder prompts;
        TEditFreqMarkerFrm editor;
        editor.ShowMarkerInEditor(marker("3550000\tX"));
        editor.show();
        editor.FrequencyEdt->setText(khz);
        editor.accept();
        QCOMPARE(prompts.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        QCOMPARE(editor.isVisible(), !message.isEmpty());
        if (message.isEmpty())
            QCOMPARE(editor.EnteredFrequency(), qRound64(khz.toDouble() * 1000));
    }

    void differentTonesWarn()
    {
        testenv::clearSettings();
        int shown = 0;
        SetStickyBoxRunner([&](TStickyForm &box) {
            ++shown;
            QVERIFY(box.MessageLbl->text().startsWith("You attempt to use different CTCSS settings for TX and RX."));
        });
        TEditFreqMarkerFrm editor;
        editor.ShowMarkerInEditor(marker("3550000\tX\tFM\t1\t\t\t885\t885"));
        QVERIFY(editor.FormCloseQuery(true));
        QCOMPARE(shown, 0); // same tone both ways
        editor.TxCtcssCBx->setCurrentIndex(0);
        QVERIFY(editor.FormCloseQuery(true));
        QVERIFY(editor.FormCloseQuery(false)); // Cancel does not warn
        QCOMPARE(shown, 1);
        editor.RxCtcssCBx->setCurrentIndex(0);
        editor.TxCtcssCBx->setCurrentIndex(3);
        QVERIFY(editor.FormCloseQuery(true));
        QCOMPARE(shown, 2);
    }

    void memosRefuseTheFileSeparators()
    {
        TEditFreqMarkerFrm editor;
        editor.show();
        QTest::keyClicks(editor.AttributesMmo, "beacon, cw-1");
        QCOMPARE(editor.AttributesMmo->toPlainText(), QString("BEACONCW1"));
        QTest::keyClicks(editor.RemarkMmo, "a~b");
        QCOMPARE(editor.RemarkMmo->toPlainText(), QString("ab"));
        QGuiApplication::clipboard()->setText("x-y z\n~w");
        editor.AttributesMmo->clear();
        editor.AttributesMmo->paste();
        QCOMPARE(editor.AttributesMmo->toPlainText(), QString("XYZ\n~W"));
        editor.RemarkMmo->clear();
        editor.RemarkMmo->paste();
        QCOMPARE(editor.RemarkMmo->toPlainText(), QString("x-y z\nw"));
        // A dead key (dead tilde, then space) types through the input method.
        QInputMethodEvent composed;
        composed.setCommitString("~!");
        QApplication::sendEvent(editor.RemarkMmo, &composed);
        QCOMPARE(editor.RemarkMmo->toPlainText(), QString("x-y z\nw!"));

        // Empty attribute lines go on every close, Cancel too.
        editor.AttributesMmo->setPlainText("A\n  \n\nB\n");
        editor.reject();
        QCOMPARE(editor.AttributesMmo->toPlainText(), QString("A\nB"));
    }

    // The frequency column holds the highest frequency whole.
    void frequencyColumnFitsTheHighestFrequency()
    {
        TEditFreqMarkerFrm editor;
        TAllFqMarkersFrm list(editor);
        list.Rows->SetLines({"500000000\tTOP"});
        list.show();
        QVERIFY(static_cast<QAbstractItemView *>(list.MarkersLBx)->sizeHintForColumn(0)
                <= list.MarkersLBx->header()->sectionSize(0));
    }

    void pickListOffersUnusedGroups()
    {
        QList<TFqMarker> markers = {marker("1\ta\tCW\t1\tcw-BEACON"), marker("2\tb\tCW\t1\tZULU--AFTER-EMPTY"),
                                    marker("3\tc\tCW\t1\tbeacon-ALPHA")};
        TEditFreqMarkerFrm editor;
        editor.SetMarkerSource([&] {
            QList<TFqMarker *> list;
            for (TFqMarker &m : markers)
                list << &m;
            return list;
        });
        editor.AttributesMmo->setPlainText("CW");
        QStringList offered;
        editor.SetDialogRunner([&](QDialog &dialog) {
            auto &pick = static_cast<TListBoxFrm &>(dialog);
            for (int i = 0; i < pick.ListBox->count(); ++i)
                offered << pick.ListBox->item(i)->text();
            pick.ListBox->setCurrentRow(1);
            return int(QDialog::Accepted);
        });
        editor.Label6Click();
        QCOMPARE(offered, QStringList({"ALPHA", "BEACON", "ZULU"}));
        QCOMPARE(editor.AttributesMmo->toPlainText(), QString("CW\nBEACON"));
    }

    void markerListRowsAreShownAndSorted()
    {
        TFqMarkerRows rows;
        rows.SetLines({"3550000\tA\tCW\t1\tBEACON\tx~y\t0\t0", "3560000\tB\tCW\t0\t\t\t0\t0",
                       "3570000\tC\tCW\t1\t\t\t0\t0"});
        QCOMPARE(rows.data(rows.index(0, TFqMarkerRows::ColFrequency), Qt::DisplayRole).toString(), QString("3,550.000"));
        QCOMPARE(rows.data(rows.index(0, TFqMarkerRows::ColRemark), Qt::DisplayRole).toString(), QString("x\u00B6y"));
        QCOMPARE(rows.data(rows.index(0, TFqMarkerRows::ColAttributes), Qt::DisplayRole).toString(), QString("BEACON"));
        QVERIFY(!rows.data(rows.index(0, 1), Qt::ForegroundRole).isValid());
        QCOMPARE(rows.data(rows.index(1, 1), Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));

        rows.SetLine(0, "3565000\tA\tCW\t1\t\t\t0\t0");
        QCOMPARE(rows.ResortMarkerRow(0), 1);
        rows.SetLine(2, "3000000\tC\tCW\t1\t\t\t0\t0");
        QCOMPARE(rows.ResortMarkerRow(2), 0);
        rows.InsertLine(3, "3560000\tD\tCW\t1\t\t\t0\t0");
        QCOMPARE(rows.ResortMarkerRow(3), 2); // after the equal frequency
        QStringList captions;
        for (int i = 0; i < rows.Count(); ++i)
            captions << rows.data(rows.index(i, 1), Qt::DisplayRole).toString();
        QCOMPARE(captions, QStringList({"C", "B", "D", "A"}));
        QCOMPARE(rows.data(rows.index(0, 0), Qt::DisplayRole).toString(), QString("3,000.000"));
        QCOMPARE(rows.FirstRowNotBelow(3560001), 3);
        QCOMPARE(rows.FirstRowNotBelow(9999999), 3);
        QCOMPARE(rows.FirstRowNotBelow(0), 0);
        rows.RemoveRows({3, 0, 3});
        QCOMPARE(rows.Count(), 2);
        QCOMPARE(rows.Line(0).section('\t', 1, 1), QString("B"));
    }

    void markerListAddsEditsDeletesAndFinds()
    {
        PromptRecorder prompts;
        TEditFreqMarkerFrm editor;
        TAllFqMarkersFrm list(editor);
        list.SetNewMarkerPlace([] { return 3650000; }, [] { return QString("LSB"); });
        list.Rows->SetLines({"3550000\tA\tCW\t1\tBEACON\t\t0\t0", "3600000\tBeacon two\tUSB\t1\t\t\t0\t0",
                             "3700000\tC\tAM\t1\t\t\t0\t0"});
        list.show();
        QVERIFY(QTest::qWaitForWindowActive(&list));

        // Nothing selected: a permanent marker at the middle of the range.
        list.SetDialogRunner(typeInEditor("3650", "MID"));
        list.AddMnuClick();
        QCOMPARE(list.SelectedRow(), 2);
        QCOMPARE(list.Rows->Line(2), QString("3650000\tMID\tLSB\t1\t\t\t0\t0"));
        // A row selected: its frequency and mode, inserted after it.
        list.SelectRow(0);
        list.SetDialogRunner([](QDialog &dialog) {
            auto &e = static_cast<TEditFreqMarkerFrm &>(dialog);
            return e.FrequencyEdt->text() == "3550" && e.ModeCBx->currentText() == "CW" && e.PermanentChk->isChecked()
                ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        list.AddMnuClick();
        QCOMPARE(list.Rows->Line(1).section('\t', 0, 3), QString("3550000\tNew Marker\tCW\t1"));

        // Edited to a frequency that belongs elsewhere: moved and selected.
        list.SelectRow(1);
        list.SetDialogRunner(typeInEditor("3800", "MOVED"));
        QTest::keyClick(list.MarkersLBx, Qt::Key_Return);
        QCOMPARE(list.SelectedRow(), 4);
        QCOMPARE(list.Rows->Line(4).section('\t', 0, 1), QString("3800000\tMOVED"));

        // Find: upper case both ways, each hit selected, No ends the walk.
        list.SetFindTextAsker([] { return QString("beacon"); });
        prompts.answers = {true, false};
        list.Find2Click();
        QCOMPARE(prompts.texts(), QStringList(2, "Occurence found. \n\nDo you want to search for another?"));
        QCOMPARE(list.SelectedRow(), 1);

        prompts.shown.clear();
        list.MarkersLBx->clearSelection();
        list.DeleteMnuClick();
        QCOMPARE(prompts.texts(), QStringList{"No items selected in the list. Select one or more items to delete."});
        list.SelectRow(0);
        list.MarkersLBx->selectionModel()->select(list.Rows->index(2, 0),
                                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
        prompts.answers = {false, true};
        QTest::keyClick(list.MarkersLBx, Qt::Key_Delete);
        QCOMPARE(list.Rows->Count(), 5);
        list.DeleteMnuClick();
        QCOMPARE(prompts.texts().last(), QString("Are you sure to delete 2 selected marker(s)?"));
        QCOMPARE(list.Rows->Count(), 3);

        QTest::keyClick(list.MarkersLBx, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(list.result(), int(TAllFqMarkersFrm::TuneToResult));
    }

    void groupDialogKeepsEntriesAndTicks()
    {
        TShowFqMarkersFrm show;
        show.FillGroups({"BEACON", "REPEATER"}, {"beacon", "GROUP"});
        QCOMPARE(show.TickedGroups(), QStringList{"BEACON"});
        show.FillGroups({"repeater", "NEW"}, {"NEW"});
        QCOMPARE(show.AttributesLBx->count(), 3); // earlier entries stay
        show.InvertSelectionBtnClick();
        QCOMPARE(show.TickedGroups(), QStringList({"BEACON", "REPEATER"}));
    }

    void searchRefusesAnEmptyText()
    {
        PromptRecorder prompts;
        TSearchFqMarkerFrm search;
        search.show();
        search.SearchStringCBx->setEditText("   ");
        search.SearchBtnClick();
        QCOMPARE(prompts.texts(), QStringList{"An empty string can't be searched for."});
        QVERIFY(search.isVisible());
        search.SearchStringCBx->setEditText(" beacon ");
        search.SearchBtnClick();
        QVERIFY(!search.isVisible());
        QCOMPARE(search.SearchText(), QString("beacon"));
    }
};

TARNWICK_TEST_CLASS(TestFqMarkerDialogs)
#include "tst_fqmarkerdialogs.moc"
