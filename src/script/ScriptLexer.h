#pragma once

// Splits a script's text into tokens: names and keywords (any case), numbers
// and date literals (#1/15/2024#, a Number token holding a Date), strings,
// operators, and the line ends and colons that separate statements.
// Comments (' and Rem) and "_" line continuations leave no token.

#include "script/ScriptValue.h"

#include <QString>

#include <vector>

enum class ETok : quint8 {
    Eof, NewLine, Colon, Ident, Number, String,
    Plus, Minus, Star, Slash, Backslash, Caret, Amp,
    Eq, Ne, Lt, Gt, Le, Ge, LParen, RParen, Comma, Dot,
};

// Reserved words. Words that are reserved only in one place (Step, Preserve,
// Error, Explicit, Resume, GoTo) are names the parser recognises there.
enum class EKw : quint8 {
    None,
    And, ByRef, ByVal, Call, Case, Class, Const, Dim, Do, Each, Else, ElseIf, Empty, End,
    Eqv, Erase, Exit, False, For, Function, If, Imp, In, Is, Let, Loop, Me, Mod, New, Next,
    Not, Nothing, Null, On, Option, Or, Private, Property, Public, ReDim, Select, Set, Stop,
    Sub, Then, To, True, Until, Wend, While, With, Xor,
};

struct TToken
{
    ETok Kind = ETok::Eof;
    EKw Keyword = EKw::None;
    int Line = 1;
    int Column = 1;
    // Blanks come before it ("MsgBox .Name" in a With block passes .Name).
    bool SpaceBefore = false;
    // A name as written, or a string literal's contents.
    QString Text;
    // A number literal's value (Integer, Long, Double, or Date).
    TScriptValue Value;
};

// The tokens of Text, ending with one Eof token. Throws a compilation
// TScriptError (Invalid character, Unterminated string constant, Invalid
// number, Identifier too long) with its line and column.
std::vector<TToken> ScriptTokens(const QString &Text);

// True when Word, compared without regard to case, is Name (lower case).
bool ScriptWordIs(const QString &Word, const char *Name);
