// Evaluation of expressions, calls of the script's procedures (with their
// arguments' expressions or with values), of built-ins and of the members of
// objects.
#include "script/ScriptBuiltins.h"
#include "script/ScriptClass.h"
#include "script/ScriptRuntime.h"

#include <cmath>
#include <exception>
#include <limits>
#include <new>
#include <optional>

namespace {

TScriptValue WholeResult(qint64 Value, bool IsLong)
{
    if (!IsLong)
        return TScriptValue::FromWhole(Value);
    if (Value >= std::numeric_limits<qint32>::min() && Value <= std::numeric_limits<qint32>::max())
        return TScriptValue::FromLong(static_cast<qint32>(Value));
    return TScriptValue::FromDouble(static_cast<double>(Value));
}

// The six comparisons of two numbers of one kind; nothing for any other
// operator.
template <typename T>
std::optional<bool> Compared(EOp Op, T x, T y)
{
    switch (Op) {
    case EOp::Eq: return x == y;
    case EOp::Ne: return x != y;
    case EOp::Lt: return x < y;
    case EOp::Gt: return x > y;
    case EOp::Le: return x <= y;
    case EOp::Ge: return x >= y;
    default: return std::nullopt;
    }
}

// A call's variables: its own slots, and where each of its names points (its
// own slot, or a ByRef argument's or script variable's elsewhere).
struct TCallSlots
{
    explicit TCallSlots(const TProc &Proc)
        : Own(static_cast<qsizetype>(Proc.Scope.Names.size()))
        , Pointers(Own.size())
    {
        for (qsizetype i = 0; i < Own.size(); ++i)
            Pointers[i] = &Own[i];
    }
    TCallSlots(const TCallSlots &) = delete;
    TCallSlots &operator=(const TCallSlots &) = delete;

    QVarLengthArray<TScriptValue, 16> Own;
    QVarLengthArray<TScriptValue *, 16> Pointers;
};

} // namespace

bool ScriptTruth(const TScriptValue &Value)
{
    if (Value.type() == TScriptValue::Boolean)
        return Value.BoolValue();
    if (Value.IsNull())
        return false;
    return Value.ToBool();
}

