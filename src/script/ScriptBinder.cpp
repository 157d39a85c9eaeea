// Binding: each name becomes what it means where it is written. Inside a
// procedure: its Function's own name (the value being returned), its
// constants and variables; then the script's constants, variables and
// procedures, the named objects, the built-in constants and functions. An
// unknown name is a new variable of the scope it is used in, unless Option
// Explicit is on: then using it raises "Variable is undefined" when it runs.
#include "script/ScriptBuiltins.h"
#include "script/ScriptParser.h"

namespace {

class TBinder
{
public:
    TBinder(TProgram &Program, const std::function<int(const QString &)> &FindObject)
        : m_program(Program), m_findObject(FindObject)
    {
    }

    void Run()
    {
        // The script's own code first, so that the variables it creates by
        // use are the ones its procedures see.
        BindBlock(m_program.Body);
        for (auto &proc : m_program.Procs) {
            m_proc = proc.get();
            BindBlock(proc->Body);
        }
    }

private:
    static void MakeLiteral(TExpr &E, const TScriptValue &Value)
    {
        E.Kind = EExpr::Literal;
        E.Value = Value;
        E.Hard = Value.type() == TScriptValue::Integer || Value.type() == TScriptValue::Long
            || Value.type() == TScriptValue::Double || Value.type() == TScriptValue::String;
    }

    void Resolve(TExpr &E, bool Declare)
    {
        const QString key = E.Name.toLower();
        if (m_proc) {
            if (m_proc->IsFunction && key == m_proc->Name.toLower()) {
                if (E.HasArgs) {
                    E.Kind = EExpr::Proc;
                    E.Proc = m_proc;
                } else {
                    E.Kind = EExpr::Local;
                    E.Slot = m_proc->ResultSlot;
                }
                return;
            }
            if (const auto c = m_proc->Scope.Constants.constFind(key); c != m_proc->Scope.Constants.cend())
                return MakeLiteral(E, c.value());
            if (const auto s = m_proc->Scope.Slots.constFind(key); s != m_proc->Scope.Slots.cend()) {
                E.Kind = EExpr::Local;
                E.Slot = s.value();
                return;
            }
        }
        TScope &globals = m_program.Globals;
        if (const auto c = globals.Constants.constFind(key); c != globals.Constants.cend())
            return MakeLiteral(E, c.value());
        if (const auto s = globals.Slots.constFind(key); s != globals.Slots.cend()) {
            E.Kind = EExpr::Global;
            E.Slot = s.value();
            return;
        }
        if (const auto p = m_program.ProcIndex.constFind(key); p != m_program.ProcIndex.cend()) {
            E.Kind = EExpr::Proc;
            E.Proc = p.value();
            return;
        }
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
        if (m_program.Explicit && !Declare) {
            E.Kind = EExpr::Undefined;
            return;
        }
        TScope &scope = m_proc ? m_proc->Scope : globals;
        E.Kind = m_proc ? EExpr::Local : EExpr::Global;
        E.Slot = scope.Add(E.Name);
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
        if (E.Kind == EExpr::Name)
            return BindName(E, false);
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
        default:
            break;
        }
    }

    TProgram &m_program;
    const std::function<int(const QString &)> &m_findObject;
    TProc *m_proc = nullptr;
};

} // namespace

void ScriptBind(TProgram &Program, const std::function<int(const QString &Key)> &FindObject)
{
    TBinder(Program, FindObject).Run();
}
