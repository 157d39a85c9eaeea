// Statements and declarations. Declarations (Dim, Const, parameters, Sub and
// Function) are entered into their scope while parsing, as VBScript hoists
// them: a variable or procedure exists for its whole scope wherever in it it
// is declared. Classes are ScriptParseClass.cpp's.
#include "script/ScriptParserPrivate.h"

#include <atomic>

TScriptParser::TScriptParser(const QString &Text) : m_tokens(ScriptTokens(Text)) {}

bool TScriptParser::Accept(ETok Kind)
{
    if (!Is(Kind))
        return false;
    Take();
    return true;
}

bool TScriptParser::AcceptKw(EKw Keyword)
{
    if (!IsKw(Keyword))
        return false;
    Take();
    return true;
}

void TScriptParser::Expect(ETok Kind, int Error)
{
    if (!Accept(Kind))
        Fail(Error);
}

void TScriptParser::ExpectKw(EKw Keyword, int Error)
{
    if (!AcceptKw(Keyword))
        Fail(Error);
}

void TScriptParser::ExpectWord(const char *Word, int Error)
{
    if (!IsWord(Word))
        Fail(Error);
    Take();
}

const TToken &TScriptParser::ExpectName()
{
    if (!IsName())
        Fail(ScriptErr::ExpectedIdentifier);
    return Take();
}

void TScriptParser::Fail(int Number, const TToken &At) const
{
    TScriptError error(Number);
    error.Line = At.Line;
    error.Column = At.Column;
    error.Compile = true;
    throw error;
}

void TScriptParser::SkipSeparators()
{
    while (Is(ETok::NewLine) || Is(ETok::Colon))
        Take();
}

void TScriptParser::RequireStatementEnd()
{
    if (!AtStatementEnd())
        Fail(ScriptErr::ExpectedEndOfStatement);
}

void TScriptParser::ExpectEnd(EKw What, int Error)
{
    ExpectKw(EKw::End, ScriptErr::ExpectedEnd);
    ExpectKw(What, Error);
}

std::unique_ptr<TProgram> TScriptParser::Run()
{
    m_program = std::make_unique<TProgram>();
    m_scope = &m_program->Globals;
    SkipSeparators();
    if (IsKw(EKw::Option)) {
        Take();
        ExpectWord("explicit", ScriptErr::ExpectedIdentifier);
        m_program->Explicit = true;
        RequireStatementEnd();
    }
    for (;;) {
        SkipSeparators();
        if (Is(ETok::Eof))
            break;
        ParseTopLevel();
        RequireStatementEnd();
    }
    return std::move(m_program);
}

std::unique_ptr<TProgram> TScriptParser::RunExpression()
{
    m_program = std::make_unique<TProgram>();
    m_scope = &m_program->Globals;
    SkipSeparators();
    m_program->Expression = ParseExpression();
    SkipSeparators();
    if (!Is(ETok::Eof))
        Fail(ScriptErr::ExpectedEndOfStatement);
    return std::move(m_program);
}

void TScriptParser::ParseTopLevel()
{
    std::size_t ahead = 0;
    if (IsKw(EKw::Public) || IsKw(EKw::Private))
        ahead = 1;
    const TToken &t = Peek(ahead);
    if (t.Kind == ETok::Ident && (t.Keyword == EKw::Sub || t.Keyword == EKw::Function)) {
        m_pos += ahead;
        ParseProc(Take().Keyword == EKw::Function ? EProcKind::Function : EProcKind::Sub);
        return;
    }
    if (t.Kind == ETok::Ident && t.Keyword == EKw::Class && ahead == 0) {
        Take();
        ParseClass();
        return;
    }
    if (ahead == 1) {
        Take();
        if (IsKw(EKw::Const))
            ParseConst();
        else
            ParseDim();
        return;
    }
    m_program->Body.push_back(ParseStatement());
}

