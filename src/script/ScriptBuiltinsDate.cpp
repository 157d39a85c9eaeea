// Dates and times: the clock (Now, Date, Time, Timer), the parts of a date,
// DateSerial and TimeSerial, DateAdd, DateDiff, DatePart, the names of days
// and months, CDate, IsDate, DateValue, TimeValue and FormatDateTime. The
// locale is the program's fixed one (ScriptDate.h).
#include "script/ScriptBuiltinsPrivate.h"
#include "script/ScriptDate.h"

#include <QDateTime>

#include <cmath>
#include <limits>

double ScriptSecondsSinceMidnight()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

namespace {

using namespace ScriptArg;
using ScriptDate::TParts;

TScriptValue Null() { return TScriptValue::MakeNull(); }

// A date argument: a Date, a number taken as a serial, or text read as a
// date (Type mismatch when it is none).
double DateOf(const TScriptValue &V)
{
    double serial = 0;
    switch (V.type()) {
    case TScriptValue::Null: Fail(ScriptErr::InvalidNull);
    case TScriptValue::String:
        if (!ScriptDate::Parse(V.StringValue(), serial))
            Fail(ScriptErr::TypeMismatch);
        return serial;
    case TScriptValue::Object: return DateOf(V.Resolved());
    default: serial = V.ToDouble(); break;
    }
    if (!ScriptDate::InRange(serial))
        Fail(ScriptErr::Overflow);
    return serial;
}

TScriptValue DateResult(double Serial)
{
    if (!ScriptDate::InRange(Serial))
        Fail(ScriptErr::InvalidCall);
    return TScriptValue::FromDate(Serial);
}

TScriptValue Small(qint64 Value) { return TScriptValue::FromInteger(static_cast<qint16>(Value)); }

qint64 FloorDiv(qint64 A, qint64 B) { return A / B - (A % B != 0 && (A < 0) != (B < 0)); }

int DayOfWeek(qint64 Days) { return static_cast<int>(((Days % 7) + 13) % 7) + 1; }

// vbSunday 1 ... vbSaturday 7; vbUseSystemDayOfWeek (0) is Sunday here.
int FirstDay(const TBuiltinCall &C, qsizetype Index)
{
    const qint32 day = Long(C, Index, 1);
    if (day < 0 || day > 7)
        Fail(ScriptErr::InvalidCall);
    return day == 0 ? 1 : day;
}

// vbFirstJan1 1, vbFirstFourDays 2, vbFirstFullWeek 3; vbUseSystem (0) is 1.
int FirstWeek(const TBuiltinCall &C, qsizetype Index)
{
    const qint32 week = Long(C, Index, 1);
    if (week < 0 || week > 3)
        Fail(ScriptErr::InvalidCall);
    return week == 0 ? 1 : week;
}

qint64 WeekStart(qint64 Days, int FirstDayOfWeek)
{
    return Days - (DayOfWeek(Days) - FirstDayOfWeek + 7) % 7;
}

int WeekOfYear(qint64 Days, int Year, int FirstDayOfWeek, int FirstWeekOfYear)
{
    const qint64 jan1 = ScriptDate::DayNumber(Year, 1, 1);
    qint64 first = WeekStart(jan1, FirstDayOfWeek);
    if ((FirstWeekOfYear == 2 && jan1 - first > 3) || (FirstWeekOfYear == 3 && first != jan1))
        first += 7;
    if (Days < first)
        return WeekOfYear(Days, Year - 1, FirstDayOfWeek, FirstWeekOfYear);
    return static_cast<int>((Days - first) / 7) + 1;
}

int Weekday(qint64 Days, int FirstDayOfWeek)
{
    return (DayOfWeek(Days) - FirstDayOfWeek + 7) % 7 + 1;
}

enum class EInterval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

EInterval Interval(const TScriptValue &V)
{
    static const char *const names[] = {"yyyy", "q", "m", "y", "d", "w", "ww", "h", "n", "s"};
    const int index = ScriptMemberIndex(Text(V), {names[0], names[1], names[2], names[3], names[4], names[5],
                                                  names[6], names[7], names[8], names[9]});
    if (index < 0)
        Fail(ScriptErr::InvalidCall);
    return static_cast<EInterval>(index);
}

TScriptValue Now(const TBuiltinCall &)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate day = now.date();
    const qint64 days = ScriptDate::DayNumber(day.year(), day.month(), day.day());
    return TScriptValue::FromDate(ScriptDate::FromTimeline(days * 86400 + now.time().msecsSinceStartOfDay() / 1000));
}

TScriptValue Date(const TBuiltinCall &)
{
    const QDate day = QDate::currentDate();
    return TScriptValue::FromDate(static_cast<double>(ScriptDate::DayNumber(day.year(), day.month(), day.day())));
}

TScriptValue Time(const TBuiltinCall &)
{
    return TScriptValue::FromDate(std::floor(ScriptSecondsSinceMidnight()) / 86400.0);
}

