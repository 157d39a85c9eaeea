#include "data/EditModeDialog.h"

#include "app/BgrColor.h"
#include "data/Bands.h"
#include "data/MessagePrompt.h"
#include "data/Modes.h"
#include "data/TextFields.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStyledItemDelegate>
#include <QStylePainter>
#include <QVBoxLayout>

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

int readInt(const QLineEdit *Edit)
{
    bool ok = false;
    const int value = Edit->text().toInt(&ok, 10);
    return ok ? value : 0;
}

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
    : QDialog(Parent)
    , ScaleBeginEdt(new QLineEdit(this))
    , ScaleEndEdt(new QLineEdit(this))
    , InitModeCBx(new QComboBox(this))
    , ColorCBx(new TColorComboBox(this))
    , CaptionEdt(new QLineEdit(this))
    , Prompt(MessageBoxPrompt(this))
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

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

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
    const QStringList fields = {
        ScaleBeginEdt->text(), ScaleEndEdt->text(),
        InitModeCBx->currentIndex() >= 0 ? InitModeCBx->currentText() : QString(),
        ColorCBx->currentIndex() >= 0 ? ColorCBx->currentText() : QString(),
        CaptionEdt->text(),
    };
    QStringList clean;
    for (const QString &field : fields)
        clean.append(SanitizeFieldText(field));
    return clean.join(QLatin1Char('\t'));
}

void TEditModeFrm::InitModeCBxChange()
{
    if (InitModeCBx->currentIndex() < 0)
        return;
    ColorCBx->setCurrentIndex(PreselectedColorIndex(InitModeCBx->currentText()));
}

bool TEditModeFrm::FormCloseQuery()
{
    const int begin = readInt(ScaleBeginEdt);
    const int end = readInt(ScaleEndEdt);
    const char *failure = nullptr;
    if (begin < 100)
        failure = "Invalid value for beginning frequency.\nIt must be integer, in kHz, higher than 100";
    else if (end < 100)
        failure = "Invalid value for end frequency.\nIt must be integer, in kHz, higher than 100";
    else if (begin >= end)
        failure = "End frequency must be higher than beginning frequency.";
    else if (InitModeCBx->currentIndex() < 0)
        failure = "No mode selected.";
    if (failure == nullptr)
        return true;
    if (Prompt)
        Prompt(TPromptKind::Information, QString::fromLatin1(failure));
    return false;
}

void TEditModeFrm::done(int Result)
{
    if (Result == QDialog::Accepted && !FormCloseQuery())
        return;
    QDialog::done(Result);
}
