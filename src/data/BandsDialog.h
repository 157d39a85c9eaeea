#pragma once

// The Bands dialog: the operator's band plan as a check list. Ok writes the
// plan to "Bands.tsv"; any other close reads the file again, which discards
// the edits.

#include "data/Bands.h"
#include "data/DataListDialog.h"

class QTreeWidgetItem;
class TEditBandFrm;

class TBandsFrm : public TDataListFrm
{
    Q_OBJECT
public:
    explicit TBandsFrm(QWidget *Parent = nullptr);
    ~TBandsFrm() override;

    // The plan lives here from start-up to exit; the main window reads it.
    TBandPlan &Plan() { return BandPlan; }
    const TBandPlan &Plan() const { return BandPlan; }

    // Start of the program: load the plan, or tell about the missing file and
    // write the default plan.
    void FormCreate();
    void LoadBandPlan();
    // False (and the operator told) when the file could be written nowhere.
    bool SaveBandPlan();

    void AddBtnClick() override;
    void EditBtnClick() override;
    void DeleteBtnClick() override;
    void ResortBand(int Index);

    QTreeWidget *const BandsLBx;
    TEditBandFrm *EditBandFrm;

protected:
    void FillList() override;
    void StartNewList() override { BandPlan.LoadDefaultPlan(); }
    void LoadList() override { LoadBandPlan(); }
    bool SaveList() override { return SaveBandPlan(); }

private:
    void FillRow(QTreeWidgetItem *Row, const TBandPlanItem &Item);
    void BandsLBxItemChanged(QTreeWidgetItem *Row, int Column);

    TBandPlan BandPlan;
};
