// Statements: assignment, the loops and branches, With, ReDim and Erase,
// error handling with On Error Resume Next, and the statement budget.
#include "script/ScriptRuntime.h"

#include <algorithm>
#include <new>

void TScriptRuntime::SetErr(const TScriptError &Error)
{
    ErrNumber = Error.Number;
    ErrDescription = Error.Description;
    ErrSource = Error.Source.isEmpty() ? QStringLiteral("Microsoft VBScript runtime error") : Error.Source;
}

void TScriptRuntime::ClearErr()
{
    ErrNumber = 0;
    ErrDescription.clear();
    ErrSource.clear();
}

void TScriptRuntime::CheckString(qint64 Length) const
{
    if (Length > Limits.MaxString)
        throw TScriptError(ScriptErr::OutOfStringSpace);
}

void TScriptRuntime::CheckArray(qint64 Count) const
{
    if (Count > Limits.MaxArray)
        throw TScriptError(ScriptErr::OutOfMemory);
}

void TScriptRuntime::SlowStep()
{
    if (!m_terminating.empty())
        RunTerminates();
    if (m_interrupt.load(std::memory_order_relaxed))
        throw TScriptStop();
    if (m_countdown > 0)
        return;
    m_steps += static_cast<quint64>(m_chunk);
    m_tickLeft -= m_chunk;
    if (Limits.MaxSteps && m_steps >= Limits.MaxSteps)
        throw TScriptStop();
    if (m_tickLeft <= 0) {
        m_tickLeft = TickInterval;
        if (Host)
            Host->Tick();
        if (m_interrupt.load(std::memory_order_relaxed))
            throw TScriptStop();
    }
    qint64 chunk = m_tickLeft;
    if (Limits.MaxSteps)
        chunk = std::min<qint64>(chunk, static_cast<qint64>(Limits.MaxSteps - m_steps));
    m_chunk = m_countdown = static_cast<int>(chunk);
}

void TScriptRuntime::InitArrays(const std::vector<TArrayDecl> &Arrays, TScriptValue *const *Slots, TScriptValue *Globals)
{
    for (const TArrayDecl &decl : Arrays) {
        auto items = TScriptArray::Make();
        qint64 count = decl.Upper.empty() ? 0 : 1;
        for (const qint32 upper : decl.Upper) {
            count *= std::max<qint64>(qint64(upper) + 1, 0);
            if (upper < -1 || count > Limits.MaxArray) {
                TScriptError error(upper < -1 ? ScriptErr::SubscriptOutOfRange : ScriptErr::OutOfMemory);
                error.Line = decl.Line;
                throw error;
            }
        }
        items->Upper = decl.Upper;
        items->Items.resize(static_cast<std::size_t>(count));
        items->Fixed = !decl.Upper.empty();
        (Globals ? Globals[decl.Slot] : *Slots[decl.Slot]) = TScriptValue::FromArray(std::move(items));
    }
}

TScriptStatus TScriptRuntime::Run(const TProgram &Program, TScriptError &Error)
{
    m_stackBase = static_cast<const char *>(__builtin_frame_address(0));
    m_program = &Program;
    m_steps = 0;
    m_tickLeft = TickInterval;
    m_chunk = m_countdown = 1;
    RndState = 0x50000;
    ClearErr();
    TScriptStatus status = TScriptStatus::Completed;
    const auto fail = [&](const TScriptError &error) {
        Error = error;
        status = TScriptStatus::Failed;
    };
    try {
        const std::size_t count = Program.Globals.Names.size();
        m_globals.assign(count, TScriptValue());
        m_exists.assign(count, 1);
        for (std::size_t i = 0; i < count; ++i)
            m_exists[i] = !Program.Globals.Implicit[i];
        InitArrays(Program.Globals.Arrays, nullptr, m_globals.data());
        TFrame frame;
        ExecBlock(Program.Body, frame);
    } catch (const TScriptError &error) {
        fail(error);
    } catch (const TScriptStop &) {
        status = TScriptStatus::Interrupted;
    } catch (const std::bad_alloc &) {
        fail(TScriptError(ScriptErr::OutOfMemory));
    }
    EndRun(status != TScriptStatus::Interrupted);
    ClearErr();
    return status;
}

