// The string functions, Hex and Oct, Escape and Unescape, and FormatNumber,
// FormatCurrency and FormatPercent in the program's locale (US English:
// "$1,234.50", negative amounts in parentheses).
#include "script/ScriptBuiltinsPrivate.h"
#include "script/ScriptSource.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

using namespace ScriptArg;

TScriptValue Null() { return TScriptValue::MakeNull(); }

TScriptValue Len(const TBuiltinCall &C)
{
    if (C[0].IsNull())
        return Null();
    return TScriptValue::FromLong(static_cast<qint32>(Text(C[0]).size()));
}

qint32 Count(const TScriptValue &Value)
{
    const qint32 n = Long(Value);
    if (n < 0)
        Fail(ScriptErr::InvalidCall);
    return n;
}

TScriptValue Left(const TBuiltinCall &C)
{
    const qint32 n = Count(C[1]);
    return C[0].IsNull() ? Null() : TScriptValue(Text(C[0]).left(n));
}

TScriptValue Right(const TBuiltinCall &C)
{
    const qint32 n = Count(C[1]);
    return C[0].IsNull() ? Null() : TScriptValue(Text(C[0]).right(n));
}

TScriptValue Mid(const TBuiltinCall &C)
{
    const qint32 start = Long(C[1]);
    if (start < 1)
        Fail(ScriptErr::InvalidCall);
    const qint32 length = C.Given(2) ? Count(C[2]) : -1;
    if (C[0].IsNull())
        return Null();
    const QString text = Text(C[0]);
    return TScriptValue(text.mid(start - 1, length));
}

TScriptValue InStr(const TBuiltinCall &C)
{
    // InStr(text, sought) or InStr(start, text, sought[, compare]).
    const bool withStart = C.Count() > 2;
    const qint32 start = withStart ? Long(C, 0, 1) : 1;
    if (start < 1)
        Fail(ScriptErr::InvalidCall);
    const TScriptValue &a = C[withStart ? 1 : 0];
    const TScriptValue &b = C[withStart ? 2 : 1];
    const Qt::CaseSensitivity cs = Compare(C, 3);
    if (a.IsNull() || b.IsNull())
        return Null();
    const QString text = Text(a);
    const QString sought = Text(b);
    if (text.isEmpty())
        return TScriptValue::FromLong(0);
    if (sought.isEmpty())
        return TScriptValue::FromLong(start);
    if (start > text.size())
        return TScriptValue::FromLong(0);
    return TScriptValue::FromLong(static_cast<qint32>(text.indexOf(sought, start - 1, cs) + 1));
}

TScriptValue InStrRev(const TBuiltinCall &C)
{
    qint32 start = Long(C, 2, -1);
    if (start == 0 || start < -1)
        Fail(ScriptErr::InvalidCall);
    const Qt::CaseSensitivity cs = Compare(C, 3);
    if (C[0].IsNull() || C[1].IsNull())
        return Null();
    const QString text = Text(C[0]);
    const QString sought = Text(C[1]);
    if (start == -1)
        start = static_cast<qint32>(text.size());
    if (text.isEmpty())
        return TScriptValue::FromLong(0);
    if (sought.isEmpty())
        return TScriptValue::FromLong(start);
    if (start > text.size())
        return TScriptValue::FromLong(0);
    // The match must end at or before position start.
    const qsizetype from = start - sought.size();
    if (from < 0)
        return TScriptValue::FromLong(0);
    return TScriptValue::FromLong(static_cast<qint32>(text.lastIndexOf(sought, from, cs) + 1));
}

