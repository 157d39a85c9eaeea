#include "SignalBand.h"

#include <algorithm>

bool SignalBand::parse(const QString &text, Signal *signal)
{
    const QStringList parts = text.split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    bool okFrequency = false;
    bool okStrength = false;
    bool okWidth = true;
    Signal s;
    s.frequency = parts.at(0).toInt(&okFrequency);
    s.strength = parts.at(1).toInt(&okStrength);
    if (parts.size() == 3)
        s.width = parts.at(2).toInt(&okWidth);
    if (!okFrequency || !okStrength || !okWidth || s.frequency <= 0 || s.strength < 0 || s.width <= 0)
        return false;
    *signal = s;
    return true;
}

void SignalBand::add(const Signal &signal)
{
    remove(signal.frequency);
    signals_.append(signal);
}

bool SignalBand::remove(qint32 frequency)
{
    return signals_.removeIf([frequency](const Signal &s) { return s.frequency == frequency; }) > 0;
}

int SignalBand::level(qint32 frequency, int background) const
{
    int best = background;
    for (const Signal &s : signals_) {
        const qint64 distance = qAbs(qint64(frequency) - s.frequency);
        if (distance < s.width)
            best = std::max<qint64>(best, qint64(s.strength) * (s.width - distance) / s.width);
    }
    return best;
}

void SignalBand::apply(qint32 frequency, int *level, bool *squelchOpen) const
{
    if (!signals_.isEmpty())
        *level = this->level(frequency, *level);
    if (squelchLevel_ >= 0)
        *squelchOpen = *level > squelchLevel_;
}

QString SignalBand::control(const QStringList &words)
{
    const QString what = words.value(1).toLower();
    const QString value = words.value(2);
    const QString echo = QStringLiteral("ok ") + words.join(u' ');
    if (what == QLatin1String("add")) {
        Signal signal;
        if (!parse(value, &signal))
            return QStringLiteral("error bad signal (FREQ:S[:WIDTH]): ") + value;
        add(signal);
        return echo;
    }
    if (what == QLatin1String("remove")) {
        bool ok = false;
        const qint32 frequency = value.toInt(&ok);
        if (!ok || !remove(frequency))
            return QStringLiteral("error no signal at ") + value;
        return echo;
    }
    if (what == QLatin1String("clear")) {
        clear();
        return echo;
    }
    if (what == QLatin1String("squelch")) {
        bool ok = false;
        const int level = value.toInt(&ok);
        if (value == QLatin1String("off"))
            squelchLevel_ = -1;
        else if (ok && level >= 0)
            squelchLevel_ = level;
        else
            return QStringLiteral("error bad squelch level: ") + value;
        return echo;
    }
    if (what == QLatin1String("list")) {
        QStringList items;
        for (const Signal &s : signals_)
            items << QStringLiteral("%1:%2:%3").arg(s.frequency).arg(s.strength).arg(s.width);
        return QStringLiteral("ok signals ") + (items.isEmpty() ? QStringLiteral("none") : items.join(u' '));
    }
    return QStringLiteral("error bad signal command: ") + words.join(u' ');
}