EFlow TScriptRuntime::ExecBlock(const TBlock &Block, TFrame &F)
{
    for (const TStmtPtr &statement : Block) {
        Step();
        try {
            const EFlow flow = Exec(*statement, F);
            if (flow != EFlow::Normal)
                return flow;
        } catch (TScriptError &error) {
            if (!error.Line)
                error.Line = statement->Line;
            if (!F.ResumeNext)
                throw;
            SetErr(error);
        } catch (const std::bad_alloc &) {
            TScriptError error(ScriptErr::OutOfMemory);
            error.Line = statement->Line;
            if (!F.ResumeNext)
                throw error;
            SetErr(error);
        }
    }
    return EFlow::Normal;
}

bool TScriptRuntime::Condition(const TExpr &E, TFrame &F)
{
    try {
        return ScriptTruth(Eval(E, F));
    } catch (const TScriptError &error) {
        // VBScript resumes at the next statement, which is the first one of
        // the Then part.
        if (!F.ResumeNext)
            throw;
        SetErr(error);
        return true;
    }
}

EFlow TScriptRuntime::Exec(const TStmt &S, TFrame &F)
{
    switch (S.Kind) {
    case EStmt::Assign: {
        const auto &s = static_cast<const TAssignStmt &>(S);
        TScriptValue value = Eval(*s.Value, F);
        if (value.IsObject())
            value = value.Resolved();
        Assign(*s.Target, std::move(value), F);
        return EFlow::Normal;
    }
    case EStmt::Set: {
        const auto &s = static_cast<const TAssignStmt &>(S);
        TScriptValue value = Eval(*s.Value, F);
        if (!value.IsObject())
            throw TScriptError(ScriptErr::ObjectRequired, {}, s.Value->Name);
        AssignObject(*s.Target, std::move(value), F);
        return EFlow::Normal;
    }
    case EStmt::Call:
        CallStatement(*static_cast<const TAssignStmt &>(S).Value, F);
        return EFlow::Normal;
    case EStmt::If: {
        const auto &s = static_cast<const TIfStmt &>(S);
        for (std::size_t i = 0; i < s.Conditions.size(); ++i)
            if (Condition(*s.Conditions[i], F))
                return ExecBlock(s.Blocks[i], F);
        return ExecBlock(s.Else, F);
    }
    case EStmt::Select:
        return ExecSelect(static_cast<const TSelectStmt &>(S), F);
    case EStmt::For:
        return ExecFor(static_cast<const TForStmt &>(S), F);
    case EStmt::ForEach:
        return ExecForEach(static_cast<const TForEachStmt &>(S), F);
    case EStmt::Do:
        return ExecDo(static_cast<const TDoStmt &>(S), F);
    case EStmt::With:
        return ExecWith(static_cast<const TWithStmt &>(S), F);
    case EStmt::Exit:
        return static_cast<const TExitStmt &>(S).Flow;
    case EStmt::OnError:
        F.ResumeNext = static_cast<const TOnErrorStmt &>(S).ResumeNext;
        ClearErr();
        return EFlow::Normal;
    case EStmt::ReDim:
        ExecReDim(static_cast<const TReDimStmt &>(S), F);
        return EFlow::Normal;
    case EStmt::Erase:
        ExecErase(static_cast<const TEraseStmt &>(S), F);
        return EFlow::Normal;
    case EStmt::Nop:
        return EFlow::Normal;
    }
    return EFlow::Normal;
}

