#pragma once

// The common rules of the operator's data files ("Bands.tsv", "Modes.tsv",
// "FqMarkers.tsv"): a comment line, then one TAB-separated record per line,
// CR LF line ends, Windows-1252 text without a byte-order mark as long as the
// text fits that code page, UTF-8 with a byte-order mark when it does not (no
// character is ever lost). A copy in the data folder wins over the one in the
// program folder; saving tries the program folder first and falls back to the
// data folder.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// "; It is highly recommended that you don't edit this file."
QString DataFileCommentLine();

// Windows-1252, the 8-bit code page the files are kept in. Every byte maps to
// a character and back, so a file read and written again keeps its bytes; the
// five bytes the code page leaves undefined map to the C1 controls of the same
// value. Characters the code page cannot hold are written as "?".
QString DecodeAnsi(const QByteArray &Bytes);
QByteArray EncodeAnsi(const QString &Text);

// Decodes a whole file: a file that starts with a UTF-8 or UTF-16 byte-order
// mark is decoded as that encoding and the mark dropped; a file that is valid
// UTF-8 (what editors on Linux write, without a mark) as UTF-8; anything else
// as Windows-1252.
QString DecodeDataFile(const QByteArray &Bytes);

// True when every character of Text has a Windows-1252 byte.
bool FitsAnsi(const QString &Text);

// Encodes a whole file: Windows-1252 when the text fits the code page, so
// that files of such text keep their bytes; UTF-8 with a byte-order mark when
// it does not, or when the 8-bit bytes would read back as UTF-8 (a decoder
// could not tell them apart).
QByteArray EncodeDataFile(const QString &Text);

// Trims blanks and control characters, TABs included, from the start of a
// line, and blanks and control characters but not TABs from its end: a TAB
// before the first field is stray white space, while the TABs of empty last
// fields keep the line's bytes as written. A line holding nothing but blanks,
// TABs and control characters trims to empty.
QString TrimDataLine(const QString &Line);

// The record lines of a file: every line (CR LF, LF or CR ends) trimmed, with
// empty lines and lines starting with ";" left out.
QStringList ParseDataFileLines(const QByteArray &Bytes);

// A whole file: the comment line and each record line, each ended by CR LF,
// encoded by EncodeDataFile.
QByteArray FormatDataFileLines(const QStringList &Lines);

// Full paths of FileName in the program folder and in the data folder.
QString ProgramFilePath(const QString &FileName);
QString DataFolderFilePath(const QString &FileName);

// The file that loading reads: the data-folder copy when it exists, else the
// one in the program folder (which may not exist either).
QString DataFileReadPath(const QString &FileName);

// The file exists in the program folder or in the data folder.
bool DataFileExists(const QString &FileName);

// "File \"<program folder path>\" is missing!\n\n" + SecondParagraph.
QString MissingDataFileMessage(const QString &FileName, const QString &SecondParagraph);

// Reads the file that loading uses. Found is false when it exists nowhere;
// Error is set when it exists but cannot be read. Bytes stays empty unless
// the whole file was read.
struct TDataFileRead
{
    bool Found = false;
    QByteArray Bytes;
    QString Error;
};
TDataFileRead ReadDataFile(const QString &FileName);

// Writes a whole file through QSaveFile: either the complete new content is in
// place afterwards or the old file is untouched. Returns an empty text on
// success, else the reason.
QString WriteWholeFile(const QString &Path, const QByteArray &Bytes);

// Saves Bytes as FileName: into the program folder, or, when that fails, into
// the data folder (created with its parents). When the program folder took
// the file but a data-folder copy exists, that copy is brought up to date too,
// since it is the one the next load reads. Returns an empty text on success,
// else a message for the operator naming what could not be written.
QString SaveDataFile(const QString &FileName, const QByteArray &Bytes);

// Moves Entries[Index] to its place in ascending order of KeyOf(entry),
// stepping past neighbours only while they are strictly out of order, so that
// entries with equal keys keep their order. Returns the entry's new index (an
// index outside the list is returned unchanged).
template <typename Entry, typename KeyOf>
int MoveIntoOrder(QList<Entry> &Entries, int Index, KeyOf keyOf)
{
    if (Index < 0 || Index >= Entries.size())
        return Index;
    const auto key = keyOf(Entries.at(Index));
    while (Index > 0 && keyOf(Entries.at(Index - 1)) > key) {
        Entries.swapItemsAt(Index - 1, Index);
        --Index;
    }
    while (Index < Entries.size() - 1 && keyOf(Entries.at(Index + 1)) < key) {
        Entries.swapItemsAt(Index, Index + 1);
        ++Index;
    }
    return Index;
}