void TScriptParser::CheckFree(const QString &Key, const TToken &At) const
{
    if (m_scope->Declared(Key) || (m_scope == &m_program->Globals && m_program->ProcIndex.contains(Key)))
        Fail(ScriptErr::NameRedefined, At);
    if (m_proc && !m_proc->IsFunction)
        return;
    if (m_proc && Key == m_proc->Name.toLower())
        Fail(ScriptErr::NameRedefined, At);
}

void TScriptParser::ParseProc(EProcKind Kind, bool Public, bool Default)
{
    const TToken &name = ExpectName();
    const QString key = name.Text.toLower();
    if (!m_class && (m_program->ProcIndex.contains(key) || m_program->Globals.Declared(key)))
        Fail(ScriptErr::NameRedefined, name);
    auto proc = std::make_unique<TProc>();
    proc->Name = name.Text;
    proc->Kind = Kind;
    proc->IsFunction = Kind == EProcKind::Function || Kind == EProcKind::PropertyGet;
    proc->Line = name.Line;
    proc->Owner = m_class;
    TScope *const outer = m_scope;
    m_proc = proc.get();
    m_scope = &proc->Scope;
    m_doDepth = m_forDepth = 0;
    if (Accept(ETok::LParen) && !Accept(ETok::RParen)) {
        do {
            TParam param;
            if (AcceptKw(EKw::ByVal))
                param.ByRef = false;
            else
                AcceptKw(EKw::ByRef);
            const TToken &p = ExpectName();
            if (Accept(ETok::LParen))
                Expect(ETok::RParen, ScriptErr::ExpectedRParen);
            CheckFree(p.Text.toLower(), p);
            param.Name = p.Text;
            proc->Scope.Add(p.Text);
            proc->Params.push_back(param);
        } while (Accept(ETok::Comma));
        Expect(ETok::RParen, ScriptErr::ExpectedRParen);
    }
    if ((Kind == EProcKind::PropertyLet || Kind == EProcKind::PropertySet) && proc->Params.empty())
        Fail(ScriptErr::PropertyNeedsArgument, name);
    if (proc->IsFunction)
        proc->ResultSlot = proc->Scope.AddHidden(proc->Name);
    RequireStatementEnd();
    proc->Body = ParseBlock();
    switch (Kind) {
    case EProcKind::Sub: ExpectEnd(EKw::Sub, ScriptErr::ExpectedSub); break;
    case EProcKind::Function: ExpectEnd(EKw::Function, ScriptErr::ExpectedFunction); break;
    default: ExpectEnd(EKw::Property, ScriptErr::ExpectedProperty); break;
    }
    m_proc = nullptr;
    m_scope = outer;
    if (m_class) {
        AddClassMember(*m_class, std::move(proc), Public, Default, name);
        return;
    }
    m_program->ProcIndex.insert(key, proc.get());
    m_program->Procs.push_back(std::move(proc));
}

TBlock TScriptParser::ParseBlock()
{
    TNestingGuard guard(*this);
    TBlock block;
    for (;;) {
        SkipSeparators();
        if (Is(ETok::Eof))
            break;
        if (Is(ETok::Ident)) {
            const EKw k = Peek().Keyword;
            if (k == EKw::End || k == EKw::Else || k == EKw::ElseIf || k == EKw::Loop || k == EKw::Next
                || k == EKw::Wend || k == EKw::Case)
                break;
        }
        block.push_back(ParseStatement());
        RequireStatementEnd();
    }
    return block;
}

