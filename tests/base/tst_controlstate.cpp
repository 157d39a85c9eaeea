#include "base/ControlState.h"
#include "base/Settings.h"
#include "base/Widgets.h"
#include "common/TestEnvironment.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

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
    WriteSettingValue(SettingsGroup::Default, name, text);
}

} // namespace

class TestControlState : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::clearSettings(); }

    // Containers pass their name on; panels are not walked into; combo
    // boxes, panels, lists and memos count at top level only.
    void formWalkNamesRoundTripAndSkips()
    {
        QDialog form;
        form.setObjectName("TestFrm");
        auto group = named<QGroupBox>("OptionsGrp", &form);
        auto check = named<QCheckBox>("UpperChk", group);
        auto radio = named<QRadioButton>("OneRdb", group);
        auto combo = named<QComboBox>("ListCBx", group);
        combo->addItems({"a", "b"});
        auto panel = named<QFrame>("InnerPnl", &form);
        auto hidden = named<QCheckBox>("HiddenChk", panel);
        auto edit = named<QLineEdit>("NameEdt", &form);
        auto speed = named<QToolButton>("DownBtn", &form);
        named<QToolButton>("PlainBtn", &form);
        auto tabs = named<QTabWidget>("PageControl", &form);
        auto page = named<QWidget>("FirstTab");
        tabs->addTab(page, "First");
        auto onPage = named<QCheckBox>("PageChk", page);
        auto owned = named<QDialog>("OwnedFrm", &form);
        auto ownedCheck = named<QCheckBox>("OwnedChk", owned);
        auto unnamed = new QCheckBox(&form);
        speed->setCheckable(true);
        const QList<QAbstractButton *> ticked = {check, radio, hidden, speed, onPage, ownedCheck, unnamed};
        for (QAbstractButton *button : ticked)
            button->setChecked(true);
        edit->setText("hello");

        SaveControlState(&form);
        for (const char *name : {"TestFrm.OptionsGrp.UpperChk", "TestFrm.OptionsGrp.OneRdb", "TestFrm.DownBtn",
                                 "TestFrm.PageControl.FirstTab.PageChk"})
            QCOMPARE(value(QString("Tarnwick.") + name), QString("1"));
        QCOMPARE(value("Tarnwick.TestFrm.NameEdt"), QString("hello"));
        for (const char *name : {"TestFrm.OptionsGrp.ListCBx", "TestFrm.InnerPnl.HiddenChk", "TestFrm.HiddenChk",
                                 "TestFrm.InnerPnl.Color", "TestFrm.PlainBtn", "TestFrm.OwnedFrm.OwnedChk"})
            QVERIFY2(!stored(QString("Tarnwick.") + name), name);

        for (QAbstractButton *button : ticked)
            button->setChecked(false);
        edit->clear();
        LoadControlState(tabs); // the page control alone has another prefix: nothing found
        QVERIFY(!onPage->isChecked());
        LoadControlState(&form);
        QVERIFY(check->isChecked() && speed->isChecked() && onPage->isChecked());
        QCOMPARE(edit->text(), QString("hello"));
    }

    void directlyPassedControlsUseTheShortName()
    {
        QAction item("Spectrograph Visible", nullptr);
        item.setObjectName("SomeMnu");
        item.setCheckable(true);
        SaveControlState(&item);
        QCOMPARE(value("Tarnwick.SomeMnu"), QString("0"));
        put("Tarnwick.SomeMnu", "1");
        LoadControlState(&item);
        QVERIFY(item.isChecked());

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

    // A fixed list and a radio group of three items, both at item 1, read a
    // stored index: one naming an item is applied, any other keeps item 1.
    void storedListIndexAtTheBoundsOfTheList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::newRow("first") << "0" << 0;
        QTest::newRow("last") << "2" << 2;
        QTest::newRow("one past the last") << "3" << 1;
        QTest::newRow("none") << "-1" << 1;
        QTest::newRow("far out") << "7" << 1;
        QTest::newRow("not a number") << "two" << 1;
    }
    void storedListIndexAtTheBoundsOfTheList()
    {
        QFETCH(QString, text);
        QFETCH(int, index);
        QComboBox fixed;
        fixed.setObjectName("FixedCBx");
        fixed.addItems({"10 Hz", "20 Hz", "50 Hz"});
        fixed.setCurrentIndex(1);
        RadioGroupBox group("Heronpost", {"a", "b", "c"});
        group.setObjectName("HeronpostRdo");
        group.SetItemIndex(1);
        SaveControlState(&fixed);
        SaveControlState(&group);
        QCOMPARE(value("Tarnwick.FixedCBx") + value("Tarnwick.HeronpostRdo"), QString("11"));
        put("Tarnwick.FixedCBx", text);
        put("Tarnwick.HeronpostRdo", text);
        LoadControlState(&fixed);
        LoadControlState(&group);
        QCOMPARE(fixed.currentIndex(), index);
        QCOMPARE(group.ItemIndex(), index);
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
        QCOMPARE(value("Tarnwick.ScalePpp.Item1"), QString("-"));
        QCOMPARE(value("Tarnwick.ScalePpp.Item2"), QString("Add Freq Marker"));
        zoom->setText("changed");
        put("Tarnwick.ScalePpp.Item1", "Not a separator");
        put("Tarnwick.ScalePpp.Item2", "Nouveau");
        LoadControlState(&menu);
        QCOMPARE(zoom->text(), QString("Zoom In"));
        QCOMPARE(add->text(), QString("Nouveau"));
        QVERIFY(menu.actions().at(1)->isSeparator() && menu.actions().at(1)->text().isEmpty());
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
