#include "scan/ScanProperties.h"

#include "base/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString NoSelectionMessage = QStringLiteral(
    "No range selected in the scale.\n\nTo select it drag the slider with mouse\nwhile holding down the Shift key.");

QComboBox *makeList(QWidget *parent, const char *name, const QStringList &items, const QString &chosen)
{
    auto box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    box->setCurrentIndex(int(items.indexOf(chosen)));
    return box;
}

} // namespace

TScanPropertiesFrm::TScanPropertiesFrm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ScanPropertiesFrm"));
    setWindowTitle(QStringLiteral("Scan Properties"));

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    auto rangePage = new QWidget(PageControl1);
    DwellOnFreqCBx = makeList(rangePage, "DwellOnFreqCBx", {"0.25", "0.5", "1", "2", "5", "10"}, "0.5");
    FreqStepCBx = makeList(rangePage, "FreqStepCBx",
                           {"10", "20", "50", "100", "150", "200", "300", "500", "750", "1000", "1500", "2000",
                            "2500", "3000"},
                           "100");
    auto rangeForm = new QFormLayout(rangePage);
    rangeForm->addRow(QStringLiteral("Dwell on frequency [s]:"), DwellOnFreqCBx);
    rangeForm->addRow(QStringLiteral("Frequency step [Hz]:"), FreqStepCBx);
    PageControl1->addTab(rangePage, QStringLiteral("Scan Whole Band"));

    auto markerPage = new QWidget(PageControl1);
    DwellOnFqMarkerCBx = makeList(markerPage, "DwellOnFqMarkerCBx",
                                  {"0.25", "0.5", "1", "2", "5", "10", "30", "60", "120"}, "2");
    ModeCBx = makeList(markerPage, "ModeCBx", {"Any", "Current only ()"}, "Any");
    auto markerForm = new QFormLayout(markerPage);
    markerForm->addRow(QStringLiteral("Dwell on frequency marker [s]:"), DwellOnFqMarkerCBx);
    markerForm->addRow(QStringLiteral("Mode:"), ModeCBx);
    PageControl1->addTab(markerPage, QStringLiteral("Scan Freq Markers"));

    WatchSquelchCBx = makeList(this, "WatchSquelchCBx",
                               {"None", "Pause scan while unsquelched", "Stop scan when unsquelched"}, "None");
    ScanSelectedRangeChk = new QCheckBox(QStringLiteral("Scan selected range only"), this);
    ScanSelectedRangeChk->setObjectName(QStringLiteral("ScanSelectedRangeChk"));

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setObjectName(QStringLiteral("OkBtn"));
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    auto squelchForm = new QFormLayout;
    squelchForm->addRow(QStringLiteral("Watch squelch:"), WatchSquelchCBx);
    auto buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(squelchForm);
    layout->addWidget(ScanSelectedRangeChk);
    layout->addLayout(buttons);

    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    // Set by the user or by the SCAN key: either way the check runs.
    connect(ScanSelectedRangeChk, &QCheckBox::toggled, this, &TScanPropertiesFrm::ScanSelectedRangeChkClick);

    FormCreate();
}

void TScanPropertiesFrm::FormCreate()
{
    PageControl1->setCurrentIndex(0);
    ScaleBegin = 0;
    ScaleEnd = 0;
    SelectionLow = 0;
    SelectionHigh = 0;
}

void TScanPropertiesFrm::FormShow(const QString &currentMode)
{
    ModeCBx->setItemText(1, QStringLiteral("Current only (") + currentMode + QLatin1Char(')'));
}

void TScanPropertiesFrm::ScanSelectedRangeChkClick()
{
    if (ScanSelectedRangeChk->isChecked() && SelectionLow == ScaleBegin && SelectionHigh == ScaleEnd) {
        ShowInformation(this, NoSelectionMessage);
        ScanSelectedRangeChk->setChecked(false);
    }
    setWindowTitle(ScanSelectedRangeChk->isChecked() ? QStringLiteral("Scan Properties (selected range)")
                                                     : QStringLiteral("Scan Properties (whole scale)"));
}

qint32 TScanPropertiesFrm::RangeFrom() const
{
    return ScanSelectedRangeChk->isChecked() ? SelectionLow : ScaleBegin;
}

qint32 TScanPropertiesFrm::RangeTo() const
{
    return ScanSelectedRangeChk->isChecked() ? SelectionHigh : ScaleEnd;
}

int TScanPropertiesFrm::Dwell() const
{
    const QComboBox *box = Kind() == ScanKindMarkers ? DwellOnFqMarkerCBx : DwellOnFreqCBx;
    return DwellFromText(box->currentText());
}

int TScanPropertiesFrm::Step() const
{
    return FreqStepCBx->currentText().toInt();
}

int TScanPropertiesFrm::Kind() const
{
    switch (PageControl1->currentIndex()) {
    case 0: return ScanKindRange;
    case 1: return ScanKindMarkers;
    default: return ScanKindNone;
    }
}

QString TScanPropertiesFrm::ModeFilter() const
{
    return ModeFilterFromItem(ModeCBx->currentText());
}

TScanSettings TScanPropertiesFrm::Settings() const
{
    TScanSettings s;
    s.Kind = Kind();
    s.RangeFrom = RangeFrom();
    s.RangeTo = RangeTo();
    s.Dwell = Dwell();
    s.Step = Step();
    s.ModeFilter = ModeFilter();
    s.WatchSquelch = WatchSquelchCBx->currentIndex();
    return s;
}
