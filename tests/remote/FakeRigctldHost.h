#pragma once

// A stand-in for the main window as the rigctld endpoint sees it: the radio is
// a plain field and every set is recorded as a word ("tune 7074000", "mode
// DIG", "ptt 1", "vfo", "split 0"). Sets change the radio as the window does
// at once (the scale, the mode key, the PTT key), so reads see them.

#include "remote/RigctldProtocol.h"

#include <QStringList>

class FakeRigctldHost : public TRigctldHost
{
public:
    FakeRigctldHost()
    {
        radio.Connected = true;
        radio.Frequency = 14250000;
        radio.Mode = QStringLiteral("USB");
    }

    TRigctldRadio radio;
    QStringList calls;

    TRigctldRadio RigctldRadio() const override { return radio; }
    void RigctldTune(qint32 frequency) override
    {
        calls << QStringLiteral("tune %1").arg(frequency);
        radio.Frequency = frequency;
    }
    void RigctldSetMode(const QString &mode) override
    {
        calls << QStringLiteral("mode ") + mode;
        radio.Mode = mode;
    }
    void RigctldSetPtt(bool on) override
    {
        calls << QStringLiteral("ptt %1").arg(int(on));
        radio.Ptt = on;
    }
    void RigctldToggleVfo() override
    {
        calls << QStringLiteral("vfo");
        radio.Vfo = radio.Vfo == u'A' ? u'B' : u'A';
    }
    void RigctldSetSplit(bool on) override
    {
        calls << QStringLiteral("split %1").arg(int(on));
        radio.Split = on ? 1 : 0;
    }
};
