#include "script/ScriptOps.h"

#include "script/ScriptError.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ScriptOps {

namespace {

[[noreturn]] void Fail(int Number) { throw TScriptError(Number); }

// An operand of + - * /: its rank in VBScript's order of promotion, and its
// value (whole: Byte, Integer, Long, or Currency's ten-thousandths; real:
// every rank). Empty ranks as a Byte, but Empty with Empty is an Integer.
struct TNum
{
    enum Rank { Byte, Int, Long, Single, Double, Currency } rank = Byte;
    bool date = false;
    bool empty = false;
    qint64 whole = 0;
    double real = 0;
};

TNum Number(const TScriptValue &V)
{
    TNum n;
    switch (V.type()) {
    case TScriptValue::Empty: n.empty = true; break;
    case TScriptValue::Byte: n.whole = V.WholeValue(); break;
    case TScriptValue::Boolean: n.rank = TNum::Int; n.whole = V.BoolValue() ? -1 : 0; break;
    case TScriptValue::Integer: n.rank = TNum::Int; n.whole = V.WholeValue(); break;
    case TScriptValue::Long: n.rank = TNum::Long; n.whole = V.WholeValue(); break;
    case TScriptValue::Single: n.rank = TNum::Single; n.real = V.DoubleValue(); return n;
    case TScriptValue::Date: n.date = true; [[fallthrough]];
    case TScriptValue::Double: n.rank = TNum::Double; n.real = V.DoubleValue(); return n;
    case TScriptValue::String: n.rank = TNum::Double; n.real = V.ToDouble(); return n;
    case TScriptValue::Currency:
        n.rank = TNum::Currency;
        n.whole = V.CurrencyValue();
        n.real = static_cast<double>(n.whole) / 10000.0;
        return n;
    case TScriptValue::Object: return Number(V.Resolved());
    default: Fail(ScriptErr::TypeMismatch);
    }
    n.real = static_cast<double>(n.whole);
    return n;
}

TNum::Rank Combined(const TNum &A, const TNum &B)
{
    TNum::Rank rank = std::max(A.rank, B.rank);
    if (A.empty && B.empty)
        rank = TNum::Int;
    if (rank == TNum::Single && (A.rank == TNum::Long || B.rank == TNum::Long))
        rank = TNum::Double;
    return rank;
}

// A whole result in the narrowest type from Rank on that holds it: a Byte
// grows to an Integer, an Integer to a Long, a Long to a Double.
TScriptValue WholeResult(qint64 Value, TNum::Rank Rank)
{
    if (Rank == TNum::Byte && Value >= 0 && Value <= 255)
        return TScriptValue::FromByte(static_cast<quint8>(Value));
    if (Rank != TNum::Long)
        return TScriptValue::FromWhole(Value);
    if (Value >= std::numeric_limits<qint32>::min() && Value <= std::numeric_limits<qint32>::max())
        return TScriptValue::FromLong(static_cast<qint32>(Value));
    return TScriptValue::FromDouble(static_cast<double>(Value));
}

TScriptValue FloatResult(double Value, bool Date)
{
    // Dates run from 1 January 100 to 31 December 9999, as VBScript's do.
    if (!std::isfinite(Value) || (Date && (Value < -657434.0 || Value >= 2958466.0)))
        Fail(ScriptErr::Overflow);
    return Date ? TScriptValue::FromDate(Value) : TScriptValue::FromDouble(Value);
}

// A Single that overflows its range becomes a Double.
TScriptValue SingleResult(double Value)
{
    if (std::abs(Value) <= std::numeric_limits<float>::max())
        return TScriptValue::FromSingle(static_cast<float>(Value));
    return FloatResult(Value, false);
}

qint64 CurrencyOf(const TNum &N)
{
    if (N.rank == TNum::Currency)
        return N.whole;
    return TScriptValue::FromDouble(N.real).ToCurrency();
}

TScriptValue CurrencyResult(EOp Op, const TNum &A, const TNum &B)
{
    const __int128 a = CurrencyOf(A);
    const __int128 b = CurrencyOf(B);
    __int128 r = 0;
    if (Op == EOp::Mul) {
        // Rounded half to even back to ten-thousandths.
        const __int128 product = a * b;
        r = product / 10000;
        const __int128 rest = product % 10000;
        const __int128 twice = rest < 0 ? -2 * rest : 2 * rest;
        if (twice > 10000 || (twice == 10000 && r % 2 != 0))
            r += product < 0 ? -1 : 1;
    } else {
        r = Op == EOp::Add ? a + b : a - b;
    }
    if (r < std::numeric_limits<qint64>::min() || r > std::numeric_limits<qint64>::max())
        Fail(ScriptErr::Overflow);
    return TScriptValue::FromCurrency(static_cast<qint64>(r));
}

// + - * of a Single or a Currency (the rare cases, kept out of the way of
// Double's).
[[gnu::noinline]] TScriptValue SingleOrCurrency(EOp Op, const TNum &A, const TNum &B, TNum::Rank Rank)
{
    if (Rank == TNum::Currency)
        return CurrencyResult(Op, A, B);
    return SingleResult(Op == EOp::Add ? A.real + B.real : Op == EOp::Sub ? A.real - B.real : A.real * B.real);
}

// An operand of \, Mod and the logical operators: rounded to a whole number.
struct TWhole
{
    qint32 value = 0;
    bool isLong = false;
    bool isBool = false;
    bool isByte = false;
};

TWhole Whole(const TScriptValue &V)
{
    TWhole w;
    switch (V.type()) {
    case TScriptValue::Empty: break;
    case TScriptValue::Boolean: w.value = V.BoolValue() ? -1 : 0; w.isBool = true; break;
    case TScriptValue::Integer: w.value = V.WholeValue(); break;
    case TScriptValue::Byte: w.value = V.WholeValue(); w.isByte = true; break;
    case TScriptValue::Object: return Whole(V.Resolved());
    case TScriptValue::Array: Fail(ScriptErr::TypeMismatch);
    default: w.value = V.ToLong(); w.isLong = true; break;
    }
    return w;
}

// A result of \, Mod or a logical operator: a Byte of two Bytes, a Long
// when either side was one, else an Integer.
TScriptValue Typed(qint64 Value, const TWhole &A, const TWhole &B)
{
    if (A.isByte && B.isByte)
        return TScriptValue::FromByte(static_cast<quint8>(Value));
    return A.isLong || B.isLong ? TScriptValue::FromLong(static_cast<qint32>(Value))
                                : TScriptValue::FromInteger(static_cast<qint16>(Value));
}

TScriptValue LogicWithNull(EOp Op, const TScriptValue &Other, bool NullFirst)
{
    if (Other.IsNull())
        return TScriptValue::MakeNull();
    const TWhole w = Whole(Other);
    const auto same = [&](qint32 v) {
        return w.isBool ? TScriptValue::FromBool(v != 0) : Typed(v, w, w);
    };
    switch (Op) {
    case EOp::And:
        return w.value == 0 ? same(0) : TScriptValue::MakeNull();
    case EOp::Or:
        return w.value == -1 ? same(-1) : TScriptValue::MakeNull();
    case EOp::Imp:
        // Null Imp b is (Not Null) Or b; a Imp Null is (Not a) Or Null.
        if (NullFirst)
            return w.value == -1 ? same(-1) : TScriptValue::MakeNull();
        return w.value == 0 ? same(-1) : TScriptValue::MakeNull();
    default:
        return TScriptValue::MakeNull();
    }
}

TScriptValue Logic(EOp Op, const TScriptValue &A, const TScriptValue &B)
{
    if (A.IsNull())
        return LogicWithNull(Op, B, true);
    if (B.IsNull())
        return LogicWithNull(Op, A, false);
    const TWhole a = Whole(A);
    const TWhole b = Whole(B);
    qint32 r = 0;
    switch (Op) {
    case EOp::And: r = a.value & b.value; break;
    case EOp::Or: r = a.value | b.value; break;
    case EOp::Xor: r = a.value ^ b.value; break;
    case EOp::Eqv: r = ~(a.value ^ b.value); break;
    default: r = ~a.value | b.value; break;
    }
    if (a.isBool && b.isBool)
        return TScriptValue::FromBool(r != 0);
    return Typed(r, a, b);
}

TScriptValue WholeDivision(EOp Op, const TScriptValue &A, const TScriptValue &B)
{
    const TWhole a = Whole(A);
    const TWhole b = Whole(B);
    if (b.value == 0)
        Fail(ScriptErr::DivisionByZero);
    const qint64 r = Op == EOp::IntDiv ? qint64(a.value) / b.value : qint64(a.value) % b.value;
    if (a.isByte && b.isByte)
        return TScriptValue::FromByte(static_cast<quint8>(r));
    if (!a.isLong && !b.isLong)
        return TScriptValue::FromWhole(r);
    if (r > std::numeric_limits<qint32>::max())
        Fail(ScriptErr::Overflow);
    return TScriptValue::FromLong(static_cast<qint32>(r));
}

void CheckLength(qsizetype Length, qsizetype MaxLength)
{
    if (Length > MaxLength)
        Fail(ScriptErr::OutOfStringSpace);
}

} // namespace

