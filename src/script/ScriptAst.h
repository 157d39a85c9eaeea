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
struct TClass;

enum class EExpr : quint8 {
    Literal,    // Value; Hard for number and string literals and constants
    Missing,    // an argument left out: InStr(, "a", "b")
    Unary,      // Op (Neg, Not) on Left
    Binary,     // Op on Left and Right
    Name,       // an identifier not bound yet; Args when HasArgs
    Member,     // Left.Name; Args when HasArgs
    Index,      // Left(Args) on a value that is not a plain name: f(1)(2)
    Me,         // the object whose class procedure runs
    New,        // New Name: an object of the class Class (or one by that name
                // that ExecuteGlobal defines before it runs)
    Unqualified, // .Name outside any With
    // What binding makes of a Name:
    Local,      // a procedure's variable or parameter: Slot
    Global,     // a variable of the script: Slot
    NewGlobal,  // one the script's code makes by using it, not used here yet:
                // using it marks it existing and makes this a Global
    Ref,        // a variable of code run by Execute: *Ref
    Field,      // a variable of the object whose class procedure runs: Slot
    Property,   // a property of that object used without Me.: member Slot
    Object,     // a named object: Slot
    Proc,       // a Sub or Function of the script or of the class: Proc
    Builtin,    // a built-in function: Slot
    Undefined,  // no such name under Option Explicit
};
static_assert(EExpr::Global == EExpr(int(EExpr::Local) + 1) && EExpr::NewGlobal == EExpr(int(EExpr::Local) + 2)
                  && EExpr::Ref == EExpr(int(EExpr::Local) + 3) && EExpr::Field == EExpr(int(EExpr::Local) + 4),
              "IsVariable takes the variables as one range");

// Whether the expression names a variable that can be assigned and passed
// by reference.
inline bool IsVariable(EExpr Kind)
{
    return Kind >= EExpr::Local && Kind <= EExpr::Field;
}

struct TExpr
{
    // Mutable for NewGlobal's one change to Global.
    mutable EExpr Kind = EExpr::Literal;
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
    TScriptValue *Ref = nullptr;
    std::shared_ptr<const TClass> Class;
    QString Name;
    TScriptValue Value;
    std::unique_ptr<TExpr> Left;
    std::unique_ptr<TExpr> Right;
    std::vector<std::unique_ptr<TExpr>> Args;
    // The member number of Name on the object last seen here.
    mutable std::weak_ptr<TScriptObject> CachedObject;
    mutable int CachedId = -1;
    // That object when it is one of the script's classes (its methods then
    // take arguments by reference).
    mutable class TClassInstance *CachedInstance = nullptr;
};
using TExprPtr = std::unique_ptr<TExpr>;

enum class EStmt : quint8 { Assign, Set, Call, ReDim, Erase, If, Select, For, ForEach, Do, Exit, OnError, With, Nop };

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

// With Value ... End With: Value is held in the hidden variable Target,
// which .Name refers to inside.
struct TWithStmt : TStmt
{
    using TStmt::TStmt;
    TExprPtr Target;
    TExprPtr Value;
    TBlock Body;
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
    // Per slot: created by use rather than declared.
    std::vector<bool> Implicit;
    std::vector<TArrayDecl> Arrays;
    // A procedure's slots for the names it uses without declaring them, and
    // the script's variable of each name: a call's slot is that variable
    // when it exists as the call starts, else the call's own.
    QHash<QString, int> DynamicSlots;
    std::vector<std::pair<int, int>> DynamicGlobals; // local slot, the script's slot

    bool Declared(const QString &Key) const { return Slots.contains(Key) || Constants.contains(Key); }
    int Add(const QString &Name, bool IsImplicit = false)
    {
        const int slot = AddHidden(Name);
        Slots.insert(Name.toLower(), slot);
        Implicit.back() = IsImplicit;
        return slot;
    }
    // A slot that no name finds (a Function's value, a dynamic name's local).
    int AddHidden(const QString &Name)
    {
        const int slot = static_cast<int>(Names.size());
        Names.push_back(Name);
        Implicit.push_back(false);
        return slot;
    }
};

struct TParam
{
    QString Name;
    bool ByRef = true;
};

enum class EProcKind : quint8 { Sub, Function, PropertyGet, PropertyLet, PropertySet };

struct TProc
{
    QString Name;
    EProcKind Kind = EProcKind::Sub;
    // A Function or Property Get: it has a value (ResultSlot).
    bool IsFunction = false;
    int Line = 0;
    std::vector<TParam> Params; // slots 0 .. n-1
    int ResultSlot = -1;        // a Function's value
    TScope Scope;
    TBlock Body;
    // The class whose procedure it is, if any; it then runs with Me.
    const TClass *Owner = nullptr;
};

// A member of a class: a variable, a method, or a property's procedures.
struct TClassMember
{
    QString Name;
    bool Public = true;
    int Field = -1;
    const TProc *Method = nullptr;
    const TProc *Get = nullptr;
    const TProc *Let = nullptr;
    const TProc *Set = nullptr;
};

struct TClass
{
    QString Name;
    std::vector<TClassMember> Members;
    QHash<QString, int> MemberIndex; // lower-case name to member
    int FieldCount = 0;
    std::vector<TArrayDecl> FieldArrays;
    int DefaultMember = -1;
    const TProc *Initialize = nullptr;
    const TProc *Terminate = nullptr;
    std::vector<std::unique_ptr<TProc>> Procs;
};

struct TProgram
{
    bool Explicit = false;
    TScope Globals;
    std::vector<std::unique_ptr<TProc>> Procs;
    QHash<QString, TProc *> ProcIndex;
    QHash<QString, std::shared_ptr<TClass>> Classes;
    TBlock Body;
    // Eval's expression (then there is no Body).
    TExprPtr Expression;
};
