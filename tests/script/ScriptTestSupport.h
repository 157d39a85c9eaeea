#pragma once

// Runs a script and sums up what it did in one line that a table row can
// state: the MsgBox texts joined by "|", then "#number@line" when the run
// failed. "1|2#11@3" is: MsgBox showed 1, then 2, then line 3 raised
// Division by zero.

#include "script/ScriptEngine.h"

#include <QList>
#include <functional>
#include <QStringList>
#include <QtTest/QtTest>

namespace scripttest {

// A host without a window: records MsgBox calls and answers InputBox from a
// queue (Cancel when it is empty).
class RecordingHost : public TScriptHost
{
public:
    struct Box
    {
        QString prompt;
        int buttons;
        QString title;
    };
    QList<Box> boxes;
    QStringList inputs;
    QStringList inputPrompts;
    int answer = 0; // 0: the default button
    int ticks = 0;
    std::function<void()> onTick;

    QStringList shown() const
    {
        QStringList texts;
        for (const Box &box : boxes)
            texts << box.prompt;
        return texts;
    }

    int MsgBox(const QString &Prompt, int Buttons, const QString &Title) override
    {
        boxes.append({Prompt, Buttons, Title});
        return answer ? answer : ScriptMsgBoxDefaultButton(Buttons);
    }
    std::optional<QString> InputBox(const QString &Prompt, const QString &, const QString &) override
    {
        inputPrompts << Prompt;
        if (inputs.isEmpty())
            return std::nullopt;
        return inputs.takeFirst();
    }
    void Tick() override
    {
        ++ticks;
        if (onTick)
            onTick();
    }
};

// "out1|out2" or "out1#13@4" (error 13 on line 4) or "...#stopped".
inline QString Summary(TScriptEngine &Engine, TScriptStatus Status, const RecordingHost &Host)
{
    QString text = Host.shown().join(QLatin1Char('|'));
    if (Status == TScriptStatus::Failed)
        text += QStringLiteral("#%1@%2").arg(Engine.Error().Number).arg(Engine.Error().Line);
    else if (Status == TScriptStatus::Interrupted)
        text += QStringLiteral("#stopped");
    return text;
}

inline QString Run(const QString &Script, QStringList Inputs = {})
{
    RecordingHost host;
    host.inputs = std::move(Inputs);
    TScriptEngine engine(&host);
    engine.SetStepLimit(1000000);
    const TScriptStatus status = engine.Execute(Script);
    return Summary(engine, status, host);
}

// Adds a row per {script, expected summary} pair to a data function.
struct Case
{
    const char *script;
    const char *expected;
};

inline void AddRows(std::initializer_list<Case> Cases)
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("expected");
    for (const Case &c : Cases) {
        const QByteArray tag = QByteArray(c.script).replace('\n', " / ").replace('\r', ' ');
        QTest::newRow(tag.constData()) << QString::fromUtf8(c.script) << QString::fromUtf8(c.expected);
    }
}

inline void CheckRow()
{
    QFETCH(QString, script);
    QFETCH(QString, expected);
    QCOMPARE(Run(script), expected);
}

} // namespace scripttest
