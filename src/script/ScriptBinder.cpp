// Binding: each name becomes what it means where it is written. Inside a
// procedure: its Function's own name (the value being returned), its
// constants and variables, then its class's members; then the script's
// constants, variables and procedures, the named objects, the built-in
// constants and functions. Under Option Explicit an unknown name raises
// "Variable is undefined" when it runs. Otherwise the script's own code
// creates a variable of the script by using it, and a procedure's unknown
// name is that variable once it exists when the name is used, else a
// variable of the call (so that a recursive function's helper variable is
// its own even when the script later uses the name).
//
// Code compiled while the script runs (Execute, ExecuteGlobal, Eval) binds
// the same way in the scope it runs in: a procedure's frame (its variables,
// and those earlier Execute code made there) or the script's level (its
// variables and what ExecuteGlobal added).
#include "script/ScriptBuiltins.h"
#include "script/ScriptParser.h"
#include "script/ScriptRuntime.h"

namespace {

class TBinder
{
public:
    TBinder(TProgram &Program, const std::function<int(const QString &)> &FindObject)
        : m_program(Program), m_findObject(FindObject), m_explicit(Program.Explicit)
    {
    }

    TBinder(TProgram &Snippet, TScriptRuntime &Runtime, TFrame *Context)
        : m_program(Snippet), m_findObject(Runtime.FindObject), m_runtime(&Runtime), m_context(Context),
          m_explicit(Snippet.Explicit || Runtime.Program()->Explicit)
    {
    }

    void Run()
    {
        // The script's own code first, so that the variables it creates by
        // use are known to its procedures.
        BindBlock(m_program.Body);
        if (m_program.Expression)
            BindExpr(*m_program.Expression);
        for (auto &proc : m_program.Procs)
            BindProc(*proc);
        for (auto it = m_program.Classes.begin(); it != m_program.Classes.end(); ++it)
            for (auto &proc : it.value()->Procs)
                BindProc(*proc);
    }

private:
    const TScope &Globals() const { return m_runtime ? m_runtime->Program()->Globals : m_program.Globals; }

    void BindProc(TProc &Proc)
    {
        m_proc = &Proc;
        BindBlock(Proc.Body);
        m_proc = nullptr;
    }

    static void MakeLiteral(TExpr &E, const TScriptValue &Value)
    {
        E.Kind = EExpr::Literal;
        E.Value = Value;
        E.Hard = Value.type() == TScriptValue::Integer || Value.type() == TScriptValue::Long
            || Value.type() == TScriptValue::Double || Value.type() == TScriptValue::String;
    }

    static void MakeRef(TExpr &E, TScriptValue *Ref)
    {
        E.Kind = EExpr::Ref;
        E.Ref = Ref;
    }

    // The procedure whose names come first: the one being bound, or the one
    // whose frame runs Execute's code.
    const TProc *Inner() const { return m_proc ? m_proc : m_context ? m_context->Proc : nullptr; }

    // A name of a procedure's own scope or of its class.
    bool ResolveInProc(TExpr &E, const TProc &Proc, const QString &Key)
    {
        if (Proc.IsFunction && Key == Proc.Name.toLower()) {
            if (E.HasArgs) {
                E.Kind = EExpr::Proc;
                E.Proc = &Proc;
            } else {
                E.Kind = EExpr::Local;
                E.Slot = Proc.ResultSlot;
            }
            return true;
        }
        const TScope &scope = Proc.Scope;
        if (const auto c = scope.Constants.constFind(Key); c != scope.Constants.cend()) {
            MakeLiteral(E, c.value());
            return true;
        }
        if (const auto s = scope.Slots.constFind(Key); s != scope.Slots.cend()) {
            E.Kind = EExpr::Local;
            E.Slot = s.value();
            return true;
        }
        if (const auto d = scope.DynamicSlots.constFind(Key); d != scope.DynamicSlots.cend()) {
            E.Kind = EExpr::Local;
            E.Slot = d.value();
            return true;
        }
        if (!Proc.Owner)
            return false;
        const TClass &type = *Proc.Owner;
        const int index = type.MemberIndex.value(Key, -1);
        if (index < 0)
            return false;
        const TClassMember &member = type.Members[static_cast<std::size_t>(index)];
        E.Slot = member.Field >= 0 ? member.Field : index;
        if (member.Field >= 0) {
            E.Kind = EExpr::Field;
        } else if (member.Method) {
            E.Kind = EExpr::Proc;
            E.Proc = member.Method;
        } else {
            E.Kind = EExpr::Property;
        }
        return true;
    }

