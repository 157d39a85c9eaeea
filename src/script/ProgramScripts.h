#pragma once

// The three PROG keys of the main window: each owns a VBScript file in the
// program folder (PROG1.vbs ... PROG3.vbs). A click opens the script in the
// editor; "Run >>>" runs it with the Zov object while the key blinks; a click
// on the blinking key asks the script to stop. The window supplies the keys,
// the editor and the dialogs through TProgramScriptsHost.
//
// A script runs on the window's thread inside the key's click. The window
// stays alive while it runs: Zov.Sleep and Zov.Interrupted handle its
// messages, and so does the interpreter's hook every few milliseconds of
// statements, so that even a script that never calls Zov can be stopped.
// A script asked to stop gets a short budget of statements to end by itself
// (to release the PTT, say); after that it is stopped where it is.

#include "script/ScriptFile.h"
#include "script/ScriptObject.h"
#include "script/ZovHost.h"

#include <memory>
#include <optional>

class TScriptEngine;

class TProgramScriptsHost : public TZovHost
{
public:
    // Keys 0 to 2: Prog1Btn, Prog2Btn, Prog3Btn.
    virtual QString KeyCaption(int Key) const = 0;
    virtual bool ProgKeyDown(int Key) const = 0;
    virtual void SetProgKeyDown(int Key, bool Down) = 0;
    virtual void SetProgKeyEnabled(int Key, bool Enabled) = 0;
    // The caption's colour: red or black.
    virtual bool ProgKeyRed(int Key) const = 0;
    virtual void SetProgKeyRed(int Key, bool Red) = 0;
    virtual void SetProgKeyHint(int Key, const QString &Hint) = 0;

    // A run stopped by its key or ended by a run-time error, before any
    // message about it: whatever the script keyed is let go at once.
    virtual void ScriptAborted(int Key, bool Failed) = 0;

    // BlinkingButtonTmr: on exactly while a script runs and has not been
    // asked to stop (ScriptActive tells the same).
    virtual void SetBlinking(bool On) = 0;

    // Shows the script editor modally with Text; returns the text as left
    // and whether it was left with "Run >>>".
    virtual bool EditScript(QString &Text) = 0;

    // The script's own dialogs (VBScript's MsgBox and InputBox).
    virtual int ScriptMsgBox(const QString &Prompt, int Buttons, const QString &Title) = 0;
    virtual std::optional<QString> ScriptInputBox(const QString &Prompt, const QString &Title,
                                                  const QString &Default) = 0;
};

class TProgramScripts : private TScriptHost
{
public:
    static constexpr int KeyCount = 3;
    // How often, at most, a script busy with statements lets the window
    // handle its messages.
    static constexpr int EventIntervalMs = 20;
    // Statements a script may still run after it was asked to stop.
    static constexpr int StopGraceStatements = 100000;

    explicit TProgramScripts(TProgramScriptsHost &Host);
    ~TProgramScripts() override;

    // A click on a PROG key, which has already toggled it: down starts an
    // edit and perhaps a run, up asks the running script to stop.
    void RunProgram(int Key);
    // The key's hint from the first lines of its script, or "No script".
    void UpdateProgramHint(int Key);
    // BlinkingButtonTmr's tick: the first key that is down changes colour.
    void BlinkingButtonTimer();

    // A script is running (also while it has been asked to stop).
    bool Running() const { return runningKey >= 0; }
    // Asks the running script to stop, as a click on its key does.
    void StopRunning();

private:
    void Run(int Key, const QString &Text);
    void EndRun(int Key);
    void askToStop(int Key);
    void EnableKeys(int OnlyKey);

    int MsgBox(const QString &Prompt, int Buttons, const QString &Title) override;
    std::optional<QString> InputBox(const QString &Prompt, const QString &Title, const QString &Default) override;
    void Tick() override;

    TProgramScriptsHost &Host;
    // An edit whose file could not be written: the key's next click offers
    // it again instead of the file.
    struct TUnsaved
    {
        TScriptFileText File;
        QString Text;
    };
    std::optional<TUnsaved> unsaved[KeyCount];
    std::unique_ptr<TScriptEngine> engine;
    int runningKey = -1;
    bool stopAsked = false;
    int ticksSinceStop = 0;
    qint64 lastEvents = 0;
};