TStmtPtr TScriptParser::ParseStatement()
{
    const TToken &t = Peek();
    const int line = t.Line;
    if (t.Kind == ETok::Dot)
        return ParseAssignOrCall(line);
    if (t.Kind != ETok::Ident)
        Fail(ScriptErr::ExpectedStatement);
    switch (t.Keyword) {
    case EKw::None: return ParseAssignOrCall(line);
    case EKw::Dim: Take(); ParseDim(); break;
    case EKw::Const: Take(); ParseConst(); break;
    case EKw::ReDim: Take(); return ParseReDim(line);
    case EKw::Erase: Take(); return ParseErase(line);
    case EKw::If: Take(); return ParseIf(line);
    case EKw::Select: Take(); return ParseSelect(line);
    case EKw::For: Take(); return ParseFor(line);
    case EKw::Do: Take(); return ParseDo(line);
    case EKw::While: Take(); return ParseWhile(line);
    case EKw::Exit: Take(); return ParseExit(line);
    case EKw::Call: Take(); return ParseCall(line);
    case EKw::Set: Take(); return ParseSet(line);
    case EKw::On: Take(); return ParseOnError(line);
    case EKw::With: Take(); return ParseWith(line);
    case EKw::Me: return ParseAssignOrCall(line);
    case EKw::Stop: Take(); break;
    default: Fail(ScriptErr::ExpectedStatement);
    }
    return std::make_unique<TStmt>(EStmt::Nop, line);
}

void TScriptParser::DeclareVariable(const TToken &Name, std::vector<qint32> Upper, bool IsArray)
{
    CheckFree(Name.Text.toLower(), Name);
    const int slot = m_scope->Add(Name.Text);
    if (IsArray)
        m_scope->Arrays.push_back(TArrayDecl{slot, Name.Line, std::move(Upper)});
}

bool TScriptParser::ParseBounds(const TToken &Name, std::vector<qint32> &Upper)
{
    if (!Accept(ETok::LParen))
        return false;
    if (!Accept(ETok::RParen)) {
        do {
            if (!Is(ETok::Number) || !Peek().Value.IsWhole())
                Fail(ScriptErr::ExpectedInteger);
            Upper.push_back(Take().Value.WholeValue());
        } while (Accept(ETok::Comma));
        Expect(ETok::RParen, ScriptErr::ExpectedRParen);
    }
    if (Upper.size() > 60)
        Fail(ScriptErr::SubscriptOutOfRange, Name);
    return true;
}

void TScriptParser::ParseDim()
{
    do {
        const TToken &name = ExpectName();
        std::vector<qint32> upper;
        const bool isArray = ParseBounds(name, upper);
        DeclareVariable(name, std::move(upper), isArray);
    } while (Accept(ETok::Comma));
}

void TScriptParser::ParseConst()
{
    do {
        const TToken &name = ExpectName();
        Expect(ETok::Eq, ScriptErr::ExpectedEquals);
        bool negative = false;
        while (Is(ETok::Minus) || Is(ETok::Plus))
            negative ^= Take().Kind == ETok::Minus;
        const TToken &t = Peek();
        TScriptValue value;
        if (t.Kind == ETok::Number)
            value = negative ? ScriptOps::Negate(t.Value) : t.Value;
        else if (t.Kind == ETok::String && !negative)
            value = TScriptValue(t.Text);
        else if (t.Kind == ETok::Ident && !negative && (t.Keyword == EKw::True || t.Keyword == EKw::False))
            value = TScriptValue::FromBool(t.Keyword == EKw::True);
        else if (t.Kind == ETok::Ident && !negative && t.Keyword == EKw::Null)
            value = TScriptValue::MakeNull();
        else if (t.Kind != ETok::Ident || negative || t.Keyword != EKw::Empty)
            Fail(ScriptErr::ExpectedLiteral);
        Take();
        CheckFree(name.Text.toLower(), name);
        m_scope->Constants.insert(name.Text.toLower(), value);
    } while (Accept(ETok::Comma));
}

TStmtPtr TScriptParser::ParseReDim(int Line)
{
    auto s = std::make_unique<TReDimStmt>(EStmt::ReDim, Line);
    if (IsWord("preserve")) {
        Take();
        s->Preserve = true;
    }
    do {
        const TToken &name = ExpectName();
        TExprPtr target = MakeExpr(EExpr::Name, name);
        target->Name = name.Text;
        if (!Is(ETok::LParen))
            Fail(ScriptErr::ExpectedLParen);
        target->Args = ParseParenArgs();
        target->HasArgs = true;
        if (target->Args.empty() || target->Args.size() > 60)
            Fail(ScriptErr::ExpectedExpression);
        for (const auto &bound : target->Args)
            if (bound->Kind == EExpr::Missing)
                Fail(ScriptErr::ExpectedExpression);
        SetDepth(*target);
        s->Targets.push_back(std::move(target));
    } while (Accept(ETok::Comma));
    return s;
}