TScriptValue TScriptRuntime::Eval(const TExpr &E, TFrame &F)
{
    switch (E.Kind) {
    case EExpr::Literal:
        return E.Value;
    case EExpr::Local:
    case EExpr::Global:
    case EExpr::NewGlobal:
    case EExpr::Ref:
    case EExpr::Field: {
        if (!E.HasArgs)
            return SlotRef(E, F);
        TArgValues args;
        EvalArgs(E.Args, F, args);
        return Index(SlotRef(E, F), E.Name, args);
    }
    case EExpr::Binary: {
        const TScriptValue a = Eval(*E.Left, F);
        const TScriptValue b = Eval(*E.Right, F);
        if (a.IsWhole() && b.IsWhole()) {
            const qint64 x = a.WholeValue();
            const qint64 y = b.WholeValue();
            const bool isLong = a.type() == TScriptValue::Long || b.type() == TScriptValue::Long;
            if (const std::optional<bool> compared = Compared(E.Op, x, y))
                return TScriptValue::FromBool(*compared);
            switch (E.Op) {
            case EOp::Add: return WholeResult(x + y, isLong);
            case EOp::Sub: return WholeResult(x - y, isLong);
            case EOp::Mul: return WholeResult(x * y, isLong);
            case EOp::IntDiv:
            case EOp::Mod:
                // Division by zero, and a Long out of range, take the long
                // way and fail there.
                if (y != 0) {
                    const qint64 r = E.Op == EOp::Mod ? x % y : x / y;
                    if (!isLong)
                        return TScriptValue::FromWhole(r);
                    if (r <= std::numeric_limits<qint32>::max())
                        return TScriptValue::FromLong(static_cast<qint32>(r));
                }
                break;
            default: break;
            }
        } else if ((a.type() == TScriptValue::Double || a.IsWhole()) && (b.type() == TScriptValue::Double || b.IsWhole())) {
            // A Double with a Double or a whole number: + - * and the
            // comparisons straight away (an overflow takes the long way and
            // fails there).
            const double x = a.type() == TScriptValue::Double ? a.DoubleValue() : a.WholeValue();
            const double y = b.type() == TScriptValue::Double ? b.DoubleValue() : b.WholeValue();
            if (const std::optional<bool> compared = Compared(E.Op, x, y))
                return TScriptValue::FromBool(*compared);
            double r = 0;
            switch (E.Op) {
            case EOp::Add: r = x + y; break;
            case EOp::Sub: r = x - y; break;
            case EOp::Mul: r = x * y; break;
            default: r = std::numeric_limits<double>::infinity(); break;
            }
            if (std::isfinite(r))
                return TScriptValue::FromDouble(r);
        }
        switch (E.Op) {
        case EOp::Concat:
            return ScriptOps::Concat(a, b, Limits.MaxString);
        case EOp::Eq:
        case EOp::Ne:
        case EOp::Lt:
        case EOp::Gt:
        case EOp::Le:
        case EOp::Ge:
            return ScriptOps::Relation(E.Op, ScriptOps::Compare(a, b, E.Left->Hard, E.Right->Hard));
        case EOp::Is:
            return TScriptValue::FromBool(ScriptOps::Same(a, b));
        default:
            return ScriptOps::Arithmetic(E.Op, a, b, Limits.MaxString);
        }
    }
    case EExpr::Unary: {
        const TScriptValue a = Eval(*E.Left, F);
        return E.Op == EOp::Neg ? ScriptOps::Negate(a) : ScriptOps::Not(a);
    }
    case EExpr::Proc:
        return CallProcExprs(*E.Proc, E.Args, F, E.Proc->Owner ? F.Me : nullptr, E.Name);
    case EExpr::Builtin:
        return CallBuiltin(E, F);
    case EExpr::Member:
        return InvokeMember(E, F, TScriptInvoke::Get, nullptr);
    case EExpr::Object: {
        TScriptValue object = TScriptValue::FromObject(Objects[E.Slot]);
        if (!E.HasArgs)
            return object;
        TArgValues args;
        EvalArgs(E.Args, F, args);
        return InvokeDefault(object, E.Name, TScriptInvoke::Get, args);
    }
    case EExpr::Index: {
        const TScriptValue base = Eval(*E.Left, F);
        TArgValues args;
        EvalArgs(E.Args, F, args);
        return Index(base, E.Left->Name, args);
    }
    case EExpr::Me:
        return TScriptValue::FromObject(F.Me->shared_from_this());
    case EExpr::New:
        return NewObject(E);
    case EExpr::Property:
        return MeProperty(E, F, TScriptInvoke::Get, nullptr);
    case EExpr::Unqualified:
        throw TScriptError(ScriptErr::UnqualifiedReference);
    case EExpr::Undefined:
        throw TScriptError(ScriptErr::VariableUndefined, {}, E.Name);
    case EExpr::Missing:
        throw TScriptError(ScriptErr::WrongArguments);
    case EExpr::Name:
        break;
    }
    throw TScriptError(51);
}

TScriptValue &TScriptRuntime::OtherSlot(const TExpr &E, TFrame &F)
{
    switch (E.Kind) {
    case EExpr::NewGlobal:
        // The variable exists from its first use on.
        m_exists[static_cast<std::size_t>(E.Slot)] = 1;
        E.Kind = EExpr::Global;
        return m_globals[static_cast<std::size_t>(E.Slot)];
    case EExpr::Ref:
        return *E.Ref;
    default:
        return F.Me->Fields[static_cast<std::size_t>(E.Slot)];
    }
}

quint32 TScriptRuntime::EvalArgs(const std::vector<TExprPtr> &Args, TFrame &F, TArgValues &Out)
{
    quint32 missing = 0;
    Out.reserve(static_cast<qsizetype>(Args.size()));
    for (std::size_t i = 0; i < Args.size(); ++i) {
        if (Args[i]->Kind == EExpr::Missing) {
            Out.append(TScriptValue());
            if (i < 32)
                missing |= 1u << i;
        } else {
            Out.append(Eval(*Args[i], F));
        }
    }
    return missing;
}

TScriptValue &TScriptRuntime::Element(TScriptValue &Base, const TArgValues &Indexes, const QString &Name)
{
    if (!Base.IsArray())
        throw TScriptError(ScriptErr::TypeMismatch, {}, Name);
    QVarLengthArray<qint32, 4> at;
    for (const TScriptValue &index : Indexes)
        at.append(index.ToLong());
    TScriptArray &items = Base.MutableArray();
    return items.Items[static_cast<std::size_t>(items.Offset(at.constData(), at.size()))];
}

