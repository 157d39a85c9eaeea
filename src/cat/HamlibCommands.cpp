#include "cat/HamlibCommands.h"

#include <QtMath>

#include <limits>

namespace Set3 {

namespace {

struct ModePair
{
    const char *ours;
    const char *hamlib;
};
// Ours to Hamlib's first; the rows after them only read.
constexpr ModePair modePairs[] = {
    {"LSB", "LSB"},   {"USB", "USB"},   {"CW", "CW"},   {"CW-R", "CWR"},    {"AM", "AM"},     {"WFM", "WFM"},
    {"FM", "FM"},     {"DIG", "PKTUSB"}, {"PKT", "PKTFM"}, {"FSK", "RTTY"}, {"FSK-R", "RTTYR"},
    {"DIG", "PKTLSB"}, {"FM", "FMN"},   {"AM", "AMN"},
};

std::optional<bool> flag(const QString &field)
{
    if (field == u'0')
        return false;
    if (field == u'1')
        return true;
    return std::nullopt;
}

QChar vfoLetter(const QString &name)
{
    if (name == QLatin1String("VFOA") || name == QLatin1String("Main") || name == QLatin1String("MainA"))
        return u'A';
    if (name == QLatin1String("VFOB") || name == QLatin1String("Sub") || name == QLatin1String("SubA"))
        return u'B';
    if (name == QLatin1String("MEM"))
        return u'M';
    return QChar();
}

std::optional<qint64> wholeNumber(const QString &field)
{
    bool ok = false;
    const qint64 value = field.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

QString Frequency(qint64 hertz)
{
    return QStringLiteral("F ") + QString::number(hertz);
}

QString Mode(const QString &mode)
{
    const QString name = HamlibModeName(mode);
    return name.isEmpty() ? QString() : QStringLiteral("M ") + name + QStringLiteral(" 0");
}

QString Ptt(bool on)
{
    return on ? QStringLiteral("T 1") : QStringLiteral("T 0");
}

QString VfoToggle()
{
    return QStringLiteral("G TOGGLE");
}

QString VfoCopy()
{
    return QStringLiteral("G CPY");
}

QString Split(bool on)
{
    return on ? QStringLiteral("S 1") : QStringLiteral("S 0");
}

QString SplitFrequency(qint64 hertz)
{
    return QStringLiteral("I ") + QString::number(hertz);
}

QString SplitMode(const QString &mode)
{
    const QString name = HamlibModeName(mode);
    return name.isEmpty() ? QString() : QStringLiteral("X ") + name + QStringLiteral(" 0");
}

QString Tones(int txTone, int rxTone)
{
    return QStringLiteral("CTCSS %1 %2").arg(qMax(0, txTone)).arg(qMax(0, rxTone));
}

QString HamlibModeName(const QString &mode)
{
    for (const ModePair &pair : modePairs)
        if (mode == QLatin1String(pair.ours))
            return QString::fromLatin1(pair.hamlib);
    return QString();
}

QString ModeFromHamlib(const QString &name)
{
    for (const ModePair &pair : modePairs)
        if (name == QLatin1String(pair.hamlib))
            return QString::fromLatin1(pair.ours);
    return QString();
}

TReading DecodeReply(const QString &command, const QString &reply)
{
    TReading reading;
    const QStringList reads = command.split(u';');
    const QStringList fields = reply.split(u';');
    for (qsizetype i = 0; i < reads.size() && i < fields.size(); ++i) {
        const QString &read = reads.at(i);
        const QString &field = fields.at(i);
        if (field.isEmpty())
            continue;
        if (read == u'f') {
            const std::optional<qint64> hertz = wholeNumber(field);
            if (hertz && *hertz >= 0 && *hertz <= std::numeric_limits<qint32>::max())
                reading.Frequency = qint32(*hertz);
        } else if (read == u'm') {
            reading.Mode = ModeFromHamlib(field);
        } else if (read == u'v') {
            reading.Vfo = vfoLetter(field);
        } else if (read == u's') {
            reading.Split = flag(field);
        } else if (read == u't') {
            reading.Ptt = flag(field);
        } else if (read == QLatin1String("dcd")) {
            reading.SquelchOpen = flag(field);
        } else if (read == QLatin1String("l STRENGTH")) {
            if (const std::optional<qint64> db = wholeNumber(field); db && qAbs(*db) < 1000)
                reading.MeterPercent = MeterPercentFromStrength(int(*db));
        }
    }
    return reading;
}

bool IsReplyWellFormed(const QString &command, const QString &reply)
{
    const QStringList reads = command.split(u';');
    const QStringList fields = reply.split(u';');
    if (reads.size() != fields.size())
        return false;
    for (qsizetype i = 0; i < reads.size(); ++i)
        if (reads.at(i) == u'f' && !fields.at(i).isEmpty() && !wholeNumber(fields.at(i)))
            return false;
    return true;
}

int MeterPercentFromStrength(int dbOverS9)
{
    // S units of 6 dB up to S9, then 10 dB steps: fifteen steps in all.
    const double steps = dbOverS9 <= 0 ? (dbOverS9 + 54) / 6.0 : 9 + dbOverS9 / 10.0;
    return qBound(0, qRound(steps * 100 / 15), 100);
}

} // namespace Set3
