#pragma once

// Runs a bound program: evaluates expressions (ScriptEval.cpp), executes
// statements (ScriptExec.cpp), runs classes' objects and code that Execute,
// ExecuteGlobal and Eval compile while the script runs (ScriptRunClass.cpp)
// and keeps what a run needs: the global variables, the named objects, the
// Err object's state, Rnd's seed, the limits and the statement budget
// through which the host stops a script.

#include "script/ScriptAst.h"
#include "script/ScriptError.h"
#include "script/ScriptObject.h"

#include <QVarLengthArray>

#include <atomic>
#include <cstddef>
#include <deque>
#include <functional>

class TClassInstance;

// Variables that code run by Execute creates in a procedure's frame.
struct TFrameExtras
{
    QHash<QString, TScriptValue *> Names;
    std::deque<TScriptValue> Storage;
};

// One running procedure (or the script's own code, which has no slots).
struct TFrame
{
    // A parameter passed by reference points at the caller's variable.
    TScriptValue **Slots = nullptr;
    bool ResumeNext = false;
    const TProc *Proc = nullptr;
    // The object a class's procedure runs for; whoever called the procedure
    // holds it.
    TClassInstance *Me = nullptr;
    std::unique_ptr<TFrameExtras> Extras;
};

using TArgValues = QVarLengthArray<TScriptValue, 8>;

struct TScriptLimits
{
    qsizetype MaxString = qsizetype(1) << 28;
    qsizetype MaxArray = qsizetype(1) << 24;
    std::size_t MaxStack = std::size_t(2) << 20;
    quint64 MaxSteps = 0; // 0: no limit
};

// An object a script made (a class's object, a Dictionary): when the run
// ends it is told to drop what it holds, so that objects holding each other
// are freed too, and never to run script code again.
class TScriptOwned : public TScriptObject
{
public:
    virtual void Detach() = 0;
};

class TScriptRuntime
{
public:
    explicit TScriptRuntime(std::atomic<bool> &Interrupt) : m_interrupt(Interrupt) {}

    // Runs the program's own code; its error, if any, goes to Error.
    TScriptStatus Run(const TProgram &Program, TScriptError &Error);

    TScriptHost *Host = nullptr;
    std::vector<std::shared_ptr<TScriptObject>> Objects;
    // The named objects' numbers by lower-case name, for code compiled while
    // the script runs.
    std::function<int(const QString &)> FindObject;
    TScriptLimits Limits;
    int TickInterval = 1000;
    // Where a FileSystemObject's relative paths start; empty: scripts get
    // no FileSystemObject.
    QString ScriptFolder;

    // The Err object.
    int ErrNumber = 0;
    QString ErrDescription;
    QString ErrSource;
    void SetErr(const TScriptError &Error);
    void ClearErr();

    // Rnd's generator, VBScript's 24-bit one.
    quint32 RndState = 0x50000;

    void CheckString(qint64 Length) const;
    void CheckArray(qint64 Count) const;
    // Out of stack space when the native stack is used up to the limit (so
    // that deep recursion is a script error, not a crash).
    void CheckStack() const
    {
        const char *here = static_cast<const char *>(__builtin_frame_address(0));
        if (m_stackBase && static_cast<std::size_t>(m_stackBase - here) > Limits.MaxStack) [[unlikely]]
            throw TScriptError(ScriptErr::OutOfStack);
    }

    // --- evaluation (ScriptEval.cpp)
    TScriptValue Eval(const TExpr &E, TFrame &F);
    quint32 EvalArgs(const std::vector<TExprPtr> &Args, TFrame &F, TArgValues &Out);
    void CallStatement(const TExpr &E, TFrame &F);
    TScriptValue InvokeMember(const TExpr &E, TFrame &F, TScriptInvoke Kind, const TScriptValue *PutValue);
    TScriptValue InvokeDefault(const TScriptValue &Object, const QString &Name, TScriptInvoke Kind, TArgValues &Args);
    TScriptValue &Element(TScriptValue &Base, const TArgValues &Indexes, const QString &Name);
    TScriptValue &SlotRef(const TExpr &E, TFrame &F)
    {
        if (E.Kind == EExpr::Local)
            return *F.Slots[E.Slot];
        if (E.Kind == EExpr::Global)
            return m_globals[static_cast<std::size_t>(E.Slot)];
        return OtherSlot(E, F);
    }

    // --- statements (ScriptExec.cpp)
    EFlow ExecBlock(const TBlock &Block, TFrame &F);
    void Assign(const TExpr &Target, TScriptValue Value, TFrame &F);
    // Set Target = Value.
    void AssignObject(const TExpr &Target, TScriptValue Value, TFrame &F);
    TScriptValue &LValue(const TExpr &E, TFrame &F);
    static void Store(TScriptValue &Slot, TScriptValue &&Value);
    void InitArrays(const std::vector<TArrayDecl> &Arrays, TScriptValue *const *Slots, TScriptValue *Globals);

