#include "cat/ComSettings.h"

#include "base/BgrColor.h"
#include "base/MessageBoxes.h"
#include "base/Settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QShowEvent>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr int TextIndent = 2;
constexpr int DescriptionColumn = 50;

// Draws every item of a list through one function.
class DrawingDelegate : public QStyledItemDelegate
{
public:
    using Draw = std::function<void(QPainter *, const QStyleOptionViewItem &, const QModelIndex &)>;
    DrawingDelegate(Draw draw, QObject *parent)
        : QStyledItemDelegate(parent)
        , draw_(std::move(draw))
    {
    }
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        painter->save();
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
        painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        painter->setFont(option.font);
        draw_(painter, option, index);
        painter->restore();
    }

private:
    Draw draw_;
};

// Splits "ttyUSB10" into "ttyusb" and 10 for the natural order.
void splitName(const QString &name, QString *stem, qint64 *number, bool *hasNumber)
{
    qsizetype digits = name.size();
    while (digits > 0 && name.at(digits - 1).isDigit())
        --digits;
    *stem = name.left(digits).toLower();
    *hasNumber = digits < name.size();
    *number = *hasNumber ? name.mid(digits, 18).toLongLong() : -1;
}

QString portEntryName(const QString &entry)
{
    const qsizetype blank = entry.indexOf(u' ');
    return blank < 0 ? entry : entry.left(blank);
}

QString linuxDriverName(const QString &portName)
{
    const QFileInfo link(QStringLiteral("/sys/class/tty/") + portName + QStringLiteral("/device/driver"));
    const QString target = link.symLinkTarget();
    return target.isEmpty() ? QString() : QFileInfo(target).fileName();
}

} // namespace

QList<TPortInfo> SystemSerialPorts()
{
    QList<TPortInfo> ports;
    const auto available = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : available) {
        TPortInfo port;
        port.Name = info.portName();
        port.Description = info.description();
        port.Manufacturer = info.manufacturer();
#ifdef Q_OS_LINUX
        port.Driver = linuxDriverName(info.portName());
#endif
        ports.append(port);
    }
    return ports;
}

OwnerDrawnComboBox::OwnerDrawnComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setItemDelegate(new DrawingDelegate(
        [this](QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) {
            if (draw_)
                draw_(painter, option.rect, index.row(), option.state & QStyle::State_Selected);
        },
        this));
}

void OwnerDrawnComboBox::SetDrawItem(DrawItem draw)
{
    draw_ = std::move(draw);
    update();
}

void OwnerDrawnComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    if (draw_ && currentIndex() >= 0) {
        painter.setPen(palette().color(QPalette::Text));
        draw_(&painter, field, currentIndex(), true);
    }
}

