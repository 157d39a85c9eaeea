#include "data/BandKeys.h"

#include "base/MessageBoxes.h"
#include "base/Widgets.h"
#include "data/Bands.h"
#include "data/Modes.h"

#include <QAbstractButton>
#include <QAction>
#include <QFont>
#include <QMenu>

TBandKeys::TBandKeys(TBandPlan &BandPlan, TModeSegments &ModeSegments, TBandKeysHost &BandHost,
                     const QList<QAbstractButton *> &BandButtons, QMenu *Popup, QObject *Parent)
    : QObject(Parent)
    , Plan(BandPlan)
    , Segments(ModeSegments)
    , Host(BandHost)
    , Buttons(BandButtons)
    , AllBandsPpp(Popup)
{
    for (int k = 0; k < Buttons.size(); ++k) {
        QAbstractButton *button = Buttons.at(k);
        button->setText(QString());
        button->setCheckable(true);
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QAbstractButton::clicked, this, [this, k] { ButtonClicked(k); });
        connect(button, &QWidget::customContextMenuRequested, this, [this, button](const QPoint &Pos) {
            if (AllBandsPpp)
                AllBandsPpp->popup(button->mapToGlobal(Pos));
        });
    }
    if (AllBandsPpp) {
        AllBandsPpp->clear();
        AllBandsPpp->addAction(QStringLiteral("*"));
        AllBandsPpp->addSeparator();
        DefineBandsAction = AllBandsPpp->addAction(QStringLiteral("Define Bands..."));
        DefineBandsAction->setObjectName(QStringLiteral("DefineBandsMnu"));
        connect(DefineBandsAction, &QAction::triggered, this, [this] { BandsMnuClick(); });
        connect(AllBandsPpp, &QMenu::aboutToShow, this, [this] { AllBandsPppPopup(); });
    }
}

int TBandKeys::PressedButton() const
{
    for (int k = 0; k < Buttons.size(); ++k)
        if (Buttons.at(k)->isChecked())
            return k;
    return -1;
}

QString TBandKeys::PressedBandCaption() const
{
    const int k = PressedButton();
    return k < 0 ? QString() : Buttons.at(k)->text();
}

void TBandKeys::PressButton(int Index)
{
    for (int k = 0; k < Buttons.size(); ++k)
        Buttons.at(k)->setChecked(k == Index);
}

void TBandKeys::ReleaseAllButtons()
{
    PressButton(-1);
}

void TBandKeys::PressButtonsWithCaption(const QString &Caption)
{
    // One key of the group stays down: of several with the caption, the last.
    for (int k = 0; k < Buttons.size(); ++k)
        if (Buttons.at(k)->text() == Caption)
            PressButton(k);
}

void TBandKeys::ButtonClicked(int Index)
{
    // The click has toggled the key; a key that went down releases the rest
    // of its group, a second click on the pressed key leaves all keys up.
    if (Buttons.at(Index)->isChecked())
        PressButton(Index);
    BandChanged(Buttons.at(Index));
}

void TBandKeys::ApplyBandPlan()
{
    Host.ClearBands();
    for (QAbstractButton *button : std::as_const(Buttons)) {
        button->setChecked(false);
        button->setText(QString());
        button->setToolTip(QString());
    }
    int k = 0;
    for (int i = 0; i < Plan.Count() && k < Buttons.size(); ++i) {
        if (!Plan.Item(i).Checked)
            continue;
        const TBandPlanEntry entry = Plan.Entry(i);
        // The scale refuses a band that does not begin below its end; giving
        // it a key would make every later key select the wrong scale band.
        if (!entry.hasValidLimits())
            continue;
        QAbstractButton *button = Buttons.at(k);
        button->setEnabled(true);
        button->setText(entry.Caption);
        button->setToolTip(entry.Name);
        button->setFont(entry.Caption.length() > 3 ? QFont(QStringLiteral("Small Fonts"), 6)
                                                   : QFont(QStringLiteral("MS Sans Serif"), 8));
        Host.AddBand(entry.BeginKhz * 1000, entry.EndKhz * 1000, entry.Name, entry.InitMode, entry.InitFreqKhz * 1000);
        ++k;
    }
}

