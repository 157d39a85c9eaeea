#pragma once

// Text and rounding rules of the radio scale that need no widget: the marker
// store, the TCP server and the dialogs format frequencies the same way.

#include <QString>
#include <QtGlobal>

#include <functional>

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4). Values
// beyond the range of qint64 saturate; NaN gives 0.
qint64 RoundHalfEven(double value);

// Hertz as kilohertz with three decimals and one thousands comma:
// 3550000 -> "3,550.000", 1000 -> "1.000", 430000000 -> "430,000.000".
QString FormatFreqKhz(qint64 frequency);

// A ruler label: the value in the unit (divisor 1, 1000 or 1000000) without
// leading or trailing zeros; a long fraction keeps only its decimals
// (14.0125 MHz -> ".0125", 145.05 stays).
QString FormatScaleLabel(qint64 frequency, int unitDivisor);

// One shortening step of a band name: drops the last word (or the last
// character when there is no word break) and marks the cut with "...".
// Repeated calls always end in an empty text.
QString ShortenText(const QString &text);

// The text ShortenText makes of Text, step after step, until Width says it
// is at most MaxWidth wide or it is empty. Each step only cuts the end, so
// the widths fall from the first step on: a binary search over the steps
// measures O(log n) texts where measuring every step would cost O(n) of them.
QString FitShortenedText(const QString &text, int maxWidth, const std::function<int(const QString &)> &width);

// A CTCSS tone in tenths of hertz as shown to people: 885 -> "88.5".
QString FormatCtcssTone(int tenths);
