#include "data/EditBandDialog.h"

#include "base/MessageBoxes.h"
#include "data/Bands.h"
#include "data/TextFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>

TEditBandFrm::TEditBandFrm(QWidget *Parent)
    : TEditEntryFrm(Parent)
    , ButtonAvailableChk(new QCheckBox(QStringLiteral("Button available"), this))
    , ButtonCaptionEdt(new QLineEdit(this))
    , ScaleBeginEdt(new QLineEdit(this))
    , ScaleEndEdt(new QLineEdit(this))
    , InitFreqEdt(new QLineEdit(this))
    , InitModeCBx(new QComboBox(this))
    , BandNameEdt(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Edit Band"));
    InitModeCBx->addItems(PlanModeNames());
    InitModeCBx->setCurrentIndex(-1);

    auto *form = new QFormLayout;
    form->addRow(ButtonAvailableChk);
    form->addRow(QStringLiteral("Button caption:"), ButtonCaptionEdt);
    form->addRow(QStringLiteral("Band beginning [kHz]:"), ScaleBeginEdt);
    form->addRow(QStringLiteral("Band end [kHz]:"), ScaleEndEdt);
    form->addRow(QStringLiteral("Initial frequency [kHz]:"), InitFreqEdt);
    form->addRow(QStringLiteral("Initial mode: "), InitModeCBx);
    form->addRow(QStringLiteral("Band name:"), BandNameEdt);
    LayOutWithButtons(form);

    connect(ScaleBeginEdt, &QLineEdit::textChanged, this, [this] { BandLimitsEdited(); });
    connect(ScaleEndEdt, &QLineEdit::textChanged, this, [this] { BandLimitsEdited(); });
}

void TEditBandFrm::LoadEntry(const QString &Text, bool ButtonAvailable)
{
    QString rest = Text;
    const QChar tab = QLatin1Char('\t');
    ButtonCaptionEdt->setText(CutField(rest, tab));
    ScaleBeginEdt->setText(CutField(rest, tab));
    ScaleEndEdt->setText(CutField(rest, tab));
    InitFreqEdt->setText(CutField(rest, tab));
    InitModeCBx->setCurrentIndex(InitModeCBx->findText(CutField(rest, tab), Qt::MatchExactly | Qt::MatchCaseSensitive));
    BandNameEdt->setText(CutField(rest, tab));
    ButtonAvailableChk->setChecked(ButtonAvailable);
}

void TEditBandFrm::LoadNewEntry()
{
    ButtonCaptionEdt->clear();
    ScaleBeginEdt->clear();
    ScaleEndEdt->clear();
    InitFreqEdt->clear();
    BandNameEdt->clear();
    InitModeCBx->setCurrentIndex(InitModeCBx->findText(QStringLiteral("CW")));
    ButtonAvailableChk->setChecked(true);
}

QString TEditBandFrm::EntryText() const
{
    return JoinEntryFields({
        ButtonCaptionEdt->text(), ScaleBeginEdt->text(), ScaleEndEdt->text(),
        InitFreqEdt->text(), SelectedText(InitModeCBx), BandNameEdt->text(),
    });
}

void TEditBandFrm::BandLimitsEdited()
{
    const int begin = FieldNumber(ScaleBeginEdt, -1);
    const int end = FieldNumber(ScaleEndEdt, -1);
    const int initial = FieldNumber(InitFreqEdt, -1);
    if (begin < end && end >= 1 && (initial < begin || initial > end))
        InitFreqEdt->setText(QString::number(qint64(begin) + (qint64(end) - begin) / 2));
}

bool TEditBandFrm::FormCloseQuery()
{
    bool passed = true;
    const auto check = [&](bool ok, const QString &message) {
        if (!ok) {
            ShowInformation(this, message);
            passed = false;
        }
    };
    const int captionLength = static_cast<int>(ButtonCaptionEdt->text().length());
    const int begin = FieldNumber(ScaleBeginEdt, 0);
    const int end = FieldNumber(ScaleEndEdt, 0);
    const int initial = FieldNumber(InitFreqEdt, 0);
    check(captionLength >= 1 && captionLength <= 6, QStringLiteral("Caption of the band button must from 1 to 6 characters long."));
    check(begin >= 100, QStringLiteral("Invalid value for beginning frequency.\nIt must be integer, in kHz, higher than 100"));
    check(end >= 100, QStringLiteral("Invalid value for end frequency.\nIt must be integer, in kHz, higher than 100"));
    check(!KhzTooHigh(ScaleBeginEdt), KhzTooHighMessage(QStringLiteral("Beginning frequency")));
    check(!KhzTooHigh(ScaleEndEdt), KhzTooHighMessage(QStringLiteral("End frequency")));
    check(!KhzTooHigh(InitFreqEdt), KhzTooHighMessage(QStringLiteral("Initial frequency")));
    check(begin < end, QStringLiteral("End frequency must be higher than beginning frequency."));
    check(begin <= initial && initial <= end, QStringLiteral("Initial frequency must be within the band limits."));
    check(InitModeCBx->currentIndex() >= 0, QStringLiteral("No initial mode selected."));
    return passed;
}
