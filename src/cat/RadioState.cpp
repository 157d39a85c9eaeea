#include "cat/RadioState.h"

void TRadioState::SetLink(TLinkPhase phase)
{
    if (phase == link_)
        return;
    link_ = phase;
    emit LinkChanged(phase);
}

void TRadioState::SetFrequency(qint32 frequency)
{
    if (frequency == frequency_)
        return;
    frequency_ = frequency;
    emit FrequencyChanged(frequency);
}

void TRadioState::SetMode(const QString &mode)
{
    if (mode == mode_)
        return;
    mode_ = mode;
    emit ModeChanged(mode);
}

void TRadioState::SetPtt(bool on)
{
    if (!on)
        SetPttHolder(TPttHolder());
    if (on == ptt_)
        return;
    ptt_ = on;
    emit PttChanged(on);
}

void TRadioState::SetPttHolder(const TPttHolder &holder)
{
    if (holder == holder_)
        return;
    holder_ = holder;
    emit PttHolderChanged(holder);
}

void TRadioState::SetSplit(TSplitState split)
{
    if (split == split_)
        return;
    split_ = split;
    emit SplitChanged(split);
}

void TRadioState::SetVfo(QChar vfo)
{
    if (vfo == vfo_)
        return;
    vfo_ = vfo;
    emit VfoChanged(vfo);
}

void TRadioState::SetReceive(TReceive receive)
{
    if (receive == receive_)
        return;
    receive_ = receive;
    emit ReceiveChanged(receive);
}

void TRadioState::ReportMeter(int percent)
{
    meter_ = percent;
    emit MeterRead(percent);
}
