#include "app/Options.h"

#include "base/ControlState.h"
#include "base/MessageBoxes.h"
#include "base/Settings.h"
#include "base/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const int CwSteps[] = {10, 20, 50, 100, 200};
const int FmSteps[] = {100, 200, 500, 1000, 2000};
const int WfmSteps[] = {1000, 2000, 5000, 10000, 20000};

int stepOf(const QComboBox *box, const int (&steps)[5])
{
    const int index = box->currentIndex();
    return steps[index >= 0 && index < 5 ? index : 0];
}

QComboBox *makeList(QWidget *parent, const char *name, const QStringList &items)
{
    auto box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    return box;
}

QComboBox *makeEditable(QWidget *parent, const char *name, const QStringList &items)
{
    QComboBox *box = makeList(parent, name, items);
    box->setEditable(true);
    return box;
}

QCheckBox *makeCheck(QWidget *parent, const char *name, const QString &caption)
{
    auto box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QWidget *makePage(QTabWidget *tabs, const char *name, const QString &caption)
{
    auto page = new QWidget;
    page->setObjectName(QString::fromLatin1(name));
    tabs->addTab(page, caption);
    return page;
}

} // namespace

QString TuneStepText(int hz)
{
    if (hz >= 1000000)
        return QString::number(hz / 1000000) + QStringLiteral(" MHz");
    if (hz >= 1000)
        return QString::number(hz / 1000) + QStringLiteral(" kHz");
    return QString::number(hz) + QStringLiteral(" Hz");
}

bool DigiScaleKeystrokeMatches(int item, int key, Qt::KeyboardModifiers modifiers)
{
    // Keypad origin is not a modifier the user chose; Alt and Meta are.
    const Qt::KeyboardModifiers relevant =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool none = relevant == Qt::NoModifier;
    const bool ctrlAlone = relevant == Qt::ControlModifier;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    switch (item) {
    case 1:
        return key == Qt::Key_Space && none;
    case 2:
        return key == Qt::Key_Space && ctrlAlone;
    case 3:
        return enter && none;
    case 4:
        return enter && ctrlAlone;
    case 5:
        return key == Qt::Key_F && ctrlAlone;
    default:
        return false;
    }
}

