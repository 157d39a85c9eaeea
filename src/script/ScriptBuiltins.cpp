// The table of built-ins and constants, the conversion, inspection and
// array functions, and those that run code (Execute, ExecuteGlobal, Eval,
// GetRef).
#include "script/ScriptBuiltinsPrivate.h"

#include <QHash>

#include <vector>

namespace {

using namespace ScriptArg;

TScriptValue CStr(const TBuiltinCall &C) { return TScriptValue(C[0].ToString()); }
TScriptValue CInt(const TBuiltinCall &C) { return TScriptValue::FromInteger(C[0].ToInteger()); }
TScriptValue CLng(const TBuiltinCall &C) { return TScriptValue::FromLong(C[0].ToLong()); }
TScriptValue CDbl(const TBuiltinCall &C) { return TScriptValue::FromDouble(C[0].ToDouble()); }
TScriptValue CBool(const TBuiltinCall &C) { return TScriptValue::FromBool(C[0].ToBool()); }
TScriptValue CSng(const TBuiltinCall &C) { return TScriptValue::FromSingle(C[0].ToSingle()); }
TScriptValue CByte(const TBuiltinCall &C) { return TScriptValue::FromByte(C[0].ToByte()); }
TScriptValue CCur(const TBuiltinCall &C) { return TScriptValue::FromCurrency(C[0].ToCurrency()); }

TScriptValue IsNumeric(const TBuiltinCall &C)
{
    const TScriptValue &v = C[0];
    switch (v.type()) {
    case TScriptValue::Empty:
    case TScriptValue::Boolean:
    case TScriptValue::Integer:
    case TScriptValue::Long:
    case TScriptValue::Double:
    case TScriptValue::Single:
    case TScriptValue::Byte:
    case TScriptValue::Currency:
        return TScriptValue::FromBool(true);
    case TScriptValue::String: {
        double number = 0;
        return TScriptValue::FromBool(ScriptText::ParseNumber(v.StringValue(), number));
    }
    default:
        return TScriptValue::FromBool(false);
    }
}

TScriptValue IsEmpty(const TBuiltinCall &C) { return TScriptValue::FromBool(C[0].IsEmpty()); }
TScriptValue IsNull(const TBuiltinCall &C) { return TScriptValue::FromBool(C[0].IsNull()); }
TScriptValue IsArray(const TBuiltinCall &C) { return TScriptValue::FromBool(C[0].IsArray()); }
TScriptValue IsObject(const TBuiltinCall &C) { return TScriptValue::FromBool(C[0].IsObject()); }
TScriptValue TypeName(const TBuiltinCall &C) { return TScriptValue(C[0].TypeName()); }
TScriptValue VarType(const TBuiltinCall &C) { return TScriptValue::FromInteger(static_cast<qint16>(C[0].VarType())); }

TScriptValue MakeArray(const TBuiltinCall &C)
{
    C.Runtime.CheckArray(C.Count());
    auto items = TScriptArray::Make();
    items->Upper = {static_cast<qint32>(C.Count() - 1)};
    items->Items.assign(C.Args.begin(), C.Args.end());
    return TScriptValue::FromArray(std::move(items));
}

TScriptValue Bound(const TBuiltinCall &C, bool Upper)
{
    if (!C[0].IsArray())
        Fail(ScriptErr::TypeMismatch);
    const TScriptArray &items = C[0].ArrayValue();
    const qint32 dimension = Long(C, 1, 1);
    if (dimension < 1 || dimension > static_cast<qint32>(items.Upper.size()))
        Fail(ScriptErr::SubscriptOutOfRange);
    return TScriptValue::FromLong(Upper ? items.Upper[static_cast<std::size_t>(dimension - 1)] : 0);
}

TScriptValue UBound(const TBuiltinCall &C) { return Bound(C, true); }
TScriptValue LBound(const TBuiltinCall &C) { return Bound(C, false); }

TScriptValue ListOf(QStringList Parts)
{
    auto items = TScriptArray::Make();
    items->Upper = {static_cast<qint32>(Parts.size() - 1)};
    items->Items.reserve(static_cast<std::size_t>(Parts.size()));
    for (QString &part : Parts)
        items->Items.emplace_back(std::move(part));
    return TScriptValue::FromArray(std::move(items));
}

TScriptValue Split(const TBuiltinCall &C)
{
    if (C[0].IsNull())
        Fail(ScriptErr::InvalidNull);
    const QString text = Text(C[0]);
    const QString delimiter = C.Given(1) ? Text(C[1]) : QStringLiteral(" ");
    const qint32 limit = Long(C, 2, -1);
    const Qt::CaseSensitivity cs = Compare(C, 3);
    if (limit < -1)
        Fail(ScriptErr::InvalidCall);
    if (text.isEmpty() || limit == 0)
        return ListOf({});
    if (delimiter.isEmpty())
        return ListOf({text});
    QStringList parts;
    qsizetype from = 0;
    for (;;) {
        if (limit > 0 && parts.size() == limit - 1)
            break;
        const qsizetype at = text.indexOf(delimiter, from, cs);
        if (at < 0)
            break;
        parts.append(text.mid(from, at - from));
        C.Runtime.CheckArray(parts.size());
        from = at + delimiter.size();
    }
    parts.append(text.mid(from));
    return ListOf(std::move(parts));
}

TScriptValue Join(const TBuiltinCall &C)
{
    if (!C[0].IsArray() || C[0].ArrayValue().Upper.size() != 1)
        Fail(ScriptErr::TypeMismatch);
    const QString delimiter = C.Given(1) ? Text(C[1]) : QStringLiteral(" ");
    QString text;
    bool first = true;
    for (const TScriptValue &item : C[0].ArrayValue().Items) {
        const QString part = item.ToString();
        C.Runtime.CheckString(qint64(text.size()) + (first ? 0 : delimiter.size()) + part.size());
        if (!first)
            text += delimiter;
        text += part;
        first = false;
    }
    return TScriptValue(std::move(text));
}

TScriptValue Filter(const TBuiltinCall &C)
{
    if (C[0].IsNull() || C[1].IsNull())
        Fail(ScriptErr::InvalidNull);
    if (!C[0].IsArray() || C[0].ArrayValue().Upper.size() != 1)
        Fail(ScriptErr::TypeMismatch);
    const QString sought = Text(C[1]);
    const bool include = !C.Given(2) || C[2].ToBool();
    const Qt::CaseSensitivity cs = Compare(C, 3);
    QStringList kept;
    for (const TScriptValue &item : C[0].ArrayValue().Items) {
        if (item.IsNull())
            Fail(ScriptErr::InvalidNull);
        QString text = item.ToString();
        if (text.contains(sought, cs) == include)
            kept.append(std::move(text));
    }
    return ListOf(std::move(kept));
}

QString Code(const TScriptValue &Value)
{
    if (Value.IsNull())
        Fail(ScriptErr::InvalidNull);
    return Value.ToString();
}

TScriptValue Execute(const TBuiltinCall &C)
{
    C.Runtime.ExecuteText(Code(C[0]), *C.Frame, false);
    return TScriptValue();
}

TScriptValue ExecuteGlobal(const TBuiltinCall &C)
{
    C.Runtime.ExecuteText(Code(C[0]), *C.Frame, true);
    return TScriptValue();
}

TScriptValue Eval(const TBuiltinCall &C) { return C.Runtime.EvalText(Code(C[0]), *C.Frame); }
TScriptValue GetRef(const TBuiltinCall &C) { return C.Runtime.ProcReference(Code(C[0])); }

const TBuiltin Conversions[] = {
    {"cstr", 1, 1, CStr},
    {"cint", 1, 1, CInt},
    {"clng", 1, 1, CLng},
    {"cdbl", 1, 1, CDbl},
    {"cbool", 1, 1, CBool},
    {"csng", 1, 1, CSng},
    {"cbyte", 1, 1, CByte},
    {"ccur", 1, 1, CCur},
    {"isnumeric", 1, 1, IsNumeric},
    {"isempty", 1, 1, IsEmpty},
    {"isnull", 1, 1, IsNull},
    {"isarray", 1, 1, IsArray},
    {"isobject", 1, 1, IsObject},
    {"typename", 1, 1, TypeName},
    {"vartype", 1, 1, VarType},
    {"array", 0, 1 << 20, MakeArray},
    {"ubound", 1, 2, UBound},
    {"lbound", 1, 2, LBound},
    {"split", 1, 4, Split},
    {"join", 1, 2, Join},
    {"filter", 2, 4, Filter},
    {"execute", 1, 1, Execute, false},
    {"executeglobal", 1, 1, ExecuteGlobal, false},
    {"eval", 1, 1, Eval, false},
    {"getref", 1, 1, GetRef},
};

struct TTable
{
    std::vector<TBuiltin> All;
    QHash<QString, int> Index;
    QHash<QString, TScriptValue> Constants;

