#pragma once

#include "base/SystemQueries.h"
#include "cat/CatEngineHost.h"
#include "cat/CommandQueue.h"
#include "cat/Radio.h"
#include "cat/RadioState.h"
#include "controls/ScaleTypes.h"

#include <QList>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <memory>

class CaptionPanel;
class MainWindowFilter;
class MainBandKeysHost;
class MainFqMarkersHost;
class TFqMarkerOps;
class TBandKeys;
class TBandsFrm;
class TDigiDisplay2;
class TModesFrm;
class TRadioScale;
class TZoomToFrm;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QSocketNotifier;
class QTimer;
class QToolButton;
class SpeedButtonGroup;
class TCatEngine;
class TCatLog;
struct TLinkSettings;
class TComSettingsFrm;
class TDebugFrm;
class TDepresz;
class TOptionsFrm;
class TRigctldServer;
class MainRigctldHost;

// The main window. It owns everything that lives longer than one call: the
// panels and keys, the timers, the dialogs and the link state. Other parts
// of the program plug their controls into its panels (the scale into
// ScalePnl, the digital display into DigiScalePnl, the meter into
// SMeterPnl, the spectrograph into SpectroGraphPnl) and their handlers into
// its keys and timers.
class TTarnwickFrm : public QWidget, public TCatEngineHost
{
    Q_OBJECT
public:
    explicit TTarnwickFrm(QWidget *parent = nullptr);
    ~TTarnwickFrm() override;

    // Design-time client size, also the size of a first run.
    static constexpr int DesignWidth = 800;
    static constexpr int DesignHeight = 372;
    static constexpr int DesignLeft = 100;
    static constexpr int DesignTop = 10;

    // --- services for the whole program
    // Status line: colour is blue-green-red (0 black, 255 red).
    void SetStatus(const QString &text, quint32 color = 0, bool bold = false);
    QString StatusText() const; // the caption as shown, "&" doubled
    void UpdateLitState();
    // Receive indicator: 0 "SQL", 1 "RX", 2 "TX".
    void SetSqlState(int state);
    int GetSqlState() const;
    // Height below which the window may not shrink.
    int MinClientHeight() const;
    // Name of the mode key that is down, empty when none.
    QString CurrentMode() const override;

    // --- CAT link (the engine, src/cat/CatEngine.h, does the work)
    bool IsConnected() const;
    const TTcvrType &GetTcvrType() const;
    void Connect();
    void Disconnect();
    void LogEvent(const QString &text);
    void MainTmrTimer();
    void ConnectionWatchdogTmrTimer();
    // Presets the serial dialog from "--port" and "--model".
    void SetCommandLineSerial(const SerialPresets &presets);
    // How the serial dialog is shown modally (tests answer it themselves);
    // true when it was left with "Connect >>>". Empty: the real dialog.
    static void SetComSettingsRunner(std::function<bool(TComSettingsFrm &)> runner);
    // Whether one of the serial dialog's advanced options (simulate, log
    // file, debug window) is ticked: the program then starts off-line.
    bool AdvancedSerialOptionsChecked() const;
    // What a connect uses: the serial dialog's controls and the preferences.
    TLinkSettings LinkSettings() const;
    // The mode key of a mode name goes down without sending anything.
    void PressModeKey(const QString &mode);
    // Moves the scale without telling the radio; a frequency no radio has is
    // ignored.
    void AssignScaleFrequency(qint32 frequency);
    // A companion program's tune request as the window shows it.
    void ShowTuneRequest(const TTuneRequest &request);

    // --- band and mode keys (the band plan and radio operations fill these in)
    void BandChanged(QObject *sender);
    void ModeChanged(QObject *sender);

    // --- radio operations (MainRadioOps.cpp)
    void PttBtnClick();
    void ABBtnClick();
    void AIsBBtnClick();
    void SplitBtnClick();
    void SetSplitState(QToolButton *key, TSplitState state);
    TSplitState GetSplitState(const QToolButton *key) const;
    // Tones in tenths of a hertz, 0 for none.
    void SetTones(int rxTone, int txTone);
    void TonesOff();
    // A marker was clicked: its mode, frequency and tones go to the radio.
    void GoToFqMarker(const TFqMarker &marker);
    // Tunes the radio to a frequency chosen in the window (scale, keyboard,
    // typed entry); tonesOff adds the CTCSS-off command after it.
    void TuneRadio(qint32 frequency, bool tonesOff, TRadio::Queueing queueing = TRadio::Queueing::Replace);
    // The scale's frequency.
    qint32 ScaleFrequency() const override;
    bool DigitalDisplayEditing() const override;
    int SelectedTcvrIndex() const override;

