#pragma once

// VBScript's dates: a serial counts days since 30 December 1899, its
// fraction the time of day (before that day the fraction still counts
// forward: -1.25 is 29 December 1899 06:00). Text is read and written in the
// program's fixed locale, which is US English: 1/15/2024, 2:30:00 PM,
// Monday, January 15, 2024.

#include <QString>

namespace ScriptDate {

// The first and the last day VBScript knows: 1 January 100, 31 December 9999.
constexpr double FirstSerial = -657434.0;
constexpr double EndSerial = 2958466.0;

struct TParts
{
    int Year = 1899, Month = 12, Day = 30;
    int Hour = 0, Minute = 0, Second = 0;
    qint64 Days = 0;      // the day's number
    int DayOfWeek = 7;    // 1 Sunday ... 7 Saturday
    int DayOfYear = 364;
};

// The parts of a serial, rounded to the second. The serial must be in range.
TParts Split(double Serial);
// Seconds since the start of day 0 on one straight time line, and back: the
// measure DateAdd and DateDiff count on.
qint64 Timeline(double Serial);
double FromTimeline(qint64 Seconds);
// The day's number of a date; the month may run over (13 is January of the
// next year) and so may the day (0 is the last day of the month before).
qint64 DayNumber(qint64 Year, qint64 Month, qint64 Day);
// Whether the serial is within FirstSerial .. EndSerial.
bool InRange(double Serial);

// A date, a time or both as text in the program's locale: "1/15/2024",
// "2024-01-15", "15-Jan-2024", "January 15, 2024", "14:30", "2:30 PM",
// "1/15/2024 2:30:00 PM". Two-digit years 0 to 29 are 2000 to 2029, 30 to
// 99 are 1930 to 1999; a date without a year is in the current year.
bool Parse(const QString &Text, double &Serial);

// English names: 1 January ... 12 December, 1 Sunday ... 7 Saturday.
QString MonthName(int Month, bool Abbreviated);
QString DayName(int DayOfWeek, bool Abbreviated);

// FormatDateTime's forms: 0 general (as CStr), 1 long date ("Monday,
// January 15, 2024"), 2 short date ("1/15/2024"), 3 long time ("2:30:00
// PM"), 4 short time ("14:30").
QString Format(double Serial, int Form);

} // namespace ScriptDate
