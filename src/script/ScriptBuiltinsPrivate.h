#pragma once

// Shared by the files of built-in functions: each file offers its part of
// the table, and a few helpers for reading arguments.

#include "script/ScriptBuiltins.h"
#include "script/ScriptError.h"
#include "script/ScriptRuntime.h"

#include <span>

std::span<const TBuiltin> ScriptConversionBuiltins();
std::span<const TBuiltin> ScriptTextBuiltins();
std::span<const TBuiltin> ScriptMathBuiltins();
std::span<const TBuiltin> ScriptDateBuiltins();

// The clock's seconds since midnight, with their fraction.
double ScriptSecondsSinceMidnight();

namespace ScriptArg {

[[noreturn]] inline void Fail(int Number) { throw TScriptError(Number); }

// A whole-number argument; Invalid use of Null for Null.
inline qint32 Long(const TScriptValue &Value)
{
    if (Value.IsNull())
        Fail(ScriptErr::InvalidNull);
    return Value.ToLong();
}

// An optional whole-number argument.
inline qint32 Long(const TBuiltinCall &Call, qsizetype Index, qint32 Default)
{
    return Call.Given(Index) ? Long(Call[Index]) : Default;
}

// A number argument; Invalid use of Null for Null.
inline double Number(const TScriptValue &Value)
{
    if (Value.IsNull())
        Fail(ScriptErr::InvalidNull);
    return Value.ToDouble();
}

// A text argument (Null must have been handled by the caller).
inline QString Text(const TScriptValue &Value)
{
    return Value.ToString();
}

// vbBinaryCompare (0) or vbTextCompare (1).
inline Qt::CaseSensitivity Compare(const TBuiltinCall &Call, qsizetype Index)
{
    const qint32 mode = Long(Call, Index, 0);
    if (mode != 0 && mode != 1)
        Fail(ScriptErr::InvalidCall);
    return mode == 1 ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

} // namespace ScriptArg
