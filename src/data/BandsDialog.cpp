#include "data/BandsDialog.h"

#include "base/MessageBoxes.h"
#include "data/EditBandDialog.h"
#include "data/TextFields.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QStyleOptionViewItem>
#include <QTreeWidget>

namespace {

enum Column { ColButton, ColBegin, ColEnd, ColInitial, ColMode, ColName, ColumnCount };

} // namespace

TBandsFrm::TBandsFrm(QWidget *Parent)
    : TDataListFrm(QStringLiteral("Bands"), Parent)
    , BandsLBx(ListBox)
    , EditBandFrm(new TEditBandFrm(this))
{
    BandsLBx->setColumnCount(ColumnCount);
    BandsLBx->setHeaderLabels({QStringLiteral("Button"), QStringLiteral("Begin Freq"), QStringLiteral("End Freq"),
                               QStringLiteral("Initial Freq"), QStringLiteral("Init Mode"), QStringLiteral("Band Name")});
    const int widths[ColumnCount] = {60, 80, 80, 80, 60, 140};
    for (int c = 0; c < ColumnCount; ++c)
        BandsLBx->setColumnWidth(c, widths[c]);
    BandsLBx->setMinimumWidth(520);
    connect(BandsLBx, &QTreeWidget::itemChanged, this, &TBandsFrm::BandsLBxItemChanged);
}

TBandsFrm::~TBandsFrm() = default;

void TBandsFrm::FormCreate()
{
    StartUp(TBandPlan::FileName(), QStringLiteral("New file with default values will be created."));
}

void TBandsFrm::LoadBandPlan()
{
    const QString problem = BandPlan.LoadBandPlan();
    FillList();
    TellProblem(problem);
}

bool TBandsFrm::SaveBandPlan()
{
    const QString problem = BandPlan.SaveBandPlan();
    TellProblem(problem);
    return problem.isEmpty();
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
    QTreeWidgetItem *widest = nullptr;
    int widestText = 0;
    const QFontMetrics metrics(BandsLBx->font());
    for (const TBandPlanItem &item : BandPlan.AllItems()) {
        auto *row = new QTreeWidgetItem(BandsLBx);
        FillRow(row, item);
        const int text = metrics.horizontalAdvance(row->text(ColButton));
        if (text > widestText) {
            widestText = text;
            widest = row;
        }
    }
    // The caption column is as wide as its longest caption needs beside the
    // tick box ("2200m" must not show as "22..."), never narrower than 60.
    int width = 60;
    if (widest != nullptr) {
        QStyleOptionViewItem option;
        option.initFrom(BandsLBx);
        const QModelIndex index = BandsLBx->indexFromItem(widest, ColButton);
        width = qMax(width, BandsLBx->itemDelegateForIndex(index)->sizeHint(option, index).width());
    }
    BandsLBx->setColumnWidth(ColButton, width);
}

void TBandsFrm::BandsLBxItemChanged(QTreeWidgetItem *Row, int Column)
{
    if (Column != ColButton)
        return;
    BandPlan.SetChecked(BandsLBx->indexOfTopLevelItem(Row), Row->checkState(ColButton) == Qt::Checked);
}

void TBandsFrm::AddBtnClick()
{
    EditBandFrm->LoadNewEntry();
    if (RunDialog(*EditBandFrm) != QDialog::Accepted)
        return;
    BandPlan.Append(EditBandFrm->ButtonAvailableChk->isChecked(), EditBandFrm->EntryText());
    const int index = BandPlan.Count() - 1;
    ShowList(index);
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
    if (index < 0 || !AskConfirmation(this, QStringLiteral("Are you sure to delete the selected band?"), DefaultAnswer::Yes))
        return;
    BandPlan.Remove(index);
    ShowList(qMin(index, BandPlan.Count() - 1));
}

void TBandsFrm::ResortBand(int Index)
{
    ShowList(BandPlan.ResortBand(Index));
}