    // --- lifecycle
    void FormCreate();
    void FormShow();
    void FormActivate();
    bool FormCloseQuery();
    void FormClose();
    void FormDestroy();

    // --- handlers
    void CatBtnClick();
    void PwrBtnClick();
    void MenuBtnClick();
    void PreferencesMnuClick();
    void SpectroscopVisibleMnuClick();
    void ToolsVisibleMnuClick();
    void HideAllControlsMnuClick();
    void DisconnectAndTerminateTmrTimer();
    void MainPanelResize();

    // Width of a row panel that shows only whole buttons.
    static int RowPanelWidth(int available, int maxWidth, int buttonWidth);

    // --- components
    QTimer *MainTmr = nullptr;
    QTimer *ConnectionWatchdogTmr = nullptr;
    QTimer *DisconnectAndTerminateTmr = nullptr;
    QTimer *ScanTmr = nullptr;
    QTimer *UpdateSpectrographTmr = nullptr;
    QTimer *BlinkingButtonTmr = nullptr;

    QFrame *ScalePnl = nullptr;
    QFrame *MainPanel = nullptr;
    QFrame *MainButtons = nullptr;
    QToolButton *PwrBtn = nullptr;
    QToolButton *CatBtn = nullptr;
    QToolButton *MenuBtn = nullptr;
    QFrame *DigiScalePnl = nullptr;
    QLabel *MhzLbl = nullptr;
    QLabel *kHzLbl = nullptr;
    QFrame *SMeterPnl = nullptr;
    TDepresz *Depresz = nullptr;
    QLabel *DepreszLbl = nullptr;
    CaptionPanel *SqlRcvTxPnl = nullptr;
    QFrame *BandPnl = nullptr;
    QList<QToolButton *> BandButtons; // Band1Btn ... Band32Btn
    QFrame *ModePnl = nullptr;
    QList<QToolButton *> ModeButtons; // LsbBtn ... FskrBtn
    QToolButton *LsbBtn = nullptr;
    QToolButton *UsbBtn = nullptr;
    QToolButton *CwBtn = nullptr;
    QToolButton *CwrBtn = nullptr;
    QToolButton *AmBtn = nullptr;
    QToolButton *WfmBtn = nullptr;
    QToolButton *FmBtn = nullptr;
    QToolButton *DigBtn = nullptr;
    QToolButton *PktBtn = nullptr;
    QToolButton *FskBtn = nullptr;
    QToolButton *FskrBtn = nullptr;
    QFrame *SplitPnl = nullptr;
    QToolButton *ABBtn = nullptr;
    QToolButton *AIsBBtn = nullptr;
    QToolButton *SplitBtn = nullptr;
    QToolButton *PttBtn = nullptr;
    QFrame *ScanPnl = nullptr;
    QToolButton *ScanBtn = nullptr;
    QToolButton *GraphBtn = nullptr;
    QFrame *ProgramPnl = nullptr;
    QToolButton *Prog1Btn = nullptr;
    QToolButton *Prog2Btn = nullptr;
    QToolButton *Prog3Btn = nullptr;
    QFrame *ToolsPnl = nullptr;
    QToolButton *ToolButton1 = nullptr; // zoom in
    QToolButton *ToolButton2 = nullptr; // zoom out
    QToolButton *ToolButton3 = nullptr; // new frequency marker
    QToolButton *ToolButton4 = nullptr; // previous marker
    QToolButton *ToolButton5 = nullptr; // next marker
    QToolButton *ToolButton6 = nullptr; // search marker
    QToolButton *ToolButton7 = nullptr; // scroll left
    QToolButton *ToolButton8 = nullptr; // scroll right
    QToolButton *SpeedButton17 = nullptr; // "New Fq Marker"
    QToolButton *DeleteFqMarkerBtn = nullptr;
    QLineEdit *FqEdt = nullptr;
    QLabel *FqMarkerNameLbl = nullptr;
    QFrame *SpectroGraphPnl = nullptr;
    CaptionPanel *StatusBarPnl = nullptr;

    QMenu *MainMenuPpp = nullptr;
    QMenu *OptionsMnu = nullptr;
    QAction *BandsMnu = nullptr;
    QAction *ModesMnu = nullptr;
    QAction *PreferencesMnu = nullptr;
    QAction *SpectroscopVisibleMnu = nullptr;
    QAction *ToolsVisibleMnu = nullptr;
    QAction *HideAllControlsMnu = nullptr;
    QAction *AboutZov1 = nullptr;
    QMenu *AllBandsPpp = nullptr;
    QAction *DefineBandsMnu = nullptr;

