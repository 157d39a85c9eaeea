#include "script/ScriptDate.h"

#include "script/ScriptValue.h"

#include <QDate>
#include <QList>

#include <cmath>

namespace ScriptDate {

namespace {

// Day numbers of the proleptic Gregorian calendar counted from 30 December
// 1899, valid for any year (the arithmetic of H. Hinnant's civil dates).
constexpr qint64 DayZeroFromEpoch = -25569; // 1899-12-30 counted from 1970-01-01

qint64 FloorDiv(qint64 A, qint64 B)
{
    return A / B - (A % B != 0 && (A < 0) != (B < 0));
}

qint64 CivilDays(qint64 Year, int Month, int Day)
{
    Year -= Month <= 2;
    const qint64 era = FloorDiv(Year, 400);
    const qint64 yearOfEra = Year - era * 400;
    const qint64 dayOfYear = (153 * (Month > 2 ? Month - 3 : Month + 9) + 2) / 5 + Day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 - DayZeroFromEpoch;
}

void CivilDate(qint64 Days, int &Year, int &Month, int &Day)
{
    const qint64 z = Days + DayZeroFromEpoch + 719468;
    const qint64 era = FloorDiv(z, 146097);
    const qint64 dayOfEra = z - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 mp = (5 * dayOfYear + 2) / 153;
    Day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    Month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    Year = static_cast<int>(yearOfEra + era * 400 + (Month <= 2));
}

const char *const MonthNames[12] = {"January", "February", "March", "April", "May", "June",
                                    "July", "August", "September", "October", "November", "December"};
const char *const DayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};

// The index of the name Word starts (at least three letters), or -1.
int NameIndex(const QString &Word, const char *const *Names, int Count)
{
    if (Word.size() < 3)
        return -1;
    for (int i = 0; i < Count; ++i)
        if (QLatin1String(Names[i]).startsWith(Word, Qt::CaseInsensitive))
            return i;
    return -1;
}


qint64 FullYear(qint64 Year, int Digits)
{
    if (Digits > 2)
        return Year;
    return Year < 30 ? 2000 + Year : 1900 + Year;
}

struct TToken
{
    enum Kind { Number, Word, Colon, Separator } kind = Number;
    qint64 value = 0;
    int digits = 0;
    QString word;
};

bool Tokens(const QString &Text, QList<TToken> &Out)
{
    for (qsizetype i = 0; i < Text.size();) {
        const QChar c = Text.at(i);
        TToken t;
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            ++i;
            continue;
        }
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            for (; i < Text.size() && Text.at(i) >= QLatin1Char('0') && Text.at(i) <= QLatin1Char('9'); ++i) {
                if (++t.digits > 9)
                    return false;
                t.value = t.value * 10 + (Text.at(i).unicode() - '0');
            }
        } else if (c.isLetter()) {
            t.kind = TToken::Word;
            for (; i < Text.size() && Text.at(i).isLetter(); ++i)
                t.word += Text.at(i);
        } else if (c == QLatin1Char(':')) {
            t.kind = TToken::Colon;
            ++i;
        } else if (c == QLatin1Char('/') || c == QLatin1Char('-') || c == QLatin1Char('.') || c == QLatin1Char(',')) {
            t.kind = TToken::Separator;
            ++i;
        } else {
            return false;
        }
        Out.append(t);
    }
    return true;
}

bool IsMeridian(const TToken &T, bool &Pm)
{
    if (T.kind != TToken::Word)
        return false;
    const QString w = T.word.toUpper();
    if (w != QLatin1String("AM") && w != QLatin1String("PM") && w != QLatin1String("A") && w != QLatin1String("P"))
        return false;
    Pm = w.startsWith(QLatin1Char('P'));
    return true;
}

} // namespace

TParts Split(double Serial)
{
    TParts p;
    qint64 days = static_cast<qint64>(std::trunc(Serial));
    qint64 seconds = std::llround(std::abs(Serial - static_cast<double>(days)) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += Serial < 0 ? -1 : 1;
    }
    p.Days = days;
    CivilDate(days, p.Year, p.Month, p.Day);
    p.Hour = static_cast<int>(seconds / 3600);
    p.Minute = static_cast<int>(seconds / 60 % 60);
    p.Second = static_cast<int>(seconds % 60);
    p.DayOfWeek = static_cast<int>(((days % 7) + 13) % 7) + 1;
    p.DayOfYear = static_cast<int>(days - CivilDays(p.Year, 1, 1)) + 1;
    return p;
}

qint64 Timeline(double Serial)
{
    const TParts p = Split(Serial);
    return p.Days * 86400 + p.Hour * 3600 + p.Minute * 60 + p.Second;
}