TStmtPtr TScriptParser::ParseErase(int Line)
{
    auto s = std::make_unique<TEraseStmt>(EStmt::Erase, Line);
    do {
        const TToken &name = ExpectName();
        TExprPtr target = MakeExpr(EExpr::Name, name);
        target->Name = name.Text;
        s->Targets.push_back(std::move(target));
    } while (Accept(ETok::Comma));
    return s;
}

TBlock TScriptParser::ParseLineStatements()
{
    // The statements of a one-line If: up to Else or the end of the line.
    TBlock block;
    for (;;) {
        if (Is(ETok::NewLine) || Is(ETok::Eof) || IsKw(EKw::Else))
            break;
        block.push_back(ParseStatement());
        if (!Accept(ETok::Colon))
            break;
    }
    return block;
}

TStmtPtr TScriptParser::ParseIf(int Line)
{
    auto s = std::make_unique<TIfStmt>(EStmt::If, Line);
    s->Conditions.push_back(ParseExpression());
    ExpectKw(EKw::Then, ScriptErr::ExpectedThen);
    if (!AtStatementEnd()) {
        TNestingGuard guard(*this);
        s->Blocks.push_back(ParseLineStatements());
        if (AcceptKw(EKw::Else))
            s->Else = ParseLineStatements();
        if (!Is(ETok::NewLine) && !Is(ETok::Eof))
            Fail(ScriptErr::ExpectedEndOfStatement);
        return s;
    }
    s->Blocks.push_back(ParseBlock());
    while (IsKw(EKw::ElseIf)) {
        Take();
        s->Conditions.push_back(ParseExpression());
        ExpectKw(EKw::Then, ScriptErr::ExpectedThen);
        s->Blocks.push_back(ParseBlock());
    }
    if (AcceptKw(EKw::Else))
        s->Else = ParseBlock();
    ExpectEnd(EKw::If, ScriptErr::ExpectedIf);
    return s;
}

TStmtPtr TScriptParser::ParseSelect(int Line)
{
    auto s = std::make_unique<TSelectStmt>(EStmt::Select, Line);
    ExpectKw(EKw::Case, ScriptErr::ExpectedCase);
    s->Test = ParseExpression();
    RequireStatementEnd();
    SkipSeparators();
    bool hasElse = false;
    while (IsKw(EKw::Case) && !hasElse) {
        Take();
        if (AcceptKw(EKw::Else)) {
            hasElse = true;
            s->Else = ParseBlock();
            break;
        }
        TCaseClause clause;
        do {
            TCaseItem item;
            if (AcceptKw(EKw::Is)) {
                item.Kind = TCaseItem::Relation;
                const TToken &op = Take();
                switch (op.Kind) {
                case ETok::Eq: item.Op = EOp::Eq; break;
                case ETok::Ne: item.Op = EOp::Ne; break;
                case ETok::Lt: item.Op = EOp::Lt; break;
                case ETok::Gt: item.Op = EOp::Gt; break;
                case ETok::Le: item.Op = EOp::Le; break;
                case ETok::Ge: item.Op = EOp::Ge; break;
                default: Fail(ScriptErr::SyntaxError, op);
                }
                item.A = ParseExpression();
            } else {
                item.A = ParseExpression();
                if (AcceptKw(EKw::To)) {
                    item.Kind = TCaseItem::Range;
                    item.B = ParseExpression();
                }
            }
            clause.Items.push_back(std::move(item));
        } while (Accept(ETok::Comma));
        clause.Body = ParseBlock();
        s->Cases.push_back(std::move(clause));
    }
    ExpectKw(EKw::End, IsKw(EKw::Case) ? ScriptErr::ExpectedEnd : ScriptErr::ExpectedCase);
    ExpectKw(EKw::Select, ScriptErr::ExpectedSelect);
    return s;
}