    TTable()
    {
        for (const auto part : {ScriptConversionBuiltins(), ScriptTextBuiltins(), ScriptMathBuiltins(), ScriptDateBuiltins()})
            All.insert(All.end(), part.begin(), part.end());
        for (std::size_t i = 0; i < All.size(); ++i)
            Index.insert(QString::fromLatin1(All[i].Name), static_cast<int>(i));

        const auto text = [&](const char *name, const QString &value) { Constants.insert(name, TScriptValue(value)); };
        text("vbcrlf", QStringLiteral("\r\n"));
        text("vbnewline", QStringLiteral("\r\n"));
        text("vbcr", QStringLiteral("\r"));
        text("vblf", QStringLiteral("\n"));
        text("vbtab", QStringLiteral("\t"));
        text("vbback", QStringLiteral("\b"));
        text("vbformfeed", QStringLiteral("\f"));
        text("vbverticaltab", QStringLiteral("\v"));
        text("vbnullchar", QString(QChar(0)));
        text("vbnullstring", QString());
        const std::pair<const char *, qint32> numbers[] = {
            {"vbokonly", 0}, {"vbokcancel", 1}, {"vbabortretryignore", 2}, {"vbyesnocancel", 3},
            {"vbyesno", 4}, {"vbretrycancel", 5}, {"vbcritical", 16}, {"vbquestion", 32},
            {"vbexclamation", 48}, {"vbinformation", 64}, {"vbdefaultbutton1", 0},
            {"vbdefaultbutton2", 256}, {"vbdefaultbutton3", 512}, {"vbdefaultbutton4", 768},
            {"vbapplicationmodal", 0}, {"vbsystemmodal", 4096},
            {"vbok", 1}, {"vbcancel", 2}, {"vbabort", 3}, {"vbretry", 4}, {"vbignore", 5},
            {"vbyes", 6}, {"vbno", 7},
            {"vbempty", 0}, {"vbnull", 1}, {"vbinteger", 2}, {"vblong", 3}, {"vbsingle", 4},
            {"vbdouble", 5}, {"vbcurrency", 6}, {"vbdate", 7}, {"vbstring", 8}, {"vbobject", 9},
            {"vberror", 10}, {"vbboolean", 11}, {"vbvariant", 12}, {"vbdataobject", 13},
            {"vbbyte", 17}, {"vbarray", 8192},
            {"vbbinarycompare", 0}, {"vbtextcompare", 1},
            {"vbusedefault", -2}, {"vbtrue", -1}, {"vbfalse", 0},
            {"vbsunday", 1}, {"vbmonday", 2}, {"vbtuesday", 3}, {"vbwednesday", 4},
            {"vbthursday", 5}, {"vbfriday", 6}, {"vbsaturday", 7},
            {"vbusesystem", 0}, {"vbusesystemdayofweek", 0}, {"vbfirstjan1", 1}, {"vbfirstfourdays", 2},
            {"vbfirstfullweek", 3},
            {"vbgeneraldate", 0}, {"vblongdate", 1}, {"vbshortdate", 2}, {"vblongtime", 3}, {"vbshorttime", 4},
        };
        for (const auto &[name, value] : numbers)
            Constants.insert(name, TScriptValue::FromWhole(value));
        Constants.insert("vbobjecterror", TScriptValue::FromLong(-2147221504));
    }
};

const TTable &Table()
{
    static const TTable table;
    return table;
}

} // namespace

std::span<const TBuiltin> ScriptConversionBuiltins()
{
    return Conversions;
}

int ScriptBuiltinIndex(const QString &Key)
{
    return Table().Index.value(Key, -1);
}

const TBuiltin &ScriptBuiltinAt(int Index)
{
    return Table().All[static_cast<std::size_t>(Index)];
}

bool ScriptBuiltinConstant(const QString &Key, TScriptValue &Value)
{
    const auto found = Table().Constants.constFind(Key);
    if (found == Table().Constants.cend())
        return false;
    Value = found.value();
    return true;
}
