#pragma once

#include "app/SystemQueries.h"
#include "controls/ScaleTypes.h"

#include <QList>
#include <QMutex>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>

class CaptionPanel;
class MainWindowFilter;
class MainBandKeysHost;
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
class TOptionsFrm;

// The main window. It owns everything that lives longer than one call: the
// panels and keys, the timers, the dialogs and the link state. Other parts
// of the program plug their controls into its panels (the scale into
// ScalePnl, the digital display into DigiScalePnl, the meter into
// SMeterPnl, the spectrograph into SpectroGraphPnl) and their handlers into
// its keys and timers.
class TTarnwickFrm : public QWidget
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
    QString CurrentModeName() const;

    // --- CAT link (the engine fills these in)
    bool IsConnected() const;
    void Connect();
    void Disconnect();
    void LogEvent(const QString &text);
    void MainTmrTimer();
    // Whether one of the serial dialog's advanced options (simulate, log
    // file, debug window) is ticked: the program then starts off-line.
    bool AdvancedSerialOptionsChecked() const;

    // --- band and mode keys (the band plan and radio operations fill these in)
    void BandChanged(QObject *sender);
    void ModeChanged(QObject *sender);

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

    // The position rules of a restored window.
    static int RestoredTop(int savedTop, int workAreaHeight);
    static int RestoredLeft(int savedLeft, int workAreaWidth);
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

    // --- state
    QChar CurrentVfo = 'A';
    int IntegrityCountdown = 5;
    int IntegrityMismatches = 0;
    int WatchdogRetries = 0;
    bool ConnectAnnounced = false;
    int PollIndex = 0;
    int TuningBusy = 0;
    qint64 HeronpostProcessId = 0;
    qint64 LinkmoorProcessId = 0;
    bool ActivatedOnce = false;
    int RestoreLeft = DesignLeft;
    int RestoreWidth = DesignWidth;
    int RestoreTop = DesignTop;
    int RestoreHeight = DesignHeight;
    // The frequency and mode of the last run, restored at first activation;
    // the scale takes them over and FormClose writes them back.
    qint32 LastFreq = 3550000;
    QString LastMode;
    // Left by the TCP server's threads, carried out by the poll timer.
    std::optional<TFqMarker> PendingTune;
    QMutex PendingTuneLock;
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
    void GoToMarker(int markerIdx);
    void ReportRadioRequest(const QString &request);
    void PressModeKey(const QString &mode);
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
    void buildComponents();
    void buildMainPanel();
    void buildToolsPanel();
    void buildMenus();
    void buildTimers();
    void applyMinimumHeight();
    void writeWindowSetting(const QString &name, const QString &value);
    void trackMouseMove(QObject *watched, const QPoint &globalPos);

    bool shownOnce = false;
    bool settingsFailureReported = false;
    bool closed = false;
    bool destroyed = false;
    QPoint lastMousePos;

};