void TScriptRuntime::Store(TScriptValue &Slot, TScriptValue &&Value)
{
    // A copy of a fixed-size array is an ordinary one that ReDim may change.
    if (Value.IsArray() && Value.ArrayValue().Fixed)
        Value.MutableArray().Fixed = false;
    Slot = std::move(Value);
}

TScriptValue &TScriptRuntime::LValue(const TExpr &E, TFrame &F)
{
    switch (E.Kind) {
    case EExpr::Local:
    case EExpr::Global:
    case EExpr::NewGlobal:
    case EExpr::Ref:
    case EExpr::Field:
    case EExpr::Index: {
        if (!E.HasArgs)
            return SlotRef(E, F);
        TArgValues indexes;
        EvalArgs(E.Args, F, indexes);
        TScriptValue &base = E.Kind == EExpr::Index ? LValue(*E.Left, F) : SlotRef(E, F);
        return Element(base, indexes, E.Kind == EExpr::Index ? E.Left->Name : E.Name);
    }
    case EExpr::Undefined:
        throw TScriptError(ScriptErr::VariableUndefined, {}, E.Name);
    default:
        throw TScriptError(ScriptErr::IllegalAssignment, {}, E.Name);
    }
}

void TScriptRuntime::AssignObject(const TExpr &Target, TScriptValue Value, TFrame &F)
{
    // A property takes an object through its Property Set.
    if (Target.Kind == EExpr::Member)
        InvokeMember(Target, F, TScriptInvoke::PutRef, &Value);
    else if (Target.Kind == EExpr::Property)
        MeProperty(Target, F, TScriptInvoke::PutRef, &Value);
    else
        Assign(Target, std::move(Value), F);
}

void TScriptRuntime::Assign(const TExpr &Target, TScriptValue Value, TFrame &F)
{
    if (!Target.HasArgs && IsVariable(Target.Kind)) {
        Store(SlotRef(Target, F), std::move(Value));
        return;
    }
    switch (Target.Kind) {
    case EExpr::Member:
        InvokeMember(Target, F, TScriptInvoke::Put, &Value);
        return;
    case EExpr::Property:
        MeProperty(Target, F, TScriptInvoke::Put, &Value);
        return;
    case EExpr::Local:
    case EExpr::Global:
    case EExpr::NewGlobal:
    case EExpr::Ref:
    case EExpr::Field:
    case EExpr::Index: {
        if (!Target.HasArgs) {
            Store(SlotRef(Target, F), std::move(Value));
            return;
        }
        TArgValues indexes;
        EvalArgs(Target.Args, F, indexes);
        TScriptValue &base = Target.Kind == EExpr::Index ? LValue(*Target.Left, F) : SlotRef(Target, F);
        const QString &name = Target.Kind == EExpr::Index ? Target.Left->Name : Target.Name;
        if (base.IsObject()) {
            const TScriptValue object = base;
            indexes.append(std::move(Value));
            InvokeDefault(object, name, TScriptInvoke::Put, indexes);
            return;
        }
        Store(Element(base, indexes, name), std::move(Value));
        return;
    }
    case EExpr::Object:
        if (Target.HasArgs) {
            TArgValues args;
            EvalArgs(Target.Args, F, args);
            args.append(std::move(Value));
            InvokeDefault(TScriptValue::FromObject(Objects[Target.Slot]), Target.Name, TScriptInvoke::Put, args);
            return;
        }
        [[fallthrough]];
    default:
        LValue(Target, F);
        throw TScriptError(ScriptErr::IllegalAssignment, {}, Target.Name);
    }
}

