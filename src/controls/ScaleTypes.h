#pragma once

// Record types of the radio scale, shared with the band plan, mode segments,
// marker store, scanner and TCP server. Frequencies are hertz.

#include <QString>
#include <QtGlobal>

// A rectangle as the scale's layout keeps it: Right and Bottom are exclusive
// edges, and all-zero means "not laid out / not drawn".
struct TEdgeRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool isZero() const { return Left == 0 && Top == 0 && Right == 0 && Bottom == 0; }
};

// One band of the scale. LastFrequency and LastMode start as the band's initial
// values; the owner keeps them up to date as the operator works in the band.
struct TBand
{
    qint32 Low = 0;
    qint32 High = 0;
    qint32 LastFrequency = 0;
    QString Name;
    QString LastMode;
};

// One coloured mode segment of the mode strip. Color is blue-green-red.
struct TMode
{
    qint32 Low = 0;
    qint32 High = 0;
    QString Mode;
    quint32 Color = 0;
    QString Caption; // when empty the strip shows Mode
};

// One saved range of the zoom history.
struct TZoomStep
{
    qint32 ScaleBegin = 0;
    qint32 ScaleEnd = 0;
};

// One frequency marker. The marker store owns these objects; the scale's
// marker list only refers to them.
struct TFqMarker
{
    qint32 Frequency = 0;
    QString Caption;
    QString Mode;          // up to 255 characters
    TEdgeRect LayoutRect;      // unscrolled row coordinates; null when not laid out
    TEdgeRect HitRect;       // as drawn; bottom -1/+1 when the row is scrolled out above/below
    int Row = 0;
    bool Permanent = false;
    QString Attributes;    // group names, one per line, CR LF separated
    QString Remark;        // CR LF separated
    bool Highlighted = false;
    int RxCtcss = 0;       // tenths of Hz, 0 = none
    int TxCtcss = 0;
};
