#include "script/ScriptValue.h"

#include "script/ScriptError.h"
#include "script/ScriptObject.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

TScriptValue TScriptValue::FromWhole(qint64 Value)
{
    if (Value >= std::numeric_limits<qint16>::min() && Value <= std::numeric_limits<qint16>::max())
        return FromInteger(static_cast<qint16>(Value));
    if (Value >= std::numeric_limits<qint32>::min() && Value <= std::numeric_limits<qint32>::max())
        return FromLong(static_cast<qint32>(Value));
    return FromDouble(static_cast<double>(Value));
}

TScriptValue TScriptValue::FromObject(std::shared_ptr<TScriptObject> Object)
{
    TScriptValue v;
    v.m_type = TScriptValue::Object;
    new (&v.m_o) std::shared_ptr<TScriptObject>(std::move(Object));
    return v;
}

TScriptValue TScriptValue::FromArray(std::shared_ptr<TScriptArray> Items)
{
    TScriptValue v;
    v.m_type = TScriptValue::Array;
    new (&v.m_a) std::shared_ptr<TScriptArray>(std::move(Items));
    return v;
}

void TScriptValue::CopyResource(const TScriptValue &Other)
{
    switch (m_type) {
    case String: new (&m_s) QString(Other.m_s); break;
    case Object: new (&m_o) std::shared_ptr<TScriptObject>(Other.m_o); break;
    default: new (&m_a) std::shared_ptr<TScriptArray>(Other.m_a); break;
    }
}

void TScriptValue::MoveResource(TScriptValue &&Other) noexcept
{
    switch (m_type) {
    case String: new (&m_s) QString(std::move(Other.m_s)); break;
    case Object: new (&m_o) std::shared_ptr<TScriptObject>(std::move(Other.m_o)); break;
    default: new (&m_a) std::shared_ptr<TScriptArray>(std::move(Other.m_a)); break;
    }
}

void TScriptValue::Release() noexcept
{
    switch (m_type) {
    case String: m_s.~QString(); break;
    case Object: m_o.~shared_ptr(); break;
    default: m_a.~shared_ptr(); break;
    }
    m_type = Empty;
    m_i64 = 0;
}

TScriptArray &TScriptValue::MutableArray()
{
    if (m_a.use_count() > 1)
        m_a = TScriptArray::Make(*m_a);
    return *m_a;
}

TScriptValue TScriptValue::Resolved() const
{
    if (m_type != Object)
        return *this;
    if (!m_o)
        throw TScriptError(ScriptErr::ObjectNotSet);
    const int id = m_o->DefaultMemberId();
    if (id < 0)
        throw TScriptError(ScriptErr::NoSuchMember);
    TScriptValue value = m_o->Invoke(id, TScriptInvoke::Get, {});
    if (value.m_type == Object)
        throw TScriptError(ScriptErr::TypeMismatch);
    return value;
}

namespace {

[[noreturn]] void Mismatch() { throw TScriptError(ScriptErr::TypeMismatch); }
[[noreturn]] void NullUse() { throw TScriptError(ScriptErr::InvalidNull); }

// Rounds half to even, as VBScript's conversions to whole numbers do, and
// checks the range.
qint64 RoundWhole(double Value, double Min, double Max)
{
    if (std::isnan(Value))
        throw TScriptError(ScriptErr::Overflow);
    const double rounded = std::nearbyint(Value);
    if (rounded < Min || rounded > Max)
        throw TScriptError(ScriptErr::Overflow);
    return static_cast<qint64>(rounded);
}

} // namespace

bool TScriptValue::ToBool() const
{
    switch (m_type) {
    case Empty: return false;
    case Null: NullUse();
    case Boolean: return m_b;
    case Integer:
    case Long: return m_i != 0;
    case Double:
    case Date:
    case Single: return m_d != 0;
    case Byte: return m_i != 0;
    case Currency: return m_i64 != 0;
    case String: {
        const QString text = m_s.trimmed();
        if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        double number = 0;
        if (!ScriptText::ParseNumber(m_s, number))
            Mismatch();
        return number != 0;
    }
    case Object: return Resolved().ToBool();
    case Array: Mismatch();
    }
    return false;
}

double TScriptValue::ToDouble() const
{
    switch (m_type) {
    case Empty: return 0;
    case Null: NullUse();
    case Boolean: return m_b ? -1 : 0;
    case Integer:
    case Long:
    case Byte: return m_i;
    case Double:
    case Date:
    case Single: return m_d;
    case Currency: return static_cast<double>(m_i64) / 10000.0;
    case String: {
        double number = 0;
        if (!ScriptText::ParseNumber(m_s, number))
            Mismatch();
        return number;
    }
    case Object: return Resolved().ToDouble();
    case Array: Mismatch();
    }
    return 0;
}

