#pragma once

// The Edit Mode dialog: one mode segment.

#include "data/EditEntryDialog.h"

#include <QComboBox>

// The colour list: every row filled with its colour, no text. The item texts
// are the colour values ("009B9BFB") so that the selection reads as a value.
class TColorComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit TColorComboBox(QWidget *Parent = nullptr);

protected:
    void paintEvent(QPaintEvent *Event) override;
};

class TEditModeFrm : public TEditEntryFrm
{
    Q_OBJECT
public:
    explicit TEditModeFrm(QWidget *Parent = nullptr);

    // Fills the controls from a segment text (fields split with CutField); a
    // list whose field matches none of its items selects nothing.
    void LoadEntry(const QString &Text);
    // Everything empty and nothing selected: a new segment.
    void LoadNewEntry();
    // begin, end, mode, colour (or empty), caption joined by TABs; TABs and
    // line breaks inside a field become blanks.
    QString EntryText() const;

    // A mode was chosen: select the colour of its group.
    void InitModeCBxChange();
    // Stops at the first failed check and shows its message.
    bool FormCloseQuery() override;

    QLineEdit *ScaleBeginEdt;
    QLineEdit *ScaleEndEdt;
    QComboBox *InitModeCBx;
    TColorComboBox *ColorCBx;
    QLineEdit *CaptionEdt;
};
