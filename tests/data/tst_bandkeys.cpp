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
    void applyGivesTickedBandsKeysAndScaleBands()
    {
        Rig rig;
        QCOMPARE(rig.popupTexts(), QStringList({"*", "-", "Define Bands..."}));
        for (QAbstractButton *button : rig.buttons)
            QVERIFY(button->text().isEmpty() && button->isCheckable());
        rig.plan.Append(true, "ABCD\t300\t400\t350\tCW\tfour");
        rig.keys->ApplyBandPlan();
        QCOMPARE(rig.host.bands.size(), 15);
        QCOMPARE(rig.buttons.at(0)->text(), QString("MW"));
        QCOMPARE(rig.buttons.at(0)->toolTip(), QString("MW radio broadcast"));
        QCOMPARE(rig.buttons.at(15)->text(), QString());
        const TBand &twenty = rig.host.bands.at(5);
        QCOMPARE(twenty.Low, 14000000);
        QCOMPARE(twenty.High, 14350000);
        QCOMPARE(twenty.LastFrequency, 14050000);
        QCOMPARE(twenty.LastMode, QString("CW"));
        QCOMPARE(twenty.Name, QString("20 m amateur band"));
        QVERIFY(rig.pressed().isEmpty());
        // Captions longer than three characters get the small font.
        QCOMPARE(rig.buttons.at(1)->text(), QString("1.8"));
        QCOMPARE(rig.buttons.at(1)->font().family(), QString("MS Sans Serif"));
        QCOMPARE(rig.buttons.at(1)->font().pointSize(), 8);
        QCOMPARE(rig.buttons.at(14)->font().family(), QString("Small Fonts"));
        QCOMPARE(rig.buttons.at(14)->font().pointSize(), 6);
    }

    void moreThan32TickedBandsFillAllKeys()
    {
        Rig rig;
        rig.plan.Clear();
        for (int i = 0; i < 40; ++i)
            rig.plan.Append(true, QString("B%1\t%2\t%3\t%4\tCW\tband %1").arg(i).arg(1000 + i * 100).arg(1050 + i * 100).arg(1010 + i * 100));
        rig.keys->ApplyBandPlan();
        QCOMPARE(rig.host.bands.size(), 32);
        QCOMPARE(rig.buttons.at(31)->text(), QString("B31"));
        rig.keys->AllBandsPppPopup();
        QCOMPARE(rig.popup.actions().size(), 42);
    }

    void missingNumbersTakeDefaultsAndBadLimitsGetNoKey()
    {
        Rig rig;
        rig.plan.Clear();
        rig.plan.Append(true, "A\tabc\t\t\tAM\tdefaults");
        rig.plan.Append(true, "BAD\t5000\t4000\t4500\tCW\tbegin above end");
        rig.plan.Append(false, "OFF\t1\t2\t1\tCW\tno key");
        rig.plan.Append(true, "C\t7000\t7200\t7030\tCW\tafter the bad one");
        rig.keys->ApplyBandPlan();
        QCOMPARE(rig.host.bands.size(), 2);
        QCOMPARE(rig.host.bands.at(0).Low, 1000000);
        QCOMPARE(rig.host.bands.at(0).High, 2000000);
        QCOMPARE(rig.host.bands.at(0).LastFrequency, 1500000);
        QCOMPARE(rig.buttons.at(1)->text(), QString("C")); // key k is scale band k
        QCOMPARE(rig.host.bands.at(1).Name, QString("after the bad one"));
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
        QCOMPARE(rig.host.begin, 14000000);
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
        rig.host.calls.clear();
        rig.buttons.at(twenty)->click(); // the pressed key stays down
        QCOMPARE(rig.pressed(), QList<int>{twenty});
        QVERIFY(rig.host.calls.contains(QString("SelectBand %1").arg(twenty)));
        rig.buttons.at(forty)->click();
        QCOMPARE(rig.host.frequency, 7100000);
        QCOMPARE(rig.host.mode, QString("LSB"));

        rig.keys->ApplyBandPlan(); // forgets what was remembered
        rig.buttons.at(twenty)->click();
        QCOMPARE(rig.host.frequency, 14050000);
        QCOMPARE(rig.host.mode, QString("CW"));
    }

    void popupBandsTuneWithAndWithoutKey()
    {
        Rig rig;
        rig.plan.Append(false, "136\t100\t200\t150\tAM\tthe last of a caption wins");
        rig.keys->ApplyBandPlan();
        rig.buttons.at(rig.buttonWithCaption("14"))->click();
        rig.keys->AllBandsPppPopup();
        rig.host.calls.clear();
        rig.popupItem("136")->trigger();
        QCOMPARE(rig.host.calls.first(), QString("StopScan"));
        QVERIFY(rig.host.calls.contains("SetRange 100000 200000"));
        QCOMPARE(rig.host.frequency, 150000);
        QCOMPARE(rig.host.mode, QString("AM"));
        QVERIFY(rig.pressed().isEmpty());

        rig.keys->AllBandsPppPopup();
        rig.popupItem("CB")->trigger();
        QCOMPARE(rig.pressed(), QList<int>{rig.buttonWithCaption("CB")});
        QCOMPARE(rig.host.frequency, 26965000);
        QCOMPARE(rig.host.mode, QString("FM"));
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
        rig.keys->PressButton(rig.buttonWithCaption("50"));
        rig.keys->BandChanged(nullptr); // without sender: the pressed key
        QCOMPARE(rig.host.frequency, 50100000);
        QCOMPARE(rig.host.calls, QStringList({"StopScan", QString("SelectBand %1").arg(rig.buttonWithCaption("50")),
                                              "RestartSpectrograph", "UpdateDigitalDisplay"}));
        rig.keys->ReleaseAllButtons();
        rig.host.calls.clear();
        rig.keys->BandChanged(nullptr);
        QCOMPARE(rig.host.calls, QStringList({"StopScan", "RestartSpectrograph", "UpdateDigitalDisplay"}));
    }

    void scaleBandChangePressesMatchingKey()
    {
        Rig rig;
        rig.keys->ApplyBandPlan();
        rig.keys->RadioScaleBandChange(nullptr, 3);
        QCOMPARE(rig.pressed(), QList<int>{3});
        for (int outside : {-1, 32}) {
            rig.keys->RadioScaleBandChange(nullptr, outside);
            QVERIFY(rig.pressed().isEmpty());
        }
        QVERIFY(rig.host.calls.isEmpty()); // pressing never runs the click handler
    }

    void popupListsWholePlanWithPressedBandBold()
    {
        Rig rig;
        rig.plan.Append(false, "R&D\t100\t200\t150\tCW\tampersand");
        rig.keys->ApplyBandPlan();
        rig.keys->PressButton(rig.buttonWithCaption("14"));
        rig.keys->AllBandsPppPopup();
        rig.keys->AllBandsPppPopup(); // rebuilt, not added twice
        const QList<QAction *> actions = rig.popup.actions();
        QCOMPARE(actions.size(), 18);
        QCOMPARE(actions.at(15)->text(), QString("R&&D"));
        QVERIFY(actions.at(16)->isSeparator());
        QCOMPARE(actions.at(17), rig.keys->DefineBandsMnu());
        for (int i = 0; i < 16; ++i)
            QCOMPARE(actions.at(i)->font().bold(), actions.at(i)->data().toString() == "14");
    }

    // A plan of many thousand entries would take seconds to list: the items
    // are made when the plan changed since the last opening, not every time.
    void popupIsBuiltOncePerPlanChange()
    {
        Rig rig;
        rig.keys->ApplyBandPlan();
        rig.keys->AllBandsPppPopup();
        const QList<QAction *> items = rig.popup.actions();
        rig.keys->PressButton(rig.buttonWithCaption("14"));
        rig.keys->AllBandsPppPopup();
        QCOMPARE(rig.popup.actions(), items);
        QVERIFY(rig.popupItem("14")->font().bold());

        rig.plan.SetText(1, "X1\t1\t2\t1\tCW\tnew");
        rig.plan.Remove(14);
        rig.keys->AllBandsPppPopup();
        QCOMPARE(rig.popupTexts().mid(0, 3), QStringList({"136", "X1", "1.8"}));
        QCOMPARE(rig.popupTexts().size(), 16);
        rig.plan.Append(true, "Y2\t1\t2\t1\tCW\tnew");
        rig.keys->AllBandsPppPopup();
        QCOMPARE(rig.popupTexts().mid(14), QStringList({"Y2", "-", "Define Bands..."}));
        rig.popupItem("Y2")->trigger();
        QCOMPARE(rig.host.frequency, 1000);
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
        const int twenty = rig.buttonWithCaption("14");
        QCOMPARE(twenty, 6);
        QCOMPARE(rig.pressed(), QList<int>{twenty});
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
        QCOMPARE(rig.host.modes.at(1).Color, 0x00C0C0C0u);

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