qint32 TScriptValue::ToLong() const
{
    if (m_type == Integer || m_type == Long || m_type == Byte)
        return m_i;
    return static_cast<qint32>(RoundWhole(ToDouble(), std::numeric_limits<qint32>::min(),
                                          std::numeric_limits<qint32>::max()));
}

qint16 TScriptValue::ToInteger() const
{
    return static_cast<qint16>(RoundWhole(ToDouble(), std::numeric_limits<qint16>::min(),
                                          std::numeric_limits<qint16>::max()));
}

quint8 TScriptValue::ToByte() const
{
    return static_cast<quint8>(RoundWhole(ToDouble(), 0, 255));
}

float TScriptValue::ToSingle() const
{
    const double value = ToDouble();
    if (std::abs(value) > std::numeric_limits<float>::max())
        throw TScriptError(ScriptErr::Overflow);
    return static_cast<float>(value);
}

qint64 TScriptValue::ToCurrency() const
{
    if (m_type == Currency)
        return m_i64;
    if (m_type == Integer || m_type == Long || m_type == Byte)
        return qint64(m_i) * 10000;
    // 2^63 is the first value out of range; doubles near it are exact.
    return RoundWhole(ToDouble() * 10000.0, -9223372036854775808.0, 9223372036854774784.0);
}

QString TScriptValue::ToString() const
{
    switch (m_type) {
    case Empty: return QString();
    case Null: NullUse();
    case Boolean: return m_b ? QStringLiteral("True") : QStringLiteral("False");
    case Integer:
    case Long: return QString::number(m_i);
    case Double: return ScriptText::FormatDouble(m_d);
    case Date: return ScriptText::FormatDate(m_d);
    case Single: return ScriptText::FormatSingle(static_cast<float>(m_d));
    case Byte: return QString::number(m_i);
    case Currency: return ScriptText::FormatCurrencyValue(m_i64);
    case String: return m_s;
    case Object: return Resolved().ToString();
    case Array: Mismatch();
    }
    return QString();
}

int TScriptValue::VarType() const
{
    switch (m_type) {
    case Empty: return 0;
    case Null: return 1;
    case Boolean: return 11;
    case Integer: return 2;
    case Long: return 3;
    case Double: return 5;
    case Date: return 7;
    case Single: return 4;
    case Byte: return 17;
    case Currency: return 6;
    case String: return 8;
    case Object: return 9;
    case Array: return 8192 + 12;
    }
    return 0;
}

QString TScriptValue::TypeName() const
{
    switch (m_type) {
    case Empty: return QStringLiteral("Empty");
    case Null: return QStringLiteral("Null");
    case Boolean: return QStringLiteral("Boolean");
    case Integer: return QStringLiteral("Integer");
    case Long: return QStringLiteral("Long");
    case Double: return QStringLiteral("Double");
    case Date: return QStringLiteral("Date");
    case Single: return QStringLiteral("Single");
    case Byte: return QStringLiteral("Byte");
    case Currency: return QStringLiteral("Currency");
    case String: return QStringLiteral("String");
    case Object: return m_o ? m_o->TypeName() : QStringLiteral("Nothing");
    case Array: return QStringLiteral("Variant()");
    }
    return QString();
}

void ScriptDeferDelete(void *Object, void (*Delete)(void *))
{
    // Freeing a container frees what it holds; done one after the other from
    // a list instead of nested calls, so that a script's Array(Array(...)) a
    // million deep, or a chain of objects as long, cannot exhaust the stack.
    thread_local bool deleting = false;
    thread_local std::vector<std::pair<void *, void (*)(void *)>> pending;
    pending.emplace_back(Object, Delete);
    if (deleting)
        return;
    deleting = true;
    while (!pending.empty()) {
        const auto next = pending.back();
        pending.pop_back();
        next.second(next.first);
    }
    deleting = false;
}

namespace {

void DeleteArray(TScriptArray *Items)
{
    ScriptDeferDelete(Items, [](void *p) { delete static_cast<TScriptArray *>(p); });
}

} // namespace

std::shared_ptr<TScriptArray> TScriptArray::Make()
{
    return std::shared_ptr<TScriptArray>(new TScriptArray, DeleteArray);
}

std::shared_ptr<TScriptArray> TScriptArray::Make(const TScriptArray &Other)
{
    return std::shared_ptr<TScriptArray>(new TScriptArray(Other), DeleteArray);
}

qsizetype TScriptArray::Offset(const qint32 *Indexes, qsizetype Count) const
{
    if (Count != static_cast<qsizetype>(Upper.size()) || Count == 0)
        throw TScriptError(ScriptErr::SubscriptOutOfRange);
    qsizetype offset = 0;
    qsizetype stride = 1;
    for (qsizetype d = 0; d < Count; ++d) {
        if (Indexes[d] < 0 || Indexes[d] > Upper[d])
            throw TScriptError(ScriptErr::SubscriptOutOfRange);
        offset += Indexes[d] * stride;
        stride *= static_cast<qsizetype>(Upper[d]) + 1;
    }
    return offset;
}

