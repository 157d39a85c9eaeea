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
    qint32 frequency = 3550000;
    qint32 begin = 3500000;
    qint32 end = 3800000;
    QString mode;
    bool connected = false;
    bool restartChecked = false;
    bool frequencyPlot = false;
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
        if (band != lastBand) {
            lastBand = band;
            if (keys)
                keys->RadioScaleBandChange(nullptr, band);
        }
    }
    void ClearModes() override { modes.clear(); }
    void AddMode(qint32 Low, qint32 High, const QString &Mode, quint32 Color, const QString &Caption) override
    {
        if (Low < High)
            modes.append(TMode{Low, High, Mode, Color, Caption});
    }
    void RepaintScale() override { calls.append("RepaintScale"); }
    QString PressedMode() const override { return mode; }
    void PressModeButton(const QString &Mode) override
    {
        if (PlanModeNames().contains(Mode))
            mode = Mode;
    }
    void StopScan() override { calls.append("StopScan"); }
    bool IsConnected() const override { return connected; }
    void QueueModeCommand(const QString &Mode) override { calls.append("mode " + Mode); }
    void QueueFrequencyCommand(qint32 F) override { calls.append(QString("freq %1").arg(F)); }
    bool RestartSpectrographChecked() const override { return restartChecked; }
    void RestartSpectrograph() override { calls.append("RestartSpectrograph"); }
    bool SpectrographInFrequencyMode() const override { return frequencyPlot; }
    void SetSpectrographRange(qint32 Begin, qint32 End) override
    {
        calls.append(QString("SpectrographRange %1 %2").arg(Begin).arg(End));
    }
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
            auto *button = new QToolButton(&panel);
            button->setText("design-time");
            buttons.append(button);
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
    void keysStartEmptyAndPopupHasFixedItems()
    {
        Rig rig;
        for (QAbstractButton *button : rig.buttons) {
            QCOMPARE(button->text(), QString());
            QVERIFY(button->isCheckable());
            QCOMPARE(button->contextMenuPolicy(), Qt::CustomContextMenu);
        }
        QCOMPARE(rig.popupTexts(), QStringList({"*", "-", "Define Bands..."}));
        QCOMPARE(rig.keys->DefineBandsMnu()->text(), QString("Define Bands..."));
    }

    void applyGivesTickedBandsKeysAndScaleBands()
    {
        Rig rig;
        rig.keys->ApplyBandPlan();
        QCOMPARE(rig.host.bands.size(), 14);
        QCOMPARE(rig.buttons.at(0)->text(), QString("MW"));
        QCOMPARE(rig.buttons.at(0)->toolTip(), QString("MW radio broadcast"));
        QCOMPARE(rig.buttons.at(13)->text(), QString("430"));
        QCOMPARE(rig.buttons.at(14)->text(), QString());
        QCOMPARE(rig.buttons.at(14)->toolTip(), QString());
        const TBand &twenty = rig.host.bands.at(5);
        QCOMPARE(twenty.Low, 14000000);
        QCOMPARE(twenty.High, 14350000);
        QCOMPARE(twenty.LastFrequency, 14050000);
        QCOMPARE(twenty.LastMode, QString("CW"));
        QCOMPARE(twenty.Name, QString("20 m amateur band"));
        QVERIFY(rig.pressed().isEmpty());
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
        QCOMPARE(rig.host.FindBand(1000000 + 35 * 100000 + 10000), -1); // no scale band for the 36th
        rig.keys->AllBandsPppPopup();
        QCOMPARE(rig.popup.actions().size(), 42);
        QVERIFY(rig.popupItem("B39") != nullptr);
    }

    void captionLengthChoosesTheFont()
    {
        Rig rig;
        rig.plan.Clear();
        rig.plan.Append(true, "ABC\t100\t200\t150\tCW\tthree");
        rig.plan.Append(true, "ABCD\t300\t400\t350\tCW\tfour");
        rig.plan.Append(true, "ABCDEF\t500\t600\t550\tCW\tsix");
        rig.keys->ApplyBandPlan();
        QCOMPARE(rig.buttons.at(0)->font().family(), QString("MS Sans Serif"));
        QCOMPARE(rig.buttons.at(0)->font().pointSize(), 8);
        QCOMPARE(rig.buttons.at(1)->font().family(), QString("Small Fonts"));
        QCOMPARE(rig.buttons.at(1)->font().pointSize(), 6);
        QCOMPARE(rig.buttons.at(2)->font().family(), QString("Small Fonts"));
        QCOMPARE(rig.buttons.at(2)->font().pointSize(), 6);
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
        QCOMPARE(rig.buttons.at(0)->text(), QString("A"));
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
        QCOMPARE(rig.host.bands.at(rig.buttonWithCaption("3.5")).LastMode, QString("LSB")); // state of the band left

        rig.host.SetFrequency(14200000);
        rig.host.mode = "USB";
        rig.buttons.at(forty)->click();
        QCOMPARE(rig.host.frequency, 7030000);
        QCOMPARE(rig.host.mode, QString("CW"));
        QCOMPARE(rig.pressed(), QList<int>{forty});

        rig.host.SetFrequency(7100000);
        rig.host.mode = "LSB";
        rig.buttons.at(twenty)->click();
        QCOMPARE(rig.host.frequency, 14200000);
        QCOMPARE(rig.host.mode, QString("USB"));
        rig.buttons.at(forty)->click();
        QCOMPARE(rig.host.frequency, 7100000);
        QCOMPARE(rig.host.mode, QString("LSB"));

        // Re-applying the plan forgets what was remembered.
        rig.keys->ApplyBandPlan();
        rig.buttons.at(twenty)->click();
        QCOMPARE(rig.host.frequency, 14050000);
        QCOMPARE(rig.host.mode, QString("CW"));
    }

    void clickOnPressedKeyKeepsItDown()
    {
        Rig rig;
        rig.keys->ApplyBandPlan();
        const int twenty = rig.buttonWithCaption("14");
        rig.buttons.at(twenty)->click();
        rig.host.calls.clear();
        rig.buttons.at(twenty)->click();
        QCOMPARE(rig.pressed(), QList<int>{twenty});
        QVERIFY(rig.host.calls.contains(QString("SelectBand %1").arg(twenty)));
    }

    void popupBandWithoutKeyTunesToItsInitialValues()
    {
        Rig rig;
        rig.keys->ApplyBandPlan();
        rig.buttons.at(rig.buttonWithCaption("14"))->click();
        rig.keys->AllBandsPppPopup();
        QAction *item = rig.popupItem("136");
        QVERIFY(item != nullptr);
        rig.host.calls.clear();
        item->trigger();
        QVERIFY(rig.host.calls.contains("SetRange 135000 138000"));
        QCOMPARE(rig.host.frequency, 137000);
        QCOMPARE(rig.host.mode, QString("CW"));
        QVERIFY(rig.pressed().isEmpty());
        QCOMPARE(rig.host.calls.first(), QString("StopScan"));
    }

    void popupBandWithKeyPressesAndSelectsIt()
    {
        Rig rig;
        rig.keys->ApplyBandPlan();
        rig.keys->AllBandsPppPopup();
        rig.popupItem("CB")->trigger();
        const int cb = rig.buttonWithCaption("CB");
        QCOMPARE(rig.pressed(), QList<int>{cb});
        QCOMPARE(rig.host.frequency, 26965000);
        QCOMPARE(rig.host.mode, QString("FM"));
    }

    void emptyKeyAsksToChangeThePlan()
    {
        Rig rig;
        rig.keys->ApplyBandPlan();
        rig.prompts.answers = {false};
        rig.buttons.at(20)->click();
        QCOMPARE(rig.prompts.shown.size(), 1);
        QCOMPARE(rig.prompts.shown.first().first, PromptKind::Question);
        QCOMPARE(rig.prompts.shown.first().second,
                 QString("No band assigned to this button.\n\nDo you want to change the band plan now?"));
        QVERIFY(rig.pressed().isEmpty());
        QVERIFY(rig.host.calls.isEmpty());
        QCOMPARE(rig.bandsDialogRuns, 0);

        rig.prompts.answers = {true};
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
            "StopScan", QString("SelectBand %1").arg(rig.buttonWithCaption("21")),
            "mode CW", "freq 21050000", "mode CW",
            "RestartSpectrograph", "SpectrographRange 21000000 21450000", "UpdateDigitalDisplay",
        }));

        rig.host.calls.clear();
        rig.host.connected = false;
        rig.host.restartChecked = false;
        rig.host.frequencyPlot = false;
        rig.buttons.at(rig.buttonWithCaption("24"))->click();
        QCOMPARE(rig.host.calls.size(), 3);
        QCOMPARE(rig.host.calls.last(), QString("UpdateDigitalDisplay"));
    }

    void bandChangeWithoutSenderUsesPressedKey()
    {
        Rig rig;
        rig.keys->ApplyBandPlan();
        rig.keys->PressButton(rig.buttonWithCaption("50"));
        rig.keys->BandChanged(nullptr);
        QCOMPARE(rig.host.frequency, 50100000);
        rig.keys->ReleaseAllButtons();
        rig.host.calls.clear();
        rig.keys->BandChanged(nullptr);
        QCOMPARE(rig.host.calls, QStringList({"StopScan", "UpdateDigitalDisplay"}));
    }

    void scaleBandChangePressesMatchingKey()
    {
        Rig rig;
        rig.keys->ApplyBandPlan();
        rig.keys->RadioScaleBandChange(nullptr, 3);
        QCOMPARE(rig.pressed(), QList<int>{3});
        rig.keys->RadioScaleBandChange(nullptr, -1);
        QVERIFY(rig.pressed().isEmpty());
        rig.keys->RadioScaleBandChange(nullptr, 32);
        QVERIFY(rig.pressed().isEmpty());
        QVERIFY(rig.host.calls.isEmpty()); // pressing never runs the click handler
    }

    void popupListsWholePlanWithPressedBandBold()
    {
        Rig rig;
        rig.plan.Append(false, "R&D\t100\t200\t150\tCW\tampersand");
        rig.keys->ApplyBandPlan();
        rig.keys->PressButton(rig.buttonWithCaption("14"));
        rig.keys->AllBandsPppPopup();
        rig.keys->AllBandsPppPopup(); // items are rebuilt, not added twice
        const QList<QAction *> actions = rig.popup.actions();
        QCOMPARE(actions.size(), 18);
        QCOMPARE(actions.at(0)->data().toString(), QString("136"));
        QCOMPARE(actions.at(15)->data().toString(), QString("R&D"));
        QCOMPARE(actions.at(15)->text(), QString("R&&D"));
        QVERIFY(actions.at(16)->isSeparator());
        QCOMPARE(actions.at(17), rig.keys->DefineBandsMnu());
        for (int i = 0; i < 16; ++i)
            QCOMPARE(actions.at(i)->font().bold(), actions.at(i)->data().toString() == "14");

        rig.keys->ReleaseAllButtons();
        rig.keys->AllBandsPppPopup();
        for (QAction *action : rig.popup.actions())
            QVERIFY(!action->font().bold());
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
        // The band no longer holds the tuned 14050 kHz: it starts afresh.
        rig.plan.SetText(6, "14\t14000\t14040\t14020\tUSB\tnarrower");
        rig.keys->DefineBandsMnu()->trigger();
        QCOMPARE(rig.bandsDialogRuns, 2);
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
        rig.segments.SetAllItems({
            "14000\t14070\tCW\t009B9BFB\t",
            "abc\t14100\tFM\t\tnot a number",
            "14070\t14350\tUSB\t\tSSB",
            "14400\t14300\tAM\t\tbegin above end",
            "14350",
        });
        rig.host.modes.append(TMode{1, 2, "old", 0, ""});
        rig.keys->ApplyModeSegments();
        QCOMPARE(rig.host.modes.size(), 2);
        QCOMPARE(rig.host.modes.at(0).Low, 14000000);
        QCOMPARE(rig.host.modes.at(0).Color, 0x009B9BFBu);
        QCOMPARE(rig.host.modes.at(1).Mode, QString("USB"));
        QCOMPARE(rig.host.modes.at(1).Color, 0x00C0C0C0u);
        QCOMPARE(rig.host.modes.at(1).Caption, QString("SSB"));
        QCOMPARE(ModeAt(rig.host.modes, 14070000), QString("USB"));

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
