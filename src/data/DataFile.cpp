#include "data/DataFile.h"

#include "base/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace {

// Characters of the bytes 0x80 to 0x9F in Windows-1252. The undefined bytes
// 0x81, 0x8D, 0x8F, 0x90 and 0x9D stand for the C1 control of the same value.
constexpr std::array<char16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}

bool isTrimmableAtEnd(QChar c)
{
    return isBlankOrControl(c) && c != QLatin1Char('\t');
}

bool isAnsiCharacter(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return true;
    return std::find(Cp1252High.begin(), Cp1252High.end(), c) != Cp1252High.end();
}

// Decodes Bytes as UTF-8; false when they are not valid UTF-8.
bool decodeUtf8(const QByteArray &Bytes, QString &Text)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    Text = decoder.decode(Bytes);
    return !decoder.hasError();
}

// A UTF-16 file may hold a surrogate without its partner; no encoding can
// write that back, so it becomes the replacement character right away.
QString withoutLoneSurrogates(QString Text)
{
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const QChar c = Text.at(i);
        if (c.isHighSurrogate() && i + 1 < Text.size() && Text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            Text[i] = QChar::ReplacementCharacter;
    }
    return Text;
}

bool hasHighBytes(const QByteArray &Bytes)
{
    return std::any_of(Bytes.begin(), Bytes.end(), [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
}

} // namespace

QString DataFileCommentLine()
{
    return QStringLiteral("; It is highly recommended that you don't edit this file.");
}

QString DecodeAnsi(const QByteArray &Bytes)
{
    QString text(Bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < Bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(Bytes.at(i));
        out[i] = (byte >= 0x80 && byte <= 0x9F) ? QChar(Cp1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

QByteArray EncodeAnsi(const QString &Text)
{
    QByteArray bytes(Text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const char16_t c = Text.at(i).unicode();
        char byte = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            byte = static_cast<char>(c);
        } else {
            for (std::size_t k = 0; k < Cp1252High.size(); ++k) {
                if (Cp1252High[k] == c) {
                    byte = static_cast<char>(0x80 + k);
                    break;
                }
            }
        }
        bytes[i] = byte;
    }
    return bytes;
}

QString DecodeDataFile(const QByteArray &Bytes)
{
    if (Bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(Bytes.mid(3));
    if (Bytes.startsWith("\xFF\xFE") || Bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringConverter::Utf16);
        QString text = decoder.decode(Bytes);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        return withoutLoneSurrogates(text);
    }
    QString text;
    if (hasHighBytes(Bytes) && decodeUtf8(Bytes, text))
        return text;
    return DecodeAnsi(Bytes);
}

bool FitsAnsi(const QString &Text)
{
    return std::all_of(Text.begin(), Text.end(), [](QChar c) { return isAnsiCharacter(c.unicode()); });
}

QByteArray EncodeDataFile(const QString &Text)
{
    if (FitsAnsi(Text)) {
        const QByteArray ansi = EncodeAnsi(Text);
        QString unused;
        if (!hasHighBytes(ansi) || !decodeUtf8(ansi, unused))
            return ansi;
    }
    return QByteArray("\xEF\xBB\xBF") + Text.toUtf8();
}

namespace {

QStringView trimmedLine(QStringView Line)
{
    qsizetype begin = 0;
    qsizetype end = Line.size();
    while (begin < end && isBlankOrControl(Line.at(begin)))
        ++begin;
    while (end > begin && isTrimmableAtEnd(Line.at(end - 1)))
        --end;
    return Line.mid(begin, end - begin);
}

} // namespace

QString TrimDataLine(const QString &Line)
{
    return trimmedLine(Line).toString();
}

QStringList ParseDataFileLines(const QByteArray &Bytes)
{
    const QString text = DecodeDataFile(Bytes);
    QStringList records;
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size) {
        qsizetype stop = start;
        while (stop < size && text.at(stop) != QLatin1Char('\r') && text.at(stop) != QLatin1Char('\n'))
            ++stop;
        const QStringView line = trimmedLine(QStringView(text).mid(start, stop - start));
        if (!line.isEmpty() && !line.startsWith(QLatin1Char(';')))
            records.append(line.toString());
        if (stop < size && text.at(stop) == QLatin1Char('\r') && stop + 1 < size && text.at(stop + 1) == QLatin1Char('\n'))
            ++stop;
        start = stop + 1;
    }
    return records;
}

QByteArray FormatDataFileLines(const QStringList &Lines)
{
    QString text = DataFileCommentLine();
    text.append(QLatin1String("\r\n"));
    for (const QString &line : Lines) {
        text.append(line);
        text.append(QLatin1String("\r\n"));
    }
    return EncodeDataFile(text);
}

QString ProgramFilePath(const QString &FileName)
{
    return ProgramFolder() + FileName;
}

QString DataFolderFilePath(const QString &FileName)
{
    return DataFolder() + FileName;
}

QString DataFileReadPath(const QString &FileName)
{
    const QString dataCopy = DataFolderFilePath(FileName);
    if (QFileInfo(dataCopy).isFile())
        return dataCopy;
    return ProgramFilePath(FileName);
}

bool DataFileExists(const QString &FileName)
{
    return QFileInfo(ProgramFilePath(FileName)).isFile() || QFileInfo(DataFolderFilePath(FileName)).isFile();
}

QString MissingDataFileMessage(const QString &FileName, const QString &SecondParagraph)
{
    return QStringLiteral("File \"") + ProgramFilePath(FileName) + QStringLiteral("\" is missing!\n\n") + SecondParagraph;
}

TDataFileRead ReadDataFile(const QString &FileName)
{
    TDataFileRead result;
    const QString path = DataFileReadPath(FileName);
    if (!QFileInfo(path).isFile())
        return result;
    result.Found = true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.Error = QStringLiteral("Cannot read \"") + path + QStringLiteral("\": ") + file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        result.Error = QStringLiteral("Cannot read \"") + path + QStringLiteral("\": ") + file.errorString();
    else
        result.Bytes = bytes;
    return result;
}

QString WriteWholeFile(const QString &Path, const QByteArray &Bytes)
{
    QSaveFile file(Path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // QSaveFile buffers: a write that fails while the buffer is flushed inside
    // commit() (disk full, file size limit) is not reported by commit() in
    // Qt 6.4, which then replaces the old file with a truncated one. Flushing
    // first makes such a failure visible while the old file is still intact.
    if (file.write(Bytes) != Bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

QString SaveDataFile(const QString &FileName, const QByteArray &Bytes)
{
    const QString programPath = ProgramFilePath(FileName);
    const QString dataPath = DataFolderFilePath(FileName);
    const QString programError = WriteWholeFile(programPath, Bytes);
    if (programError.isEmpty()) {
        if (!QFileInfo(dataPath).isFile())
            return QString();
        const QString copyError = WriteWholeFile(dataPath, Bytes);
        if (copyError.isEmpty())
            return QString();
        return QStringLiteral("Cannot save \"") + dataPath + QStringLiteral("\": ") + copyError
            + QStringLiteral("\n\nThe changes were saved to \"") + programPath
            + QStringLiteral("\", but the copy above is the one read at the next start.");
    }
    QString dataError;
    if (!QDir().mkpath(DataFolder()))
        dataError = QStringLiteral("the folder cannot be created");
    else
        dataError = WriteWholeFile(dataPath, Bytes);
    if (dataError.isEmpty())
        return QString();
    return QStringLiteral("Cannot save \"") + programPath + QStringLiteral("\": ") + programError
        + QStringLiteral("\nCannot save \"") + dataPath + QStringLiteral("\": ") + dataError
        + QStringLiteral("\n\nThe changes are kept only until the program ends.");
}
