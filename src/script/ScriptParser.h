#pragma once

// Parsing and binding of a whole script, before any of it runs: a syntax
// error anywhere is reported with its line and nothing is executed.

#include "script/ScriptAst.h"

#include <QString>

#include <functional>
#include <memory>

// Nesting deeper than this (blocks within blocks, parentheses, operators on
// operators) is refused as Out of stack space, so that neither parsing nor
// running the tree can exhaust the native stack.
constexpr int ScriptMaxNesting = 200;

// The tree of Text with names still unbound. Throws a compilation
// TScriptError with line and column.
std::unique_ptr<TProgram> ScriptParse(const QString &Text);
// Eval's text: one expression, as the program's Expression.
std::unique_ptr<TProgram> ScriptParseExpression(const QString &Text);

// Binds every name of the program: local and global variables (declared, or
// created by use unless Option Explicit), constants, procedures, the named
// objects FindObject knows (index or -1, given a lower-case name), then the
// built-ins.
void ScriptBind(TProgram &Program, const std::function<int(const QString &Key)> &FindObject);
