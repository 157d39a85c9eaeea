#pragma once

// The main window as the rigctld endpoint sees it: the radio is a plain field,
// every set is recorded ("tune 7074000", "mode DIG", "ptt 1", "vfo", "split 0")
// and changes the radio at once, as the window's scale and keys do.

#include "remote/RigctldProtocol.h"

#include <QStringList>

class FakeRigctldHost : public TRigctldHost
{
public:
    TRigctldRadio radio{true, TcvrTypes[0], 14250000, QStringLiteral("USB")};
    QStringList calls;

    TRigctldRadio RigctldRadio() const override { return radio; }
    void RigctldTune(qint32 frequency) override { calls << QStringLiteral("tune %1").arg(radio.Frequency = frequency); }
    void RigctldSetMode(const QString &mode) override { calls << QStringLiteral("mode ") + (radio.Mode = mode); }
    void RigctldSetPtt(bool on) override { calls << QStringLiteral("ptt %1").arg(int(radio.Ptt = on)); }
    void RigctldToggleVfo() override
    {
        calls << QStringLiteral("vfo");
        radio.Vfo = radio.Vfo == u'A' ? u'B' : u'A';
    }
    void RigctldSetSplit(bool on) override { calls << QStringLiteral("split %1").arg(radio.Split = on ? 1 : 0); }
};
