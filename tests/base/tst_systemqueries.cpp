#include "base/SystemQueries.h"
#include "common/TestEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QSettings>

#include <cerrno>
#include <csignal>
#include <tuple>

namespace {

// Whether a process still runs (a zombie counts as ended).
bool processRuns(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && text.mid(close + 2, 1) != "Z";
}

// Whether a process has its own SIGTERM handler installed.
bool catchesSigterm(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16) & (1ULL << (SIGTERM - 1));
    return false;
}

QString programPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tarnwick");
}

} // namespace

class TestSystemQueries : public QObject
{
    Q_OBJECT
private slots:
    void windowsNameTable()
    {
        const QList<std::tuple<int, int, int, QString>> rows = {
            {1, 4, 10, "Windows 98"}, {2, 5, 1, "Windows XP"}, {2, 6, 1, ""}, {2, 10, 0, "Windows"}};
        for (const auto &[platform, major, minor, name] : rows)
            QCOMPARE(WindowsNameFor(platform, major, minor), name);
#ifndef Q_OS_WIN
        QCOMPARE(WindowsName(), QSysInfo::prettyProductName());
#endif
    }

    void systemErrorTextLosesTrailingStopsBlanksAndBreaks()
    {
        QCOMPARE(TrimSystemErrorText("Bad thing . .\t \n"), QString("Bad thing"));
        QCOMPARE(TrimSystemErrorText("v1.2 failed"), QString("v1.2 failed"));
        QCOMPARE(TrimSystemErrorText("...\r\n"), QString());
        QCOMPARE(TrimSystemErrorText(QString(300, 'x')).size(), 256);
        QCOMPARE(SystemErrorText(ENOENT), QString("No such file or directory"));
    }

    void switchesMatchBySlashOrDashAnyCaseAndPrefix()
    {
        for (const QStringList &given : {QStringList{"-checkinternet"}, QStringList{"/CHECKINTERNETNOW"}})
            QVERIFY(IsCheckInternetMode(given));
        for (const QStringList &given : {QStringList{"CheckInternet"}, QStringList{"/Check"}, QStringList{},
                                         QStringList{"/CheckInternet", "--port"}})
            QVERIFY(!IsCheckInternetMode(given));
        QVERIFY(IsRegistrationMode({"--port", "/dev/pts/3", "/regserver"}));
        QVERIFY(!IsRegistrationMode({"--model", "FT-817"}));
    }

    void defaultRouteRule()
    {
        const QString head = "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\n";
        const QString table = head + "eth0\t00000000\t0102A8C0\t0003\t0\t0\t100\t00000000\n"
                                     "eth0\t0002A8C0\t00000000\t0001\t0\t0\t100\t00FFFFFF\n";
        QVERIFY(HasDefaultRoute(table, {"eth0"}));
        QVERIFY(!HasDefaultRoute(table, {"wlan0"}));
        QVERIFY(!HasDefaultRoute(head + "eth0\t00000000\t0102A8C0\t0002\n", {"eth0"})); // route down
        QVERIFY(!HasDefaultRoute(head + "eth0\t0002A8C0\t00000000\t0001\n", {"eth0"})); // local only
        QVERIFY(!HasDefaultRoute(QString(), {"eth0"}));
    }

