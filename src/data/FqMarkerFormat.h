#pragma once

// The text forms of a frequency marker: one line of "FqMarkers.tsv" (also a
// row of the marker list), the caption rule of the "Prefer uppercase"
// preference, the CTCSS tones the marker editor offers and the grouped
// frequency of the list rows.
//
// A file line has eight TAB-separated fields: frequency (Hz), caption, mode,
// permanent ("1"/"0"), attributes (lines joined by "-"), remark (lines joined
// by "~"), receive tone and transmit tone (tenths of a hertz, 0 = none).

#include "controls/ScaleTypes.h"

#include <QList>
#include <QString>
#include <QStringList>

// Reads a marker frequency field. A plain number is hertz; a number with a
// "." is megahertz with any number of decimals, read exactly (14.0745 is
// 14074500 Hz), fractions of a hertz rounded to the nearest. Blanks around
// the number are ignored. False for anything else: empty, signs, letters,
// negative values or more than a qint32 holds.
bool ReadMarkerFrequency(const QString &Text, qint32 &Frequency);
bool ReadMarkerFrequency(QStringView Text, qint32 &Frequency);

// Fills Marker from one file line; false (Marker partly filled) when the
// frequency is not readable. Missing fields are empty: mode "CW", permanent,
// no groups, no remark, no tones. The mode is cut to 255 characters; a tone
// that is not a whole number from 0 to 9999 is 0. Fields beyond the eighth
// are ignored.
bool ParseMarkerLine(const QString &Line, TFqMarker &Marker);

// The file line of a marker. TABs and line breaks inside a field become
// blanks, so that the line keeps its eight fields; empty attribute lines
// never give two "-" in a row; a "~" inside a remark line becomes a blank,
// since only a line break is written as "~".
QString FormatMarkerLine(const TFqMarker &Marker);

// The lines of an in-memory multi-line text (CR LF, also lone CR or LF).
QStringList MarkerTextLines(const QString &Text);

// A caption made only of digits and the letters a-z is upper-cased
// ("dl0abc" -> "DL0ABC"); any other caption stays as typed.
QString PreferUpperCase(const QString &Caption);

// The groups switched on when no list was ever stored.
QStringList DefaultVisibleGroups();

// The 38 CTCSS tones of the marker editor, in tenths of a hertz.
const QList<int> &CtcssTones();
// A tone's text: its digits with a "." before the last (885 -> "88.5").
QString CtcssText(int Tenths);

// Hertz as the marker list shows them: "." before the last three digits,
// then "," before the last seven characters (14074000 -> "14,074.000").
QString GroupMarkerFrequency(qint32 Frequency);
