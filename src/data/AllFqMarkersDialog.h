#pragma once

// "All Frequency Markers": every marker as a row in file-line form, with
// add, edit, delete, find and tune-to. The dialog owns no markers; whoever
// runs it rebuilds the scale's list from the rows after every change
// (RowsEdited), so that it is saved at once, and when it closes.

#include "data/DialogRunner.h"

#include <QDialog>

#include <functional>

class QAction;
class QTreeView;
class TEditFreqMarkerFrm;
class TFqMarkerRows;

class TAllFqMarkersFrm : public QDialog
{
    Q_OBJECT
public:
    // The result of "Tune To".
    static constexpr int TuneToResult = 4;

    TAllFqMarkersFrm(TEditFreqMarkerFrm &Editor, QWidget *Parent = nullptr);

    // Clears the other selections, selects Row and scrolls it to the middle.
    void SelectRow(int Row);
    // The current row when it is selected, else the first selected row; -1.
    int SelectedRow() const;
    QList<int> SelectedRows() const;

    void AddMnuClick();
    void EditMnuClick();
    void DeleteMnuClick();
    void Find2Click();
    void TuneToMnuClick();
    void CloseMnuClick();

    // Where a marker added with no row selected goes: the middle of the
    // scale's range, in the mode whose key is down.
    void SetNewMarkerPlace(std::function<qint32()> Frequency, std::function<QString()> Mode);
    // Runs the marker editor (tests answer it).
    void SetDialogRunner(TDialogRunner Runner) { RunDialog = std::move(Runner); }
    // Asks for the text to find; empty when cancelled (tests answer it).
    void SetFindTextAsker(std::function<QString()> Asker) { AskFindText = std::move(Asker); }

signals:
    // A row was added, edited or deleted.
    void RowsEdited();

public:
    TFqMarkerRows *Rows;
    QTreeView *MarkersLBx;
    QAction *CloseMnu;
    QAction *AddMnu;
    QAction *EditMnu;
    QAction *DeleteMnu;
    QAction *FindMnu;
    QAction *TuneToMnu;

private:
    void EditInEditor(int Row, bool Adding);

    TEditFreqMarkerFrm &Editor;
    std::function<qint32()> NewMarkerFrequency;
    std::function<QString()> NewMarkerMode;
    TDialogRunner RunDialog;
    std::function<QString()> AskFindText;
};
