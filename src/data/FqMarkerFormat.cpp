#include "data/FqMarkerFormat.h"

#include "data/TextFields.h"

#include <limits>

namespace {

constexpr QChar Tab = QLatin1Char('\t');
constexpr qint64 MaxHz = std::numeric_limits<qint32>::max();

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Adds the decimal digits of Digits to Value; false when a character is no
// digit or the value passes Limit.
bool accumulateDigits(QStringView Digits, qint64 &Value, qint64 Limit)
{
    for (QChar c : Digits) {
        if (!isDigit(c))
            return false;
        Value = Value * 10 + (c.unicode() - '0');
        if (Value > Limit)
            return false;
    }
    return true;
}

int readTone(const QString &Text)
{
    qint64 value = 0;
    const QString digits = Text.trimmed();
    if (digits.isEmpty() || !accumulateDigits(digits, value, 9999))
        return 0;
    return static_cast<int>(value);
}

QString oneLine(const QString &Text)
{
    return SanitizeFieldText(Text);
}

QString joinedLines(const QString &Text, QChar Separator)
{
    QStringList lines = MarkerTextLines(Text);
    for (QString &line : lines)
        line = oneLine(line);
    return lines.join(Separator);
}

} // namespace

bool ReadMarkerFrequency(const QString &Text, qint32 &Frequency)
{
    const QString text = Text.trimmed();
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    qint64 value = 0;
    if (dot < 0) {
        if (text.isEmpty() || !accumulateDigits(text, value, MaxHz))
            return false;
        Frequency = static_cast<qint32>(value);
        return true;
    }
    const QStringView whole = QStringView(text).left(dot);
    const QStringView decimals = QStringView(text).mid(dot + 1);
    if (whole.isEmpty() && decimals.isEmpty())
        return false;
    if (!accumulateDigits(whole, value, MaxHz / 1000000))
        return false;
    // Six decimals are hertz; the seventh decides the rounding, the rest
    // need only be digits.
    for (qsizetype i = 0; i < decimals.size(); ++i) {
        if (!isDigit(decimals.at(i)))
            return false;
    }
    qint64 fraction = 0;
    for (int i = 0; i < 6; ++i)
        fraction = fraction * 10 + (i < decimals.size() ? decimals.at(i).unicode() - '0' : 0);
    if (decimals.size() > 6 && decimals.at(6) >= QLatin1Char('5'))
        ++fraction;
    value = value * 1000000 + fraction;
    if (value > MaxHz)
        return false;
    Frequency = static_cast<qint32>(value);
    return true;
}

bool ParseMarkerLine(const QString &Line, TFqMarker &Marker)
{
    QString rest = Line;
    if (!ReadMarkerFrequency(CutField(rest, Tab), Marker.Frequency))
        return false;
    Marker.Caption = CutField(rest, Tab);
    Marker.Mode = CutField(rest, Tab).left(255);
    if (Marker.Mode.isEmpty())
        Marker.Mode = QStringLiteral("CW");
    Marker.Permanent = CutField(rest, Tab) != QLatin1String("0");
    Marker.Attributes = CutField(rest, Tab).replace(QLatin1Char('-'), QLatin1String("\r\n"));
    Marker.Remark = CutField(rest, Tab).replace(QLatin1Char('~'), QLatin1String("\r\n"));
    Marker.RxCtcss = readTone(CutField(rest, Tab));
    Marker.TxCtcss = readTone(CutField(rest, Tab));
    return true;
}

QString FormatMarkerLine(const TFqMarker &Marker)
{
    QString attributes = joinedLines(Marker.Attributes, QLatin1Char('-'));
    while (attributes.contains(QLatin1String("--")))
        attributes.replace(QLatin1String("--"), QLatin1String("-"));
    QString line = QString::number(Marker.Frequency);
    line.reserve(line.size() + Marker.Caption.size() + Marker.Mode.size() + attributes.size() + Marker.Remark.size() + 24);
    line += Tab + oneLine(Marker.Caption) + Tab + oneLine(Marker.Mode) + Tab
        + QLatin1Char(Marker.Permanent ? '1' : '0') + Tab + attributes + Tab
        + joinedLines(Marker.Remark, QLatin1Char('~')) + Tab + QString::number(Marker.RxCtcss) + Tab
        + QString::number(Marker.TxCtcss);
    return line;
}

QStringList MarkerTextLines(const QString &Text)
{
    if (Text.isEmpty())
        return {};
    QString text = Text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text.split(QLatin1Char('\n'));
}

QString PreferUpperCase(const QString &Caption)
{
    for (QChar c : Caption) {
        if (!isDigit(c) && !(c >= QLatin1Char('a') && c <= QLatin1Char('z')))
            return Caption;
    }
    return Caption.toUpper();
}

QStringList DefaultVisibleGroups()
{
    return {QStringLiteral("BEACON"), QStringLiteral("CHANNEL"), QStringLiteral("BROADCAST"), QStringLiteral("GROUP")};
}

const QList<int> &CtcssTones()
{
    static const QList<int> tones = {
        670, 719, 744, 770, 797, 825, 854, 885, 915, 948, 974, 1000, 1035,
        1072, 1109, 1148, 1188, 1230, 1273, 1318, 1365, 1413, 1462, 1514, 1567,
        1622, 1679, 1738, 1799, 1862, 1928, 2035, 2107, 2181, 2257, 2336, 2418, 2503,
    };
    return tones;
}

QString CtcssText(int Tenths)
{
    QString text = QString::number(Tenths);
    text.insert(text.size() - 1, QLatin1Char('.'));
    return text;
}

QString GroupMarkerFrequency(qint32 Frequency)
{
    QString text = QString::number(Frequency);
    if (text.size() > 3)
        text.insert(text.size() - 3, QLatin1Char('.'));
    if (text.size() > 7)
        text.insert(text.size() - 7, QLatin1Char(','));
    return text;
}
