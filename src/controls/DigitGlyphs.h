#pragma once

// Window-free part of the seven-segment display: the glyph table, the
// translation between text and glyph codes (with leading-zero blanking and the
// decimal point), and the pixel geometry of a digit cell. The widget
// TDigiDisplay2 only paints what these functions compute.

#include <QByteArray>
#include <QChar>
#include <QRect>
#include <QString>

// Glyph codes: 0..9 are the digits, then the other displayable characters.
// A glyph text is a QByteArray holding one code per digit cell.
constexpr int GlyphCount = 20;
constexpr char GlyphBlank = 10;          // space; also every character without a glyph
constexpr char GlyphMinus = 11;

// The twenty displayable characters in code order.
QString displayableGlyphChars();

// Code of a character; characters without a glyph give GlyphBlank.
char glyphForChar(QChar c);
// Character of a code; unknown codes read back as a space.
QChar charForGlyph(char code);
bool glyphIsDigit(char code);

// Segments 1 top, 2 upper left, 3 upper right, 4 middle, 5 lower left,
// 6 lower right, 7 bottom (8 is the decimal point, not part of a glyph).
bool glyphSegmentOn(char code, int segment);

// What one text looks like on the cells.
struct DigitText
{
    QByteArray glyphs; // at least nrOfDigits codes; longer texts are kept whole
    int dotPos = -1;   // cell after which the point is lit, -1 none
};

// Blank leading zeros, pad to the cells, place the decimal point.
DigitText encodeDigitText(const QString &text, int nrOfDigits);
// Back to text: the point inserted after cell dotPos, spaces trimmed at both ends.
QString decodeDigitText(const QByteArray &glyphs, int dotPos);

// Layout of the cells for a control width. Coordinates of the segment box
// (L, T, R, B) are relative to the cell's top-left corner.
struct DigitCellLayout
{
    int cellWidth = 0; // distance from one cell to the next
    int boxWidth = 0;  // the drawn cell box, cellWidth minus the gap
    int boxHeight = 0;
    int L = 0, T = 0, R = 0, B = 0;

    QRect cellBox(int cell) const { return QRect(cell * cellWidth, 0, boxWidth, boxHeight); }
};

DigitCellLayout digitCellLayout(int width, int nrOfDigits, int digitDist);

// Pixels covered by segment 1..8 of a cell (relative to the cell), drawn as a
// 2-px line whose end point is excluded. Empty when the cell is too small.
QRect segmentPixels(const DigitCellLayout &layout, int segment);
