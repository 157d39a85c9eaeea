#include "data/EditEntryDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

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
    bool ok = false;
    const int value = Edit->text().toInt(&ok, 10);
    return ok ? value : Fallback;
}

QString SelectedText(const QComboBox *Box)
{
    return Box->currentIndex() >= 0 ? Box->currentText() : QString();
}