EFlow TScriptRuntime::ExecSelect(const TSelectStmt &S, TFrame &F)
{
    const TScriptValue test = Eval(*S.Test, F);
    const bool hardTest = S.Test->Hard;
    using ScriptOps::Order;
    for (const TCaseClause &clause : S.Cases) {
        for (const TCaseItem &item : clause.Items) {
            const TScriptValue a = Eval(*item.A, F);
            const Order first = ScriptOps::Compare(test, a, hardTest, item.A->Hard);
            bool match = false;
            switch (item.Kind) {
            case TCaseItem::Value:
                match = first == Order::Equal;
                break;
            case TCaseItem::Range: {
                const TScriptValue b = Eval(*item.B, F);
                const Order second = ScriptOps::Compare(test, b, hardTest, item.B->Hard);
                match = (first == Order::Equal || first == Order::Greater)
                    && (second == Order::Equal || second == Order::Less);
                break;
            }
            case TCaseItem::Relation: {
                const TScriptValue r = ScriptOps::Relation(item.Op, first);
                match = r.type() == TScriptValue::Boolean && r.BoolValue();
                break;
            }
            }
            if (match)
                return ExecBlock(clause.Body, F);
        }
    }
    return ExecBlock(S.Else, F);
}

namespace {

// A bound or step of For: a number, strings read as numbers.
TScriptValue LoopNumber(TScriptValue Value)
{
    if (Value.IsObject())
        Value = Value.Resolved();
    switch (Value.type()) {
    case TScriptValue::Null: throw TScriptError(ScriptErr::InvalidNull);
    case TScriptValue::Empty: return TScriptValue::FromInteger(0);
    case TScriptValue::Boolean: return TScriptValue::FromInteger(Value.BoolValue() ? -1 : 0);
    case TScriptValue::String: return TScriptValue::FromDouble(Value.ToDouble());
    case TScriptValue::Array: throw TScriptError(ScriptErr::TypeMismatch);
    default: return Value;
    }
}

} // namespace

EFlow TScriptRuntime::ExecFor(const TForStmt &S, TFrame &F)
{
    const TScriptValue from = LoopNumber(Eval(*S.From, F));
    const TScriptValue to = LoopNumber(Eval(*S.To, F));
    const TScriptValue step = S.Step ? LoopNumber(Eval(*S.Step, F)) : TScriptValue::FromInteger(1);
    const bool down = step.ToDouble() < 0;
    TScriptValue &counter = LValue(*S.Variable, F);
    Store(counter, TScriptValue(from));
    for (;;) {
        Step();
        if (counter.IsWhole() && to.IsWhole()) {
            if (down ? counter.WholeValue() < to.WholeValue() : counter.WholeValue() > to.WholeValue())
                break;
        } else {
            const double value = LoopNumber(counter).ToDouble();
            if (down ? value < to.ToDouble() : value > to.ToDouble())
                break;
        }
        const EFlow flow = ExecBlock(S.Body, F);
        if (flow == EFlow::ExitFor)
            break;
        if (flow != EFlow::Normal)
            return flow;
        if (counter.IsWhole() && step.IsWhole()) {
            const qint64 next = qint64(counter.WholeValue()) + step.WholeValue();
            const bool isLong = counter.type() == TScriptValue::Long || step.type() == TScriptValue::Long;
            if (isLong && next == static_cast<qint32>(next))
                counter = TScriptValue::FromLong(static_cast<qint32>(next));
            else
                counter = TScriptValue::FromWhole(next);
        } else {
            counter = ScriptOps::Arithmetic(EOp::Add, LoopNumber(counter), step, Limits.MaxString);
        }
    }
    return EFlow::Normal;
}

EFlow TScriptRuntime::ExecForEach(const TForEachStmt &S, TFrame &F)
{
    // The loop walks a snapshot: the script may change the array meanwhile.
    TScriptValue group = Eval(*S.Group, F);
    if (group.IsObject()) {
        auto items = TScriptArray::Make();
        if (group.IsNothing() || !group.ObjectValue()->Enumerate(items->Items))
            throw TScriptError(ScriptErr::NotACollection, {}, S.Group->Name);
        group = TScriptValue::FromArray(std::move(items));
    }
    if (!group.IsArray())
        throw TScriptError(ScriptErr::NotACollection, {}, S.Group->Name);
    TScriptValue &variable = LValue(*S.Variable, F);
    for (const TScriptValue &item : group.ArrayValue().Items) {
        Step();
        Store(variable, TScriptValue(item));
        const EFlow flow = ExecBlock(S.Body, F);
        if (flow == EFlow::ExitFor)
            break;
        if (flow != EFlow::Normal)
            return flow;
    }
    return EFlow::Normal;
}

