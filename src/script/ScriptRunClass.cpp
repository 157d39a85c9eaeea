// The objects of the script's classes and their Class_Terminate, GetRef,
// code that Execute, ExecuteGlobal and Eval compile while the script runs,
// and the end of a run.
#include "script/ScriptClass.h"
#include "script/ScriptParser.h"

#include <algorithm>
#include <new>

namespace {

[[noreturn]] void Fail(int Number, const QString &Name = {})
{
    throw TScriptError(Number, {}, Name);
}

} // namespace

// --- objects of classes

TClassInstance::TClassInstance(TScriptRuntime &Runtime, std::shared_ptr<const TClass> Class)
    : m_runtime(&Runtime), m_class(std::move(Class))
{
    Fields.resize(static_cast<std::size_t>(m_class->FieldCount));
}

std::shared_ptr<TClassInstance> TClassInstance::Make(TScriptRuntime &Runtime, std::shared_ptr<const TClass> Class)
{
    std::shared_ptr<TClassInstance> object(new TClassInstance(Runtime, std::move(Class)), Release);
    Runtime.InitArrays(object->m_class->FieldArrays, nullptr, object->Fields.data());
    Runtime.Own(object);
    return object;
}

std::shared_ptr<TClassInstance> TClassInstance::Adopt(TClassInstance *Object)
{
    return std::shared_ptr<TClassInstance>(Object, Release);
}

void TClassInstance::Release(TClassInstance *Object)
{
    if (Object->TerminateDue && Object->m_runtime) {
        Object->m_runtime->QueueTerminate(Object);
        return;
    }
    ScriptDeferDelete(Object, [](void *p) { delete static_cast<TClassInstance *>(p); });
}

int TClassInstance::MemberId(const QString &Name) const
{
    const int index = m_class->MemberIndex.value(Name.toLower(), -1);
    return index >= 0 && m_class->Members[static_cast<std::size_t>(index)].Public ? index : -1;
}

TScriptValue TClassInstance::Invoke(int Id, TScriptInvoke Kind, TScriptArgs Args)
{
    if (!m_runtime)
        Fail(ScriptErr::ObjectNotSet);
    return m_runtime->InvokeInstance(*this, Id, Kind, Args);
}

void TClassInstance::Detach()
{
    m_runtime = nullptr;
    TerminateDue = false;
    std::vector<TScriptValue> fields;
    fields.swap(Fields);
}

TScriptValue TProcReference::Invoke(int, TScriptInvoke Kind, TScriptArgs Args)
{
    if (!m_runtime)
        Fail(ScriptErr::ObjectNotSet);
    if (Kind == TScriptInvoke::Put || Kind == TScriptInvoke::PutRef)
        Fail(ScriptErr::IllegalAssignment, m_proc->Name);
    return m_runtime->CallProcValues(*m_proc, Args, nullptr, m_proc->Name);
}

void TScriptRuntime::Own(const std::weak_ptr<TScriptOwned> &Object)
{
    if (m_owned.size() >= m_ownedCompacted) {
        std::erase_if(m_owned, [](const std::weak_ptr<TScriptOwned> &o) { return o.expired(); });
        m_ownedCompacted = std::max<std::size_t>(64, 2 * m_owned.size());
    }
    m_owned.push_back(Object);
}

TScriptValue TScriptRuntime::NewObject(const TExpr &E)
{
    const std::shared_ptr<const TClass> type = E.Class ? E.Class : NamedClass(E.Name.toLower());
    if (!type)
        Fail(ScriptErr::ClassNotDefined, E.Name);
    const std::shared_ptr<TClassInstance> object = TClassInstance::Make(*this, type);
    if (type->Initialize)
        CallProcValues(*type->Initialize, {}, object.get(), type->Initialize->Name);
    object->TerminateDue = type->Terminate != nullptr;
    return TScriptValue::FromObject(object);
}

void TScriptRuntime::QueueTerminate(TClassInstance *Object)
{
    if (m_ending) {
        Object->TerminateDue = false;
        TClassInstance::Adopt(Object);
        return;
    }
    m_terminating.push_back(Object);
    // Run at the next statement.
    if (m_countdown > 0) {
        m_chunk -= m_countdown;
        m_countdown = 0;
    }
}

void TScriptRuntime::RunTerminates()
{
    // A Class_Terminate's own statements do not start another round.
    if (m_draining)
        return;
    m_draining = true;
    struct TDone
    {
        bool &Draining;
        ~TDone() { Draining = false; }
    } done{m_draining};
    while (!m_terminating.empty()) {
        TClassInstance *object = m_terminating.back();
        m_terminating.pop_back();
        object->TerminateDue = false;
        const std::shared_ptr<TClassInstance> me = TClassInstance::Adopt(object);
        try {
            CallProcValues(*object->Type().Terminate, {}, me.get(), object->Type().Terminate->Name);
        } catch (const TScriptError &) {
            // Nobody is left to hear of an error while an object goes.
        }
    }
}

