#include "data/FqMarkerOps.h"

#include "base/MessageBoxes.h"
#include "base/Widgets.h"
#include "controls/RadioScale.h"
#include "data/AllFqMarkersDialog.h"
#include "data/DataFile.h"
#include "data/EditFreqMarkerDialog.h"
#include "data/FqMarkerFormat.h"
#include "data/FqMarkerRows.h"
#include "data/SearchFqMarkerDialog.h"
#include "data/ShowFqMarkersDialog.h"

#include <QAction>
#include <QCoreApplication>
#include <QSet>
#include <QTreeView>

#include <algorithm>

namespace {

void sortByFrequency(QList<TFqMarker *> &Markers)
{
    std::stable_sort(Markers.begin(), Markers.end(),
                     [](const TFqMarker *a, const TFqMarker *b) { return a->Frequency < b->Frequency; });
}

} // namespace

TFqMarkerOps::TFqMarkerOps(TRadioScale &Scale, TFqMarkersHost &Host, QWidget *DialogParent)
    : QObject(DialogParent)
    , EditFreqMarkerFrm(new TEditFreqMarkerFrm(DialogParent))
    , AllFqMarkersFrm(new TAllFqMarkersFrm(*EditFreqMarkerFrm, DialogParent))
    , ShowFqMarkersFrm(new TShowFqMarkersFrm(DialogParent))
    , SearchFqMarkerFrm(new TSearchFqMarkerFrm(DialogParent))
    , Scale(&Scale)
    , Host(Host)
    , DialogParent(DialogParent)
    , RunDialog(ExecDialog)
{
    MarkerStore.SetSource([this] { return this->Scale ? this->Scale->Markers : QList<TFqMarker *>(); },
                          [this] { return this->Scale ? this->Scale->VisibleGroups : QStringList(); });
    connect(&MarkerStore, &TFqMarkerStore::SaveFailed, this,
            [this](const QString &Problem) { ShowInformation(this->DialogParent, Problem); });
    EditFreqMarkerFrm->SetMarkerSource([this] { return this->Scale ? this->Scale->Markers : QList<TFqMarker *>(); });
    // Every change in the open list is saved soon, not only when it closes.
    connect(AllFqMarkersFrm, &TAllFqMarkersFrm::RowsEdited, this, [this] {
        if (this->Scale)
            RebuildFromRows(-1);
    });
    AllFqMarkersFrm->SetNewMarkerPlace(
        [this] {
            if (!this->Scale)
                return qint32(0);
            const qint32 begin = this->Scale->ScaleBegin();
            return static_cast<qint32>(begin + (qint64(this->Scale->ScaleEnd()) - begin) / 2);
        },
        [this] { return this->Host.PressedMode(); });
}

TFqMarkerOps::~TFqMarkerOps()
{
    // The scale may outlive this object for a moment: it must not keep
    // pointers to the markers freed with the store.
    if (Scale)
        Scale->Markers.removeIf([this](const TFqMarker *marker) { return MarkerStore.Owns(marker); });
}

void TFqMarkerOps::SetDialogRunner(TDialogRunner Runner)
{
    RunDialog = Runner;
    EditFreqMarkerFrm->SetDialogRunner(Runner);
    AllFqMarkersFrm->SetDialogRunner(Runner);
}

bool TFqMarkerOps::Listed(const TFqMarker *Marker) const
{
    return Scale && Scale->Markers.contains(Marker);
}

// ---- start and exit -------------------------------------------------------------------

void TFqMarkerOps::LoadMarkers()
{
    const TFqMarkerStore::TLoadResult loaded = MarkerStore.LoadMarkers();
    if (!loaded.Found)
        ShowInformation(DialogParent, MissingDataFileMessage(TFqMarkerStore::FileName(),
                                                             QStringLiteral("New file with default values will be created.")));
    else if (!loaded.Problem.isEmpty())
        ShowInformation(DialogParent, loaded.Problem
                                          + QStringLiteral("\n\nChanges to the frequency markers will not be saved in this run."));
    else if (!loaded.UnreadableLines.isEmpty())
        ShowInformation(DialogParent, TFqMarkerStore::UnreadableLinesMessage(loaded.UnreadableLines));
    if (!Scale)
        return;
    // As AddMarker one by one would place them (rounded to the tuning step,
    // after markers of equal frequency), without its cost per marker.
    QList<TFqMarker *> markers = Scale->Markers;
    markers.reserve(markers.size() + loaded.Markers.size());
    for (TFqMarker *marker : loaded.Markers) {
        marker->Frequency = Scale->RoundToStep(marker->Frequency);
        markers.append(marker);
    }
    sortByFrequency(markers);
    Scale->Markers = markers;
    Scale->VisibleGroups = TFqMarkerStore::ReadVisibleGroups();
    Scale->MarkersChanged();
}

void TFqMarkerOps::SaveMarkers()
{
    MarkerStore.SaveNow();
}

// ---- add, edit, delete ------------------------------------------------------------------