    SpeedButtonGroup *BandGroup = nullptr; // group 4, may be all up
    SpeedButtonGroup *ModeGroup = nullptr; // group 5

    TOptionsFrm *OptionsFrm = nullptr;
    TComSettingsFrm *ComSettingsFrm = nullptr;
    // The CAT log, the engine, the radio operations and the debug window,
    // destroyed in that reverse order (the window and the engine write to the log).
    std::unique_ptr<TCatLog> CatLog;
    std::unique_ptr<TCatEngine> CatEngine;
    std::unique_ptr<TRadio> Radio;
    std::unique_ptr<TDebugFrm> DebugFrm;

    // --- state (the link's own state lives in CatEngine)
    StartedProcess HeronpostProcess;
    StartedProcess LinkmoorProcess;
    bool ActivatedOnce = false;
    int RestoreLeft = DesignLeft;
    int RestoreWidth = DesignWidth;
    int RestoreTop = DesignTop;
    int RestoreHeight = DesignHeight;
    // The frequency and mode of the last run, restored at first activation;
    // the scale takes them over and FormClose writes them back.
    qint32 LastFreq = 3550000;
    QString LastMode;
    // "--port" and "--model" of the command line for the serial dialog.
    SerialPresets CommandLineSerial;

    // --- scale, band plan, keyboard
    // The analogue scale in ScalePnl, the digital display in DigiScalePnl,
    // the band plan and mode segments with the band keys, and tuning by keys
    // and wheel (MainScale.cpp, MainDigits.cpp, MainBands.cpp,
    // MainKeyboard.cpp; what goes to the radio: MainRadioBridge.cpp).
    TRadioScale *RadioScale = nullptr;
    TDigiDisplay2 *DigiScale = nullptr;
    QMenu *ScalePpp = nullptr;
    QAction *AddFreqMarkerMnu = nullptr;
    QAction *EditFreqMarkerMnu = nullptr;
    QAction *DeleteFreqMarkerMnu = nullptr;
    QAction *ZoomInMnu = nullptr;
    QAction *ZoomOutMnu = nullptr;
    QAction *ZoomToMnu = nullptr;
    QAction *ScrollToLeftMnu = nullptr;
    QAction *ScrollToRightMnu = nullptr;
    TZoomToFrm *ZoomToFrm = nullptr;
    TBandsFrm *BandsFrm = nullptr;
    TModesFrm *ModesFrm = nullptr;
    TBandKeys *BandKeys = nullptr;
    // Set while Left or Right tuned, cleared on every key release.
    bool KeyTuning = false;
    // Held from a press on the scale to its release: the radio's reports
    // leave the scale alone meanwhile.
    std::unique_ptr<TRadio::TuningHold> dragHold;

    // Scale handlers and commands.
    void ScalePnlResize();
    void RadioScaleFreqChangeStart(int frequency);
    void RadioScaleFreqChanged(int frequency);
    void RadioScaleFreqChangeStop(int frequency);
    void RadioScaleFreqAssigned(int frequency);
    void RadioScaleMouseDown();
    void RadioScaleMouseUp();
    void RadioScaleSliderDblClk();
    void RadioScaleScaleDblClk();
    void RadioScaleModeChanged(QString &mode);
    void RadioScaleBandChange(int bandIdx);
    void RadioScaleFqMarkerClick(int markerIdx);
    void RadioScaleFqMarkerDblClk(int markerIdx);
    void ZoomInMnuClick();
    void ZoomOutMnuClick();
    void ZoomToMnuClick();
    void ScrollToLeftMnuClick();
    void ScrollToRightMnuClick();
    void ToolButton4Click();
    void ToolButton5Click();
    void AddFreqMarkerMnuClick();
    void EditFreqMarkerMnuClick();
    void DeleteFreqMarkerMnuClick();
    void ScalePppPopup();
    // AnimateScale and the two hint options from the preferences.
    void CopyScalePreferences();

    // Band plan and mode segments.
    void ApplyBandPlan();
    void ApplyModeSegments();
    void BandsMnuClick();
    void ModesMnuClick();
    void AllBandsPppPopup();

    // Digital display.
    void UpdateDigiDisplay();
    void SetFreqUnit(int unit);
    int GetFreqUnit() const;
    void DigiScaleEditBegin();
    void DigiScaleEditEnd();
    void MhzLblClick();
    void kHzLblClick();

    // Keyboard and wheel; the return value tells whether the event was used.
    bool FormKeyDown(int key, Qt::KeyboardModifiers shift);
    void FormKeyUp(int key);
    void FormMouseWheel(int wheelDelta);
    int TuneStep(bool withModifiers) const;
    void ChangeBand(bool up);

