// The frequency markers in the main window: its keys, popup items and scale
// events reach the marker operations, "Tune To" in the marker list tunes the
// window, and what is unsaved is written at close.

#include "MainWindowTestSupport.h"
#include "base/Folders.h"
#include "cat/CatEngine.h"
#include "controls/ScaleTestSupport.h"
#include "data/AllFqMarkersDialog.h"
#include "data/EditFreqMarkerDialog.h"
#include "data/FqMarkerFormat.h"
#include "data/DataTestSupport.h"
#include "data/FqMarkerOps.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include <algorithm>

namespace {

TFqMarker markerOf(const QString &line)
{
    TFqMarker marker;
    ParseMarkerLine(line, marker);
    return marker;
}

} // namespace

class TestMainMarkers : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::clearSettings(); }

    void keysItemsAndEventsReachTheMarkers()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        QStringList opened;
        w.FqMarkers->SetDialogRunner([&](QDialog &dialog) {
            opened << QString::fromLatin1(dialog.metaObject()->className());
            if (auto *editor = qobject_cast<TEditFreqMarkerFrm *>(&dialog))
                opened.last() += editor->FrequencyEdt->isEnabled() ? " free" : " fixed";
            return int(QDialog::Rejected);
        });
        w.ToolButton3->click();
        w.SpeedButton17->click();
        w.AddFreqMarkerMnu->trigger();
        w.ToolButton6->click();
        QVERIFY(w.ScalePpp->actions().contains(w.FreqMarkersMnu->menuAction()));
        for (QAction *item : {w.AllFreqMarkersMnu, w.ShowHideFqMarkersMnu, w.SearchForFreqMarkerMnu})
            item->trigger();
        QCOMPARE(opened, QStringList({"TEditFreqMarkerFrm free", "TEditFreqMarkerFrm free", "TEditFreqMarkerFrm free",
                                      "TSearchFqMarkerFrm", "TAllFqMarkersFrm", "TShowFqMarkersFrm",
                                      "TSearchFqMarkerFrm"}));

        // A double click on a flag edits that marker; its frequency stays.
        TRadioScale &s = fx.scale();
        w.FqMarkers->AddOrReplaceMarker(markerOf("3700000\tALPHA"));
        s.repaint();
        const TEdgeRect &r = s.Markers.first()->HitRect;
        opened.clear();
        doubleClickLeft(s, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        QCOMPARE(opened, QStringList{"TEditFreqMarkerFrm fixed"});

        // The key deletes the marker at the tuned frequency.
        s.SetFrequency(3700000);
        w.DeleteFqMarkerBtn->click();
        QVERIFY(s.Markers.isEmpty());
    }

    // "Tune To" in the marker list tunes the window; what is not saved yet
    // is written when the window closes.
    void tuneToInTheListAndClosingWritesWhatIsNotSavedYet()
    {
        {
            MainWindowFixture fx;
            TTarnwickFrm &w = fx.create();
            w.FqMarkers->Store().SetSaveDelay(600000);
            w.FqMarkers->AddOrReplaceMarker(markerOf("3520000\tFIRST\tUSB"));
            w.FqMarkers->AddOrReplaceMarker(markerOf("3560000\tTARGET\tCW\t1\t\t\t885\t0"));
            w.FqMarkers->SetDialogRunner([](QDialog &dialog) {
                auto &list = static_cast<TAllFqMarkersFrm &>(dialog);
                list.SelectRow(1);
                return int(TAllFqMarkersFrm::TuneToResult);
            });
            w.AllFreqMarkersMnu->trigger();
            QCOMPARE(fx.frequency(), 3560000);
            QCOMPARE(w.CurrentMode(), QString("CW"));
            QVERIFY(w.FqMarkers->Store().SavePending());
        }
        QFile file(ProgramFolder() + "FqMarkers.tsv");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().endsWith("3560000\tTARGET\tCW\t1\t\t\t885\t0\r\n"));
    }

    // A save that fails as the window closes (a shutdown closes any box)
    // stays in the CAT log.
    void failureAtCloseIsLogged()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        w.FqMarkers->Store().SetSaveDelay(600000);
        w.FqMarkers->AddOrReplaceMarker(markerOf("3520000\tLOST"));
        {
            datatest::NoFileWrites blocked;
            w.close();
        }
        QVERIFY(std::any_of(fx.logLines.begin(), fx.logLines.end(),
                            [](const QString &line) { return line.contains("FqMarkers.tsv"); }));
    }
};

TARNWICK_TEST_CLASS(TestMainMarkers)
#include "tst_mainmarkers.moc"
