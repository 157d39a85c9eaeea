#include "base/BgrColor.h"
#include "base/Widgets.h"
#include "common/TestEnvironment.h"

#include <QToolButton>

class TestWidgets : public QObject
{
    Q_OBJECT
private slots:
    void coloursAreBlueGreenRed()
    {
        QCOMPARE(bgrToColor(0x0000FF), QColor(255, 0, 0));
        QCOMPARE(bgrToColor(0xFF8000), QColor(0, 0x80, 0xFF));
        QCOMPARE(colorToBgr(bgrToColor(0xFF123456)), quint32(0x123456)); // the high byte is no colour
    }

    // Pressing a key releases the others; a click on the pressed key releases
    // it only in a group that may be all up.
    void speedButtonGroups()
    {
        for (bool allowAllUp : {false, true}) {
            SpeedButtonGroup group(allowAllUp);
            QToolButton a, b;
            group.Add(&a);
            group.Add(&b);
            QCOMPARE(group.Down(), nullptr);
            a.click();
            b.click();
            QCOMPARE(group.Down(), &b);
            QVERIFY(!a.isChecked());
            b.click();
            QCOMPARE(group.Down(), allowAllUp ? nullptr : &b);
            group.SetDown(&a);
            QVERIFY(a.isChecked() && !b.isChecked());
        }
    }
};

TARNWICK_TEST_CLASS(TestWidgets)
#include "tst_widgets.moc"
