// The serial dialog's part for radios through Hamlib: any model Hamlib
// drives on a port of this computer, or a radio that a rigctld serves on
// this or another computer.

#include "cat/ComSettings.h"

#include "base/MessageBoxes.h"
#include "base/Settings.h"
#include "base/SystemQueries.h"
#include "cat/HamlibModels.h"
#include "cat/HamlibRig.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QStringList builtInSpeeds = {QStringLiteral("4800"), QStringLiteral("9600"), QStringLiteral("38400"),
                                   QStringLiteral("57600")};
const QString defaultRigctld = QStringLiteral("localhost:4532");

} // namespace

const QString TComSettingsFrm::HamlibRowText = QStringLiteral("Other radio (Hamlib)");
const QString TComSettingsFrm::NetworkRowText = QStringLiteral("Radio on the network (rigctld)");

QWidget *TComSettingsFrm::buildHamlibPart()
{
    auto *part = new QWidget;
    auto *layout = new QVBoxLayout(part);
    layout->setContentsMargins(0, 0, 0, 0);

    HamlibPnl = new QWidget;
    auto *hamlibLayout = new QVBoxLayout(HamlibPnl);
    hamlibLayout->setContentsMargins(0, 0, 0, 0);
    HamlibSearchEdt = new QLineEdit;
    HamlibSearchEdt->setObjectName(QStringLiteral("HamlibSearchEdt"));
    HamlibSearchEdt->setPlaceholderText(QStringLiteral("Search maker, model or number"));
    HamlibSearchEdt->setClearButtonEnabled(true);
    HamlibModelsLst = new QTreeWidget;
    HamlibModelsLst->setObjectName(QStringLiteral("HamlibModelsLst"));
    HamlibModelsLst->setHeaderLabels({QStringLiteral("Maker"), QStringLiteral("Model"), QStringLiteral("No.")});
    HamlibModelsLst->setRootIsDecorated(false);
    HamlibModelsLst->setUniformRowHeights(true);
    HamlibModelsLst->setMinimumHeight(160);
    HamlibModelsLst->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    hamlibLayout->addWidget(new QLabel(QStringLiteral("Hamlib drives the radio on the serial line above. Model:")));
    hamlibLayout->addWidget(HamlibSearchEdt);
    hamlibLayout->addWidget(HamlibModelsLst);

    NetworkPnl = new QWidget;
    auto *networkLayout = new QVBoxLayout(NetworkPnl);
    networkLayout->setContentsMargins(0, 0, 0, 0);
    RigctldAddressEdt = new QLineEdit;
    RigctldAddressEdt->setObjectName(QStringLiteral("RigctldAddressEdt"));
    auto *note = new QLabel(QStringLiteral("The radio is attached to a computer running rigctld (Hamlib), "
                                           "for example: rigctld -m 1020 -r /dev/ttyUSB0 -s 4800"));
    note->setWordWrap(true);
    networkLayout->addWidget(note);
    networkLayout->addWidget(new QLabel(QStringLiteral("rigctld address (host:port):")));
    networkLayout->addWidget(RigctldAddressEdt);

    layout->addWidget(HamlibPnl);
    layout->addWidget(NetworkPnl);
    HamlibPnl->hide();
    NetworkPnl->hide();

    connect(HamlibSearchEdt, &QLineEdit::textChanged, this, &TComSettingsFrm::SearchHamlibModels);
    connect(HamlibModelsLst, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item)
            chooseHamlibModel(item->data(2, Qt::DisplayRole).toInt());
    });
    return part;
}

TComSettingsFrm::RowKind TComSettingsFrm::rowKind() const
{
    const QString row = TcvrTypeCBx->currentText();
    if (row == HamlibRowText)
        return RowKind::Hamlib;
    return row == NetworkRowText ? RowKind::Network : RowKind::BuiltIn;
}

int TComSettingsFrm::HamlibModel() const
{
    switch (rowKind()) {
    case RowKind::Hamlib: return hamlibModel_;
    case RowKind::Network: return HamlibNetworkModel;
    default: return 0;
    }
}

void TComSettingsFrm::readHamlibSettings()
{
    hamlibModel_ = ReadIntSetting(QStringLiteral("HamlibModel"), 0);
    const QString address = ReadSetting(QStringLiteral("RigctldAddress"));
    RigctldAddressEdt->setText(address.isEmpty() ? defaultRigctld : address);
}