TScriptValue TScriptRuntime::InvokeInstance(TClassInstance &Object, int Member, TScriptInvoke Kind, TScriptArgs Args)
{
    // Whoever asks holds the object for the call.
    const TClassMember &member = Object.Type().Members[static_cast<std::size_t>(Member)];
    const bool put = Kind == TScriptInvoke::Put || Kind == TScriptInvoke::PutRef;
    if (member.Field >= 0) {
        TScriptValue &field = Object.Fields[static_cast<std::size_t>(member.Field)];
        TArgValues indexes;
        for (std::size_t i = 0; i + (put ? 1 : 0) < Args.size(); ++i)
            indexes.append(Args[i]);
        if (!put)
            return indexes.isEmpty() ? field : Index(field, member.Name, indexes);
        if (indexes.isEmpty()) {
            Store(field, TScriptValue(Args.back()));
        } else if (field.IsObject()) {
            indexes.append(Args.back());
            InvokeDefault(field, member.Name, TScriptInvoke::Put, indexes);
        } else {
            Store(Element(field, indexes, member.Name), TScriptValue(Args.back()));
        }
        return TScriptValue();
    }
    if (member.Method) {
        if (put)
            Fail(ScriptErr::IllegalAssignment, member.Name);
        return CallProcValues(*member.Method, Args, &Object, member.Name);
    }
    const TProc *proc = Kind == TScriptInvoke::PutRef ? member.Set : Kind == TScriptInvoke::Put ? member.Let : member.Get;
    if (!proc)
        Fail(ScriptErr::NoSuchMember, member.Name);
    return CallProcValues(*proc, Args, &Object, member.Name);
}

TScriptValue TScriptRuntime::MeProperty(const TExpr &E, TFrame &F, TScriptInvoke Kind, const TScriptValue *PutValue)
{
    TArgValues args;
    EvalArgs(E.Args, F, args);
    if (PutValue)
        args.append(*PutValue);
    return InvokeInstance(*F.Me, E.Slot, Kind, TScriptArgs(args.constData(), static_cast<std::size_t>(args.size())));
}

TScriptValue TScriptRuntime::ProcReference(const QString &Name)
{
    const QString key = Name.toLower();
    const TProc *proc = m_program->ProcIndex.value(key);
    if (!proc)
        proc = m_addedProcs.value(key);
    if (!proc)
        Fail(ScriptErr::InvalidCall);
    auto reference = std::make_shared<TProcReference>(*this, *proc);
    Own(reference);
    return TScriptValue::FromObject(std::move(reference));
}

// --- code compiled while running

TScriptValue *TScriptRuntime::NamedVariable(const QString &Key)
{
    return m_addedNames.value(Key);
}

TScriptValue *TScriptRuntime::NewVariable(const QString &Key, TFrame *Frame)
{
    QHash<QString, TScriptValue *> &names = Frame ? Frame->Extras->Names : m_addedNames;
    std::deque<TScriptValue> &storage = Frame ? Frame->Extras->Storage : m_addedStorage;
    if (TScriptValue *known = names.value(Key))
        return known;
    storage.emplace_back();
    names.insert(Key, &storage.back());
    return &storage.back();
}

const TProc *TScriptRuntime::NamedProc(const QString &Key) const
{
    return m_addedProcs.value(Key);
}

std::shared_ptr<const TClass> TScriptRuntime::NamedClass(const QString &Key) const
{
    if (const auto own = m_program->Classes.constFind(Key); own != m_program->Classes.cend())
        return own.value();
    return m_addedClasses.value(Key);
}

bool TScriptRuntime::NamedConstant(const QString &Key, TScriptValue &Value) const
{
    const auto found = m_addedConstants.constFind(Key);
    if (found == m_addedConstants.cend())
        return false;
    Value = found.value();
    return true;
}

TScriptValue &TScriptRuntime::Declared(const QString &Key, TFrame *Context)
{
    if (Context) {
        const TScope &scope = Context->Proc->Scope;
        if (const int slot = scope.Slots.value(Key, -1); slot >= 0)
            return *Context->Slots[slot];
        if (const int slot = scope.DynamicSlots.value(Key, -1); slot >= 0)
            return *Context->Slots[slot];
        return *NewVariable(Key, Context);
    }
    if (const int slot = m_program->Globals.Slots.value(Key, -1); slot >= 0) {
        m_exists[static_cast<std::size_t>(slot)] = 1;
        return m_globals[static_cast<std::size_t>(slot)];
    }
    return *NewVariable(Key, nullptr);
}