TScriptValue Replace(const TBuiltinCall &C)
{
    if (C[0].IsNull() || C[1].IsNull() || C[2].IsNull())
        Fail(ScriptErr::InvalidNull);
    const qint32 start = Long(C, 3, 1);
    const qint32 limit = Long(C, 4, -1);
    if (start < 1 || limit < -1)
        Fail(ScriptErr::InvalidCall);
    const Qt::CaseSensitivity cs = Compare(C, 5);
    // The result starts at start: what comes before is dropped.
    const QString text = Text(C[0]).mid(start - 1);
    const QString sought = Text(C[1]);
    const QString replacement = Text(C[2]);
    if (sought.isEmpty() || limit == 0)
        return TScriptValue(text);
    QString result;
    qsizetype from = 0;
    qint32 done = 0;
    for (;;) {
        if (limit >= 0 && done == limit)
            break;
        const qsizetype at = text.indexOf(sought, from, cs);
        if (at < 0)
            break;
        C.Runtime.CheckString(qint64(result.size()) + (at - from) + replacement.size() + (text.size() - at - sought.size()));
        result += QStringView(text).mid(from, at - from);
        result += replacement;
        from = at + sought.size();
        ++done;
    }
    result += QStringView(text).mid(from);
    return TScriptValue(std::move(result));
}

TScriptValue Case(const TBuiltinCall &C, bool Upper)
{
    if (C[0].IsNull())
        return Null();
    const QString text = Text(C[0]);
    return TScriptValue(Upper ? text.toUpper() : text.toLower());
}

TScriptValue UCase(const TBuiltinCall &C) { return Case(C, true); }
TScriptValue LCase(const TBuiltinCall &C) { return Case(C, false); }

// VBScript's Trim functions remove spaces only, not tabs.
TScriptValue Trimmed(const TBuiltinCall &C, bool Front, bool Back)
{
    if (C[0].IsNull())
        return Null();
    const QString text = Text(C[0]);
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (Front && begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (Back && end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return TScriptValue(text.mid(begin, end - begin));
}

TScriptValue Trim(const TBuiltinCall &C) { return Trimmed(C, true, true); }
TScriptValue LTrim(const TBuiltinCall &C) { return Trimmed(C, true, false); }
TScriptValue RTrim(const TBuiltinCall &C) { return Trimmed(C, false, true); }

TScriptValue Space(const TBuiltinCall &C)
{
    const qint32 n = Count(C[0]);
    C.Runtime.CheckString(n);
    return TScriptValue(QString(n, QLatin1Char(' ')));
}

TScriptValue String(const TBuiltinCall &C)
{
    const qint32 n = Count(C[0]);
    if (C[1].IsNull())
        return Null();
    QChar fill;
    if (C[1].IsString()) {
        if (C[1].StringValue().isEmpty())
            Fail(ScriptErr::InvalidCall);
        fill = C[1].StringValue().at(0);
    } else {
        fill = ScriptAnsiChar(Long(C[1]) & 0xFF);
    }
    C.Runtime.CheckString(n);
    return TScriptValue(QString(n, fill));
}

TScriptValue Chr(const TBuiltinCall &C)
{
    const qint32 code = Long(C[0]);
    if (code < 0 || code > 255)
        Fail(ScriptErr::InvalidCall);
    return TScriptValue(QString(ScriptAnsiChar(code)));
}

TScriptValue ChrW(const TBuiltinCall &C)
{
    const qint32 code = Long(C[0]);
    if (code < -32768 || code > 65535)
        Fail(ScriptErr::InvalidCall);
    return TScriptValue(QString(QChar(static_cast<char16_t>(code & 0xFFFF))));
}

QChar FirstChar(const TScriptValue &Value)
{
    if (Value.IsNull())
        Fail(ScriptErr::InvalidNull);
    const QString text = Text(Value);
    if (text.isEmpty())
        Fail(ScriptErr::InvalidCall);
    return text.at(0);
}

TScriptValue Asc(const TBuiltinCall &C) { return TScriptValue::FromInteger(static_cast<qint16>(ScriptAnsiCode(FirstChar(C[0])))); }
TScriptValue AscW(const TBuiltinCall &C) { return TScriptValue::FromInteger(static_cast<qint16>(FirstChar(C[0]).unicode())); }

TScriptValue StrComp(const TBuiltinCall &C)
{
    const Qt::CaseSensitivity cs = Compare(C, 2);
    if (C[0].IsNull() || C[1].IsNull())
        return Null();
    const int r = Text(C[0]).compare(Text(C[1]), cs);
    return TScriptValue::FromInteger(static_cast<qint16>(r < 0 ? -1 : r > 0 ? 1 : 0));
}

TScriptValue StrReverse(const TBuiltinCall &C)
{
    if (C[0].IsNull())
        Fail(ScriptErr::InvalidNull);
    QString text = Text(C[0]);
    std::reverse(text.begin(), text.end());
    return TScriptValue(std::move(text));
}

TScriptValue Radix(const TBuiltinCall &C, int Base)
{
    const TScriptValue &v = C[0];
    if (v.IsNull())
        return Null();
    // An Integer shows its 16 bits (Hex(-1) is FFFF), anything else 32.
    const bool narrow = v.type() == TScriptValue::Integer || v.type() == TScriptValue::Boolean || v.IsEmpty();
    const qint32 value = v.ToLong();
    const quint32 bits = narrow ? static_cast<quint16>(value) : static_cast<quint32>(value);
    return TScriptValue(QString::number(bits, Base).toUpper());
}

TScriptValue Hex(const TBuiltinCall &C) { return Radix(C, 16); }
TScriptValue Oct(const TBuiltinCall &C) { return Radix(C, 8); }

// Value rounded half away from zero to Digits decimals, as decimal digits
// and the number of them before the point. VBScript works on 15 significant
// digits, so 1.005 rounds up to 1.01 although its binary value is below.
void RoundDecimal(double Value, int Digits, QByteArray &Decimal, int &Whole)
{
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::abs(Value), std::chars_format::scientific, 14).ptr;
    const char *e = std::find(buffer, end, 'e');
    int exponent = 0;
    std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), end, exponent);
    QByteArray digits;
    for (const char *p = buffer; p < e; ++p)
        if (*p != '.')
            digits += *p;
    Whole = exponent + 1;
    // Keep Whole + Digits digits, padding with zeros on either side.
    if (Whole < 0) {
        digits = QByteArray(-Whole, '0') + digits;
        Whole = 0;
    }
    const int keep = Whole + Digits;
    if (digits.size() < keep + 1)
        digits += QByteArray(keep + 1 - digits.size(), '0');
    const bool up = digits.at(keep) >= '5';
    digits.truncate(keep);
    if (up) {
        int i = keep - 1;
        for (; i >= 0 && digits[i] == '9'; --i)
            digits[i] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            digits.prepend('1');
            ++Whole;
        }
    }
    Decimal = digits;
}

