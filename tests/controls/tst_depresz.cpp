#include "common/TestEnvironment.h"
#include "controls/Depresz.h"
#include "cat/CatCommands.h"
#include "PaintRecorder.h"

#include <QApplication>
#include <QImage>

namespace {

const QColor White(0xFF, 0xFF, 0xFF);
const QColor OffGrey(0xF0, 0xF0, 0xF0);
const QColor Black(Qt::black);

void writeTimes(TDepresz &m, int value, int times)
{
    for (int i = 0; i < times; ++i)
        m.SetValue(value);
}

} // namespace

class TestDepresz : public QObject
{
    Q_OBJECT
private slots:
    void averageOfFiveReadings()
    {
        TDepresz m;
        QList<int> seen;
        for (int v : {100, 100, 100, 100, 100, 100, 0, 3, 1}) {
            m.SetValue(v);
            seen << m.Value();
        }
        QCOMPARE(seen, QList<int>({20, 40, 60, 80, 100, 100, 80, 61, 41})); // 60.6 and 40.8 rounded

        writeTimes(m, 150, 5); // the reading is not clamped, the needle is
        QCOMPARE(m.Value(), 150);
        QCOMPARE(m.needleRect(m.smoothed()), m.needleRect(100));
        writeTimes(m, -5, 5);
        QCOMPARE(m.needleRect(m.smoothed()), m.needleRect(0));
        writeTimes(m, std::numeric_limits<int>::max(), 5); // no overflow of the sum
        QCOMPARE(m.smoothed(), double(std::numeric_limits<int>::max()));
        writeTimes(m, std::numeric_limits<int>::min(), 5);
        QCOMPARE(m.smoothed(), double(std::numeric_limits<int>::min()));
    }

    void rendersDialAndNeedle()
    {
        TDepresz m;
        m.resize(152, 76); // the main window's meter
        QImage img = m.grab().toImage();
        QCOMPARE(img.pixelColor(20, 56), Black); // the needle rests at 0 %
        writeTimes(m, 50, 5); // upright at half scale
        img = m.grab().toImage();
        QVERIFY(img.pixelColor(76, 30) == Black && img.pixelColor(20, 56) == White);
        writeTimes(m, 150, 5);
        QCOMPARE(m.grab().toImage().pixelColor(132, 56), Black);

        // The units caption lies from y 40 down, centred.
        writeTimes(m, 0, 5);
        const QImage plain = m.grab().toImage();
        m.SetUnits(QString());
        const QImage empty = m.grab().toImage();
        QVERIFY(plain.copy(40, 40, 34, 20) != empty.copy(40, 40, 34, 20));
        QCOMPARE(plain.copy(0, 0, 152, 39), empty.copy(0, 0, 152, 39));
    }

    void repaintsOnlyWhatChangesAndOffClearsTheHistory()
    {
        TDepresz m;
        m.resize(152, 76);
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        PaintRecorder rec(&m);
        rec.settle();
        m.SetValue(100); // 0 -> 20 %
        rec.flush();
        QCOMPARE(rec.painted, (QRegion(m.needleRect(0)) + m.needleRect(20)) & m.rect());

        writeTimes(m, 50, 5); // once the mean no longer changes nothing repaints
        rec.settle();
        m.SetValue(50);
        rec.flush();
        QCOMPARE(rec.paints, 0);
        m.SetValue(150); // beyond full scale the mean still changes
        rec.flush();
        QCOMPARE(rec.painted, (QRegion(m.needleRect(50)) + m.needleRect(70)) & m.rect());

        rec.settle();
        m.SetLit(true); // the state it has: nothing, and the history stays
        rec.flush();
        QCOMPARE(rec.paints, 0);
        QCOMPARE(m.Value(), 70);
        m.SetLit(false); // off: all grey, and the history is gone
        rec.flush();
        QVERIFY(rec.painted.contains(m.rect()));
        QCOMPARE(m.Value(), 0);
        QCOMPARE(m.grab().toImage().pixelColor(5, 60), OffGrey);
        m.SetLit(true);
        QCOMPARE(m.grab().toImage().pixelColor(5, 60), White);
        m.SetValue(100);
        QCOMPARE(m.Value(), 20); // the average starts from zero again
    }

    void readingsToPercent()
    {
        // Only the meter bits count: four of them, five on the FT-847.
        const std::tuple<int, bool, int> statuses[] = {{0x0F, false, 100}, {0x87, false, 46}, {0xF9, false, 60},
                                                       {0x9F, true, 100},  {0x0F, true, 48},   {0x3F, true, 100}};
        for (const auto &[status, ft847, percent] : statuses)
            QCOMPARE(MeterPercentFromStatus(status, TcvrTypes[ft847 ? 1 : 0]), percent);
        QCOMPARE(MeterPercentFromDigits(9998), 99);
        QCOMPARE(MeterPercentFromDigits(9999), 100);
    }
};

TARNWICK_TEST_CLASS(TestDepresz)
#include "tst_depresz.moc"