TScriptValue Timer(const TBuiltinCall &)
{
    return TScriptValue::FromDouble(ScriptSecondsSinceMidnight());
}

// Year ... Second of a date.
TScriptValue PartOf(const TBuiltinCall &C, int TParts::*Part)
{
    if (C[0].IsNull())
        return Null();
    return Small(ScriptDate::Split(DateOf(C[0])).*Part);
}

TScriptValue Year(const TBuiltinCall &C) { return PartOf(C, &TParts::Year); }
TScriptValue Month(const TBuiltinCall &C) { return PartOf(C, &TParts::Month); }
TScriptValue Day(const TBuiltinCall &C) { return PartOf(C, &TParts::Day); }
TScriptValue Hour(const TBuiltinCall &C) { return PartOf(C, &TParts::Hour); }
TScriptValue Minute(const TBuiltinCall &C) { return PartOf(C, &TParts::Minute); }
TScriptValue Second(const TBuiltinCall &C) { return PartOf(C, &TParts::Second); }

TScriptValue DateSerial(const TBuiltinCall &C)
{
    qint64 year = Long(C[0]);
    if (year >= 0 && year < 100)
        year += year < 30 ? 2000 : 1900;
    return DateResult(static_cast<double>(ScriptDate::DayNumber(year, Long(C[1]), Long(C[2]))));
}

TScriptValue TimeSerial(const TBuiltinCall &C)
{
    const qint64 seconds = qint64(Long(C[0])) * 3600 + qint64(Long(C[1])) * 60 + Long(C[2]);
    return DateResult(ScriptDate::FromTimeline(seconds));
}

TScriptValue DateAdd(const TBuiltinCall &C)
{
    const EInterval interval = Interval(C[0]);
    const double count = std::nearbyint(Number(C[1]));
    if (C[2].IsNull())
        return Null();
    const double serial = DateOf(C[2]);
    if (std::abs(count) > 1e12)
        Fail(ScriptErr::InvalidCall);
    const auto n = static_cast<qint64>(count);
    const qint64 time = ScriptDate::Timeline(serial);
    switch (interval) {
    case EInterval::Year:
    case EInterval::Quarter:
    case EInterval::Month: {
        // The day stays, or becomes the last of a shorter month.
        const TParts p = ScriptDate::Split(serial);
        const qint64 months = p.Year * 12LL + p.Month - 1 + n * (interval == EInterval::Year ? 12 : interval == EInterval::Quarter ? 3 : 1);
        const qint64 year = FloorDiv(months, 12);
        const int month = static_cast<int>(months - year * 12) + 1;
        const qint64 length = ScriptDate::DayNumber(year, month + 1, 1) - ScriptDate::DayNumber(year, month, 1);
        const qint64 days = ScriptDate::DayNumber(year, month, std::min<qint64>(p.Day, length));
        return DateResult(ScriptDate::FromTimeline(days * 86400 + (time - p.Days * 86400)));
    }
    case EInterval::Week: return DateResult(ScriptDate::FromTimeline(time + n * 7 * 86400));
    case EInterval::Hour: return DateResult(ScriptDate::FromTimeline(time + n * 3600));
    case EInterval::Minute: return DateResult(ScriptDate::FromTimeline(time + n * 60));
    case EInterval::Second: return DateResult(ScriptDate::FromTimeline(time + n));
    default: return DateResult(ScriptDate::FromTimeline(time + n * 86400));
    }
}

TScriptValue DateDiff(const TBuiltinCall &C)
{
    const EInterval interval = Interval(C[0]);
    const int firstDay = FirstDay(C, 3);
    FirstWeek(C, 4);
    if (C[1].IsNull() || C[2].IsNull())
        return Null();
    const double first = DateOf(C[1]);
    const double second = DateOf(C[2]);
    const TParts a = ScriptDate::Split(first);
    const TParts b = ScriptDate::Split(second);
    const qint64 from = ScriptDate::Timeline(first);
    const qint64 to = ScriptDate::Timeline(second);
    qint64 r = 0;
    switch (interval) {
    case EInterval::Year: r = b.Year - a.Year; break;
    case EInterval::Quarter: r = (b.Year * 4LL + (b.Month - 1) / 3) - (a.Year * 4LL + (a.Month - 1) / 3); break;
    case EInterval::Month: r = (b.Year * 12LL + b.Month) - (a.Year * 12LL + a.Month); break;
    // Whole weeks: how often date1's weekday comes, up to date2.
    case EInterval::Weekday: r = (b.Days - a.Days) / 7; break;
    // Calendar weeks: how many first days of a week come after date1, up to date2.
    case EInterval::Week: r = (WeekStart(b.Days, firstDay) - WeekStart(a.Days, firstDay)) / 7; break;
    case EInterval::Hour: r = FloorDiv(to, 3600) - FloorDiv(from, 3600); break;
    case EInterval::Minute: r = FloorDiv(to, 60) - FloorDiv(from, 60); break;
    case EInterval::Second: r = to - from; break;
    default: r = b.Days - a.Days; break;
    }
    if (r < std::numeric_limits<qint32>::min() || r > std::numeric_limits<qint32>::max())
        Fail(ScriptErr::Overflow);
    return TScriptValue::FromLong(static_cast<qint32>(r));
}