TScriptValue TScriptRuntime::Index(const TScriptValue &Base, const QString &Name, TArgValues &Args)
{
    if (Base.IsArray()) {
        QVarLengthArray<qint32, 4> at;
        for (const TScriptValue &index : Args)
            at.append(index.ToLong());
        const TScriptArray &items = Base.ArrayValue();
        return items.Items[static_cast<std::size_t>(items.Offset(at.constData(), at.size()))];
    }
    if (Base.IsObject())
        return InvokeDefault(Base, Name, TScriptInvoke::Get, Args);
    throw TScriptError(ScriptErr::TypeMismatch, {}, Name);
}

TScriptValue TScriptRuntime::CallHost(TScriptObject &Object, int Id, TScriptInvoke Kind, TArgValues &Args,
                                      const QString &Name)
{
    try {
        return Object.Invoke(Id, Kind, TScriptArgs(Args.constData(), static_cast<std::size_t>(Args.size())));
    } catch (const TScriptError &) {
        throw;
    } catch (const TScriptStop &) {
        throw;
    } catch (const std::bad_alloc &) {
        throw TScriptError(ScriptErr::OutOfMemory);
    } catch (const std::exception &failure) {
        throw TScriptError(ScriptErr::Unspecified, QString::fromLocal8Bit(failure.what()), Name);
    } catch (...) {
        throw TScriptError(ScriptErr::Unspecified, {}, Name);
    }
}

TScriptValue TScriptRuntime::InvokeDefault(const TScriptValue &Object, const QString &Name, TScriptInvoke Kind,
                                           TArgValues &Args)
{
    if (Object.IsNothing())
        throw TScriptError(ScriptErr::ObjectNotSet, {}, Name);
    const std::shared_ptr<TScriptObject> object = Object.ObjectValue();
    const int id = object->DefaultMemberId();
    if (id < 0)
        throw TScriptError(ScriptErr::NoSuchMember, {}, Name);
    return CallHost(*object, id, Kind, Args, Name);
}

TScriptValue TScriptRuntime::InvokeMember(const TExpr &E, TFrame &F, TScriptInvoke Kind, const TScriptValue *PutValue)
{
    const TScriptValue target = Eval(*E.Left, F);
    if (!target.IsObject() || target.IsNothing())
        throw TScriptError(ScriptErr::ObjectRequired, {}, E.Left->Name);
    const std::shared_ptr<TScriptObject> &object = target.ObjectValue();
    // The member number is looked up once for each object seen here.
    int id = E.CachedId;
    if (E.CachedObject.owner_before(object) || object.owner_before(E.CachedObject)) {
        id = object->MemberId(E.Name);
        E.CachedObject = object;
        E.CachedId = id;
        E.CachedInstance = dynamic_cast<TClassInstance *>(object.get());
    }
    if (id < 0)
        throw TScriptError(ScriptErr::NoSuchMember, {}, E.Name);
    // A method of a script's class takes its arguments by reference, as the
    // script's own procedures do.
    if (E.CachedInstance && Kind != TScriptInvoke::Put && Kind != TScriptInvoke::PutRef) {
        if (const TProc *method = E.CachedInstance->Type().Members[static_cast<std::size_t>(id)].Method)
            return CallProcExprs(*method, E.Args, F, E.CachedInstance, E.Name);
    }
    TArgValues args;
    EvalArgs(E.Args, F, args);
    if (PutValue)
        args.append(*PutValue);
    return CallHost(*object, id, Kind, args, E.Name);
}

TScriptValue TScriptRuntime::CallBuiltin(const TExpr &E, TFrame &F)
{
    const TBuiltin &builtin = ScriptBuiltinAt(E.Slot);
    const auto count = static_cast<int>(E.Args.size());
    if (count < builtin.MinArgs || count > builtin.MaxArgs)
        throw TScriptError(ScriptErr::WrongArguments, {}, E.Name);
    TArgValues args;
    const quint32 missing = EvalArgs(E.Args, F, args);
    try {
        return builtin.Function(
            TBuiltinCall{*this, TScriptArgs(args.constData(), static_cast<std::size_t>(args.size())), missing, &F});
    } catch (TScriptError &error) {
        // "Type mismatch: 'CInt'", as VBScript names the function.
        if (builtin.NamesErrors && error.Name.isEmpty() && error.Number != ScriptErr::OutOfStringSpace)
            error.Name = E.Name;
        throw;
    }
}

