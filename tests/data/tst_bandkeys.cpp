#include "DataTestSupport.h"
#include "data/BandKeys.h"
#include "data/Bands.h"
#include "data/Modes.h"

#include <QApplication>
#include <QMenu>
#include <QToolButton>
#include <QWidget>

#include <memory>

using namespace datatest;

namespace {

// The scale, mode keys and radio link as the band keys see them. The scale
// part follows the scale's rules: bands with Low >= High are refused, FindBand
// picks the narrowest band, writing the frequency reports a band change.
class FakeHost : public TBandKeysHost
{
public:
    QList<TBand> bands;
    QList<TMode> modes;
    qint32 frequency = 3550000, begin = 3500000, end = 3800000;
    QString mode;
    bool connected = false, restartChecked = false, frequencyPlot = false;
    QStringList calls;
    TBandKeys *keys = nullptr;
    int lastBand = -1;

    void ClearBands() override { bands.clear(); }
    void AddBand(qint32 Low, qint32 High, const QString &Name, const QString &LastMode, qint32 LastFrequency) override
    {
        if (Low < High)
            bands.append(TBand{Low, High, LastFrequency, Name, LastMode});
    }
    int FindBand(qint32 F) const override
    {
        int found = -1;
        for (int i = 0; i < bands.size(); ++i) {
            const TBand &b = bands.at(i);
            if (b.Low <= F && F <= b.High && (found < 0 || b.High - b.Low < bands.at(found).High - bands.at(found).Low))
                found = i;
        }
        return found;
    }
    TBand *Band(int Index) override { return Index >= 0 && Index < bands.size() ? &bands[Index] : nullptr; }
    void SelectBand(int Index) override
    {
        calls.append(QString("SelectBand %1").arg(Index));
        if (TBand *b = Band(Index)) {
            begin = b->Low;
            end = b->High;
            SetFrequency(b->LastFrequency);
        }
    }
    void SetRange(qint32 Begin, qint32 End) override
    {
        calls.append(QString("SetRange %1 %2").arg(Begin).arg(End));
        begin = Begin;
        end = End;
    }
    qint32 ScaleBegin() const override { return begin; }
    qint32 ScaleEnd() const override { return end; }
    qint32 Frequency() const override { return frequency; }
    void SetFrequency(qint32 F) override
    {
        frequency = F;
        const int band = FindBand(F);
        const bool changed = band != lastBand;
        lastBand = band;
        if (changed && keys)
            keys->RadioScaleBandChange(nullptr, band);
    }
    void ClearModes() override { modes.clear(); }
    void AddMode(qint32 Low, qint32 High, const QString &Mode, quint32 Color, const QString &Caption) override
    {
        if (Low < High)
            modes.append(TMode{Low, High, Mode, Color, Caption});
    }
    void RepaintScale() override { calls.append("RepaintScale"); }
    QString PressedMode() const override { return mode; }
    void PressModeButton(const QString &Mode) override { mode = PlanModeNames().contains(Mode) ? Mode : mode; }
    void StopScan() override { calls.append("StopScan"); }
    bool IsConnected() const override { return connected; }
    void QueueModeCommand(const QString &Mode) override { calls.append("mode " + Mode); }
    void QueueFrequencyCommand(qint32 F) override { calls.append(QString("freq %1").arg(F)); }
    bool RestartSpectrographChecked() const override { return restartChecked; }
    void RestartSpectrograph() override { calls.append("RestartSpectrograph"); }
    bool SpectrographInFrequencyMode() const override { return frequencyPlot; }
    void SetSpectrographRange(qint32 B, qint32 E) override { calls.append(QString("SpectrographRange %1 %2").arg(B).arg(E)); }
    void UpdateDigitalDisplay() override { calls.append("UpdateDigitalDisplay"); }
};

// The main window's parts that the band keys work on.
struct Rig
{
    TBandPlan plan;
    TModeSegments segments;
    FakeHost host;
    QWidget panel;
    QList<QAbstractButton *> buttons;
    QMenu popup;
    PromptRecorder prompts;
    std::unique_ptr<TBandKeys> keys;
    int bandsDialogRuns = 0;
    bool bandsDialogOk = true;

