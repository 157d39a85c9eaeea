#include "controls/DigitGlyphs.h"

#include <algorithm>

namespace {

const char GlyphChars[GlyphCount + 1] = "0123456789 -EroCnLHi";

// One row per glyph code, segments 1..7 from left to right.
const char *const SegmentTable[GlyphCount] = {
    "1110111", // 0
    "0010010", // 1
    "1011101", // 2
    "1011011", // 3
    "0111010", // 4
    "1101011", // 5
    "1101111", // 6
    "1010010", // 7
    "1111111", // 8
    "1111011", // 9
    "0000000", // space
    "0001000", // -
    "1101101", // E
    "0001100", // r
    "0001111", // o
    "1100101", // C
    "0001110", // n
    "0100101", // L
    "0111110", // H
    "0000010", // i
};

// A line as the canvas draws it with a 2-px pen: the end point is excluded and
// the stroke covers the line's own row (or column) and the one before it.
QRect strokePixels(int x1, int y1, int x2, int y2)
{
    constexpr int penWidth = 2;
    if (y1 == y2) {
        if (x1 == x2)
            return {};
        const int from = x2 > x1 ? x1 : x2 + 1;
        const int to = x2 > x1 ? x2 - 1 : x1;
        return QRect(QPoint(from, y1 - penWidth / 2), QPoint(to, y1 - penWidth / 2 + penWidth - 1));
    }
    if (x1 == x2) {
        const int from = y2 > y1 ? y1 : y2 + 1;
        const int to = y2 > y1 ? y2 - 1 : y1;
        return QRect(QPoint(x1 - penWidth / 2, from), QPoint(x1 - penWidth / 2 + penWidth - 1, to));
    }
    return {};
}

} // namespace

QString displayableGlyphChars()
{
    return QString::fromLatin1(GlyphChars);
}

char glyphForChar(QChar c)
{
    for (int i = 0; i < GlyphCount; ++i) {
        if (c == QLatin1Char(GlyphChars[i]))
            return char(i);
    }
    return GlyphBlank;
}

QChar charForGlyph(char code)
{
    if (code < 0 || code >= GlyphCount)
        return QLatin1Char(' ');
    return QLatin1Char(GlyphChars[int(code)]);
}

bool glyphIsDigit(char code)
{
    return code >= 0 && code <= 9;
}

bool glyphSegmentOn(char code, int segment)
{
    if (code < 0 || code >= GlyphCount || segment < 1 || segment > 7)
        return false;
    return SegmentTable[int(code)][segment - 1] == '1';
}

DigitText encodeDigitText(const QString &text, int nrOfDigits)
{
    QString s = text;
    // Leading zeros go dark, but never the zero in front of the point and
    // never the last character, so "0.5" and "0" stay readable.
    for (int i = 0; i + 1 < s.size(); ++i) {
        const QChar c = s.at(i);
        if (!(c == u' ' || c == u'+' || c == u'-' || c == u'0') || s.at(i + 1) == u'.')
            break;
        if (c == u'0')
            s[i] = u' ';
    }

    DigitText result;
    const int dot = s.indexOf(u'.');
    if (dot < 0) {
        s = s.rightJustified(nrOfDigits, u' ');
        result.dotPos = -1;
    } else {
        s = s.rightJustified(nrOfDigits + 1, u' ');
        result.dotPos = s.indexOf(u'.') - 1;
        s.remove(result.dotPos + 1, 1);
    }
    result.glyphs.reserve(s.size());
    for (const QChar c : std::as_const(s))
        result.glyphs.append(glyphForChar(c));
    return result;
}

QString decodeDigitText(const QByteArray &glyphs, int dotPos)
{
    QString s;
    s.reserve(glyphs.size() + 1);
    for (const char code : glyphs)
        s.append(charForGlyph(code));
    if (dotPos >= 0)
        s.insert(std::min<qsizetype>(dotPos + 1, s.size()), u'.');
    return s.trimmed();
}

DigitCellLayout digitCellLayout(int width, int nrOfDigits, int digitDist)
{
    DigitCellLayout l;
    l.cellWidth = width / std::max(1, nrOfDigits);
    l.boxWidth = l.cellWidth - digitDist;
    l.boxHeight = (l.boxWidth * 10) / 7;
    const int m = l.cellWidth / 6 + 1;
    l.R = l.boxWidth - 1;
    l.B = (l.R * 10) / 7;
    l.L = m;
    l.T = m;
    l.R -= m;
    l.B -= m;
    return l;
}

QRect segmentPixels(const DigitCellLayout &g, int segment)
{
    const int h2 = (g.B - g.T) / 2;
    QRect r;
    switch (segment) {
    case 1: r = strokePixels(g.L, g.T, g.R - 2, g.T); break;
    case 2: r = strokePixels(g.L, g.T, g.L, g.T + h2 - 1); break;
    case 3: r = strokePixels(g.R, g.T, g.R, g.T + h2 - 1); break;
    case 4: r = strokePixels(g.L, g.T + h2, g.R - 2, g.T + h2); break;
    case 5: r = strokePixels(g.L, g.B, g.L, g.T + h2 + 1); break;
    case 6: r = strokePixels(g.R, g.B, g.R, g.T + h2 + 1); break;
    case 7: r = strokePixels(g.L, g.B + 1, g.R - 2, g.B + 1); break;
    case 8: r = strokePixels(g.R + 3, g.B + 1, g.R + 3, g.B - 1); break;
    default: break;
    }
    return r.isValid() ? r : QRect();
}
