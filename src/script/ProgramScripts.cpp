#include "script/ProgramScripts.h"

#include "base/Folders.h"
#include "data/DataFile.h"
#include "script/ScriptEngine.h"
#include "script/ScriptFile.h"
#include "script/Zov.h"

namespace {

// Statements between two calls of the interpreter's hook.
constexpr int TickStatements = 1000;

} // namespace

TProgramScripts::TProgramScripts(TProgramScriptsHost &Host)
    : Host(Host)
{
}

TProgramScripts::~TProgramScripts() = default;

void TProgramScripts::StopRunning()
{
    if (Running())
        askToStop(runningKey);
}

void TProgramScripts::askToStop(int Key)
{
    Host.SetBlinking(false);
    Host.SetProgKeyRed(Key, true);
    Host.SetProgKeyDown(Key, true);
    if (!stopAsked) {
        stopAsked = true;
        ticksSinceStop = 0;
    }
}

void TProgramScripts::RunProgram(int Key)
{
    if (Key < 0 || Key >= KeyCount)
        return;
    if (!Host.ProgKeyDown(Key)) {
        // The key of the running script: from now on Zov.Interrupted is true
        // and a Sleep returns; the key stays down in red until the end.
        if (Key == runningKey)
            askToStop(Key);
        return;
    }
    // Only one script at a time; the other keys are disabled while one runs.
    if (Running()) {
        Host.SetProgKeyDown(Key, false);
        return;
    }

    const QString fileName = ScriptFileName(Host.KeyCaption(Key));
    TScriptFileText file = TScriptFileText::FromNewText(NewScriptText());
    QString text;
    if (unsaved[Key]) {
        // An edit that could not be saved last time is offered again.
        file = unsaved[Key]->File;
        text = unsaved[Key]->Text;
    } else {
        const TDataFileRead read = ReadDataFile(fileName);
        if (!read.Error.isEmpty()) {
            Host.ShowMessage(read.Error);
            Host.SetProgKeyDown(Key, false);
            return;
        }
        if (read.Found)
            file = TScriptFileText::FromBytes(read.Bytes);
        text = file.Text();
    }

    const bool run = Host.EditScript(text);
    const QString saveError = SaveDataFile(fileName, file.BytesFor(text));
    UpdateProgramHint(Key);
    if (!saveError.isEmpty()) {
        unsaved[Key] = TUnsaved{file, text};
        Host.ShowMessage(saveError);
        Host.SetProgKeyDown(Key, false);
        return;
    }
    unsaved[Key].reset();
    if (!run) {
        Host.SetProgKeyDown(Key, false);
        return;
    }
    Run(Key, text);
}

void TProgramScripts::Run(int Key, const QString &Text)
{
    EnableKeys(Key);
    runningKey = Key;
    stopAsked = false;
    ticksSinceStop = 0;
    lastEvents = Host.TickCount();

    engine = std::make_unique<TScriptEngine>(static_cast<TScriptHost *>(this));
    engine->SetTickInterval(TickStatements);
    auto zov = std::make_shared<TZov>(Host);
    zov->SetPttHolder({TPttHolder::Script, Host.KeyCaption(Key)});
    engine->AddObject(QStringLiteral("Zov"), zov);
    // The key's file is in the program's folder: a script's files are too.
    engine->SetScriptFolder(ProgramFolder());
    Host.SetBlinking(true);
    const TScriptStatus status = engine->Execute(Text);
    // A script that ends by itself may leave the radio keyed on purpose, for
    // the operator; one that was stopped or failed did not mean to.
    if (stopAsked || status == TScriptStatus::Failed)
        Host.ScriptAborted(Key, status == TScriptStatus::Failed);
    if (status == TScriptStatus::Failed) {
        Host.SetBlinking(false);
        const TScriptError &error = engine->Error();
        Host.ShowMessage(QStringLiteral("Line: ") + QString::number(error.Line) + QStringLiteral("\n\n")
                         + error.FullDescription());
    }
    engine.reset();
    EndRun(Key);
}

void TProgramScripts::EndRun(int Key)
{
    runningKey = -1;
    stopAsked = false;
    Host.SetProgKeyDown(Key, false);
    Host.SetBlinking(false);
    Host.SetProgKeyRed(Key, false);
    EnableKeys(-1);
}

void TProgramScripts::EnableKeys(int OnlyKey)
{
    for (int k = 0; k < KeyCount; ++k)
        Host.SetProgKeyEnabled(k, OnlyKey < 0 || k == OnlyKey);
}

void TProgramScripts::UpdateProgramHint(int Key)
{
    if (Key < 0 || Key >= KeyCount)
        return;
    const TDataFileRead read = ReadDataFile(ScriptFileName(Host.KeyCaption(Key)));
    Host.SetProgKeyHint(Key, read.Found && read.Error.isEmpty() ? ScriptHint(read.Bytes) : QStringLiteral("No script"));
}

void TProgramScripts::BlinkingButtonTimer()
{
    for (int k = 0; k < KeyCount; ++k) {
        if (Host.ProgKeyDown(k)) {
            Host.SetProgKeyRed(k, !Host.ProgKeyRed(k));
            return;
        }
    }
}

int TProgramScripts::MsgBox(const QString &Prompt, int Buttons, const QString &Title)
{
    return Host.ScriptMsgBox(Prompt, Buttons, Title);
}

std::optional<QString> TProgramScripts::InputBox(const QString &Prompt, const QString &Title, const QString &Default)
{
    return Host.ScriptInputBox(Prompt, Title, Default);
}

void TProgramScripts::Tick()
{
    if (stopAsked && ++ticksSinceStop * TickStatements >= StopGraceStatements) {
        engine->Interrupt();
        return;
    }
    const qint64 now = Host.TickCount();
    if (now - lastEvents >= EventIntervalMs) {
        lastEvents = now;
        Host.ProcessEvents();
    }
}
