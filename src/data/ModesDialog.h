#pragma once

// The Modes dialog: the mode segments as a list with colour bars. Ok asks
// about overlapping neighbours and writes "Modes.tsv"; any other close reads
// the file again, which discards the edits.

#include "data/BandsDialog.h"
#include "data/Modes.h"
#include "data/UserPrompt.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;
class TEditModeFrm;

class TModesFrm : public QDialog
{
    Q_OBJECT
public:
    explicit TModesFrm(QWidget *Parent = nullptr);
    ~TModesFrm() override;

    // The segments live here from start-up to exit; the main window reads them.
    TModeSegments &Segments() { return ModeSegments; }
    const TModeSegments &Segments() const { return ModeSegments; }

    void SetPrompt(TUserPrompt NewPrompt);
    void SetDialogRunner(TDialogRunner Runner) { RunDialog = std::move(Runner); }

    // Start of the program: load the segments, or tell about the missing file
    // and write an empty one.
    void FormCreate();
    void LoadModeSegments();
    // False (and the operator told) when the file could be written nowhere.
    bool SaveModeSegments();

    void AddBtnClick();
    void EditBtnClick();
    void DeleteBtnClick();
    void ResortMode(int Index);

    // One question per overlapping neighbour pair; false after any No.
    bool FormCloseQuery();

    int SelectedIndex() const;
    void SelectItem(int Index);

    void done(int Result) override;

    QTreeWidget *ModesLBx;
    QPushButton *AddBtn;
    QPushButton *EditBtn;
    QPushButton *DeleteBtn;
    TEditModeFrm *EditModeFrm;

protected:
    void showEvent(QShowEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void FillList();

    TModeSegments ModeSegments;
    TUserPrompt Prompt;
    TDialogRunner RunDialog;
};
