#pragma once

// What the Edit Band and Edit Mode dialogs share: a form of fields over Ok
// and Cancel, where Ok closes the dialog only when the fields pass their
// checks.

#include <QDialog>

class QComboBox;
class QFormLayout;
class QLineEdit;

class TEditEntryFrm : public QDialog
{
    Q_OBJECT
public:
    // Checks the fields and tells the operator what is wrong; true when the
    // entry may be taken.
    virtual bool FormCloseQuery() = 0;

    void done(int Result) override;

protected:
    using QDialog::QDialog;

    // Puts Form above Ok and Cancel. Called once every field exists, so that
    // the buttons come last in the tab order.
    void LayOutWithButtons(QFormLayout *Form);
};

// The number typed into Edit (beyond int: the nearest int); Fallback when it
// is not a whole number.
int FieldNumber(const QLineEdit *Edit, int Fallback);

// A whole number typed into Edit that is too high for its hertz to be kept
// (hertz typed where kHz belong, say).
bool KhzTooHigh(const QLineEdit *Edit);
// "<What> is too high.\nIt must be integer, in kHz, not higher than 2147483".
QString KhzTooHighMessage(const QString &What);

// The selected item's text; empty when nothing is selected.
QString SelectedText(const QComboBox *Box);
