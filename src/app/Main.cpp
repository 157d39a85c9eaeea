#include "app/Main.h"

#include "base/BgrColor.h"
#include "base/Folders.h"
#include "base/MessageBoxes.h"
#include "app/Options.h"
#include "base/SettingValues.h"
#include "base/Settings.h"
#include "base/Widgets.h"
#include "cat/CatEngine.h"
#include "cat/Radio.h"
#include "cat/CatLog.h"
#include "cat/ComSettings.h"
#include "cat/DebugWindow.h"
#include "controls/MeterReadings.h"
#include "controls/RadioScale.h"
#include "remote/TcpServer.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

namespace {

const QString ScriptRunningMessage = QStringLiteral(
    "Zov can't be switched off while a script is running.\nWait until the script finishes or click PROG button "
    "again\nto interrupt the execution.\n\nIf you unhappily created an endless loop in your script\nyou will have "
    "to kill Zov brutally with Windows Task Manager.");

QString boolText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

TTarnwickFrm::TTarnwickFrm(QWidget *parent)
    : QWidget(parent)
    , CatLog(std::make_unique<TCatLog>())
{
    setWindowTitle(ApplicationTitle());
    buildComponents();
    OptionsFrm = new TOptionsFrm(this);
    createCatLink();

    connect(CatBtn, &QToolButton::clicked, this, &TTarnwickFrm::CatBtnClick);
    connect(PwrBtn, &QToolButton::clicked, this, &TTarnwickFrm::PwrBtnClick);
    connect(MenuBtn, &QToolButton::clicked, this, &TTarnwickFrm::MenuBtnClick);
    connect(PreferencesMnu, &QAction::triggered, this, &TTarnwickFrm::PreferencesMnuClick);
    connect(SpectroscopVisibleMnu, &QAction::triggered, this, &TTarnwickFrm::SpectroscopVisibleMnuClick);
    connect(ToolsVisibleMnu, &QAction::triggered, this, &TTarnwickFrm::ToolsVisibleMnuClick);
    connect(HideAllControlsMnu, &QAction::triggered, this, &TTarnwickFrm::HideAllControlsMnuClick);
    connect(AboutZov1, &QAction::triggered, this, [this] {
        ShowInformation(this, ApplicationTitle() + QStringLiteral(" ") + FileVersionText());
    });
    connect(DisconnectAndTerminateTmr, &QTimer::timeout, this, &TTarnwickFrm::DisconnectAndTerminateTmrTimer);
    qApp->installEventFilter(this);

    FormCreate();
}

TTarnwickFrm::~TTarnwickFrm()
{
    qApp->removeEventFilter(this);
    FormDestroy();
}

void TTarnwickFrm::FormCreate()
{
    setMinimumWidth(420);
    RestoreLeft = DesignLeft;
    RestoreWidth = DesignWidth;
    RestoreTop = DesignTop;
    RestoreHeight = DesignHeight;

    HeronpostProcess = {};
    LinkmoorProcess = {};
    ActivatedOnce = false;

    FqEdt->hide();
    DeleteFqMarkerBtn->hide();
    FqMarkerNameLbl->hide();

    SpectroGraphPnl->setVisible(ReadIntSetting(QStringLiteral("SpectrographVisible"), 1) != 0);
    ToolsPnl->setVisible(ReadIntSetting(QStringLiteral("ToolsVisible"), 1) != 0);
    applyMinimumHeight();
    SpectroscopVisibleMnu->setChecked(!SpectroGraphPnl->isHidden());
    ToolsVisibleMnu->setChecked(!ToolsPnl->isHidden());

    // A hand-edited or foreign size never makes a window larger than the
    // screen: one of 65535 x 65535 draws nothing and is saved again.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QRect workArea = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    TStoredGeometry stored;
    stored.Top = ReadIntSetting(QStringLiteral("Top"), DesignTop);
    stored.Left = ReadIntSetting(QStringLiteral("Left"), DesignLeft);
    stored.Height = ReadIntSetting(QStringLiteral("Height"), -1);
    stored.Width = ReadIntSetting(QStringLiteral("Width"), -1);
    const QRect restored = RestoredWindowRect(stored, workArea, size(), minimumSize());
    move(restored.topLeft());

    CatBtn->setToolTip(QStringLiteral("Connect to TCVR (CAT)\nHold down Ctrl to modify settings"));

    resize(restored.size());

    SetStatus(TCatEngine::OfflineStatus);

    for (QToolButton *key : std::as_const(BandButtons)) {
        key->setText(QString());
        BandGroup->Add(key);
        key->setAttribute(Qt::WA_AlwaysShowToolTips, true);
    }
    for (int i = 0; i < ModeButtons.size(); ++i) {
        QToolButton *key = ModeButtons.at(i);
        key->setText(ModeNames[i]);
        ModeGroup->Add(key);
        connect(key, &QToolButton::clicked, this, [this, key] { ModeChanged(key); });
    }
    // The scale, the digital display and the band plan; the band keys run
    // BandChanged and open AllBandsPpp from here on.
    SetupScaleAndBands();
    SetupScan();
    // The PROG keys and their hints from the script files.
    SetupScripts();
    SetupTcp();

    UpdateSpectrographTmr->setInterval(250);
}

void TTarnwickFrm::FormShow()
{
    ApplyBandPlan();
    ApplyModeSegments();
    UpdateLitState();
}

void TTarnwickFrm::FormActivate()
{
    if (ActivatedOnce)
        return;
    ActivatedOnce = true;
    MainPanelResize();

    // ActivateScale presses the mode key of the last run and tunes the scale.
    LastMode = ReadSetting(QStringLiteral("LastMode"));
    LastFreq = LastFreqFromSetting(ReadSetting(QStringLiteral("LastFreq")));
    const bool connectAtStart = !SettingExists(QStringLiteral("Connected"))
        || ReadSetting(QStringLiteral("Connected")) == QLatin1String("1");
    lastRunRead = true;
    ActivateScale();
    StartTcpServer();
    StartClientPrograms();

    CatBtn->setChecked(connectAtStart);
    repaint();
    if (CatBtn->isChecked() && !AdvancedSerialOptionsChecked())
        Connect();
    UpdateLitState();
    ApplyRigctldOptions();
}

bool TTarnwickFrm::FormCloseQuery()
{
    // A script asked to stop runs on until it ends: still refused.
    if (BlinkingButtonTmr->isActive() || ScriptRunning()) {
        ShowInformation(this, ScriptRunningMessage);
        return false;
    }
    if (!TcpCloseQuery())
        return false;
    if (HideAllControlsMnu->isChecked()) {
        leaveScaleOnly();
        QCoreApplication::processEvents();
    }
    return true;
}

void TTarnwickFrm::leaveScaleOnly()
{
    HideAllControlsMnu->setChecked(false);
    HideAllControlsMnuClick();
}

void TTarnwickFrm::writeWindowSetting(const QString &name, const QString &value)
{
    if (WriteSetting(name, value) || settingsFailureReported)
        return;
    settingsFailureReported = true;
    SetStatus(QStringLiteral("Settings can't be saved to ") + SettingsLocation(), 255, true);
}

void TTarnwickFrm::FormClose()
{
    if (closed)
        return;
    closed = true;
    // A serial dialog still open (closing while it asks) goes with the window.
    if (ComSettingsFrm->isVisible())
        ComSettingsFrm->reject();
    DebugFrm->close();
    StopRigctld();
    StopTcpServer();
    // A session ended without a close query (logout) still saves the panels
    // and the height of the whole window, not those of "Only Scale Visible".
    if (HideAllControlsMnu->isChecked())
        leaveScaleOnly();
    // Closed before the first activation (a SIGTERM while a first-run box is
    // open): the operator's last frequency, mode and link state were never
    // read, so they are not overwritten with what the window holds.
    if (lastRunRead)
        writeWindowSetting(QStringLiteral("Connected"), boolText(CatBtn->isChecked()));
    // With the rigctld and TCP clients gone, transmit-off goes out before
    // anything else, and the port closes only once it was answered (or the
    // wait ran out): nothing leaves the radio keyed.
    CatEngine->TransmitOffBeforeExit(TransmitOffWaitMs);
    if (IsConnected())
        Disconnect();
    if (lastRunRead) {
        LastFreq = RadioScale->Frequency();
        writeWindowSetting(QStringLiteral("LastFreq"), QString::number(LastFreq));
        writeWindowSetting(QStringLiteral("LastMode"), CurrentMode());
    }
    // Geometry and panels were read when the window was made.
    writeWindowSetting(QStringLiteral("Top"), QString::number(y()));
    writeWindowSetting(QStringLiteral("Height"), QString::number(height()));
    writeWindowSetting(QStringLiteral("Left"), QString::number(x()));
    writeWindowSetting(QStringLiteral("Width"), QString::number(width()));
    writeWindowSetting(QStringLiteral("SpectrographVisible"), boolText(!SpectroGraphPnl->isHidden()));
    writeWindowSetting(QStringLiteral("ToolsVisible"), boolText(!ToolsPnl->isHidden()));
    SaveMarkers();
}

void TTarnwickFrm::FormDestroy()
{
    if (destroyed)
        return;
    destroyed = true;
    CatEngine->Stop();
}

void TTarnwickFrm::SetStatus(const QString &text, quint32 color, bool bold)
{
    StatusBarPnl->SetFontColor(bgrToColor(color));
    QFont font = StatusBarPnl->font();
    font.setBold(bold);
    StatusBarPnl->setFont(font);
    StatusBarPnl->SetCaption(WithAmpersandsShown(text.left(255)));
    CatLog->WriteStatusLine(text);
}

QString TTarnwickFrm::StatusText() const
{
    return StatusBarPnl->Caption();
}

void TTarnwickFrm::UpdateLitState()
{
    const bool connected = IsConnected();
    CatBtn->setChecked(connected);
    emit LitStateChanged(connected);
    if (!connected)
        SetSqlState(0);
}

void TTarnwickFrm::SetSqlState(int state)
{
    const SqlIndicatorLook look = sqlIndicatorLook(state);
    SqlRcvTxPnl->SetColor(bgrToColor(look.colorBgr));
    SqlRcvTxPnl->SetCaption(look.caption);
}

int TTarnwickFrm::GetSqlState() const
{
    return sqlStateFromCaption(SqlRcvTxPnl->Caption());
}

QString TTarnwickFrm::CurrentMode() const
{
    QAbstractButton *down = ModeGroup->Down();
    return down ? down->text() : QString();
}

int TTarnwickFrm::MinClientHeight() const
{
    int height = MainPanel->height() + 122;
    if (!SpectroGraphPnl->isHidden())
        height += SpectroGraphPnl->height();
    if (!ToolsPnl->isHidden())
        height += ToolsPnl->height();
    return height;
}

void TTarnwickFrm::applyMinimumHeight()
{
    setMinimumHeight(MinClientHeight());
}

void TTarnwickFrm::CatBtnClick()
{
    if (!CatBtn->isChecked()) {
        // Given up before the link was proven: the next connect asks again.
        const TLinkPhase link = Radio->State().Link();
        if (link == TLinkPhase::Opening || link == TLinkPhase::Checking || link == TLinkPhase::Retrying)
            writeWindowSetting(QStringLiteral("ConnectSuccess"), QStringLiteral("0"));
        Disconnect();
    } else {
        Connect();
    }
    UpdateLitState();
}

void TTarnwickFrm::PwrBtnClick()
{
    PwrBtn->setDown(true);
    close();
    // A refused close (a script runs) leaves the window open: let the key up.
    if (isVisible())
        PwrBtn->setDown(false);
}

void TTarnwickFrm::MenuBtnClick()
{
    MainMenuPpp->popup(QCursor::pos());
}

void TTarnwickFrm::PreferencesMnuClick()
{
    MenuBtn->setDown(true);
    if (OptionsFrm->exec() == QDialog::Accepted) {
        ApplyTcpPreferences();
        emit PreferencesApplied();
    }
    MenuBtn->setDown(false);
}

void TTarnwickFrm::setPanelShown(QWidget *panel, bool shown)
{
    const int panelHeight = panel->height();
    panel->setVisible(shown);
    applyMinimumHeight();
    resize(width(), height() + (shown ? panelHeight : -panelHeight));
}

void TTarnwickFrm::SpectroscopVisibleMnuClick()
{
    setPanelShown(SpectroGraphPnl, SpectroscopVisibleMnu->isChecked());
}

void TTarnwickFrm::ToolsVisibleMnuClick()
{
    setPanelShown(ToolsPnl, ToolsVisibleMnu->isChecked());
}

void TTarnwickFrm::HideAllControlsMnuClick()
{
    const bool wasVisible = isVisible();
    const int panelHeight = MainPanel->height();
    if (HideAllControlsMnu->isChecked()) {
        spectrographBeforeScaleOnly = SpectroscopVisibleMnu->isChecked();
        toolsBeforeScaleOnly = ToolsVisibleMnu->isChecked();
        setWindowFlag(Qt::FramelessWindowHint, true);
        if (SpectroscopVisibleMnu->isChecked())
            SpectroscopVisibleMnu->trigger();
        if (ToolsVisibleMnu->isChecked())
            ToolsVisibleMnu->trigger();
        MainPanel->hide();
        setMinimumHeight(0);
        resize(width(), height() - panelHeight);
    } else {
        resize(width(), height() + panelHeight);
        setWindowFlag(Qt::FramelessWindowHint, false);
        MainPanel->show();
        // Exactly the panels shown before come back: a panel the operator
        // had hidden stays hidden.
        if (SpectroscopVisibleMnu->isChecked() != spectrographBeforeScaleOnly)
            SpectroscopVisibleMnu->trigger();
        if (ToolsVisibleMnu->isChecked() != toolsBeforeScaleOnly)
            ToolsVisibleMnu->trigger();
    }
    // Changing the border re-creates the native window, which hides it.
    if (wasVisible)
        show();
}

void TTarnwickFrm::DisconnectAndTerminateTmrTimer()
{
    close();
}

void TTarnwickFrm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (shownOnce)
        return;
    shownOnce = true;
    FormShow();
    // Some window managers (and none at all) never activate the window;
    // the first activation must run all the same.
    QTimer::singleShot(0, this, &TTarnwickFrm::FormActivate);
}

void TTarnwickFrm::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && shownOnce)
        FormActivate();
}

void TTarnwickFrm::closeEvent(QCloseEvent *event)
{
    if (closed) {
        event->accept();
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

bool TTarnwickFrm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == MainPanel && event->type() == QEvent::Resize)
        MainPanelResize();
    if (event->type() == QEvent::MouseMove) {
        auto mouse = static_cast<QMouseEvent *>(event);
        trackMouseMove(watched, mouse->globalPosition().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}

void TTarnwickFrm::trackMouseMove(QObject *watched, const QPoint &globalPos)
{
    auto widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return;
    const bool overScale = widget == ScalePnl || ScalePnl->isAncestorOf(widget);
    if (!overScale && globalPos != lastMousePos)
        emit MouseMovedOffScale();
    lastMousePos = globalPos;
}
