#pragma once

// The VBScript interpreter as a program embeds it:
//
//   TScriptEngine engine(&host);                 // host: MsgBox, InputBox, Tick
//   engine.AddObject("Zov", zovObject);          // scripts write Zov.Frequency
//   if (engine.Execute(text) == TScriptStatus::Failed)
//       show("Line: " + n(engine.Error().Line) + "\n\n" + engine.Error().FullDescription());
//
// The whole text is parsed first: a syntax error anywhere is reported with
// its line before any statement runs. Interrupt() (from any thread) stops a
// running script at its next statement, even one looping without end.

#include "script/ScriptError.h"
#include "script/ScriptObject.h"

#include <QString>

#include <cstddef>
#include <memory>

class TScriptEngine
{
public:
    explicit TScriptEngine(TScriptHost *Host = nullptr);
    ~TScriptEngine();
    TScriptEngine(const TScriptEngine &) = delete;
    TScriptEngine &operator=(const TScriptEngine &) = delete;

    void SetHost(TScriptHost *Host);
    // Scripts reach Object under Name (any case); an object added under a
    // name already used replaces the earlier one. The engine keeps its
    // objects until it is destroyed or RemoveObjects is called.
    void AddObject(const QString &Name, std::shared_ptr<TScriptObject> Object);
    void RemoveObjects();
    // The folder against which CreateObject("Scripting.FileSystemObject")
    // resolves relative paths (the script file's). Without one scripts get no
    // FileSystemObject: "ActiveX component can't create object".
    void SetScriptFolder(const QString &Folder);

    // Parses and runs Text on the calling thread; returns when the script
    // ends, fails or is interrupted. One run at a time: a nested call fails
    // with "Internal error".
    TScriptStatus Execute(const QString &Text);
    // Parses Text without running it: false, with Error(), on a syntax error.
    bool Check(const QString &Text);
    // The error of the last Execute or Check that failed: number, VBScript's
    // description, 1-based line, and whether it is a compilation error.
    const TScriptError &Error() const;

    // Asks the running script to stop at its next statement; safe from any
    // thread and from the host's hooks. Without a running script it does
    // nothing.
    void Interrupt();
    bool IsRunning() const;

    // TScriptHost::Tick is called every Statements statements (default 1000).
    void SetTickInterval(int Statements);
    // Stops a run (as an interrupt does) after this many statements; 0, the
    // default, for no limit.
    void SetStepLimit(quint64 Statements);
    // Longest string ("Out of string space" beyond), largest array ("Out of
    // memory" beyond) and the native stack the script's procedure calls may
    // use ("Out of stack space" beyond).
    void SetStringLimit(qsizetype Characters);
    void SetArrayLimit(qsizetype Elements);
    void SetStackLimit(std::size_t Bytes);

private:
    struct TData;
    std::unique_ptr<TData> d;
};
