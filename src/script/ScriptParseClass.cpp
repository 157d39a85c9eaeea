// Class ... End Class: variables (Public, Private, Dim), methods (Sub,
// Function) and properties (Property Get, Let, Set), one of them the
// default member, Class_Initialize and Class_Terminate.
#include "script/ScriptParserPrivate.h"

void TScriptParser::ParseClass()
{
    const TToken &name = ExpectName();
    const QString key = name.Text.toLower();
    if (m_program->Classes.contains(key))
        Fail(ScriptErr::NameRedefined, name);
    auto type = std::make_shared<TClass>();
    type->Name = name.Text;
    RequireStatementEnd();
    m_class = type.get();
    for (;;) {
        SkipSeparators();
        if (AcceptKw(EKw::End)) {
            ExpectKw(EKw::Class, ScriptErr::ExpectedClass);
            break;
        }
        if (Is(ETok::Eof))
            Fail(ScriptErr::ExpectedEnd);
        ParseClassMember(*type);
        RequireStatementEnd();
    }
    m_class = nullptr;
    m_program->Classes.insert(key, std::move(type));
}

void TScriptParser::ParseClassMember(TClass &Class)
{
    bool isPublic = true;
    bool scoped = true;
    bool isDefault = false;
    if (AcceptKw(EKw::Private)) {
        isPublic = false;
    } else if (AcceptKw(EKw::Public)) {
        if (IsWord("default")) {
            Take();
            isDefault = true;
        }
    } else {
        scoped = false;
    }
    if (AcceptKw(EKw::Sub) || AcceptKw(EKw::Function)) {
        ParseProc(m_tokens[m_pos - 1].Keyword == EKw::Function ? EProcKind::Function : EProcKind::Sub, isPublic, isDefault);
        return;
    }
    if (AcceptKw(EKw::Property)) {
        EProcKind kind = EProcKind::PropertyGet;
        if (AcceptKw(EKw::Let))
            kind = EProcKind::PropertyLet;
        else if (AcceptKw(EKw::Set))
            kind = EProcKind::PropertySet;
        else
            ExpectWord("get", ScriptErr::ExpectedLetSetGet);
        if (isDefault && kind != EProcKind::PropertyGet)
            Fail(ScriptErr::DefaultOnlyOnGet);
        ParseProc(kind, isPublic, isDefault);
        return;
    }
    if (isDefault)
        Fail(ScriptErr::DefaultPlacement);
    if (!scoped && !AcceptKw(EKw::Dim))
        Fail(ScriptErr::ExpectedStatement);
    do {
        const TToken &field = ExpectName();
        const QString key = field.Text.toLower();
        if (Class.MemberIndex.contains(key))
            Fail(ScriptErr::NameRedefined, field);
        std::vector<qint32> upper;
        const bool isArray = ParseBounds(field, upper);
        TClassMember member;
        member.Name = field.Text;
        member.Public = isPublic;
        member.Field = Class.FieldCount++;
        if (isArray)
            Class.FieldArrays.push_back(TArrayDecl{member.Field, field.Line, std::move(upper)});
        Class.MemberIndex.insert(key, static_cast<int>(Class.Members.size()));
        Class.Members.push_back(std::move(member));
    } while (Accept(ETok::Comma));
}

void TScriptParser::AddClassMember(TClass &Class, std::unique_ptr<TProc> Proc, bool Public, bool Default,
                                   const TToken &At)
{
    const QString key = Proc->Name.toLower();
    if (key == QLatin1String("class_initialize") || key == QLatin1String("class_terminate")) {
        if (Proc->Kind != EProcKind::Sub)
            Fail(ScriptErr::NameRedefined, At);
        if (!Proc->Params.empty())
            Fail(ScriptErr::InitializeArguments, At);
        (key.endsWith(QLatin1String("initialize")) ? Class.Initialize : Class.Terminate) = Proc.get();
    }
    int index = Class.MemberIndex.value(key, -1);
    if (index < 0) {
        index = static_cast<int>(Class.Members.size());
        Class.MemberIndex.insert(key, index);
        Class.Members.push_back(TClassMember{Proc->Name, Public});
    }
    TClassMember &member = Class.Members[static_cast<std::size_t>(index)];
    const bool isProperty = Proc->Kind >= EProcKind::PropertyGet;
    const TProc **slot = !isProperty ? &member.Method
        : Proc->Kind == EProcKind::PropertyGet ? &member.Get
        : Proc->Kind == EProcKind::PropertyLet ? &member.Let
                                                : &member.Set;
    // A name is a variable, a method, or a property with up to one
    // procedure of each kind.
    const bool taken = member.Field >= 0 || member.Method || (!isProperty && (member.Get || member.Let || member.Set));
    if (taken || *slot)
        Fail(ScriptErr::NameRedefined, At);
    *slot = Proc.get();
    member.Public = Public;
    if (Default) {
        if (Class.DefaultMember >= 0)
            Fail(ScriptErr::MultipleDefaults, At);
        Class.DefaultMember = index;
    }
    Class.Procs.push_back(std::move(Proc));
}
