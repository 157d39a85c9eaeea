#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class RadioGroupBox;

// "12 kHz", "3 MHz", "50 Hz": whole MHz from 1000000 Hz, whole kHz from
// 1000 Hz, else hertz.
QString TuneStepText(int hz);

// Whether a key press (Qt key code and modifiers) is the keystroke of the
// given "To begin frequency inputting" item. The modifiers must be exactly
// the required set: Ctrl together with Shift is not Ctrl.
bool DigiScaleKeystrokeMatches(int item, int key, Qt::KeyboardModifiers modifiers);

// The preferences dialog. Its controls are the live preferences: other
// windows read them directly when they need them.
class TOptionsFrm : public QDialog
{
    Q_OBJECT
public:
    explicit TOptionsFrm(QWidget *parent = nullptr);

    // Step of the selected item in hertz.
    int CwTuneStep() const;
    int FmTuneStep() const;
    int WfmTuneStep() const;
    bool IsDigiScaleKeystroke(int key, Qt::KeyboardModifiers modifiers) const;
    // "Release PTT after N minutes": N, or 0 when off.
    int TransmitTimeoutMinutes() const;

    // The controls kept in the settings store, in a fixed order.
    const QList<QObject *> &StoredControls() const { return stored; }
    // Every option back to its first-run value.
    void SetDefaults();

    void done(int result) override;

    QTabWidget *PageControl = nullptr;
    RadioGroupBox *InitSynchronRdo = nullptr;
    QComboBox *CwTuneStepCBx = nullptr;
    QComboBox *FmTuneStepCBx = nullptr;
    QComboBox *WfmTuneStepCbx = nullptr;
    QLabel *FastCwTuneLbl = nullptr;
    QLabel *VyFastCwTuneLbl = nullptr;
    QLabel *FastFmTuneLbl = nullptr;
    QLabel *VyFastFmTuneLbl = nullptr;
    QLabel *FastWfmTuneLbl = nullptr;
    QLabel *VyFastWfmTuneLbl = nullptr;
    QComboBox *DigiScaleKeystrokeCBx = nullptr;
    QComboBox *ScaleDblClkCBx = nullptr;
    QComboBox *SliderDblClkCBx = nullptr;
    QComboBox *MouseWheelCBx = nullptr;
    QLabel *MouseWheelTxt = nullptr;
    QCheckBox *PreferUpperCaseChk = nullptr;
    QComboBox *IpAddressCBx = nullptr;
    QComboBox *PortCBx = nullptr;
    QComboBox *IpAddress2CBx = nullptr;
    QComboBox *Port2CBx = nullptr;
    QComboBox *IpAddress3CBx = nullptr;
    QComboBox *Port3CBx = nullptr;
    // The rigctld endpoint for Hamlib programs, on the same page.
    QCheckBox *RigctldChk = nullptr;
    QComboBox *RigctldAddressCBx = nullptr;
    QComboBox *RigctldPortCBx = nullptr;
    RadioGroupBox *HeronpostRdo = nullptr;
    RadioGroupBox *LinkmoorRdo = nullptr;
    QCheckBox *SpectrographAutomaticallyChk = nullptr;
    QCheckBox *RestartSpectrographChk = nullptr;
    QCheckBox *DontAnimateScaleChk = nullptr;
    QCheckBox *ShowHintMouseHoverChk = nullptr;
    QCheckBox *ShowHintMarkerSelectedChk = nullptr;
    QCheckBox *ShowAlwaysKhzChk = nullptr;
    QCheckBox *TxTimeoutChk = nullptr;
    QComboBox *TxTimeoutCBx = nullptr; // 1 to 30 minutes
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    void UpdateStepLabels();
    void MouseWheelCBxChange();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildOnConnectPage();
    void buildKeyboardPage();
    void buildMousePage();
    void buildMarkersPage();
    void buildServerPage();
    QWidget *buildRigctldBox(QWidget *page);
    void buildClientsPage();
    void buildMiscPage();
    void loadStoredControls();

    QList<QObject *> stored;
    bool hintMouseHoverAtShow = true;
    bool hintMarkerSelectedAtShow = true;
};
