#include "controls/RadioScaleFormat.h"

#include <cmath>
#include <limits>
#include <vector>

qint64 RoundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    // nearbyint follows the current rounding mode, which is round-to-nearest
    // (ties to even) unless someone changed it; nobody in this program does.
    const double r = std::nearbyint(value);
    constexpr double lo = static_cast<double>(std::numeric_limits<qint64>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<qint64>::max());
    if (r <= lo)
        return std::numeric_limits<qint64>::min();
    if (r >= hi)
        return std::numeric_limits<qint64>::max();
    return static_cast<qint64>(r);
}

QString FormatFreqKhz(qint64 frequency)
{
    QString s = QString::number(frequency);
    if (s.length() > 3)
        s.insert(s.length() - 3, QLatin1Char('.'));
    if (s.length() > 7)
        s.insert(s.length() - 7, QLatin1Char(','));
    return s;
}

QString FormatScaleLabel(qint64 frequency, int unitDivisor)
{
    if (unitDivisor == 0)
        unitDivisor = 1;
    QString s = QString::number(static_cast<double>(frequency) / unitDivisor, 'f', 5).trimmed();
    int lead = 0;
    while (lead < s.length() && s.at(lead) == QLatin1Char('0'))
        ++lead;
    s.remove(0, lead);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    const int dot = s.indexOf(QLatin1Char('.'));
    if (dot >= 0 && s.length() > 6)
        s = s.mid(dot);
    return s;
}

namespace {

bool IsWordBreak(QChar c)
{
    return c == QLatin1Char('\t') || c == QLatin1Char(' ') || c == QLatin1Char('-') || c == QLatin1Char('.');
}

// One shortening step on Text.mid(Begin, End - Begin), worked on positions
// instead of copies: trailing dots go (a "..." added by the step before lies
// beyond End and counts among them), the text is cut at its last word break
// or by one character, and blanks are trimmed. False when nothing but dots
// was left, which makes the empty text. BreaksLeft carries over from step to
// step: once a search found no word break, no shorter text has one.
bool ShortenStep(const QString &text, qsizetype &begin, qsizetype &end, bool &breaksLeft)
{
    while (end > begin && text.at(end - 1) == QLatin1Char('.'))
        --end;
    if (end == begin)
        return false;
    qsizetype cut = end - 1;
    while (breaksLeft && cut >= begin && !IsWordBreak(text.at(cut)))
        --cut;
    breaksLeft = breaksLeft && cut >= begin;
    end = breaksLeft ? cut : end - 1;
    while (begin < end && text.at(begin).isSpace())
        ++begin;
    while (end > begin && text.at(end - 1).isSpace())
        --end;
    return true;
}

} // namespace

QString ShortenText(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    bool breaksLeft = true;
    // What remains is always shorter than the name without its dots, so "..."
    // marks the cut, and "..." itself shortens to "": a shortening loop ends.
    if (!ShortenStep(text, begin, end, breaksLeft))
        return QString();
    return text.mid(begin, end - begin) + QStringLiteral("...");
}

QString FitShortenedText(const QString &text, int maxWidth, const std::function<int(const QString &)> &width)
{
    if (text.isEmpty() || width(text) <= maxWidth)
        return text;

    // Every step gives text.mid(begin, end - begin) + "..."; after the last
    // one comes the empty text.
    struct Step
    {
        qsizetype begin;
        qsizetype end;
    };
    std::vector<Step> steps;
    qsizetype begin = 0;
    qsizetype end = text.size();
    bool breaksLeft = true;
    while (ShortenStep(text, begin, end, breaksLeft))
        steps.push_back(Step{begin, end});
    auto stepText = [&](size_t i) {
        return text.mid(steps[i].begin, steps[i].end - steps[i].begin) + QStringLiteral("...");
    };

    // The first step that fits; the empty text after the last step always ends it.
    size_t lo = 0;
    size_t hi = steps.size();
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (width(stepText(mid)) <= maxWidth)
            hi = mid;
        else
            lo = mid + 1;
    }
    return lo < steps.size() ? stepText(lo) : QString();
}

QString FormatCtcssTone(int tenths)
{
    QString s = QString::number(tenths);
    s.insert(qMax(0, s.length() - 1), QLatin1Char('.'));
    return s;
}
