#include "script/ScriptFile.h"

#include "script/ScriptSource.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

QString WithPlainLineEnds(QString Text)
{
    Text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return Text;
}

// The line end after each line of the text, the last line's empty.
QStringList LineEndsOf(const QString &Text)
{
    QStringList ends;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        if (Text.at(i) == QLatin1Char('\n')) {
            ends << QStringLiteral("\n");
        } else if (Text.at(i) == QLatin1Char('\r')) {
            const bool pair = i + 1 < Text.size() && Text.at(i + 1) == QLatin1Char('\n');
            ends << (pair ? QStringLiteral("\r\n") : QStringLiteral("\r"));
            i += pair ? 1 : 0;
        }
    }
    ends << QString();
    return ends;
}

// For each line of Now, the line of Old it is (the longest common run of
// lines, as a text comparison finds them), or -1 for a new or changed line.
std::vector<qsizetype> MatchLines(const QStringList &Old, const QStringList &Now)
{
    std::vector<qsizetype> match(static_cast<std::size_t>(Now.size()), -1);
    qsizetype head = 0;
    while (head < Old.size() && head < Now.size() && Old.at(head) == Now.at(head)) {
        match[static_cast<std::size_t>(head)] = head;
        ++head;
    }
    qsizetype tail = 0;
    while (tail < Old.size() - head && tail < Now.size() - head
           && Old.at(Old.size() - 1 - tail) == Now.at(Now.size() - 1 - tail)) {
        match[static_cast<std::size_t>(Now.size() - 1 - tail)] = Old.size() - 1 - tail;
        ++tail;
    }
    // The lines between: a table of common run lengths, when not too large.
    const qsizetype rows = Old.size() - head - tail;
    const qsizetype columns = Now.size() - head - tail;
    if (rows == 0 || columns == 0 || rows * columns > (qsizetype(1) << 22) || rows >= 65535 || columns >= 65535)
        return match;
    std::vector<quint16> common(static_cast<std::size_t>((rows + 1) * (columns + 1)), 0);
    const auto at = [&](qsizetype r, qsizetype c) -> quint16 & {
        return common[static_cast<std::size_t>(r * (columns + 1) + c)];
    };
    for (qsizetype r = rows - 1; r >= 0; --r)
        for (qsizetype c = columns - 1; c >= 0; --c)
            at(r, c) = Old.at(head + r) == Now.at(head + c) ? at(r + 1, c + 1) + 1 : std::max(at(r + 1, c), at(r, c + 1));
    for (qsizetype r = 0, c = 0; r < rows && c < columns;) {
        if (Old.at(head + r) == Now.at(head + c)) {
            match[static_cast<std::size_t>(head + c)] = head + r;
            ++r, ++c;
        } else if (at(r + 1, c) >= at(r, c + 1)) {
            ++r;
        } else {
            ++c;
        }
    }
    return match;
}

bool ValidUtf8(const QByteArray &Bytes)
{
    // Stateless: a sequence cut off by the end of the bytes is an error too.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(Bytes); // decode() only converts when its result is taken
    Q_UNUSED(text);
    return !decoder.hasError();
}

// Windows-1252 bytes of the text; false when a character has no code.
bool EncodeAnsi(const QString &Text, QByteArray &Bytes)
{
    Bytes.clear();
    Bytes.reserve(Text.size());
    for (const QChar c : Text) {
        const int code = ScriptAnsiCode(c);
        if (code == '?' && c != QLatin1Char('?'))
            return false;
        Bytes.append(static_cast<char>(code));
    }
    return true;
}

QByteArray Encode(const QString &Text, TScriptFileText::Encoding Encoding)
{
    using E = TScriptFileText::Encoding;
    switch (Encoding) {
    case E::Ansi: {
        QByteArray bytes;
        if (EncodeAnsi(Text, bytes))
            return bytes;
        return Text.toUtf8();
    }
    case E::Utf8Bom:
        return QByteArray("\xEF\xBB\xBF") + Text.toUtf8();
    case E::Utf16Le: {
        QStringEncoder encoder(QStringEncoder::Utf16LE);
        return QByteArray("\xFF\xFE") + QByteArray(encoder.encode(Text));
    }
    case E::Utf16Be: {
        QStringEncoder encoder(QStringEncoder::Utf16BE);
        return QByteArray("\xFE\xFF") + QByteArray(encoder.encode(Text));
    }
    case E::Utf8:
        break;
    }
    return Text.toUtf8();
}

} // namespace

