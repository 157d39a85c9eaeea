#include "data/BandsDialog.h"

#include "data/EditBandDialog.h"
#include "data/MessagePrompt.h"
#include "data/TextFields.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { ColButton, ColBegin, ColEnd, ColInitial, ColMode, ColName, ColumnCount };

} // namespace

TBandsFrm::TBandsFrm(QWidget *Parent)
    : QDialog(Parent)
    , BandsLBx(new QTreeWidget(this))
    , AddBtn(new QPushButton(QStringLiteral("Add"), this))
    , EditBtn(new QPushButton(QStringLiteral("Edit"), this))
    , DeleteBtn(new QPushButton(QStringLiteral("Delete"), this))
    , EditBandFrm(new TEditBandFrm(this))
    , Prompt(MessageBoxPrompt(this))
    , RunDialog([](QDialog &Dialog) { return Dialog.exec(); })
{
    setWindowTitle(QStringLiteral("Bands"));

    BandsLBx->setColumnCount(ColumnCount);
    BandsLBx->setHeaderLabels({QStringLiteral("Button"), QStringLiteral("Begin Freq"), QStringLiteral("End Freq"),
                               QStringLiteral("Initial Freq"), QStringLiteral("Init Mode"), QStringLiteral("Band Name")});
    const int widths[ColumnCount] = {60, 80, 80, 80, 60, 140};
    for (int c = 0; c < ColumnCount; ++c)
        BandsLBx->setColumnWidth(c, widths[c]);
    BandsLBx->setRootIsDecorated(false);
    BandsLBx->setUniformRowHeights(true);
    BandsLBx->setSelectionMode(QAbstractItemView::SingleSelection);
    BandsLBx->setMinimumWidth(520);

    auto *okBtn = new QPushButton(QStringLiteral("Ok"), this);
    auto *cancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    okBtn->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(AddBtn);
    buttons->addWidget(EditBtn);
    buttons->addWidget(DeleteBtn);
    buttons->addStretch();
    buttons->addWidget(okBtn);
    buttons->addWidget(cancelBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(BandsLBx);
    layout->addLayout(buttons);

    connect(AddBtn, &QPushButton::clicked, this, [this] { AddBtnClick(); });
    connect(EditBtn, &QPushButton::clicked, this, [this] { EditBtnClick(); });
    connect(DeleteBtn, &QPushButton::clicked, this, [this] { DeleteBtnClick(); });
    connect(okBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(BandsLBx, &QTreeWidget::itemDoubleClicked, this, [this] { EditBtnClick(); });
    connect(BandsLBx, &QTreeWidget::itemChanged, this, &TBandsFrm::BandsLBxItemChanged);

    // The Delete key deletes wherever the focus is in the dialog.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        if (child->window() == this)
            child->installEventFilter(this);

    EditBandFrm->SetPrompt(Prompt);
}

TBandsFrm::~TBandsFrm() = default;

void TBandsFrm::SetPrompt(TUserPrompt NewPrompt)
{
    Prompt = std::move(NewPrompt);
    EditBandFrm->SetPrompt(Prompt);
}

void TBandsFrm::FormCreate()
{
    BandPlan.StartUp(Prompt);
    FillList();
}

void TBandsFrm::LoadBandPlan()
{
    const QString problem = BandPlan.LoadBandPlan();
    FillList();
    if (!problem.isEmpty() && Prompt)
        Prompt(TPromptKind::Information, problem);
}

bool TBandsFrm::SaveBandPlan()
{
    const QString problem = BandPlan.SaveBandPlan();
    if (problem.isEmpty())
        return true;
    if (Prompt)
        Prompt(TPromptKind::Information, problem);
    return false;
}

void TBandsFrm::FillRow(QTreeWidgetItem *Row, const TBandPlanItem &Item)
{
    const QStringList fields = Item.Text.split(QLatin1Char('\t'));
    Row->setText(ColButton, fields.value(bfCaption));
    Row->setText(ColBegin, GroupThousands(fields.value(bfBegin)));
    Row->setText(ColEnd, GroupThousands(fields.value(bfEnd)));
    Row->setText(ColInitial, GroupThousands(fields.value(bfInitFreq)));
    Row->setText(ColMode, fields.value(bfInitMode));
    Row->setText(ColName, fields.value(bfName));
    for (int c : {ColBegin, ColEnd, ColInitial})
        Row->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    Row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    Row->setCheckState(ColButton, Item.Checked ? Qt::Checked : Qt::Unchecked);
}

void TBandsFrm::FillList()
{
    const QSignalBlocker blocker(BandsLBx);
    BandsLBx->clear();
    for (const TBandPlanItem &item : BandPlan.AllItems())
        FillRow(new QTreeWidgetItem(BandsLBx), item);
}

void TBandsFrm::BandsLBxItemChanged(QTreeWidgetItem *Row, int Column)
{
    if (Column != ColButton)
        return;
    BandPlan.SetChecked(BandsLBx->indexOfTopLevelItem(Row), Row->checkState(ColButton) == Qt::Checked);
}

int TBandsFrm::SelectedIndex() const
{
    const QList<QTreeWidgetItem *> selected = BandsLBx->selectedItems();
    return selected.isEmpty() ? -1 : BandsLBx->indexOfTopLevelItem(selected.first());
}

void TBandsFrm::SelectItem(int Index)
{
    QTreeWidgetItem *row = BandsLBx->topLevelItem(Index);
    if (row == nullptr)
        return;
    BandsLBx->setCurrentItem(row);
    row->setSelected(true);
}

void TBandsFrm::AddBtnClick()
{
    EditBandFrm->LoadNewEntry();
    if (RunDialog(*EditBandFrm) != QDialog::Accepted)
        return;
    BandPlan.Append(EditBandFrm->ButtonAvailableChk->isChecked(), EditBandFrm->EntryText());
    FillList();
    const int index = BandPlan.Count() - 1;
    SelectItem(index);
    ResortBand(index);
}

void TBandsFrm::EditBtnClick()
{
    const int index = SelectedIndex();
    if (index < 0)
        return;
    const TBandPlanItem &item = BandPlan.Item(index);
    EditBandFrm->LoadEntry(item.Text, item.Checked);
    if (RunDialog(*EditBandFrm) != QDialog::Accepted)
        return;
    BandPlan.SetText(index, EditBandFrm->EntryText());
    BandPlan.SetChecked(index, EditBandFrm->ButtonAvailableChk->isChecked());
    ResortBand(index);
}

void TBandsFrm::DeleteBtnClick()
{
    const int index = SelectedIndex();
    if (index < 0)
        return;
    if (!Prompt || !Prompt(TPromptKind::Question, QStringLiteral("Are you sure to delete the selected band?")))
        return;
    BandPlan.Remove(index);
    FillList();
    SelectItem(qMin(index, BandPlan.Count() - 1));
}

void TBandsFrm::ResortBand(int Index)
{
    const int moved = BandPlan.ResortBand(Index);
    FillList();
    SelectItem(moved);
}

void TBandsFrm::done(int Result)
{
    if (Result == QDialog::Accepted)
        SaveBandPlan();
    else
        LoadBandPlan();
    QDialog::done(Result);
}

void TBandsFrm::showEvent(QShowEvent *Event)
{
    FillList();
    if (BandPlan.Count() > 0)
        SelectItem(0);
    QDialog::showEvent(Event);
}

bool TBandsFrm::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(Event)->key() == Qt::Key_Delete) {
        DeleteBtnClick();
        return true;
    }
    return QDialog::eventFilter(Watched, Event);
}
