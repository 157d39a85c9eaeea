#include "script/ScriptFile.h"

#include "script/ScriptSource.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QStringList>

namespace {

QString WithPlainLineEnds(QString Text)
{
    Text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return Text;
}

// The first line end of the text, or nothing when it has none.
QString FirstLineEnd(const QString &Text)
{
    for (qsizetype i = 0; i < Text.size(); ++i) {
        if (Text.at(i) == QLatin1Char('\n'))
            return QStringLiteral("\n");
        if (Text.at(i) == QLatin1Char('\r'))
            return i + 1 < Text.size() && Text.at(i + 1) == QLatin1Char('\n') ? QStringLiteral("\r\n")
                                                                             : QStringLiteral("\r");
    }
    return QString();
}

bool ValidUtf8(const QByteArray &Bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
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
    const QString lineEnd = FirstLineEnd(decoded);
    if (!lineEnd.isEmpty())
        file.lineEnd = lineEnd;
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
    QString withLineEnds = plain;
    if (lineEnd != QLatin1String("\n"))
        withLineEnds.replace(QLatin1Char('\n'), lineEnd);
    return Encode(withLineEnds, encoding);
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