TComSettingsFrm::TComSettingsFrm(QWidget *parent, PortSource ports)
    : QDialog(parent)
    , ports_(std::move(ports))
{
    setObjectName(QStringLiteral("ComSettingsFrm"));
    setWindowTitle(QStringLiteral("Serial Connection to Transceiver"));

    PageControl = new QTabWidget(this);
    auto *basic = new QWidget;
    auto *advanced = new QWidget;
    PageControl->addTab(basic, QStringLiteral("Basic"));
    PageControl->addTab(advanced, QStringLiteral("Advanced"));

    auto wrapped = [](const QString &text) {
        auto *label = new QLabel(text);
        label->setWordWrap(true);
        return label;
    };

    // Basic page.
    ComCBx = new QComboBox;
    ComCBx->setObjectName(QStringLiteral("ComCBx"));
    ComCBx->setEditable(true); // a device path can be typed (odd adapters, pseudo-terminals)
    ComCBx->setInsertPolicy(QComboBox::NoInsert);
    ComCBx->setMaxVisibleItems(20);
    ComCBx->setMinimumWidth(320);
    ComCBx->setItemDelegate(new DrawingDelegate(
        [this](QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) {
            drawPortItem(painter, option.rect, index.data().toString());
        },
        ComCBx));
    SpeedCBx = new OwnerDrawnComboBox;
    SpeedCBx->setObjectName(QStringLiteral("SpeedCBx"));
    SpeedCBx->addItems({QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("38400"), QStringLiteral("57600")});
    TcvrTypeCBx = new QComboBox;
    TcvrTypeCBx->setObjectName(QStringLiteral("TcvrTypeCBx"));
    DtrCBx = new OwnerDrawnComboBox;
    DtrCBx->setObjectName(QStringLiteral("DtrCBx"));
    DtrCBx->addItems({QStringLiteral("Disabled"), QStringLiteral("Enabled"), QStringLiteral("Hand-shake")});
    RtsCBx = new OwnerDrawnComboBox;
    RtsCBx->setObjectName(QStringLiteral("RtsCBx"));
    RtsCBx->addItems({QStringLiteral("Disabled"), QStringLiteral("Enabled"), QStringLiteral("Hand-shake"), QStringLiteral("Toggle")});

    SpeedCBx->SetDrawItem([this](QPainter *painter, const QRect &rect, int index, bool selected) {
        const QString text = SpeedCBx->itemText(index);
        drawLookItem(painter, rect, text, SpeedItemLook(SelectedTcvrType(), text, selected));
    });
    DtrCBx->SetDrawItem([this](QPainter *painter, const QRect &rect, int index, bool selected) {
        const QString text = DtrCBx->itemText(index);
        drawLookItem(painter, rect, text, ChoiceItemLook(SelectedTcvrType().DtrChoices, text, selected));
    });
    RtsCBx->SetDrawItem([this](QPainter *painter, const QRect &rect, int index, bool selected) {
        const QString text = RtsCBx->itemText(index);
        drawLookItem(painter, rect, text, ChoiceItemLook(SelectedTcvrType().RtsChoices, text, selected));
    });

    auto *basicLayout = new QVBoxLayout(basic);
    basicLayout->addWidget(wrapped(QStringLiteral("Connect the computer and the transceiver with a proper CAT cable first.")));
    basicLayout->addWidget(
        wrapped(QStringLiteral("Specify COM port and the communication speed. Check the settings of the transceiver.")));
    auto *lineGrid = new QGridLayout;
    lineGrid->addWidget(new QLabel(QStringLiteral("Serial line (COM port):")), 0, 0);
    lineGrid->addWidget(ComCBx, 0, 1);
    lineGrid->addWidget(new QLabel(QStringLiteral("Speed [bps]:")), 1, 0);
    lineGrid->addWidget(SpeedCBx, 1, 1);
    lineGrid->addWidget(new QLabel(QStringLiteral("DTR:")), 2, 0);
    lineGrid->addWidget(DtrCBx, 2, 1);
    lineGrid->addWidget(new QLabel(QStringLiteral("RTS:")), 3, 0);
    lineGrid->addWidget(RtsCBx, 3, 1);
    basicLayout->addLayout(lineGrid);
    auto *typeGroup = new QGroupBox(QStringLiteral("Transceiver Type"));
    auto *typeLayout = new QVBoxLayout(typeGroup);
    typeLayout->addWidget(wrapped(QStringLiteral("Specify type of the transceiver in use.")));
    typeLayout->addWidget(TcvrTypeCBx);
    typeLayout->addWidget(buildHamlibPart());
    basicLayout->addWidget(typeGroup);
    basicLayout->addStretch();

    // Advanced page.
    ShowDebugWndChk = new QCheckBox(QStringLiteral("Show debug log in window"));
    ShowDebugWndChk->setObjectName(QStringLiteral("ShowDebugWndChk"));
    SimulateConnectionChk = new QCheckBox(QStringLiteral("Simulate connection"));
    SimulateConnectionChk->setObjectName(QStringLiteral("SimulateConnectionChk"));
    SaveLogChk = new QCheckBox(QStringLiteral("Save debug log to Desktop"));
    SaveLogChk->setObjectName(QStringLiteral("SaveLogChk"));
    auto *advancedLayout = new QVBoxLayout(advanced);
    advancedLayout->addWidget(ShowDebugWndChk);
    advancedLayout->addWidget(wrapped(QStringLiteral(
        "This option shows a small window in the top right corner. The window contains a log of the CAT communication "
        "and some other information. It can be particularly useful in case of connection problems. ")));
    advancedLayout->addWidget(SimulateConnectionChk);
    advancedLayout->addWidget(wrapped(QStringLiteral(
        "With this option checked the application will not try to connect to TCVR. Instead, it will mimic the "
        "connection. This can be useful when you need to exercise or learn some of the features but the TCVR or the "
        "cable is not available at the moment.")));
    advancedLayout->addWidget(SaveLogChk);
    advancedLayout->addWidget(wrapped(QStringLiteral(
        "This option enables to create a log file to the Desktop. The log contains CAT communication and some other "
        "information. Convenient for sending to author in case of problems.")));
    advancedLayout->addStretch();

    OkBtn = new QPushButton(QStringLiteral("Connect >>>"));
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Stay Offline"));
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addLayout(buttons);

    connect(OkBtn, &QPushButton::clicked, this, &TComSettingsFrm::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TComSettingsFrm::reject);
    connect(ComCBx, &QComboBox::activated, this, [this] { ComCBxChange(); });
    connect(TcvrTypeCBx, &QComboBox::currentIndexChanged, this, [this] { TcvrTypeCBxChange(); });

    FormCreate();
}