    Rig()
    {
        plan.LoadDefaultPlan();
        for (int k = 0; k < 32; ++k) {
            buttons.append(new QToolButton(&panel));
            buttons.last()->setText("design-time");
        }
        keys = std::make_unique<TBandKeys>(plan, segments, host, buttons, &popup);
        host.keys = keys.get();
        keys->SetBandsDialog([this] {
            ++bandsDialogRuns;
            return bandsDialogOk;
        });
    }
    QAction *popupItem(const QString &caption)
    {
        for (QAction *action : popup.actions())
            if (action->data().toString() == caption)
                return action;
        return nullptr;
    }
    QStringList popupTexts() const
    {
        QStringList texts;
        for (QAction *action : popup.actions())
            texts.append(action->isSeparator() ? QString("-") : action->text());
        return texts;
    }
    int buttonWithCaption(const QString &caption) const
    {
        for (int k = 0; k < buttons.size(); ++k)
            if (buttons.at(k)->text() == caption)
                return k;
        return -1;
    }
    QList<int> pressed() const
    {
        QList<int> down;
        for (int k = 0; k < buttons.size(); ++k)
            if (buttons.at(k)->isChecked())
                down.append(k);
        return down;
    }
};

} // namespace

class TestBandKeys : public QObject
{
    Q_OBJECT
private slots:
    // Key k is scale band k: a band the scale refuses gets no key, missing
    // numbers take defaults, more than 32 ticked bands fill every key.
    void applyGivesTickedBandsKeysAndScaleBands()
    {
        Rig rig;
        QCOMPARE(rig.popupTexts(), QStringList({"*", "-", "Define Bands..."}));
        rig.plan.Clear();
        rig.plan.Append(true, "A\tabc\t\t\tAM\tdefaults");
        rig.plan.Append(true, "BAD\t5000\t4000\t4500\tCW\tbegin above end");
        rig.plan.Append(false, "OFF\t1\t2\t1\tCW\tno key");
        rig.plan.Append(true, "14\t14000\t14350\t14050\tCW\t20 m");
        rig.keys->ApplyBandPlan();
        QCOMPARE(rig.host.bands.size(), 2);
        const TBand &a = rig.host.bands.at(0);
        QCOMPARE(QList<qint32>({a.Low, a.High, a.LastFrequency}), QList<qint32>({1000000, 2000000, 1500000}));
        const TBand &twenty = rig.host.bands.at(1);
        QCOMPARE(QList<qint32>({twenty.Low, twenty.High, twenty.LastFrequency}),
                 QList<qint32>({14000000, 14350000, 14050000}));
        QCOMPARE(twenty.LastMode + "|" + twenty.Name, QString("CW|20 m"));
        QCOMPARE(rig.buttons.at(1)->text(), QString("14"));
        QCOMPARE(rig.buttons.at(2)->text(), QString());
        QVERIFY(rig.pressed().isEmpty());

        for (int i = 0; i < 40; ++i)
            rig.plan.Append(true, QString("B%1\t%2\t%3\t%2\tCW\tband").arg(i).arg(20000 + i * 100).arg(20050 + i * 100));
        rig.keys->ApplyBandPlan();
        QCOMPARE(rig.host.bands.size(), 32);
        QCOMPARE(rig.buttons.at(31)->text(), QString("B29"));

        // A band the scale reports presses its key without clicking it.
        rig.host.calls.clear();
        rig.keys->RadioScaleBandChange(nullptr, 3);
        QCOMPARE(rig.pressed(), QList<int>{3});
        rig.keys->RadioScaleBandChange(nullptr, 32);
        QVERIFY(rig.pressed().isEmpty());
        QVERIFY(rig.host.calls.isEmpty());
    }

