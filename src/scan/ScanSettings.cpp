#include "scan/ScanSettings.h"

#include <QLocale>

#include <cmath>

int DwellFromText(const QString &seconds)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(seconds.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > 86400)
        return 0;
    return int(std::lround(value * 1000));
}

QString ModeFilterFromItem(const QString &item)
{
    const qsizetype open = item.indexOf(u'(');
    if (open < 0)
        return QString();
    const qsizetype close = item.indexOf(u')', open + 1);
    if (close < 0)
        return QString();
    return item.mid(open + 1, close - open - 1);
}
