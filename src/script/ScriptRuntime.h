#pragma once

// Runs a bound program: evaluates expressions (ScriptEval.cpp), executes
// statements (ScriptExec.cpp) and keeps what a run needs: the global
// variables, the named objects, the Err object's state, Rnd's seed, the
// limits and the statement budget through which the host stops a script.

#include "script/ScriptAst.h"
#include "script/ScriptError.h"
#include "script/ScriptObject.h"

#include <QVarLengthArray>

#include <atomic>
#include <cstddef>

// One running procedure (or the script's own code, which has no slots).
struct TFrame
{
    // A parameter passed by reference points at the caller's variable.
    TScriptValue **Slots = nullptr;
    bool ResumeNext = false;
};

using TArgValues = QVarLengthArray<TScriptValue, 8>;

struct TScriptLimits
{
    qsizetype MaxString = qsizetype(1) << 28;
    qsizetype MaxArray = qsizetype(1) << 24;
    std::size_t MaxStack = std::size_t(2) << 20;
    quint64 MaxSteps = 0; // 0: no limit
};

class TScriptRuntime
{
public:
    explicit TScriptRuntime(std::atomic<bool> &Interrupt) : m_interrupt(Interrupt) {}

    // Runs the program's own code; its error, if any, goes to Error.
    TScriptStatus Run(const TProgram &Program, TScriptError &Error);

    TScriptHost *Host = nullptr;
    std::vector<std::shared_ptr<TScriptObject>> Objects;
    TScriptLimits Limits;
    int TickInterval = 1000;

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

    // --- evaluation (ScriptEval.cpp)
    TScriptValue Eval(const TExpr &E, TFrame &F);
    quint32 EvalArgs(const std::vector<TExprPtr> &Args, TFrame &F, TArgValues &Out);
    void CallStatement(const TExpr &E, TFrame &F);
    TScriptValue InvokeMember(const TExpr &E, TFrame &F, TScriptInvoke Kind, const TScriptValue *PutValue);
    TScriptValue InvokeDefault(const TScriptValue &Object, const QString &Name, TScriptInvoke Kind, TArgValues &Args);
    TScriptValue &Element(TScriptValue &Base, const TArgValues &Indexes, const QString &Name);
    TScriptValue &SlotRef(const TExpr &E, TFrame &F)
    {
        return E.Kind == EExpr::Local ? *F.Slots[E.Slot] : m_globals[E.Slot];
    }

    // --- statements (ScriptExec.cpp)
    EFlow ExecBlock(const TBlock &Block, TFrame &F);
    void Assign(const TExpr &Target, TScriptValue Value, TFrame &F);
    TScriptValue &LValue(const TExpr &E, TFrame &F);
    static void Store(TScriptValue &Slot, TScriptValue &&Value);
    void InitArrays(const std::vector<TArrayDecl> &Arrays, TScriptValue *const *Slots, TScriptValue *Globals);

    // Counts one statement or loop turn; stops the script when the host
    // asked for it or the budget is spent, and calls the host's hook.
    void Step()
    {
        if (--m_countdown <= 0 || m_interrupt.load(std::memory_order_relaxed))
            SlowStep();
    }

private:
    void SlowStep();
    TScriptValue CallProc(const TExpr &E, TFrame &F);
    TScriptValue CallBuiltin(const TExpr &E, TFrame &F);
    TScriptValue Index(const TScriptValue &Base, const TExpr &E, TArgValues &Args);
    TScriptValue CallHost(TScriptObject &Object, int Id, TScriptInvoke Kind, TArgValues &Args, const QString &Name);
    EFlow Exec(const TStmt &S, TFrame &F);
    bool Condition(const TExpr &E, TFrame &F);
    EFlow ExecSelect(const TSelectStmt &S, TFrame &F);
    EFlow ExecFor(const TForStmt &S, TFrame &F);
    EFlow ExecForEach(const TForEachStmt &S, TFrame &F);
    EFlow ExecDo(const TDoStmt &S, TFrame &F);
    void ExecReDim(const TReDimStmt &S, TFrame &F);
    void ExecErase(const TEraseStmt &S, TFrame &F);

    std::atomic<bool> &m_interrupt;
    std::vector<TScriptValue> m_globals;
    const char *m_stackBase = nullptr;
    int m_countdown = 0;
    int m_chunk = 0;
    qint64 m_tickLeft = 0;
    quint64 m_steps = 0;
};

// Whether a condition holds: Null counts as false, like VBScript's If.
bool ScriptTruth(const TScriptValue &Value);
