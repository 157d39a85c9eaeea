// The PROG keys' script host against a faked window: editing and saving the
// files, running with the keys' states, the "Line: " report, stopping a
// script (also one that never looks at Zov), and the blinking.

#include "base/Folders.h"
#include "script/ProgramScripts.h"
#include "script/ZovTestSupport.h"
#include "common/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QtTest/QtTest>

namespace {

QString programFile(const QString &name)
{
    return ProgramFolder() + name;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A click on a key: the key toggles, then the host's handler runs.
void click(FakeZovHost &window, TProgramScripts &scripts, int key)
{
    window.keyDown[key] = !window.keyDown[key];
    scripts.RunProgram(key);
}

// The editor leaves with "Run >>>" and the text given.
std::function<bool(QString &)> runs(const QString &script)
{
    return [script](QString &text) {
        text = script;
        return true;
    };
}

} // namespace

class TestProgramScripts : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::resetSandbox(); }

    // A key without a file: the editor starts with the default line;
    // "Close" keeps the edit in a new file and the hint shows it.
    void closeKeepsTheEditWithoutRunning()
    {
        FakeZovHost window;
        TProgramScripts scripts(window);
        scripts.UpdateProgramHint(1);
        QCOMPARE(window.hints[1], QString("No script"));
        window.editor = [](QString &text) {
            text += "\nMsgBox 1";
            return false;
        };
        click(window, scripts, 1);
        QCOMPARE(window.edited, QStringList({"' Write VBScript code here"}));
        QCOMPARE(readFile(programFile("PROG2.vbs")), QByteArray("' Write VBScript code here\r\nMsgBox 1"));
        QCOMPARE(window.hints[1], QString("' Write VBScript code here\nMsgBox 1"));
        QVERIFY(!window.keyDown[1]);
        QVERIFY(window.log.isEmpty());
    }

    // The file's bytes come back untouched when the text is; the run sees
    // the window as a running script does: its key alone enabled, blinking.
    void runShowsTheKeysStateAndRestoresIt()
    {
        const QByteArray bytes("\xEF\xBB\xBF' caf\xC3\xA9\nMsgBox Zov.Interrupted\n");
        writeFile(programFile("PROG3.vbs"), bytes);
        FakeZovHost window;
        TProgramScripts scripts(window);
        QStringList during;
        window.onMsgBox = [&] {
            during << QString("running %1 blinking %2 enabled %3%4%5")
                          .arg(scripts.Running())
                          .arg(window.blinking)
                          .arg(window.keyEnabled[0])
                          .arg(window.keyEnabled[1])
                          .arg(window.keyEnabled[2]);
        };
        window.editor = [](QString &) { return true; };
        click(window, scripts, 2);
        QCOMPARE(window.edited, QStringList({"' caf\u00E9\nMsgBox Zov.Interrupted\n"}));
        QCOMPARE(readFile(programFile("PROG3.vbs")), bytes);
        QCOMPARE(window.log, QStringList({"box:False"}));
        QCOMPARE(during, QStringList({"running 1 blinking 1 enabled 001"}));
        QVERIFY(!scripts.Running());
        QVERIFY(!window.keyDown[2] && !window.blinking && !window.keyRed[2]);
        QVERIFY(window.keyEnabled[0] && window.keyEnabled[1] && window.keyEnabled[2]);
    }

    // Errors: "Line: n", an empty line, the description. A syntax error
    // is found before anything runs.
    void errorsNameTheirLine_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("syntax") << "MsgBox 1\nx = 1\nIf x Then y = (\nMsgBox 2"
                                << "msg:Line: 3\n\nExpected expression";
        QTest::newRow("run time") << "MsgBox 1\nx = 1 / 0\nMsgBox 2" << "box:1|msg:Line: 2\n\nDivision by zero";
        QTest::newRow("named") << "Option Explicit\nDim a\nb = 1" << "msg:Line: 3\n\nVariable is undefined: 'b'";
    }
    void errorsNameTheirLine()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        FakeZovHost window;
        TProgramScripts scripts(window);
        window.editor = runs(script);
        click(window, scripts, 0);
        QCOMPARE(window.log.join(u'|'), expected);
        QVERIFY(!window.keyDown[0] && !window.blinking);
    }

    // A click on the running key: Interrupted turns true, the key stays down
    // in red, and the script's own ending still runs.
    void stopAskedIsSeenByTheScript()
    {
        FakeZovHost window;
        TProgramScripts scripts(window);
        window.waitStep = 100;
        QString keyWhileStopping;
        window.onEvents = [&] {
            if (window.clock == 300 && window.blinking)
                click(window, scripts, 0);
        };
        window.onMsgBox = [&] {
            keyWhileStopping = QString("down %1 red %2 blinking %3")
                                   .arg(window.keyDown[0])
                                   .arg(window.keyRed[0])
                                   .arg(window.blinking);
        };
        window.editor = runs("Do\n Zov.Sleep 1000\nLoop Until Zov.Interrupted\nMsgBox \"off at \" & n\n");
        click(window, scripts, 0);
        QCOMPARE(window.log, QStringList({"box:off at "}));
        QCOMPARE(window.clock, qint64(300));
        QCOMPARE(keyWhileStopping, QString("down 1 red 1 blinking 0"));
        QVERIFY(!window.keyDown[0] && !window.keyRed[0] && !scripts.Running());
    }

    // A script that never looks at Zov still lets the window handle its
    // messages; stopped, it gets a budget of statements to end by itself,
    // then it is stopped where it is, without a message.
    void endlessLoopIsStopped_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("expected");
        QTest::newRow("never looks") << "Do : n = n + 1 : Loop\nMsgBox \"after\"" << "";
        QTest::newRow("ends by itself") << "Do : Loop Until Zov.Interrupted\nFor i = 1 To 50000 : Next\nMsgBox \"off\""
                                        << "box:off";
    }
    void endlessLoopIsStopped()
    {
        QFETCH(QString, script);
        QFETCH(QString, expected);
        FakeZovHost window;
        TProgramScripts scripts(window);
        int handled = 0;
        // Time passes while statements run, so the interpreter's hook hands
        // the window its messages.
        window.tickStep = 1;
        window.onEvents = [&] {
            if (++handled == 3)
                click(window, scripts, 0);
        };
        window.editor = runs(script);
        click(window, scripts, 0);
        QVERIFY(handled >= 3);
        QCOMPARE(window.log.join(u'|'), expected);
        QVERIFY(!scripts.Running() && !window.keyDown[0]);
    }

    // One run at a time; the key clicked meanwhile is let up again.
    void secondRunIsRefused()
    {
        FakeZovHost window;
        TProgramScripts scripts(window);
        window.editor = [&](QString &text) {
            text = "MsgBox 1";
            window.editor = runs("MsgBox 2");
            return true;
        };
        window.onMsgBox = [&] { click(window, scripts, 1); };
        click(window, scripts, 0);
        QCOMPARE(window.log, QStringList({"box:1"}));
        QCOMPARE(window.edited.size(), 1);
        QVERIFY(!window.keyDown[1]);
    }

    // A file that cannot be written: the message, no run, and the edit comes
    // back at the next click instead of being lost.
    void unsavedEditIsOffered()
    {
        QVERIFY(QDir().mkpath(programFile("PROG1.vbs")));
        QVERIFY(QDir().mkpath(DataFolder() + "PROG1.vbs"));
        FakeZovHost window;
        TProgramScripts scripts(window);
        window.editor = runs("MsgBox 1");
        click(window, scripts, 0);
        QCOMPARE(window.log.size(), 1);
        QVERIFY(window.log.at(0).startsWith("msg:Cannot save \"" + programFile("PROG1.vbs")));
        QVERIFY(!window.keyDown[0]);

        QVERIFY(QDir(programFile("PROG1.vbs")).removeRecursively());
        window.editor = [](QString &) { return true; };
        click(window, scripts, 0);
        QCOMPARE(window.edited.last(), QString("MsgBox 1"));
        QCOMPARE(readFile(programFile("PROG1.vbs")), QByteArray("MsgBox 1"));
        QCOMPARE(window.log.last(), QString("box:1"));
    }

    void blinking_data()
    {
        QTest::addColumn<int>("down");
        QTest::addColumn<bool>("red");
        QTest::addColumn<QString>("after");
        QTest::newRow("first down key turns red") << 0b110 << false << "0 1 0";
        QTest::newRow("red turns black") << 0b010 << true << "0 0 0";
        QTest::newRow("no key down") << 0 << true << "0 1 0";
    }
    void blinking()
    {
        QFETCH(int, down);
        QFETCH(bool, red);
        QFETCH(QString, after);
        FakeZovHost window;
        TProgramScripts scripts(window);
        for (int k = 0; k < 3; ++k)
            window.keyDown[k] = down & (1 << k);
        window.keyRed[1] = red;
        scripts.BlinkingButtonTimer();
        QCOMPARE(QString("%1 %2 %3").arg(window.keyRed[0]).arg(window.keyRed[1]).arg(window.keyRed[2]), after);
    }

    // The script's own dialogs go to the window.
    void dialogsReachTheWindow()
    {
        FakeZovHost window;
        TProgramScripts scripts(window);
        window.editor = runs("MsgBox InputBox(\"Frequency?\")");
        click(window, scripts, 0);
        QCOMPARE(window.log, QStringList({"input:Frequency?", "box:typed"}));
    }
};

TARNWICK_TEST_CLASS(TestProgramScripts)
#include "tst_programscripts.moc"
