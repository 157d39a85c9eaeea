#pragma once

// The recursive-descent parser shared by ScriptParser.cpp (statements and
// declarations) and ScriptParseExpr.cpp (expressions).

#include "script/ScriptAst.h"
#include "script/ScriptError.h"
#include "script/ScriptLexer.h"
#include "script/ScriptParser.h"

#include <cstddef>
#include <vector>

class TScriptParser
{
public:
    explicit TScriptParser(const QString &Text);
    std::unique_ptr<TProgram> Run();
    std::unique_ptr<TProgram> RunExpression();

    // --- tokens
    const TToken &Peek(std::size_t Ahead = 0) const
    {
        const std::size_t i = m_pos + Ahead;
        return i < m_tokens.size() ? m_tokens[i] : m_tokens.back();
    }
    bool Is(ETok Kind) const { return Peek().Kind == Kind; }
    bool IsKw(EKw Keyword) const { return Peek().Kind == ETok::Ident && Peek().Keyword == Keyword; }
    // A name that is not a reserved word.
    bool IsName() const { return Peek().Kind == ETok::Ident && Peek().Keyword == EKw::None; }
    bool IsWord(const char *Word) const { return IsName() && ScriptWordIs(Peek().Text, Word); }
    const TToken &Take() { return m_tokens[m_pos < m_tokens.size() - 1 ? m_pos++ : m_pos]; }
    bool Accept(ETok Kind);
    bool AcceptKw(EKw Keyword);
    void Expect(ETok Kind, int Error);
    void ExpectKw(EKw Keyword, int Error);
    void ExpectWord(const char *Word, int Error);
    const TToken &ExpectName();
    bool AtStatementEnd() const { return Is(ETok::NewLine) || Is(ETok::Colon) || Is(ETok::Eof); }
    [[noreturn]] void Fail(int Number) const { Fail(Number, Peek()); }
    [[noreturn]] void Fail(int Number, const TToken &At) const;

    // --- expressions (ScriptParseExpr.cpp)
    TExprPtr ParseExpression();
    // A name with its .member and (argument) suffixes; stops before the token
    // at StopAt. LastParen receives where the final argument list began.
    TExprPtr ParseChain(std::size_t StopAt, std::size_t *LastParen);
    std::vector<TExprPtr> ParseParenArgs();
    std::vector<TExprPtr> ParseBareArgs();
    TExprPtr MakeExpr(EExpr Kind, const TToken &At) const;
    void SetDepth(TExpr &E) const;

    // --- statements (ScriptParser.cpp)
    TBlock ParseBlock();
    TStmtPtr ParseStatement();

private:
    TExprPtr ParseImp();
    TExprPtr ParseBinaryLevel(int Level);
    TExprPtr ParseNot();
    TExprPtr ParseUnary();
    TExprPtr ParsePower();
    TExprPtr ParsePowerOperand();
    TExprPtr ParsePrimary();
    TExprPtr ParseArgument();
    TExprPtr MakeBinary(EOp Op, TExprPtr A, TExprPtr B, const TToken &At) const;
    TExprPtr Negated(TExprPtr Operand, const TToken &At) const;

    void ParseTopLevel();
    void ParseProc(EProcKind Kind, bool Public = true, bool Default = false);
    void ParseClass();
    void ParseClassMember(TClass &Class);
    void AddClassMember(TClass &Class, std::unique_ptr<TProc> Proc, bool Public, bool Default, const TToken &At);
    bool ParseBounds(const TToken &Name, std::vector<qint32> &Upper);
    void ParseDim();
    void ParseConst();
    TStmtPtr ParseReDim(int Line);
    TStmtPtr ParseErase(int Line);
    TStmtPtr ParseIf(int Line);
    TBlock ParseLineStatements();
    TStmtPtr ParseSelect(int Line);
    TStmtPtr ParseFor(int Line);
    TStmtPtr ParseDo(int Line);
    TStmtPtr ParseWhile(int Line);
    TStmtPtr ParseExit(int Line);
    TStmtPtr ParseCall(int Line);
    TStmtPtr ParseSet(int Line);
    TStmtPtr ParseOnError(int Line);
    TStmtPtr ParseWith(int Line);
    TStmtPtr ParseAssignOrCall(int Line);
    void ExpectEnd(EKw What, int Error);
    void RequireStatementEnd();
    void SkipSeparators();
    void DeclareVariable(const TToken &Name, std::vector<qint32> Upper, bool IsArray);
    void CheckFree(const QString &Key, const TToken &At) const;

    friend class TNestingGuard;

    std::vector<TToken> m_tokens;
    std::size_t m_pos = 0;
    std::unique_ptr<TProgram> m_program;
    TScope *m_scope = nullptr;
    TProc *m_proc = nullptr;
    TClass *m_class = nullptr;
    // The hidden variables of the With blocks around, innermost last.
    std::vector<QString> m_with;
    int m_nesting = 0;
    int m_doDepth = 0;
    int m_forDepth = 0;
};

// Counts one level of parser recursion; too many is Out of stack space.
class TNestingGuard
{
public:
    explicit TNestingGuard(TScriptParser &Parser) : m_parser(Parser)
    {
        if (++m_parser.m_nesting > ScriptMaxNesting)
            m_parser.Fail(ScriptErr::OutOfStack);
    }
    ~TNestingGuard() { --m_parser.m_nesting; }
    TNestingGuard(const TNestingGuard &) = delete;
    TNestingGuard &operator=(const TNestingGuard &) = delete;

private:
    TScriptParser &m_parser;
};
