#pragma once

// What a scan runs with, as the scan properties dialog derives it from its
// controls, and the rules that turn the dialog's texts into numbers.

#include <QString>
#include <QtGlobal>

// Scan kinds: the dialog's first page scans a range, the second the markers.
enum TScanKind : int { ScanKindNone = 0, ScanKindRange = 1, ScanKindMarkers = 2 };

// Items of the squelch box.
enum TWatchSquelch : int { WatchSquelchNone = 0, WatchSquelchPause = 1, WatchSquelchStop = 2 };

struct TScanSettings
{
    int Kind = ScanKindNone;
    qint32 RangeFrom = 0;
    qint32 RangeTo = 0;
    int Dwell = 0;         // milliseconds per step or marker
    int Step = 0;          // hertz, range scans
    QString ModeFilter;    // marker scans: empty scans every mode
    int WatchSquelch = WatchSquelchNone;
};

// Seconds as the dwell boxes show them ("0.25", "2", "120") in milliseconds,
// rounded; 0 for a text that is not a number.
int DwellFromText(const QString &seconds);

// The mode named between the first "(" and the first ")" after it: the mode
// item "Current only (CW)" filters CW; "Any", or nothing between the
// brackets, filters nothing.
QString ModeFilterFromItem(const QString &item);

