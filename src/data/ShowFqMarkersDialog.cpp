#include "data/ShowFqMarkersDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

TShowFqMarkersFrm::TShowFqMarkersFrm(QWidget *Parent)
    : QDialog(Parent)
    , AttributesLBx(new QListWidget(this))
    , SelectAllBtn(new QPushButton(QStringLiteral("Select All"), this))
    , SelectNoneBtn(new QPushButton(QStringLiteral("Select None"), this))
    , InvertSelectionBtn(new QPushButton(QStringLiteral("Invert Selection"), this))
{
    setObjectName(QStringLiteral("ShowFqMarkersFrm"));
    setWindowTitle(QStringLiteral("Show Frequency Markers"));
    auto *okCancel = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *side = new QVBoxLayout;
    side->addWidget(SelectAllBtn);
    side->addWidget(SelectNoneBtn);
    side->addWidget(InvertSelectionBtn);
    side->addStretch();
    auto *middle = new QHBoxLayout;
    middle->addWidget(AttributesLBx);
    middle->addLayout(side);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Visible frequency markers:"), this));
    layout->addLayout(middle);
    layout->addWidget(okCancel);

    connect(SelectAllBtn, &QPushButton::clicked, this, &TShowFqMarkersFrm::SelectAllBtnClick);
    connect(SelectNoneBtn, &QPushButton::clicked, this, &TShowFqMarkersFrm::SelectNoneBtnClick);
    connect(InvertSelectionBtn, &QPushButton::clicked, this, &TShowFqMarkersFrm::InvertSelectionBtnClick);
    connect(okCancel, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(okCancel, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TShowFqMarkersFrm::FillGroups(const QStringList &Groups, const QStringList &Visible)
{
    QSet<QString> listed;
    for (int i = 0; i < AttributesLBx->count(); ++i)
        listed.insert(AttributesLBx->item(i)->text().toUpper());
    for (const QString &group : Groups) {
        if (listed.contains(group.toUpper()))
            continue;
        listed.insert(group.toUpper());
        auto *item = new QListWidgetItem(group, AttributesLBx);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    }
    for (int i = 0; i < AttributesLBx->count(); ++i) {
        QListWidgetItem *item = AttributesLBx->item(i);
        item->setCheckState(Visible.contains(item->text(), Qt::CaseInsensitive) ? Qt::Checked : Qt::Unchecked);
    }
}

QStringList TShowFqMarkersFrm::TickedGroups() const
{
    QStringList ticked;
    for (int i = 0; i < AttributesLBx->count(); ++i) {
        if (AttributesLBx->item(i)->checkState() == Qt::Checked)
            ticked.append(AttributesLBx->item(i)->text());
    }
    return ticked;
}

void TShowFqMarkersFrm::SelectAllBtnClick()
{
    for (int i = 0; i < AttributesLBx->count(); ++i)
        AttributesLBx->item(i)->setCheckState(Qt::Checked);
}

void TShowFqMarkersFrm::SelectNoneBtnClick()
{
    for (int i = 0; i < AttributesLBx->count(); ++i)
        AttributesLBx->item(i)->setCheckState(Qt::Unchecked);
}

void TShowFqMarkersFrm::InvertSelectionBtnClick()
{
    for (int i = 0; i < AttributesLBx->count(); ++i) {
        QListWidgetItem *item = AttributesLBx->item(i);
        item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
}