void TFqMarkerOps::AskShowMarkerGroup(TFqMarker *Marker)
{
    if (!Listed(Marker))
        return;
    const QStringList before = Scale->VisibleGroups;
    Scale->AskShowMarkerGroup(Marker);
    if (Scale && Scale->VisibleGroups != before)
        MarkerStore.GroupsChanged();
}

void TFqMarkerOps::AddFreqMarkerMnuClick()
{
    if (!Scale)
        return;
    // The marker becomes the store's only on Ok, so that nothing can free it
    // while the dialog is open.
    TFqMarker values;
    values.Frequency = Scale->RoundToStep(Scale->Frequency());
    values.Caption = QStringLiteral("New Marker");
    values.Mode = Host.PressedMode();
    values.Permanent = false;
    EditFreqMarkerFrm->ShowMarkerInEditor(values);
    EditFreqMarkerFrm->SetFrequencyEditable(true);
    if (RunDialog(*EditFreqMarkerFrm) != QDialog::Accepted || !Scale)
        return;
    EditFreqMarkerFrm->TakeMarkerFromEditor(values);
    if (Host.PreferUpperCaseChecked())
        values.Caption = PreferUpperCase(values.Caption);
    TFqMarker *marker = MarkerStore.NewMarker();
    *marker = values;
    Scale->AddMarker(marker, true);
    MarkerStore.MarkersChanged();
    AskShowMarkerGroup(marker);
    if (!Scale)
        return;
    Scale->repaint();
    Scale->EnsureMarkerVisible(marker);
}

void TFqMarkerOps::EditMarker(int Index)
{
    if (!Scale || Index < 0 || Index >= Scale->Markers.size())
        return;
    TFqMarker *marker = Scale->Markers.at(Index);
    EditFreqMarkerFrm->ShowMarkerInEditor(*marker);
    EditFreqMarkerFrm->SetFrequencyEditable(false);
    if (RunDialog(*EditFreqMarkerFrm) != QDialog::Accepted || !Listed(marker))
        return;
    const qint32 frequency = marker->Frequency; // not editable here
    EditFreqMarkerFrm->TakeMarkerFromEditor(*marker);
    marker->Frequency = frequency;
    if (Host.PreferUpperCaseChecked())
        marker->Caption = PreferUpperCase(marker->Caption);
    MarkersEdited();
    const int rx = marker->RxCtcss;
    const int tx = marker->TxCtcss;
    AskShowMarkerGroup(marker);
    Host.SetTones(rx, tx);
}

void TFqMarkerOps::EditFreqMarkerMnuClick()
{
    if (Scale)
        EditMarker(Scale->MarkerUnderPopup());
}

void TFqMarkerOps::MarkersDeleted()
{
    MarkerStore.FreeUnlisted(Scale->Markers);
    MarkerStore.MarkersChanged();
}

void TFqMarkerOps::DeleteFreqMarkerMnuClick()
{
    if (!Scale)
        return;
    Scale->DeleteMarkerUnderPopup();
    MarkersDeleted();
}

void TFqMarkerOps::DeleteFqMarkerBtnClick()
{
    if (!Scale)
        return;
    Scale->DeleteMarkerAtFrequency();
    MarkersDeleted();
}

void TFqMarkerOps::ScalePppPopup(QAction *AddItem, QAction *EditItem, QAction *DeleteItem)
{
    if (!Scale)
        return;
    const qint32 f = Scale->Frequency();
    AddItem->setEnabled(Scale->SliderUnderPopup() && f >= Scale->ScaleBegin() && f <= Scale->ScaleEnd());
    const int marker = Scale->MarkerUnderPopup();
    if (marker >= 0 && marker < Scale->Markers.size() && !Host.ScanRunning()) {
        const QString caption = WithAmpersandsShown(Scale->Markers.at(marker)->Caption);
        EditItem->setText(QStringLiteral("Edit \"") + caption + QLatin1Char('"'));
        DeleteItem->setText(QStringLiteral("Delete \"") + caption + QLatin1Char('"'));
        EditItem->setEnabled(true);
        DeleteItem->setEnabled(true);
    } else {
        EditItem->setText(QStringLiteral("Edit Freq Marker"));
        DeleteItem->setText(QStringLiteral("Delete Freq Marker"));
        EditItem->setEnabled(false);
        DeleteItem->setEnabled(false);
    }
}

// ---- the marker list --------------------------------------------------------------------

TFqMarker *TFqMarkerOps::RebuildFromRows(int TuneRow)
{
    const QStringList &lines = AllFqMarkersFrm->Rows->Lines();
    QList<TFqMarker *> rebuilt;
    rebuilt.reserve(lines.size());
    TFqMarker *tuned = nullptr;
    for (int row = 0; row < lines.size(); ++row) {
        TFqMarker *marker = MarkerStore.NewMarker();
        if (!ParseMarkerLine(lines.at(row), *marker)) {
            MarkerStore.Free(marker);
            continue;
        }
        rebuilt.append(marker);
        if (row == TuneRow)
            tuned = marker;
    }
    // The rows are in frequency order already; sorting keeps the scale's
    // rule should a row be out of place.
    sortByFrequency(rebuilt);
    Scale->Markers = rebuilt;
    Scale->SelectedMarker = -1;
    MarkerStore.FreeUnlisted(Scale->Markers);
    MarkersEdited();
    return tuned;
}

