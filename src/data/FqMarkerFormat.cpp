#include "data/FqMarkerFormat.h"

#include <limits>

namespace {

constexpr QChar Tab = QLatin1Char('\t');
constexpr qint64 MaxHz = std::numeric_limits<qint32>::max();

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ');
}

QStringView trimmedBlanks(QStringView Text)
{
    while (!Text.isEmpty() && isBlank(Text.front()))
        Text = Text.mid(1);
    while (!Text.isEmpty() && isBlank(Text.back()))
        Text.chop(1);
    return Text;
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

int readTone(QStringView Text)
{
    qint64 value = 0;
    const QStringView digits = trimmedBlanks(Text);
    if (digits.isEmpty() || !accumulateDigits(digits, value, 9999))
        return 0;
    return static_cast<int>(value);
}

// The fields of a line one after another, as CutField takes them: a missing
// field is empty.
class FieldReader
{
public:
    explicit FieldReader(QStringView Line)
        : Rest(Line)
    {
    }
    QStringView Next()
    {
        if (Done)
            return {};
        const qsizetype at = Rest.indexOf(Tab);
        if (at < 0) {
            Done = true;
            return Rest;
        }
        const QStringView field = Rest.left(at);
        Rest = Rest.mid(at + 1);
        return field;
    }

private:
    QStringView Rest;
    bool Done = false;
};

// A field with every Separator turned into a CR LF line break.
QString splitIntoLines(QStringView Field, QChar Separator)
{
    QString lines;
    lines.reserve(Field.size() + 8);
    for (QChar c : Field) {
        if (c == Separator)
            lines.append(QLatin1String("\r\n"));
        else
            lines.append(c);
    }
    return lines;
}

// Appends Text with TABs and line breaks as blanks: one field stays one field.
void appendOneLine(QString &Line, const QString &Text)
{
    for (QChar c : Text)
        Line.append(c == Tab || c == QLatin1Char('\r') || c == QLatin1Char('\n') ? QLatin1Char(' ') : c);
}

// Appends multi-line Text with every line break (CR LF, CR or LF) as
// Separator and TABs as blanks. With Collapse, a Separator never follows
// another: empty lines (and the separator character itself, which then
// means a break too) give one. Without, the separator character itself
// becomes a blank: it would read back as a break.
void appendJoinedLines(QString &Line, const QString &Text, QChar Separator, bool Collapse)
{
    bool lastWasSeparator = false;
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const QChar c = Text.at(i);
        const bool lineBreak = c == QLatin1Char('\r') || c == QLatin1Char('\n');
        if (lineBreak || (Collapse && c == Separator)) {
            if (c == QLatin1Char('\r') && i + 1 < Text.size() && Text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            if (!(Collapse && lastWasSeparator))
                Line.append(Separator);
            lastWasSeparator = true;
            continue;
        }
        Line.append(c == Tab || c == Separator ? QLatin1Char(' ') : c);
        lastWasSeparator = false;
    }
}

} // namespace

bool ReadMarkerFrequency(const QString &Text, qint32 &Frequency)
{
    return ReadMarkerFrequency(QStringView(Text), Frequency);
}

bool ReadMarkerFrequency(QStringView Text, qint32 &Frequency)
{
    const QStringView text = trimmedBlanks(Text);
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    qint64 value = 0;
    if (dot < 0) {
        if (text.isEmpty() || !accumulateDigits(text, value, MaxHz))
            return false;
        Frequency = static_cast<qint32>(value);
        return true;
    }
    const QStringView whole = text.left(dot);
    const QStringView decimals = text.mid(dot + 1);
    if (whole.isEmpty() && decimals.isEmpty())
        return false;
    if (!accumulateDigits(whole, value, MaxHz / 1000000))
        return false;
    // Six decimals are hertz; the seventh decides the rounding, the rest
    // need only be digits.
    for (QChar c : decimals) {
        if (!isDigit(c))
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
    FieldReader fields(Line);
    if (!ReadMarkerFrequency(fields.Next(), Marker.Frequency))
        return false;
    Marker.Caption = fields.Next().toString();
    Marker.Mode = fields.Next().left(255).toString();
    if (Marker.Mode.isEmpty())
        Marker.Mode = QStringLiteral("CW");
    Marker.Permanent = fields.Next() != QLatin1String("0");
    Marker.Attributes = splitIntoLines(fields.Next(), QLatin1Char('-'));
    Marker.Remark = splitIntoLines(fields.Next(), QLatin1Char('~'));
    Marker.RxCtcss = readTone(fields.Next());
    Marker.TxCtcss = readTone(fields.Next());
    return true;
}

QString FormatMarkerLine(const TFqMarker &Marker)
{
    QString line;
    line.reserve(Marker.Caption.size() + Marker.Mode.size() + Marker.Attributes.size() + Marker.Remark.size() + 40);
    line.append(QString::number(Marker.Frequency));
    line.append(Tab);
    appendOneLine(line, Marker.Caption);
    line.append(Tab);
    appendOneLine(line, Marker.Mode);
    line.append(Tab);
    line.append(QLatin1Char(Marker.Permanent ? '1' : '0'));
    line.append(Tab);
    appendJoinedLines(line, Marker.Attributes, QLatin1Char('-'), true);
    line.append(Tab);
    appendJoinedLines(line, Marker.Remark, QLatin1Char('~'), false);
    line.append(Tab);
    line.append(QString::number(Marker.RxCtcss));
    line.append(Tab);
    line.append(QString::number(Marker.TxCtcss));
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
