#include "script/ScriptLexer.h"

#include "script/ScriptDate.h"
#include "script/ScriptError.h"

#include <QHash>

#include <charconv>
#include <cmath>

bool ScriptWordIs(const QString &Word, const char *Name)
{
    return Word.compare(QLatin1String(Name), Qt::CaseInsensitive) == 0;
}

namespace {

const QHash<QString, EKw> &Keywords()
{
    static const QHash<QString, EKw> table = {
        {"and", EKw::And}, {"byref", EKw::ByRef}, {"byval", EKw::ByVal}, {"call", EKw::Call},
        {"case", EKw::Case}, {"class", EKw::Class}, {"const", EKw::Const}, {"dim", EKw::Dim},
        {"do", EKw::Do}, {"each", EKw::Each}, {"else", EKw::Else}, {"elseif", EKw::ElseIf},
        {"empty", EKw::Empty}, {"end", EKw::End}, {"eqv", EKw::Eqv}, {"erase", EKw::Erase},
        {"exit", EKw::Exit}, {"false", EKw::False}, {"for", EKw::For}, {"function", EKw::Function},
        {"if", EKw::If}, {"imp", EKw::Imp}, {"in", EKw::In}, {"is", EKw::Is}, {"let", EKw::Let},
        {"loop", EKw::Loop}, {"me", EKw::Me}, {"mod", EKw::Mod}, {"new", EKw::New},
        {"next", EKw::Next}, {"not", EKw::Not}, {"nothing", EKw::Nothing}, {"null", EKw::Null},
        {"on", EKw::On}, {"option", EKw::Option}, {"or", EKw::Or}, {"private", EKw::Private},
        {"property", EKw::Property}, {"public", EKw::Public}, {"redim", EKw::ReDim},
        {"select", EKw::Select}, {"set", EKw::Set}, {"stop", EKw::Stop}, {"sub", EKw::Sub},
        {"then", EKw::Then}, {"to", EKw::To}, {"true", EKw::True}, {"until", EKw::Until},
        {"wend", EKw::Wend}, {"while", EKw::While}, {"with", EKw::With}, {"xor", EKw::Xor},
    };
    return table;
}

constexpr int MaxIdentifier = 255;

class TLexer
{
public:
    explicit TLexer(const QString &Text) : m_text(Text), m_size(Text.size()) {}

    std::vector<TToken> Run()
    {
        if (m_size > 0 && m_text.at(0) == QChar(0xFEFF))
            ++m_pos;
        while (m_pos < m_size)
            Next();
        TToken eof;
        eof.Kind = ETok::Eof;
        eof.Line = m_line;
        eof.Column = Column();
        m_tokens.push_back(std::move(eof));
        return std::move(m_tokens);
    }

private:
    QChar At(qsizetype Pos) const { return Pos < m_size ? m_text.at(Pos) : QChar(); }
    int Column() const { return static_cast<int>(m_pos - m_lineStart) + 1; }
    static bool IsLineEnd(QChar c) { return c == QLatin1Char('\n') || c == QLatin1Char('\r'); }
    static bool IsBlank(QChar c) { return c.isSpace() && !IsLineEnd(c); }
    static bool IsNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

    [[noreturn]] void Fail(int Number, int Column) const
    {
        TScriptError error(Number);
        error.Line = m_line;
        error.Column = Column;
        error.Compile = true;
        throw error;
    }

    TToken &Push(ETok Kind, int Column)
    {
        TToken token;
        token.Kind = Kind;
        token.Line = m_line;
        token.Column = Column;
        const qsizetype start = m_lineStart + Column - 1;
        token.SpaceBefore = start > 0 && IsBlank(m_text.at(start - 1));
        m_tokens.push_back(std::move(token));
        return m_tokens.back();
    }

    void SkipLineEnd()
    {
        if (m_text.at(m_pos) == QLatin1Char('\r') && At(m_pos + 1) == QLatin1Char('\n'))
            ++m_pos;
        ++m_pos;
        ++m_line;
        m_lineStart = m_pos;
    }

    void SkipComment()
    {
        while (m_pos < m_size && !IsLineEnd(m_text.at(m_pos)))
            ++m_pos;
    }

