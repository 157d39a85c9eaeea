#pragma once

// The built-in functions and constants of VBScript that scripts can use
// (MsgBox, Len, Mid, CInt, UBound, vbCrLf, vbYesNo ...).

#include "script/ScriptObject.h"
#include "script/ScriptValue.h"

class TScriptRuntime;
struct TFrame;

struct TBuiltinCall
{
    TScriptRuntime &Runtime;
    TScriptArgs Args;
    // Bit i set: argument i was left out (f(1, , 3)); its value is Empty.
    quint32 Missing = 0;
    // The calling procedure's frame (Execute and Eval work in its scope).
    TFrame *Frame = nullptr;

    qsizetype Count() const { return static_cast<qsizetype>(Args.size()); }
    bool Given(qsizetype I) const { return I < Count() && (I >= 32 || !(Missing >> I & 1u)); }
    const TScriptValue &operator[](qsizetype I) const { return Args[I]; }
};

using TBuiltinFunction = TScriptValue (*)(const TBuiltinCall &Call);

struct TBuiltin
{
    const char *Name;
    int MinArgs;
    int MaxArgs;
    TBuiltinFunction Function;
    // An error it raises names it ("Type mismatch: 'CInt'"); not so for
    // Execute and Eval, whose errors are those of the code they ran.
    bool NamesErrors = true;
};

// The index of a built-in function by its lower-case name, or -1.
int ScriptBuiltinIndex(const QString &Key);
const TBuiltin &ScriptBuiltinAt(int Index);
// The value of a built-in constant by its lower-case name (vbcrlf, vbyes...).
bool ScriptBuiltinConstant(const QString &Key, TScriptValue &Value);
