// Numbers (Int, Fix, Abs, Sgn, Sqr, Round, Rnd, Randomize, Exp, Log, the
// trigonometric functions, RGB), MsgBox, InputBox, the objects
// (CreateObject, GetObject) and what a script asks of its engine
// (ScriptEngine..., GetLocale, SetLocale).
#include "script/ScriptBuiltinsPrivate.h"
#include "script/ScriptObjects.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

int ScriptMsgBoxDefaultButton(int Buttons)
{
    // The buttons of each style, in the order vbDefaultButton1..3 pick them;
    // a default beyond the last button is the first, as the system does.
    static const int styles[6][3] = {
        {1, 1, 1}, {1, 2, 1}, {3, 4, 5}, {6, 7, 2}, {6, 7, 6}, {4, 2, 4},
    };
    const int style = Buttons & 7;
    const int chosen = (Buttons >> 8) & 3;
    if (style > 5)
        return 1;
    return styles[style][std::min(chosen, 2)];
}

namespace {

using namespace ScriptArg;

// Int and Fix keep the type of a whole number; anything else is a Double.
TScriptValue WholePart(const TScriptValue &V, double (*Cut)(double))
{
    switch (V.type()) {
    case TScriptValue::Null: return V;
    case TScriptValue::Integer:
    case TScriptValue::Long: return V;
    case TScriptValue::Empty: return TScriptValue::FromInteger(0);
    case TScriptValue::Boolean: return TScriptValue::FromInteger(V.BoolValue() ? -1 : 0);
    case TScriptValue::Date: return TScriptValue::FromDate(Cut(V.DoubleValue()));
    default: return TScriptValue::FromDouble(Cut(V.ToDouble()));
    }
}

TScriptValue Int(const TBuiltinCall &C) { return WholePart(C[0], [](double d) { return std::floor(d); }); }
TScriptValue Fix(const TBuiltinCall &C) { return WholePart(C[0], [](double d) { return std::trunc(d); }); }

TScriptValue Abs(const TBuiltinCall &C)
{
    const TScriptValue &v = C[0];
    switch (v.type()) {
    case TScriptValue::Null: return v;
    case TScriptValue::Empty: return TScriptValue::FromInteger(0);
    case TScriptValue::Boolean: return TScriptValue::FromInteger(v.BoolValue() ? 1 : 0);
    case TScriptValue::Integer: return TScriptValue::FromWhole(std::abs(qint64(v.WholeValue())));
    case TScriptValue::Long: {
        const qint64 a = std::abs(qint64(v.WholeValue()));
        return a > 2147483647 ? TScriptValue::FromDouble(double(a)) : TScriptValue::FromLong(static_cast<qint32>(a));
    }
    default: return TScriptValue::FromDouble(std::abs(v.ToDouble()));
    }
}

TScriptValue Checked(double Value)
{
    if (std::isnan(Value))
        Fail(ScriptErr::InvalidCall);
    if (std::isinf(Value))
        Fail(ScriptErr::Overflow);
    return TScriptValue::FromDouble(Value);
}

TScriptValue Sgn(const TBuiltinCall &C)
{
    const double d = Number(C[0]);
    return TScriptValue::FromInteger(static_cast<qint16>(d < 0 ? -1 : d > 0 ? 1 : 0));
}

TScriptValue Sqr(const TBuiltinCall &C)
{
    const double d = Number(C[0]);
    if (d < 0)
        Fail(ScriptErr::InvalidCall);
    return TScriptValue::FromDouble(std::sqrt(d));
}

TScriptValue Exp(const TBuiltinCall &C) { return Checked(std::exp(Number(C[0]))); }

TScriptValue Log(const TBuiltinCall &C)
{
    const double d = Number(C[0]);
    if (d <= 0)
        Fail(ScriptErr::InvalidCall);
    return TScriptValue::FromDouble(std::log(d));
}

TScriptValue Sin(const TBuiltinCall &C) { return Checked(std::sin(Number(C[0]))); }
TScriptValue Cos(const TBuiltinCall &C) { return Checked(std::cos(Number(C[0]))); }
TScriptValue Tan(const TBuiltinCall &C) { return Checked(std::tan(Number(C[0]))); }
TScriptValue Atn(const TBuiltinCall &C) { return Checked(std::atan(Number(C[0]))); }

TScriptValue Round(const TBuiltinCall &C)
{
    const TScriptValue &v = C[0];
    const qint32 digits = Long(C, 1, 0);
    if (digits < 0)
        Fail(ScriptErr::InvalidCall);
    switch (v.type()) {
    case TScriptValue::Null:
    case TScriptValue::Integer:
    case TScriptValue::Long:
        return v;
    case TScriptValue::Empty: return TScriptValue::FromInteger(0);
    case TScriptValue::Boolean: return TScriptValue::FromInteger(v.BoolValue() ? -1 : 0);
    default: break;
    }
    const double d = v.ToDouble();
    if (digits > 15)
        return TScriptValue::FromDouble(d);
    // Half to even, as VBScript rounds.
    const double scale = std::pow(10.0, digits);
    const double scaled = d * scale;
    const double rounded = std::isfinite(scaled) ? std::nearbyint(scaled) / scale : d;
    return v.type() == TScriptValue::Date ? TScriptValue::FromDate(rounded) : TScriptValue::FromDouble(rounded);
}

constexpr double RndScale = 16777216.0; // 2^24

TScriptValue Rnd(const TBuiltinCall &C)
{
    quint32 &state = C.Runtime.RndState;
    const double n = C.Given(0) ? Number(C[0]) : 1.0;
    if (n < 0) {
        // A negative argument seeds from its single-precision bits, so that
        // Rnd(-1) always gives the same number and starts the same sequence.
        const float single = static_cast<float>(std::max(n, -double(std::numeric_limits<float>::max())));
        const quint32 bits = std::bit_cast<quint32>(single);
        state = (bits + (bits >> 24)) & 0xFFFFFF;
    } else if (n > 0) {
        state = (state * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFF;
    }
    return TScriptValue::FromDouble(state / RndScale);
}

TScriptValue Randomize(const TBuiltinCall &C)
{
    const double seed = C.Given(0) ? Number(C[0]) : ScriptSecondsSinceMidnight();
    // The middle bytes of the state come from the seed's high word.
    const quint64 bits = std::bit_cast<quint64>(seed);
    const quint32 high = static_cast<quint32>(bits >> 32);
    const quint32 mixed = ((high & 0xFFFF) ^ (high >> 16)) << 8;
    quint32 &state = C.Runtime.RndState;
    state = (state & 0xFF0000FFu) | (mixed & 0x00FFFF00u);
    return TScriptValue();
}

QString Prompt(const TScriptValue &V)
{
    if (V.IsNull())
        Fail(ScriptErr::InvalidNull);
    return V.ToString();
}

TScriptValue MsgBox(const TBuiltinCall &C)
{
    const QString prompt = Prompt(C[0]);
    const qint32 buttons = Long(C, 1, 0);
    const QString title = C.Given(2) ? Prompt(C[2]) : QString();
    TScriptHost *host = C.Runtime.Host;
    const int answer = host ? host->MsgBox(prompt, buttons, title) : ScriptMsgBoxDefaultButton(buttons);
    return TScriptValue::FromInteger(static_cast<qint16>(answer));
}

TScriptValue InputBox(const TBuiltinCall &C)
{
    const QString prompt = Prompt(C[0]);
    const QString title = C.Given(1) ? Prompt(C[1]) : QString();
    const QString value = C.Given(2) ? Prompt(C[2]) : QString();
    TScriptHost *host = C.Runtime.Host;
    if (!host)
        return TScriptValue();
    const std::optional<QString> answer = host->InputBox(prompt, title, value);
    return answer ? TScriptValue(*answer) : TScriptValue();
}

TScriptValue CreateObject(const TBuiltinCall &C)
{
    const QString name = C[0].IsNull() ? QString() : C[0].ToString();
    std::shared_ptr<TScriptObject> object = ScriptCreateObject(C.Runtime, name);
    if (!object)
        throw TScriptError(ScriptErr::CannotCreateObject, {}, name);
    return TScriptValue::FromObject(std::move(object));
}

// No running component of the system is reachable from a script here.
TScriptValue GetObject(const TBuiltinCall &)
{
    throw TScriptError(ScriptErr::CannotCreateObject);
}

TScriptValue Rgb(const TBuiltinCall &C)
{
    qint32 colour = 0;
    for (int i = 2; i >= 0; --i) {
        const qint32 part = Long(C[i]);
        if (part < 0)
            Fail(ScriptErr::InvalidCall);
        colour = colour * 256 + std::min(part, 255);
    }
    return TScriptValue::FromLong(colour);
}

TScriptValue ScriptEngine(const TBuiltinCall &) { return TScriptValue(QStringLiteral("VBScript")); }
TScriptValue EngineMajor(const TBuiltinCall &) { return TScriptValue::FromLong(5); }
TScriptValue EngineMinor(const TBuiltinCall &) { return TScriptValue::FromLong(8); }
TScriptValue EngineBuild(const TBuiltinCall &) { return TScriptValue::FromLong(16384); }

// The program's locale is fixed: US English (1033). SetLocale accepts it
// alone, so that a script that needs another one learns so.
constexpr qint32 UsEnglish = 1033;

TScriptValue GetLocale(const TBuiltinCall &) { return TScriptValue::FromLong(UsEnglish); }

TScriptValue SetLocale(const TBuiltinCall &C)
{
    if (C.Given(0)) {
        const TScriptValue &locale = C[0];
        const bool english = locale.IsString()
            ? locale.StringValue().compare(QLatin1String("en-us"), Qt::CaseInsensitive) == 0
            : Long(locale) == 0 || Long(locale) == UsEnglish;
        if (!english)
            Fail(ScriptErr::InvalidCall);
    }
    return TScriptValue::FromLong(UsEnglish);
}

const TBuiltin Maths[] = {
    {"int", 1, 1, Int},
    {"fix", 1, 1, Fix},
    {"abs", 1, 1, Abs},
    {"sgn", 1, 1, Sgn},
    {"sqr", 1, 1, Sqr},
    {"exp", 1, 1, Exp},
    {"log", 1, 1, Log},
    {"sin", 1, 1, Sin},
    {"cos", 1, 1, Cos},
    {"tan", 1, 1, Tan},
    {"atn", 1, 1, Atn},
    {"round", 1, 2, Round},
    {"rnd", 0, 1, Rnd},
    {"randomize", 0, 1, Randomize},
    {"msgbox", 1, 5, MsgBox},
    {"inputbox", 1, 7, InputBox},
    {"createobject", 1, 2, CreateObject},
    {"getobject", 0, 2, GetObject},
    {"rgb", 3, 3, Rgb},
    {"scriptengine", 0, 0, ScriptEngine},
    {"scriptenginemajorversion", 0, 0, EngineMajor},
    {"scriptengineminorversion", 0, 0, EngineMinor},
    {"scriptenginebuildversion", 0, 0, EngineBuild},
    {"getlocale", 0, 0, GetLocale},
    {"setlocale", 0, 1, SetLocale},
};

} // namespace

std::span<const TBuiltin> ScriptMathBuiltins()
{
    return Maths;
}
