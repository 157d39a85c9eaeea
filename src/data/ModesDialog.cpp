#include "data/ModesDialog.h"

#include "base/BgrColor.h"
#include "base/MessageBoxes.h"
#include "data/EditModeDialog.h"
#include "data/TextFields.h"

#include <QPainter>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace {

enum Column { ColBegin, ColEnd, ColModeAndColor, ColumnCount };
constexpr int BarWidth = 200;
constexpr int BarLeft = 4;
constexpr int ItemTextRole = Qt::UserRole + 1;

// The "Mode and Color" column: a bar in the segment's colour (none when the
// colour field is empty) with the caption, or the mode, written over it.
class ModeBarDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *Painter, const QStyleOptionViewItem &Option, const QModelIndex &Index) const override
    {
        QStyleOptionViewItem plain = Option;
        plain.text.clear();
        QStyledItemDelegate::paint(Painter, plain, Index);

        const QString text = Index.data(ItemTextRole).toString();
        const QChar tab = QLatin1Char('\t');
        const QString color = GetField(text, tab, mfColor).trimmed();
        const QRect row = Option.rect;
        Painter->save();
        if (!color.isEmpty())
            Painter->fillRect(QRect(row.left() + BarLeft, row.top() + 2, BarWidth, row.height() - 4),
                              bgrToColor(ModeColorFromText(color)));
        QString label = GetField(text, tab, mfCaption);
        if (label.isEmpty())
            label = GetField(text, tab, mfMode);
        Painter->setPen(Qt::black);
        Painter->drawText(row.adjusted(BarLeft, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, label);
        Painter->restore();
    }
};

} // namespace

TModesFrm::TModesFrm(QWidget *Parent)
    // The same caption as the band-plan dialog, as operators know it.
    : TDataListFrm(QStringLiteral("Bands"), Parent)
    , ModesLBx(ListBox)
    , EditModeFrm(new TEditModeFrm(this))
{
    ModesLBx->setColumnCount(ColumnCount);
    ModesLBx->setHeaderLabels({QStringLiteral("Begin Freq"), QStringLiteral("End Freq"), QStringLiteral("Mode and Color")});
    ModesLBx->setColumnWidth(ColBegin, 80);
    ModesLBx->setColumnWidth(ColEnd, 80);
    ModesLBx->setColumnWidth(ColModeAndColor, 300);
    ModesLBx->setItemDelegateForColumn(ColModeAndColor, new ModeBarDelegate(ModesLBx));
    ModesLBx->setMinimumWidth(480);
}

TModesFrm::~TModesFrm() = default;

void TModesFrm::FormCreate()
{
    StartUp(TModeSegments::FileName(), QStringLiteral("New empty file will be created."));
}

void TModesFrm::LoadModeSegments()
{
    const QString problem = ModeSegments.LoadModeSegments();
    FillList();
    TellProblem(problem);
}

bool TModesFrm::SaveModeSegments()
{
    const QString problem = ModeSegments.SaveModeSegments();
    TellProblem(problem);
    return problem.isEmpty();
}

void TModesFrm::FillList()
{
    ModesLBx->clear();
    const QChar tab = QLatin1Char('\t');
    for (const QString &text : ModeSegments.AllItems()) {
        auto *row = new QTreeWidgetItem(ModesLBx);
        row->setText(ColBegin, GroupThousands(GetField(text, tab, mfBegin)));
        row->setText(ColEnd, GroupThousands(GetField(text, tab, mfEnd)));
        row->setTextAlignment(ColBegin, Qt::AlignRight | Qt::AlignVCenter);
        row->setTextAlignment(ColEnd, Qt::AlignRight | Qt::AlignVCenter);
        row->setData(ColModeAndColor, ItemTextRole, text);
    }
}

void TModesFrm::AddBtnClick()
{
    EditModeFrm->LoadNewEntry();
    if (RunDialog(*EditModeFrm) != QDialog::Accepted)
        return;
    ModeSegments.Append(EditModeFrm->EntryText());
    ResortMode(ModeSegments.Count() - 1);
}

void TModesFrm::EditBtnClick()
{
    const int index = SelectedIndex();
    if (index < 0)
        return;
    EditModeFrm->LoadEntry(ModeSegments.Item(index));
    if (RunDialog(*EditModeFrm) != QDialog::Accepted)
        return;
    ModeSegments.SetText(index, EditModeFrm->EntryText());
    ResortMode(index);
}

void TModesFrm::DeleteBtnClick()
{
    const int index = SelectedIndex();
    if (index < 0 || !AskConfirmation(this, QStringLiteral("Are you sure to delete the selected mode?"), DefaultAnswer::Yes))
        return;
    ModeSegments.Remove(index);
    ShowList(qMin(index, ModeSegments.Count() - 1));
}

void TModesFrm::ResortMode(int Index)
{
    ShowList(ModeSegments.ResortMode(Index));
}

bool TModesFrm::FormCloseQuery()
{
    bool saveAnyway = true;
    for (const QString &question : ModeSegments.OverlapQuestions()) {
        if (!AskConfirmation(this, question, DefaultAnswer::Yes))
            saveAnyway = false;
    }
    return saveAnyway;
}