double FromTimeline(qint64 Seconds)
{
    const qint64 days = FloorDiv(Seconds, 86400);
    const double fraction = static_cast<double>(Seconds - days * 86400) / 86400.0;
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

qint64 DayNumber(qint64 Year, qint64 Month, qint64 Day)
{
    Year += FloorDiv(Month - 1, 12);
    Month = Month - 1 - FloorDiv(Month - 1, 12) * 12 + 1;
    return CivilDays(Year, static_cast<int>(Month), 1) + Day - 1;
}

bool InRange(double Serial)
{
    return Serial >= FirstSerial && Serial < EndSerial;
}

bool Parse(const QString &Text, double &Serial)
{
    QList<TToken> tokens;
    if (!Tokens(Text, tokens) || tokens.isEmpty())
        return false;
    QList<TToken> numbers; // of the date
    int month = 0;
    int hour = -1, minute = 0, second = 0;
    bool pm = false;
    bool meridian = false;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const TToken &t = tokens.at(i);
        const bool timeStart = t.kind == TToken::Number && hour < 0
            && ((i + 1 < tokens.size() && tokens.at(i + 1).kind == TToken::Colon)
                || (i + 1 < tokens.size() && IsMeridian(tokens.at(i + 1), pm)));
        if (timeStart) {
            hour = static_cast<int>(t.value);
            // h:mm[:ss]
            for (int part = 0; part < 2 && i + 2 < tokens.size() && tokens.at(i + 1).kind == TToken::Colon
                                && tokens.at(i + 2).kind == TToken::Number;
                 ++part, i += 2)
                (part == 0 ? minute : second) = static_cast<int>(tokens.at(i + 2).value);
            if (i + 1 < tokens.size() && IsMeridian(tokens.at(i + 1), pm)) {
                meridian = true;
                ++i;
            }
            if (i + 1 < tokens.size() && tokens.at(i + 1).kind == TToken::Colon)
                return false;
            continue;
        }
        switch (t.kind) {
        case TToken::Number:
            numbers.append(t);
            break;
        case TToken::Word:
            if (const int m = NameIndex(t.word, MonthNames, 12); m >= 0 && month == 0)
                month = m + 1;
            else if (NameIndex(t.word, DayNames, 7) < 0)
                return false;
            break;
        case TToken::Colon:
            return false;
        case TToken::Separator:
            break;
        }
    }
    if (numbers.size() > 3 || (month && numbers.size() > 2))
        return false;

    qint64 days = 0;
    if (month || !numbers.isEmpty()) {
        const int currentYear = QDate::currentDate().year();
        qint64 year = currentYear, day = 1;
        qint64 m = month;
        const auto isYear = [](const TToken &t) { return t.digits > 2 || t.value > 31; };
        if (month) {
            if (numbers.isEmpty())
                return false;
            if (numbers.size() == 1) {
                const TToken &n = numbers.at(0);
                if (isYear(n))
                    year = FullYear(n.value, n.digits);
                else
                    day = n.value;
            } else {
                const bool yearFirst = isYear(numbers.at(0));
                const TToken &y = numbers.at(yearFirst ? 0 : 1);
                day = numbers.at(yearFirst ? 1 : 0).value;
                year = FullYear(y.value, y.digits);
            }
        } else if (numbers.size() == 3) {
            if (isYear(numbers.at(0))) {
                year = FullYear(numbers.at(0).value, numbers.at(0).digits);
                m = numbers.at(1).value;
                day = numbers.at(2).value;
            } else {
                m = numbers.at(0).value;
                day = numbers.at(1).value;
                year = FullYear(numbers.at(2).value, numbers.at(2).digits);
            }
        } else if (numbers.size() == 2) {
            m = numbers.at(0).value;
            if (isYear(numbers.at(1)))
                year = FullYear(numbers.at(1).value, numbers.at(1).digits);
            else
                day = numbers.at(1).value;
        } else {
            return false;
        }
        // A day and month the wrong way round for the locale are taken as such.
        if (m > 12 && day <= 12 && !month)
            std::swap(m, day);
        if (m < 1 || m > 12 || day < 1 || year < 100 || year > 9999
            || day > DayNumber(year, m + 1, 1) - DayNumber(year, m, 1))
            return false;
        days = DayNumber(year, m, day);
    } else if (hour < 0) {
        return false;
    }

    qint64 seconds = 0;
    if (hour >= 0) {
        if (meridian) {
            if (hour > 12)
                return false;
            hour = hour % 12 + (pm ? 12 : 0);
        }
        if (hour > 23 || minute > 59 || second > 59)
            return false;
        seconds = hour * 3600 + minute * 60 + second;
    }
    Serial = FromTimeline(days * 86400 + seconds);
    return true;
}

QString MonthName(int Month, bool Abbreviated)
{
    const QString name = QLatin1String(MonthNames[(Month - 1) % 12]);
    return Abbreviated ? name.left(3) : name;
}

QString DayName(int DayOfWeek, bool Abbreviated)
{
    const QString name = QLatin1String(DayNames[(DayOfWeek - 1) % 7]);
    return Abbreviated ? name.left(3) : name;
}

QString Format(double Serial, int Form)
{
    const TParts p = Split(Serial);
    const QString date = QStringLiteral("%1/%2/%3").arg(p.Month).arg(p.Day).arg(p.Year);
    const int shown = p.Hour % 12 == 0 ? 12 : p.Hour % 12;
    const QString time = QStringLiteral("%1:%2:%3 %4")
                             .arg(shown)
                             .arg(p.Minute, 2, 10, QLatin1Char('0'))
                             .arg(p.Second, 2, 10, QLatin1Char('0'))
                             .arg(p.Hour < 12 ? QLatin1String("AM") : QLatin1String("PM"));
    switch (Form) {
    case 1:
        return QStringLiteral("%1, %2 %3, %4").arg(DayName(p.DayOfWeek, false), MonthName(p.Month, false)).arg(p.Day).arg(p.Year);
    case 2:
        return date;
    case 3:
        return time;
    case 4:
        return QStringLiteral("%1:%2").arg(p.Hour, 2, 10, QLatin1Char('0')).arg(p.Minute, 2, 10, QLatin1Char('0'));
    default: {
        const bool hasTime = p.Hour || p.Minute || p.Second;
        if (p.Days == 0)
            return time;
        return hasTime ? date + QLatin1Char(' ') + time : date;
    }
    }
}

} // namespace ScriptDate

QString ScriptText::FormatDate(double Serial)
{
    if (!ScriptDate::InRange(Serial))
        return FormatDouble(Serial);
    return ScriptDate::Format(Serial, 0);
}
