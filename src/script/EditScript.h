#pragma once

// The script editor of the PROG keys: the script in a fixed-pitch font
// without word wrap, "Close" (keeps the edits without running them) and
// "Run >>>", and a status bar with the line of the caret.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;
class QStatusBar;

class TEditScriptFrm : public QDialog
{
    Q_OBJECT
public:
    explicit TEditScriptFrm(QWidget *parent = nullptr);

    QPlainTextEdit *RichEdit1 = nullptr;
    QPushButton *CloseBtn = nullptr; // result Rejected
    QPushButton *RunBtn = nullptr;   // result Accepted
    QStatusBar *StatusBar1 = nullptr;

    // The script with "\n" line ends, as the file's text gives it; the caret
    // goes to the start.
    void SetScriptText(const QString &text);
    // Every character as typed (no-break spaces too), lines ended by "\n".
    QString ScriptText() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void RichEdit1SelectionChange();
};