    // Where the keyboard state comes from (tests replace it).
    using ModifierSource = std::function<Qt::KeyboardModifiers()>;
    void SetModifierSource(ModifierSource source);
    // Sees every request to the radio before it is queued, also off-line.
    using RadioRequestObserver = std::function<void(const QString &request)>;
    void SetRadioRequestObserver(RadioRequestObserver observer);

    // Why the radio is tuned: each origin sends its own set of commands.
    enum class TuneOrigin { Drag, Key, Wheel, TypedEntry };
    // The scan and the spectrograph plug in here.
    bool ScanRunning() const;
    bool RangeScanRunning() const;
    void StopScan();
    void RestartSpectrograph();
    void SetSpectrographRange(qint32 begin, qint32 end);
    // --- scanner and spectrograph (MainScan.cpp; the stepping is src/scan's)
    class TSpectroGraph *SpectroGraph = nullptr;          // on SpectroGraphPnl
    class TScanPropertiesFrm *ScanPropertiesFrm = nullptr;
    class TScanner *Scanner = nullptr;                    // owned by scanHost
    // How the scan properties dialog is shown modally (tests answer it
    // themselves); true for OK. Empty: the real dialog.
    std::function<bool(TScanPropertiesFrm &)> ScanPropertiesRunner;
    static constexpr int SpectrographStartInterval = 1000;
    static constexpr int SpectrographRunInterval = 250;
    void SetupScan();
    void ScanBtnClick();
    void StartScan();
    void ScanTmrTimer();
    void GraphBtnClick();
    void UpdateSpectrographTmrTimer();
    void SpectroGraphPnlResize();
    void StartSpectrograph();
    void StopSpectrograph();
private:
    class MainScanHost *scanHost = nullptr;               // child object
public:
    // --- end of scanner and spectrograph

    // --- PROG keys, scripts and automation (MainScript.cpp; the logic is
    // src/script's, the D-Bus object src/remote's)
    class TEditScriptFrm *EditScriptFrm = nullptr;
    class TProgramScripts *ProgramScripts = nullptr;      // owned by scriptHost
    // How the script editor is shown modally (tests answer it themselves);
    // true for "Run >>>". Empty: the real dialog.
    std::function<bool(TEditScriptFrm &)> EditScriptRunner;
    void SetupScripts();
    void Prog1BtnClick();
    void Prog2BtnClick();
    void Prog3BtnClick();
    void RunProgram(QToolButton *key);
    void UpdateProgramHint(QToolButton *key);
    void BlinkingButtonTmrTimer();
    // A PROG script runs (also after it was asked to stop).
    bool ScriptRunning() const;
    // Asks a running PROG script to stop, as a click on its key does.
    void StopScript();
    // Offers the Zov object on the D-Bus session bus (or the bus at
    // address); false, with a line in the log, when there is none.
    bool StartAutomation(const QString &address = {});
private:
    friend class MainScriptHost;
    class MainScriptHost *scriptHost = nullptr;           // child object
    class TZovDBusService *zovService = nullptr;          // child object
public:
    // --- end of PROG keys, scripts and automation

private:
    friend class MainWindowFilter;
    friend class MainBandKeysHost;
    void SetupScaleAndBands();
    void SetupDigiScale();
    void SetupBands();
    void SetupKeyboard();
    void ActivateScale();
    void QueueTuneCommands(qint32 frequency, TuneOrigin origin);
    void QueueBandModeCommand(const QString &mode);
    void QueueBandFrequencyCommand(qint32 frequency);
    void QueueModeChange(const QString &mode);
    // Reports the request (its words, then the mode) and queues the mode
    // command when connected.
    void queueModeRequest(const QString &request, const QString &mode);
    void GoToMarker(int markerIdx);
    void ReportRadioRequest(const QString &request);
    void PauseWithoutInput(int milliseconds);
    Qt::KeyboardModifiers KeyboardModifiers() const;
    ModifierSource modifierSource;
    RadioRequestObserver radioRequestObserver;
    MainBandKeysHost *bandKeysHost = nullptr; // child object
    MainWindowFilter *windowFilter = nullptr;
    // --- end of scale, band plan, keyboard

signals:
    // The scale, digital display, meter and spectrograph follow this.
    void LitStateChanged(bool lit);
    // After Ok in the preferences dialog.
    void PreferencesApplied();
    // A mouse move over any window other than the scale's panel.
    void MouseMovedOffScale();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // --- the CAT link's ends in the window (MainCatHost.cpp)
    bool RunComSettingsDialog();
    bool SimulateConnectionChecked() const;
    // The keys and the meter of what the radio cannot do are off, each with
    // a hint saying why; null (off-line): everything on.
    void ShowRadioAbilities(const TTcvrType *type);
    void followEngine();
    void createCatLink();
    void buildComponents();
    void buildMainPanel();
    void buildToolsPanel();
    void buildMenus();
    void buildTimers();
    void applyMinimumHeight();
    // Shows or hides a panel below the main one; the window grows or shrinks
    // by its height so that the other panels keep theirs.
    void setPanelShown(QWidget *panel, bool shown);
    void writeWindowSetting(const QString &name, const QString &value);
    void trackMouseMove(QObject *watched, const QPoint &globalPos);

