// Expressions, by VBScript's precedence from the loosest: Imp, Eqv, Xor, Or,
// And, Not, comparisons (= <> < > <= >= Is), &, + -, Mod, \, * /, unary
// minus, ^. Every binary operator groups from the left (2^3^2 is 64), and
// unary minus binds less tightly than ^ (-2^2 is -4).
#include "script/ScriptParserPrivate.h"

#include <algorithm>

namespace {

// Deeper expression trees are refused; the evaluator recurses once a level.
constexpr int MaxExpressionDepth = 1000;

enum Level { ImpLevel, EqvLevel, XorLevel, OrLevel, AndLevel, CompareLevel, ConcatLevel, AddLevel,
             ModLevel, IntDivLevel, MulLevel };

bool OperatorAt(const TToken &T, int Level, EOp &Op)
{
    const auto kw = [&](EKw Keyword) { return T.Kind == ETok::Ident && T.Keyword == Keyword; };
    switch (Level) {
    case ImpLevel: Op = EOp::Imp; return kw(EKw::Imp);
    case EqvLevel: Op = EOp::Eqv; return kw(EKw::Eqv);
    case XorLevel: Op = EOp::Xor; return kw(EKw::Xor);
    case OrLevel: Op = EOp::Or; return kw(EKw::Or);
    case AndLevel: Op = EOp::And; return kw(EKw::And);
    case CompareLevel:
        switch (T.Kind) {
        case ETok::Eq: Op = EOp::Eq; return true;
        case ETok::Ne: Op = EOp::Ne; return true;
        case ETok::Lt: Op = EOp::Lt; return true;
        case ETok::Gt: Op = EOp::Gt; return true;
        case ETok::Le: Op = EOp::Le; return true;
        case ETok::Ge: Op = EOp::Ge; return true;
        default: Op = EOp::Is; return kw(EKw::Is);
        }
    case ConcatLevel: Op = EOp::Concat; return T.Kind == ETok::Amp;
    case AddLevel:
        Op = T.Kind == ETok::Plus ? EOp::Add : EOp::Sub;
        return T.Kind == ETok::Plus || T.Kind == ETok::Minus;
    case ModLevel: Op = EOp::Mod; return kw(EKw::Mod);
    case IntDivLevel: Op = EOp::IntDiv; return T.Kind == ETok::Backslash;
    default:
        Op = T.Kind == ETok::Star ? EOp::Mul : EOp::Div;
        return T.Kind == ETok::Star || T.Kind == ETok::Slash;
    }
}

bool IsNumberLiteral(const TExpr &E)
{
    return E.Kind == EExpr::Literal && E.Hard && E.Value.type() != TScriptValue::String;
}

} // namespace

TExprPtr TScriptParser::MakeExpr(EExpr Kind, const TToken &At) const
{
    auto e = std::make_unique<TExpr>();
    e->Kind = Kind;
    e->Line = At.Line;
    return e;
}

void TScriptParser::SetDepth(TExpr &E) const
{
    int depth = 0;
    if (E.Left)
        depth = E.Left->Depth;
    if (E.Right)
        depth = std::max(depth, E.Right->Depth);
    for (const auto &arg : E.Args)
        depth = std::max(depth, arg->Depth);
    E.Depth = depth + 1;
    if (E.Depth > MaxExpressionDepth)
        Fail(ScriptErr::OutOfStack);
}

TExprPtr TScriptParser::MakeBinary(EOp Op, TExprPtr A, TExprPtr B, const TToken &At) const
{
    auto e = MakeExpr(EExpr::Binary, At);
    e->Op = Op;
    e->Left = std::move(A);
    e->Right = std::move(B);
    SetDepth(*e);
    return e;
}

TExprPtr TScriptParser::Negated(TExprPtr Operand, const TToken &At) const
{
    // -5 is one literal, so that it stays a hard number in comparisons.
    if (IsNumberLiteral(*Operand) && !Operand->Parenthesized) {
        Operand->Value = ScriptOps::Negate(Operand->Value);
        return Operand;
    }
    auto e = MakeExpr(EExpr::Unary, At);
    e->Op = EOp::Neg;
    e->Left = std::move(Operand);
    SetDepth(*e);
    return e;
}

TExprPtr TScriptParser::ParseExpression()
{
    TNestingGuard guard(*this);
    return ParseBinaryLevel(ImpLevel);
}

TExprPtr TScriptParser::ParseBinaryLevel(int Level)
{
    const auto operand = [&] {
        if (Level == AndLevel)
            return ParseNot();
        if (Level == MulLevel)
            return ParseUnary();
        return ParseBinaryLevel(Level + 1);
    };
    TExprPtr left = operand();
    EOp op;
    while (OperatorAt(Peek(), Level, op)) {
        const TToken &at = Take();
        left = MakeBinary(op, std::move(left), operand(), at);
    }
    return left;
}

TExprPtr TScriptParser::ParseNot()
{
    if (!IsKw(EKw::Not))
        return ParseBinaryLevel(CompareLevel);
    TNestingGuard guard(*this);
    const TToken &at = Take();
    auto e = MakeExpr(EExpr::Unary, at);
    e->Op = EOp::Not;
    e->Left = ParseNot();
    SetDepth(*e);
    return e;
}

TExprPtr TScriptParser::ParseUnary()
{
    if (Is(ETok::Minus) || Is(ETok::Plus)) {
        TNestingGuard guard(*this);
        const TToken &at = Take();
        TExprPtr operand = ParseUnary();
        return at.Kind == ETok::Minus ? Negated(std::move(operand), at) : std::move(operand);
    }
    return ParsePower();
}

