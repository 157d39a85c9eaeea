// Script text as an operator's file may hold it: any bytes are parsed whole
// and either refused with a compilation error on a real line or run; a run
// is bounded by a small statement budget and small string, array and stack
// limits, and must end without a crash, a leak or a hang.
#include "script/ScriptEngine.h"
#include "script/ScriptSource.h"

#include <cstdint>
#include <cstdlib>

namespace {

class QuietHost : public TScriptHost
{
public:
    int MsgBox(const QString &, int Buttons, const QString &) override { return ScriptMsgBoxDefaultButton(Buttons); }
    std::optional<QString> InputBox(const QString &Prompt, const QString &, const QString &) override
    {
        if (Prompt.isEmpty())
            return std::nullopt;
        return Prompt;
    }
};

// A named object that takes any member: reads give the argument count,
// "Fail" raises the error number it is given.
class Probe : public TScriptObject
{
public:
    int MemberId(const QString &Name) const override { return Name.compare(QLatin1String("fail"), Qt::CaseInsensitive) == 0 ? 1 : 0; }
    int DefaultMemberId() const override { return 0; }
    TScriptValue Invoke(int Id, TScriptInvoke, TScriptArgs Args) override
    {
        if (Id == 1)
            throw TScriptError(Args.empty() ? 5 : Args[0].ToLong());
        return TScriptValue::FromLong(static_cast<qint32>(Args.size()));
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = DecodeScriptText(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    QuietHost host;
    TScriptEngine engine(&host);
    engine.AddObject("Zov", std::make_shared<Probe>());
    engine.SetStepLimit(5000);
    engine.SetStringLimit(1 << 16);
    engine.SetArrayLimit(1 << 14);
    engine.SetStackLimit(256 * 1024);

    const bool parses = engine.Check(text);
    if (!parses && (engine.Error().Line < 1 || !engine.Error().Compile))
        std::abort();
    const TScriptStatus status = engine.Execute(text);
    const TScriptError &error = engine.Error();
    // Parsing is the same whether or not the text then runs.
    if (parses == (status == TScriptStatus::Failed && error.Compile))
        std::abort();
    if (status == TScriptStatus::Failed && (error.Line < 1 || error.Description.isEmpty()))
        std::abort();
    return 0;
}
