// The main window's side of the frequency markers: the "Freq Markers" submenu
// of the scale popup, the marker keys, and the window's services that the
// marker operations use (mode keys, radio, scanner, preferences).

#include "app/Main.h"

#include "app/Options.h"
#include "base/Folders.h"
#include "controls/RadioScale.h"
#include "data/FqMarkerOps.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QToolButton>

#include <cstdio>

// What the marker operations need from the main window.
class MainFqMarkersHost : public QObject, public TFqMarkersHost
{
public:
    explicit MainFqMarkersHost(TTarnwickFrm &window)
        : QObject(&window)
        , w(window)
    {
    }

    QString PressedMode() const override { return w.CurrentMode(); }
    void PressModeButton(const QString &Mode) override { w.PressModeKey(Mode); }
    bool IsConnected() const override { return w.IsConnected(); }
    void FqMarkerClick(int Index) override { w.RadioScaleFqMarkerClick(Index); }
    void QueueModeCommand(const QString &Mode) override { w.QueueBandModeCommand(Mode); }
    void QueueFrequencyCommand(qint32 Frequency) override { w.QueueBandFrequencyCommand(Frequency); }
    void SetTones(int RxTone, int TxTone) override
    {
        if (w.IsConnected())
            w.SetTones(RxTone, TxTone);
    }
    bool ScanRunning() const override { return w.ScanRunning(); }
    void StopScan() override { w.StopScan(); }
    bool PreferUpperCaseChecked() const override { return w.OptionsFrm->PreferUpperCaseChk->isChecked(); }

private:
    TTarnwickFrm &w;
};

void TTarnwickFrm::SetupMarkers()
{
    fqMarkersHost = new MainFqMarkersHost(*this);
    FqMarkers = new TFqMarkerOps(*RadioScale, *fqMarkersHost, this);

    FreqMarkersMnu = new QMenu(QStringLiteral("Freq Markers"), ScalePpp);
    FreqMarkersMnu->setObjectName(QStringLiteral("FreqMarkersMnu"));
    ScalePpp->addSeparator();
    ScalePpp->addMenu(FreqMarkersMnu);
    AllFreqMarkersMnu = FreqMarkersMnu->addAction(QStringLiteral("All Freq Markers..."));
    ShowHideFqMarkersMnu = FreqMarkersMnu->addAction(QStringLiteral("Show/Hide Freq Markers..."));
    SearchForFreqMarkerMnu = FreqMarkersMnu->addAction(QStringLiteral("Search Freq Marker"));
    connect(AllFreqMarkersMnu, &QAction::triggered, this, &TTarnwickFrm::AllFreqMarkersMnuClick);
    connect(ShowHideFqMarkersMnu, &QAction::triggered, this, &TTarnwickFrm::ShowHideFqMarkersMnuClick);
    connect(SearchForFreqMarkerMnu, &QAction::triggered, this, &TTarnwickFrm::SearchForFreqMarkerMnuClick);
    connect(ToolButton6, &QToolButton::clicked, this, &TTarnwickFrm::SearchForFreqMarkerMnuClick);
    connect(DeleteFqMarkerBtn, &QToolButton::clicked, this, &TTarnwickFrm::DeleteFqMarkerBtnClick);

    // A failure while the program goes down (SIGTERM, logout) shows in no
    // box, since the shutdown closes it: the CAT log and standard error keep
    // it.
    connect(&FqMarkers->Store(), &TFqMarkerStore::SaveFailed, this, [this](const QString &problem) {
        LogEvent(problem);
        std::fprintf(stderr, "%s: %s\n", qPrintable(ExecutableBaseName()), qPrintable(problem));
    });
    FqMarkers->LoadMarkers();
}

void TTarnwickFrm::SaveMarkers()
{
    if (FqMarkers)
        FqMarkers->SaveMarkers();
}

void TTarnwickFrm::AddFreqMarkerMnuClick()
{
    FqMarkers->AddFreqMarkerMnuClick();
}

void TTarnwickFrm::EditFreqMarkerMnuClick()
{
    FqMarkers->EditFreqMarkerMnuClick();
}

void TTarnwickFrm::RadioScaleFqMarkerDblClk(int markerIdx)
{
    FqMarkers->EditMarker(markerIdx);
}

void TTarnwickFrm::DeleteFreqMarkerMnuClick()
{
    FqMarkers->DeleteFreqMarkerMnuClick();
}

void TTarnwickFrm::DeleteFqMarkerBtnClick()
{
    FqMarkers->DeleteFqMarkerBtnClick();
}

void TTarnwickFrm::AllFreqMarkersMnuClick()
{
    FqMarkers->AllFreqMarkersMnuClick();
}

void TTarnwickFrm::ShowHideFqMarkersMnuClick()
{
    FqMarkers->ShowHideFqMarkersMnuClick();
}

void TTarnwickFrm::SearchForFreqMarkerMnuClick()
{
    FqMarkers->SearchForFreqMarkerMnuClick();
}
