#include "base/ControlState.h"
#include "base/Settings.h"
#include "base/Widgets.h"
#include "common/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

#include <memory>

namespace {

template <typename T, typename... Args>
T *named(const char *name, Args &&...args)
{
    auto object = new T(std::forward<Args>(args)...);
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

bool stored(const QString &name)
{
    return SettingValueExists(SettingsGroup::Default, name);
}

QString value(const QString &name)
{
    return ReadSettingValue(SettingsGroup::Default, name);
}

void put(const QString &name, const QString &text)
{
    QVERIFY(WriteSettingValue(SettingsGroup::Default, name, text));
}

} // namespace

class TestControlState : public QObject
{
    Q_OBJECT
private slots:
    void formWalkNamesAndSkipsTopLevelOnlyKinds()
    {
        QDialog form;
        form.setObjectName("TestFrm");
        auto group = named<QGroupBox>("OptionsGrp", &form);
        auto check = named<QCheckBox>("UpperChk", group);
        auto combo = named<QComboBox>("ListCBx", group);
        combo->addItems({"a", "b"});
        combo->setCurrentIndex(1);
        auto panel = named<QFrame>("InnerPnl", &form);
        auto hidden = named<QCheckBox>("HiddenChk", panel);
        auto edit = named<QLineEdit>("NameEdt", &form);
        auto speed = named<QToolButton>("DownBtn", &form);
        speed->setCheckable(true);
        speed->setChecked(true);
        auto radio = named<QRadioButton>("OneRdb", group);
        radio->setChecked(true);
        auto unnamed = new QCheckBox(&form);
        unnamed->setChecked(true);
        check->setChecked(true);
        hidden->setChecked(true);
        edit->setText("hello");

        SaveControlState(&form);
        QCOMPARE(value("Tarnwick.TestFrm.OptionsGrp.UpperChk"), QString("1"));
        QCOMPARE(value("Tarnwick.TestFrm.OptionsGrp.OneRdb"), QString("1"));
        QCOMPARE(value("Tarnwick.TestFrm.NameEdt"), QString("hello"));
        QCOMPARE(value("Tarnwick.TestFrm.DownBtn"), QString("1"));
        QVERIFY(!stored("Tarnwick.TestFrm.OptionsGrp.ListCBx"));
        QVERIFY(!stored("Tarnwick.TestFrm.InnerPnl.HiddenChk"));
        QVERIFY(!stored("Tarnwick.TestFrm.HiddenChk"));
        QVERIFY(!stored("Tarnwick.TestFrm.InnerPnl.Color"));

        check->setChecked(false);
        edit->clear();
        speed->setChecked(false);
        LoadControlState(&form);
        QVERIFY(check->isChecked());
        QCOMPARE(edit->text(), QString("hello"));
        QVERIFY(speed->isChecked());
    }

    void pageControlWalksPagesWithTheirNames()
    {
        QDialog form;
        form.setObjectName("PagesFrm");
        auto tabs = named<QTabWidget>("PageControl", &form);
        auto page = named<QWidget>("FirstTab");
        tabs->addTab(page, "First");
        auto check = named<QCheckBox>("PageChk", page);
        check->setChecked(true);
        SaveControlState(&form);
        QCOMPARE(value("Tarnwick.PagesFrm.PageControl.FirstTab.PageChk"), QString("1"));
        check->setChecked(false);
        LoadControlState(tabs);
        QCOMPARE(check->isChecked(), false); // saved under the form's prefix, not found at top level
        LoadControlState(&form);
        QVERIFY(check->isChecked());
    }

    void directlyPassedControlsUseTheShortName()
    {
        QCheckBox check;
        check.setObjectName("PreferUpperCaseChk");
        check.setChecked(true);
        SaveControlState(&check);
        QCOMPARE(value("Tarnwick.PreferUpperCaseChk"), QString("1"));

        QAction item("Spectrograph Visible", nullptr);
        item.setObjectName("SomeMnu");
        item.setCheckable(true);
        item.setChecked(false);
        SaveControlState(&item);
        QCOMPARE(value("Tarnwick.SomeMnu"), QString("0"));
        put("Tarnwick.SomeMnu", "1");
        LoadControlState(&item);
        QVERIFY(item.isChecked());
    }

    void comboRules()
    {
        QComboBox fixed;
        fixed.setObjectName("FixedCBx");
        fixed.addItems({"10 Hz", "20 Hz", "50 Hz"});
        fixed.setCurrentIndex(2);
        SaveControlState(&fixed);
        QCOMPARE(value("Tarnwick.FixedCBx"), QString("2"));
        fixed.clear();
        fixed.addItems({"ten", "twenty", "fifty"});
        fixed.setCurrentIndex(0);
        LoadControlState(&fixed);
        QCOMPARE(fixed.currentIndex(), 2);
        put("Tarnwick.FixedCBx", "7");
        LoadControlState(&fixed);
        QCOMPARE(fixed.currentIndex(), 2); // out of the list: unchanged

        QComboBox editable;
        editable.setObjectName("PortCBx");
        editable.setEditable(true);
        editable.addItems({"7388", "7389"});
        editable.setCurrentText("7400");
        SaveControlState(&editable);
        QCOMPARE(value("Tarnwick.PortCBx"), QString("7400"));
        editable.setCurrentText("7388");
        LoadControlState(&editable);
        QCOMPARE(editable.currentText(), QString("7400"));
    }