namespace ScriptText {

namespace {

bool IsBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

bool ParseRadix(const QString &Text, qsizetype Pos, qsizetype End, int Radix, double &Value)
{
    if (Pos >= End)
        return false;
    quint64 whole = 0;
    for (; Pos < End; ++Pos) {
        const char c = Text.at(Pos).toLatin1();
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0 || digit >= Radix)
            return false;
        whole = whole * Radix + digit;
        if (whole > 0xFFFFFFFFu)
            return false;
    }
    // Four hex digits or fewer are an Integer's bits, more a Long's.
    if (whole <= 0xFFFF)
        Value = static_cast<qint16>(whole);
    else
        Value = static_cast<qint32>(static_cast<quint32>(whole));
    return true;
}

} // namespace

bool ParseNumber(const QString &Text, double &Value)
{
    qsizetype begin = 0;
    qsizetype end = Text.size();
    while (begin < end && IsBlank(Text.at(begin)))
        ++begin;
    while (end > begin && IsBlank(Text.at(end - 1)))
        --end;
    if (begin >= end)
        return false;
    if (Text.at(begin) == QLatin1Char('&') && end - begin > 1) {
        const QChar kind = Text.at(begin + 1).toUpper();
        if (kind == QLatin1Char('H'))
            return ParseRadix(Text, begin + 2, end, 16, Value);
        if (kind == QLatin1Char('O'))
            return ParseRadix(Text, begin + 2, end, 8, Value);
        return false;
    }
    // Sign, digits, one decimal point, an exponent: checked here because
    // from_chars would also take "inf" and "nan".
    QByteArray ascii;
    ascii.reserve(end - begin);
    qsizetype i = begin;
    bool negative = false;
    if (Text.at(i) == QLatin1Char('+') || Text.at(i) == QLatin1Char('-')) {
        negative = Text.at(i) == QLatin1Char('-');
        ++i;
    }
    int digits = 0;
    bool point = false;
    for (; i < end; ++i) {
        const char c = Text.at(i).toLatin1();
        if (c >= '0' && c <= '9') {
            ascii += c;
            ++digits;
        } else if (c == '.' && !point) {
            ascii += c;
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return false;
    if (i < end && (Text.at(i) == QLatin1Char('e') || Text.at(i) == QLatin1Char('E')
                    || Text.at(i) == QLatin1Char('d') || Text.at(i) == QLatin1Char('D'))) {
        ascii += 'e';
        ++i;
        if (i < end && (Text.at(i) == QLatin1Char('+') || Text.at(i) == QLatin1Char('-')))
            ascii += Text.at(i++).toLatin1();
        int expDigits = 0;
        for (; i < end && Text.at(i) >= QLatin1Char('0') && Text.at(i) <= QLatin1Char('9'); ++i, ++expDigits)
            ascii += Text.at(i).toLatin1();
        if (expDigits == 0)
            return false;
    }
    if (i != end)
        return false;
    double parsed = 0;
    const auto result = std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), parsed);
    if (result.ec == std::errc::result_out_of_range) {
        // Underflow is zero; overflow is not a number VBScript takes.
        if (!ascii.contains("e-"))
            return false;
        parsed = 0;
    } else if (result.ec != std::errc() || result.ptr != ascii.constData() + ascii.size()) {
        return false;
    }
    if (!std::isfinite(parsed))
        return false;
    Value = negative ? -parsed : parsed;
    return true;
}

namespace {

template <typename T>
QString FormatGeneral(T Value, int Digits)
{
    if (Value == 0)
        return QStringLiteral("0");
    if (std::isnan(Value))
        return QStringLiteral("NaN");
    if (std::isinf(Value))
        return Value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, Value, std::chars_format::general, Digits);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e >= 0)
        text[e] = QLatin1Char('E');
    return text;
}

} // namespace

QString FormatDouble(double Value)
{
    return FormatGeneral(Value, 15);
}

QString FormatSingle(float Value)
{
    return FormatGeneral(Value, 7);
}

QString FormatCurrencyValue(qint64 TenThousandths)
{
    const bool negative = TenThousandths < 0;
    const quint64 magnitude = negative ? 0 - static_cast<quint64>(TenThousandths) : static_cast<quint64>(TenThousandths);
    QString text = QString::number(magnitude / 10000);
    if (const quint64 fraction = magnitude % 10000) {
        QString decimals = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (decimals.endsWith(QLatin1Char('0')))
            decimals.chop(1);
        text += QLatin1Char('.') + decimals;
    }
    return negative ? QLatin1Char('-') + text : text;
}

} // namespace ScriptText
