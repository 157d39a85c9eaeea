#include "controls/ZoomTo.h"

#include "base/MessageBoxes.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace {

// Whole kHz as Hz; -1 for anything else, including values beyond 32 bits.
qint32 ReadKhz(const QString &text)
{
    bool ok = false;
    const qint64 khz = text.trimmed().toLongLong(&ok);
    if (!ok)
        return -1;
    // Checked before multiplying: a long entry would overflow even 64 bits.
    if (khz > std::numeric_limits<qint32>::max() / 1000 || khz < std::numeric_limits<qint32>::min() / 1000)
        return -1;
    return qint32(khz * 1000);
}

} // namespace

TZoomToFrm::TZoomToFrm(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Zoom To"));
    BeginEdt = new QLineEdit(this);
    BeginEdt->setObjectName(QStringLiteral("BeginEdt"));
    EndEdt = new QLineEdit(this);
    EndEdt->setObjectName(QStringLiteral("EndEdt"));
    OkBtn = new QPushButton(QStringLiteral("Ok"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Scale begin [kHz]:"), this), 0, 0);
    grid->addWidget(BeginEdt, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Scale end [kHz]:"), this), 1, 0);
    grid->addWidget(EndEdt, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    grid->addLayout(buttons, 2, 0, 1, 2);

    connect(OkBtn, &QPushButton::clicked, this, &TZoomToFrm::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &TZoomToFrm::reject);
}

qint32 TZoomToFrm::BeginFrequency() const
{
    return ReadKhz(BeginEdt->text());
}

qint32 TZoomToFrm::EndFrequency() const
{
    return ReadKhz(EndEdt->text());
}

bool TZoomToFrm::CheckEntries()
{
    const qint32 begin = BeginFrequency();
    const qint32 end = EndFrequency();
    QStringList messages;
    if (begin == -1)
        messages << QStringLiteral("Invalid frequency for beginning of the scale.\nEnter an integer in kHz.");
    if (end == -1)
        messages << QStringLiteral("Invalid frequency for end of the scale.\nEnter an integer in kHz.");
    if (begin < MinScaleBegin)
        messages << QStringLiteral("It is not possible to zoom out of the current scale this way.\n"
                                   "The scale beginning must higher or equal to ")
                        + QString::number(MinScaleBegin / 1000) + QStringLiteral(" kHz");
    if (end > MaxScaleEnd)
        messages << QStringLiteral("It is not possible to zoom out of the current scale this way.\n"
                                   "The scale end must lower or equal to ")
                        + QString::number(MaxScaleEnd / 1000) + QStringLiteral(" kHz");
    if (begin < 100000)
        messages << QStringLiteral("The lowest possible frequency for beginning of the scale is 100 kHz");
    if (qint64(end) - begin < 500)
        messages << QStringLiteral("The scale must be at least 1 kHz long.");
    for (const QString &text : messages)
        ShowInformation(this, text);
    return messages.isEmpty();
}

void TZoomToFrm::accept()
{
    if (CheckEntries())
        QDialog::accept();
}

void TZoomToFrm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    BeginEdt->setFocus();
}
