#pragma once

// "Show Frequency Markers": ticks the marker groups that the scale shows.
// Its list keeps the groups of earlier openings for the whole run.

#include <QDialog>
#include <QList>
#include <QStringList>

class QListWidget;
class QPushButton;

class TShowFqMarkersFrm : public QDialog
{
    Q_OBJECT
public:
    explicit TShowFqMarkersFrm(QWidget *Parent = nullptr);

    // Adds every group not in the list yet (ignoring case), then ticks
    // exactly the entries that Visible holds (ignoring case, as the scale
    // matches groups).
    void FillGroups(const QStringList &Groups, const QStringList &Visible);
    QStringList TickedGroups() const;

    void SelectAllBtnClick();
    void SelectNoneBtnClick();
    void InvertSelectionBtnClick();

    QListWidget *AttributesLBx;
    QPushButton *SelectAllBtn;
    QPushButton *SelectNoneBtn;
    QPushButton *InvertSelectionBtn;
};
