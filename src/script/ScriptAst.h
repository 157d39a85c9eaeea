#pragma once

// The tree a script is parsed into and then run from. The parser leaves
// names as Name nodes; binding turns each into the variable slot, constant,
// procedure, named object or built-in it means, so that running a statement
// never looks a name up.

#include "script/ScriptObject.h"
#include "script/ScriptOps.h"
#include "script/ScriptValue.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

struct TProc;

enum class EExpr : quint8 {
    Literal,    // Value; Hard for number and string literals and constants
    Missing,    // an argument left out: InStr(, "a", "b")
    Unary,      // Op (Neg, Not) on Left
    Binary,     // Op on Left and Right
    Name,       // an identifier not bound yet; Args when HasArgs
    Member,     // Left.Name; Args when HasArgs
    Index,      // Left(Args) on a value that is not a plain name: f(1)(2)
    // What binding makes of a Name:
    Local,      // a procedure's variable or parameter: Slot
    Global,     // a variable of the script: Slot
    Object,     // a named object: Slot
    Proc,       // a Sub or Function of the script: Proc
    Builtin,    // a built-in function: Slot
    Undefined,  // no such name under Option Explicit
};

struct TExpr
{
    EExpr Kind = EExpr::Literal;
    EOp Op = EOp::Add;
    // Written with an argument list, even an empty one: f().
    bool HasArgs = false;
    bool Hard = false;
    // Written in parentheses: passed by value even to a ByRef parameter.
    bool Parenthesized = false;
    int Line = 0;
    int Depth = 1;
    int Slot = -1;
    const TProc *Proc = nullptr;
    QString Name;
    TScriptValue Value;
    std::unique_ptr<TExpr> Left;
    std::unique_ptr<TExpr> Right;
    std::vector<std::unique_ptr<TExpr>> Args;
    // The member number of Name on the object last seen here.
    mutable std::weak_ptr<TScriptObject> CachedObject;
    mutable int CachedId = -1;
};
using TExprPtr = std::unique_ptr<TExpr>;

enum class EStmt : quint8 { Assign, Set, Call, ReDim, Erase, If, Select, For, ForEach, Do, Exit, OnError, Nop };

struct TStmt
{
    explicit TStmt(EStmt Kind_, int Line_) : Kind(Kind_), Line(Line_) {}
    virtual ~TStmt() = default;
    EStmt Kind;
    int Line;
};
using TStmtPtr = std::unique_ptr<TStmt>;
using TBlock = std::vector<TStmtPtr>;

// x = v, Set x = v, and a call statement (Value only).
struct TAssignStmt : TStmt
{
    using TStmt::TStmt;
    TExprPtr Target;
    TExprPtr Value;
};

struct TReDimStmt : TStmt
{
    using TStmt::TStmt;
    bool Preserve = false;
    // Each target is a Name with its new upper bounds as Args.
    std::vector<TExprPtr> Targets;
};

struct TEraseStmt : TStmt
{
    using TStmt::TStmt;
    std::vector<TExprPtr> Targets;
};

struct TIfStmt : TStmt
{
    using TStmt::TStmt;
    std::vector<TExprPtr> Conditions;
    std::vector<TBlock> Blocks;
    TBlock Else;
};

struct TCaseItem
{
    enum Kind { Value, Range, Relation } Kind = Value;
    EOp Op = EOp::Eq;
    TExprPtr A;
    TExprPtr B;
};

struct TCaseClause
{
    std::vector<TCaseItem> Items;
    TBlock Body;
};

struct TSelectStmt : TStmt
{
    using TStmt::TStmt;
    TExprPtr Test;
    std::vector<TCaseClause> Cases;
    TBlock Else;
};

struct TForStmt : TStmt
{
    using TStmt::TStmt;
    TExprPtr Variable;
    TExprPtr From;
    TExprPtr To;
    TExprPtr Step; // null: 1
    TBlock Body;
};

struct TForEachStmt : TStmt
{
    using TStmt::TStmt;
    TExprPtr Variable;
    TExprPtr Group;
    TBlock Body;
};

struct TDoStmt : TStmt
{
    using TStmt::TStmt;
    TExprPtr Condition; // null: Do ... Loop without one
    bool AtEnd = false; // Loop While/Until
    bool Until = false;
    TBlock Body;
};

enum class EFlow : quint8 { Normal, ExitDo, ExitFor, ExitProc };

struct TExitStmt : TStmt
{
    using TStmt::TStmt;
    EFlow Flow = EFlow::ExitProc;
};

struct TOnErrorStmt : TStmt
{
    using TStmt::TStmt;
    bool ResumeNext = false;
};

// Dim a(3, 4) or Dim a(): made when the scope starts.
struct TArrayDecl
{
    int Slot = 0;
    int Line = 0;
    std::vector<qint32> Upper; // empty for a dynamic array
};

// The variables and constants of the script or of one procedure. Keys are
// lower case.
struct TScope
{
    QHash<QString, int> Slots;
    QHash<QString, TScriptValue> Constants;
    std::vector<QString> Names;
    std::vector<TArrayDecl> Arrays;

    bool Declared(const QString &Key) const { return Slots.contains(Key) || Constants.contains(Key); }
    int Add(const QString &Name)
    {
        const int slot = static_cast<int>(Names.size());
        Names.push_back(Name);
        Slots.insert(Name.toLower(), slot);
        return slot;
    }
};

struct TParam
{
    QString Name;
    bool ByRef = true;
};

struct TProc
{
    QString Name;
    bool IsFunction = false;
    int Line = 0;
    std::vector<TParam> Params; // slots 0 .. n-1
    int ResultSlot = -1;        // a Function's value
    TScope Scope;
    TBlock Body;
};

struct TProgram
{
    bool Explicit = false;
    TScope Globals;
    std::vector<std::unique_ptr<TProc>> Procs;
    QHash<QString, TProc *> ProcIndex;
    TBlock Body;
};
