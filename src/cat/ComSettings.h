#pragma once

#include "cat/CatLog.h"
#include "cat/SerialLink.h"

#include <QComboBox>
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;

// One serial port present on the machine.
struct TPortInfo
{
    QString Name;         // "ttyUSB0", "COM3"
    QString Description;
    QString Driver;
    QString Manufacturer;
};

// The ports the system reports (QSerialPortInfo; on Linux the driver name
// comes from /sys/class/tty/NAME/device/driver).
QList<TPortInfo> SystemSerialPorts();

// How a list entry is drawn: a note after its text, italics, grey.
struct TItemLook
{
    QString Note;
    bool Italic = false;
    bool Grey = false;
};

// A combo box whose items (in the list and in the closed box) are painted by
// one drawing function, like the owner-drawn lists of the dialog.
class OwnerDrawnComboBox : public QComboBox
{
    Q_OBJECT
public:
    using DrawItem = std::function<void(QPainter *, const QRect &, int index, bool selected)>;
    explicit OwnerDrawnComboBox(QWidget *parent = nullptr);
    void SetDrawItem(DrawItem draw);
    const DrawItem &drawItem() const { return draw_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    DrawItem draw_;
};

// "Serial Connection to Transceiver": port, speed, model, DTR and RTS, and the
// simulation and logging switches. Created once; keeps its values between uses.
class TComSettingsFrm : public QDialog
{
    Q_OBJECT
public:
    using PortSource = std::function<QList<TPortInfo>()>;

    explicit TComSettingsFrm(QWidget *parent = nullptr, PortSource ports = SystemSerialPorts);

    QTabWidget *PageControl = nullptr;
    QComboBox *ComCBx = nullptr;
    OwnerDrawnComboBox *SpeedCBx = nullptr;
    QComboBox *TcvrTypeCBx = nullptr;
    OwnerDrawnComboBox *DtrCBx = nullptr;
    OwnerDrawnComboBox *RtsCBx = nullptr;
    QCheckBox *SimulateConnectionChk = nullptr;
    QCheckBox *ShowDebugWndChk = nullptr;
    QCheckBox *SaveLogChk = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    // The chosen port: a name such as "ttyUSB0" or a typed device path.
    QString SelectedPort;

    // Entries "NAME (description, driver, manufacturer)" of the ports present,
    // sorted naturally by name and number; false when none was found.
    bool EnumerateComPorts(QStringList &list) const;
    // Fills the port list the way showing the dialog does.
    void FormShow();
    void ComCBxChange();
    void TcvrTypeCBxChange();
    void OkBtnClick();

    // From the command line (--port, --model): preset before the first show.
    // False when the model names no row (the selection is then kept).
    bool PresetPortAndModel(const QString &port, const QString &model);

    // The row of TcvrTypes selected in the type list (always a valid row).
    int TcvrTypeIndex() const;
    const TTcvrType &SelectedTcvrType() const;
    // What the link and the log read at the moment of use.
    TSerialSettings SerialSettings() const;
    TLogHeader LogHeader() const;

    // --- radios through Hamlib (ComSettingsHamlib.cpp): two rows after the
    // built-in models, a searchable list of Hamlib's models for the first,
    // the address of a rigctld for the second.
    static const QString HamlibRowText;  // "Other radio (Hamlib)"
    static const QString NetworkRowText; // "Radio on the network (rigctld)"
    QWidget *HamlibPnl = nullptr;
    QLineEdit *HamlibSearchEdt = nullptr;
    QTreeWidget *HamlibModelsLst = nullptr; // maker, model, number
    QWidget *NetworkPnl = nullptr;
    QLineEdit *RigctldAddressEdt = nullptr;
    // The Hamlib model of the chosen row: the list's choice, NET rigctl for
    // the network, 0 for a built-in model.
    int HamlibModel() const;
    // From the command line: "--hamlib" (a model number) and "--rigctl HOST:PORT".
    void PresetHamlib(int model);
    void PresetRigctl(const QString &address);
    // Shows the models whose maker, model name or number contain every word.
    void SearchHamlibModels(const QString &text);

    static TItemLook SpeedItemLook(const TTcvrType &type, const QString &entry, bool selected);
    static TItemLook ChoiceItemLook(const QString &choices, const QString &entry, bool selected);
    // Natural order of port names: "COM3" before "COM10", "ttyS2" before "ttyUSB0".
    static bool PortNameLess(const QString &a, const QString &b);
    // The port names offered when the system reports none.
    static QStringList FallbackPortNames();

    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void drawPortItem(QPainter *painter, const QRect &rect, const QString &entry) const;
    void drawLookItem(QPainter *painter, const QRect &rect, const QString &text, const TItemLook &look) const;
    QString portFromBox() const;

    enum class RowKind { BuiltIn, Hamlib, Network };
    RowKind rowKind() const;
    QWidget *buildHamlibPart();
    void readHamlibSettings();
    void writeHamlibSettings() const;
    // The parts, lists and speeds that the chosen row offers.
    void showHamlibPart();
    void chooseHamlibModel(int model);
    // False, with a message, while the chosen row misses its model or address.
    bool hamlibChoiceComplete();

    PortSource ports_;
    int hamlibModel_ = 0;
    TTcvrType hamlibType_ = TcvrTypes[0];
};
