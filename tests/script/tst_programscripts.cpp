// The PROG keys' script host against a faked window: editing and saving the
// files, the keys while a script runs, the "Line: " report, stopping a script
// (also one that never looks at Zov), and the blinking.

#include "base/Folders.h"
#include "common/TestEnvironment.h"
#include "script/ZovTestSupport.h"

#include <QDir>
#include <QFile>

namespace {

QByteArray readFile(const QString &name)
{
    QFile file(ProgramFolder() + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A click on a key: the key toggles, then the handler runs.
void click(FakeZovHost &w, TProgramScripts &scripts, int key)
{
    w.keyDown[key] = !w.keyDown[key];
    scripts.RunProgram(key);
}

// The editor is left with "Run >>>" and this text.
std::function<bool(QString &)> runs(const QString &script)
{
    return [script](QString &text) { return text = script, true; };
}

QString keys(const FakeZovHost &w, int key)
{
    return QString("down %1 red %2 blinking %3 enabled %4%5%6")
        .arg(w.keyDown[key]).arg(w.keyRed[key]).arg(w.blinking)
        .arg(w.keyEnabled[0]).arg(w.keyEnabled[1]).arg(w.keyEnabled[2]);
}

} // namespace

class TestProgramScripts : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::resetSandbox(); }

    // No file: the default line; "Close" keeps the edit in a new file, the
    // hint shows it, nothing runs.
    void closeKeepsTheEdit()
    {
        FakeZovHost w;
        TProgramScripts scripts(w);
        scripts.UpdateProgramHint(1);
        QCOMPARE(w.hints[1], QString("No script"));
        w.editor = [](QString &text) { return text += "\nMsgBox 1", false; };
        click(w, scripts, 1);
        QCOMPARE(w.edited, QStringList({"' Write VBScript code here"}));
        QCOMPARE(readFile("PROG2.vbs"), QByteArray("' Write VBScript code here\r\nMsgBox 1"));
        QCOMPARE(w.hints[1], QString("' Write VBScript code here\nMsgBox 1"));
        QCOMPARE(keys(w, 1), QString("down 0 red 0 blinking 0 enabled 111"));
        QVERIFY(w.log.isEmpty());
    }

    // The file's text reaches the editor and its bytes stay; while the script
    // runs its key alone is enabled and blinks, the script's dialogs go to
    // the window, and its files are beside the key's.
    void runSetsTheKeysAndRestoresThem()
    {
        const QByteArray bytes("\xEF\xBB\xBF' caf\xC3\xA9\nMsgBox InputBox(\"f?\")\n"
                               "CreateObject(\"Scripting.FileSystemObject\").CreateTextFile(\"log.txt\").Write 1\n");
        QFile file(ProgramFolder() + "PROG3.vbs");
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        FakeZovHost w;
        TProgramScripts scripts(w);
        QString during;
        w.onMsgBox = [&] { during = keys(w, 2) + (scripts.Running() ? " running" : ""); };
        w.editor = [](QString &) { return true; };
        click(w, scripts, 2);
        QCOMPARE(w.edited, QStringList({QString::fromUtf8(bytes.mid(3))}));
        QCOMPARE(readFile("PROG3.vbs"), bytes);
        QCOMPARE(readFile("log.txt"), QByteArray("1"));
        QCOMPARE(w.log, QStringList({"input:f?", "box:typed"}));
        QCOMPARE(during, QString("down 1 red 0 blinking 1 enabled 001 running"));
        QCOMPARE(keys(w, 2), QString("down 0 red 0 blinking 0 enabled 111"));
        QVERIFY(!scripts.Running());
    }

