// Whatever text a hand-edited settings value holds, the readers of numbers and
// sizes return a value within their bounds and never crash: the whole-number
// reader, the last run's frequency and the restored window's rectangle.
#include "base/SettingValues.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

int byteAt(const QByteArray &bytes, int i)
{
    return i < bytes.size() ? static_cast<unsigned char>(bytes.at(i)) : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // The first six bytes choose a screen's work area and the window's
    // minimum size; the rest are up to four values, one a line.
    const QRect area(byteAt(bytes, 0) * 16 - 2048, byteAt(bytes, 1) * 16 - 2048, 100 + byteAt(bytes, 2) * 16,
                     100 + byteAt(bytes, 3) * 12);
    const QSize minimum(byteAt(bytes, 4) * 4, byteAt(bytes, 5) * 4);
    const QList<QByteArray> lines = bytes.mid(6).split('\n');

    int numbers[4] = {100, 10, -1, -1};
    for (int i = 0; i < 4 && i < lines.size(); ++i) {
        for (const QString &text : {QString::fromUtf8(lines.at(i)), QString::fromLatin1(lines.at(i))}) {
            const int fallback = -424242;
            const int number = SettingTextToInt(text, fallback);
            // A number read is one that its own decimal text reads back as.
            check(number == fallback || SettingTextToInt(QString::number(number), fallback) == number);
            const qint32 frequency = LastFreqFromSetting(text);
            check(frequency == DefaultLastFreq || (frequency >= LowestLastFreq && frequency <= HighestLastFreq));
            if (number != fallback)
                numbers[i] = number;
        }
    }

    const TStoredGeometry stored{numbers[0], numbers[1], numbers[2], numbers[3]};
    const QRect rect = RestoredWindowRect(stored, area, QSize(800, 372), minimum);
    check(rect.width() >= minimum.width() && rect.width() <= qMax(minimum.width(), area.width()));
    check(rect.height() >= minimum.height() && rect.height() <= qMax(minimum.height(), area.height()));
    // Either where it was (within the tolerance of the old program), the
    // fallback position, or the work area's edge.
    check(rect.left() == 100 || rect.left() == area.left()
          || (rect.left() == stored.Left && stored.Left >= -20 && stored.Left <= area.width() - 100));
    check(rect.top() == 200 || rect.top() == area.top()
          || (rect.top() == stored.Top && stored.Top >= -20 && stored.Top <= area.height() - 100));
    // A window no larger than the work area that had to be cut lies within it.
    if (stored.Width > qMax(minimum.width(), area.width()))
        check(rect.left() == area.left());
    return 0;
}