// Value times Scale with Digits decimals (-1: two), a 0 before the point of
// a fraction unless LeadingDigit is 0, negative numbers in parentheses when
// Parens is -1 (-2, the default: when ParensByDefault), digits grouped by
// three unless Group is 0.
TScriptValue FormatFixed(const TBuiltinCall &C, double Scale, const QString &Prefix, const QString &Suffix,
                         bool ParensByDefault)
{
    if (C[0].IsNull())
        Fail(ScriptErr::InvalidNull);
    const double value = C[0].ToDouble() * Scale;
    if (!std::isfinite(value))
        Fail(ScriptErr::Overflow);
    qint32 digits = Long(C, 1, -1);
    const qint32 leading = Long(C, 2, -2);
    const qint32 parens = Long(C, 3, -2);
    const qint32 group = Long(C, 4, -2);
    if (digits == -1)
        digits = 2;
    if (digits < 0 || digits > 255)
        Fail(ScriptErr::InvalidCall);
    QByteArray decimal;
    int whole = 0;
    RoundDecimal(value, digits, decimal, whole);
    QString integer = QString::fromLatin1(decimal.left(whole));
    while (integer.size() > 1 && integer.startsWith(QLatin1Char('0')))
        integer.remove(0, 1);
    if (integer.isEmpty() || integer == QLatin1String("0"))
        integer = leading == 0 ? QString() : QStringLiteral("0");
    if (group != 0)
        for (qsizetype i = integer.size() - 3; i > 0; i -= 3)
            integer.insert(i, QLatin1Char(','));
    QString text = Prefix + integer;
    if (digits > 0)
        text += QLatin1Char('.') + QString::fromLatin1(decimal.mid(whole));
    text += Suffix;
    const bool negative = value < 0 && decimal.count('0') != decimal.size();
    if (negative)
        text = parens == -1 || (parens == -2 && ParensByDefault) ? QLatin1Char('(') + text + QLatin1Char(')')
                                                                 : QLatin1Char('-') + text;
    return TScriptValue(std::move(text));
}

