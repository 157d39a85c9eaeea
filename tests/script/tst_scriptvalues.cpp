// The conversions under every script: text to number and back, dates to
// text, and the default answer of a message box.
#include "common/TestEnvironment.h"
#include "script/ScriptObject.h"
#include "script/ScriptSource.h"
#include "script/ScriptValue.h"

class TestScriptValues : public QObject
{
    Q_OBJECT
private slots:
    void parseNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::newRow("whole") << "42" << true << 42.0;
        QTest::newRow("blanks and sign") << " \t-12.5 " << true << -12.5;
        QTest::newRow("leading point") << ".5" << true << 0.5;
        QTest::newRow("trailing point") << "3." << true << 3.0;
        QTest::newRow("exponent") << "1.5e3" << true << 1500.0;
        QTest::newRow("D exponent") << "2D-2" << true << 0.02;
        QTest::newRow("hex Integer bits") << "&HFFFF" << true << -1.0;
        QTest::newRow("hex Long") << "&h10000" << true << 65536.0;
        QTest::newRow("octal") << "&O17" << true << 15.0;
        QTest::newRow("underflow") << "1e-400" << true << 0.0;
        QTest::newRow("empty") << "" << false << 0.0;
        QTest::newRow("blank") << "  " << false << 0.0;
        QTest::newRow("point alone") << "." << false << 0.0;
        QTest::newRow("letters after") << "12a" << false << 0.0;
        QTest::newRow("two numbers") << "1 2" << false << 0.0;
        QTest::newRow("exponent without digits") << "1e" << false << 0.0;
        QTest::newRow("infinity") << "inf" << false << 0.0;
        QTest::newRow("nan") << "nan" << false << 0.0;
        QTest::newRow("overflow") << "1e999" << false << 0.0;
        QTest::newRow("bad hex") << "&HG" << false << 0.0;
        QTest::newRow("hex beyond 32 bits") << "&H100000000" << false << 0.0;
        QTest::newRow("comma") << "1,5" << false << 0.0;
    }
    void parseNumber()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(double, value);
        double parsed = -99;
        QCOMPARE(ScriptText::ParseNumber(text, parsed), ok);
        if (ok)
            QCOMPARE(parsed, value);
    }

    void formatDouble_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("third") << 1.0 / 3 << "0.333333333333333";
        QTest::newRow("sum") << 0.1 + 0.2 << "0.3";
        QTest::newRow("whole") << 2.0 << "2";
        QTest::newRow("negative") << -2.5 << "-2.5";
        QTest::newRow("fifteen digits") << 123456789012345.0 << "123456789012345";
        QTest::newRow("1E+15") << 1e15 << "1E+15";
        QTest::newRow("small fixed") << 0.0001 << "0.0001";
        QTest::newRow("small exponent") << 0.00001 << "1E-05";
        QTest::newRow("large") << 1.5e300 << "1.5E+300";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
    }
    void formatDouble()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(ScriptText::FormatDouble(value), text);
    }

    void formatDate_data()
    {
        QTest::addColumn<double>("serial");
        QTest::addColumn<QString>("text");
        QTest::newRow("date only") << 45000.0 << "3/15/2023";
        QTest::newRow("date and afternoon") << 45000.75 << "3/15/2023 6:00:00 PM";
        QTest::newRow("time only") << 0.5 + 1.0 / 86400 << "12:00:01 PM";
        QTest::newRow("midnight alone") << 0.0 << "12:00:00 AM";
        QTest::newRow("morning") << 1.0 / 24 * 9.5 << "9:30:00 AM";
        QTest::newRow("before 1899-12-30") << -1.25 << "12/29/1899 6:00:00 AM";
        QTest::newRow("rounds to next day") << 45000.999999999 << "3/16/2023";
        QTest::newRow("beyond year 9999") << 1e7 << "10000000";
    }
    void formatDate()
    {
        QFETCH(double, serial);
        QFETCH(QString, text);
        QCOMPARE(ScriptText::FormatDate(serial), text);
    }

    void ansiCodesRoundTrip()
    {
        for (int code = 0; code < 256; ++code)
            QCOMPARE(ScriptAnsiCode(ScriptAnsiChar(code)), code);
        QCOMPARE(ScriptAnsiCode(QChar(0x4E00)), int('?'));
    }

    void msgBoxDefaultButton_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("answer");
        QTest::newRow("vbOKOnly") << 0 << 1;
        QTest::newRow("vbOKCancel + vbDefaultButton2") << 1 + 256 << 2;
        QTest::newRow("vbAbortRetryIgnore + vbDefaultButton3") << 2 + 512 << 5;
        QTest::newRow("vbYesNoCancel + vbQuestion") << 3 + 32 << 6;
        QTest::newRow("vbYesNo + vbDefaultButton2") << 4 + 256 << 7;
        QTest::newRow("vbYesNo + vbDefaultButton3") << 4 + 512 << 6;
        QTest::newRow("vbRetryCancel + vbDefaultButton2") << 5 + 256 << 2;
        QTest::newRow("unknown style") << 7 << 1;
    }
    void msgBoxDefaultButton()
    {
        QFETCH(int, buttons);
        QFETCH(int, answer);
        QCOMPARE(ScriptMsgBoxDefaultButton(buttons), answer);
    }
};

TARNWICK_TEST_CLASS(TestScriptValues)
#include "tst_scriptvalues.moc"
