#pragma once

#include <QColor>
#include <QtGlobal>

// Colour values in the data files, settings and protocol are 24-bit numbers in
// blue-green-red order ($0000FF is red). This is the one place that converts.

QColor bgrToColor(quint32 bgr);
quint32 colorToBgr(const QColor &color);

