#pragma once

// The "Frequency Marker" dialog: edits one marker on every add and edit path,
// and the "Used attributes:" pick list it opens.

#include "controls/ScaleTypes.h"
#include "data/DialogRunner.h"

#include <QDialog>
#include <QList>
#include <QPlainTextEdit>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

// A memo that refuses or changes characters however they come: typed,
// composed by an input method (a dead key), pasted or dropped. Filter gets
// each piece of text and returns what goes in.
class TFilteredMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    using TFilter = std::function<QString(const QString &Text)>;
    TFilteredMemo(TFilter Filter, QWidget *Parent);

protected:
    void keyPressEvent(QKeyEvent *Event) override;
    void inputMethodEvent(QInputMethodEvent *Event) override;
    void insertFromMimeData(const QMimeData *Source) override;

private:
    TFilter Filter;
};

// What the attribute and remark memos let in: attributes in upper case
// without blank, "," and "-" (the file's attribute separator); remarks
// without "~" (the file's line separator). Line breaks always pass.
QString FilterAttributeText(const QString &Text);
QString FilterRemarkText(const QString &Text);

// "Used attributes:": a sorted pick list, created and freed on each use.
class TListBoxFrm : public QDialog
{
    Q_OBJECT
public:
    explicit TListBoxFrm(QWidget *Parent = nullptr);
    // The selected entry; empty when none.
    QString SelectedText() const;

    QListWidget *ListBox;
};

class TEditFreqMarkerFrm : public QDialog
{
    Q_OBJECT
public:
    explicit TEditFreqMarkerFrm(QWidget *Parent = nullptr);

    void ShowMarkerInEditor(const TFqMarker &Marker);
    void TakeMarkerFromEditor(TFqMarker &Marker) const;
    // Enabled when adding and in the marker list, disabled when editing from
    // the scale: a marker on the scale keeps its frequency.
    void SetFrequencyEditable(bool Editable);

    // The frequency field in hertz: the kHz text (system or "." decimal
    // separator) times 1000, rounded; 0 when unreadable.
    qint64 EnteredFrequency() const;

    // Empty attribute lines go whatever the result; with Ok a mode must be
    // chosen and the frequency must lie within 100 kHz ... 500 MHz (false
    // keeps the dialog open), and differing tones bring the split-tone
    // warning.
    bool FormCloseQuery(bool Ok);
    // "Add existing attribute...": the pick list of the groups the markers
    // use that the memo does not hold yet.
    void Label6Click();

    // The markers whose attributes the pick list offers.
    void SetMarkerSource(std::function<QList<TFqMarker *>()> Source) { MarkerSource = std::move(Source); }
    // Runs the pick list (tests answer it).
    void SetDialogRunner(TDialogRunner Runner) { RunDialog = std::move(Runner); }

    void done(int Result) override;

    QLineEdit *CaptionEdt;
    QLineEdit *FrequencyEdt;
    QComboBox *ModeCBx;
    QCheckBox *PermanentChk;
    QComboBox *RxCtcssCBx;
    QComboBox *TxCtcssCBx;
    QLabel *AttributesLbl;
    QLabel *Label6;
    TFilteredMemo *AttributesMmo;
    TFilteredMemo *RemarkMmo;

protected:
    void showEvent(QShowEvent *Event) override;

private:
    void DeleteEmptyAttributeLines();

    std::function<QList<TFqMarker *>()> MarkerSource;
    TDialogRunner RunDialog;
    int PlanModeCount = 0; // the modes the list offers, before a marker's own
};