    void Next()
    {
        const QChar c = m_text.at(m_pos);
        const int column = Column();
        if (IsLineEnd(c)) {
            Push(ETok::NewLine, column);
            SkipLineEnd();
            return;
        }
        if (IsBlank(c)) {
            ++m_pos;
            return;
        }
        if (c == QLatin1Char('\'')) {
            SkipComment();
            return;
        }
        if (c == QLatin1Char('_')) {
            Continuation(column);
            return;
        }
        if (c.isLetter()) {
            Name(column);
            return;
        }
        if (c.isDigit() && c.unicode() < 128) {
            Number(column);
            return;
        }
        if (c == QLatin1Char('.') && At(m_pos + 1).isDigit() && At(m_pos + 1).unicode() < 128
            && (m_pos == 0 || !IsNameChar(m_text.at(m_pos - 1))) && (m_pos == 0 || m_text.at(m_pos - 1) != QLatin1Char(')'))) {
            Number(column);
            return;
        }
        if (c == QLatin1Char('"')) {
            String(column);
            return;
        }
        if (c == QLatin1Char('#')) {
            DateLiteral(column);
            return;
        }
        if (c == QLatin1Char('&')) {
            const QChar kind = At(m_pos + 1).toUpper();
            const QChar digit = At(m_pos + 2);
            const QChar lower = digit.toLower();
            const bool hexDigit = (digit >= QLatin1Char('0') && digit <= QLatin1Char('9'))
                || (lower >= QLatin1Char('a') && lower <= QLatin1Char('f'));
            if ((kind == QLatin1Char('H') && hexDigit)
                || (kind == QLatin1Char('O') && digit >= QLatin1Char('0') && digit <= QLatin1Char('7'))) {
                Radix(column, kind == QLatin1Char('H') ? 16 : 8);
                return;
            }
        }
        Operator(c, column);
    }

    void Continuation(int Column)
    {
        qsizetype p = m_pos + 1;
        while (p < m_size && IsBlank(m_text.at(p)))
            ++p;
        if (p < m_size && !IsLineEnd(m_text.at(p)))
            Fail(ScriptErr::InvalidCharacter, Column);
        m_pos = p;
        if (m_pos < m_size)
            SkipLineEnd();
    }

    void Name(int Column)
    {
        const qsizetype begin = m_pos;
        while (m_pos < m_size && IsNameChar(m_text.at(m_pos)))
            ++m_pos;
        if (m_pos - begin > MaxIdentifier)
            Fail(ScriptErr::IdentifierTooLong, Column);
        const QString word = m_text.mid(begin, m_pos - begin);
        const QString lower = word.toLower();
        if (lower == QLatin1String("rem")) {
            SkipComment();
            return;
        }
        TToken &token = Push(ETok::Ident, Column);
        token.Keyword = Keywords().value(lower, EKw::None);
        token.Text = word;
    }