void TBandKeys::BandChanged(QObject *Sender)
{
    const int senderButton = Buttons.indexOf(qobject_cast<QAbstractButton *>(Sender));
    QAction *senderItem = qobject_cast<QAction *>(Sender);
    if (senderItem != nullptr && !BandItems.contains(senderItem))
        senderItem = nullptr;

    if (senderButton >= 0 && Buttons.at(senderButton)->text().isEmpty()) {
        Buttons.at(senderButton)->setChecked(false);
        if (AskConfirmation(Buttons.at(senderButton)->window(),
                            QStringLiteral("No band assigned to this button.\n\nDo you want to change the band plan now?"),
                            DefaultAnswer::Yes))
            BandsMnuClick();
        return;
    }

    Host.StopScan();

    if (senderButton >= 0 && !Buttons.at(senderButton)->isChecked())
        PressButton(senderButton);

    QString itemCaption;
    if (senderItem != nullptr) {
        itemCaption = senderItem->data().toString();
        ReleaseAllButtons();
        PressButtonsWithCaption(itemCaption);
    }

    int target = -1;
    for (int k = 0; k < Buttons.size(); ++k)
        if (Buttons.at(k)->isChecked() && !Buttons.at(k)->text().isEmpty())
            target = k;

    // Remember where the operator was in the band being left.
    const qint32 current = Host.Frequency();
    if (TBand *band = Host.Band(Host.FindBand(current))) {
        band->LastFrequency = current;
        band->LastMode = Host.PressedMode();
    }

    if (target >= 0) {
        Host.SelectBand(target);
        if (TBand *band = Host.Band(target))
            Host.PressModeButton(band->LastMode);
    } else if (senderItem != nullptr) {
        int entryIndex = -1;
        for (int i = 0; i < Plan.Count(); ++i)
            if (Plan.Field(i, bfCaption) == itemCaption)
                entryIndex = i;
        if (entryIndex >= 0) {
            const TBandPlanEntry entry = Plan.Entry(entryIndex);
            if (entry.hasValidLimits())
                Host.SetRange(entry.BeginKhz * 1000, entry.EndKhz * 1000);
            Host.SetFrequency(entry.InitFreqKhz * 1000);
            Host.PressModeButton(entry.InitMode);
        }
    }

    if (Host.IsConnected()) {
        const QString mode = Host.PressedMode();
        Host.QueueModeCommand(mode);
        Host.QueueFrequencyCommand(Host.Frequency());
        Host.QueueModeCommand(mode);
    }

    if (Host.RestartSpectrographChecked())
        Host.RestartSpectrograph();
    if (Host.SpectrographInFrequencyMode())
        Host.SetSpectrographRange(Host.ScaleBegin(), Host.ScaleEnd());

    Host.UpdateDigitalDisplay();
}

void TBandKeys::RadioScaleBandChange(QObject *, int BandIdx)
{
    ReleaseAllButtons();
    if (BandIdx >= 0 && BandIdx < Buttons.size())
        PressButton(BandIdx);
}

void TBandKeys::BandsMnuClick()
{
    if (!RunBandsDialog || !RunBandsDialog())
        return;
    const QString remembered = PressedBandCaption();
    ApplyBandPlan();
    if (!remembered.isEmpty())
        PressButtonsWithCaption(remembered);
    BandChanged(this);
}

// The items are built when the plan has changed since the last opening, not
// at every opening: a plan of many thousand entries would otherwise take
// seconds to open. Only the bold item follows the pressed key each time.
void TBandKeys::AllBandsPppPopup()
{
    if (AllBandsPpp == nullptr)
        return;
    const QList<TBandPlanItem> &items = Plan.AllItems();
    if (!ItemsBuilt || items.constData() != ItemsBuiltFrom.constData() || items.size() != ItemsBuiltFrom.size())
        BuildBandItems();

    const QString pressed = PressedBandCaption();
    QList<QAction *> bold;
    if (!pressed.isEmpty())
        for (int i = 0; i < ItemCaptions.size(); ++i)
            if (ItemCaptions.at(i) == pressed)
                bold.append(BandItems.at(i));
    if (bold == BoldItems)
        return;
    // Only the items whose look changes are touched: any change makes the
    // menu measure all its items again.
    for (const QList<QAction *> &items : {BoldItems, bold})
        for (QAction *item : items)
            if (item->font().bold() != bold.contains(item)) {
                QFont font = item->font();
                font.setBold(bold.contains(item));
                item->setFont(font);
            }
    BoldItems = bold;
}

// One item per plan entry, ticked or not, in plan order, before the
// separator. Items that exist already are reused, so a changed plan costs only
// the items added or removed.
void TBandKeys::BuildBandItems()
{
    ItemsBuiltFrom = Plan.AllItems();
    ItemsBuilt = true;
    const int count = Plan.Count();
    while (BandItems.size() > count) {
        QAction *item = BandItems.takeLast();
        AllBandsPpp->removeAction(item);
        item->deleteLater();
    }
    BoldItems.removeIf([this](QAction *item) { return !BandItems.contains(item); });
    // What stands between the band items and the separator (the placeholder
    // "*" of the first opening) goes, as every item but the last two did.
    const QList<QAction *> actions = AllBandsPpp->actions();
    for (qsizetype i = BandItems.size(); i + 2 < actions.size(); ++i) {
        AllBandsPpp->removeAction(actions.at(i));
        actions.at(i)->deleteLater();
    }
    QAction *separator = actions.value(actions.size() - 2);
    ItemCaptions.clear();
    ItemCaptions.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString caption = Plan.Field(i, bfCaption);
        ItemCaptions.append(caption);
        if (i < BandItems.size()) {
            QAction *item = BandItems.at(i);
            if (item->data().toString() != caption) {
                item->setText(WithAmpersandsShown(caption));
                item->setData(caption);
            }
            continue;
        }
        auto *item = new QAction(WithAmpersandsShown(caption), AllBandsPpp);
        item->setData(caption);
        connect(item, &QAction::triggered, this, [this, item] { BandChanged(item); });
        AllBandsPpp->insertAction(separator, item);
        BandItems.append(item);
    }
}

void TBandKeys::ApplyModeSegments()
{
    Host.ClearModes();
    for (const QString &text : Segments.AllItems()) {
        TMode segment;
        if (TModeSegments::ReadSegment(text, segment))
            Host.AddMode(segment.Low, segment.High, segment.Mode, segment.Color, segment.Caption);
    }
}

void TBandKeys::ModesMnuClick()
{
    if (!RunModesDialog || !RunModesDialog())
        return;
    ApplyModeSegments();
    Host.RepaintScale();
}
