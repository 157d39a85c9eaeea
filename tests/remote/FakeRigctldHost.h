#pragma once

// The program as the rigctld endpoint sees it: the radio is a plain field,
// every set and every read from the radio is recorded ("tune 7074000",
// "mode DIG", "ptt 1", "vfo", "split 0", "read vfo") and sets change the
// radio at once. With holdReads, reads wait until release(), as reads from a
// real radio do.

#include "remote/RigctldProtocol.h"

#include <QStringList>

#include <utility>
#include <vector>

class FakeRigctldHost : public TRigctldHost
{
public:
    TRigctldRadio radio{true, TcvrTypes[0], 14250000, QStringLiteral("USB"), false, 0, u'A', 0, 0, {}, {}};
    QStringList calls;
    bool holdReads = false;
    std::vector<std::function<void()>> held;

    void release()
    {
        for (const auto &done : std::exchange(held, {}))
            done();
    }

    TRigctldRadio RigctldRadio() const override { return radio; }
    void RigctldRefresh(TRigctldRead what, std::function<void()> done) override
    {
        static const char *const names[] = {nullptr, "read vfo", "read split", "read meters"};
        if (names[int(what)])
            calls << QString::fromLatin1(names[int(what)]);
        holdReads ? held.push_back(std::move(done)) : done();
    }
    void RigctldTune(qint32 frequency) override { calls << QStringLiteral("tune %1").arg(radio.Frequency = frequency); }
    void RigctldSetMode(const QString &mode) override { calls << QStringLiteral("mode ") + (radio.Mode = mode); }
    void RigctldSetPtt(bool on) override { calls << QStringLiteral("ptt %1").arg(int(radio.Ptt = on)); }
    void RigctldToggleVfo() override
    {
        calls << QStringLiteral("vfo");
        radio.Vfo = radio.Vfo == u'A' ? u'B' : u'A';
    }
    void RigctldCopyVfo() override { calls << QStringLiteral("a=b"); }
    void RigctldSetSplit(bool on) override { calls << QStringLiteral("split %1").arg(radio.Split = on ? 1 : 0); }
    bool RigctldSetSplitFrequency(qint32 frequency) override
    {
        return !(calls << QStringLiteral("split freq %1").arg(radio.SplitFrequency = frequency)).isEmpty();
    }
    // Command set 2 has no command for it.
    bool RigctldSetSplitMode(const QString &mode) override
    {
        return radio.Type.CommandSet == 1 && !(calls << QStringLiteral("split mode ") + (radio.SplitMode = mode)).isEmpty();
    }
};

// Every command of a line answered in turn (held reads answer later, unseen here).
struct LineAnswer
{
    QByteArray reply;
    bool quit = false;
    bool logged = false;
};
inline LineAnswer answerLine(TRigctldProtocol &protocol, const QByteArray &line)
{
    auto answer = std::make_shared<LineAnswer>();
    for (const TRigctldRequest &request : ParseRigctldLine(line))
        protocol.Answer(request, [answer](const TRigctldAnswer &one) {
            *answer = {answer->reply + one.Reply, answer->quit || one.Quit, answer->logged || !one.LogText.isEmpty()};
        });
    return *answer;
}