void TComSettingsFrm::FormCreate()
{
    SelectedPort.clear();
    for (const TTcvrType &type : TcvrTypes)
        TcvrTypeCBx->addItem(type.Model);
    TcvrTypeCBx->addItems({HamlibRowText, NetworkRowText});
    readHamlibSettings();
    TcvrTypeCBx->setCurrentIndex(0);
    DtrCBx->setCurrentIndex(0);
    RtsCBx->setCurrentIndex(0);
    SpeedCBx->setCurrentIndex(0);

    const QString tcvr = ReadSetting(QStringLiteral("Tcvr"));
    if (!tcvr.isEmpty()) {
        // An unknown model keeps the first row: every reader needs a valid one.
        const int row = TcvrTypeCBx->findText(tcvr);
        TcvrTypeCBx->setCurrentIndex(row >= 0 ? row : 0);
    }
    SelectedPort = ReadSetting(QStringLiteral("Com"));
    const QString speed = ReadSetting(QStringLiteral("Speed"));
    if (!speed.isEmpty())
        SpeedCBx->setCurrentIndex(SpeedCBx->findText(speed));
    // Out-of-range indexes leave the first item, so the link never gets a
    // control-line mode the list does not offer.
    const int dtr = ReadIntSetting(QStringLiteral("Dtr"), 0);
    DtrCBx->setCurrentIndex(dtr >= 0 && dtr < DtrCBx->count() ? dtr : 0);
    const int rts = ReadIntSetting(QStringLiteral("Rts"), 0);
    RtsCBx->setCurrentIndex(rts >= 0 && rts < RtsCBx->count() ? rts : 0);
}

bool TComSettingsFrm::PortNameLess(const QString &a, const QString &b)
{
    QString stemA, stemB;
    qint64 numberA = 0, numberB = 0;
    bool hasA = false, hasB = false;
    splitName(a, &stemA, &numberA, &hasA);
    splitName(b, &stemB, &numberB, &hasB);
    if (stemA != stemB)
        return stemA < stemB;
    if (numberA != numberB)
        return numberA < numberB;
    return a < b;
}

QStringList TComSettingsFrm::FallbackPortNames()
{
    QStringList names;
#ifdef Q_OS_WIN
    for (int i = 1; i <= 30; ++i)
        names << QStringLiteral("COM%1").arg(i);
#else
    for (int i = 0; i < 30; ++i)
        names << QStringLiteral("ttyS%1").arg(i);
#endif
    return names;
}

