#include "data/AllFqMarkersDialog.h"

#include "base/MessageBoxes.h"
#include "data/EditFreqMarkerDialog.h"
#include "data/FqMarkerFormat.h"
#include "data/FqMarkerRows.h"

#include <QAction>
#include <QHeaderView>
#include <QInputDialog>
#include <QMenuBar>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

TAllFqMarkersFrm::TAllFqMarkersFrm(TEditFreqMarkerFrm &Editor, QWidget *Parent)
    : QDialog(Parent)
    , Rows(new TFqMarkerRows(this))
    , MarkersLBx(new QTreeView(this))
    , Editor(Editor)
    , NewMarkerFrequency([] { return 0; })
    , NewMarkerMode([] { return QString(); })
    , RunDialog(ExecDialog)
    , AskFindText([this] {
        return QInputDialog::getText(this, QStringLiteral("Find in Markers"), QStringLiteral("Find What: "));
    })
{
    setObjectName(QStringLiteral("AllFqMarkersFrm"));
    setWindowTitle(QStringLiteral("All Frequency Markers"));
    setSizeGripEnabled(true);
    setMinimumSize(200, 150);
    resize(720, 420);

    MarkersLBx->setModel(Rows);
    MarkersLBx->setRootIsDecorated(false);
    MarkersLBx->setUniformRowHeights(true);
    MarkersLBx->setItemsExpandable(false);
    MarkersLBx->setAllColumnsShowFocus(true);
    MarkersLBx->setSelectionMode(QAbstractItemView::ExtendedSelection);
    MarkersLBx->setSelectionBehavior(QAbstractItemView::SelectRows);
    MarkersLBx->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QHeaderView *header = MarkersLBx->header();
    header->setStretchLastSection(true);
    // The frequency column holds the highest frequency, 500,000.000, in the
    // list's font, with the margins an item keeps around its text.
    const int textMargins = 2 * (MarkersLBx->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, MarkersLBx) + 1);
    const int frequencyWidth =
        MarkersLBx->fontMetrics().horizontalAdvance(GroupMarkerFrequency(500000000)) + textMargins + 2;
    const int widths[] = {qMax(80, frequencyWidth), 220, 45, 150};
    for (int column = 0; column < 4; ++column)
        header->resizeSection(column, widths[column]);

    auto *menuBar = new QMenuBar(this);
    QMenu *markers = menuBar->addMenu(QStringLiteral("Markers"));
    CloseMnu = markers->addAction(QStringLiteral("Close"), QKeySequence(Qt::Key_Escape));
    QMenu *edit = menuBar->addMenu(QStringLiteral("Edit"));
    AddMnu = edit->addAction(QStringLiteral("Add"));
    EditMnu = edit->addAction(QStringLiteral("Edit"));
    EditMnu->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    DeleteMnu = edit->addAction(QStringLiteral("Delete"), QKeySequence(Qt::Key_Delete));
    QMenu *find = menuBar->addMenu(QStringLiteral("Find"));
    FindMnu = find->addAction(QStringLiteral("Find..."), QKeySequence(Qt::CTRL | Qt::Key_F));
    TuneToMnu = find->addAction(QStringLiteral("Tune To"), QKeySequence(Qt::CTRL | Qt::Key_T));
    for (QAction *action : {CloseMnu, AddMnu, EditMnu, DeleteMnu, FindMnu, TuneToMnu})
        action->setShortcutContext(Qt::WindowShortcut);

    connect(CloseMnu, &QAction::triggered, this, &TAllFqMarkersFrm::CloseMnuClick);
    connect(AddMnu, &QAction::triggered, this, &TAllFqMarkersFrm::AddMnuClick);
    connect(EditMnu, &QAction::triggered, this, &TAllFqMarkersFrm::EditMnuClick);
    connect(DeleteMnu, &QAction::triggered, this, &TAllFqMarkersFrm::DeleteMnuClick);
    connect(FindMnu, &QAction::triggered, this, &TAllFqMarkersFrm::Find2Click);
    connect(TuneToMnu, &QAction::triggered, this, &TAllFqMarkersFrm::TuneToMnuClick);
    connect(MarkersLBx, &QTreeView::doubleClicked, this, &TAllFqMarkersFrm::EditMnuClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(menuBar);
    layout->addWidget(MarkersLBx);
}

