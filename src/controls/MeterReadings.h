#pragma once

// The meter's percentage caption and the squelch / receive / transmit
// indicator beside it. Window-free.

#include <QString>
#include <QtGlobal>

// Caption of the percentage label: "57%".
QString meterPercentCaption(int percent);

// Indicator states: 0 squelch closed, 1 receiving, 2 transmitting.
enum SqlState : int { SqlClosed = 0, SqlReceiving = 1, SqlTransmitting = 2 };

struct SqlIndicatorLook
{
    QString caption;
    quint32 colorBgr = 0;
};

// "SQL" on light grey, "RX" on green, "TX" on red; other states show as SQL.
SqlIndicatorLook sqlIndicatorLook(int state);
// The state a caption stands for; anything unknown counts as receiving.
int sqlStateFromCaption(const QString &caption);