    void bandAToBToAReturnsToLastFrequencyAndMode()
    {
        Rig rig;
        rig.keys->ApplyBandPlan();
        const int twenty = rig.buttonWithCaption("14");
        const int forty = rig.buttonWithCaption("7");
        rig.host.SetFrequency(3550000);
        rig.host.mode = "LSB";
        rig.buttons.at(twenty)->click();
        QCOMPARE(rig.host.frequency, 14050000);
        QCOMPARE(rig.host.mode, QString("CW"));
        QCOMPARE(rig.host.end, 14350000);
        QCOMPARE(rig.pressed(), QList<int>{twenty});
        QCOMPARE(rig.host.bands.at(rig.buttonWithCaption("3.5")).LastMode, QString("LSB"));

        rig.host.SetFrequency(14200000);
        rig.host.mode = "USB";
        rig.buttons.at(forty)->click();
        rig.host.SetFrequency(7100000);
        rig.host.mode = "LSB";
        rig.buttons.at(twenty)->click();
        QCOMPARE(rig.host.frequency, 14200000);
        QCOMPARE(rig.host.mode, QString("USB"));
        rig.buttons.at(twenty)->click(); // the pressed key stays down
        QCOMPARE(rig.pressed(), QList<int>{twenty});
        rig.buttons.at(forty)->click();
        QCOMPARE(rig.host.frequency, 7100000);

        rig.keys->ApplyBandPlan(); // forgets what was remembered
        rig.buttons.at(twenty)->click();
        QCOMPARE(rig.host.frequency, 14050000);
    }

    void emptyKeyAsksToChangeThePlan()
    {
        Rig rig;
        rig.keys->ApplyBandPlan();
        rig.prompts.answers = {false, true};
        rig.buttons.at(20)->click();
        QCOMPARE(rig.prompts.texts(), QStringList{"No band assigned to this button.\n\nDo you want to change the band plan now?"});
        QVERIFY(rig.pressed().isEmpty());
        QVERIFY(rig.host.calls.isEmpty());
        QCOMPARE(rig.bandsDialogRuns, 0);
        rig.buttons.at(20)->click();
        QCOMPARE(rig.bandsDialogRuns, 1);
    }

    void connectedRadioGetsModeFrequencyMode()
    {
        Rig rig;
        rig.keys->ApplyBandPlan();
        rig.host.connected = true;
        rig.host.restartChecked = true;
        rig.host.frequencyPlot = true;
        rig.buttons.at(rig.buttonWithCaption("21"))->click();
        QCOMPARE(rig.host.calls, QStringList({
            "StopScan", QString("SelectBand %1").arg(rig.buttonWithCaption("21")), "mode CW", "freq 21050000", "mode CW",
            "RestartSpectrograph", "SpectrographRange 21000000 21450000", "UpdateDigitalDisplay"}));

        rig.host.calls.clear();
        rig.host.connected = rig.host.frequencyPlot = false;
        rig.keys->ReleaseAllButtons();
        rig.keys->BandChanged(nullptr); // without sender and key: no band change
        QCOMPARE(rig.host.calls, QStringList({"StopScan", "RestartSpectrograph", "UpdateDigitalDisplay"}));
    }