TStmtPtr TScriptParser::ParseFor(int Line)
{
    const bool each = AcceptKw(EKw::Each);
    if (!IsName())
        Fail(ScriptErr::ExpectedIdentifier);
    const TToken &name = Take();
    if (Is(ETok::LParen) || Is(ETok::Dot))
        Fail(ScriptErr::InvalidForVariable);
    TExprPtr variable = MakeExpr(EExpr::Name, name);
    variable->Name = name.Text;
    TStmtPtr result;
    TBlock *body = nullptr;
    if (each) {
        auto s = std::make_unique<TForEachStmt>(EStmt::ForEach, Line);
        ExpectKw(EKw::In, ScriptErr::ExpectedIn);
        s->Variable = std::move(variable);
        s->Group = ParseExpression();
        body = &s->Body;
        result = std::move(s);
    } else {
        auto s = std::make_unique<TForStmt>(EStmt::For, Line);
        Expect(ETok::Eq, ScriptErr::ExpectedEquals);
        s->Variable = std::move(variable);
        s->From = ParseExpression();
        ExpectKw(EKw::To, ScriptErr::ExpectedTo);
        s->To = ParseExpression();
        if (IsWord("step")) {
            Take();
            s->Step = ParseExpression();
        }
        body = &s->Body;
        result = std::move(s);
    }
    RequireStatementEnd();
    ++m_forDepth;
    *body = ParseBlock();
    --m_forDepth;
    ExpectKw(EKw::Next, ScriptErr::ExpectedNext);
    if (IsName()) {
        const TToken &again = Take();
        if (again.Text.compare(name.Text, Qt::CaseInsensitive) != 0)
            Fail(ScriptErr::InvalidForVariable, again);
    }
    return result;
}

TStmtPtr TScriptParser::ParseDo(int Line)
{
    auto s = std::make_unique<TDoStmt>(EStmt::Do, Line);
    if (IsKw(EKw::While) || IsKw(EKw::Until)) {
        s->Until = Take().Keyword == EKw::Until;
        s->Condition = ParseExpression();
    }
    if (!AtStatementEnd())
        Fail(ScriptErr::ExpectedWhileUntilEnd);
    ++m_doDepth;
    s->Body = ParseBlock();
    --m_doDepth;
    ExpectKw(EKw::Loop, ScriptErr::ExpectedLoop);
    if (IsKw(EKw::While) || IsKw(EKw::Until)) {
        if (s->Condition)
            Fail(ScriptErr::ExpectedEndOfStatement);
        s->Until = Take().Keyword == EKw::Until;
        s->Condition = ParseExpression();
        s->AtEnd = true;
    }
    return s;
}

TStmtPtr TScriptParser::ParseWhile(int Line)
{
    auto s = std::make_unique<TDoStmt>(EStmt::Do, Line);
    s->Condition = ParseExpression();
    RequireStatementEnd();
    s->Body = ParseBlock();
    ExpectKw(EKw::Wend, ScriptErr::ExpectedWend);
    return s;
}

TStmtPtr TScriptParser::ParseExit(int Line)
{
    auto s = std::make_unique<TExitStmt>(EStmt::Exit, Line);
    const TToken &what = Peek();
    bool valid = false;
    if (what.Kind == ETok::Ident) {
        switch (what.Keyword) {
        case EKw::Do: s->Flow = EFlow::ExitDo; valid = m_doDepth > 0; break;
        case EKw::For: s->Flow = EFlow::ExitFor; valid = m_forDepth > 0; break;
        case EKw::Sub: valid = m_proc && m_proc->Kind == EProcKind::Sub; break;
        case EKw::Function: valid = m_proc && m_proc->Kind == EProcKind::Function; break;
        case EKw::Property: valid = m_proc && m_proc->Kind >= EProcKind::PropertyGet; break;
        default: break;
        }
    }
    if (!valid)
        Fail(ScriptErr::InvalidExit);
    Take();
    return s;
}

