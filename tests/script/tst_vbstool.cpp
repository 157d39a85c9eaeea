// The command-line runner as an operator uses it: the real tarnwick-vbs
// binary with a script file, standard input, output, error and exit code.
#include "common/TestEnvironment.h"

#include <QProcess>
#include <QTemporaryDir>

namespace {

struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

QString ToolPath()
{
    const QString path = qEnvironmentVariable("TARNWICK_VBS");
    return path.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/tarnwick-vbs") : path;
}

ToolRun RunTool(const QStringList &Arguments, const QByteArray &Input = {})
{
    QProcess process;
    process.start(ToolPath(), Arguments);
    process.write(Input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

ToolRun RunScript(const QByteArray &Bytes, const QByteArray &Input = {})
{
    QTemporaryDir dir;
    const QString path = dir.filePath("PROG1.vbs");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Bytes) != Bytes.size())
        return {};
    file.close();
    return RunTool({path}, Input);
}

} // namespace

class TestVbsTool : public QObject
{
    Q_OBJECT
private slots:
    void runs_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("messages") << QByteArray("MsgBox \"hello\"\r\nMsgBox 1 + 1\r\n") << QByteArray() << 0
                                  << "hello\n2\n" << "";
        QTest::newRow("line breaks in a message") << QByteArray("MsgBox \"a\" & vbCrLf & \"b\" & vbCr & \"c\"") << QByteArray() << 0
                                                  << "a\nb\nc\n" << "";
        QTest::newRow("input lines") << QByteArray("n = InputBox(\"Name?\") : MsgBox \"Hi \" & n : m = InputBox(\"More?\") : MsgBox IsEmpty(m)")
                                     << QByteArray("Anna\r\n") << 0 << "Hi Anna\nTrue\n" << "";
        QTest::newRow("no Zov here") << QByteArray("MsgBox 1\nZov.Frequency = 7000000") << QByteArray() << 1 << "1\n"
                                     << "Line: 2\nObject required: 'Zov'\n";
        QTest::newRow("syntax error first") << QByteArray("MsgBox 1\nIf x\n") << QByteArray() << 1 << ""
                                            << "Line: 2\nExpected 'Then'\n";
        // Relative paths start at the script's folder, not the current one.
        QTest::newRow("files beside the script")
            << QByteArray("MsgBox CreateObject(\"Scripting.FileSystemObject\").OpenTextFile(\"PROG1.vbs\").ReadLine") << QByteArray()
            << 0 << "MsgBox CreateObject(\"Scripting.FileSystemObject\").OpenTextFile(\"PROG1.vbs\").ReadLine\n" << "";
        QTest::newRow("windows-1252 file") << QByteArray("MsgBox \"caf\xE9\"") << QByteArray() << 0 << QString::fromUtf8("caf\xC3\xA9\n") << "";
    }
    void runs()
    {
        QFETCH(QByteArray, script);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const ToolRun run = RunScript(script, input);
        QCOMPARE(run.err, err);
        QCOMPARE(run.out, out);
        QCOMPARE(run.exitCode, exitCode);
    }

    void unreadableFileAndUsage()
    {
        const ToolRun missing = RunTool({testenv::sandboxPath("data") + "/none.vbs"});
        QCOMPARE(missing.exitCode, 2);
        QVERIFY2(missing.err.contains("none.vbs"), qPrintable(missing.err));
        QVERIFY(missing.out.isEmpty());
        QCOMPARE(RunTool({}).exitCode, 2);
    }
};

TARNWICK_TEST_CLASS(TestVbsTool)
#include "tst_vbstool.moc"