bool TComSettingsFrm::EnumerateComPorts(QStringList &list) const
{
    bool found = false;
    const QList<TPortInfo> ports = ports_ ? ports_() : QList<TPortInfo>();
    for (const TPortInfo &port : ports) {
        if (port.Name.isEmpty())
            continue;
        const QString entry = port.Name + QStringLiteral(" (") + port.Description + QStringLiteral(", ") + port.Driver
                              + QStringLiteral(", ") + port.Manufacturer + u')';
        // Before the first entry that does not sort below it: equal names keep
        // the order in which they were found.
        qsizetype at = 0;
        while (at < list.size() && PortNameLess(portEntryName(list.at(at)), port.Name))
            ++at;
        list.insert(at, entry);
        found = true;
    }
    return found;
}

void TComSettingsFrm::FormShow()
{
    PageControl->setCurrentIndex(0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ComCBx->clear();
    QStringList entries;
    if (!EnumerateComPorts(entries))
        for (const QString &name : FallbackPortNames())
            entries << name + QStringLiteral(" (no more info)");
    ComCBx->addItems(entries);

    ComCBx->setCurrentIndex(-1);
    ComCBx->setEditText(QString());
    if (!SelectedPort.isEmpty()) {
        int found = -1;
        for (int i = 0; i < ComCBx->count() && found < 0; ++i)
            if (ComCBx->itemText(i).startsWith(SelectedPort + u' '))
                found = i;
        if (found < 0) {
            // A typed device path that exists (a pseudo-terminal) is listed as
            // itself; any other port the machine no longer has is marked.
            const bool presentPath = SelectedPort.contains(u'/') && QFileInfo::exists(SelectedPort);
            ComCBx->addItem(presentPath ? SelectedPort : SelectedPort + QStringLiteral(" (Port doesn't exist any longer)"));
            found = ComCBx->count() - 1;
        }
        ComCBx->setCurrentIndex(found);
    }
    QApplication::restoreOverrideCursor();
    TcvrTypeCBxChange();
    OkBtn->setFocus();
}

void TComSettingsFrm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TComSettingsFrm::ComCBxChange()
{
    if (ComCBx->currentIndex() >= 0)
        SelectedPort = portEntryName(ComCBx->currentText());
}

void TComSettingsFrm::TcvrTypeCBxChange()
{
    showHamlibPart();
    SpeedCBx->update();
    DtrCBx->update();
    RtsCBx->update();
}

QString TComSettingsFrm::portFromBox() const
{
    const QString text = ComCBx->currentText().trimmed();
    if (text.isEmpty())
        return QString();
    if (ComCBx->findText(text, Qt::MatchExactly) >= 0)
        return portEntryName(text);
    return text; // typed by hand: a name or a device path
}

void TComSettingsFrm::accept()
{
    if (!hamlibChoiceComplete())
        return;
    // A radio on the network needs no port of this computer.
    const QString port = portFromBox();
    if (port.isEmpty() && rowKind() != RowKind::Network) {
        ShowInformation(this, QStringLiteral("No COM port selected."));
        return;
    }
    if (!port.isEmpty())
        SelectedPort = port;
    OkBtnClick();
    QDialog::accept();
}

void TComSettingsFrm::OkBtnClick()
{
    WriteSetting(QStringLiteral("Tcvr"), TcvrTypeCBx->currentText());
    WriteSetting(QStringLiteral("Com"), SelectedPort);
    WriteSetting(QStringLiteral("Speed"), SpeedCBx->currentText());
    WriteSetting(QStringLiteral("Dtr"), QString::number(DtrCBx->currentIndex()));
    WriteSetting(QStringLiteral("Rts"), QString::number(RtsCBx->currentIndex()));
    writeHamlibSettings();
}

bool TComSettingsFrm::PresetPortAndModel(const QString &port, const QString &model)
{
    if (!port.isEmpty())
        SelectedPort = port;
    if (model.isEmpty())
        return true;
    const int row = TcvrTypeCBx->findText(model.toUpper());
    if (row < 0)
        return false;
    TcvrTypeCBx->setCurrentIndex(row);
    return true;
}

int TComSettingsFrm::TcvrTypeIndex() const
{
    const int row = TcvrTypeCBx->currentIndex();
    return row >= 0 && row < TcvrTypeCount ? row : 0;
}

const TTcvrType &TComSettingsFrm::SelectedTcvrType() const
{
    return rowKind() == RowKind::BuiltIn ? TcvrTypeAt(TcvrTypeIndex()) : hamlibType_;
}

TSerialSettings TComSettingsFrm::SerialSettings() const
{
    TSerialSettings settings;
    settings.Port = SelectedPort;
    settings.TcvrIndex = TcvrTypeIndex();
    settings.SpeedText = SpeedCBx->currentText();
    settings.Dtr = qMax(0, DtrCBx->currentIndex());
    settings.Rts = qMax(0, RtsCBx->currentIndex());
    settings.HamlibModel = HamlibModel();
    if (rowKind() == RowKind::Network)
        settings.Port = RigctldAddressEdt->text().trimmed();
    return settings;
}

TLogHeader TComSettingsFrm::LogHeader() const
{
    const TSerialSettings serial = SerialSettings();
    const QString tcvr = rowKind() == RowKind::BuiltIn
                             ? TcvrTypeCBx->currentText()
                             : QStringLiteral("%1: %2 %3 (%4)")
                                   .arg(TcvrTypeCBx->currentText(), hamlibType_.Maker, hamlibType_.Model)
                                   .arg(serial.HamlibModel);
    return TLogHeader{serial.Port, ComCBx->currentText(), SpeedCBx->currentText(), tcvr, DtrCBx->currentText(),
                      RtsCBx->currentText()};
}

TItemLook TComSettingsFrm::SpeedItemLook(const TTcvrType &type, const QString &entry, bool selected)
{
    TItemLook look;
    if (entry == type.DefaultSpeed)
        look.Note = QStringLiteral("(tcvr default)");
    if (!type.Speeds.contains(entry)) {
        look.Note = QStringLiteral("(not available)");
        look.Italic = true;
        look.Grey = !selected;
    }
    return look;
}

TItemLook TComSettingsFrm::ChoiceItemLook(const QString &choices, const QString &entry, bool selected)
{
    TItemLook look;
    if (!choices.contains(entry)) {
        look.Italic = true;
        look.Grey = !selected;
    }
    return look;
}

void TComSettingsFrm::drawLookItem(QPainter *painter, const QRect &rect, const QString &text, const TItemLook &look) const
{
    painter->save();
    QFont font = painter->font();
    font.setItalic(look.Italic);
    painter->setFont(font);
    if (look.Grey)
        painter->setPen(QColor(128, 128, 128));
    const QRect area = rect.adjusted(TextIndent, 0, 0, 0);
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, text);
    if (!look.Note.isEmpty()) {
        const int after = painter->fontMetrics().horizontalAdvance(text) + 4;
        painter->drawText(area.adjusted(after, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, look.Note);
    }
    painter->restore();
}

void TComSettingsFrm::drawPortItem(QPainter *painter, const QRect &rect, const QString &entry) const
{
    const QRect area = rect.adjusted(TextIndent, 0, 0, 0);
    const qsizetype bracket = entry.indexOf(u'(');
    if (bracket < 0) {
        painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, entry);
        return;
    }
    const QString name = entry.left(bracket);
    painter->drawText(area, Qt::AlignLeft | Qt::AlignVCenter, name);
    // The descriptions form a column; Linux names wider than the column push
    // it right instead of overwriting the name.
    const int column = qMax(DescriptionColumn, painter->fontMetrics().horizontalAdvance(name.trimmed()) + 6);
    painter->drawText(rect.adjusted(column, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, entry.mid(bracket, 512));
}