TStmtPtr TScriptParser::ParseCall(int Line)
{
    auto s = std::make_unique<TAssignStmt>(EStmt::Call, Line);
    s->Value = ParseChain(static_cast<std::size_t>(-1), nullptr);
    return s;
}

TStmtPtr TScriptParser::ParseSet(int Line)
{
    auto s = std::make_unique<TAssignStmt>(EStmt::Set, Line);
    s->Target = ParseChain(static_cast<std::size_t>(-1), nullptr);
    Expect(ETok::Eq, ScriptErr::ExpectedEquals);
    s->Value = ParseExpression();
    return s;
}

TStmtPtr TScriptParser::ParseOnError(int Line)
{
    auto s = std::make_unique<TOnErrorStmt>(EStmt::OnError, Line);
    ExpectWord("error", ScriptErr::SyntaxError);
    if (IsWord("resume")) {
        Take();
        ExpectKw(EKw::Next, ScriptErr::SyntaxError);
        s->ResumeNext = true;
    } else {
        ExpectWord("goto", ScriptErr::SyntaxError);
        if (!Is(ETok::Number) || !Peek().Value.IsWhole() || Peek().Value.WholeValue() != 0)
            Fail(ScriptErr::SyntaxError);
        Take();
    }
    return s;
}

TStmtPtr TScriptParser::ParseWith(int Line)
{
    // Each With block has a variable of its own, named so that no script
    // name (and no other block's, not even in code Execute runs) meets it.
    static std::atomic<quint32> blocks{0};
    auto s = std::make_unique<TWithStmt>(EStmt::With, Line);
    s->Value = ParseExpression();
    RequireStatementEnd();
    const QString hidden = QStringLiteral(" with%1").arg(++blocks);
    m_scope->Add(hidden);
    s->Target = MakeExpr(EExpr::Name, Peek());
    s->Target->Name = hidden;
    m_with.push_back(hidden);
    s->Body = ParseBlock();
    m_with.pop_back();
    ExpectEnd(EKw::With, ScriptErr::ExpectedWith);
    return s;
}

TStmtPtr TScriptParser::ParseAssignOrCall(int Line)
{
    const std::size_t begin = m_pos;
    std::size_t lastParen = 0;
    TExprPtr target = ParseChain(static_cast<std::size_t>(-1), &lastParen);
    if (Accept(ETok::Eq)) {
        auto s = std::make_unique<TAssignStmt>(EStmt::Assign, Line);
        s->Target = std::move(target);
        s->Value = ParseExpression();
        return s;
    }
    auto s = std::make_unique<TAssignStmt>(EStmt::Call, Line);
    if (AtStatementEnd() || IsKw(EKw::Else)) {
        // Foo (x) passes x by value: the parentheses belong to the argument.
        if (lastParen != static_cast<std::size_t>(-1) && target->Args.size() == 1)
            target->Args.front()->Parenthesized = true;
        s->Value = std::move(target);
        return s;
    }
    // Arguments without parentheses follow; an argument list already read
    // was the first argument's parentheses: Foo (1) + 2, 3.
    if (lastParen != static_cast<std::size_t>(-1)) {
        m_pos = begin;
        target = ParseChain(lastParen, nullptr);
    }
    std::vector<TExprPtr> args = ParseBareArgs();
    if (target->HasArgs || (target->Kind != EExpr::Name && target->Kind != EExpr::Member)) {
        TExprPtr index = MakeExpr(EExpr::Index, Peek());
        index->Left = std::move(target);
        target = std::move(index);
    }
    target->HasArgs = true;
    target->Args = std::move(args);
    SetDepth(*target);
    s->Value = std::move(target);
    return s;
}

std::unique_ptr<TProgram> ScriptParse(const QString &Text)
{
    return TScriptParser(Text).Run();
}

std::unique_ptr<TProgram> ScriptParseExpression(const QString &Text)
{
    return TScriptParser(Text).RunExpression();
}