void TAllFqMarkersFrm::SetNewMarkerPlace(std::function<qint32()> Frequency, std::function<QString()> Mode)
{
    NewMarkerFrequency = std::move(Frequency);
    NewMarkerMode = std::move(Mode);
}

void TAllFqMarkersFrm::SelectRow(int Row)
{
    if (Row < 0 || Row >= Rows->Count())
        return;
    const QModelIndex index = Rows->index(Row, 0);
    MarkersLBx->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    MarkersLBx->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

int TAllFqMarkersFrm::SelectedRow() const
{
    const QItemSelectionModel *selection = MarkersLBx->selectionModel();
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && selection->isRowSelected(current.row(), QModelIndex()))
        return current.row();
    const QList<int> rows = SelectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

QList<int> TAllFqMarkersFrm::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &index : MarkersLBx->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TAllFqMarkersFrm::EditInEditor(int Row, bool Adding)
{
    TFqMarker marker;
    if (Adding) {
        TFqMarker selected;
        if (Row >= 0 && ParseMarkerLine(Rows->Line(Row), selected)) {
            marker.Frequency = selected.Frequency;
            marker.Mode = selected.Mode;
        } else {
            marker.Frequency = NewMarkerFrequency();
            marker.Mode = NewMarkerMode();
        }
        marker.Caption = QStringLiteral("New Marker");
        marker.Permanent = true;
    } else if (!ParseMarkerLine(Rows->Line(Row), marker)) {
        return;
    }
    Editor.ShowMarkerInEditor(marker);
    Editor.SetFrequencyEditable(true);
    if (RunDialog(Editor) != QDialog::Accepted)
        return;
    Editor.TakeMarkerFromEditor(marker);
    const QString line = FormatMarkerLine(marker);
    int at = Row;
    if (Adding)
        at = Rows->InsertLine(Row < 0 ? 0 : Row + 1, line);
    else
        Rows->SetLine(Row, line);
    SelectRow(Rows->ResortMarkerRow(at));
    emit RowsEdited();
}

void TAllFqMarkersFrm::AddMnuClick()
{
    EditInEditor(SelectedRow(), true);
}

void TAllFqMarkersFrm::EditMnuClick()
{
    const int row = SelectedRow();
    if (row >= 0)
        EditInEditor(row, false);
}

void TAllFqMarkersFrm::DeleteMnuClick()
{
    const QList<int> rows = SelectedRows();
    if (rows.isEmpty()) {
        ShowInformation(this, QStringLiteral("No items selected in the list. Select one or more items to delete."));
        return;
    }
    if (!AskConfirmation(this, QStringLiteral("Are you sure to delete ") + QString::number(rows.size())
                                   + QStringLiteral(" selected marker(s)?")))
        return;
    Rows->RemoveRows(rows);
    emit RowsEdited();
}

void TAllFqMarkersFrm::Find2Click()
{
    const QString text = AskFindText();
    for (int row = Rows->FindRow(text, 0); row >= 0; row = Rows->FindRow(text, row + 1)) {
        SelectRow(row);
        // At the list's top right, so that the row found stays in view.
        const QRect list = frameGeometry();
        if (!AskConfirmationAt(this, QStringLiteral("Occurence found. \n\nDo you want to search for another?"),
                               QPoint(list.x() + list.width() - 300, list.y())))
            return;
    }
}

void TAllFqMarkersFrm::TuneToMnuClick()
{
    done(TuneToResult);
}

void TAllFqMarkersFrm::CloseMnuClick()
{
    done(QDialog::Accepted);
}
