#include "cat/RadioState.h"

#include <algorithm>
#include <cmath>
#include <numeric>

void TRadioState::SetLink(TLinkPhase phase)
{
    if (phase == link_)
        return;
    link_ = phase;
    if (phase == TLinkPhase::Offline)
        meterSamples_.fill(0);
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

QString TPttHolder::Description() const
{
    switch (kind) {
    case Operator: return QStringLiteral("the operator");
    case Client: return QStringLiteral("the client ") + Id;
    case Script: return QStringLiteral("the script ") + Id;
    case Bus: return QStringLiteral("the D-Bus client ") + Id;
    default: return QString();
    }
}

void TRadioState::SetPtt(bool on)
{
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

void TRadioState::SetSplitVfo(qint32 frequency, const QString &mode)
{
    const qint32 newFrequency = frequency > 0 ? frequency : splitFrequency_;
    const QString newMode = mode.isEmpty() ? splitMode_ : mode;
    if (newFrequency == splitFrequency_ && newMode == splitMode_)
        return;
    splitFrequency_ = newFrequency;
    splitMode_ = newMode;
    emit SplitVfoChanged(newFrequency, newMode);
}

void TRadioState::SetTransmitReading(const TTransmitReading &reading)
{
    if (reading == transmitReading_)
        return;
    transmitReading_ = reading;
    emit TransmitReadingChanged(reading);
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
    std::rotate(meterSamples_.begin(), meterSamples_.begin() + 1, meterSamples_.end());
    meterSamples_.back() = percent;
    emit MeterRead(percent);
}

int TRadioState::MeterMean() const
{
    const qint64 sum = std::accumulate(meterSamples_.begin(), meterSamples_.end(), qint64(0));
    return int(std::lround(double(sum) / double(meterSamples_.size())));
}
