#include "data/EditModeDialog.h"

#include "base/BgrColor.h"
#include "base/MessageBoxes.h"
#include "data/Bands.h"
#include "data/Modes.h"
#include "data/TextFields.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QStylePainter>

namespace {

// Paints a colour row: the whole row in its colour, a frame when selected.
class ColorRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *Painter, const QStyleOptionViewItem &Option, const QModelIndex &Index) const override
    {
        const QColor color = bgrToColor(ModeColorFromText(Index.data(Qt::DisplayRole).toString()));
        Painter->fillRect(Option.rect, color);
        if (Option.state & QStyle::State_Selected) {
            Painter->setPen(Option.palette.color(QPalette::Highlight));
            Painter->drawRect(Option.rect.adjusted(0, 0, -1, -1));
        }
    }
};

} // namespace

TColorComboBox::TColorComboBox(QWidget *Parent)
    : QComboBox(Parent)
{
    setItemDelegate(new ColorRowDelegate(this));
    addItems(ModeColorValues());
    setCurrentIndex(-1);
}

void TColorComboBox::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() >= 0) {
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
        painter.fillRect(field.adjusted(1, 1, -1, -1), bgrToColor(ModeColorFromText(currentText())));
    }
}

TEditModeFrm::TEditModeFrm(QWidget *Parent)
    : TEditEntryFrm(Parent)
    , ScaleBeginEdt(new QLineEdit(this))
    , ScaleEndEdt(new QLineEdit(this))
    , InitModeCBx(new QComboBox(this))
    , ColorCBx(new TColorComboBox(this))
    , CaptionEdt(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Edit Mode"));
    InitModeCBx->addItems(PlanModeNames());
    InitModeCBx->setMaxVisibleItems(16);
    InitModeCBx->setCurrentIndex(-1);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Band beginning [kHz]:"), ScaleBeginEdt);
    form->addRow(QStringLiteral("Band end [kHz]:"), ScaleEndEdt);
    form->addRow(QStringLiteral("Mode:"), InitModeCBx);
    form->addRow(QStringLiteral("Color:"), ColorCBx);
    form->addRow(QStringLiteral("Caption (optional, if empty it shows mode):"), CaptionEdt);
    LayOutWithButtons(form);

    // Only a choice by the operator preselects a colour; loading an entry
    // keeps the entry's own colour.
    connect(InitModeCBx, &QComboBox::activated, this, [this] { InitModeCBxChange(); });
}

void TEditModeFrm::LoadEntry(const QString &Text)
{
    QString rest = Text;
    const QChar tab = QLatin1Char('\t');
    const auto exact = Qt::MatchExactly | Qt::MatchCaseSensitive;
    ScaleBeginEdt->setText(CutField(rest, tab));
    ScaleEndEdt->setText(CutField(rest, tab));
    InitModeCBx->setCurrentIndex(InitModeCBx->findText(CutField(rest, tab), exact));
    ColorCBx->setCurrentIndex(ColorCBx->findText(CutField(rest, tab), exact));
    CaptionEdt->setText(CutField(rest, tab));
}

void TEditModeFrm::LoadNewEntry()
{
    ScaleBeginEdt->clear();
    ScaleEndEdt->clear();
    InitModeCBx->setCurrentIndex(-1);
    ColorCBx->setCurrentIndex(-1);
    CaptionEdt->clear();
}

QString TEditModeFrm::EntryText() const
{
    return JoinEntryFields({
        ScaleBeginEdt->text(), ScaleEndEdt->text(), SelectedText(InitModeCBx), SelectedText(ColorCBx),
        CaptionEdt->text(),
    });
}

void TEditModeFrm::InitModeCBxChange()
{
    if (InitModeCBx->currentIndex() < 0)
        return;
    ColorCBx->setCurrentIndex(PreselectedColorIndex(InitModeCBx->currentText()));
}

bool TEditModeFrm::FormCloseQuery()
{
    const int begin = FieldNumber(ScaleBeginEdt, 0);
    const int end = FieldNumber(ScaleEndEdt, 0);
    QString failure;
    if (begin < 100)
        failure = QStringLiteral("Invalid value for beginning frequency.\nIt must be integer, in kHz, higher than 100");
    else if (end < 100)
        failure = QStringLiteral("Invalid value for end frequency.\nIt must be integer, in kHz, higher than 100");
    else if (KhzTooHigh(ScaleBeginEdt))
        failure = KhzTooHighMessage(QStringLiteral("Beginning frequency"));
    else if (KhzTooHigh(ScaleEndEdt))
        failure = KhzTooHighMessage(QStringLiteral("End frequency"));
    else if (begin >= end)
        failure = QStringLiteral("End frequency must be higher than beginning frequency.");
    else if (InitModeCBx->currentIndex() < 0)
        failure = QStringLiteral("No mode selected.");
    if (failure.isEmpty())
        return true;
    ShowInformation(this, failure);
    return false;
}