TScriptValue FormatNumber(const TBuiltinCall &C) { return FormatFixed(C, 1, {}, {}, false); }
TScriptValue FormatCurrency(const TBuiltinCall &C) { return FormatFixed(C, 1, QStringLiteral("$"), {}, true); }
TScriptValue FormatPercent(const TBuiltinCall &C) { return FormatFixed(C, 100, {}, QStringLiteral("%"), false); }

bool Unreserved(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || QStringView(u"@*_+-./").contains(c);
}

TScriptValue Escape(const TBuiltinCall &C)
{
    if (C[0].IsNull())
        return Null();
    QString text;
    for (const QChar c : Text(C[0])) {
        if (Unreserved(c))
            text += c;
        else
            text += (c.unicode() < 256 ? QStringLiteral("%") : QStringLiteral("%u"))
                + QStringLiteral("%1").arg(c.unicode(), c.unicode() < 256 ? 2 : 4, 16, QLatin1Char('0')).toUpper();
    }
    C.Runtime.CheckString(text.size());
    return TScriptValue(std::move(text));
}

// The character of Digits hexadecimal digits at From, or -1.
int HexAt(const QString &Text, qsizetype From, int Digits)
{
    if (From + Digits > Text.size())
        return -1;
    int code = 0;
    for (qsizetype i = From; i < From + Digits; ++i) {
        const int digit = QChar(Text.at(i)).digitValue();
        const char16_t c = Text.at(i).toLower().unicode();
        const int value = digit >= 0 && Text.at(i).unicode() < 128 ? digit : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (value < 0)
            return -1;
        code = code * 16 + value;
    }
    return code;
}

TScriptValue Unescape(const TBuiltinCall &C)
{
    if (C[0].IsNull())
        return Null();
    const QString source = Text(C[0]);
    QString text;
    for (qsizetype i = 0; i < source.size(); ++i) {
        if (source.at(i) == QLatin1Char('%')) {
            const bool wide = i + 1 < source.size() && source.at(i + 1) == QLatin1Char('u');
            const int code = HexAt(source, i + (wide ? 2 : 1), wide ? 4 : 2);
            if (code >= 0) {
                text += QChar(static_cast<char16_t>(code));
                i += wide ? 5 : 2;
                continue;
            }
        }
        text += source.at(i);
    }
    return TScriptValue(std::move(text));
}

const TBuiltin Texts[] = {
    {"len", 1, 1, Len},
    {"left", 2, 2, Left},
    {"right", 2, 2, Right},
    {"mid", 2, 3, Mid},
    {"instr", 2, 4, InStr},
    {"instrrev", 2, 4, InStrRev},
    {"replace", 3, 6, Replace},
    {"ucase", 1, 1, UCase},
    {"lcase", 1, 1, LCase},
    {"trim", 1, 1, Trim},
    {"ltrim", 1, 1, LTrim},
    {"rtrim", 1, 1, RTrim},
    {"space", 1, 1, Space},
    {"string", 2, 2, String},
    {"chr", 1, 1, Chr},
    {"chrw", 1, 1, ChrW},
    {"asc", 1, 1, Asc},
    {"ascw", 1, 1, AscW},
    {"strcomp", 2, 3, StrComp},
    {"strreverse", 1, 1, StrReverse},
    {"hex", 1, 1, Hex},
    {"oct", 1, 1, Oct},
    {"formatnumber", 1, 5, FormatNumber},
    {"formatcurrency", 1, 5, FormatCurrency},
    {"formatpercent", 1, 5, FormatPercent},
    {"escape", 1, 1, Escape},
    {"unescape", 1, 1, Unescape},
};

} // namespace

std::span<const TBuiltin> ScriptTextBuiltins()
{
    return Texts;
}