TScriptValue TScriptRuntime::CallProc(const TExpr &E, TFrame &F)
{
    return CallProcExprs(*E.Proc, E.Args, F, E.Proc->Owner ? F.Me : nullptr, E.Name);
}

inline TScriptValue TScriptRuntime::RunProc(const TProc &Proc, TScriptValue **Slots, TClassInstance *Me)
{
    // A name the procedure uses undeclared is the script's variable when
    // that exists now, else the call's own.
    for (const auto &[local, global] : Proc.Scope.DynamicGlobals)
        if (m_exists[static_cast<std::size_t>(global)])
            Slots[local] = &m_globals[static_cast<std::size_t>(global)];
    InitArrays(Proc.Scope.Arrays, Slots, nullptr);
    TFrame frame;
    frame.Slots = Slots;
    frame.Proc = &Proc;
    frame.Me = Me;
    ExecBlock(Proc.Body, frame);
    if (!Proc.IsFunction)
        return TScriptValue();
    return std::move(*Slots[Proc.ResultSlot]);
}

TScriptValue TScriptRuntime::CallProcExprs(const TProc &Proc, const std::vector<TExprPtr> &Args, TFrame &F,
                                           TClassInstance *Me, const QString &Name)
{
    if (Args.size() != Proc.Params.size())
        throw TScriptError(ScriptErr::WrongArguments, {}, Name);
    CheckStack();
    TCallSlots vars(Proc);
    for (std::size_t i = 0; i < Proc.Params.size(); ++i) {
        const TExpr &arg = *Args[i];
        if (arg.Kind == EExpr::Missing)
            throw TScriptError(ScriptErr::WrongArguments, {}, Name);
        if (Proc.Params[i].ByRef && !arg.Parenthesized && !arg.HasArgs && IsVariable(arg.Kind))
            vars.Pointers[static_cast<qsizetype>(i)] = &SlotRef(arg, F);
        else
            Store(vars.Own[static_cast<qsizetype>(i)], Eval(arg, F));
    }
    // Objects the call held go with its variables; their Class_Terminate
    // runs before the next statement.
    return RunProc(Proc, vars.Pointers.data(), Me);
}

TScriptValue TScriptRuntime::CallProcValues(const TProc &Proc, TScriptArgs Args, TClassInstance *Me,
                                            const QString &Name)
{
    if (Args.size() != Proc.Params.size())
        throw TScriptError(ScriptErr::WrongArguments, {}, Name);
    CheckStack();
    TCallSlots vars(Proc);
    for (std::size_t i = 0; i < Args.size(); ++i)
        Store(vars.Own[static_cast<qsizetype>(i)], TScriptValue(Args[i]));
    return RunProc(Proc, vars.Pointers.data(), Me);
}

void TScriptRuntime::CallStatement(const TExpr &E, TFrame &F)
{
    switch (E.Kind) {
    case EExpr::Proc:
        CallProc(E, F);
        return;
    case EExpr::Builtin:
        CallBuiltin(E, F);
        return;
    case EExpr::Member:
        InvokeMember(E, F, TScriptInvoke::Call, nullptr);
        return;
    case EExpr::Property:
        MeProperty(E, F, TScriptInvoke::Call, nullptr);
        return;
    case EExpr::Object:
    case EExpr::Local:
    case EExpr::Global:
    case EExpr::NewGlobal:
    case EExpr::Ref:
    case EExpr::Field:
    case EExpr::Me:
    case EExpr::Index: {
        TArgValues args;
        EvalArgs(E.Args, F, args);
        TScriptValue target;
        if (E.Kind == EExpr::Object)
            target = TScriptValue::FromObject(Objects[E.Slot]);
        else if (E.Kind == EExpr::Index)
            target = Eval(*E.Left, F);
        else if (E.Kind == EExpr::Me)
            target = TScriptValue::FromObject(F.Me->shared_from_this());
        else
            target = SlotRef(E, F);
        if (!target.IsObject())
            throw TScriptError(ScriptErr::TypeMismatch, {}, E.Kind == EExpr::Index ? E.Left->Name : E.Name);
        InvokeDefault(target, E.Name, TScriptInvoke::Call, args);
        return;
    }
    case EExpr::Undefined:
        throw TScriptError(ScriptErr::VariableUndefined, {}, E.Name);
    default:
        throw TScriptError(ScriptErr::TypeMismatch, {}, E.Name);
    }
}
