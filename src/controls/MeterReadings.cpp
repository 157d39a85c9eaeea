#include "controls/MeterReadings.h"

QString meterPercentCaption(int percent)
{
    return QString::number(percent) + u'%';
}

SqlIndicatorLook sqlIndicatorLook(int state)
{
    switch (state) {
    case SqlReceiving: return {QStringLiteral("RX"), 0x00FF00};
    case SqlTransmitting: return {QStringLiteral("TX"), 0x0000FF};
    default: return {QStringLiteral("SQL"), 0xC0C0C0};
    }
}

int sqlStateFromCaption(const QString &caption)
{
    if (caption == u"SQL")
        return SqlClosed;
    if (caption == u"TX")
        return SqlTransmitting;
    return SqlReceiving;
}