QString NewScriptText()
{
    return QStringLiteral("' Write VBScript code here");
}

QString ScriptFileName(const QString &KeyCaption)
{
    QString name;
    for (const QChar c : KeyCaption)
        if (c.unicode() >= 33 && c.unicode() <= 175)
            name += c;
    return name + QStringLiteral(".vbs");
}

TScriptFileText TScriptFileText::FromBytes(const QByteArray &Bytes)
{
    TScriptFileText file;
    file.original = Bytes;
    file.existed = true;
    if (Bytes.startsWith("\xEF\xBB\xBF"))
        file.encoding = Encoding::Utf8Bom;
    else if (Bytes.startsWith("\xFF\xFE"))
        file.encoding = Encoding::Utf16Le;
    else if (Bytes.startsWith("\xFE\xFF"))
        file.encoding = Encoding::Utf16Be;
    else
        file.encoding = ValidUtf8(Bytes) ? Encoding::Utf8 : Encoding::Ansi;
    const QString decoded = DecodeScriptText(Bytes);
    file.lineEnds = LineEndsOf(decoded);
    if (!file.lineEnds.first().isEmpty())
        file.lineEnd = file.lineEnds.first();
    file.text = WithPlainLineEnds(decoded);
    return file;
}

TScriptFileText TScriptFileText::FromNewText(const QString &Text)
{
    TScriptFileText file;
    file.text = WithPlainLineEnds(Text);
    return file;
}

QByteArray TScriptFileText::BytesFor(const QString &Edited) const
{
    const QString plain = WithPlainLineEnds(Edited);
    if (existed && plain == text)
        return original;
    const QStringList lines = plain.split(QLatin1Char('\n'));
    const std::vector<qsizetype> match = MatchLines(text.split(QLatin1Char('\n')), lines);
    QString withLineEnds;
    withLineEnds.reserve(plain.size() + lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        withLineEnds += lines.at(i);
        if (i + 1 == lines.size())
            break;
        // A line that was the file's last has no end of its own yet.
        const qsizetype old = match[static_cast<std::size_t>(i)];
        const QString own = old >= 0 && old < lineEnds.size() ? lineEnds.at(old) : QString();
        QString end = own.isEmpty() ? lineEnd : own;
        // CR, then an empty line ending in LF, would read back as one CR LF.
        if (lines.at(i).isEmpty() && withLineEnds.endsWith(QLatin1Char('\r')) && end.startsWith(QLatin1Char('\n')))
            end = QStringLiteral("\r");
        withLineEnds += end;
    }
    // Bytes that would read back otherwise (Windows-1252 text that begins
    // like a byte-order mark does) are written as UTF-8 with its mark.
    const QByteArray bytes = Encode(withLineEnds, encoding);
    if (DecodeScriptText(bytes) == withLineEnds)
        return bytes;
    return QByteArray("\xEF\xBB\xBF") + withLineEnds.toUtf8();
}

QString ScriptHint(const QByteArray &Bytes)
{
    QStringList lines = WithPlainLineEnds(DecodeScriptText(Bytes)).split(QLatin1Char('\n'));
    // A line end closes its line; only text after the last one is a line more.
    if (lines.last().isEmpty())
        lines.removeLast();
    QStringList hint;
    for (qsizetype i = 0; i < lines.size() && i < 5; ++i) {
        const QString &line = lines.at(i);
        qsizetype first = 0;
        qsizetype last = line.size();
        while (first < last && line.at(first).unicode() <= ' ')
            ++first;
        while (last > first && line.at(last - 1).unicode() <= ' ')
            --last;
        hint << line.mid(first, last - first).left(80);
    }
    return hint.join(QLatin1Char('\n'));
}