    bool ResolveConstant(TExpr &E, const QString &Key)
    {
        TScriptValue value;
        const auto own = m_program.Globals.Constants.constFind(Key);
        if (own != m_program.Globals.Constants.cend())
            value = own.value();
        else if (!m_runtime)
            return false;
        else if (const auto main = Globals().Constants.constFind(Key); main != Globals().Constants.cend())
            value = main.value();
        else if (!m_runtime->NamedConstant(Key, value))
            return false;
        MakeLiteral(E, value);
        return true;
    }

    // A variable of the script: declared, created by use, or added.
    bool ResolveGlobal(TExpr &E, const QString &Key)
    {
        const TScope &globals = Globals();
        if (const auto s = globals.Slots.constFind(Key); s != globals.Slots.cend()) {
            const int slot = s.value();
            const bool implicit = globals.Implicit[static_cast<std::size_t>(slot)];
            if (implicit && m_proc) {
                BindDynamic(E, Key, slot);
                return true;
            }
            // Execute's code in a procedure: the script's variable if it
            // exists by now, else one of the procedure's call.
            if (implicit && m_context && !m_runtime->GlobalExists(slot))
                return false;
            E.Kind = implicit ? EExpr::NewGlobal : EExpr::Global;
            E.Slot = slot;
            return true;
        }
        if (m_runtime) {
            if (TScriptValue *added = m_runtime->NamedVariable(Key)) {
                MakeRef(E, added);
                return true;
            }
        }
        return false;
    }

    void BindDynamic(TExpr &E, const QString &Key, int GlobalSlot)
    {
        TScope &scope = m_proc->Scope;
        int local = scope.DynamicSlots.value(Key, -1);
        if (local < 0) {
            local = scope.AddHidden(E.Name);
            scope.DynamicSlots.insert(Key, local);
            scope.DynamicGlobals.emplace_back(local, GlobalSlot);
        }
        E.Kind = EExpr::Local;
        E.Slot = local;
    }

    bool ResolveProc(TExpr &E, const QString &Key)
    {
        const TProc *proc = m_program.ProcIndex.value(Key);
        if (!proc && m_runtime)
            proc = m_runtime->Program()->ProcIndex.value(Key);
        if (!proc && m_runtime)
            proc = m_runtime->NamedProc(Key);
        if (!proc)
            return false;
        E.Kind = EExpr::Proc;
        E.Proc = proc;
        return true;
    }

    void Resolve(TExpr &E, bool Declare)
    {
        const QString key = E.Name.toLower();
        if (const TProc *inner = Inner(); inner && ResolveInProc(E, *inner, key))
            return;
        if (!m_proc && m_context && m_context->Extras) {
            if (TScriptValue *extra = m_context->Extras->Names.value(key)) {
                MakeRef(E, extra);
                return;
            }
        }
        if (ResolveConstant(E, key) || ResolveGlobal(E, key) || ResolveProc(E, key))
            return;
        if (const int object = m_findObject(key); object >= 0) {
            E.Kind = EExpr::Object;
            E.Slot = object;
            return;
        }
        TScriptValue constant;
        if (ScriptBuiltinConstant(key, constant))
            return MakeLiteral(E, constant);
        if (const int builtin = ScriptBuiltinIndex(key); builtin >= 0) {
            E.Kind = EExpr::Builtin;
            E.Slot = builtin;
            return;
        }
        if (m_explicit && !Declare) {
            E.Kind = EExpr::Undefined;
            return;
        }
        Create(E, key);
    }

    // A name nothing declares: a new variable of the scope it is used in.
    void Create(TExpr &E, const QString &Key)
    {
        if (m_runtime && !m_proc)
            return MakeRef(E, m_runtime->NewVariable(Key, m_context));
        if (m_runtime) {
            E.Kind = EExpr::Local;
            E.Slot = m_proc->Scope.Add(E.Name, true);
            return;
        }
        const int slot = m_program.Globals.Add(E.Name, true);
        if (m_proc)
            return BindDynamic(E, Key, slot);
        E.Kind = EExpr::NewGlobal;
        E.Slot = slot;
    }