void TComSettingsFrm::writeHamlibSettings() const
{
    if (hamlibModel_ != 0)
        WriteSetting(QStringLiteral("HamlibModel"), QString::number(hamlibModel_));
    WriteSetting(QStringLiteral("RigctldAddress"), RigctldAddressEdt->text().trimmed());
}

void TComSettingsFrm::showHamlibPart()
{
    const RowKind kind = rowKind();
    HamlibPnl->setVisible(kind == RowKind::Hamlib);
    NetworkPnl->setVisible(kind == RowKind::Network);
    for (QWidget *line : {static_cast<QWidget *>(ComCBx), static_cast<QWidget *>(SpeedCBx),
                          static_cast<QWidget *>(DtrCBx), static_cast<QWidget *>(RtsCBx)})
        line->setEnabled(kind != RowKind::Network);
    if (kind == RowKind::Hamlib && HamlibModelsLst->topLevelItemCount() == 0) {
        // Hamlib's backends load at the first look at the list.
        for (const THamlibModel &model : HamlibModels()) {
            auto *item = new QTreeWidgetItem(HamlibModelsLst, {model.Maker, model.Model, QString()});
            item->setData(2, Qt::DisplayRole, model.Number);
        }
        SearchHamlibModels(HamlibSearchEdt->text());
    }
    if (kind == RowKind::Hamlib)
        chooseHamlibModel(hamlibModel_);
    else if (kind == RowKind::Network)
        hamlibType_ = HamlibModelType(HamlibNetworkModel);

    // A Hamlib radio may want any of the usual speeds.
    const QStringList speeds = kind == RowKind::Hamlib ? HamlibSpeeds() : builtInSpeeds;
    QStringList present;
    for (int i = 0; i < SpeedCBx->count(); ++i)
        present << SpeedCBx->itemText(i);
    if (present != speeds) {
        const QString speed = SpeedCBx->currentText();
        SpeedCBx->clear();
        SpeedCBx->addItems(speeds);
        SpeedCBx->setCurrentIndex(qMax(0, speeds.indexOf(speed)));
    }
}

void TComSettingsFrm::chooseHamlibModel(int model)
{
    hamlibModel_ = model;
    hamlibType_ = model != 0 ? HamlibModelType(model) : TcvrTypes[0];
    for (int i = 0; i < HamlibModelsLst->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = HamlibModelsLst->topLevelItem(i);
        if (item->data(2, Qt::DisplayRole).toInt() == model && HamlibModelsLst->currentItem() != item) {
            HamlibModelsLst->setCurrentItem(item);
            HamlibModelsLst->scrollToItem(item);
        }
    }
    // The model's own speed when the chosen one is not among its speeds.
    if (model != 0 && !hamlibType_.DefaultSpeed.isEmpty()
        && !hamlibType_.Speeds.split(u',').contains(SpeedCBx->currentText()))
        SpeedCBx->setCurrentIndex(qMax(0, SpeedCBx->findText(hamlibType_.DefaultSpeed)));
    SpeedCBx->update();
}

void TComSettingsFrm::SearchHamlibModels(const QString &text)
{
    const QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    for (int i = 0; i < HamlibModelsLst->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = HamlibModelsLst->topLevelItem(i);
        const QString haystack = item->text(0) + u' ' + item->text(1) + u' ' + item->text(2);
        bool shown = true;
        for (const QString &word : words)
            shown = shown && haystack.contains(word, Qt::CaseInsensitive);
        item->setHidden(!shown);
    }
}

bool TComSettingsFrm::hamlibChoiceComplete()
{
    const RowKind kind = rowKind();
    if (kind == RowKind::Hamlib && hamlibModel_ == 0) {
        ShowInformation(this, QStringLiteral("No radio model selected."));
        return false;
    }
    if (kind == RowKind::Network && !IsHostAndPort(RigctldAddressEdt->text().trimmed())) {
        ShowInformation(this, QStringLiteral("The rigctld address must be HOST:PORT (for example localhost:4532)."));
        return false;
    }
    return true;
}

void TComSettingsFrm::PresetHamlib(int model)
{
    hamlibModel_ = model;
    TcvrTypeCBx->setCurrentIndex(TcvrTypeCBx->findText(HamlibRowText));
    chooseHamlibModel(model);
}

void TComSettingsFrm::PresetRigctl(const QString &address)
{
    RigctldAddressEdt->setText(address);
    TcvrTypeCBx->setCurrentIndex(TcvrTypeCBx->findText(NetworkRowText));
}
