// The window's keys for the operations that change the transceiver: mode,
// PTT, VFO A/B and A=B, split, tones, tuning and going to a marker. The
// commands are the radio facade's (src/cat); the window adds what it shows.

#include "app/Main.h"
#include "cat/CatEngine.h"
#include "cat/Radio.h"
#include "controls/Digits2.h"

#include <QToolButton>

void TTarnwickFrm::ModeChanged(QObject *sender)
{
    Q_UNUSED(sender);
    DigiScale->CancelEdit();
    UpdateDigiDisplay();
    Radio->SetMode(CurrentMode(), TRadio::Queueing::Append);
}

void TTarnwickFrm::PttBtnClick()
{
    Radio->SetPtt(PttBtn->isChecked());
}

void TTarnwickFrm::ABBtnClick()
{
    Radio->ToggleVfo();
}

void TTarnwickFrm::AIsBBtnClick()
{
    Radio->AlignVfos(ScaleFrequency(), CurrentMode());
}

void TTarnwickFrm::SplitBtnClick()
{
    // Off-line while the split is not known, the key goes back up.
    if (!Radio->SetSplit(SplitBtn->isChecked()))
        SetSplitState(SplitBtn, Radio->State().Split());
}

void TTarnwickFrm::SetSplitState(QToolButton *key, TSplitState state)
{
    key->setChecked(state == SplitOn);
    QFont font = key->font();
    font.setItalic(state == SplitIndeterminate);
    key->setFont(font);
}

TSplitState TTarnwickFrm::GetSplitState(const QToolButton *key) const
{
    if (key->font().italic())
        return SplitIndeterminate;
    return key->isChecked() ? SplitOn : SplitOff;
}

void TTarnwickFrm::SetTones(int rxTone, int txTone)
{
    Radio->SetTones(rxTone, txTone);
}

void TTarnwickFrm::TonesOff()
{
    Radio->TonesOff();
}

void TTarnwickFrm::GoToFqMarker(const TFqMarker &marker)
{
    // A hand-edited marker may carry no mode or a frequency out of range:
    // neither is sent (the mode would go out as the fallback byte, CW).
    PressModeKey(marker.Mode);
    AssignScaleFrequency(marker.Frequency);
    Radio->GoTo(marker.Frequency, marker.Mode, marker.RxCtcss, marker.TxCtcss, ScanRunning());
    UpdateDigiDisplay();
}

void TTarnwickFrm::TuneRadio(qint32 frequency, bool tonesOff, TRadio::Queueing queueing)
{
    if (frequency < 0 || frequency > TCatEngine::HighestRadioHz)
        return;
    // The scale, the keys, the wheel and a typed entry have tuned the scale
    // already; assigning again would repeat its whole change of frequency.
    if (frequency != ScaleFrequency())
        AssignScaleFrequency(frequency);
    Radio->SetFrequency(frequency, queueing, tonesOff);
    UpdateDigiDisplay();
}