void TFqMarkerOps::AllFreqMarkersMnuClick()
{
    if (!Scale)
        return;
    QStringList lines;
    lines.reserve(Scale->Markers.size());
    for (const TFqMarker *marker : std::as_const(Scale->Markers))
        lines.append(FormatMarkerLine(*marker));
    AllFqMarkersFrm->Rows->SetLines(lines);
    AllFqMarkersFrm->SelectRow(AllFqMarkersFrm->Rows->FirstRowNotBelow(Scale->Frequency()));
    const int result = RunDialog(*AllFqMarkersFrm);
    if (!Scale)
        return;
    const QModelIndex current = AllFqMarkersFrm->MarkersLBx->currentIndex();
    TFqMarker *tuned = RebuildFromRows(current.isValid() ? current.row() : -1);
    if (result != TAllFqMarkersFrm::TuneToResult || tuned == nullptr)
        return;
    Scale->SetFrequency(tuned->Frequency);
    Host.FqMarkerClick(static_cast<int>(Scale->Markers.indexOf(tuned)));
    QCoreApplication::processEvents();
    if (!Listed(tuned))
        return;
    Scale->EnsureMarkerVisible(tuned);
    AskShowMarkerGroup(tuned);
}

// ---- groups and search ------------------------------------------------------------------

void TFqMarkerOps::ShowHideFqMarkersMnuClick()
{
    if (!Scale)
        return;
    QStringList groups;
    QSet<QString> seen;
    for (const TFqMarker *marker : std::as_const(Scale->Markers)) {
        for (const QString &group : MarkerTextLines(marker->Attributes)) {
            if (!group.isEmpty() && !seen.contains(group.toUpper())) {
                seen.insert(group.toUpper());
                groups.append(group);
            }
        }
    }
    ShowFqMarkersFrm->FillGroups(groups, Scale->VisibleGroups);
    if (RunDialog(*ShowFqMarkersFrm) != QDialog::Accepted || !Scale)
        return;
    Host.StopScan();
    SetVisibleGroups(ShowFqMarkersFrm->TickedGroups());
}

void TFqMarkerOps::SearchForFreqMarkerMnuClick()
{
    if (!Scale || RunDialog(*SearchFqMarkerFrm) != QDialog::Accepted || !Scale)
        return;
    const QString text = SearchFqMarkerFrm->SearchText();
    const QString needle = text.toUpper();
    if (needle.isEmpty())
        return;
    const bool allBands = SearchFqMarkerFrm->AllBands();
    const qint32 begin = Scale->ScaleBegin();
    const qint32 end = Scale->ScaleEnd();
    bool found = false;
    for (int i = 0; Scale && i < Scale->Markers.size(); ++i) {
        TFqMarker *marker = Scale->Markers.at(i);
        if (!allBands && (marker->Frequency < begin || marker->Frequency > end))
            continue;
        if (!FormatMarkerLine(*marker).toUpper().contains(needle))
            continue;
        found = true;
        Host.PressModeButton(marker->Mode);
        Scale->GoToMarker(marker);
        if (Host.IsConnected()) {
            Host.QueueModeCommand(Host.PressedMode());
            Host.QueueFrequencyCommand(Scale->Frequency());
            Host.QueueModeCommand(Host.PressedMode());
        }
        const QString question = QStringLiteral("Frequency marker \"") + marker->Caption
            + QStringLiteral("\" found.\n\nSearch for another occurence?");
        if (!AskConfirmation(DialogParent, question))
            return;
        // The list may have changed while the question was open.
        if (!Scale)
            return;
        i = static_cast<int>(Scale->Markers.indexOf(marker));
        if (i < 0)
            return;
    }
    if (!found)
        ShowInformation(DialogParent, QStringLiteral("Occurence of \"") + text + QStringLiteral("\" not found."));
}

// ---- for remote clients -------------------------------------------------------------------

TFqMarker *TFqMarkerOps::AddOrReplaceMarker(const TFqMarker &Values, bool Redraw)
{
    if (!Scale)
        return nullptr;
    TFqMarker *marker = MarkerStore.NewMarker();
    *marker = Values;
    Scale->AddOrReplaceMarker(marker, Redraw);
    MarkerStore.FreeUnlisted(Scale->Markers);
    MarkerStore.MarkersChanged();
    return marker;
}

void TFqMarkerOps::DeleteMarkersWithAttribute(const QString &Text, bool Redraw)
{
    if (!Scale)
        return;
    Scale->DeleteMarkersWithAttribute(Text, Redraw);
    MarkersDeleted();
}

void TFqMarkerOps::SetVisibleGroups(const QStringList &Groups)
{
    if (!Scale)
        return;
    Scale->VisibleGroups = Groups;
    Scale->MarkersChanged();
    MarkerStore.GroupsChanged();
}

void TFqMarkerOps::MarkersEdited()
{
    if (Scale)
        Scale->MarkersChanged();
    MarkerStore.MarkersChanged();
}
