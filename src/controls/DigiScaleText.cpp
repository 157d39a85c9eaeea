#include "controls/DigiScaleText.h"

#include <QLocale>

#include <cmath>

UnitLabelColours unitLabelColours(int unit)
{
    UnitLabelColours c;
    if (unit == DigiUnitKhz)
        c.khz = UnitLabelLitBgr;
    else if (unit == DigiUnitMhz)
        c.mhz = UnitLabelLitBgr;
    return c;
}

int unitFromLabelColours(quint32 khzBgr, quint32 mhzBgr)
{
    if (mhzBgr == UnitLabelLitBgr)
        return DigiUnitMhz;
    if (khzBgr == UnitLabelLitBgr)
        return DigiUnitKhz;
    return DigiUnitNone;
}

namespace {

// "integer.fraction", the fraction being the leading `digits` digits of the
// remainder written with `width` digits.
QString withFraction(qint32 whole, qint32 remainder, int width, int digits)
{
    const QString frac = QString::number(remainder).rightJustified(width, u'0').left(digits);
    return QString::number(whole) + u'.' + frac;
}

} // namespace

DigiScaleReading digiScaleReading(qint32 f, const QString &mode, bool connected, bool showAlwaysKhz)
{
    DigiScaleReading r;
    if (f < 0 || f > 999999999) {
        r.text = f < 0 ? QStringLiteral("Error Lo") : QStringLiteral("Error Hi");
        r.keepUnit = true;
        return r;
    }
    if (!connected) {
        r.unit = DigiUnitNone;
        return r;
    }
    if (mode == u"WFM" && !showAlwaysKhz) {
        r.unit = DigiUnitMhz;
        r.text = withFraction(f / 1000000, f % 1000000, 6, 1);
    } else if ((mode == u"FM" || mode == u"AM") && !showAlwaysKhz) {
        if (f < 100000000) {
            r.unit = DigiUnitKhz;
            r.text = QString::number(f / 1000);
        } else {
            r.unit = DigiUnitMhz;
            r.text = withFraction(f / 1000000, f % 1000000, 6, 3);
        }
    } else {
        r.unit = DigiUnitKhz;
        r.text = withFraction(f / 1000, f % 1000, 3, 2);
    }
    return r;
}

QString DigiScaleEntry::errorText() const
{
    switch (outcome) {
    case TooLow: return QStringLiteral("Error Lo");
    case TooHigh: return QStringLiteral("Error Hi");
    case Accepted: break;
    }
    return QString();
}

DigiScaleEntry parseDigiScaleEntry(const QString &text, int unit)
{
    DigiScaleEntry e;
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        e.outcome = DigiScaleEntry::TooLow;
        return e;
    }

    const bool mhz = unit == DigiUnitMhz;
    const double whole = std::round(value);
    const double low = mhz ? 1 : 100;
    const double high = mhz ? 500 : 500000;
    if (whole < low) {
        e.outcome = DigiScaleEntry::TooLow;
        return e;
    }
    if (whole > high) {
        e.outcome = DigiScaleEntry::TooHigh;
        return e;
    }
    // Rounding lets 99.6 kHz or 500.4 MHz through the check above; the
    // frequency itself must stay within what the scale can show.
    const double hz = std::round(value * (mhz ? 1000.0 * 1000.0 : 1000.0));
    if (hz < DigiEntryLowestHz) {
        e.outcome = DigiScaleEntry::TooLow;
        return e;
    }
    if (hz > DigiEntryHighestHz) {
        e.outcome = DigiScaleEntry::TooHigh;
        return e;
    }
    e.outcome = DigiScaleEntry::Accepted;
    e.frequency = qint32(hz);
    return e;
}
