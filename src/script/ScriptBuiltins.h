#pragma once

// The built-in functions and constants of VBScript that scripts can use
// (MsgBox, Len, Mid, CInt, UBound, vbCrLf, vbYesNo ...).

#include "script/ScriptObject.h"
#include "script/ScriptValue.h"

class TScriptRuntime;

struct TBuiltinCall
{
    TScriptRuntime &Runtime;
    TScriptArgs Args;
    // Bit i set: argument i was left out (f(1, , 3)); its value is Empty.
    quint32 Missing = 0;

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
};

// The index of a built-in function by its lower-case name, or -1.
int ScriptBuiltinIndex(const QString &Key);
const TBuiltin &ScriptBuiltinAt(int Index);
// The value of a built-in constant by its lower-case name (vbcrlf, vbyes...).
bool ScriptBuiltinConstant(const QString &Key, TScriptValue &Value);
