#pragma once

// The Modes dialog: the mode segments as a list with colour bars. Ok asks
// about overlapping neighbours and writes "Modes.tsv"; any other close reads
// the file again, which discards the edits.

#include "data/DataListDialog.h"
#include "data/Modes.h"

class TEditModeFrm;

class TModesFrm : public TDataListFrm
{
    Q_OBJECT
public:
    explicit TModesFrm(QWidget *Parent = nullptr);
    ~TModesFrm() override;

    // The segments live here from start-up to exit; the main window reads them.
    TModeSegments &Segments() { return ModeSegments; }
    const TModeSegments &Segments() const { return ModeSegments; }

    // Start of the program: load the segments, or tell about the missing file
    // and write an empty one.
    void FormCreate();
    void LoadModeSegments();
    // False (and the operator told) when the file could be written nowhere.
    bool SaveModeSegments();

    void AddBtnClick() override;
    void EditBtnClick() override;
    void DeleteBtnClick() override;
    void ResortMode(int Index);

    // One question per overlapping neighbour pair; false after any No.
    bool FormCloseQuery() override;

    QTreeWidget *const ModesLBx;
    TEditModeFrm *EditModeFrm;

protected:
    void FillList() override;
    void StartNewList() override { ModeSegments.Clear(); }
    void LoadList() override { LoadModeSegments(); }
    bool SaveList() override { return SaveModeSegments(); }

private:
    TModeSegments ModeSegments;
};