TScriptValue Arithmetic(EOp Op, const TScriptValue &A, const TScriptValue &B, qsizetype MaxLength)
{
    if (A.IsObject() || B.IsObject())
        return Arithmetic(Op, A.Resolved(), B.Resolved(), MaxLength);
    if (Op == EOp::And || Op == EOp::Or || Op == EOp::Xor || Op == EOp::Eqv || Op == EOp::Imp)
        return Logic(Op, A, B);
    if (A.IsNull() || B.IsNull()) {
        if (A.IsArray() || B.IsArray())
            Fail(ScriptErr::TypeMismatch);
        return TScriptValue::MakeNull();
    }
    switch (Op) {
    case EOp::Add:
    case EOp::Sub:
    case EOp::Mul: {
        if (Op == EOp::Add) {
            if (A.IsString() && (B.IsString() || B.IsEmpty()))
                return Concat(A, B, MaxLength);
            if (A.IsEmpty() && B.IsString())
                return B;
        }
        const TNum a = Number(A);
        const TNum b = Number(B);
        const TNum::Rank rank = Combined(a, b);
        if (rank <= TNum::Long) {
            const qint64 r = Op == EOp::Add ? a.whole + b.whole : Op == EOp::Sub ? a.whole - b.whole : a.whole * b.whole;
            return WholeResult(r, rank);
        }
        // A date moved by a number stays a date; the distance of two dates
        // and any product are numbers.
        const bool date = Op != EOp::Mul && (a.date != b.date) && (a.date || Op == EOp::Add);
        if (rank != TNum::Double && !date)
            return SingleOrCurrency(Op, a, b, rank);
        return FloatResult(Op == EOp::Add ? a.real + b.real : Op == EOp::Sub ? a.real - b.real : a.real * b.real, date);
    }
    case EOp::Div: {
        const TNum a = Number(A);
        const TNum b = Number(B);
        if (b.real == 0)
            Fail(a.real == 0 ? ScriptErr::Overflow : ScriptErr::DivisionByZero);
        if (Combined(a, b) == TNum::Single)
            return SingleResult(a.real / b.real);
        return FloatResult(a.real / b.real, false);
    }
    case EOp::IntDiv:
    case EOp::Mod:
        return WholeDivision(Op, A, B);
    case EOp::Pow: {
        const TNum a = Number(A);
        const TNum b = Number(B);
        if (a.real == 0 && b.real < 0)
            Fail(ScriptErr::InvalidCall);
        const double r = std::pow(a.real, b.real);
        if (std::isnan(r))
            Fail(ScriptErr::InvalidCall);
        return FloatResult(r, false);
    }
    default:
        Fail(ScriptErr::SyntaxError);
    }
}

