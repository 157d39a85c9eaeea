#include "script/ScriptSource.h"

#include <QStringDecoder>

namespace {

// 0x80 to 0x9F of Windows-1252; the five codes it leaves undefined map to
// the C1 control of the same value, so that every byte survives a round trip.
const char16_t HighCodes[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

QChar ScriptAnsiChar(int Code)
{
    if (Code >= 0x80 && Code < 0xA0)
        return QChar(HighCodes[Code - 0x80]);
    return QChar(static_cast<char16_t>(Code & 0xFF));
}

int ScriptAnsiCode(QChar Character)
{
    const char16_t c = Character.unicode();
    if (c < 0x80 || (c >= 0xA0 && c < 0x100))
        return c;
    for (int i = 0; i < 32; ++i)
        if (HighCodes[i] == c)
            return 0x80 + i;
    return '?';
}

QString DecodeScriptText(const QByteArray &Bytes)
{
    // The mark goes; a U+FEFF the text itself begins with stays.
    const auto decode = [&](QStringDecoder::Encoding Encoding, qsizetype Mark) -> QString {
        QStringDecoder decoder(Encoding, QStringDecoder::Flag::ConvertInitialBom);
        return decoder.decode(QByteArrayView(Bytes).sliced(Mark));
    };
    if (Bytes.startsWith("\xEF\xBB\xBF"))
        return decode(QStringDecoder::Utf8, 3);
    if (Bytes.startsWith("\xFF\xFE"))
        return decode(QStringDecoder::Utf16LE, 2);
    if (Bytes.startsWith("\xFE\xFF"))
        return decode(QStringDecoder::Utf16BE, 2);
    // Stateless: a sequence cut off by the end (a Windows-1252 file ending in
    // "é") is not UTF-8.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(Bytes);
    if (!utf8.hasError())
        return text;
    QString ansi;
    ansi.reserve(Bytes.size());
    for (const char byte : Bytes)
        ansi += ScriptAnsiChar(static_cast<unsigned char>(byte));
    return ansi;
}
