#include "base/SettingValues.h"

#include <QtGlobal>

int SettingTextToInt(const QString &text, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : fallback;
}

qint32 LastFreqFromSetting(const QString &text)
{
    const int stored = SettingTextToInt(text, DefaultLastFreq);
    return stored >= LowestLastFreq && stored <= HighestLastFreq ? stored : DefaultLastFreq;
}

namespace {

// One side of the window: the stored length (or the design one), kept
// between the minimum and the work area; the position rule of the old
// program, or the work area's edge when the length had to be cut.
void restoreSide(int storedPos, int storedLength, int areaStart, int areaLength, int designLength,
                 int minimumLength, int outOfAreaPos, int *pos, int *length)
{
    const int wanted = storedLength == -1 ? designLength : storedLength;
    const int most = qMax(minimumLength, areaLength);
    *length = qBound(minimumLength, wanted, most);
    const bool cut = wanted > most;
    if (cut)
        *pos = areaStart;
    else
        *pos = storedPos < -20 || storedPos > areaLength - 100 ? outOfAreaPos : storedPos;
}

} // namespace

QRect RestoredWindowRect(const TStoredGeometry &stored, const QRect &workArea, const QSize &designSize,
                         const QSize &minimumSize)
{
    int left = 0, top = 0, width = 0, height = 0;
    restoreSide(stored.Left, stored.Width, workArea.left(), workArea.width(), designSize.width(),
                qMax(0, minimumSize.width()), 100, &left, &width);
    restoreSide(stored.Top, stored.Height, workArea.top(), workArea.height(), designSize.height(),
                qMax(0, minimumSize.height()), 200, &top, &height);
    return QRect(left, top, width, height);
}
