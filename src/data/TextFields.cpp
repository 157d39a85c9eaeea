#include "data/TextFields.h"

#include <limits>

QString CutField(QString &Line, QChar Separator)
{
    const qsizetype at = Line.indexOf(Separator);
    if (at < 0) {
        QString whole = Line;
        Line.clear();
        return whole;
    }
    QString field = Line.left(at);
    Line.remove(0, at + 1);
    return field;
}

QString GetField(const QString &Line, QChar Separator, int N)
{
    if (N < 0 || !Line.contains(Separator))
        return QString();
    qsizetype start = 0;
    for (int i = 0; i < N; ++i) {
        const qsizetype next = Line.indexOf(Separator, start);
        if (next < 0)
            return QString();
        start = next + 1;
    }
    const qsizetype end = Line.indexOf(Separator, start);
    return end < 0 ? Line.mid(start) : Line.mid(start, end - start);
}

QString GroupThousands(const QString &Text)
{
    if (Text.length() <= 3)
        return Text;
    QString grouped = Text;
    grouped.insert(grouped.length() - 3, QLatin1Char(','));
    return grouped;
}

bool ReadKhz(const QString &Text, qint32 &Khz)
{
    bool ok = false;
    const qlonglong value = Text.toLongLong(&ok, 10);
    static_assert(MaxKhz == std::numeric_limits<qint32>::max() / 1000);
    if (!ok || value > MaxKhz || value < -MaxKhz)
        return false;
    Khz = static_cast<qint32>(value);
    return true;
}

QString SanitizeFieldText(const QString &Text)
{
    QString clean = Text;
    for (QChar &c : clean) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    }
    return clean;
}

QString JoinEntryFields(const QStringList &Fields)
{
    QStringList clean;
    clean.reserve(Fields.size());
    for (const QString &field : Fields)
        clean.append(SanitizeFieldText(field));
    return clean.join(QLatin1Char('\t'));
}