    void BindName(TExpr &E, bool Declare)
    {
        Resolve(E, Declare);
        if (E.Kind == EExpr::Literal && E.HasArgs) {
            // A constant written with arguments: index the value (and fail).
            auto value = std::make_unique<TExpr>();
            value->Kind = EExpr::Literal;
            value->Value = E.Value;
            value->Name = E.Name;
            value->Line = E.Line;
            E.Kind = EExpr::Index;
            E.Left = std::move(value);
        }
        for (auto &arg : E.Args)
            BindExpr(*arg);
    }

    void BindExpr(TExpr &E)
    {
        switch (E.Kind) {
        case EExpr::Name:
            return BindName(E, false);
        case EExpr::Me: {
            const TProc *inner = Inner();
            if (!inner || !inner->Owner) {
                TScriptError error(ScriptErr::InvalidMe);
                error.Line = E.Line;
                throw error;
            }
            break;
        }
        case EExpr::New: {
            const QString key = E.Name.toLower();
            if (const auto own = m_program.Classes.constFind(key); own != m_program.Classes.cend())
                E.Class = own.value();
            else if (m_runtime)
                E.Class = m_runtime->NamedClass(key);
            break;
        }
        default:
            break;
        }
        if (E.Left)
            BindExpr(*E.Left);
        if (E.Right)
            BindExpr(*E.Right);
        for (auto &arg : E.Args)
            BindExpr(*arg);
    }

    void BindOptional(TExprPtr &E)
    {
        if (E)
            BindExpr(*E);
    }

    void BindBlock(TBlock &Block)
    {
        for (auto &statement : Block)
            BindStatement(*statement);
    }

    void BindStatement(TStmt &S)
    {
        switch (S.Kind) {
        case EStmt::Assign:
        case EStmt::Set:
        case EStmt::Call: {
            auto &s = static_cast<TAssignStmt &>(S);
            BindOptional(s.Target);
            BindOptional(s.Value);
            break;
        }
        case EStmt::ReDim:
            for (auto &target : static_cast<TReDimStmt &>(S).Targets)
                BindName(*target, true);
            break;
        case EStmt::Erase:
            for (auto &target : static_cast<TEraseStmt &>(S).Targets)
                BindExpr(*target);
            break;
        case EStmt::If: {
            auto &s = static_cast<TIfStmt &>(S);
            for (auto &condition : s.Conditions)
                BindExpr(*condition);
            for (auto &block : s.Blocks)
                BindBlock(block);
            BindBlock(s.Else);
            break;
        }
        case EStmt::Select: {
            auto &s = static_cast<TSelectStmt &>(S);
            BindExpr(*s.Test);
            for (auto &clause : s.Cases) {
                for (auto &item : clause.Items) {
                    BindOptional(item.A);
                    BindOptional(item.B);
                }
                BindBlock(clause.Body);
            }
            BindBlock(s.Else);
            break;
        }
        case EStmt::For: {
            auto &s = static_cast<TForStmt &>(S);
            BindExpr(*s.Variable);
            BindExpr(*s.From);
            BindExpr(*s.To);
            BindOptional(s.Step);
            BindBlock(s.Body);
            break;
        }
        case EStmt::ForEach: {
            auto &s = static_cast<TForEachStmt &>(S);
            BindExpr(*s.Variable);
            BindExpr(*s.Group);
            BindBlock(s.Body);
            break;
        }
        case EStmt::Do: {
            auto &s = static_cast<TDoStmt &>(S);
            BindOptional(s.Condition);
            BindBlock(s.Body);
            break;
        }
        case EStmt::With: {
            auto &s = static_cast<TWithStmt &>(S);
            BindExpr(*s.Value);
            BindName(*s.Target, true);
            BindBlock(s.Body);
            break;
        }
        default:
            break;
        }
    }

    TProgram &m_program;
    const std::function<int(const QString &)> &m_findObject;
    TScriptRuntime *m_runtime = nullptr;
    TFrame *m_context = nullptr;
    bool m_explicit = false;
    TProc *m_proc = nullptr;
};

} // namespace

void ScriptBind(TProgram &Program, const std::function<int(const QString &Key)> &FindObject)
{
    TBinder(Program, FindObject).Run();
}

void ScriptBindRunning(TProgram &Snippet, TScriptRuntime &Runtime, TFrame *Context)
{
    TBinder(Snippet, Runtime, Context).Run();
}
