#include "common/TestEnvironment.h"
#include "controls/Depresz.h"
#include "controls/MeterReadings.h"
#include "controls/PaintRecorder.h"

#include <QApplication>
#include <QImage>

namespace {

const QColor White(0xFF, 0xFF, 0xFF);
const QColor OffGrey(0xF0, 0xF0, 0xF0);
const QColor Grey(0x80, 0x80, 0x80);
const QColor LightGrey(0xC0, 0xC0, 0xC0);
const QColor Black(Qt::black);

// The main window's meter.
void setUpLikeMainWindow(TDepresz &m)
{
    m.resize(152, 76);
}

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
    void defaults()
    {
        TDepresz m;
        QCOMPARE(m.size(), QSize(151, 70));
        QCOMPARE(m.Units(), QString("S/PWR"));
        QCOMPARE(m.Color(), White);
        QVERIFY(m.Lit());
        QCOMPARE(m.Value(), 0);
    }

    void averageOfFiveReadings()
    {
        TDepresz m;
        QList<int> seen;
        for (int i = 0; i < 6; ++i) {
            m.SetValue(100);
            seen << m.Value();
        }
        QCOMPARE(seen, QList<int>({20, 40, 60, 80, 100, 100}));
        m.SetValue(0);
        QCOMPARE(m.Value(), 80);
        m.SetValue(3);
        QCOMPARE(m.smoothed(), 60.6);
        QCOMPARE(m.Value(), 61); // rounded to the nearest
        m.SetValue(1);
        QCOMPARE(m.Value(), 41); // (100 + 100 + 0 + 3 + 1) / 5 = 40.8
    }

    void readingIsUnclampedNeedleIsClamped()
    {
        TDepresz m;
        setUpLikeMainWindow(m);
        writeTimes(m, 150, 5);
        QCOMPARE(m.Value(), 150);
        QCOMPARE(m.needleRect(m.smoothed()), m.needleRect(100));
        writeTimes(m, -5, 5);
        QCOMPARE(m.Value(), -5);
        QCOMPARE(m.needleRect(m.smoothed()), m.needleRect(0));
        QCOMPARE(TDepresz::needleAngle(-5), TDepresz::needleAngle(0));
        QCOMPARE(TDepresz::needleAngle(1000), TDepresz::needleAngle(100));
        // Extreme readings neither overflow the sum nor move the needle off the dial.
        writeTimes(m, std::numeric_limits<int>::max(), 5);
        QCOMPARE(m.smoothed(), double(std::numeric_limits<int>::max()));
        writeTimes(m, std::numeric_limits<int>::min(), 5);
        QCOMPARE(m.smoothed(), double(std::numeric_limits<int>::min()));
    }

    void dialGeometry()
    {
        TDepresz m;
        setUpLikeMainWindow(m);
        QCOMPARE(m.pivot(), QPoint(76, 126));
        QCOMPARE(m.dialRadius(), 101);
        // 50 % points straight up, 0 % and 100 % 50/74 rad either side.
        QCOMPARE(m.dialPoint(50, 90), QPoint(76, 36));
        QCOMPARE(m.dialPoint(0, 90), QPoint(20, 56));
        QCOMPARE(m.dialPoint(100, 90), QPoint(132, 56));
        QCOMPARE(m.dialPoint(0, 105), QPoint(10, 44));
        QCOMPARE(m.dialPoint(100, 105), QPoint(142, 44));
        // The needle runs from radius R + 12 = 113 down to 62.
        QCOMPARE(m.needleRect(50), QRect(QPoint(74, 11), QPoint(78, 66)));
    }

    void rendersDial()
    {
        TDepresz m;
        setUpLikeMainWindow(m);
        const QImage img = m.grab().toImage();
        QCOMPARE(img.pixelColor(0, 0), Black);
        QCOMPARE(img.pixelColor(151, 75), Black);
        QCOMPARE(img.pixelColor(1, 30), Grey);
        QCOMPARE(img.pixelColor(80, 1), Grey);
        QCOMPARE(img.pixelColor(2, 30), LightGrey);
        QCOMPARE(img.pixelColor(80, 2), LightGrey);
        QCOMPARE(img.pixelColor(5, 60), White);     // dial background
        QCOMPARE(img.pixelColor(76, 72), Grey);     // hub dome at the bottom centre
        QCOMPARE(img.pixelColor(76, 64), White);    // above the dome (disc top at 66)
        QCOMPARE(img.pixelColor(30, 72), White);    // beside the dome
        // Marks at 0 % and full scale: 3 x 3 black squares at radius R + 4.
        for (const QPoint &mark : {QPoint(10, 44), QPoint(142, 44)}) {
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    QCOMPARE(img.pixelColor(mark + QPoint(dx, dy)), Black);
        }
        // The arc passes straight above the pivot at radius R.
        QCOMPARE(img.pixelColor(76, 25), Black);
        QCOMPARE(img.pixelColor(76, 17), White);
        QCOMPARE(img.pixelColor(76, 21), Black); // mark 7 of 14 sits at 50 %, radius 105
        QCOMPARE(img.pixelColor(76, 28), White);
        QCOMPARE(img.pixelColor(100, 28), Black); // 24 px right: 126 - sqrt(101^2 - 24^2)
        // The needle rests at 0 %.
        QCOMPARE(img.pixelColor(20, 56), Black);
        QCOMPARE(img.pixelColor(76, 30), White);
        QCOMPARE(img.pixelColor(132, 56), White);
    }

