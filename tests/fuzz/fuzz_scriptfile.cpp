// A PROG key's script file as an operator's editor may have left it: any
// bytes give the editor a text with plain line ends, the unchanged text goes
// back as exactly the same bytes, an edited text (new, or the file's own
// lines moved about, which keep their line ends) as bytes that read back as
// it, and the key's hint has five lines at most of 80 characters.
#include "script/ScriptFile.h"

#include <QStringList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const TScriptFileText file = TScriptFileText::FromBytes(bytes);
    if (file.Text().contains(QLatin1Char('\r')))
        std::abort();
    if (file.BytesFor(file.Text()) != bytes)
        std::abort();
    // Text typed in the editor is plain Unicode: what is written reads back.
    const QString typed = QStringLiteral("x\n\u00E9\u20AC\u0416");
    if (TScriptFileText::FromBytes(file.BytesFor(typed)).Text() != typed)
        std::abort();
    QStringList lines = file.Text().split(QLatin1Char('\n'));
    lines.insert(lines.size() / 2, QString());
    lines.move(0, lines.size() - 1);
    const QString moved = lines.join(QLatin1Char('\n'));
    if (TScriptFileText::FromBytes(file.BytesFor(moved)).Text() != moved)
        std::abort();
    const QStringList hint = ScriptHint(bytes).split(QLatin1Char('\n'));
    if (hint.size() > 5)
        std::abort();
    for (const QString &line : hint)
        if (line.size() > 80)
            std::abort();
    return 0;
}
