#include "common/TestEnvironment.h"
#include "data/TextFields.h"

#include <QApplication>

class TestTextFields : public QObject
{
    Q_OBJECT
private slots:
    void cutFieldTakesTextBeforeFirstSeparator()
    {
        QString line = "14\t14000\t14350";
        QCOMPARE(CutField(line, '\t'), QString("14"));
        QCOMPARE(line, QString("14000\t14350"));
        QCOMPARE(CutField(line, '\t'), QString("14000"));
        QCOMPARE(CutField(line, '\t'), QString("14350"));
        QCOMPARE(line, QString());
        QCOMPARE(CutField(line, '\t'), QString());
    }
    void cutFieldKeepsEmptyFields()
    {
        QString line = "\t\tx";
        QCOMPARE(CutField(line, '\t'), QString());
        QCOMPARE(line, QString("\tx"));
        QCOMPARE(CutField(line, '\t'), QString());
        QCOMPARE(CutField(line, '\t'), QString("x"));
    }
    void getFieldCountsSeparators()
    {
        const QString line = "14000\t14070\tCW\t009B9BFB\t";
        QCOMPARE(GetField(line, '\t', 0), QString("14000"));
        QCOMPARE(GetField(line, '\t', 2), QString("CW"));
        QCOMPARE(GetField(line, '\t', 3), QString("009B9BFB"));
        QCOMPARE(GetField(line, '\t', 4), QString());
        QCOMPARE(GetField(line, '\t', 5), QString());
        QCOMPARE(GetField("a\tb", '\t', 1), QString("b"));
        QCOMPARE(GetField("a\tb", '\t', 7), QString());
        QCOMPARE(GetField("a\tb", '\t', -1), QString());
    }
    void getFieldOfLineWithoutSeparatorIsAlwaysEmpty()
    {
        QCOMPARE(GetField("14000", '\t', 0), QString());
        QCOMPARE(GetField("14000", '\t', 1), QString());
    }
    void groupThousandsInsertsOneComma_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("three") << "580" << "580";
        QTest::newRow("four") << "1810" << "1,810";
        QTest::newRow("five") << "14000" << "14,000";
        QTest::newRow("six") << "144000" << "144,000";
        QTest::newRow("seven") << "1234567" << "1234,567";
        QTest::newRow("text") << "abcd" << "a,bcd";
    }
    void groupThousandsInsertsOneComma()
    {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(GroupThousands(text), shown);
    }
    void readKhzRefusesWhatHertzCannotHold()
    {
        qint32 khz = -5;
        QVERIFY(ReadKhz("14000", khz));
        QCOMPARE(khz, 14000);
        QVERIFY(ReadKhz("2147483", khz));
        QCOMPARE(khz, 2147483);
        QVERIFY(ReadKhz("-7", khz));
        QCOMPARE(khz, -7);
        khz = 1;
        QVERIFY(!ReadKhz("2147484", khz));
        QVERIFY(!ReadKhz("99999999999", khz));
        QVERIFY(!ReadKhz("", khz));
        QVERIFY(!ReadKhz("14.5", khz));
        QVERIFY(!ReadKhz("abc", khz));
        QCOMPARE(khz, 1);
    }
    void sanitizeKeepsOneLineOfFields()
    {
        QCOMPARE(SanitizeFieldText("a\tb\r\nc"), QString("a b  c"));
        QCOMPARE(SanitizeFieldText("plain"), QString("plain"));
    }
};

TARNWICK_TEST_CLASS(TestTextFields)
#include "tst_textfields.moc"
