#include "data/ModesDialog.h"

#include "app/BgrColor.h"
#include "data/EditModeDialog.h"
#include "data/MessagePrompt.h"
#include "data/TextFields.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeWidget>
#include <QVBoxLayout>

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
    : QDialog(Parent)
    , ModesLBx(new QTreeWidget(this))
    , AddBtn(new QPushButton(QStringLiteral("Add"), this))
    , EditBtn(new QPushButton(QStringLiteral("Edit"), this))
    , DeleteBtn(new QPushButton(QStringLiteral("Delete"), this))
    , EditModeFrm(new TEditModeFrm(this))
    , Prompt(MessageBoxPrompt(this))
    , RunDialog([](QDialog &Dialog) { return Dialog.exec(); })
{
    // The same caption as the band-plan dialog, as operators know it.
    setWindowTitle(QStringLiteral("Bands"));

    ModesLBx->setColumnCount(ColumnCount);
    ModesLBx->setHeaderLabels({QStringLiteral("Begin Freq"), QStringLiteral("End Freq"), QStringLiteral("Mode and Color")});
    ModesLBx->setColumnWidth(ColBegin, 80);
    ModesLBx->setColumnWidth(ColEnd, 80);
    ModesLBx->setColumnWidth(ColModeAndColor, 300);
    ModesLBx->setItemDelegateForColumn(ColModeAndColor, new ModeBarDelegate(ModesLBx));
    ModesLBx->setRootIsDecorated(false);
    ModesLBx->setUniformRowHeights(true);
    ModesLBx->setSelectionMode(QAbstractItemView::SingleSelection);
    ModesLBx->setMinimumWidth(480);

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
    layout->addWidget(ModesLBx);
    layout->addLayout(buttons);

    connect(AddBtn, &QPushButton::clicked, this, [this] { AddBtnClick(); });
    connect(EditBtn, &QPushButton::clicked, this, [this] { EditBtnClick(); });
    connect(DeleteBtn, &QPushButton::clicked, this, [this] { DeleteBtnClick(); });
    connect(okBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(ModesLBx, &QTreeWidget::itemDoubleClicked, this, [this] { EditBtnClick(); });

    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        if (child->window() == this)
            child->installEventFilter(this);

    EditModeFrm->SetPrompt(Prompt);
}

TModesFrm::~TModesFrm() = default;

void TModesFrm::SetPrompt(TUserPrompt NewPrompt)
{
    Prompt = std::move(NewPrompt);
    EditModeFrm->SetPrompt(Prompt);
}

void TModesFrm::FormCreate()
{
    ModeSegments.StartUp(Prompt);
    FillList();
}

void TModesFrm::LoadModeSegments()
{
    const QString problem = ModeSegments.LoadModeSegments();
    FillList();
    if (!problem.isEmpty() && Prompt)
        Prompt(TPromptKind::Information, problem);
}

bool TModesFrm::SaveModeSegments()
{
    const QString problem = ModeSegments.SaveModeSegments();
    if (problem.isEmpty())
        return true;
    if (Prompt)
        Prompt(TPromptKind::Information, problem);
    return false;
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

int TModesFrm::SelectedIndex() const
{
    const QList<QTreeWidgetItem *> selected = ModesLBx->selectedItems();
    return selected.isEmpty() ? -1 : ModesLBx->indexOfTopLevelItem(selected.first());
}

void TModesFrm::SelectItem(int Index)
{
    QTreeWidgetItem *row = ModesLBx->topLevelItem(Index);
    if (row == nullptr)
        return;
    ModesLBx->setCurrentItem(row);
    row->setSelected(true);
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
    if (index < 0)
        return;
    if (!Prompt || !Prompt(TPromptKind::Question, QStringLiteral("Are you sure to delete the selected mode?")))
        return;
    ModeSegments.Remove(index);
    FillList();
    SelectItem(qMin(index, ModeSegments.Count() - 1));
}

void TModesFrm::ResortMode(int Index)
{
    const int moved = ModeSegments.ResortMode(Index);
    FillList();
    SelectItem(moved);
}

bool TModesFrm::FormCloseQuery()
{
    bool saveAnyway = true;
    for (const QString &question : ModeSegments.OverlapQuestions()) {
        if (!Prompt || !Prompt(TPromptKind::Question, question))
            saveAnyway = false;
    }
    return saveAnyway;
}

void TModesFrm::done(int Result)
{
    if (Result == QDialog::Accepted) {
        if (!FormCloseQuery())
            return;
        SaveModeSegments();
    } else {
        LoadModeSegments();
    }
    QDialog::done(Result);
}

void TModesFrm::showEvent(QShowEvent *Event)
{
    FillList();
    if (ModeSegments.Count() > 0)
        SelectItem(0);
    QDialog::showEvent(Event);
}

bool TModesFrm::eventFilter(QObject *Watched, QEvent *Event)
{
    if (Event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(Event)->key() == Qt::Key_Delete) {
        DeleteBtnClick();
        return true;
    }
    return QDialog::eventFilter(Watched, Event);
}