    void checkInternetModeAnswersThroughTheExitCode()
    {
        if (!QFile::exists(programPath()))
            QSKIP("the program is not built next to the tests");
        QProcess program;
        program.start(programPath(), {"-checkinternet"});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), CheckInternetExitCode());
        program.start(programPath(), {"/REGSERVER"});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        // "--help" and an unknown option print the usage and end at once.
        for (const char *parameter : {"--help", "--verbose"}) {
            program.start(programPath(), {parameter});
            QVERIFY(program.waitForFinished(20000));
            const bool help = parameter == QLatin1String("--help");
            QCOMPARE(program.exitCode(), help ? 0 : 2);
            QVERIFY((help ? program.readAllStandardOutput() : program.readAllStandardError()).endsWith(CommandLineUsage().toUtf8()));
        }
    }

    void unknownParameters()
    {
        const QList<std::pair<QStringList, QString>> rows = {
            {{"--port", "/dev/pts/7", "--model=FT-817", "--rigctld", "4532", "--model"}, ""},
            {{"-checkinternet", "/regserver", "/UNREGSERVER"}, ""},
            {{"--port", "/dev/pts/7", "--help"}, "--help"},
            {{"--model", "FT-817", "-x", "--help"}, "-x"},
            {{"--portx=/dev/pts/7"}, "--portx=/dev/pts/7"},
            {{"FqMarkers.tsv"}, "FqMarkers.tsv"}};
        for (const auto &[parameters, unknown] : rows)
            QCOMPARE(FirstUnknownParameter(parameters), unknown);
    }

    // A SIGTERM in the first run's "Bands.tsv is missing" box ends the program
    // normally; what it had not read yet stays as the operator left it.
    void sigtermDuringTheFirstRunBoxKeepsTheLastRun()
    {
        if (!QFile::exists(programPath()))
            QSKIP("the program is not built next to the tests");
        const QString home = testenv::sandboxPath("sigterm-home");
        const QString conf = home + "/config/Orbelle/Tarnwick1.conf";
        {
            QSettings stored(conf, QSettings::IniFormat);
            stored.setValue("Default/Tarnwick.LastFreq", "7030000");
            stored.setValue("Default/Tarnwick.Connected", "0");
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", home + "/config");
        env.insert("TARNWICK_PROGRAM_DIR", testenv::sandboxPath("sigterm-program")); // no Bands.tsv
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(programPath(), {});
        QVERIFY(program.waitForStarted(20000));
        QTRY_VERIFY_WITH_TIMEOUT(catchesSigterm(program.processId()), 20000);
        program.terminate();
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        QSettings saved(conf, QSettings::IniFormat);
        QCOMPARE(saved.value("Default/Tarnwick.LastFreq").toString(), QString("7030000"));
        QCOMPARE(saved.value("Default/Tarnwick.Connected").toString(), QString("0"));
        QVERIFY(saved.contains("Default/Tarnwick.Width"));
    }

    void serialPresetsFromTheCommandLine()
    {
        const QStringList models = {"FT-817", "FT-857", "FT-897"};
        QStringList warnings;
        SerialPresets presets = ParseSerialPresets({"--port", "/dev/pts/7", "--model", "ft-857"}, models, &warnings);
        QCOMPARE(presets.Port, QString("/dev/pts/7"));
        QCOMPARE(presets.Model, QString("FT-857"));
        QVERIFY(warnings.isEmpty());
        presets = ParseSerialPresets({"--model=FT-897", "--port=/dev/ttyUSB0"}, models, &warnings);
        QCOMPARE(presets.Model + presets.Port, QString("FT-897/dev/ttyUSB0"));

        presets = ParseSerialPresets({"--model", "IC-7300", "--port"}, models, &warnings);
        QCOMPARE(presets.Model + presets.Port, QString());
        QCOMPARE(warnings, QStringList({"--port needs a value", "unknown model \"IC-7300\" (use FT-817, FT-857 or FT-897)"}));

        warnings.clear();
        presets = ParseSerialPresets({"--hamlib", "IC-7300", "--rigctl", "shack-pi:4532", "--rigctl=[::1]:4532",
                                      "--rigctl", "shack-pi", "--rigctl", "::1:4532", "--rigctl", "pi:0"},
                                     models, &warnings);
        QCOMPARE(presets.Hamlib + u' ' + presets.Rigctl, QString("IC-7300 [::1]:4532"));
        QCOMPARE(warnings.size(), 3);
        QCOMPARE(warnings.first(), QString("--rigctl \"shack-pi\" is no HOST:PORT (for example 192.168.1.20:4532)"));
    }

    void startAndCloseAnotherProgram()
    {
        QCOMPARE(StartProgram("/nonexistent/folder/program --flag"), qint64(0));
        const qint64 pid = StartProgram("sleep 30", ShowMode::Minimized);
        QVERIFY(pid > 0 && processRuns(pid));
        // A later process under the same id would have another start time.
        const StartedProcess started = RunningProcess(pid);
        QVERIFY(ProcessRuns(started) && !ProcessRuns({pid, started.StartTime + 1}));
        CloseProgramWindows(pid);
        QTRY_VERIFY_WITH_TIMEOUT(!processRuns(pid), 5000);
        QVERIFY(!ProcessRuns(started));

        // 0 would address the whole process group, our own id ourselves.
        CloseProgramWindows(0);
        CloseProgramWindows(QCoreApplication::applicationPid());
        QVERIFY(processRuns(QCoreApplication::applicationPid()));
    }
};

TARNWICK_TEST_CLASS(TestSystemQueries)
#include "tst_systemqueries.moc"
