#include "script/ScriptEngine.h"

#include "script/ScriptParser.h"
#include "script/ScriptRuntime.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <utility>
#include <vector>

namespace {

// The Err object: the last error caught under On Error Resume Next.
class TErrObject : public TScriptObject
{
public:
    explicit TErrObject(TScriptRuntime &Runtime) : m_runtime(Runtime) {}

    enum Member { Number, Description, Source, Clear, Raise, HelpFile, HelpContext };

    int MemberId(const QString &Name) const override
    {
        return ScriptMemberIndex(Name, {"number", "description", "source", "clear", "raise", "helpfile", "helpcontext"});
    }
    int DefaultMemberId() const override { return Number; }
    QString TypeName() const override { return QStringLiteral("ErrObject"); }

    TScriptValue Invoke(int Id, TScriptInvoke Kind, TScriptArgs Args) override
    {
        switch (Id) {
        case Number:
        case Description:
        case Source:
            if (Kind == TScriptInvoke::Put || Kind == TScriptInvoke::PutRef) {
                ScriptRequireArgs(Args, 1, 1);
                if (Id == Number)
                    m_runtime.ErrNumber = Args[0].ToLong();
                else
                    (Id == Description ? m_runtime.ErrDescription : m_runtime.ErrSource) = Args[0].ToString();
                return TScriptValue();
            }
            ScriptRequireArgs(Args, 0, 0);
            if (Id == Number)
                return TScriptValue::FromLong(m_runtime.ErrNumber);
            return TScriptValue(Id == Description ? m_runtime.ErrDescription : m_runtime.ErrSource);
        case Clear:
            ScriptRequireArgs(Args, 0, 0);
            m_runtime.ClearErr();
            return TScriptValue();
        case Raise: {
            ScriptRequireArgs(Args, 1, 5);
            if (Args[0].IsNull())
                throw TScriptError(ScriptErr::InvalidNull);
            const qint32 number = Args[0].ToLong();
            if (number == 0)
                throw TScriptError(ScriptErr::InvalidCall);
            const QString description = Args.size() > 2 && !Args[2].IsEmpty() ? Args[2].ToString() : QString();
            TScriptError error(number, description);
            if (Args.size() > 1 && !Args[1].IsEmpty())
                error.Source = Args[1].ToString();
            throw error;
        }
        default:
            ScriptRequireArgs(Args, 0, Kind == TScriptInvoke::Put ? 1 : 0);
            return Id == HelpContext ? TScriptValue::FromLong(0) : TScriptValue(QString());
        }
    }

private:
    TScriptRuntime &m_runtime;
};

} // namespace

struct TScriptEngine::TData
{
    TScriptHost *Host = nullptr;
    std::vector<std::pair<QString, std::shared_ptr<TScriptObject>>> Objects;
    std::atomic<bool> InterruptFlag{false};
    std::atomic<bool> Running{false};
    TScriptRuntime Runtime{InterruptFlag};
    std::shared_ptr<TScriptObject> Err;
    TScriptError Error{0};

    // The named objects are Err followed by the host's.
    int FindObject(const QString &Key) const
    {
        if (Key == QLatin1String("err"))
            return 0;
        for (std::size_t i = 0; i < Objects.size(); ++i)
            if (Objects[i].first == Key)
                return static_cast<int>(i) + 1;
        return -1;
    }

    // Parses and binds.
    std::unique_ptr<TProgram> Compile(const QString &Text)
    {
        try {
            std::unique_ptr<TProgram> program = ScriptParse(Text);
            ScriptBind(*program, [this](const QString &Key) { return FindObject(Key); });
            return program;
        } catch (const TScriptError &error) {
            Error = error;
            Error.Compile = true;
        } catch (const std::bad_alloc &) {
            Error = TScriptError(ScriptErr::OutOfMemory);
            Error.Compile = true;
        }
        return nullptr;
    }
};

TScriptEngine::TScriptEngine(TScriptHost *Host) : d(std::make_unique<TData>())
{
    d->Host = Host;
    d->Err = std::make_shared<TErrObject>(d->Runtime);
    d->Runtime.FindObject = [this](const QString &Key) { return d->FindObject(Key); };
}

TScriptEngine::~TScriptEngine() = default;

void TScriptEngine::SetHost(TScriptHost *Host)
{
    d->Host = Host;
}

void TScriptEngine::AddObject(const QString &Name, std::shared_ptr<TScriptObject> Object)
{
    const QString key = Name.toLower();
    for (auto &entry : d->Objects) {
        if (entry.first == key) {
            entry.second = std::move(Object);
            return;
        }
    }
    d->Objects.emplace_back(key, std::move(Object));
}

void TScriptEngine::RemoveObjects()
{
    d->Objects.clear();
}

void TScriptEngine::SetScriptFolder(const QString &Folder)
{
    d->Runtime.ScriptFolder = Folder;
}

bool TScriptEngine::Check(const QString &Text)
{
    return d->Compile(Text) != nullptr;
}

TScriptStatus TScriptEngine::Execute(const QString &Text)
{
    if (d->Running) {
        d->Error = TScriptError(ScriptErr::Internal);
        return TScriptStatus::Failed;
    }
    // Cleared before the run counts as started, so that an interrupt from
    // another thread once it has is never lost.
    d->InterruptFlag = false;
    d->Running = true;
    d->Error = TScriptError(0);
    TScriptStatus status = TScriptStatus::Failed;
    if (std::unique_ptr<TProgram> program = d->Compile(Text)) {
        TScriptRuntime &runtime = d->Runtime;
        runtime.Host = d->Host;
        runtime.Objects.clear();
        runtime.Objects.push_back(d->Err);
        for (const auto &entry : d->Objects)
            runtime.Objects.push_back(entry.second);
        status = runtime.Run(*program, d->Error);
        runtime.Objects.clear();
    }
    d->Running = false;
    return status;
}

const TScriptError &TScriptEngine::Error() const
{
    return d->Error;
}

void TScriptEngine::Interrupt()
{
    if (d->Running)
        d->InterruptFlag = true;
}

bool TScriptEngine::IsRunning() const
{
    return d->Running;
}

void TScriptEngine::SetTickInterval(int Statements)
{
    d->Runtime.TickInterval = std::max(1, Statements);
}

void TScriptEngine::SetStepLimit(quint64 Statements)
{
    d->Runtime.Limits.MaxSteps = Statements;
}

void TScriptEngine::SetStringLimit(qsizetype Characters)
{
    d->Runtime.Limits.MaxString = Characters;
}

void TScriptEngine::SetArrayLimit(qsizetype Elements)
{
    d->Runtime.Limits.MaxArray = Elements;
}

void TScriptEngine::SetStackLimit(std::size_t Bytes)
{
    d->Runtime.Limits.MaxStack = Bytes;
}
