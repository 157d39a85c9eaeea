// The marker line both ways, "FqMarkers.tsv" read and written by the store,
// saving soon after a change, the visible groups.
#include "DataTestSupport.h"
#include "base/Settings.h"
#include "data/FqMarkerFormat.h"
#include "data/FqMarkerStore.h"

#include <QSignalSpy>

using namespace datatest;

namespace {

// The canonical line of what a line parses to; empty when it is refused.
QString reparsed(const QString &line)
{
    TFqMarker marker;
    return ParseMarkerLine(line, marker) ? FormatMarkerLine(marker) : QString();
}

} // namespace

class TestFqMarkerFile : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        resetFolders();
        testenv::clearSettings();
    }
    void cleanupTestCase() { resetFolders(); }

    void lineIsParsed_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("canonical");
        QTest::newRow("full") << "14074000\tFT8\tUSB\t1\tBEACON-CW\tone~two\t885\t1000"
                              << "14074000\tFT8\tUSB\t1\tBEACON-CW\tone~two\t885\t1000";
        QTest::newRow("frequency and caption only") << "3550000\tX" << "3550000\tX\tCW\t1\t\t\t0\t0";
        QTest::newRow("frequency only") << "3550000" << "3550000\t\tCW\t1\t\t\t0\t0";
        QTest::newRow("three decimals") << "14.074\tX" << "14074000\tX\tCW\t1\t\t\t0\t0";
        QTest::newRow("four decimals are MHz") << "14.0745\tX" << "14074500\tX\tCW\t1\t\t\t0\t0";
        QTest::newRow("two decimals") << "7.04\tX" << "7040000\tX\tCW\t1\t\t\t0\t0";
        QTest::newRow("below a hertz, down") << "14.07450049\tX" << "14074500\tX\tCW\t1\t\t\t0\t0";
        QTest::newRow("below a hertz, up") << "14.0745005\tX" << "14074501\tX\tCW\t1\t\t\t0\t0";
        QTest::newRow("blanks around") << " 14074000 \tX" << "14074000\tX\tCW\t1\t\t\t0\t0";
        QTest::newRow("highest") << "2147.483647\tX" << "2147483647\tX\tCW\t1\t\t\t0\t0";
        QTest::newRow("not permanent") << "1\ta\tAM\t0" << "1\ta\tAM\t0\t\t\t0\t0";
        QTest::newRow("odd flag is permanent") << "1\ta\tAM\tx" << "1\ta\tAM\t1\t\t\t0\t0";
        QTest::newRow("bad tones") << "1\ta\tFM\t1\t\t\t-5\t10000" << "1\ta\tFM\t1\t\t\t0\t0";
        QTest::newRow("extra fields") << "1\ta\tFM\t1\tG\tr\t1\t2\tmore\tfields" << "1\ta\tFM\t1\tG\tr\t1\t2";
        QTest::newRow("long mode") << "1\ta\t" + QString(300, 'M') << "1\ta\t" + QString(255, 'M') + "\t1\t\t\t0\t0";
        for (const char *bad : {"", "abc\tX", "-7000\tX", "+5\tX", "2147483648\tX", "2147.483648\tX",
                                "99999999999999999999\tX", "1.2.3\tX", ".\tX", "1e6\tX", "14,074\tX"})
            QTest::newRow(qPrintable("refused " + QString(bad))) << QString(bad) << QString();
    }
    void lineIsParsed()
    {
        QFETCH(QString, line);
        QFETCH(QString, canonical);
        QCOMPARE(reparsed(line), canonical);
    }

    void fieldsAreSplitIntoLines()
    {
        TFqMarker marker;
        QVERIFY(ParseMarkerLine("14074000\tFT8\tUSB\t1\tBEACON-CW\tone~two\t885\t0", marker));
        QCOMPARE(marker.Remark, QString("one\r\ntwo"));

        // Empty attribute lines never give "--"; TABs and breaks in a field
        // never give another field, a "~" in a remark line no break.
        marker.Caption = "two\tfields";
        marker.Attributes = "\r\nBEACON\r\n\r\n\r\nCW\r\n";
        marker.Remark = "a\tb\rc~d";
        marker.Permanent = false;
        QCOMPARE(FormatMarkerLine(marker), QString("14074000\ttwo fields\tUSB\t0\t-BEACON-CW-\ta b~c d\t885\t0"));
    }

    void captionsPreferUpperCase()
    {
        const QList<QPair<QString, QString>> captions = {
            {"dl0abc", "DL0ABC"}, {"new marker", "new marker"}, {"Dl0abc", "Dl0abc"}, {"dl-0", "dl-0"}, {"", ""}};
        for (const auto &c : captions)
            QCOMPARE(PreferUpperCase(c.first), c.second);
    }

    void handEditedFileKeepsEveryGoodLine()
    {
        QByteArray bytes = "\xEF\xBB\xBF; comment\r\n"
                           "14.074\tFT8\tUSB\r"                   // dotted, lone CR
                           "\t7040000\tGr\xC3\xBC\xC3\x9F\tCW\n"  // leading TAB, UTF-8
                           "abc\tbad\r\n"
                           "\r\n"
                           "3550000\t\r\n"                         // empty caption
                           "3560000\tlast";
        bytes += QByteArray(20, '\0');
        QVERIFY(writeBytes(programFile("FqMarkers.tsv"), bytes));
        TFqMarkerStore store;
        const TFqMarkerStore::TLoadResult loaded = store.LoadMarkers();
        QVERIFY(loaded.Found);
        QCOMPARE(loaded.Problem, QString());
        QStringList lines;
        for (const TFqMarker *m : loaded.Markers)
            lines << FormatMarkerLine(*m);
        QCOMPARE(lines, QStringList({"14074000\tFT8\tUSB\t1\t\t\t0\t0", QString::fromUtf8("7040000\tGrüß\tCW\t1\t\t\t0\t0"),
                                     "3550000\t\tCW\t1\t\t\t0\t0", "3560000\tlast\tCW\t1\t\t\t0\t0"}));
        QCOMPARE(store.OwnedCount(), 4);

        // A line that is no marker stays: written back after the markers.
        QCOMPARE(loaded.UnreadableLines, QStringList{"abc\tbad"});
        QList<TFqMarker *> list = loaded.Markers.mid(3);
        store.SetSource([&] { return list; }, {});
        store.MarkersChanged();
        QVERIFY(store.SaveNow());
        QCOMPARE(readBytes(programFile("FqMarkers.tsv")), Comment + "3560000\tlast\tCW\t1\t\t\t0\t0\r\nabc\tbad\r\n");
    }

    void fileHoldsPermanentMarkersOnly()
    {
        TFqMarkerStore store;
        QList<TFqMarker *> list;
        for (const char *line : {"3550000\tA\tCW\t1\tBEACON\t\t0\t0", "3560000\tTEMP\tCW\t0\t\t\t0\t0"}) {
            list << store.NewMarker();
            QVERIFY(ParseMarkerLine(line, *list.last()));
        }
        QCOMPARE(TFqMarkerStore::FormatMarkerFile(list), Comment + "3550000\tA\tCW\t1\tBEACON\t\t0\t0\r\n");
    }

    void storeFreesOnlyWhatItOwnsAndNoLongerListed()
    {
        TFqMarkerStore store;
        TFqMarker *kept = store.NewMarker();
        TFqMarker *dropped = store.NewMarker();
        TFqMarker foreign;
        store.FreeUnlisted({kept, &foreign});
        QCOMPARE(store.OwnedCount(), 1);
        QVERIFY(store.Owns(kept));
        QVERIFY(!store.Owns(dropped));
        store.Free(&foreign); // not the store's: left alone
        QCOMPARE(store.OwnedCount(), 1);
    }

    void changesAreSavedSoonAndOnce()
    {
        TFqMarkerStore store;
        QList<TFqMarker *> list;
        QStringList groups = {"A"};
        store.SetSource([&] { return list; }, [&] { return groups; });
        QVERIFY(!store.SavePending());
        store.SaveNow(); // nothing read yet: nothing written
        QVERIFY(!QFileInfo::exists(programFile("FqMarkers.tsv")));

        // Missing: a new file follows within about a second, by the store's
        // own delay (the program runs on).
        store.LoadMarkers();
        QTRY_COMPARE_WITH_TIMEOUT(readBytes(programFile("FqMarkers.tsv")), Comment, 1200);
        store.SetSaveDelay(20);
        TFqMarker *marker = store.NewMarker();
        QVERIFY(ParseMarkerLine("3550000\tNEW", *marker));
        list << marker;
        store.MarkersChanged();
        groups = {"B", "C"};
        store.GroupsChanged();
        QVERIFY(store.SavePending());
        QTRY_VERIFY(!store.SavePending());
        QCOMPARE(readBytes(programFile("FqMarkers.tsv")), Comment + "3550000\tNEW\tCW\t1\t\t\t0\t0\r\n");
        QCOMPARE(TFqMarkerStore::ReadVisibleGroups(), groups);

        // Changes that never stop are still saved, a delay after the first.
        QElapsedTimer burst;
        burst.start();
        bool savedDuringBurst = false;
        while (burst.elapsed() < 300 && !savedDuringBurst) {
            store.MarkersChanged();
            QTest::qWait(5);
            savedDuringBurst = !store.SavePending();
        }
        QVERIFY(savedDuringBurst);
        QTRY_VERIFY(!store.SavePending());
        groups = {"D"}; // a change of groups alone is saved soon too
        store.GroupsChanged();
        QTRY_COMPARE(TFqMarkerStore::ReadVisibleGroups(), groups);
    }

    void failedSaveIsReportedOncePerRunOfFailures()
    {
        TFqMarkerStore store;
        QList<TFqMarker *> list;
        store.SetSource([&] { return list; }, {});
        store.LoadMarkers();
        QVERIFY(store.SaveNow());
        QSignalSpy failures(&store, &TFqMarkerStore::SaveFailed);
        TFqMarker *marker = store.NewMarker();
        marker->Permanent = true;
        list << marker;
        {
            NoFileWrites blocked;
            store.MarkersChanged();
            QVERIFY(!store.SaveNow());
            marker->Caption = "again";
            store.MarkersChanged();
            QVERIFY(!store.SaveNow());
        }
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures.first().first().toString().contains(programFile("FqMarkers.tsv")));
        QVERIFY(store.SaveNow()); // still pending: written now
        QVERIFY(readBytes(programFile("FqMarkers.tsv")).contains("again"));
        {
            NoFileWrites blocked;
            marker->Caption = "third";
            store.MarkersChanged();
            store.SaveNow();
        }
        QCOMPARE(failures.size(), 2);

        // The visible groups follow the same rule.
        QStringList groups = {"A"};
        store.SetSource([&] { return list; }, [&] { return groups; });
        for (int run = 0; run < 2; ++run) {
            {
                NoFileWrites blocked;
                for (const char *group : {"B", "C"}) {
                    groups = {group};
                    store.GroupsChanged();
                    QVERIFY(!store.SaveNow());
                }
            }
            QVERIFY(store.SaveNow());
        }
        QCOMPARE(failures.size(), 4);
    }

    void unreadableFileIsNeverOverwritten()
    {
        QVERIFY(writeBytes(programFile("FqMarkers.tsv"), Comment + "3550000\tKEEP\r\n"));
        QFile::setPermissions(programFile("FqMarkers.tsv"), QFileDevice::WriteOwner);
        QFile probe(programFile("FqMarkers.tsv"));
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("running as root: permissions do not stop reading");
        TFqMarkerStore store;
        QList<TFqMarker *> list = {store.NewMarker()};
        store.SetSource([&] { return list; }, {});
        QVERIFY(store.LoadMarkers().Problem.startsWith("Cannot read"));
        store.MarkersChanged();
        store.SaveNow();
        QFile::setPermissions(programFile("FqMarkers.tsv"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(readBytes(programFile("FqMarkers.tsv")), Comment + "3550000\tKEEP\r\n");
    }

    void visibleGroupsKeepEveryName()
    {
        QCOMPARE(TFqMarkerStore::ReadVisibleGroups(), QStringList({"BEACON", "CHANNEL", "BROADCAST", "GROUP"}));
        QStringList many;
        for (int i = 0; i < 60; ++i)
            many << QString("GROUP%1").arg(i, 3, 10, QChar('0'));
        QVERIFY(TFqMarkerStore::WriteVisibleGroups(many));
        // The first value holds the beginning of the list, as before.
        QVERIFY(ReadSetting("VisibleFqMarkers").startsWith("GROUP000\r\nGROUP001\r\n"));
        QCOMPARE(TFqMarkerStore::ReadVisibleGroups(), many);
        // A shorter list fills exactly one value: the rest of the longer
        // one must not be read on after it.
        const QString full(253, 'F');
        QVERIFY(TFqMarkerStore::WriteVisibleGroups({full}));
        QCOMPARE(TFqMarkerStore::ReadVisibleGroups(), QStringList{full});
        QVERIFY(TFqMarkerStore::WriteVisibleGroups({}));
        QCOMPARE(TFqMarkerStore::ReadVisibleGroups(), QStringList());
    }
};

TARNWICK_TEST_CLASS(TestFqMarkerFile)
#include "tst_fqmarkerfile.moc"
