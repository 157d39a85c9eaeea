#include "data/EditFreqMarkerDialog.h"

#include "base/MessageBoxes.h"
#include "base/StickyMessage.h"
#include "data/Bands.h"
#include "data/FqMarkerFormat.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMimeData>
#include <QScreen>
#include <QSet>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr qint64 LowestHz = 100000;
constexpr qint64 HighestHz = 500000000; // the scale's outer limit

QString removeTrailingBreaks(QString Text)
{
    qsizetype end = Text.size();
    while (end > 0) {
        const QChar c = Text.at(end - 1);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n') && c != QLatin1Char(' '))
            break;
        --end;
    }
    Text.truncate(end);
    return Text;
}

QString memoText(const QPlainTextEdit *Memo)
{
    return removeTrailingBreaks(MarkerTextLines(Memo->toPlainText()).join(QLatin1String("\r\n")));
}

// Selects the item of Text in a list whose first Offered items are its own.
// A value the list does not offer (a mode "usb" or a tone of 88.6 Hz from a
// hand-edited file) is shown as an item of its own after them, so that Ok
// keeps it; such an item of the marker shown before goes.
void selectOrAdd(QComboBox *Box, int Offered, const QString &Text, const QVariant &Data = {})
{
    while (Box->count() > Offered)
        Box->removeItem(Offered);
    int index = Box->findText(Text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0 && !Text.isEmpty()) {
        Box->addItem(Text, Data);
        index = Offered;
    }
    Box->setCurrentIndex(index);
}

constexpr int ToneItems = 39; // "<None>" and the 38 tones

void selectTone(QComboBox *Box, int Tenths)
{
    selectOrAdd(Box, ToneItems, Tenths == 0 ? Box->itemText(0) : CtcssText(Tenths), Tenths);
}

int selectedTone(const QComboBox *Box)
{
    return Box->currentData().toInt();
}

QComboBox *makeToneBox(QWidget *Parent)
{
    auto *box = new QComboBox(Parent);
    box->addItem(QStringLiteral("<None>"), 0);
    for (int tone : CtcssTones())
        box->addItem(CtcssText(tone), tone);
    return box;
}

} // namespace

// ---- memos -------------------------------------------------------------------------

QString FilterAttributeText(const QString &Text)
{
    QString kept;
    for (QChar c : Text) {
        if (c != QLatin1Char(' ') && c != QLatin1Char(',') && c != QLatin1Char('-'))
            kept.append(c);
    }
    return kept.toUpper();
}

QString FilterRemarkText(const QString &Text)
{
    QString kept = Text;
    kept.remove(QLatin1Char('~'));
    return kept;
}

TFilteredMemo::TFilteredMemo(TFilter Filter, QWidget *Parent)
    : QPlainTextEdit(Parent)
    , Filter(std::move(Filter))
{
    setTabChangesFocus(true);
}