    void needleFollowsValue()
    {
        TDepresz m;
        setUpLikeMainWindow(m);
        writeTimes(m, 50, 5);
        QImage img = m.grab().toImage();
        QCOMPARE(img.pixelColor(76, 30), Black);
        QCOMPARE(img.pixelColor(20, 56), White);
        writeTimes(m, 150, 5);
        img = m.grab().toImage();
        QCOMPARE(img.pixelColor(132, 56), Black);
        QCOMPARE(img.pixelColor(76, 30), White);
    }

    void newValueRepaintsOnlyTheNeedles()
    {
        TDepresz m;
        setUpLikeMainWindow(m);
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        PaintRecorder rec(&m);
        rec.settle();

        m.SetValue(100); // 0 -> 20 %
        rec.flush();
        const QRegion expected = (QRegion(m.needleRect(0)) + m.needleRect(20)) & m.rect();
        QCOMPARE(rec.painted, expected);
        QVERIFY(!rec.painted.contains(QPoint(140, 60)));

        // The mean settles at 50: once it no longer changes nothing repaints.
        for (int i = 0; i < 5; ++i)
            m.SetValue(50);
        rec.settle();
        m.SetValue(50);
        m.SetValue(50);
        rec.flush();
        QCOMPARE(rec.paints, 0);
        QCOMPARE(m.Value(), 50);

        // Beyond full scale the needle stays but the mean changes: still only needles.
        m.SetValue(150);
        rec.flush();
        QCOMPARE(rec.painted, (QRegion(m.needleRect(50)) + m.needleRect(70)) & m.rect());
    }

    void switchingOffClearsHistory()
    {
        TDepresz m;
        setUpLikeMainWindow(m);
        writeTimes(m, 100, 3);
        QCOMPARE(m.Value(), 60);
        m.SetLit(false);
        QVERIFY(!m.Lit());
        QCOMPARE(m.Color(), OffGrey);
        QCOMPARE(m.Value(), 0);
        QCOMPARE(m.grab().toImage().pixelColor(5, 60), OffGrey);
        m.SetLit(true);
        QCOMPARE(m.Color(), White);
        m.SetValue(100);
        QCOMPARE(m.Value(), 20); // the average starts from zero again

        // Writing the current state does nothing: the history stays.
        m.SetLit(true);
        QCOMPARE(m.Value(), 20);
    }

    void writingCurrentLitStateRepaintsNothing()
    {
        TDepresz m;
        setUpLikeMainWindow(m);
        m.show();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        PaintRecorder rec(&m);
        m.SetLit(false);
        rec.settle();
        m.SetLit(false);
        rec.flush();
        QCOMPARE(rec.paints, 0);
        m.SetLit(true);
        rec.flush();
        QVERIFY(rec.painted.contains(m.rect()));
    }

    void readingsToPercent()
    {
        QCOMPARE(meterPercentFromStatus(0x00, false), 0);
        QCOMPARE(meterPercentFromStatus(0x0F, false), 100);
        QCOMPARE(meterPercentFromStatus(0x87, false), 46);  // squelch bit ignored: 7 * 100 div 15
        QCOMPARE(meterPercentFromStatus(0xF9, false), 60);  // only the low four bits
        QCOMPARE(meterPercentFromStatus(0x1F, true), 100);
        QCOMPARE(meterPercentFromStatus(0x9F, true), 100);
        QCOMPARE(meterPercentFromStatus(0x0F, true), 48);   // 15 * 100 div 31
        QCOMPARE(meterPercentFromStatus(0x3F, true), 100);  // bit 5 is not meter
        QCOMPARE(meterPercentFromDigits(0), 0);
        QCOMPARE(meterPercentFromDigits(5000), 50);
        QCOMPARE(meterPercentFromDigits(9998), 99);
        QCOMPARE(meterPercentFromDigits(9999), 100);
        QCOMPARE(meterPercentCaption(57), QString("57%"));
        QCOMPARE(meterPercentCaption(0), QString("0%"));
    }

    void sqlIndicator()
    {
        QCOMPARE(sqlIndicatorLook(SqlClosed).caption, QString("SQL"));
        QCOMPARE(sqlIndicatorLook(SqlClosed).colorBgr, quint32(0xC0C0C0));
        QCOMPARE(sqlIndicatorLook(SqlReceiving).caption, QString("RX"));
        QCOMPARE(sqlIndicatorLook(SqlReceiving).colorBgr, quint32(0x00FF00));
        QCOMPARE(sqlIndicatorLook(SqlTransmitting).caption, QString("TX"));
        QCOMPARE(sqlIndicatorLook(SqlTransmitting).colorBgr, quint32(0x0000FF));
        for (int s : {0, 1, 2})
            QCOMPARE(sqlStateFromCaption(sqlIndicatorLook(s).caption), s);
        QCOMPARE(sqlStateFromCaption(""), int(SqlReceiving));
        QCOMPARE(sqlStateFromCaption("sql"), int(SqlReceiving));
    }

    void unitsCaption()
    {
        TDepresz m;
        setUpLikeMainWindow(m);
        const QImage plain = m.grab().toImage();
        m.SetUnits(QString());
        const QImage empty = m.grab().toImage();
        // The caption is drawn from y 40 down, centred; nothing of it above.
        bool differsInCaption = false;
        for (int y = 40; y < 60 && !differsInCaption; ++y)
            for (int x = 40; x < 112; ++x)
                if (x < 74 || x > 78) // leave out the needle's column
                    differsInCaption |= plain.pixelColor(x, y) != empty.pixelColor(x, y);
        QVERIFY(differsInCaption);
        for (int x = 40; x < 112; ++x)
            QCOMPARE(plain.pixelColor(x, 38), empty.pixelColor(x, 38));
    }
};

TARNWICK_TEST_CLASS(TestDepresz)
#include "tst_depresz.moc"
