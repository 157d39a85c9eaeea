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

#include <functional>
#include <memory>

namespace {

template <typename T, typename... Args>
T *named(const char *name, Args &&...args)
{
    auto object = new T(std::forward<Args>(args)...);
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

QString value(const QString &name)
{
    return ReadSettingValue(SettingsGroup::Default, "Tarnwick." + name);
}

void put(const QString &name, const QString &text)
{
    WriteSettingValue(SettingsGroup::Default, "Tarnwick." + name, text);
}

// Each kind of control passed directly, made in a state other than the
// stored one: restoring the values and saving again writes them back.
QList<QPair<std::function<QObject *()>, QStringList>> kinds()
{
    auto checkable = [](auto *b) {
        b->setCheckable(true);
        return b;
    };
    auto withItems = [](auto *c, bool editable) {
        c->setEditable(editable);
        c->addItems({"7388", "7389"});
        return c;
    };
    return {
        {[] { return named<QCheckBox>("UpperChk"); }, {"UpperChk=1"}},
        {[=] { return checkable(named<QToolButton>("DownBtn")); }, {"DownBtn=1"}},
        {[=] { return checkable(named<QAction>("SomeMnu", nullptr)); }, {"SomeMnu=1"}},
        {[] { return named<QLineEdit>("NameEdt"); }, {"NameEdt=hello"}},
        {[=] { return withItems(named<QComboBox>("PortCBx"), true); }, {"PortCBx=7400"}},
        {[=] { return withItems(named<QComboBox>("FixedCBx"), false); }, {"FixedCBx=1"}},
        {[] { return named<CaptionPanel>("SqlPnl"); }, {"SqlPnl.Color=255", "SqlPnl.Visible=1"}},
        {[] { return named<QFrame>("PlainPnl"); }, {"PlainPnl.Color=16711680", "PlainPnl.Visible=1"}},
        {[] { return named<QPlainTextEdit>("NotesMmo"); },
         {"NotesMmo.LinesCount=3", "NotesMmo.Line0=first", "NotesMmo.Line1=", "NotesMmo.Line2=third"}},
        {[] {
             auto menu = named<QMenu>("ScalePpp");
             menu->addAction("Zoom In");
             menu->addSeparator();
             return menu;
         },
         {"ScalePpp.Item0=Nouveau", "ScalePpp.Item1=-"}},
    };
}

} // namespace

class TestControlState : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::clearSettings(); }

    void everyKindRoundTrips()
    {
        for (const auto &[make, stored] : kinds()) {
            testenv::clearSettings();
            for (const QString &entry : stored)
                put(entry.section('=', 0, 0), entry.section('=', 1));
            std::unique_ptr<QObject> control(make());
            LoadControlState(control.get());
            QStringList written;
            SetSettingsWriteObserver([&written](const QString &name, const QString &text) {
                written << name.mid(9) + "=" + text;
            });
            SaveControlState(control.get());
            SetSettingsWriteObserver({});
            QCOMPARE(written, stored);
        }
        QMenu menu;
        menu.setObjectName("ScalePpp");
        menu.addSeparator();
        put("ScalePpp.Item0", "Not a separator");
        LoadControlState(&menu);
        QVERIFY(menu.actions().at(0)->text().isEmpty()); // a separator takes no caption
    }

    // Containers pass their name on; panels are not walked into; windows
    // owned by a form are forms of their own.
    void formWalkNamesAndSkips()
    {
        QDialog form;
        form.setObjectName("TestFrm");
        auto group = named<QGroupBox>("OptionsGrp", &form);
        auto check = named<QCheckBox>("UpperChk", group);
        auto radio = named<QRadioButton>("OneRdb", group);
        named<QComboBox>("ListCBx", group)->addItem("a");
        auto hidden = named<QCheckBox>("HiddenChk", named<QFrame>("InnerPnl", &form));
        named<QToolButton>("PlainBtn", &form);
        auto tabs = named<QTabWidget>("PageControl", &form);
        auto page = named<QWidget>("FirstTab");
        tabs->addTab(page, "First");
        auto onPage = named<QCheckBox>("PageChk", page);
        auto owned = named<QCheckBox>("OwnedChk", named<QDialog>("OwnedFrm", &form));
        const QList<QAbstractButton *> ticked = {check, radio, hidden, onPage, owned, new QCheckBox(&form)};
        for (QAbstractButton *button : ticked)
            button->setChecked(true);

        QStringList written;
        SetSettingsWriteObserver([&written](const QString &name, const QString &) { written << name; });
        SaveControlState(&form);
        SetSettingsWriteObserver({});
        written.sort();
        QCOMPARE(written, QStringList({"Tarnwick.TestFrm.OptionsGrp.OneRdb", "Tarnwick.TestFrm.OptionsGrp.UpperChk",
                                       "Tarnwick.TestFrm.PageControl.FirstTab.PageChk"}));
        for (QAbstractButton *button : ticked)
            button->setChecked(false);
        LoadControlState(tabs); // the page control alone has another prefix: nothing found
        QVERIFY(!onPage->isChecked());
        LoadControlState(&form);
        QVERIFY(check->isChecked() && radio->isChecked() && onPage->isChecked());
    }

    // A stored index naming an item is applied, any other keeps item 1.
    void storedListIndexAtTheBoundsOfTheList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::newRow("last") << "2" << 2;
        QTest::newRow("one past the last") << "3" << 1;
        QTest::newRow("none") << "-1" << 1;
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
        SaveControlState(&group);
        QCOMPARE(value("HeronpostRdo"), QString("1"));
        put("FixedCBx", text);
        put("HeronpostRdo", text);
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
        put("ColourPnl.Color", "not a colour");
        put("ColourPnl.Visible", "0");
        LoadControlState(&panel);
        QVERIFY(!panel.isHidden()); // stopped before visibility

        QDialog form;
        form.setObjectName("BadFrm");
        auto first = named<QCheckBox>("FirstChk", &form);
        auto second = named<QCheckBox>("SecondChk", &form);
        put("BadFrm.FirstChk", "yes");
        put("BadFrm.SecondChk", "1");
        LoadControlState(&form);
        QVERIFY(!first->isChecked());
        QVERIFY(second->isChecked()); // the next control still restores

        QPlainTextEdit memo;
        memo.setObjectName("BadMmo");
        put("BadMmo.LinesCount", "1"); // fewer lines than stored: the first ones
        put("BadMmo.Line0", "kept");
        put("BadMmo.Line1", "dropped");
        LoadControlState(&memo);
        QCOMPARE(memo.toPlainText(), QString("kept"));
        put("BadMmo.LinesCount", "2000000000"); // more than stored: those there are
        LoadControlState(&memo);
        QCOMPARE(memo.toPlainText(), QString("kept\ndropped"));
    }

    void listBoxIsSavedButNeverRestored()
    {
        QListWidget list;
        list.setObjectName("GroupsLBx");
        list.addItems({"BEACON", "CHANNEL"});
        list.setCurrentRow(1);
        SaveControlState(&list);
        QCOMPARE(value("GroupsLBx.ItemIndex") + value("GroupsLBx.Item1"), QString("1CHANNEL"));
        list.clear();
        LoadControlState(&list);
        QCOMPARE(list.count(), 0);
    }
};

TARNWICK_TEST_CLASS(TestControlState)
#include "tst_controlstate.moc"