    void radioGroupStoresItsIndex()
    {
        RadioGroupBox group("Heronpost", {"a", "b", "c"});
        group.setObjectName("HeronpostRdo");
        SaveControlState(&group);
        QCOMPARE(value("Tarnwick.HeronpostRdo"), QString("-1"));
        group.SetItemIndex(2);
        SaveControlState(&group);
        QCOMPARE(value("Tarnwick.HeronpostRdo"), QString("2"));
        group.SetItemIndex(0);
        LoadControlState(&group);
        QCOMPARE(group.ItemIndex(), 2);
        put("Tarnwick.HeronpostRdo", "-1");
        LoadControlState(&group);
        QCOMPARE(group.ItemIndex(), -1);
    }

    void missingValuesLeaveControlsAlone()
    {
        QCheckBox check;
        check.setObjectName("NeverSavedChk");
        check.setChecked(true);
        QLineEdit edit;
        edit.setObjectName("NeverSavedEdt");
        edit.setText("keep");
        LoadControlState(&check);
        LoadControlState(&edit);
        QVERIFY(check.isChecked());
        QCOMPARE(edit.text(), QString("keep"));
    }

    void unreadableNumbersStopThatControlSilently()
    {
        QFrame panel;
        panel.setObjectName("ColourPnl");
        panel.show();
        put("Tarnwick.ColourPnl.Color", "not a colour");
        put("Tarnwick.ColourPnl.Visible", "0");
        LoadControlState(&panel);
        QVERIFY(!panel.isHidden()); // stopped before visibility

        QDialog form;
        form.setObjectName("BadFrm");
        auto first = named<QCheckBox>("FirstChk", &form);
        auto second = named<QCheckBox>("SecondChk", &form);
        put("Tarnwick.BadFrm.FirstChk", "yes");
        put("Tarnwick.BadFrm.SecondChk", "1");
        LoadControlState(&form);
        QVERIFY(!first->isChecked());
        QVERIFY(second->isChecked()); // the next control still restores

        QPlainTextEdit memo;
        memo.setObjectName("BadMmo");
        memo.setPlainText("untouched");
        put("Tarnwick.BadMmo.LinesCount", "two");
        LoadControlState(&memo);
        QCOMPARE(memo.toPlainText(), QString("untouched"));
    }

    void panelColourAndVisibility()
    {
        CaptionPanel panel;
        panel.setObjectName("SqlPnl");
        panel.SetColor(QColor(255, 0, 0));
        panel.hide();
        SaveControlState(&panel);
        QCOMPARE(value("Tarnwick.SqlPnl.Color"), QString::number(0x0000FF));
        QCOMPARE(value("Tarnwick.SqlPnl.Visible"), QString("0"));
        put("Tarnwick.SqlPnl.Color", QString::number(0xFF0000)); // blue
        put("Tarnwick.SqlPnl.Visible", "1");
        LoadControlState(&panel);
        QCOMPARE(panel.Color(), QColor(0, 0, 255));
        QVERIFY(!panel.isHidden());
    }

    void memoLinesRoundTrip()
    {
        QPlainTextEdit memo;
        memo.setObjectName("NotesMmo");
        memo.setPlainText("first\nsecond\n\nfourth");
        SaveControlState(&memo);
        QCOMPARE(value("Tarnwick.NotesMmo.LinesCount"), QString("4"));
        QCOMPARE(value("Tarnwick.NotesMmo.Line3"), QString("fourth"));
        memo.setPlainText("other");
        LoadControlState(&memo);
        QCOMPARE(memo.toPlainText(), QString("first\nsecond\n\nfourth"));

        put("Tarnwick.NotesMmo.LinesCount", "2");
        LoadControlState(&memo);
        QCOMPARE(memo.toPlainText(), QString("first\nsecond"));
    }

    void popupItemCaptions()
    {
        QMenu menu;
        menu.setObjectName("ScalePpp");
        QAction *zoom = menu.addAction("Zoom In");
        menu.addSeparator();
        QAction *add = menu.addAction("Add Freq Marker");
        SaveControlState(&menu);
        QCOMPARE(value("Tarnwick.ScalePpp.Item0"), QString("Zoom In"));
        QCOMPARE(value("Tarnwick.ScalePpp.Item1"), QString("-"));
        QCOMPARE(value("Tarnwick.ScalePpp.Item2"), QString("Add Freq Marker"));
        zoom->setText("changed");
        add->setText("changed too");
        put("Tarnwick.ScalePpp.Item2", "Nouveau");
        LoadControlState(&menu);
        QCOMPARE(zoom->text(), QString("Zoom In"));
        QCOMPARE(add->text(), QString("Nouveau"));
        QVERIFY(menu.actions().at(1)->isSeparator());
    }

    void listBoxIsSavedButNeverRestored()
    {
        QListWidget list;
        list.setObjectName("GroupsLBx");
        list.addItems({"BEACON", "CHANNEL"});
        list.setCurrentRow(1);
        SaveControlState(&list);
        QCOMPARE(value("Tarnwick.GroupsLBx.ItemIndex"), QString("1"));
        QCOMPARE(value("Tarnwick.GroupsLBx.ItemsCount"), QString("2"));
        QCOMPARE(value("Tarnwick.GroupsLBx.Item1"), QString("CHANNEL"));
        list.clear();
        LoadControlState(&list);
        QCOMPARE(list.count(), 0);
    }
};

TARNWICK_TEST_CLASS(TestControlState)
#include "tst_controlstate.moc"
