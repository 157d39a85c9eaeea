#pragma once

// The "Zoom To" dialog: the user types the new scale range in whole kHz. Ok
// closes it only when the range is valid and lies within MinScaleBegin ..
// MaxScaleEnd (the dialog zooms in, never out).

#include <QDialog>

class QLineEdit;
class QPushButton;

class TZoomToFrm : public QDialog
{
    Q_OBJECT
public:
    explicit TZoomToFrm(QWidget *parent = nullptr);

    QLineEdit *BeginEdt = nullptr;
    QLineEdit *EndEdt = nullptr;
    QPushButton *OkBtn = nullptr;
    QPushButton *CancelBtn = nullptr;
    qint32 MinScaleBegin = 0;      // Hz
    qint32 MaxScaleEnd = 0;        // Hz

    // The entries in Hz; -1 when the entry is not a whole number of kHz.
    qint32 BeginFrequency() const;
    qint32 EndFrequency() const;

    // Runs every check, shows the message of each one that fails, in order,
    // and tells whether the entries may be used.
    bool CheckEntries();

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;
};
