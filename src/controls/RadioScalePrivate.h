#pragma once

// Pieces of TRadioScale shared by its source files only.

#include "controls/RadioScale.h"

#include <QImage>

#include <algorithm>
#include <limits>

// A frequency worked out in 64 bits, saturated to what a qint32 holds.
inline qint32 SaturatedFrequency(qint64 value)
{
    return static_cast<qint32>(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(),
                                                  std::numeric_limits<qint32>::max()));
}

// The slide from one range to another: the old and the new picture stand one
// above the other in Work, 10 px apart, and a window of the control's height
// moves over them at about one pixel per millisecond.
struct TRadioScale::Animator
{
    QImage Work;
    int Direction = 0;  // +1 slides the new picture in from the top, -1 from the bottom
    qint64 T0 = 0;
    int Step = 1;       // pixels per frame, at least 1
    int Total = 0;      // pixels to travel
    int Offset = 0;     // top of the visible slice in Work
};
