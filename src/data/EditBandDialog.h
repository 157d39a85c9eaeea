#pragma once

// The Edit Band dialog: one band-plan entry.

#include "data/EditEntryDialog.h"

class QCheckBox;

class TEditBandFrm : public TEditEntryFrm
{
    Q_OBJECT
public:
    explicit TEditBandFrm(QWidget *Parent = nullptr);

    // Fills the controls from an entry text (fields split with CutField).
    void LoadEntry(const QString &Text, bool ButtonAvailable);
    // Empty texts, "CW" selected, button available: a new band.
    void LoadNewEntry();
    // The six edited texts joined by TABs in file order. TABs and line breaks
    // typed or pasted into a field become blanks, so that one entry stays
    // one line of six fields.
    QString EntryText() const;

    // Keeps the initial frequency inside the band: when begin < end, end >= 1
    // and the initial frequency lies outside, it becomes the midpoint.
    void BandLimitsEdited();
    // Every failed check shows its message; true when all passed.
    bool FormCloseQuery() override;

    QCheckBox *ButtonAvailableChk;
    QLineEdit *ButtonCaptionEdt;
    QLineEdit *ScaleBeginEdt;
    QLineEdit *ScaleEndEdt;
    QLineEdit *InitFreqEdt;
    QComboBox *InitModeCBx;
    QLineEdit *BandNameEdt;
};