void TFilteredMemo::keyPressEvent(QKeyEvent *Event)
{
    const QString typed = Event->text();
    const bool printable = !typed.isEmpty() && typed.at(0).isPrint()
        && !(Event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (!printable) {
        QPlainTextEdit::keyPressEvent(Event);
        return;
    }
    const QString kept = Filter(typed);
    if (!kept.isEmpty())
        insertPlainText(kept);
    Event->accept();
}

void TFilteredMemo::inputMethodEvent(QInputMethodEvent *Event)
{
    const QString kept = Filter(Event->commitString());
    if (kept == Event->commitString()) {
        QPlainTextEdit::inputMethodEvent(Event);
        return;
    }
    QInputMethodEvent filtered(Event->preeditString(), Event->attributes());
    filtered.setCommitString(kept, Event->replacementStart(), Event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&filtered);
    Event->accept();
}

void TFilteredMemo::insertFromMimeData(const QMimeData *Source)
{
    if (Source != nullptr && Source->hasText())
        insertPlainText(Filter(Source->text()));
}

// ---- pick list ---------------------------------------------------------------------

TListBoxFrm::TListBoxFrm(QWidget *Parent)
    : QDialog(Parent)
    , ListBox(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Used attributes:"));
    ListBox->setSortingEnabled(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ListBox);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(ListBox, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

QString TListBoxFrm::SelectedText() const
{
    const QList<QListWidgetItem *> selected = ListBox->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

// ---- editor ------------------------------------------------------------------------

TEditFreqMarkerFrm::TEditFreqMarkerFrm(QWidget *Parent)
    : QDialog(Parent)
    , CaptionEdt(new QLineEdit(this))
    , FrequencyEdt(new QLineEdit(this))
    , ModeCBx(new QComboBox(this))
    , PermanentChk(new QCheckBox(QStringLiteral("Permanent"), this))
    , RxCtcssCBx(makeToneBox(this))
    , TxCtcssCBx(makeToneBox(this))
    , AttributesLbl(new QLabel(QStringLiteral("Attributes (one per line):"), this))
    , Label6(new QLabel(QStringLiteral("<a href=\"#\">Add existing attribute...</a>"), this))
    , AttributesMmo(new TFilteredMemo(FilterAttributeText, this))
    , RemarkMmo(new TFilteredMemo(FilterRemarkText, this))
    , RunDialog(ExecDialog)
{
    setObjectName(QStringLiteral("EditFreqMarkerFrm"));
    setWindowTitle(QStringLiteral("Frequency Marker"));
    ModeCBx->addItems(PlanModeNames());
    PlanModeCount = ModeCBx->count();
    ModeCBx->setMaxVisibleItems(16);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Caption:"), CaptionEdt);
    form->addRow(QStringLiteral("Frequency [kHz]:"), FrequencyEdt);
    form->addRow(QStringLiteral("Mode:"), ModeCBx);
    form->addRow(PermanentChk);
    auto *tones = new QGroupBox(QStringLiteral("CTCSS tone [Hz]"), this);
    auto *toneForm = new QFormLayout(tones);
    toneForm->addRow(QStringLiteral("RX:"), RxCtcssCBx);
    toneForm->addRow(QStringLiteral("TX:"), TxCtcssCBx);
    form->addRow(tones);
    auto *attributesHead = new QHBoxLayout;
    attributesHead->addWidget(AttributesLbl);
    attributesHead->addStretch();
    attributesHead->addWidget(Label6);
    form->addRow(attributesHead);
    form->addRow(AttributesMmo);
    form->addRow(new QLabel(QStringLiteral("Remark:"), this));
    form->addRow(RemarkMmo);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(Label6, &QLabel::linkActivated, this, [this] { Label6Click(); });
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void TEditFreqMarkerFrm::ShowMarkerInEditor(const TFqMarker &Marker)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    CaptionEdt->setText(Marker.Caption);
    FrequencyEdt->setText(locale.toString(Marker.Frequency / 1000.0, 'f', QLocale::FloatingPointShortest));
    selectOrAdd(ModeCBx, PlanModeCount, Marker.Mode);
    PermanentChk->setChecked(Marker.Permanent);
    AttributesMmo->setPlainText(MarkerTextLines(Marker.Attributes).join(QLatin1Char('\n')));
    RemarkMmo->setPlainText(MarkerTextLines(Marker.Remark).join(QLatin1Char('\n')));
    selectTone(RxCtcssCBx, Marker.RxCtcss);
    selectTone(TxCtcssCBx, Marker.TxCtcss);
}

qint64 TEditFreqMarkerFrm::EnteredFrequency() const
{
    const QString text = FrequencyEdt->text().trimmed();
    bool ok = false;
    double khz = QLocale().toDouble(text, &ok);
    if (!ok)
        khz = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(khz) || std::fabs(khz) > 1e12)
        return 0;
    return std::llround(khz * 1000.0);
}

void TEditFreqMarkerFrm::TakeMarkerFromEditor(TFqMarker &Marker) const
{
    Marker.Caption = CaptionEdt->text();
    Marker.Frequency = static_cast<qint32>(qBound<qint64>(0, EnteredFrequency(), HighestHz));
    Marker.Mode = ModeCBx->currentText().left(255);
    Marker.Permanent = PermanentChk->isChecked();
    Marker.Attributes = memoText(AttributesMmo);
    Marker.Remark = memoText(RemarkMmo);
    Marker.RxCtcss = selectedTone(RxCtcssCBx);
    Marker.TxCtcss = selectedTone(TxCtcssCBx);
}

void TEditFreqMarkerFrm::SetFrequencyEditable(bool Editable)
{
    FrequencyEdt->setEnabled(Editable);
}

void TEditFreqMarkerFrm::DeleteEmptyAttributeLines()
{
    const QStringList lines = MarkerTextLines(AttributesMmo->toPlainText());
    QStringList kept;
    for (const QString &line : lines) {
        if (!line.trimmed().isEmpty())
            kept.append(line);
    }
    if (kept.size() != lines.size())
        AttributesMmo->setPlainText(kept.join(QLatin1Char('\n')));
}

bool TEditFreqMarkerFrm::FormCloseQuery(bool Ok)
{
    DeleteEmptyAttributeLines();
    if (!Ok)
        return true;
    // Added with no mode key down, a marker would have no mode now and CW
    // after the next start.
    if (ModeCBx->currentText().isEmpty()) {
        ShowInformation(this, QStringLiteral("Select the mode of the frequency marker."));
        return false;
    }
    const qint64 frequency = EnteredFrequency();
    if (frequency < LowestHz) {
        ShowInformation(this, QStringLiteral("Invalid value for frequency.\nThe value must be higher or equal to 100 kHz."));
        return false;
    }
    if (frequency > HighestHz) {
        ShowInformation(this, QStringLiteral("Invalid value for frequency.\nThe value must be lower or equal to 500000 kHz."));
        return false;
    }
    const int rx = RxCtcssCBx->currentIndex();
    const int tx = TxCtcssCBx->currentIndex();
    if ((rx > 0 || tx > 0) && rx != tx)
        ShowStickyMessage(QStringLiteral("You attempt to use different CTCSS settings for TX and RX.\n"
                                         "For this to work correctly make sure that the TCVR is set\n"
                                         "to enable this. Visit the system menu, item number 79 (SPLIT TONE)\n"
                                         "and set it to ON (default is OFF)."),
                          this);
    return true;
}

void TEditFreqMarkerFrm::done(int Result)
{
    if (!FormCloseQuery(Result == QDialog::Accepted))
        return;
    QDialog::done(Result);
}

void TEditFreqMarkerFrm::showEvent(QShowEvent *Event)
{
    QDialog::showEvent(Event);
    CaptionEdt->setFocus();
}

void TEditFreqMarkerFrm::Label6Click()
{
    TListBoxFrm pickList(this);
    QSet<QString> present;
    for (const QString &line : MarkerTextLines(AttributesMmo->toPlainText()))
        present.insert(line.toUpper());
    const QList<TFqMarker *> markers = MarkerSource ? MarkerSource() : QList<TFqMarker *>();
    QStringList offered;
    for (const TFqMarker *marker : markers) {
        for (const QString &piece : marker->Attributes.split(QLatin1Char('\r'))) {
            const QString group = piece.trimmed();
            if (group.isEmpty())
                break;
            const QString key = group.toUpper();
            if (present.contains(key))
                continue;
            present.insert(key);
            offered.append(group);
        }
    }
    pickList.ListBox->addItems(offered);

    // Beside the label, moved back onto the screen when it would leave it.
    pickList.adjustSize();
    QPoint topLeft = AttributesLbl->mapToGlobal(AttributesLbl->rect().center()) + QPoint(10, 10);
    if (const QScreen *screen = AttributesLbl->screen()) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(qMax(area.left(), qMin(topLeft.x(), area.right() - pickList.width())));
        topLeft.setY(qMax(area.top(), qMin(topLeft.y(), area.bottom() - pickList.height())));
    }
    pickList.move(topLeft);

    if (RunDialog(pickList) != QDialog::Accepted)
        return;
    const QString chosen = pickList.SelectedText();
    if (chosen.isEmpty())
        return;
    const QString text = AttributesMmo->toPlainText();
    AttributesMmo->setPlainText(text.isEmpty() || text.endsWith(QLatin1Char('\n')) ? text + chosen
                                                                                : text + QLatin1Char('\n') + chosen);
}
