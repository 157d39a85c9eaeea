#include "data/DataListDialog.h"

#include "base/MessageBoxes.h"
#include "data/DataFile.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

int ExecDialog(QDialog &Dialog)
{
    return Dialog.exec();
}

TDataListFrm::TDataListFrm(const QString &Caption, QWidget *Parent)
    : QDialog(Parent)
    , AddBtn(nullptr)
    , EditBtn(nullptr)
    , DeleteBtn(nullptr)
    , ListBox(new QTreeWidget(this))
    , RunDialog(ExecDialog)
{
    // Created in this order so that the tab order runs list, Add, Edit,
    // Delete, Ok, Cancel.
    AddBtn = new QPushButton(QStringLiteral("Add"), this);
    EditBtn = new QPushButton(QStringLiteral("Edit"), this);
    DeleteBtn = new QPushButton(QStringLiteral("Delete"), this);
    auto *okBtn = new QPushButton(QStringLiteral("Ok"), this);
    auto *cancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    okBtn->setDefault(true);
    setWindowTitle(Caption);

    ListBox->setRootIsDecorated(false);
    ListBox->setUniformRowHeights(true);
    ListBox->setSelectionMode(QAbstractItemView::SingleSelection);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(AddBtn);
    buttons->addWidget(EditBtn);
    buttons->addWidget(DeleteBtn);
    buttons->addStretch();
    buttons->addWidget(okBtn);
    buttons->addWidget(cancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ListBox);
    layout->addLayout(buttons);

    connect(AddBtn, &QPushButton::clicked, this, [this] { AddBtnClick(); });
    connect(EditBtn, &QPushButton::clicked, this, [this] { EditBtnClick(); });
    connect(DeleteBtn, &QPushButton::clicked, this, [this] { DeleteBtnClick(); });
    connect(okBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBox, &QTreeWidget::itemDoubleClicked, this, [this] { EditBtnClick(); });

    // The Delete key deletes wherever the focus is in the dialog.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        if (child->window() == this)
            child->installEventFilter(this);
}

void TDataListFrm::StartUp(const QString &FileName, const QString &NewFileText)
{
    if (DataFileExists(FileName)) {
        LoadList();
        return;
    }
    ShowInformation(this, MissingDataFileMessage(FileName, NewFileText));
    StartNewList();
    SaveList();
    FillList();
}

void TDataListFrm::TellProblem(const QString &Problem)
{
    if (!Problem.isEmpty())
        ShowInformation(this, Problem);
}

void TDataListFrm::ShowList(int Selected)
{
    FillList();
    SelectItem(Selected);
}

int TDataListFrm::SelectedIndex() const
{
    const QList<QTreeWidgetItem *> selected = ListBox->selectedItems();
    return selected.isEmpty() ? -1 : ListBox->indexOfTopLevelItem(selected.first());
}

void TDataListFrm::SelectItem(int Index)
{
    QTreeWidgetItem *row = ListBox->topLevelItem(Index);
    if (row == nullptr)
        return;
    ListBox->setCurrentItem(row);
    row->setSelected(true);
}

void TDataListFrm::done(int Result)
{
    if (Result == QDialog::Accepted) {
        if (!FormCloseQuery())
            return;
        SaveList();
    } else {
        LoadList();
    }
    QDialog::done(Result);
}

void TDataListFrm::showEvent(QShowEvent *Event)
{
    ShowList(0);
    QDialog::showEvent(Event);
}

bool TDataListFrm::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(Event)->key() == Qt::Key_Delete) {
        DeleteBtnClick();
        return true;
    }
    return QDialog::eventFilter(Watched, Event);
}
