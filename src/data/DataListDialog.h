#pragma once

// What the Bands and Modes dialogs share: the entries of one data file as a
// list with Add, Edit and Delete (the Delete key works anywhere in the
// dialog), Ok and Cancel. Ok writes the file; any other close reads it again,
// which discards the edits.

#include "data/DialogRunner.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

class TDataListFrm : public QDialog
{
    Q_OBJECT
public:
    void SetDialogRunner(TDialogRunner Runner) { RunDialog = std::move(Runner); }

    virtual void AddBtnClick() = 0;
    virtual void EditBtnClick() = 0;
    virtual void DeleteBtnClick() = 0;
    // Ok closes the dialog and saves only when this passes.
    virtual bool FormCloseQuery() { return true; }

    int SelectedIndex() const;
    void SelectItem(int Index);

    void done(int Result) override;

    QPushButton *AddBtn;
    QPushButton *EditBtn;
    QPushButton *DeleteBtn;

protected:
    TDataListFrm(const QString &Caption, QWidget *Parent);

    // Start of the program: with FileName in neither folder, tells the
    // operator (NewFileText is the message's second paragraph), lets
    // StartNewList fill the entries and saves them; otherwise loads the file.
    void StartUp(const QString &FileName, const QString &NewFileText);
    // Tells the operator about a failed load or save; nothing for empty text.
    void TellProblem(const QString &Problem);
    // Refills the rows and selects row Selected (none when out of range).
    void ShowList(int Selected);

    // One row per entry, in order.
    virtual void FillList() = 0;
    // The entries a new file starts with.
    virtual void StartNewList() = 0;
    // Reading and writing the file, each telling the operator what failed.
    virtual void LoadList() = 0;
    virtual bool SaveList() = 0;

    void showEvent(QShowEvent *Event) override;
    bool eventFilter(QObject *Watched, QEvent *Event) override;

    QTreeWidget *const ListBox;
    TDialogRunner RunDialog;
};
