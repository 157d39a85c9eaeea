#include "base/BgrColor.h"
#include "common/TestEnvironment.h"

#include <QApplication>

class TestBgrColor : public QObject
{
    Q_OBJECT
private slots:
    void redIsLowByte()
    {
        const QColor red = bgrToColor(0x0000FF);
        QCOMPARE(red.red(), 255);
        QCOMPARE(red.green(), 0);
        QCOMPARE(red.blue(), 0);
        QCOMPARE(bgrToColor(0xFF0000), QColor(0, 0, 255));
    }
    void roundTrip_data()
    {
        QTest::addColumn<quint32>("bgr");
        QTest::newRow("light grey") << quint32(0xF0F0F0);
        QTest::newRow("maroon") << quint32(0x000080);
        QTest::newRow("mixed") << quint32(0x123456);
    }
    void roundTrip()
    {
        QFETCH(quint32, bgr);
        QCOMPARE(colorToBgr(bgrToColor(bgr)), bgr);
    }
    void highByteIgnored() { QCOMPARE(colorToBgr(bgrToColor(0xFF123456)), quint32(0x123456)); }
};

TARNWICK_TEST_CLASS(TestBgrColor)
#include "tst_bgrcolor.moc"
