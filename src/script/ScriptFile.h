#pragma once

// The script files of the PROG keys. Operators keep them with Windows or
// Linux editors, so a file may be Windows-1252, UTF-8 or UTF-16 text with
// CR LF, LF or CR line ends, even mixed. The editor shows the text with plain
// line breaks; writing it back keeps the file's bytes exactly when nothing
// was changed, and its character set and each unchanged line's own line end
// when something was.

#include <QByteArray>
#include <QString>
#include <QStringList>

// The text a key without a script file starts with.
QString NewScriptText();

// The key's caption with every character outside the codes 33 to 175
// removed, then ".vbs": "PROG 1" gives "PROG1.vbs".
QString ScriptFileName(const QString &KeyCaption);

class TScriptFileText
{
public:
    enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Ansi };

    // A file's bytes as read.
    static TScriptFileText FromBytes(const QByteArray &Bytes);
    // A file that does not exist yet (CR LF line ends, as Windows tools expect).
    static TScriptFileText FromNewText(const QString &Text);

    // The text with each line end (CR LF, LF or CR) as "\n".
    const QString &Text() const { return text; }
    Encoding FileEncoding() const { return encoding; }
    // The line end that new lines are written with: the file's first one.
    const QString &LineEnd() const { return lineEnd; }

    // The bytes that hold Edited: the file as read when Edited is its text;
    // otherwise the text in the file's character set (Windows-1252 text that
    // gained a character the code page lacks is written as UTF-8, so that
    // nothing typed is lost; text whose bytes would read back as another is
    // written as UTF-8 with a byte-order mark), each line the file had
    // unchanged with its own line end, other lines with LineEnd().
    QByteArray BytesFor(const QString &Edited) const;

private:
    QByteArray original;
    bool existed = false;
    QString text;
    // The file's line end after each line of Text() (none after the last).
    QStringList lineEnds;
    Encoding encoding = Encoding::Utf8;
    QString lineEnd = QStringLiteral("\r\n");
};

// The hint of a key whose script file holds Bytes: its first five lines at
// most, each without leading and trailing blanks and cut to 80 characters,
// joined by line breaks.
QString ScriptHint(const QByteArray &Bytes);