    void Number(int Column)
    {
        const qsizetype begin = m_pos;
        bool real = false;
        const auto digits = [&] {
            while (m_pos < m_size && m_text.at(m_pos).unicode() < 128 && m_text.at(m_pos).isDigit())
                ++m_pos;
        };
        digits();
        if (At(m_pos) == QLatin1Char('.')) {
            real = true;
            ++m_pos;
            digits();
        }
        const QChar e = At(m_pos).toLower();
        if (e == QLatin1Char('e')) {
            real = true;
            ++m_pos;
            if (At(m_pos) == QLatin1Char('+') || At(m_pos) == QLatin1Char('-'))
                ++m_pos;
            const qsizetype expBegin = m_pos;
            digits();
            if (m_pos == expBegin)
                Fail(ScriptErr::InvalidNumber, Column);
        }
        const QByteArray ascii = m_text.mid(begin, m_pos - begin).toLatin1();
        TToken &token = Push(ETok::Number, Column);
        double value = 0;
        const auto result = std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), value);
        if (result.ec != std::errc() || !std::isfinite(value))
            Fail(ScriptErr::InvalidNumber, Column);
        // Whole literals are Integer or Long when they fit, as VBScript types them.
        if (!real && value <= 2147483647.0)
            token.Value = TScriptValue::FromWhole(static_cast<qint64>(value));
        else
            token.Value = TScriptValue::FromDouble(value);
    }

    void Radix(int Column, int Base)
    {
        m_pos += 2;
        quint64 whole = 0;
        for (; m_pos < m_size; ++m_pos) {
            const ushort c = m_text.at(m_pos).toLower().unicode();
            int digit = -1;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            if (digit < 0 || digit >= Base)
                break;
            whole = whole * Base + digit;
            if (whole > 0xFFFFFFFFu)
                Fail(ScriptErr::InvalidNumber, Column);
        }
        // A trailing & makes it a Long; otherwise four hex digits' worth is an
        // Integer (&HFFFF is -1) and more a Long (&HFFFFFFFF is -1 as well).
        bool isLong = whole > 0xFFFF;
        if (At(m_pos) == QLatin1Char('&')) {
            isLong = true;
            ++m_pos;
        }
        TToken &token = Push(ETok::Number, Column);
        token.Value = isLong ? TScriptValue::FromLong(static_cast<qint32>(static_cast<quint32>(whole)))
                             : TScriptValue::FromInteger(static_cast<qint16>(static_cast<quint16>(whole)));
    }

    void String(int Column)
    {
        ++m_pos;
        QString text;
        for (;;) {
            if (m_pos >= m_size || IsLineEnd(m_text.at(m_pos)))
                Fail(ScriptErr::UnterminatedString, Column);
            const QChar c = m_text.at(m_pos++);
            if (c == QLatin1Char('"')) {
                if (At(m_pos) != QLatin1Char('"'))
                    break;
                ++m_pos;
            }
            text += c;
        }
        Push(ETok::String, Column).Text = std::move(text);
    }

    // #1/15/2024#, #14:30#: a Date, read in the program's locale.
    void DateLiteral(int Column)
    {
        const qsizetype end = m_text.indexOf(QLatin1Char('#'), m_pos + 1);
        const qsizetype lineEnd = [&] {
            for (qsizetype p = m_pos + 1; p < m_size; ++p)
                if (IsLineEnd(m_text.at(p)))
                    return p;
            return m_size;
        }();
        if (end < 0 || end > lineEnd)
            Fail(ScriptErr::InvalidCharacter, Column);
        double serial = 0;
        if (!ScriptDate::Parse(m_text.mid(m_pos + 1, end - m_pos - 1), serial))
            Fail(ScriptErr::SyntaxError, Column);
        m_pos = end + 1;
        Push(ETok::Number, Column).Value = TScriptValue::FromDate(serial);
    }

    void Operator(QChar c, int Column)
    {
        ETok kind;
        qsizetype length = 1;
        switch (c.unicode()) {
        case ':': kind = ETok::Colon; break;
        case '+': kind = ETok::Plus; break;
        case '-': kind = ETok::Minus; break;
        case '*': kind = ETok::Star; break;
        case '/': kind = ETok::Slash; break;
        case '\\': kind = ETok::Backslash; break;
        case '^': kind = ETok::Caret; break;
        case '&': kind = ETok::Amp; break;
        case '=': kind = ETok::Eq; break;
        case '(': kind = ETok::LParen; break;
        case ')': kind = ETok::RParen; break;
        case ',': kind = ETok::Comma; break;
        case '.': kind = ETok::Dot; break;
        case '<':
            kind = ETok::Lt;
            if (At(m_pos + 1) == QLatin1Char('='))
                kind = ETok::Le, length = 2;
            else if (At(m_pos + 1) == QLatin1Char('>'))
                kind = ETok::Ne, length = 2;
            break;
        case '>':
            kind = ETok::Gt;
            if (At(m_pos + 1) == QLatin1Char('='))
                kind = ETok::Ge, length = 2;
            break;
        default:
            Fail(ScriptErr::InvalidCharacter, Column);
        }
        m_pos += length;
        Push(kind, Column);
    }

    const QString &m_text;
    const qsizetype m_size;
    qsizetype m_pos = 0;
    qsizetype m_lineStart = 0;
    int m_line = 1;
    std::vector<TToken> m_tokens;
};

} // namespace

std::vector<TToken> ScriptTokens(const QString &Text)
{
    return TLexer(Text).Run();
}
