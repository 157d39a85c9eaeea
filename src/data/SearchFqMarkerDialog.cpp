#include "data/SearchFqMarkerDialog.h"

#include "base/MessageBoxes.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TSearchFqMarkerFrm::TSearchFqMarkerFrm(QWidget *Parent)
    : QDialog(Parent)
    , SearchStringCBx(new QComboBox(this))
    , CurrentBandRdo(new QRadioButton(QStringLiteral("Current band"), this))
    , AllBandsRdo(new QRadioButton(QStringLiteral("All bands"), this))
{
    setObjectName(QStringLiteral("SearchFqMarkerFrm"));
    setWindowTitle(QStringLiteral("Search for Frequency Marker"));
    SearchStringCBx->setEditable(true);
    // The texts searched for are not collected in the drop-down.
    SearchStringCBx->setInsertPolicy(QComboBox::NoInsert);
    CurrentBandRdo->setChecked(true);

    auto *scope = new QGroupBox(QStringLiteral("Scope"), this);
    auto *scopeLayout = new QVBoxLayout(scope);
    scopeLayout->addWidget(CurrentBandRdo);
    scopeLayout->addWidget(AllBandsRdo);
    auto *cancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    auto *searchBtn = new QPushButton(QStringLiteral("Search >>>"), this);
    searchBtn->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelBtn);
    buttons->addWidget(searchBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Search string:"), this));
    layout->addWidget(SearchStringCBx);
    layout->addWidget(scope);
    layout->addLayout(buttons);

    connect(cancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(searchBtn, &QPushButton::clicked, this, &TSearchFqMarkerFrm::SearchBtnClick);
}

QString TSearchFqMarkerFrm::SearchText() const
{
    return SearchStringCBx->currentText().trimmed();
}

bool TSearchFqMarkerFrm::AllBands() const
{
    return AllBandsRdo->isChecked();
}

void TSearchFqMarkerFrm::SearchBtnClick()
{
    if (SearchText().isEmpty()) {
        ShowInformation(this, QStringLiteral("An empty string can't be searched for."));
        return;
    }
    accept();
}

void TSearchFqMarkerFrm::showEvent(QShowEvent *Event)
{
    QDialog::showEvent(Event);
    SearchStringCBx->setFocus();
}