    // --- procedures, classes, code compiled while running (ScriptRunClass.cpp)
    // A procedure called with values (by a reference from GetRef, through an
    // object of a class, or Class_Initialize); Me for a class's procedure
    // (ScriptEval.cpp, beside the calls from the script's expressions).
    TScriptValue CallProcValues(const TProc &Proc, TScriptArgs Args, TClassInstance *Me, const QString &Name);
    // A member of an object of a script's class, by its number; Args holds
    // any indexes, then the value for Put and PutRef.
    TScriptValue InvokeInstance(TClassInstance &Object, int Member, TScriptInvoke Kind, TScriptArgs Args);
    // Execute (Global false) and ExecuteGlobal run statements, Eval an
    // expression, compiled now: in F's scope or at the script's level.
    void ExecuteText(const QString &Text, TFrame &F, bool Global);
    TScriptValue EvalText(const QString &Text, TFrame &F);
    // GetRef: an object that calls the procedure; "Invalid procedure call or
    // argument" when there is none by that name.
    TScriptValue ProcReference(const QString &Name);
    // An object a script made, to be detached when the run ends.
    void Own(const std::weak_ptr<TScriptOwned> &Object);
    // Class_Terminate of an object the script let go of runs at the next
    // statement (or when the procedure that held it returns).
    void QueueTerminate(TClassInstance *Object);

    // What binding code compiled while running needs of the script: its
    // program, its variables and what ExecuteGlobal added.
    const TProgram *Program() const { return m_program; }
    bool GlobalExists(int Slot) const { return m_exists[static_cast<std::size_t>(Slot)] != 0; }
    TScriptValue *NamedVariable(const QString &Key);
    TScriptValue *NewVariable(const QString &Key, TFrame *Frame);
    const TProc *NamedProc(const QString &Key) const;
    std::shared_ptr<const TClass> NamedClass(const QString &Key) const;
    bool NamedConstant(const QString &Key, TScriptValue &Value) const;

    // Counts one statement or loop turn; stops the script when the host
    // asked for it or the budget is spent, and calls the host's hook.
    void Step()
    {
        if (--m_countdown <= 0 || m_interrupt.load(std::memory_order_relaxed))
            SlowStep();
    }

private:
    void SlowStep();
    TScriptValue &OtherSlot(const TExpr &E, TFrame &F);
    TScriptValue CallProc(const TExpr &E, TFrame &F);
    TScriptValue CallProcExprs(const TProc &Proc, const std::vector<TExprPtr> &Args, TFrame &F, TClassInstance *Me,
                               const QString &Name);
    TScriptValue RunProc(const TProc &Proc, TScriptValue **Slots, TClassInstance *Me);
    TScriptValue CallBuiltin(const TExpr &E, TFrame &F);
    TScriptValue Index(const TScriptValue &Base, const QString &Name, TArgValues &Args);
    TScriptValue CallHost(TScriptObject &Object, int Id, TScriptInvoke Kind, TArgValues &Args, const QString &Name);
    TScriptValue MeProperty(const TExpr &E, TFrame &F, TScriptInvoke Kind, const TScriptValue *PutValue);
    TScriptValue NewObject(const TExpr &E);
    void RunTerminates();
    void EndRun(bool RunScript);
    // Code compiled in Context (a procedure's frame, or null: the script's
    // level); Define makes its procedures, classes and constants known there.
    std::unique_ptr<TProgram> Compile(const QString &Text, TFrame *Context, bool Expression);
    void Define(TProgram &Snippet, TFrame *Context);
    // The variable a declaration of compiled code means in Context.
    TScriptValue &Declared(const QString &Key, TFrame *Context);
    EFlow Exec(const TStmt &S, TFrame &F);
    bool Condition(const TExpr &E, TFrame &F);
    EFlow ExecSelect(const TSelectStmt &S, TFrame &F);
    EFlow ExecFor(const TForStmt &S, TFrame &F);
    EFlow ExecForEach(const TForEachStmt &S, TFrame &F);
    EFlow ExecDo(const TDoStmt &S, TFrame &F);
    EFlow ExecWith(const TWithStmt &S, TFrame &F);
    void ExecReDim(const TReDimStmt &S, TFrame &F);
    void ExecErase(const TEraseStmt &S, TFrame &F);

    std::atomic<bool> &m_interrupt;
    const TProgram *m_program = nullptr;
    std::vector<TScriptValue> m_globals;
    // Per global: it exists (declared, or its first use has run).
    std::vector<char> m_exists;
    // What ExecuteGlobal added: variables (stable addresses), procedures,
    // classes, constants; and the compiled code they live in.
    QHash<QString, TScriptValue *> m_addedNames;
    std::deque<TScriptValue> m_addedStorage;
    QHash<QString, const TProc *> m_addedProcs;
    QHash<QString, std::shared_ptr<const TClass>> m_addedClasses;
    QHash<QString, TScriptValue> m_addedConstants;
    std::vector<std::unique_ptr<TProgram>> m_snippets;
    std::vector<std::weak_ptr<TScriptOwned>> m_owned;
    std::size_t m_ownedCompacted = 64;
    std::vector<TClassInstance *> m_terminating;
    bool m_draining = false;
    bool m_ending = false;
    const char *m_stackBase = nullptr;
    int m_countdown = 0;
    int m_chunk = 0;
    qint64 m_tickLeft = 0;
    quint64 m_steps = 0;
};

// Whether a condition holds: Null counts as false, like VBScript's If.
bool ScriptTruth(const TScriptValue &Value);

// Binds code compiled while the script runs: in Context, a procedure's frame,
// or at the script's level when Context is null.
void ScriptBindRunning(TProgram &Snippet, TScriptRuntime &Runtime, TFrame *Context);
