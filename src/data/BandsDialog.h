#pragma once

// The Bands dialog: the operator's band plan as a check list. Ok writes the
// plan to "Bands.tsv"; any other close reads the file again, which discards
// the edits.

#include "data/Bands.h"
#include "data/UserPrompt.h"

#include <QDialog>

#include <functional>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TEditBandFrm;

// Runs a dialog modally and returns its result; tests replace it.
using TDialogRunner = std::function<int(QDialog &Dialog)>;

class TBandsFrm : public QDialog
{
    Q_OBJECT
public:
    explicit TBandsFrm(QWidget *Parent = nullptr);
    ~TBandsFrm() override;

    // The plan lives here from start-up to exit; the main window reads it.
    TBandPlan &Plan() { return BandPlan; }
    const TBandPlan &Plan() const { return BandPlan; }

    void SetPrompt(TUserPrompt NewPrompt);
    void SetDialogRunner(TDialogRunner Runner) { RunDialog = std::move(Runner); }

    // Start of the program: load the plan, or tell about the missing file and
    // write the default plan.
    void FormCreate();
    void LoadBandPlan();
    // False (and the operator told) when the file could be written nowhere.
    bool SaveBandPlan();

    void AddBtnClick();
    void EditBtnClick();
    void DeleteBtnClick();
    void ResortBand(int Index);

    int SelectedIndex() const;
    void SelectItem(int Index);

    void done(int Result) override;

    QTreeWidget *BandsLBx;
    QPushButton *AddBtn;
    QPushButton *EditBtn;
    QPushButton *DeleteBtn;
    TEditBandFrm *EditBandFrm;

protected:
    void showEvent(QShowEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;

private:
    void FillList();
    void FillRow(QTreeWidgetItem *Row, const TBandPlanItem &Item);
    void BandsLBxItemChanged(QTreeWidgetItem *Row, int Column);

    TBandPlan BandPlan;
    TUserPrompt Prompt;
    TDialogRunner RunDialog;
};
