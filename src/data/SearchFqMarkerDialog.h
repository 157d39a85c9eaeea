#pragma once

// "Search for Frequency Marker": the search text and its scope. The search
// itself is the main window's (TFqMarkerOps).

#include <QDialog>

class QComboBox;
class QRadioButton;

class TSearchFqMarkerFrm : public QDialog
{
    Q_OBJECT
public:
    explicit TSearchFqMarkerFrm(QWidget *Parent = nullptr);

    // The trimmed search text.
    QString SearchText() const;
    bool AllBands() const;
    // "Search >>>": an empty text is refused with a message, and the dialog
    // stays open.
    void SearchBtnClick();

    QComboBox *SearchStringCBx;
    QRadioButton *CurrentBandRdo;
    QRadioButton *AllBandsRdo;

protected:
    void showEvent(QShowEvent *Event) override;
};
