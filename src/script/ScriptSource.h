#pragma once

// Script files as operators keep them: Windows editors save them in the ANSI
// code page (Windows-1252) or as UTF-16 with a byte-order mark, Linux editors
// as UTF-8. Chr and Asc work in the same code page.

#include <QByteArray>
#include <QChar>
#include <QString>

// The text of a script file: by its byte-order mark when it has one (UTF-8,
// UTF-16 LE or BE), else UTF-8 when the bytes are valid UTF-8, else
// Windows-1252.
QString DecodeScriptText(const QByteArray &Bytes);

// The character of a Windows-1252 code (0 to 255).
QChar ScriptAnsiChar(int Code);
// The Windows-1252 code of a character; '?' (63) for one the code page lacks.
int ScriptAnsiCode(QChar Character);
