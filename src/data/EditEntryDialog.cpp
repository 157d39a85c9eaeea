#include "data/EditEntryDialog.h"

#include "data/TextFields.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

void TEditEntryFrm::done(int Result)
{
    if (Result == QDialog::Accepted && !FormCloseQuery())
        return;
    QDialog::done(Result);
}

void TEditEntryFrm::LayOutWithButtons(QFormLayout *Form)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(Form);
    layout->addWidget(buttons);
}

int FieldNumber(const QLineEdit *Edit, int Fallback)
{
    // A number beyond int stays a number (the highest one), so that it is
    // refused as too high rather than as unreadable.
    bool ok = false;
    const qlonglong value = Edit->text().toLongLong(&ok, 10);
    if (!ok)
        return Fallback;
    return static_cast<int>(std::clamp<qlonglong>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool KhzTooHigh(const QLineEdit *Edit)
{
    bool ok = false;
    const qlonglong value = Edit->text().toLongLong(&ok, 10);
    return ok && value > MaxKhz;
}

QString KhzTooHighMessage(const QString &What)
{
    return What + QStringLiteral(" is too high.\nIt must be integer, in kHz, not higher than ") + QString::number(MaxKhz);
}

QString SelectedText(const QComboBox *Box)
{
    return Box->currentIndex() >= 0 ? Box->currentText() : QString();
}