TScriptValue Negate(const TScriptValue &A)
{
    switch (A.type()) {
    case TScriptValue::Null: return A;
    case TScriptValue::Empty: return TScriptValue::FromInteger(0);
    case TScriptValue::Boolean: return TScriptValue::FromInteger(A.BoolValue() ? 1 : 0);
    case TScriptValue::Integer: return TScriptValue::FromWhole(-qint64(A.WholeValue()));
    case TScriptValue::Long: return WholeResult(-qint64(A.WholeValue()), TNum::Long);
    case TScriptValue::Byte: return TScriptValue::FromInteger(static_cast<qint16>(-A.WholeValue()));
    case TScriptValue::Single: return TScriptValue::FromSingle(static_cast<float>(-A.DoubleValue()));
    case TScriptValue::Currency:
        if (A.CurrencyValue() == std::numeric_limits<qint64>::min())
            Fail(ScriptErr::Overflow);
        return TScriptValue::FromCurrency(-A.CurrencyValue());
    case TScriptValue::Date: return FloatResult(-A.DoubleValue(), true);
    case TScriptValue::Object: return Negate(A.Resolved());
    default: return TScriptValue::FromDouble(-A.ToDouble());
    }
}

TScriptValue Not(const TScriptValue &A)
{
    switch (A.type()) {
    case TScriptValue::Null: return A;
    case TScriptValue::Boolean: return TScriptValue::FromBool(!A.BoolValue());
    case TScriptValue::Object: return Not(A.Resolved());
    default: {
        const TWhole w = Whole(A);
        return Typed(~w.value, w, w);
    }
    }
}

