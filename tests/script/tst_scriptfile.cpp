// The PROG keys' script files: their names, the text the editor gets from
// their bytes and the bytes the edited text goes back as, and the hints.

#include "common/TestEnvironment.h"
#include "script/ScriptFile.h"

class TestScriptFile : public QObject
{
    Q_OBJECT
private slots:
    void fileNames()
    {
        QCOMPARE(ScriptFileName("PROG 1"), QString("PROG1.vbs"));
        // Codes 33 to 175 stay; blanks, controls and wider characters go.
        QCOMPARE(ScriptFileName(QString("!a \t\u00AF\u00B0\u0416")), QString("!a\u00AF.vbs"));
    }

    // Bytes as read, the editor's text, and the bytes of that text with a
    // line "x" added: the character set and the lines' ends stay, the new
    // line ends with the file's first line end.
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("edited");
        QTest::newRow("ansi, CR LF") << QByteArray("a\xE9\r\nb") << QString("a\u00E9\nb") << QByteArray("a\xE9\r\nb\r\nx");
        QTest::newRow("ansi, mixed ends") << QByteArray("a\nb\r\nc\rd\x80\x81") << QString("a\nb\nc\nd\u20AC\u0081")
                                          << QByteArray("a\nb\r\nc\rd\x80\x81\nx");
        QTest::newRow("ansi, last byte high") << QByteArray("a\r\nb\xE9") << QString("a\nb\u00E9")
                                              << QByteArray("a\r\nb\xE9\r\nx");
        QTest::newRow("utf-8, LF") << QByteArray("a\xC3\xA9\nb\n") << QString("a\u00E9\nb\n")
                                   << QByteArray("a\xC3\xA9\nb\n\nx");
        QTest::newRow("utf-8 with mark, CR") << QByteArray("\xEF\xBB\xBF" "a\rb") << QString("a\nb")
                                             << QByteArray("\xEF\xBB\xBF" "a\rb\rx");
        QTest::newRow("utf-16 LE") << QByteArray("\xFF\xFE" "a\0\r\0\n\0", 8) << QString("a\n")
                                   << QByteArray("\xFF\xFE" "a\0\r\0\n\0\r\0\n\0x\0", 14);
        QTest::newRow("utf-16 BE") << QByteArray("\xFE\xFF\0a", 4) << QString("a")
                                   << QByteArray("\xFE\xFF\0a\0\r\0\n\0x", 10);
        QTest::newRow("empty") << QByteArray() << QString() << QByteArray("\r\nx");
        QTest::newRow("no-break space, tab") << QByteArray("\xA0\t") << QString("\u00A0\t") << QByteArray("\xA0\t\r\nx");
    }
    void roundTrip()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QByteArray, edited);
        const TScriptFileText file = TScriptFileText::FromBytes(bytes);
        QCOMPARE(file.Text(), text);
        QCOMPARE(file.BytesFor(text), bytes);
        QCOMPARE(file.BytesFor(text + "\nx"), edited);
    }

    // In a file of mixed line ends each line the edit left as it was keeps
    // its own end; changed and new lines take the file's first one.
    void mixedLineEndsSurviveEdits_data()
    {
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("a line changed") << "a\nB\nc\nd" << QByteArray("a\r\nB\r\nc\rd");
        QTest::newRow("a line inserted") << "a\nx\nb\nc\nd" << QByteArray("a\r\nx\r\nb\nc\rd");
        QTest::newRow("a line removed") << "a\nc\nd" << QByteArray("a\r\nc\rd");
        QTest::newRow("lines moved") << "c\nd\na\nb" << QByteArray("c\rd\r\na\r\nb");
    }
    void mixedLineEndsSurviveEdits()
    {
        QFETCH(QString, edited);
        QFETCH(QByteArray, bytes);
        QCOMPARE(TScriptFileText::FromBytes("a\r\nb\nc\rd").BytesFor(edited), bytes);
    }

    // A character the code page lacks turns a Windows-1252 file into UTF-8,
    // whole; text given back with CR LF ends is the file's text still.
    void editedText()
    {
        const TScriptFileText ansi = TScriptFileText::FromBytes("a\xE9\r\nb");
        QCOMPARE(ansi.BytesFor(QString("\u00E9\u0416")), QByteArray("\xC3\xA9\xD0\x96"));
        QCOMPARE(ansi.BytesFor("a?"), QByteArray("a?"));
        QCOMPARE(ansi.BytesFor("a\u00E9\r\nb"), QByteArray("a\xE9\r\nb"));
        const TScriptFileText fresh = TScriptFileText::FromNewText(NewScriptText());
        QCOMPARE(fresh.BytesFor(fresh.Text() + "\n\u00E9"), QByteArray("' Write VBScript code here\r\n\xC3\xA9"));
    }

    void hints_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("hint");
        QTest::newRow("five lines, blank ones count") << QByteArray("1\r\n\r\n3\r\n4\r\n5\r\n6\r\n") << "1\n\n3\n4\n5";
        QTest::newRow("trimmed, then cut to 80") << QByteArray("  \t" + QByteArray(85, 'x') + " \r\n  y  ")
                                                 << QString(80, 'x') + "\ny";
        QTest::newRow("CR ends, Windows-1252, last end") << QByteArray("\xE9\rb\r") << QString("\u00E9\nb");
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