    // The popup lists the whole plan, the pressed band bold; its items are
    // made again only when the plan changed (a plan of many thousand entries
    // would take seconds to list). A band without a key tunes the range.
    void popupListsAndTunesTheWholePlan()
    {
        Rig rig;
        rig.plan.Append(false, "R&D\t100\t200\t150\tAM\tampersand");
        rig.keys->ApplyBandPlan();
        rig.buttons.at(rig.buttonWithCaption("14"))->click();
        rig.keys->AllBandsPppPopup();
        const QList<QAction *> items = rig.popup.actions();
        rig.keys->AllBandsPppPopup();
        QCOMPARE(rig.popup.actions(), items);
        QCOMPARE(items.size(), 18);
        QCOMPARE(items.at(15)->text(), QString("R&&D"));
        QCOMPARE(items.at(17), rig.keys->DefineBandsMnu());
        for (int i = 0; i < 16; ++i)
            QCOMPARE(items.at(i)->font().bold(), items.at(i)->data().toString() == "14");

        rig.host.calls.clear();
        rig.popupItem("R&D")->trigger();
        QCOMPARE(rig.host.calls.first(), QString("StopScan"));
        QVERIFY(rig.host.calls.contains("SetRange 100000 200000"));
        QCOMPARE(rig.host.frequency, 150000);
        QCOMPARE(rig.host.mode, QString("AM"));
        QVERIFY(rig.pressed().isEmpty());
        rig.keys->AllBandsPppPopup();
        QVERIFY(!rig.popupItem("14")->font().bold());
        rig.popupItem("CB")->trigger();
        QCOMPARE(rig.pressed(), QList<int>{rig.buttonWithCaption("CB")});
        QCOMPARE(rig.host.frequency, 26965000);

        rig.plan.SetText(1, "X1\t1\t2\t1\tCW\tnew");
        rig.plan.Remove(14);
        rig.plan.Append(true, "Y2\t1\t2\t1\tCW\tnew");
        rig.keys->AllBandsPppPopup();
        QCOMPARE(rig.popupTexts().mid(0, 3), QStringList({"136", "X1", "1.8"}));
        QCOMPARE(rig.popupTexts().mid(14), QStringList({"R&&D", "Y2", "-", "Define Bands..."}));
    }

    void bandsMenuReappliesAndReselects()
    {
        Rig rig;
        rig.keys->ApplyBandPlan();
        rig.buttons.at(rig.buttonWithCaption("14"))->click();
        rig.host.calls.clear();
        rig.bandsDialogOk = false;
        rig.keys->BandsMnuClick();
        QVERIFY(rig.host.calls.isEmpty());

        rig.bandsDialogOk = true;
        rig.plan.SetChecked(0, true); // 136 gets a key: every key moves one on
        rig.plan.SetText(6, "14\t14000\t14040\t14020\tUSB\tnarrower");
        rig.keys->DefineBandsMnu()->trigger();
        QCOMPARE(rig.pressed(), QList<int>{6});
        QCOMPARE(rig.host.end, 14040000);
        QCOMPARE(rig.host.frequency, 14020000);
        QCOMPARE(rig.host.mode, QString("USB"));
    }

    void modeSegmentsGoToScaleInListOrder()
    {
        Rig rig;
        rig.segments.SetAllItems({"14000\t14070\tCW\t009B9BFB\t", "abc\t14100\tFM\t\tnot a number",
                                  "14070\t14350\tUSB\t\tSSB", "14400\t14300\tAM\t\tbegin above end", "14350"});
        rig.host.modes.append(TMode{1, 2, "old", 0, ""});
        rig.keys->ApplyModeSegments();
        QCOMPARE(rig.host.modes.size(), 2);
        QCOMPARE(rig.host.modes.at(0).Low, 14000000);
        QCOMPARE(rig.host.modes.at(0).Color, 0x009B9BFBu);
        QCOMPARE(rig.host.modes.at(1).Caption, QString("SSB"));

        bool ok = false;
        rig.keys->SetModesDialog([&ok] { return ok; });
        rig.segments.Clear();
        rig.keys->ModesMnuClick();
        QCOMPARE(rig.host.modes.size(), 2);
        ok = true;
        rig.keys->ModesMnuClick();
        QVERIFY(rig.host.modes.isEmpty());
        QCOMPARE(rig.host.calls.last(), QString("RepaintScale"));
    }
};

TARNWICK_TEST_CLASS(TestBandKeys)
#include "tst_bandkeys.moc"