TScriptValue DatePart(const TBuiltinCall &C)
{
    const EInterval interval = Interval(C[0]);
    const int firstDay = FirstDay(C, 2);
    const int firstWeek = FirstWeek(C, 3);
    if (C[1].IsNull())
        return Null();
    const TParts p = ScriptDate::Split(DateOf(C[1]));
    switch (interval) {
    case EInterval::Year: return Small(p.Year);
    case EInterval::Quarter: return Small((p.Month - 1) / 3 + 1);
    case EInterval::Month: return Small(p.Month);
    case EInterval::DayOfYear: return Small(p.DayOfYear);
    case EInterval::Weekday: return Small(Weekday(p.Days, firstDay));
    case EInterval::Week: return Small(WeekOfYear(p.Days, p.Year, firstDay, firstWeek));
    case EInterval::Hour: return Small(p.Hour);
    case EInterval::Minute: return Small(p.Minute);
    case EInterval::Second: return Small(p.Second);
    default: return Small(p.Day);
    }
}

TScriptValue WeekdayOf(const TBuiltinCall &C)
{
    const int firstDay = FirstDay(C, 1);
    if (C[0].IsNull())
        return Null();
    return Small(Weekday(ScriptDate::Split(DateOf(C[0])).Days, firstDay));
}

TScriptValue WeekdayName(const TBuiltinCall &C)
{
    const qint32 day = Long(C[0]);
    const bool abbreviated = C.Given(1) && C[1].ToBool();
    const int firstDay = FirstDay(C, 2);
    if (day < 1 || day > 7)
        Fail(ScriptErr::InvalidCall);
    return TScriptValue(ScriptDate::DayName((day - 1 + firstDay - 1) % 7 + 1, abbreviated));
}

TScriptValue MonthName(const TBuiltinCall &C)
{
    const qint32 month = Long(C[0]);
    if (month < 1 || month > 12)
        Fail(ScriptErr::InvalidCall);
    return TScriptValue(ScriptDate::MonthName(month, C.Given(1) && C[1].ToBool()));
}

TScriptValue IsDate(const TBuiltinCall &C)
{
    const TScriptValue value = C[0].IsObject() && !C[0].IsNothing() ? C[0].Resolved() : C[0];
    double serial = 0;
    return TScriptValue::FromBool(value.type() == TScriptValue::Date
                                  || (value.IsString() && ScriptDate::Parse(value.StringValue(), serial)));
}

TScriptValue CDate(const TBuiltinCall &C) { return TScriptValue::FromDate(DateOf(C[0])); }

TScriptValue DateValue(const TBuiltinCall &C)
{
    if (C[0].IsNull())
        return Null();
    return TScriptValue::FromDate(static_cast<double>(ScriptDate::Split(DateOf(C[0])).Days));
}

TScriptValue TimeValue(const TBuiltinCall &C)
{
    if (C[0].IsNull())
        return Null();
    const TParts p = ScriptDate::Split(DateOf(C[0]));
    return TScriptValue::FromDate((p.Hour * 3600 + p.Minute * 60 + p.Second) / 86400.0);
}

TScriptValue FormatDateTime(const TBuiltinCall &C)
{
    const qint32 form = Long(C, 1, 0);
    if (form < 0 || form > 4)
        Fail(ScriptErr::InvalidCall);
    return TScriptValue(ScriptDate::Format(DateOf(C[0]), form));
}

const TBuiltin Dates[] = {
    {"now", 0, 0, Now},
    {"date", 0, 0, Date},
    {"time", 0, 0, Time},
    {"timer", 0, 0, Timer},
    {"year", 1, 1, Year},
    {"month", 1, 1, Month},
    {"day", 1, 1, Day},
    {"hour", 1, 1, Hour},
    {"minute", 1, 1, Minute},
    {"second", 1, 1, Second},
    {"dateserial", 3, 3, DateSerial},
    {"timeserial", 3, 3, TimeSerial},
    {"dateadd", 3, 3, DateAdd},
    {"datediff", 3, 5, DateDiff},
    {"datepart", 2, 4, DatePart},
    {"weekday", 1, 2, WeekdayOf},
    {"weekdayname", 1, 3, WeekdayName},
    {"monthname", 1, 2, MonthName},
    {"isdate", 1, 1, IsDate},
    {"cdate", 1, 1, CDate},
    {"datevalue", 1, 1, DateValue},
    {"timevalue", 1, 1, TimeValue},
    {"formatdatetime", 1, 2, FormatDateTime},
};

} // namespace

std::span<const TBuiltin> ScriptDateBuiltins()
{
    return Dates;
}
