#include "base/ControlState.h"

#include "base/BgrColor.h"
#include "base/Folders.h"
#include "base/Settings.h"
#include "base/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

namespace {

enum class Kind {
    None,
    Form,
    PageControl,
    TabSheet,
    GroupBox,
    CheckBox,
    SpeedButton,
    MenuItem,
    RadioButton,
    RadioGroup,
    Edit,
    PopupMenu,
    ComboBox,
    Panel,
    ListBox,
    Memo,
};

bool isTabSheet(const QWidget *widget)
{
    // Pages of a QTabWidget live inside its internal stack.
    const QWidget *stack = widget->parentWidget();
    const QWidget *tabs = stack ? stack->parentWidget() : nullptr;
    auto pageControl = qobject_cast<const QTabWidget *>(tabs);
    return pageControl && pageControl->indexOf(const_cast<QWidget *>(widget)) >= 0;
}

Kind kindOf(QObject *object)
{
    if (auto action = qobject_cast<QAction *>(object))
        return action->isCheckable() ? Kind::MenuItem : Kind::None;
    auto widget = qobject_cast<QWidget *>(object);
    if (!widget)
        return Kind::None;
    if (qobject_cast<QMenu *>(widget))
        return Kind::PopupMenu;
    if (qobject_cast<QCheckBox *>(widget))
        return Kind::CheckBox;
    if (qobject_cast<QRadioButton *>(widget))
        return Kind::RadioButton;
    if (auto button = qobject_cast<QToolButton *>(widget))
        return button->isCheckable() ? Kind::SpeedButton : Kind::None;
    if (qobject_cast<RadioGroupBox *>(widget))
        return Kind::RadioGroup;
    if (qobject_cast<QGroupBox *>(widget))
        return Kind::GroupBox;
    if (qobject_cast<QTabWidget *>(widget))
        return Kind::PageControl;
    if (qobject_cast<QLineEdit *>(widget))
        return Kind::Edit;
    if (qobject_cast<QComboBox *>(widget))
        return Kind::ComboBox;
    if (qobject_cast<QListWidget *>(widget))
        return Kind::ListBox;
    if (qobject_cast<QPlainTextEdit *>(widget))
        return Kind::Memo;
    if (qobject_cast<CaptionPanel *>(widget) || widget->metaObject() == &QFrame::staticMetaObject)
        return Kind::Panel;
    if (widget->isWindow())
        return Kind::Form;
    if (isTabSheet(widget))
        return Kind::TabSheet;
    return Kind::None;
}

QList<QObject *> childrenToWalk(QObject *container, Kind kind)
{
    QList<QObject *> result;
    if (kind == Kind::PageControl) {
        auto tabs = static_cast<QTabWidget *>(container);
        for (int i = 0; i < tabs->count(); ++i)
            result << tabs->widget(i);
        return result;
    }
    for (QObject *child : container->children()) {
        auto widget = qobject_cast<QWidget *>(child);
        // Dialogs and other windows owned by a form are forms of their own.
        if (widget && !widget->isWindow())
            result << child;
        else if (qobject_cast<QMenu *>(child))
            result << child;
    }
    return result;
}

QString boolText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

// Whether a write of the current save failed (saving runs on the window's
// thread only).
bool writeFailed = false;

void write(const QString &name, const QString &value)
{
    if (!WriteSettingValue(SettingsGroup::Default, name, value))
        writeFailed = true;
}

bool exists(const QString &name)
{
    return SettingValueExists(SettingsGroup::Default, name);
}

QString read(const QString &name)
{
    return ReadSettingValue(SettingsGroup::Default, name);
}

// Reads a stored number; false when it exists but cannot be read.
bool readInt(const QString &name, int *value)
{
    bool ok = false;
    *value = read(name).trimmed().toInt(&ok);
    return ok;
}

// A stored item index that names no item (-1, hand-edited, or a list that
// has since become shorter) would leave a blank selection: the control keeps
// its item, which is its default when nothing else was restored.
bool inList(int index, int count)
{
    return index >= 0 && index < count;
}

QString itemCaption(const QAction *action)
{
    return action->isSeparator() ? QStringLiteral("-") : action->text();
}

bool isContainer(Kind kind)
{
    return kind == Kind::Form || kind == Kind::PageControl || kind == Kind::TabSheet || kind == Kind::GroupBox;
}

bool isTopLevelOnly(Kind kind)
{
    return kind == Kind::ComboBox || kind == Kind::Panel || kind == Kind::ListBox || kind == Kind::Memo;
}

// Calls visit(control, kind, value name) for control and every stored control
// inside it; containers only pass their name on to their children. Saving
// and loading share this walk, so a value is read back under the name it
// was written with.
void walk(QObject *control, const QString &prefix, bool topLevel,
          void (*visit)(QObject *control, Kind kind, const QString &name))
{
    const Kind kind = kindOf(control);
    if (kind == Kind::None || control->objectName().isEmpty())
        return;
    if (isTopLevelOnly(kind) && !topLevel)
        return;
    const QString name = prefix + '.' + control->objectName();
    if (isContainer(kind)) {
        for (QObject *child : childrenToWalk(control, kind))
            walk(child, name, false, visit);
        return;
    }
    visit(control, kind, name);
}

void save(QObject *control, Kind kind, const QString &name)
{
    switch (kind) {
    case Kind::CheckBox:
    case Kind::RadioButton:
    case Kind::SpeedButton:
        write(name, boolText(static_cast<QAbstractButton *>(control)->isChecked()));
        break;
    case Kind::MenuItem:
        write(name, boolText(static_cast<QAction *>(control)->isChecked()));
        break;
    case Kind::RadioGroup:
        write(name, QString::number(static_cast<RadioGroupBox *>(control)->ItemIndex()));
        break;
    case Kind::Edit:
        write(name, static_cast<QLineEdit *>(control)->text());
        break;
    case Kind::PopupMenu: {
        const QList<QAction *> items = static_cast<QMenu *>(control)->actions();
        for (int i = 0; i < items.size(); ++i)
            write(name + ".Item" + QString::number(i), itemCaption(items.at(i)));
        break;
    }
    case Kind::ComboBox: {
        auto combo = static_cast<QComboBox *>(control);
        write(name, combo->isEditable() ? combo->currentText() : QString::number(combo->currentIndex()));
        break;
    }
    case Kind::Panel: {
        auto panel = static_cast<QFrame *>(control);
        write(name + ".Color", QString::number(colorToBgr(PanelColor(panel))));
        write(name + ".Visible", boolText(!panel->isHidden()));
        break;
    }
    case Kind::ListBox: {
        auto list = static_cast<QListWidget *>(control);
        write(name + ".ItemIndex", QString::number(list->currentRow()));
        write(name + ".ItemsCount", QString::number(list->count()));
        for (int i = 0; i < list->count(); ++i)
            write(name + ".Item" + QString::number(i), list->item(i)->text());
        break;
    }
    case Kind::Memo: {
        const QString text = static_cast<QPlainTextEdit *>(control)->toPlainText();
        const QStringList lines = text.isEmpty() ? QStringList() : text.split('\n');
        write(name + ".LinesCount", QString::number(lines.size()));
        for (int i = 0; i < lines.size(); ++i)
            write(name + ".Line" + QString::number(i), lines.at(i));
        break;
    }
    default:
        break;
    }
}

void load(QObject *control, Kind kind, const QString &name)
{
    int number = 0;
    switch (kind) {
    case Kind::CheckBox:
    case Kind::RadioButton:
    case Kind::SpeedButton:
        if (exists(name) && readInt(name, &number))
            static_cast<QAbstractButton *>(control)->setChecked(number != 0);
        break;
    case Kind::MenuItem:
        if (exists(name) && readInt(name, &number))
            static_cast<QAction *>(control)->setChecked(number != 0);
        break;
    case Kind::RadioGroup: {
        auto group = static_cast<RadioGroupBox *>(control);
        if (exists(name) && readInt(name, &number) && inList(number, group->Count()))
            group->SetItemIndex(number);
        break;
    }
    case Kind::Edit:
        if (exists(name))
            static_cast<QLineEdit *>(control)->setText(read(name));
        break;
    case Kind::PopupMenu: {
        const QList<QAction *> items = static_cast<QMenu *>(control)->actions();
        for (int i = 0; i < items.size(); ++i) {
            const QString itemName = name + ".Item" + QString::number(i);
            if (exists(itemName) && !items.at(i)->isSeparator())
                items.at(i)->setText(read(itemName));
        }
        break;
    }
    case Kind::ComboBox: {
        auto combo = static_cast<QComboBox *>(control);
        if (!exists(name))
            break;
        if (combo->isEditable())
            combo->setCurrentText(read(name));
        else if (readInt(name, &number) && inList(number, combo->count()))
            combo->setCurrentIndex(number);
        break;
    }
    case Kind::Panel: {
        auto panel = static_cast<QFrame *>(control);
        if (exists(name + ".Color")) {
            if (!readInt(name + ".Color", &number))
                break;
            SetPanelColor(panel, bgrToColor(quint32(number)));
        }
        if (exists(name + ".Visible")) {
            if (!readInt(name + ".Visible", &number))
                break;
            panel->setVisible(number != 0);
        }
        break;
    }
    case Kind::Memo: {
        auto memo = static_cast<QPlainTextEdit *>(control);
        if (!exists(name + ".LinesCount") || !readInt(name + ".LinesCount", &number))
            break;
        // The lines are stored one after another: a count beyond them (a
        // hand-edited 2000000000) ends at the first missing one.
        QStringList lines;
        for (int i = 0; i < number; ++i) {
            const QString lineName = name + ".Line" + QString::number(i);
            if (!exists(lineName))
                break;
            lines << read(lineName);
        }
        memo->setPlainText(lines.join('\n'));
        break;
    }
    default: // list boxes are stored for the record only
        break;
    }
}

QString rootPrefix()
{
    QString prefix = ApplicationTitle();
    prefix.remove(' ');
    return prefix;
}

} // namespace

bool SaveControlState(QObject *control)
{
    writeFailed = false;
    if (control)
        walk(control, rootPrefix(), true, save);
    return !writeFailed;
}

void LoadControlState(QObject *control)
{
    if (control)
        walk(control, rootPrefix(), true, load);
}
