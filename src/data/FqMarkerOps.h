#pragma once

// The main window's side of the frequency markers: loading and saving them
// with the store, adding, editing and deleting from the scale and its popup,
// the marker list, the group dialog and the marker search. What it needs
// from the mode keys, the radio link and the scanner comes through
// TFqMarkersHost, which the main window implements.
//
// Remote clients (the TCP server) use AddOrReplaceMarker,
// DeleteMarkersWithAttribute, SetVisibleGroups and MarkersEdited, which keep
// ownership, repaint and saving right.

#include "controls/ScaleTypes.h"
#include "data/DialogRunner.h"
#include "data/FqMarkerStore.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

class QAction;
class QWidget;
class TAllFqMarkersFrm;
class TEditFreqMarkerFrm;
class TRadioScale;
class TSearchFqMarkerFrm;
class TShowFqMarkersFrm;

class TFqMarkersHost
{
public:
    virtual ~TFqMarkersHost() = default;

    // The mode keys: caption of the key that is down, pressing a key by name.
    virtual QString PressedMode() const = 0;
    virtual void PressModeButton(const QString &Mode) = 0;
    // The radio.
    virtual bool IsConnected() const = 0;
    // What a click on marker Index does: its mode, frequency and tones go to
    // the radio, the display follows, the spectrograph restarts.
    virtual void FqMarkerClick(int Index) = 0;
    virtual void QueueModeCommand(const QString &Mode) = 0;   // appended
    virtual void QueueFrequencyCommand(qint32 Frequency) = 0; // appended
    virtual void SetTones(int RxTone, int TxTone) = 0;
    // The scanner and the preferences.
    virtual bool ScanRunning() const = 0;
    virtual void StopScan() = 0;
    virtual bool PreferUpperCaseChecked() const = 0;
};

class TFqMarkerOps : public QObject
{
    Q_OBJECT
public:
    // The dialogs are created here as children of DialogParent and live as
    // long as it does.
    TFqMarkerOps(TRadioScale &Scale, TFqMarkersHost &Host, QWidget *DialogParent);
    ~TFqMarkerOps() override;

    TFqMarkerStore &Store() { return MarkerStore; }

    // Start: the markers of the file onto the scale, the stored groups;
    // tells the operator about a missing or unreadable file.
    void LoadMarkers();
    // Exit: writes what is not saved yet.
    void SaveMarkers();

    void AddFreqMarkerMnuClick();
    void EditMarker(int Index);
    void EditFreqMarkerMnuClick();
    void DeleteFreqMarkerMnuClick();
    void DeleteFqMarkerBtnClick();
    // Enables and names the marker items of the scale popup.
    void ScalePppPopup(QAction *AddItem, QAction *EditItem, QAction *DeleteItem);
    void AllFreqMarkersMnuClick();
    void ShowHideFqMarkersMnuClick();
    void SearchForFreqMarkerMnuClick();

    // For remote clients: a marker with Values' fields (owned by the store),
    // replacing one of the same caption close by; the marker on the scale.
    // Without Redraw the scale is not repainted (a batch repaints once, on
    // its last change).
    TFqMarker *AddOrReplaceMarker(const TFqMarker &Values, bool Redraw = true);
    void DeleteMarkersWithAttribute(const QString &Text, bool Redraw = true);
    void SetVisibleGroups(const QStringList &Groups);
    // Markers were changed in place: repaint and save.
    void MarkersEdited();

    // Runs every marker dialog modally (tests answer them).
    void SetDialogRunner(TDialogRunner Runner);

    TEditFreqMarkerFrm *EditFreqMarkerFrm;
    TAllFqMarkersFrm *AllFqMarkersFrm;
    TShowFqMarkersFrm *ShowFqMarkersFrm;
    TSearchFqMarkerFrm *SearchFqMarkerFrm;

private:
    bool Listed(const TFqMarker *Marker) const;
    // Offers the group of a hidden marker; saves the groups when one was
    // switched on.
    void AskShowMarkerGroup(TFqMarker *Marker);
    void MarkersDeleted();
    // The scale's list made anew from the rows of the marker list; returns
    // the marker of row TuneRow (nullptr when none).
    TFqMarker *RebuildFromRows(int TuneRow);

    QPointer<TRadioScale> Scale;
    TFqMarkersHost &Host;
    QWidget *DialogParent;
    TFqMarkerStore MarkerStore;
    TDialogRunner RunDialog;
};
