#include "base/Folders.h"
#include "base/Settings.h"
#include "cat/CatLog.h"
#include "cat/DebugWindow.h"
#include "common/PromptRecorder.h"
#include "common/TestEnvironment.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QScreen>
#include <QStatusBar>

#include <thread>
#include <vector>

namespace {

QStringList fileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = file.readAll();
    if (!all.isEmpty() && !all.endsWith("\r\n"))
        return {QStringLiteral("<no CR LF at the end>")};
    QStringList lines = QString::fromLocal8Bit(all).split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

TLogHeader header()
{
    return TLogHeader{"ttyUSB0", "ttyUSB0 (USB-Serial, ftdi_sio, FTDI)", "4800", "FT-817", "Enabled", "Disabled"};
}

} // namespace

class TestCatLog : public QObject
{
    Q_OBJECT
private slots:
    void fileNameAndHeader()
    {
        TCatLog log;
        QDateTime now(QDate(2026, 12, 5), QTime(2, 30, 15));
        log.SetClock([&now] { return now; });
        QCOMPARE(TCatLog::LogFileNameFor(now), QStringLiteral("Zov_1205_023015.log"));
        log.OpenLogFile(header());
        QVERIFY(log.LogOpen());
        QCOMPARE(log.LogFilePath(), DesktopFolder() + "Zov_1205_023015.log");
        now = now.addSecs(3725);
        log.LogEvent(">0000000003");
        log.WriteStatusLine("Connected to TCVR.");
        log.CloseLogFile();
        log.WriteLogLine("after close"); // ignored
        const QStringList lines = fileLines(DesktopFolder() + "Zov_1205_023015.log");
        QCOMPARE(lines.value(0), "Tarnwick log, ver. " + FileVersionText());
        QVERIFY(lines.value(1).startsWith("O/S: ") && lines.value(1).size() > 5);
        QCOMPARE(lines.mid(2), QStringList({"Line: ttyUSB0(ttyUSB0 (USB-Serial, ftdi_sio, FTDI))", "Speed: 4800",
                                            "Tcvr: FT-817", "DTR: Enabled", "RTS: Disabled", "02:30:15 Log opened.",
                                            "03:32:20 >0000000003", "03:32:20 STATUS: Connected to TCVR.",
                                            "03:32:20 Log closed."}));
    }
    void reopeningClosesTheOldFileFirst()
    {
        TCatLog log;
        QDateTime now(QDate(2026, 1, 2), QTime(13, 4, 5));
        log.SetClock([&now] { return now; });
        log.OpenLogFile(header());
        const QString first = log.LogFilePath();
        log.LogEvent("first connection");
        now = now.addSecs(61);
        log.OpenLogFile(header());
        QCOMPARE(fileLines(first).last(), QStringLiteral("13:05:06 Log closed."));
        QString endedPath;
        {
            TCatLog ending; // a log still open when the program ends is closed properly
            ending.SetLogFolder(testenv::sandboxPath("ending"));
            ending.OpenLogFile(header());
            endedPath = ending.LogFilePath();
        }
        QVERIFY(fileLines(endedPath).last().endsWith(" Log closed."));
        // Two connections within the same second: the second file replaces the first.
        log.LogEvent("second connection");
        log.OpenLogFile(header());
        const QStringList lines = fileLines(log.LogFilePath());
        QCOMPARE(lines.size(), 8);
        QVERIFY(!lines.join('\n').contains("second connection"));
    }
    void unwritableFolderLeavesTheLogClosed()
    {
        TCatLog log;
        QFile blocker(testenv::sandboxPath("blocked") + "/file");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        log.SetLogFolder(blocker.fileName()); // a file, not a folder
        log.OpenLogFile(header());
        QVERIFY(!log.LogOpen());
    }
    void linesFromOtherThreadsAreNeitherLostNorInterleaved()
    {
        TCatLog log;
        log.SetLogFolder(testenv::sandboxPath("threads"));
        log.SetWindowVisible(true);
        QStringList shown;
        connect(&log, &TCatLog::EntryAdded, this, [&shown](const QString &text) { shown << text; }, Qt::DirectConnection);
        log.OpenLogFile(header());
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&log, t] {
                for (int i = 0; i < 200; ++i)
                    log.LogEvent(QStringLiteral("TCPIP: client %1 line %2 %3").arg(t).arg(i).arg(QString(40, 'x')));
            });
        for (int i = 0; i < 100; ++i)
            log.LogEvent(QStringLiteral("ui line %1").arg(i));
        for (auto &thread : threads)
            thread.join();
        QTRY_COMPARE(shown.size(), 900);
        log.CloseLogFile();
        const QStringList lines = fileLines(log.LogFilePath());
        QCOMPARE(lines.size(), 8 + 900 + 1);
        for (int i = 8; i < 908; ++i)
            QVERIFY2(lines.at(i).endsWith(QString(40, 'x')) || lines.at(i).contains(" ui line "), qPrintable(lines.at(i)));
    }

    void boundsFromSettings()
    {
        const QSize area(1024, 768);
        QCOMPARE(TDebugFrm::InitialBounds(0, 0, 50, 50, area), QRect(0, 0, 50, 50));
        QCOMPARE(TDebugFrm::InitialBounds(924, 668, 924, 668, area), QRect(924, 668, 924, 668));
        QCOMPARE(TDebugFrm::InitialBounds(925, 669, 925, 669, area), QRect(724, 2, 298, 150));
    }
    void windowPlacementAndStoredBounds()
    {
        WriteSetting("LeftDebug", "-5");
        WriteSetting("TopDebug", "10000");
        WriteSetting("WidthDebug", "20");
        WriteSetting("HeightDebug", "5000");
        TCatLog log;
        TDebugFrm window(log);
        const QSize area = QGuiApplication::primaryScreen()->availableGeometry().size();
        QCOMPARE(window.geometry(), QRect(area.width() - 300, 2, 298, 150));
        QVERIFY(!log.WindowVisible());
        window.show();
        QVERIFY(log.WindowVisible());
        const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
        QTRY_COMPARE(window.pos(), QPoint(screenWidth - window.width() - 3, 3));
        window.resize(320, 170);
        window.hide();
        QVERIFY(!log.WindowVisible());
        QCOMPARE(ReadSetting("WidthDebug") + ReadSetting("HeightDebug"), QStringLiteral("320170"));
        QCOMPARE(ReadSetting("LeftDebug"), QString::number(window.x()));
    }
    void numberedEntriesOnlyWhileShownAndTheirDescriptions()
    {
        TCatLog log;
        TDebugFrm window(log);
        testenv::PromptRecorder prompts;
        window.ErrorsLBxDblClick(); // empty list: nothing
        log.LogEvent("hidden line");
        QCOMPARE(window.ErrorsLBx->count(), 0);
        window.show();
        log.LogEvent(">0000000003");
        log.LogEvent("ERROR [E12]: Insufficient data received from COM: 3");
        log.LogEvent("<");
        QCOMPARE(window.ErrorsLBx->count(), 3);
        QCOMPARE(window.ErrorsLBx->item(1)->text(), QStringLiteral("2 ERROR [E12]: Insufficient data received from COM: 3"));
        QCOMPARE(window.ErrorsLBx->currentRow(), 2);

        window.ErrorsLBx->setCurrentRow(1);
        window.ErrorsLBxClick();
        QCOMPARE(window.StatusBar->currentMessage(), QStringLiteral("Double-click an error line to get more info."));
        window.ErrorsLBx->setCurrentRow(0);
        window.ErrorsLBxClick();
        QCOMPARE(window.StatusBar->currentMessage(), QString());

        // A double click shows the line's description, if it has one.
        log.LogEvent("ERROR [E1]: CreateFile: No such file or directory");
        log.LogEvent("odd [99] number");
        for (int row : {0, 3, 4}) {
            window.ErrorsLBx->setCurrentRow(row);
            window.ErrorsLBxDblClick();
        }
        QCOMPARE(prompts.texts(),
                 QStringList({"(no more description for this item)",
                              "Such a serial port doesn't exists on this machine. No such hardware port, nor emulated. "
                              "Selecte another port."}));
        QCOMPARE(prompts.lastParent.data(), static_cast<QWidget *>(&window));
        window.Clear();
        log.LogEvent("fresh");
        QCOMPARE(window.ErrorsLBx->item(0)->text(), QStringLiteral("1 fresh"));
    }
    void errorLinesAndDescriptions()
    {
        QVERIFY(TDebugFrm::IsErrorLine("3 ERROR [E1]: CreateFile: No such file or directory"));
        QVERIFY(TDebugFrm::IsErrorLine("4 Error while reading"));
        QVERIFY(!TDebugFrm::IsErrorLine("5 CAT: COM port initialized succesfully."));
        QCOMPARE(TDebugFrm::DescriptionNumber("1 see [7] here"), 7);
        QCOMPARE(TDebugFrm::DescriptionNumber("1 see [x] here"), 0);
        QCOMPARE(TDebugFrm::DescriptionNumber("1 open [12"), 0);
        const QList<QPair<const char *, int>> codes = {
            {"E1]: CreateFile: No such file or directory", 2}, {"E1]: CreateFile: Permission denied", 1},
            {"E1]: CreateFile: Device or resource busy", 1},   {"E1]: CreateFile: Input/output error", 3},
            {"E4]: SetCommState: x", 6},  {"E5]: SetCommTimeouts: x", 8}, {"E10]: WriteFile: x", 11},
            {"E11]: ReadFile: x", 12},    {"E12]: Insufficient data", 14}, {"E20]: No communication", 14},
            {"E21]: No communication", 14}, {"E22]: Data integrity check failed.", 13}, {"E99]: ?", 0}};
        for (const auto &[text, number] : codes)
            QCOMPARE(TDebugFrm::DescriptionNumber(QStringLiteral("1 ERROR [") + QLatin1String(text)), number);
        QCOMPARE(TDebugFrm::Description(15), QString());
        QCOMPARE(TDebugFrm::Description(-1), QString());
    }
};

TARNWICK_TEST_CLASS(TestCatLog)
#include "tst_catlog.moc"
