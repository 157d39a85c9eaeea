#pragma once

// The main window's side of the band plan and the mode segments: the 32 band
// keys, the "All bands" popup, switching bands with the remembered frequency
// and mode of each band, and handing bands and segments to the tuning scale.
// What it needs from the scale, the mode keys and the radio link comes
// through TBandKeysHost, which the main window implements.

#include "controls/ScaleTypes.h"
#include "data/Bands.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QAbstractButton;
class QAction;
class QMenu;
class TModeSegments;

class TBandKeysHost
{
public:
    virtual ~TBandKeysHost() = default;

    // The tuning scale.
    virtual void ClearBands() = 0;
    virtual void AddBand(qint32 Low, qint32 High, const QString &Name, const QString &LastMode, qint32 LastFrequency) = 0;
    virtual int FindBand(qint32 F) const = 0;
    virtual TBand *Band(int Index) = 0; // nullptr outside the band list
    virtual void SelectBand(int Index) = 0;
    virtual void SetRange(qint32 Begin, qint32 End) = 0;
    virtual qint32 ScaleBegin() const = 0;
    virtual qint32 ScaleEnd() const = 0;
    virtual qint32 Frequency() const = 0;
    virtual void SetFrequency(qint32 F) = 0;
    virtual void ClearModes() = 0;
    virtual void AddMode(qint32 Low, qint32 High, const QString &Mode, quint32 Color, const QString &Caption) = 0;
    virtual void RepaintScale() = 0;

    // The mode keys: caption of the key that is down (empty when none), and
    // pressing the key of a mode name.
    virtual QString PressedMode() const = 0;
    virtual void PressModeButton(const QString &Mode) = 0;

    // The radio and the rest of the main window.
    virtual void StopScan() = 0;
    virtual bool IsConnected() const = 0;
    virtual void QueueModeCommand(const QString &Mode) = 0;        // the radio's mode, appended to the queue
    virtual void QueueFrequencyCommand(qint32 Frequency) = 0;      // the radio's frequency, appended
    virtual bool RestartSpectrographChecked() const = 0;           // preference RestartSpectrographChk
    virtual void RestartSpectrograph() = 0;
    virtual bool SpectrographInFrequencyMode() const = 0;          // PlotMode 2
    virtual void SetSpectrographRange(qint32 Begin, qint32 End) = 0;
    virtual void UpdateDigitalDisplay() = 0;
};

class TBandKeys : public QObject
{
    Q_OBJECT
public:
    // Buttons are the band keys Band1Btn ... Band32Btn in order; AllBandsPpp
    // gets its three fixed items here ("*", a separator, "Define Bands...").
    TBandKeys(TBandPlan &Plan, TModeSegments &Segments, TBandKeysHost &Host,
              const QList<QAbstractButton *> &Buttons, QMenu *AllBandsPpp, QObject *Parent = nullptr);

    // Show the Bands / Modes dialog modally; true when it ended with Ok.
    void SetBandsDialog(std::function<bool()> RunModal) { RunBandsDialog = std::move(RunModal); }
    void SetModesDialog(std::function<bool()> RunModal) { RunModesDialog = std::move(RunModal); }

    void ApplyBandPlan();
    // Sender: a band key, an item of the popup, or anything else / nullptr
    // (the main window itself, the automation object).
    void BandChanged(QObject *Sender);
    void RadioScaleBandChange(QObject *Sender, int BandIdx);
    void BandsMnuClick();
    void AllBandsPppPopup();
    void ApplyModeSegments();
    void ModesMnuClick();

    QAction *DefineBandsMnu() const { return DefineBandsAction; }
    int ButtonCount() const { return static_cast<int>(Buttons.size()); }
    QAbstractButton *Button(int Index) const { return Buttons.value(Index); }
    // Index of the band key that is down, -1 when none.
    int PressedButton() const;
    QString PressedBandCaption() const;
    // Presses one key and releases the others, without running BandChanged.
    void PressButton(int Index);
    void ReleaseAllButtons();

private:
    void ButtonClicked(int Index);
    void PressButtonsWithCaption(const QString &Caption);
    void BuildBandItems();

    TBandPlan &Plan;
    TModeSegments &Segments;
    TBandKeysHost &Host;
    QList<QAbstractButton *> Buttons;
    QMenu *AllBandsPpp;
    QAction *DefineBandsAction = nullptr;
    QList<QAction *> BandItems; // the popup's band items, one per plan entry
    QStringList ItemCaptions;   // their captions, in the same order
    QList<QAction *> BoldItems; // shown bold: the caption of the pressed key
    // The plan entries the items were built from. The plan's list shares its
    // data with this copy until the plan changes (any change detaches it),
    // so comparing the two costs nothing and never misses a change.
    QList<TBandPlanItem> ItemsBuiltFrom;
    bool ItemsBuilt = false;
    std::function<bool()> RunBandsDialog;
    std::function<bool()> RunModesDialog;
};
