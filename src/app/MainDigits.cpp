// The main window's digital frequency display: what it shows for the tuned
// frequency, its unit labels, and a typed entry turned into a frequency.

#include "app/Main.h"

#include "app/Options.h"
#include "controls/DigiScaleLabels.h"
#include "controls/DigiScaleText.h"
#include "controls/Digits2.h"
#include "controls/RadioScale.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

void TTarnwickFrm::SetupDigiScale()
{
    DigiScale = new TDigiDisplay2(DigiScalePnl);
    DigiScale->setObjectName(QStringLiteral("DigiScale"));
    DigiScale->SetColor(QColor(0x27, 0x27, 0x27));
    DigiScale->SetColorLow(QColor(68, 68, 68));
    DigiScale->SetColorHigh(QColor(53, 255, 53));
    DigiScale->SetNrOfDigits(8);
    DigiScale->SetDigitDist(0);
    DigiScale->SetAsString(QStringLiteral("0"));
    // Eight cells of 21 px, 30 px high, left of the unit labels.
    DigiScale->setGeometry(5, 9, 168, 31);
    DigiScale->lower();
    SetFreqUnit(DigiUnitKhz);

    connect(DigiScale, &TDigiDisplay2::OnEditBegin, this, &TTarnwickFrm::DigiScaleEditBegin);
    connect(DigiScale, &TDigiDisplay2::OnEditEnd, this, &TTarnwickFrm::DigiScaleEditEnd);
}

void TTarnwickFrm::UpdateDigiDisplay()
{
    // An entry's error message is not replaced during its pause, also not by
    // the frequency reads of the poll timer, which go on meanwhile.
    if (digiErrorShown)
        return;
    const DigiScaleReading reading = digiScaleReading(RadioScale->Frequency(), CurrentMode(), IsConnected(),
                                                      OptionsFrm->ShowAlwaysKhzChk->isChecked());
    if (!reading.keepUnit)
        SetFreqUnit(reading.unit);
    DigiScale->SetAsString(reading.text);
}

void TTarnwickFrm::SetFreqUnit(int unit)
{
    showFreqUnit(kHzLbl, MhzLbl, unit);
}

int TTarnwickFrm::GetFreqUnit() const
{
    return shownFreqUnit(kHzLbl, MhzLbl);
}

void TTarnwickFrm::DigiScaleEditBegin()
{
    StopScan();
    setUnitLabelsSelectable(kHzLbl, MhzLbl, true);
}

void TTarnwickFrm::DigiScaleEditEnd()
{
    StopScan();
    setUnitLabelsSelectable(kHzLbl, MhzLbl, false);
    const DigiScaleEntry entry = parseDigiScaleEntry(DigiScale->AsString(), GetFreqUnit());
    if (!entry.accepted()) {
        // The message stays until the display is next updated; the pause
        // makes sure it is seen before anything can replace it.
        DigiScale->SetAsString(entry.errorText());
        DigiScale->repaint();
        digiErrorShown = true;
        PauseWithoutInput(DigiErrorPauseMs);
        digiErrorShown = false;
        return;
    }
    RadioScale->SetFrequency(entry.frequency);
    QueueTuneCommands(entry.frequency, TuneOrigin::TypedEntry);
    GraphBtn->setChecked(true);
    RestartSpectrograph();
}

void TTarnwickFrm::MhzLblClick()
{
    if (unitLabelSelectable(MhzLbl))
        SetFreqUnit(DigiUnitMhz);
}

void TTarnwickFrm::kHzLblClick()
{
    if (unitLabelSelectable(kHzLbl))
        SetFreqUnit(DigiUnitKhz);
}

void TTarnwickFrm::PauseWithoutInput(int milliseconds)
{
    // Timers and painting go on; clicks and keys wait until the pause is over.
    QEventLoop pause;
    QTimer::singleShot(milliseconds, &pause, &QEventLoop::quit);
    pause.exec(QEventLoop::ExcludeUserInputEvents);
}
