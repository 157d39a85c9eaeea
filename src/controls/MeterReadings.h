#pragma once

// Turning the radio's meter readings into the percentages the meter shows,
// and the squelch / receive / transmit indicator beside it. Window-free, so
// that the polling engine and the tests use the same rules.

#include <QString>
#include <QtGlobal>

// Receive or transmit status byte: the meter sits in the low four bits
// (five on the FT-847).
int meterPercentFromStatus(quint8 status, bool ft847);
// Four-digit ASCII meter reply, 0..9999.
int meterPercentFromDigits(int reading);
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
