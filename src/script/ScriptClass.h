#pragma once

// The objects a script makes of its own classes (Set x = New C), and the
// references to procedures that GetRef gives.

#include "script/ScriptRuntime.h"

class TClassInstance : public TScriptOwned, public std::enable_shared_from_this<TClassInstance>
{
public:
    // A new object with its variables in place (Class_Initialize not run).
    static std::shared_ptr<TClassInstance> Make(TScriptRuntime &Runtime, std::shared_ptr<const TClass> Class);
    // Ownership of an object whose last owner let go of it, for its
    // Class_Terminate (or to free it at once when that is no longer due).
    static std::shared_ptr<TClassInstance> Adopt(TClassInstance *Object);

    const TClass &Type() const { return *m_class; }
    std::vector<TScriptValue> Fields;
    // Class_Terminate is due when the script lets go of the object: set
    // once Class_Initialize has run, cleared when Class_Terminate starts.
    bool TerminateDue = false;
    // The runtime while the run that made it goes on.
    TScriptRuntime *Runtime() const { return m_runtime; }

    // The public members by name; TScriptRuntime::InvokeInstance runs them.
    int MemberId(const QString &Name) const override;
    int DefaultMemberId() const override { return m_class->DefaultMember; }
    TScriptValue Invoke(int Id, TScriptInvoke Kind, TScriptArgs Args) override;
    QString TypeName() const override { return m_class->Name; }
    void Detach() override;

private:
    TClassInstance(TScriptRuntime &Runtime, std::shared_ptr<const TClass> Class);
    static void Release(TClassInstance *Object);

    TScriptRuntime *m_runtime;
    std::shared_ptr<const TClass> m_class;
};

// GetRef's object, and what a procedure ExecuteGlobal defines is to code
// compiled before: using it as a value calls the procedure.
class TProcReference : public TScriptOwned
{
public:
    TProcReference(TScriptRuntime &Runtime, const TProc &Proc) : m_runtime(&Runtime), m_proc(&Proc) {}

    int MemberId(const QString &) const override { return -1; }
    int DefaultMemberId() const override { return 0; }
    TScriptValue Invoke(int Id, TScriptInvoke Kind, TScriptArgs Args) override;
    void Detach() override { m_runtime = nullptr; }

private:
    TScriptRuntime *m_runtime;
    const TProc *m_proc;
};