TExprPtr TScriptParser::ParsePower()
{
    TExprPtr left = ParsePrimary();
    while (Is(ETok::Caret)) {
        const TToken &at = Take();
        left = MakeBinary(EOp::Pow, std::move(left), ParsePowerOperand(), at);
    }
    return left;
}

TExprPtr TScriptParser::ParsePowerOperand()
{
    // 2 ^ -1: a sign may start the exponent.
    if (Is(ETok::Minus) || Is(ETok::Plus)) {
        TNestingGuard guard(*this);
        const TToken &at = Take();
        TExprPtr operand = ParsePowerOperand();
        return at.Kind == ETok::Minus ? Negated(std::move(operand), at) : std::move(operand);
    }
    return ParsePrimary();
}

TExprPtr TScriptParser::ParsePrimary()
{
    const TToken &t = Peek();
    switch (t.Kind) {
    case ETok::Number: {
        auto e = MakeExpr(EExpr::Literal, Take());
        e->Value = t.Value;
        e->Hard = true;
        return e;
    }
    case ETok::String: {
        auto e = MakeExpr(EExpr::Literal, Take());
        e->Value = TScriptValue(t.Text);
        e->Hard = true;
        return e;
    }
    case ETok::LParen: {
        TNestingGuard guard(*this);
        Take();
        TExprPtr e = ParseExpression();
        Expect(ETok::RParen, ScriptErr::ExpectedRParen);
        e->Parenthesized = true;
        return e;
    }
    case ETok::Dot:
        return ParseChain(static_cast<std::size_t>(-1), nullptr);
    case ETok::Ident: {
        TScriptValue value;
        switch (t.Keyword) {
        case EKw::None:
        case EKw::Me:
            return ParseChain(static_cast<std::size_t>(-1), nullptr);
        case EKw::New: {
            auto e = MakeExpr(EExpr::New, Take());
            e->Name = ExpectName().Text;
            return e;
        }
        case EKw::True: value = TScriptValue::FromBool(true); break;
        case EKw::False: value = TScriptValue::FromBool(false); break;
        case EKw::Empty: break;
        case EKw::Null: value = TScriptValue::MakeNull(); break;
        case EKw::Nothing: value = TScriptValue::Nothing(); break;
        default: Fail(ScriptErr::ExpectedExpression);
        }
        auto e = MakeExpr(EExpr::Literal, Take());
        e->Value = std::move(value);
        return e;
    }
    default:
        Fail(ScriptErr::ExpectedExpression);
    }
}

TExprPtr TScriptParser::ParseChain(std::size_t StopAt, std::size_t *LastParen)
{
    // The head: a name, Me, or the object of the With around (.Name).
    TExprPtr e;
    if (IsKw(EKw::Me)) {
        e = MakeExpr(EExpr::Me, Take());
        e->Name = QStringLiteral("Me");
    } else if (Is(ETok::Dot)) {
        TExprPtr object = MakeExpr(m_with.empty() ? EExpr::Unqualified : EExpr::Name, Take());
        if (!m_with.empty())
            object->Name = m_with.back();
        if (!Is(ETok::Ident))
            Fail(ScriptErr::ExpectedIdentifier);
        const TToken &member = Take();
        e = MakeExpr(EExpr::Member, member);
        e->Name = member.Text;
        e->Left = std::move(object);
        SetDepth(*e);
    } else {
        const TToken &name = ExpectName();
        e = MakeExpr(EExpr::Name, name);
        e->Name = name.Text;
    }
    if (LastParen)
        *LastParen = static_cast<std::size_t>(-1);
    while (m_pos != StopAt) {
        // In a With block, " .Name" after a blank starts an argument.
        if (Is(ETok::Dot) && !(Peek().SpaceBefore && !m_with.empty())) {
            Take();
            if (!Is(ETok::Ident))
                Fail(ScriptErr::ExpectedIdentifier);
            const TToken &member = Take();
            TExprPtr m = MakeExpr(EExpr::Member, member);
            m->Name = member.Text;
            m->Left = std::move(e);
            SetDepth(*m);
            e = std::move(m);
            if (LastParen)
                *LastParen = static_cast<std::size_t>(-1);
        } else if (Is(ETok::LParen)) {
            const std::size_t at = m_pos;
            const TToken &paren = Peek();
            std::vector<TExprPtr> args = ParseParenArgs();
            if (e->HasArgs || (e->Kind != EExpr::Name && e->Kind != EExpr::Member)) {
                TExprPtr index = MakeExpr(EExpr::Index, paren);
                index->Left = std::move(e);
                e = std::move(index);
            }
            e->HasArgs = true;
            e->Args = std::move(args);
            SetDepth(*e);
            if (LastParen)
                *LastParen = at;
        } else {
            break;
        }
    }
    return e;
}

TExprPtr TScriptParser::ParseArgument()
{
    if (Is(ETok::Comma) || Is(ETok::RParen) || AtStatementEnd())
        return MakeExpr(EExpr::Missing, Peek());
    return ParseExpression();
}

std::vector<TExprPtr> TScriptParser::ParseParenArgs()
{
    TNestingGuard guard(*this);
    Expect(ETok::LParen, ScriptErr::ExpectedLParen);
    std::vector<TExprPtr> args;
    if (Accept(ETok::RParen))
        return args;
    do {
        args.push_back(ParseArgument());
    } while (Accept(ETok::Comma));
    Expect(ETok::RParen, ScriptErr::ExpectedRParen);
    return args;
}

std::vector<TExprPtr> TScriptParser::ParseBareArgs()
{
    std::vector<TExprPtr> args;
    do {
        args.push_back(ParseArgument());
    } while (Accept(ETok::Comma));
    return args;
}