    // "Line: n", an empty line, the description, after the window was told
    // of the failure; a syntax error is found before anything runs.
    void errorsNameTheirLine_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("syntax") << "MsgBox 1\nx = 1\nIf x Then y = (\n" << "aborted 0 1|msg:Line: 3\n\nExpected expression";
        QTest::newRow("run time") << "MsgBox 1\nx = 1 / 0\nMsgBox 2" << "box:1|aborted 0 1|msg:Line: 2\n\nDivision by zero";
    }
    void errorsNameTheirLine()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        FakeZovHost w;
        TProgramScripts scripts(w);
        w.editor = runs(script);
        click(w, scripts, 0);
        QCOMPARE(w.log.join(u'|'), expected);
        QCOMPARE(keys(w, 0), QString("down 0 red 0 blinking 0 enabled 111"));
    }

    // A click on the running key: Interrupted turns true and Sleep returns,
    // the key stays down in red, and the script's own ending still runs.
    void stopAskedIsSeenByTheScript()
    {
        FakeZovHost w;
        TProgramScripts scripts(w);
        w.waitStep = 100;
        w.onEvents = [&] {
            if (w.clock == 300 && w.blinking)
                click(w, scripts, 0);
        };
        QString stopping;
        w.onMsgBox = [&] { stopping = keys(w, 0); };
        w.editor = runs("Do\n Zov.Sleep 1000\nLoop Until Zov.Interrupted\nMsgBox \"off\"\n");
        click(w, scripts, 0);
        QCOMPARE(w.log, QStringList({"box:off", "aborted 0 0"}));
        QCOMPARE(w.clock, qint64(300));
        QCOMPARE(stopping, QString("down 1 red 1 blinking 0 enabled 100"));
        QCOMPARE(keys(w, 0), QString("down 0 red 0 blinking 0 enabled 111"));
    }

    // A script busy with statements still lets the window handle its
    // messages; asked to stop, it has a budget of statements to end by
    // itself, then it is stopped where it is, without a message.
    void endlessLoopIsStopped_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("never looks") << "Do : n = n + 1 : Loop\nMsgBox \"after\"" << "aborted 0 0";
        QTest::newRow("ends by itself") << "Do : Loop Until Zov.Interrupted\nFor i = 1 To 50000 : Next\nMsgBox 1"
                                        << "box:1|aborted 0 0";
    }
    void endlessLoopIsStopped()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        FakeZovHost w;
        TProgramScripts scripts(w);
        w.tickStep = 1; // time passes while statements run
        w.onEvents = [&] {
            if (w.events == 3)
                click(w, scripts, 0);
        };
        w.editor = runs(script);
        click(w, scripts, 0);
        QVERIFY(w.events >= 3);
        QCOMPARE(w.log.join(u'|'), expected);
        QCOMPARE(keys(w, 0), QString("down 0 red 0 blinking 0 enabled 111"));
    }

    // A file that cannot be written: the message, no run, and the edit is
    // offered again at the next click instead of being lost.
    void unsavedEditIsOffered()
    {
        QVERIFY(QDir().mkpath(ProgramFolder() + "PROG1.vbs"));
        QVERIFY(QDir().mkpath(DataFolder() + "PROG1.vbs"));
        FakeZovHost w;
        TProgramScripts scripts(w);
        w.editor = runs("MsgBox 1");
        click(w, scripts, 0);
        QCOMPARE(w.log.size(), 1);
        QVERIFY(w.log.at(0).startsWith("msg:Cannot save \"" + ProgramFolder() + "PROG1.vbs"));
        QVERIFY(!w.keyDown[0]);
        QVERIFY(QDir(ProgramFolder() + "PROG1.vbs").removeRecursively());
        w.editor = [](QString &) { return true; };
        click(w, scripts, 0);
        QCOMPARE(w.edited.last(), QString("MsgBox 1"));
        QCOMPARE(readFile("PROG1.vbs"), QByteArray("MsgBox 1"));
        QCOMPARE(w.log.last(), QString("box:1"));
        // Saved, the file is what the next click reads.
        QFile file(ProgramFolder() + "PROG1.vbs");
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("MsgBox 2") == 8);
        file.close();
        click(w, scripts, 0);
        QCOMPARE(w.edited.last(), QString("MsgBox 2"));
    }

    // The first key that is down changes colour; none down, nothing changes.
    void blinking()
    {
        FakeZovHost w;
        TProgramScripts scripts(w);
        scripts.BlinkingButtonTimer();
        QVERIFY(!w.keyRed[0] && !w.keyRed[1] && !w.keyRed[2]);
        w.keyDown[1] = w.keyDown[2] = true;
        scripts.BlinkingButtonTimer();
        QVERIFY(!w.keyRed[0] && w.keyRed[1] && !w.keyRed[2]);
        scripts.BlinkingButtonTimer();
        QVERIFY(!w.keyRed[1] && !w.keyRed[2]);
    }
};

TARNWICK_TEST_CLASS(TestProgramScripts)
#include "tst_programscripts.moc"