TScriptValue Concat(const TScriptValue &A, const TScriptValue &B, qsizetype MaxLength)
{
    if (A.IsNull() && B.IsNull())
        return A;
    if (A.IsArray() || B.IsArray())
        Fail(ScriptErr::TypeMismatch);
    if (A.IsString() && B.IsString()) {
        CheckLength(A.StringValue().size() + B.StringValue().size(), MaxLength);
        return TScriptValue(A.StringValue() + B.StringValue());
    }
    const QString a = A.IsNull() ? QString() : A.ToString();
    const QString b = B.IsNull() ? QString() : B.ToString();
    CheckLength(a.size() + b.size(), MaxLength);
    return TScriptValue(a + b);
}

Order Compare(const TScriptValue &A, const TScriptValue &B, bool HardA, bool HardB)
{
    if (A.IsObject() || B.IsObject())
        return Compare(A.Resolved(), B.Resolved(), HardA, HardB);
    if (A.IsArray() || B.IsArray())
        Fail(ScriptErr::TypeMismatch);
    if (A.IsNull() || B.IsNull())
        return Order::Null;
    const auto sign = [](auto d) { return d < 0 ? Order::Less : d > 0 ? Order::Greater : Order::Equal; };
    if (A.IsWhole() && B.IsWhole())
        return sign(qint64(A.WholeValue()) - qint64(B.WholeValue()));
    const bool stringA = A.IsString();
    const bool stringB = B.IsString();
    if (stringA && stringB)
        return sign(A.StringValue().compare(B.StringValue(), Qt::CaseSensitive));
    if (A.IsEmpty() && B.IsEmpty())
        return Order::Equal;
    if (stringA || stringB) {
        const TScriptValue &text = stringA ? A : B;
        const TScriptValue &other = stringA ? B : A;
        Order result;
        if (other.IsEmpty()) {
            result = sign(text.StringValue().compare(QString()));
        } else if (stringA ? HardB : HardA) {
            result = sign(text.ToDouble() - other.ToDouble());
        } else if (stringA ? HardA : HardB) {
            result = sign(text.StringValue().compare(other.ToString(), Qt::CaseSensitive));
        } else {
            // A number is less than any string.
            result = Order::Greater;
        }
        if (!stringA)
            result = result == Order::Less ? Order::Greater : result == Order::Greater ? Order::Less : result;
        return result;
    }
    const double a = A.ToDouble();
    const double b = B.ToDouble();
    return a < b ? Order::Less : a > b ? Order::Greater : Order::Equal;
}

TScriptValue Relation(EOp Op, Order Result)
{
    if (Result == Order::Null)
        return TScriptValue::MakeNull();
    bool r = false;
    switch (Op) {
    case EOp::Eq: r = Result == Order::Equal; break;
    case EOp::Ne: r = Result != Order::Equal; break;
    case EOp::Lt: r = Result == Order::Less; break;
    case EOp::Gt: r = Result == Order::Greater; break;
    case EOp::Le: r = Result != Order::Greater; break;
    default: r = Result != Order::Less; break;
    }
    return TScriptValue::FromBool(r);
}

bool Same(const TScriptValue &A, const TScriptValue &B)
{
    if (!A.IsObject() || !B.IsObject())
        Fail(ScriptErr::ObjectRequired);
    return A.ObjectValue() == B.ObjectValue();
}

} // namespace ScriptOps