TOptionsFrm::TOptionsFrm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("OptionsFrm"));
    setWindowTitle(QStringLiteral("Options"));

    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setUsesScrollButtons(false); // all seven page tabs stay in sight
    buildOnConnectPage();
    buildKeyboardPage();
    buildMousePage();
    buildMarkersPage();
    buildServerPage();
    buildClientsPage();
    buildMiscPage();
    PageControl->setCurrentIndex(0);

    OkBtn = new QPushButton(QStringLiteral("Ok"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addLayout(buttons);

    stored = {InitSynchronRdo, CwTuneStepCBx, FmTuneStepCBx, WfmTuneStepCbx, DigiScaleKeystrokeCBx,
              ScaleDblClkCBx, SliderDblClkCBx, MouseWheelCBx, PreferUpperCaseChk,
              IpAddressCBx, PortCBx, IpAddress2CBx, Port2CBx, IpAddress3CBx, Port3CBx,
              HeronpostRdo, LinkmoorRdo, SpectrographAutomaticallyChk, RestartSpectrographChk,
              DontAnimateScaleChk, ShowAlwaysKhzChk,
              RigctldChk, RigctldAddressCBx, RigctldPortCBx, TxTimeoutChk, TxTimeoutCBx};

    connect(CwTuneStepCBx, &QComboBox::currentIndexChanged, this, &TOptionsFrm::UpdateStepLabels);
    connect(FmTuneStepCBx, &QComboBox::currentIndexChanged, this, &TOptionsFrm::UpdateStepLabels);
    connect(WfmTuneStepCbx, &QComboBox::currentIndexChanged, this, &TOptionsFrm::UpdateStepLabels);
    connect(MouseWheelCBx, &QComboBox::currentIndexChanged, this, &TOptionsFrm::MouseWheelCBxChange);

    SetDefaults();
    loadStoredControls();
    UpdateStepLabels();
    MouseWheelCBxChange();
}

void TOptionsFrm::buildOnConnectPage()
{
    QWidget *page = makePage(PageControl, "OnConnectTab", QStringLiteral("On Connect"));
    InitSynchronRdo = new RadioGroupBox(QStringLiteral("Initial synchronization (fq, mode)"),
                                        {QStringLiteral("TCVR -> PC"), QStringLiteral("PC -> TCVR")}, page);
    InitSynchronRdo->setObjectName(QStringLiteral("InitSynchronRdo"));
    auto layout = new QVBoxLayout(page);
    layout->addWidget(InitSynchronRdo);
    layout->addStretch();
}

void TOptionsFrm::buildKeyboardPage()
{
    QWidget *page = makePage(PageControl, "KeyboardTuningTab", QStringLiteral("Keyboard Tuning"));

    auto slider = new QGroupBox(QStringLiteral("Moving slider of the analog frequency scale"), page);
    slider->setObjectName(QStringLiteral("SliderGrp"));
    CwTuneStepCBx = makeList(slider, "CwTuneStepCBx",
                             {"10 Hz", "20 Hz", "50 Hz", "100 Hz", "200 Hz"});
    FmTuneStepCBx = makeList(slider, "FmTuneStepCBx",
                             {"100 Hz", "200 Hz", "500 Hz", "1 kHz", "2 kHz"});
    WfmTuneStepCbx = makeList(slider, "WfmTuneStepCbx",
                              {"1 kHz", "2 kHz", "5 kHz", "10 kHz", "20 kHz"});
    auto readOnly = [slider](const char *name) {
        auto label = new QLabel(slider);
        label->setObjectName(QString::fromLatin1(name));
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        return label;
    };
    FastCwTuneLbl = readOnly("FastCwTuneLbl");
    VyFastCwTuneLbl = readOnly("VyFastCwTuneLbl");
    FastFmTuneLbl = readOnly("FastFmTuneLbl");
    VyFastFmTuneLbl = readOnly("VyFastFmTuneLbl");
    FastWfmTuneLbl = readOnly("FastWfmTuneLbl");
    VyFastWfmTuneLbl = readOnly("VyFastWfmTuneLbl");

    auto grid = new QGridLayout(slider);
    grid->addWidget(new QLabel(QStringLiteral("CW/LSB/USB:"), slider), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("AM/FM:"), slider), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("WFM:"), slider), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("[Left / Right]   ..............................."), slider), 1, 0);
    grid->addWidget(CwTuneStepCBx, 1, 1);
    grid->addWidget(FmTuneStepCBx, 1, 2);
    grid->addWidget(WfmTuneStepCbx, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("[Shift] + [Left / Right]   .................."), slider), 2, 0);
    grid->addWidget(FastCwTuneLbl, 2, 1);
    grid->addWidget(FastFmTuneLbl, 2, 2);
    grid->addWidget(FastWfmTuneLbl, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("[Ctrl] + [Shift] + [Left / Right]   ......."), slider), 3, 0);
    grid->addWidget(VyFastCwTuneLbl, 3, 1);
    grid->addWidget(VyFastFmTuneLbl, 3, 2);
    grid->addWidget(VyFastWfmTuneLbl, 3, 3);
    grid->addWidget(new QLabel(QStringLiteral("[Ctrl] + [Left / Right]   ...................."), slider), 4, 0);
    grid->addWidget(new QLabel(QStringLiteral("(Find previous / next frequency marker)"), slider), 4, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("These settings also affect tuning with the mouse wheel. "), slider),
                    5, 0, 1, 4);

    auto entry = new QGroupBox(QStringLiteral("Enter frequency using the digital frequency scale"), page);
    entry->setObjectName(QStringLiteral("DigiScaleGrp"));
    DigiScaleKeystrokeCBx = makeList(entry, "DigiScaleKeystrokeCBx",
                                     {"<None>", "Space", "Ctrl+Space", "Enter", "Ctrl+Enter", "Ctrl+F"});
    auto entryGrid = new QGridLayout(entry);
    entryGrid->addWidget(new QLabel(QStringLiteral("To begin frequency inputting:"), entry), 0, 0);
    entryGrid->addWidget(DigiScaleKeystrokeCBx, 0, 1);
    entryGrid->addWidget(new QLabel(QStringLiteral("Press [Enter] or [Esc] key to end the inputting."), entry),
                         1, 0, 1, 2);

    auto layout = new QVBoxLayout(page);
    layout->addWidget(slider);
    layout->addWidget(entry);
    layout->addStretch();
}