EFlow TScriptRuntime::ExecDo(const TDoStmt &S, TFrame &F)
{
    const auto holds = [&] { return ScriptTruth(Eval(*S.Condition, F)) != S.Until; };
    for (;;) {
        Step();
        if (S.Condition && !S.AtEnd && !holds())
            break;
        const EFlow flow = ExecBlock(S.Body, F);
        if (flow == EFlow::ExitDo)
            break;
        if (flow != EFlow::Normal)
            return flow;
        if (S.Condition && S.AtEnd && !holds())
            break;
    }
    return EFlow::Normal;
}

EFlow TScriptRuntime::ExecWith(const TWithStmt &S, TFrame &F)
{
    TScriptValue object = Eval(*S.Value, F);
    if (!object.IsObject())
        throw TScriptError(ScriptErr::ObjectRequired, {}, S.Value->Name);
    TScriptValue &held = SlotRef(*S.Target, F);
    held = std::move(object);
    // The object is let go of at End With, however the block is left.
    struct TRelease
    {
        TScriptValue &Held;
        ~TRelease() { Held = TScriptValue(); }
    } release{held};
    return ExecBlock(S.Body, F);
}

void TScriptRuntime::ExecReDim(const TReDimStmt &S, TFrame &F)
{
    for (const TExprPtr &target : S.Targets) {
        TArgValues bounds;
        EvalArgs(target->Args, F, bounds);
        std::vector<qint32> upper;
        qint64 count = 1;
        for (const TScriptValue &bound : bounds) {
            const qint32 value = bound.ToLong();
            if (value < -1)
                throw TScriptError(ScriptErr::SubscriptOutOfRange, {}, target->Name);
            upper.push_back(value);
            count *= qint64(value) + 1;
            CheckArray(count);
        }
        if (!IsVariable(target->Kind))
            throw TScriptError(ScriptErr::IllegalAssignment, {}, target->Name);
        TScriptValue &variable = SlotRef(*target, F);
        auto items = TScriptArray::Make();
        items->Upper = upper;
        items->Items.resize(static_cast<std::size_t>(count));
        if (variable.IsArray()) {
            const TScriptArray &old = variable.ArrayValue();
            if (old.Fixed)
                throw TScriptError(ScriptErr::ArrayFixed, {}, target->Name);
            if (S.Preserve && !old.Upper.empty()) {
                // Only the last dimension may change: the elements then keep
                // their places in the first-index-fastest order.
                if (old.Upper.size() != upper.size()
                    || !std::equal(upper.begin(), upper.end() - 1, old.Upper.begin()))
                    throw TScriptError(ScriptErr::SubscriptOutOfRange, {}, target->Name);
                const std::size_t kept = std::min(old.Items.size(), items->Items.size());
                std::copy(old.Items.begin(), old.Items.begin() + static_cast<std::ptrdiff_t>(kept), items->Items.begin());
            }
        }
        variable = TScriptValue::FromArray(std::move(items));
    }
}

void TScriptRuntime::ExecErase(const TEraseStmt &S, TFrame &F)
{
    for (const TExprPtr &target : S.Targets) {
        TScriptValue &variable = LValue(*target, F);
        if (!variable.IsArray())
            throw TScriptError(ScriptErr::TypeMismatch, {}, target->Name);
        TScriptArray &items = variable.MutableArray();
        if (items.Fixed) {
            for (TScriptValue &item : items.Items)
                item = TScriptValue();
        } else {
            items.Upper.clear();
            items.Items.clear();
        }
    }
}