    bool shownOnce = false;
    bool settingsFailureReported = false;
    bool closed = false;
    bool destroyed = false;
    QPoint lastMousePos;

    // --- frequency markers (MainMarkers.cpp; the work is TFqMarkerOps's)
public:
    TFqMarkerOps *FqMarkers = nullptr; // child object: store, dialogs, operations
    QMenu *FreqMarkersMnu = nullptr;   // submenu "Freq Markers" of ScalePpp
    QAction *AllFreqMarkersMnu = nullptr;
    QAction *ShowHideFqMarkersMnu = nullptr;
    QAction *SearchForFreqMarkerMnu = nullptr;
    void AllFreqMarkersMnuClick();
    void ShowHideFqMarkersMnuClick();
    void SearchForFreqMarkerMnuClick();
    void DeleteFqMarkerBtnClick();
    // Exit: the markers and groups not saved yet.
    void SaveMarkers();

private:
    friend class MainFqMarkersHost;
    // Creates the store, the dialogs and the menu items, loads the markers.
    void SetupMarkers();
    MainFqMarkersHost *fqMarkersHost = nullptr; // child object
    // --- end of frequency markers
    // --- rigctld endpoint for Hamlib programs (MainRigctld.cpp)
public:
    // Starts, moves or stops the listener as the Options dialog says (first
    // activation, Ok in the dialog); a port that can't be had is reported in
    // red on the status line.
    void ApplyRigctldOptions();
    void StopRigctld();
    // "--rigctld [ADDRESS:]PORT" ticks the option and fills in the endpoint.
    void SetCommandLineRigctld(const RigctldEndpoint &endpoint);
    TRigctldServer *RigctldServer = nullptr; // child object, made at the first apply

private:
    friend class MainRigctldHost;
    void setupRigctld();
    void reportRigctldFailure(const QString &text, int triesLeft);
    MainRigctldHost *rigctldHost = nullptr; // child object
    // --- end of rigctld endpoint
    // --- settings and lifecycle
public:
    // How long "Error Lo"/"Error Hi" of a typed entry holds the display.
    int DigiErrorPauseMs = 500;

private:
    // "LastFreq", "LastMode" and "Connected" have been read (first activation).
    bool lastRunRead = false;
    // The panels shown when "Only Scale Visible" was switched on.
    bool spectrographBeforeScaleOnly = true;
    bool toolsBeforeScaleOnly = true;
    // Set during the pause of an entry's error message.
    bool digiErrorShown = false;
    void leaveScaleOnly();
    // --- end of settings and lifecycle

    // --- TCP command server and companion programs (MainTcp.cpp; the work is src/remote's)
public:
    // Declared last: the server goes first when the window is destroyed, while
    // the log it writes to and the window it reads still exist.
    std::unique_ptr<class TTcpServer> TcpServer;
    void StartTcpServer();
    void StartClientPrograms();
    void CloseHeronpost();
    // Heronpost gets this long to end when asked to close.
    static constexpr int CompanionCloseWaitMs = 1000;
    // Before each serial transfer: the status replies show the window as it is.
    void PublishTcpState();
    // A SIGTERM or SIGINT: the window closes without asking about
    // connected clients (a question then could only be dismissed). A running
    // script is asked to stop first and the window closes once it has ended.
    void CloseForShutdown();
    static constexpr int ShutdownRetryMs = 50;
    // How long closing waits for the radio to acknowledge transmit-off.
    static constexpr int TransmitOffWaitMs = 300;

private:
    friend class MainTcpHost;
    void SetupTcp();
    // The close query's step for TCP clients: false while they are asked to leave.
    bool TcpCloseQuery();
    // After Ok in the preferences.
    void ApplyTcpPreferences();
    // As the window closes: the listener and Linkmoor.
    void StopTcpServer();
    class MainTcpHost *tcpHost = nullptr; // child object
    bool closingForShutdown = false;
    // --- end of TCP command server
};
