// The PROG keys' script files: their names, the text the editor gets from
// their bytes and the bytes the edited text goes back as, and the keys' hints.

#include "script/ScriptFile.h"
#include "common/TestEnvironment.h"

#include <QtTest/QtTest>

class TestScriptFile : public QObject
{
    Q_OBJECT
private slots:
    void fileNames_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("name");
        QTest::newRow("blank") << "PROG 1" << "PROG1.vbs";
        QTest::newRow("codes 33 and 175 kept, 32 and 176 not") << QString("!a b\u00AF\u00B0") << QString("!ab\u00AF.vbs");
        QTest::newRow("controls and wide characters") << QString("P\tR\u0416\n3") << "PR3.vbs";
    }
    void fileNames()
    {
        QFETCH(QString, caption);
        QFETCH(QString, name);
        QCOMPARE(ScriptFileName(caption), name);
    }

    // Bytes as read, the text the editor shows, and the bytes of that text
    // with " x" added at the end: the character set and the first line end
    // of the file stay.
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("edited");
        QTest::newRow("ansi, CR LF") << QByteArray("a\xE9\r\nb") << QString("a\u00E9\nb") << QByteArray("a\xE9\r\nb x");
        QTest::newRow("ansi, mixed ends: edits take the first")
            << QByteArray("a\r\nb\nc\rd\x80") << QString("a\nb\nc\nd\u20AC") << QByteArray("a\r\nb\r\nc\r\nd\x80 x");
        QTest::newRow("utf-8, LF") << QByteArray("a\xC3\xA9\nb\n") << QString("a\u00E9\nb\n")
                                   << QByteArray("a\xC3\xA9\nb\n x");
        QTest::newRow("utf-8 with mark, CR") << QByteArray("\xEF\xBB\xBF" "a\rb") << QString("a\nb")
                                             << QByteArray("\xEF\xBB\xBF" "a\rb x");
        QTest::newRow("utf-16 LE") << QByteArray("\xFF\xFE" "a\0\r\0\n\0b\0", 10) << QString("a\nb")
                                   << QByteArray("\xFF\xFE" "a\0\r\0\n\0b\0 \0x\0", 14);
        QTest::newRow("utf-16 BE") << QByteArray("\xFE\xFF\0a\0\n", 6) << QString("a\n")
                                   << QByteArray("\xFE\xFF\0a\0\n\0 \0x", 10);
        QTest::newRow("no line end: CR LF for new lines") << QByteArray("a") << QString("a") << QByteArray("a x");
        QTest::newRow("empty file") << QByteArray() << QString() << QByteArray(" x");
        QTest::newRow("no-break space and tab kept") << QByteArray("a\xA0\tb") << QString("a\u00A0\tb")
                                                      << QByteArray("a\xA0\tb x");
    }
    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QByteArray, edited);
        const TScriptFileText file = TScriptFileText::FromBytes(bytes);
        QCOMPARE(file.Text(), text);
        QCOMPARE(file.BytesFor(text), bytes);
        QCOMPARE(file.BytesFor(text + " x"), edited);
    }

    // Line breaks typed in the editor take the file's line end; a character
    // the code page lacks turns a Windows-1252 file into UTF-8, whole.
    void editedText()
    {
        const TScriptFileText ansi = TScriptFileText::FromBytes("a\xE9\r\nb");
        QCOMPARE(ansi.BytesFor("c\nd"), QByteArray("c\r\nd"));
        QCOMPARE(ansi.BytesFor(QString("\u00E9\u0416")), QByteArray("\xC3\xA9\xD0\x96"));
        QCOMPARE(ansi.BytesFor("a?"), QByteArray("a?"));
        // A text given back with CR LF ends compares equal to the file's.
        QCOMPARE(ansi.BytesFor("a\u00E9\r\nb"), QByteArray("a\xE9\r\nb"));

        const TScriptFileText fresh = TScriptFileText::FromNewText(NewScriptText());
        QCOMPARE(fresh.Text(), QString("' Write VBScript code here"));
        QCOMPARE(fresh.BytesFor(fresh.Text()), QByteArray("' Write VBScript code here"));
        QCOMPARE(fresh.BytesFor("a\nb\u00E9"), QByteArray("a\r\nb\xC3\xA9"));
    }

    void hints_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("hint");
        QTest::newRow("five lines at most, blank lines count")
            << QByteArray("1\r\n\r\n3\r\n4\r\n5\r\n6\r\n") << QString("1\n\n3\n4\n5");
        QTest::newRow("trimmed, then cut to 80") << QByteArray("  \t" + QByteArray(85, 'x') + " \r\n  y  ")
                                                 << QString(80, 'x') + "\ny";
        QTest::newRow("a last line end adds no line") << QByteArray("a\nb\n") << QString("a\nb");
        QTest::newRow("CR ends, Windows-1252") << QByteArray("\xE9\rb") << QString("\u00E9\nb");
        QTest::newRow("empty file") << QByteArray() << QString();
    }
    void hints()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, hint);
        QCOMPARE(ScriptHint(bytes), hint);
    }
};

TARNWICK_TEST_CLASS(TestScriptFile)
#include "tst_scriptfile.moc"
