#pragma once

// Numbers and sizes read back from the settings store. Every value there is
// text that an operator may have edited by hand (or an old version wrote), so
// each reader turns any text into a value within its documented bounds.

#include <QRect>
#include <QSize>
#include <QString>

// The whole number a setting's text holds (blanks around it allowed); the
// fallback when the text is empty, not a decimal number or beyond int.
int SettingTextToInt(const QString &text, int fallback);

// "LastFreq": the scale frequency of the last run in hertz. A stored value
// outside 100 kHz ... 500 MHz (or none at all) gives the first-run frequency,
// so that no start tunes the radio to nonsense.
constexpr qint32 DefaultLastFreq = 3550000;
constexpr qint32 LowestLastFreq = 100000;
constexpr qint32 HighestLastFreq = 500000000;
qint32 LastFreqFromSetting(const QString &text);

// The main window's stored "Left", "Top", "Width", "Height" (-1 width or
// height: the design size).
struct TStoredGeometry
{
    int Left = 0;
    int Top = 0;
    int Width = -1;
    int Height = -1;
};

// Where a restored window goes on a screen with the given work area. A top
// below -20 or beyond the work area's height - 100 becomes 200, a left below
// -20 or beyond its width - 100 becomes 100. The size stays between the
// minimum and the work area's size; a window that had to be cut to the work
// area starts at its edge, so that it lies wholly within it.
QRect RestoredWindowRect(const TStoredGeometry &stored, const QRect &workArea, const QSize &designSize,
                         const QSize &minimumSize);
