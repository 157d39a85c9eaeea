#pragma once

// What a program embedding the interpreter implements: objects that scripts
// reach by name (Zov.Frequency = 7050000), and the host's dialogs and
// periodic hook.

#include "script/ScriptValue.h"

#include <QString>

#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

using TScriptArgs = std::span<const TScriptValue>;

// How a script uses a member:
//   Get   its value is used: x = Obj.Prop, Obj.Func(1) in an expression;
//   Put   it is assigned: Obj.Prop = v (Args hold any indexes, then the value);
//   Call  a statement call whose value is dropped: Obj.Method 1, 2;
//   PutRef  it is assigned an object: Set Obj.Prop = o (Args as for Put).
// A property read as a statement (Obj.Prop alone) arrives as Call.
enum class TScriptInvoke { Get, Put, Call, PutRef };

// A named object added to the engine. Members are found by name once per
// place in the script and called by their number afterwards. A member raises
// a script error by throwing TScriptError (e.g. TScriptError(5) for a refused
// argument); any other exception becomes "Unspecified error".
class TScriptObject
{
public:
    virtual ~TScriptObject() = default;

    // The member's number for a name compared without regard to case, or -1
    // when the object has no such member (the script then gets "Object
    // doesn't support this property or method"). The same name must always
    // give the same number.
    virtual int MemberId(const QString &Name) const = 0;
    // The member used when the object itself is used as a value; -1 for none.
    virtual int DefaultMemberId() const { return -1; }
    virtual TScriptValue Invoke(int Id, TScriptInvoke Kind, TScriptArgs Args) = 0;
    // What TypeName shows for the object.
    virtual QString TypeName() const { return QStringLiteral("Object"); }
    // The values For Each visits, taken when the loop starts; false for an
    // object that is not a collection.
    virtual bool Enumerate(std::vector<TScriptValue> &Items) { Q_UNUSED(Items); return false; }
};

// The position of Name among Names, compared without regard to case; -1 when
// absent. A host's MemberId is usually this over its list of member names.
int ScriptMemberIndex(const QString &Name, std::initializer_list<const char *> Names);

// Raises "Wrong number of arguments or invalid property assignment" unless
// Args holds between Min and Max values.
void ScriptRequireArgs(TScriptArgs Args, qsizetype Min, qsizetype Max, const QString &Member = {});

// The button a message box with these Buttons (style plus vbDefaultButtonN)
// answers when its default button is taken: vbOK for vbOKOnly, vbYes for
// vbYesNo, vbNo for vbYesNo + vbDefaultButton2 ...
int ScriptMsgBoxDefaultButton(int Buttons);

// The program's side of a running script: the dialogs of MsgBox and InputBox
// and a hook called every few statements. A host without a window (the
// command-line runner, tests) answers them without one.
class TScriptHost
{
public:
    virtual ~TScriptHost() = default;

    // Shows Prompt with the buttons and icon of Buttons (vbOKOnly, vbYesNo...,
    // plus vbDefaultButton2...) under Title (empty when the script gave none)
    // and returns the button chosen (vbOK 1 ... vbNo 7).
    virtual int MsgBox(const QString &Prompt, int Buttons, const QString &Title) = 0;
    // The text entered, or nothing when cancelled (the script gets Empty).
    virtual std::optional<QString> InputBox(const QString &Prompt, const QString &Title,
                                            const QString &Default) = 0;
    // Called on the script's thread every TScriptEngine::SetTickInterval
    // statements: the place to keep a window responsive or to end a script
    // that ran too long (TScriptEngine::Interrupt).
    virtual void Tick() {}
};
