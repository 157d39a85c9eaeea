#pragma once

// VBScript's operators on variants: the result types (Integer grows to Long,
// Long to Double), Null propagation, string and number coercion, and the
// comparison rules.

#include "script/ScriptValue.h"

enum class EOp : quint8 {
    Add, Sub, Mul, Div, IntDiv, Mod, Pow, Concat,
    Eq, Ne, Lt, Gt, Le, Ge, Is,
    And, Or, Xor, Eqv, Imp,
    Neg, Not,
};

namespace ScriptOps {

// Add through Imp except the comparisons and Concat. Add joins two strings,
// raising Out of string space beyond MaxLength characters.
TScriptValue Arithmetic(EOp Op, const TScriptValue &A, const TScriptValue &B, qsizetype MaxLength);
TScriptValue Negate(const TScriptValue &A);
TScriptValue Not(const TScriptValue &A);
// A & B; Out of string space beyond MaxLength characters.
TScriptValue Concat(const TScriptValue &A, const TScriptValue &B, qsizetype MaxLength);

// Outcome of comparing two values: less, equal, greater, or Null.
enum class Order { Less, Equal, Greater, Null };
// A number and a string compare as VBScript's typed values and variants do:
// when the number is hard (written in the script as a literal or constant)
// the string is read as a number (Type mismatch if it is none); else when
// the string is hard the number is compared as its text; else any number is
// less than any string. Type mismatch for arrays.
Order Compare(const TScriptValue &A, const TScriptValue &B, bool HardA = false, bool HardB = false);
// Eq ... Ge on an order: Boolean, or Null.
TScriptValue Relation(EOp Op, Order Result);
// A Is B: Object required unless both are objects (Nothing included).
bool Same(const TScriptValue &A, const TScriptValue &B);

} // namespace ScriptOps