std::unique_ptr<TProgram> TScriptRuntime::Compile(const QString &Text, TFrame *Context, bool Expression)
{
    CheckStack();
    if (Context && !Context->Extras)
        Context->Extras = std::make_unique<TFrameExtras>();
    try {
        std::unique_ptr<TProgram> snippet = Expression ? ScriptParseExpression(Text) : ScriptParse(Text);
        // The text's own declarations become variables where it runs.
        const TScope &declared = snippet->Globals;
        std::vector<TScriptValue *> variables;
        for (const QString &name : declared.Names)
            variables.push_back(&Declared(name.toLower(), Context));
        InitArrays(declared.Arrays, variables.data(), nullptr);
        ScriptBindRunning(*snippet, *this, Context);
        return snippet;
    } catch (TScriptError &error) {
        // A syntax error in the text is a run-time error of the statement
        // that runs it.
        error.Line = 0;
        error.Column = 0;
        error.Compile = false;
        throw;
    }
}

void TScriptRuntime::Define(TProgram &Snippet, TFrame *Context)
{
    for (const auto &proc : Snippet.Procs) {
        const QString key = proc->Name.toLower();
        if (!Context)
            m_addedProcs.insert(key, proc.get());
        // Code compiled before reaches it through its name's variable.
        auto reference = std::make_shared<TProcReference>(*this, *proc);
        Own(reference);
        Declared(key, Context) = TScriptValue::FromObject(std::move(reference));
    }
    for (auto it = Snippet.Classes.cbegin(); it != Snippet.Classes.cend(); ++it)
        m_addedClasses.insert(it.key(), it.value());
    for (auto it = Snippet.Globals.Constants.cbegin(); it != Snippet.Globals.Constants.cend(); ++it) {
        if (Context)
            Declared(it.key(), Context) = it.value();
        else
            m_addedConstants.insert(it.key(), it.value());
    }
}

void TScriptRuntime::ExecuteText(const QString &Text, TFrame &F, bool Global)
{
    TFrame *context = Global || !F.Proc ? nullptr : &F;
    std::unique_ptr<TProgram> snippet = Compile(Text, context, false);
    TProgram &program = *snippet;
    Define(program, context);
    // Procedures and classes stay for the rest of the run.
    if (!program.Procs.empty() || !program.Classes.isEmpty())
        m_snippets.push_back(std::move(snippet));
    TFrame inner;
    if (context) {
        inner.Slots = F.Slots;
        inner.Proc = F.Proc;
        inner.Me = F.Me;
    }
    try {
        ExecBlock(program.Body, inner);
    } catch (TScriptError &error) {
        error.Line = 0;
        throw;
    }
}

TScriptValue TScriptRuntime::EvalText(const QString &Text, TFrame &F)
{
    TFrame *context = F.Proc ? &F : nullptr;
    const std::unique_ptr<TProgram> snippet = Compile(Text, context, true);
    TFrame inner;
    inner.Slots = F.Slots;
    inner.Proc = F.Proc;
    inner.Me = F.Me;
    try {
        return Eval(*snippet->Expression, inner);
    } catch (TScriptError &error) {
        error.Line = 0;
        throw;
    }
}

// --- the end of a run

void TScriptRuntime::EndRun(bool RunScript)
{
    if (RunScript) {
        // What the script still holds goes now, running Class_Terminate.
        try {
            // Each variable is Empty before what it held goes, in case a
            // Class_Terminate looks.
            const auto release = [](TScriptValue &variable) {
                const TScriptValue held = std::move(variable);
                variable = TScriptValue();
            };
            for (TScriptValue &global : m_globals)
                release(global);
            for (TScriptValue &added : m_addedStorage)
                release(added);
            RunTerminates();
        } catch (const TScriptStop &) {
        } catch (const std::bad_alloc &) {
        }
    }
    m_ending = true;
    for (const std::weak_ptr<TScriptOwned> &owned : m_owned)
        if (const std::shared_ptr<TScriptOwned> object = owned.lock())
            object->Detach();
    m_owned.clear();
    m_ownedCompacted = 64;
    for (TClassInstance *object : m_terminating) {
        object->TerminateDue = false;
        TClassInstance::Adopt(object);
    }
    m_terminating.clear();
    // Drop what the script held (objects, large arrays) right away.
    m_globals.clear();
    m_globals.shrink_to_fit();
    m_exists.clear();
    m_addedNames.clear();
    m_addedStorage.clear();
    m_addedProcs.clear();
    m_addedClasses.clear();
    m_addedConstants.clear();
    m_snippets.clear();
    m_program = nullptr;
    m_ending = false;
}
