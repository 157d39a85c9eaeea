// The operations that change the transceiver: mode, PTT, VFO A/B and A=B,
// split, CTCSS tones, tuning and going to a marker. Almost everything goes
// through the command queue; only the FT-847's VFO copies are direct.

#include "app/Main.h"
#include "cat/CatEngine.h"
#include "controls/Digits2.h"

#include <QToolButton>

namespace {

bool isFt847(const TTcvrType &type)
{
    return type.CommandSet == 1 && type.Model == QLatin1String("FT-847");
}

} // namespace

void TTarnwickFrm::ModeChanged(QObject *sender)
{
    Q_UNUSED(sender);
    DigiScale->CancelEdit();
    UpdateDigiDisplay();
    if (IsConnected())
        QueueCommand(MakeModeCommand(CurrentMode(), GetTcvrType()));
}

void TTarnwickFrm::PttBtnClick()
{
    // Queued even off-line: the next start of communication empties the queue.
    QueueCommand(MakeTransmitCommand(PttBtn->isChecked(), GetTcvrType()));
}

void TTarnwickFrm::ABBtnClick()
{
    const TTcvrType &type = GetTcvrType();
    if (isFt847(type)) {
        swapFt847Vfos();
        return;
    }
    QueueCommand(MakeVfoToggleCommand(type, CatEngine->CurrentVfo));
}

void TTarnwickFrm::swapFt847Vfos()
{
    const QString main = CatEngine->SendDirect(Ft847ReadMainVfoText(), 5).Reply;
    const QString sub = CatEngine->SendDirect(Ft847ReadSubVfoText(), 5).Reply;
    LogEvent(QStringLiteral("A/B: main vfo: \"%1\", sub vfo: \"%2\"").arg(main, sub));
    const QStringList writes = {
        Ft847SetFrequencyText(sub, QStringLiteral("01")),  Ft847SetModeText(sub, QStringLiteral("07")),
        Ft847SetFrequencyText(main, QStringLiteral("11")), Ft847SetFrequencyText(main, QStringLiteral("21")),
        Ft847SetModeText(main, QStringLiteral("17")),      Ft847SetModeText(main, QStringLiteral("27")),
    };
    // A swap is both halves or nothing: with one read missing, writing the
    // other half would overwrite a VFO whose contents are then lost.
    if (writes.contains(QString()))
        return;
    for (const QString &text : writes)
        CatEngine->SendDirect(text, 0);
}

void TTarnwickFrm::AIsBBtnClick()
{
    const TTcvrType &type = GetTcvrType();
    if (isFt847(type)) {
        alignFt847Vfos();
        return;
    }
    if (type.CommandSet == 2) {
        QueueCommand(MakeCopyToOtherVfoCommand(ScaleFrequency(), type, CatEngine->CurrentVfo));
        return;
    }
    // Over to the other VFO, write mode and frequency there, and back.
    QueueCommand(MakeVfoToggleCommand(type, CatEngine->CurrentVfo));
    const QString mode = CurrentMode();
    if (!mode.isEmpty())
        QueueCommand(MakeModeCommand(mode, type));
    QueueCommand(MakeFrequencyCommand(ScaleFrequency(), type, CatEngine->CurrentVfo));
    QueueCommand(MakeVfoToggleCommand(type, CatEngine->CurrentVfo));
}

void TTarnwickFrm::alignFt847Vfos()
{
    const QString main = CatEngine->SendDirect(Ft847ReadMainVfoText(), 5).Reply;
    LogEvent(QStringLiteral("A=B: main vfo: \"%1\"").arg(main));
    const QStringList writes = {
        Ft847SetFrequencyText(main, QStringLiteral("11")),
        Ft847SetFrequencyText(main, QStringLiteral("21")),
        Ft847SetModeText(main, QStringLiteral("17")),
        Ft847SetModeText(main, QStringLiteral("27")),
    };
    if (writes.contains(QString()))
        return;
    for (const QString &text : writes)
        CatEngine->SendDirect(text, 0);
}

void TTarnwickFrm::SplitBtnClick()
{
    const bool down = SplitBtn->isChecked();
    if (!IsConnected() && GetSplitState(SplitBtn) == SplitIndeterminate) {
        SplitBtn->setChecked(false);
        return;
    }
    const TTcvrType &type = GetTcvrType();
    QueueCommand(MakeSplitCommand(down, type, CatEngine->CurrentVfo));
    if (type.CommandSet == 1)
        SetSplitState(SplitBtn, down ? SplitOn : SplitOff);
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
    const TTcvrType &type = GetTcvrType();
    QueueReplacingCommand(MakeToneFrequencyCommand(txTone, rxTone, type));
    QueueReplacingCommand(MakeToneModeCommand(rxTone, txTone, type));
}

void TTarnwickFrm::TonesOff()
{
    QueueReplacingCommand(MakeTonesOffCommand(GetTcvrType()));
}

void TTarnwickFrm::GoToFqMarker(const TFqMarker &marker)
{
    // A hand-edited marker may carry no mode or a frequency out of range:
    // neither is sent (the mode would go out as the fallback byte, CW).
    PressModeKey(marker.Mode);
    const bool frequencyValid = marker.Frequency >= 0 && marker.Frequency <= TCatEngine::HighestRadioHz;
    if (frequencyValid)
        AssignScaleFrequency(marker.Frequency);
    if (IsConnected()) {
        const TTcvrType &type = GetTcvrType();
        if (IsModeName(marker.Mode))
            QueueReplacingCommand(MakeModeCommand(marker.Mode, type));
        if (frequencyValid)
            QueueReplacingCommand(MakeFrequencyCommand(marker.Frequency, type, CatEngine->CurrentVfo));
        SetTones(marker.RxCtcss, marker.TxCtcss);
    }
    UpdateDigiDisplay();
}

void TTarnwickFrm::TuneRadio(qint32 frequency, bool tonesOff)
{
    if (frequency < 0 || frequency > TCatEngine::HighestRadioHz)
        return;
    // The scale, the keys, the wheel and a typed entry have tuned the scale
    // already; assigning again would repeat its whole change of frequency.
    if (frequency != ScaleFrequency())
        AssignScaleFrequency(frequency);
    if (IsConnected()) {
        QueueReplacingCommand(MakeFrequencyCommand(frequency, GetTcvrType(), CatEngine->CurrentVfo));
        if (tonesOff)
            TonesOff();
    }
    UpdateDigiDisplay();
}
