#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

// Field access for the TAB-separated lines of the data files.

// Returns the text before the first Separator and removes that text and the
// separator from Line. Without a separator the whole line is returned and Line
// is left empty.
QString CutField(QString &Line, QChar Separator);

// Field N (from 0) of Line: the text between the N-th and the (N+1)-th
// separator, or up to the end for the last field. Empty when N lies beyond the
// last field, and empty for every N when Line holds no separator at all.
QString GetField(const QString &Line, QChar Separator, int N);

// A kHz text with one thousands comma: "14000" -> "14,000". Texts of up to three
// characters are returned unchanged; only one comma is ever inserted.
QString GroupThousands(const QString &Text);

// The highest whole number of kHz whose hertz still fit a qint32.
constexpr qint32 MaxKhz = 2147483;

// Reads a whole number of kHz that can still be expressed in hertz as a qint32.
// Returns false for anything else (empty, not a number, out of range).
bool ReadKhz(const QString &Text, qint32 &Khz);

// A field text fit for a data-file entry: TABs, CRs and LFs become blanks, so
// that an edited entry stays one line with its fields in place.
QString SanitizeFieldText(const QString &Text);

// One entry line: each field made fit with SanitizeFieldText, then joined by
// TABs.
QString JoinEntryFields(const QStringList &Fields);