void TOptionsFrm::buildMousePage()
{
    QWidget *page = makePage(PageControl, "MouseTab", QStringLiteral("Mouse"));
    ScaleDblClkCBx = makeList(page, "ScaleDblClkCBx", {"<Nothing>", "Zoom out"});
    SliderDblClkCBx = makeList(page, "SliderDblClkCBx", {"<Nohing>", "Zoom in", "New Frequency Marker"});
    MouseWheelCBx = makeList(page, "MouseWheelCBx",
                             {"<Nothing>", "Tune", "Zoom", "Change band", "Scroll band horizontally"});
    MouseWheelTxt = new QLabel(page);
    MouseWheelTxt->setObjectName(QStringLiteral("MouseWheelTxt"));
    MouseWheelTxt->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto grid = new QGridLayout(page);
    grid->addWidget(new QLabel(QStringLiteral("Mouse double-click on the analog scale, out of the slider:"), page), 0, 0);
    grid->addWidget(ScaleDblClkCBx, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Mouse double-click on the analog scale, within the slider:"), page), 1, 0);
    grid->addWidget(SliderDblClkCBx, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Mouse wheel:"), page), 2, 0);
    grid->addWidget(MouseWheelCBx, 2, 1);
    grid->addWidget(MouseWheelTxt, 3, 1);
    grid->setRowStretch(4, 1);
}

void TOptionsFrm::buildMarkersPage()
{
    QWidget *page = makePage(PageControl, "FrequencyMarkersTab", QStringLiteral("Frequency Markers"));
    PreferUpperCaseChk = makeCheck(page, "PreferUpperCaseChk", QStringLiteral("Prefer uppercase"));
    auto layout = new QVBoxLayout(page);
    layout->addWidget(PreferUpperCaseChk);
    layout->addStretch();
}

void TOptionsFrm::buildServerPage()
{
    QWidget *page = makePage(PageControl, "ZovServerTab", QStringLiteral("Zov Server"));
    const QStringList addresses = {QStringLiteral("127.0.0.1")};
    const QStringList ports = {QStringLiteral("7388"), QStringLiteral("7389"), QStringLiteral("7390")};
    IpAddressCBx = makeEditable(page, "IpAddressCBx", addresses);
    PortCBx = makeEditable(page, "PortCBx", ports);
    IpAddress2CBx = makeEditable(page, "IpAddress2CBx", addresses);
    Port2CBx = makeEditable(page, "Port2CBx", ports);
    IpAddress3CBx = makeEditable(page, "IpAddress3CBx", addresses);
    Port3CBx = makeEditable(page, "Port3CBx", ports);
    auto grid = new QGridLayout(page);
    const QList<QPair<QComboBox *, QComboBox *>> rows = {
        {IpAddressCBx, PortCBx}, {IpAddress2CBx, Port2CBx}, {IpAddress3CBx, Port3CBx}};
    for (int i = 0; i < rows.size(); ++i) {
        grid->addWidget(new QLabel(QStringLiteral("IP address:"), page), i, 0);
        grid->addWidget(rows.at(i).first, i, 1);
        grid->addWidget(new QLabel(QStringLiteral("Port:"), page), i, 2);
        grid->addWidget(rows.at(i).second, i, 3);
    }
    grid->addWidget(buildRigctldBox(page), rows.size(), 0, 1, 4);
    grid->setRowStretch(rows.size() + 1, 1);
}

// Hamlib's network protocol on a port of its own, so that WSJT-X, fldigi and
// loggers share the radio through this program ("Hamlib NET rigctl").
QWidget *TOptionsFrm::buildRigctldBox(QWidget *page)
{
    auto box = new QGroupBox(QStringLiteral("Hamlib programs (rigctld)"), page);
    box->setObjectName(QStringLiteral("RigctldGrp"));
    RigctldChk = makeCheck(box, "RigctldChk",
                           QStringLiteral("Share the radio with WSJT-X, fldigi and loggers (rig \"Hamlib NET rigctl\")"));
    RigctldAddressCBx = makeEditable(box, "RigctldAddressCBx", {QStringLiteral("127.0.0.1"), QStringLiteral("::1")});
    RigctldPortCBx = makeEditable(box, "RigctldPortCBx", {QStringLiteral("4532")});
    auto grid = new QGridLayout(box);
    grid->addWidget(RigctldChk, 0, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("IP address:"), box), 1, 0);
    grid->addWidget(RigctldAddressCBx, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Port:"), box), 1, 2);
    grid->addWidget(RigctldPortCBx, 1, 3);
    return box;
}

void TOptionsFrm::buildClientsPage()
{
    QWidget *page = makePage(PageControl, "ZovClientsTab", QStringLiteral("Zov Clients"));
    HeronpostRdo = new RadioGroupBox(QStringLiteral("Heronpost"),
                                     {QStringLiteral("Don't start/close HNP with Zov"),
                                      QStringLiteral("Start/close HNP automatically"),
                                      QStringLiteral("Start/close HNP automatically (minimized)")},
                                     page);
    HeronpostRdo->setObjectName(QStringLiteral("HeronpostRdo"));
    LinkmoorRdo = new RadioGroupBox(QStringLiteral("Linkmoor"),
                                    {QStringLiteral("Don't start/close LKR with Zov"),
                                     QStringLiteral("Start/close LKR automatically"),
                                     QStringLiteral("Start/close LKR automatically (minimized)")},
                                    page);
    LinkmoorRdo->setObjectName(QStringLiteral("LinkmoorRdo"));
    auto layout = new QVBoxLayout(page);
    layout->addWidget(HeronpostRdo);
    layout->addWidget(LinkmoorRdo);
    layout->addStretch();
}

void TOptionsFrm::buildMiscPage()
{
    QWidget *page = makePage(PageControl, "MiscellaneousTab", QStringLiteral("Miscellaneous"));
    SpectrographAutomaticallyChk =
        makeCheck(page, "SpectrographAutomaticallyChk", QStringLiteral("Start Spectrograph automatically"));
    RestartSpectrographChk =
        makeCheck(page, "RestartSpectrographChk", QStringLiteral("Restart Spectrograph on frequency change"));
    DontAnimateScaleChk = makeCheck(page, "DontAnimateScaleChk", QStringLiteral("Don't animate scale (slow comps)"));
    ShowHintMouseHoverChk = makeCheck(page, "ShowHintMouseHoverChk",
                                      QStringLiteral("Show details while mouse hovers over freq marker"));
    ShowHintMarkerSelectedChk =
        makeCheck(page, "ShowHintMarkerSelectedChk", QStringLiteral("Show details when freq marker selected"));
    ShowAlwaysKhzChk = makeCheck(page, "ShowAlwaysKhzChk", QStringLiteral("Digital scale always shows kHz"));
    TxTimeoutChk = makeCheck(page, "TxTimeoutChk", QStringLiteral("Release PTT after"));
    QStringList minutes;
    for (int n = 1; n <= 30; ++n)
        minutes << QString::number(n);
    TxTimeoutCBx = makeList(page, "TxTimeoutCBx", minutes);
    auto layout = new QVBoxLayout(page);
    for (QCheckBox *box : {SpectrographAutomaticallyChk, RestartSpectrographChk, DontAnimateScaleChk,
                           ShowHintMouseHoverChk, ShowHintMarkerSelectedChk, ShowAlwaysKhzChk})
        layout->addWidget(box);
    auto timeout = new QHBoxLayout;
    timeout->addWidget(TxTimeoutChk);
    timeout->addWidget(TxTimeoutCBx);
    timeout->addWidget(new QLabel(QStringLiteral("minutes"), page));
    timeout->addStretch();
    layout->addLayout(timeout);
    layout->addStretch();
}

void TOptionsFrm::SetDefaults()
{
    InitSynchronRdo->SetItemIndex(0);
    CwTuneStepCBx->setCurrentIndex(0);
    FmTuneStepCBx->setCurrentIndex(0);
    WfmTuneStepCbx->setCurrentIndex(0);
    DigiScaleKeystrokeCBx->setCurrentIndex(1);
    ScaleDblClkCBx->setCurrentIndex(1);
    SliderDblClkCBx->setCurrentIndex(1);
    MouseWheelCBx->setCurrentIndex(1);
    PreferUpperCaseChk->setChecked(true);
    IpAddressCBx->setCurrentText(QStringLiteral("127.0.0.1"));
    PortCBx->setCurrentText(QStringLiteral("7388"));
    IpAddress2CBx->setCurrentText(QStringLiteral("127.0.0.1"));
    Port2CBx->setCurrentText(QStringLiteral("7389"));
    IpAddress3CBx->setCurrentText(QStringLiteral("127.0.0.1"));
    Port3CBx->setCurrentText(QStringLiteral("7390"));
    RigctldChk->setChecked(false);
    RigctldAddressCBx->setCurrentText(QStringLiteral("127.0.0.1"));
    RigctldPortCBx->setCurrentText(QStringLiteral("4532"));
    HeronpostRdo->SetItemIndex(0);
    LinkmoorRdo->SetItemIndex(0);
    SpectrographAutomaticallyChk->setChecked(true);
    RestartSpectrographChk->setChecked(true);
    DontAnimateScaleChk->setChecked(false);
    ShowHintMouseHoverChk->setChecked(true);
    ShowHintMarkerSelectedChk->setChecked(true);
    ShowAlwaysKhzChk->setChecked(false);
    TxTimeoutChk->setChecked(false);
    TxTimeoutCBx->setCurrentIndex(4);
}

void TOptionsFrm::loadStoredControls()
{
    for (QObject *control : std::as_const(stored))
        LoadControlState(control);
}

int TOptionsFrm::CwTuneStep() const
{
    return stepOf(CwTuneStepCBx, CwSteps);
}

int TOptionsFrm::FmTuneStep() const
{
    return stepOf(FmTuneStepCBx, FmSteps);
}

int TOptionsFrm::WfmTuneStep() const
{
    return stepOf(WfmTuneStepCbx, WfmSteps);
}

int TOptionsFrm::TransmitTimeoutMinutes() const
{
    return TxTimeoutChk->isChecked() ? TxTimeoutCBx->currentIndex() + 1 : 0;
}

bool TOptionsFrm::IsDigiScaleKeystroke(int key, Qt::KeyboardModifiers modifiers) const
{
    return DigiScaleKeystrokeMatches(DigiScaleKeystrokeCBx->currentIndex(), key, modifiers);
}

void TOptionsFrm::UpdateStepLabels()
{
    FastCwTuneLbl->setText(TuneStepText(CwTuneStep() * 10));
    VyFastCwTuneLbl->setText(TuneStepText(CwTuneStep() * 100));
    FastFmTuneLbl->setText(TuneStepText(FmTuneStep() * 10));
    VyFastFmTuneLbl->setText(TuneStepText(FmTuneStep() * 100));
    FastWfmTuneLbl->setText(TuneStepText(WfmTuneStep() * 10));
    VyFastWfmTuneLbl->setText(TuneStepText(WfmTuneStep() * 100));
}

void TOptionsFrm::MouseWheelCBxChange()
{
    switch (MouseWheelCBx->currentIndex()) {
    case 1:
        MouseWheelTxt->setText(QStringLiteral(
            "Shift+ : Tune 10x faster\nCtrl+Shift+ : Tune 100x faster\nCtrl+ : Jump to frequency marker"));
        break;
    case 3:
        MouseWheelTxt->setText(QStringLiteral("Shift+\nScroll vertically list of fq markers"));
        break;
    default:
        MouseWheelTxt->clear();
        break;
    }
}

void TOptionsFrm::showEvent(QShowEvent *event)
{
    hintMouseHoverAtShow = ShowHintMouseHoverChk->isChecked();
    hintMarkerSelectedAtShow = ShowHintMarkerSelectedChk->isChecked();
    UpdateStepLabels();
    MouseWheelCBxChange();
    QDialog::showEvent(event);
}

void TOptionsFrm::done(int result)
{
    if (result == QDialog::Accepted) {
        bool saved = true;
        for (QObject *control : std::as_const(stored))
            saved = SaveControlState(control) && saved;
        // The choices hold for this run either way; the operator learns that
        // they will be gone at the next start.
        if (!saved)
            ShowInformation(this, QStringLiteral("Settings can't be saved to ") + SettingsLocation());
    } else {
        // Back to what was last saved. Controls that were never saved go
        // back to their defaults first, so an edit of them is undone too.
        const bool hover = hintMouseHoverAtShow;
        const bool selected = hintMarkerSelectedAtShow;
        SetDefaults();
        loadStoredControls();
        ShowHintMouseHoverChk->setChecked(hover);
        ShowHintMarkerSelectedChk->setChecked(selected);
        UpdateStepLabels();
        MouseWheelCBxChange();
    }
    QDialog::done(result);
}
