#include "app/Main.h"
#include "base/MessageBoxes.h"
#include "app/Options.h"
#include "base/Settings.h"
#include "base/ShutdownSignals.h"
#include "base/Widgets.h"
#include "cat/ComSettings.h"
#include "controls/RadioScale.h"
#include "common/PromptRecorder.h"
#include "common/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QSettings>
#include <QTimer>
#include <QToolButton>

#include <csignal>

namespace {


// Every visible key lies wholly inside its row; every hidden one would not.
void verifyWholeButtons(QFrame *row)
{
    const auto keys = row->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly);
    for (QToolButton *key : keys) {
        const bool fits = key->x() + key->width() < row->width();
        QCOMPARE(!key->isHidden(), fits);
    }
}

int visibleKeys(const QList<QToolButton *> &keys)
{
    int count = 0;
    for (QToolButton *key : keys)
        count += key->isHidden() ? 0 : 1;
    return count;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // A connect attempt shows the serial dialog: here it is always cancelled.
        TTarnwickFrm::SetComSettingsRunner([](TComSettingsFrm &) { return false; });
    }

    // The first window tells about the missing band and mode files; every
    // box is answered here so that none blocks a test.
    void init()
    {
        SetInformationAnswerer([](QWidget *, const QString &) {});
        SetConfirmationAnswerer([](QWidget *, const QString &) { return false; });
    }

    void firstRunWithEmptySettings()
    {
        testenv::clearSettings();
        QStringList written;
        SetSettingsWriteObserver([&written](const QString &name, const QString &) { written << name; });
        {
            TTarnwickFrm window;
            QCOMPARE(window.StatusText(), QString("Off-line mode. Click COM button to connect to TCVR."));
            QCOMPARE(window.StatusBarPnl->FontColor(), QColor(Qt::black));
            QCOMPARE(window.y(), 10);
            QCOMPARE(window.x(), 100);
            QCOMPARE(window.width(), TTarnwickFrm::DesignWidth);
            QCOMPARE(window.height(), TTarnwickFrm::DesignHeight);
            QVERIFY(!window.SpectroGraphPnl->isHidden());
            QVERIFY(!window.ToolsPnl->isHidden());
            QVERIFY(window.SpectroscopVisibleMnu->isChecked());
            QVERIFY(window.ToolsVisibleMnu->isChecked());
            QVERIFY(window.MainTmr->isActive());
            QCOMPARE(window.minimumWidth(), 420);
            QCOMPARE(window.minimumHeight(), window.MinClientHeight());
            QVERIFY(window.FqEdt->isHidden());
            QVERIFY(window.DeleteFqMarkerBtn->isHidden());
            QVERIFY(window.FqMarkerNameLbl->isHidden());
            QVERIFY(written.isEmpty()); // creating the window writes nothing

            window.show();
            QTRY_VERIFY(window.ActivatedOnce);
            QCOMPARE(window.LastFreq, 3550000);
            QCOMPARE(window.CurrentMode(), QString());
            QCOMPARE(window.GetSqlState(), 0);
            QVERIFY(!window.CatBtn->isChecked()); // no link: the key shows the real state
            QVERIFY(window.close());
        }
        SetSettingsWriteObserver({});
        const QStringList order = {"Tarnwick.Connected", "Tarnwick.LastFreq", "Tarnwick.LastMode",
                                   "Tarnwick.Top", "Tarnwick.Height", "Tarnwick.Left", "Tarnwick.Width",
                                   "Tarnwick.SpectrographVisible", "Tarnwick.ToolsVisible"};
        QCOMPARE(written, order);
        QCOMPARE(ReadSetting("LastFreq"), QString("3550000"));
        QCOMPARE(ReadSetting("Top"), QString("10"));
        QCOMPARE(ReadSetting("Left"), QString("100"));
        QCOMPARE(ReadSetting("Width"), QString::number(TTarnwickFrm::DesignWidth));
        QCOMPARE(ReadSetting("Height"), QString::number(TTarnwickFrm::DesignHeight));
        QCOMPARE(ReadSetting("SpectrographVisible"), QString("1"));
        QCOMPARE(ReadSetting("ToolsVisible"), QString("1"));
        QCOMPARE(ReadSetting("Connected"), QString("0"));
        QVERIFY(SettingExists("LastMode"));
    }

    void componentsOfTheWindow()
    {
        TTarnwickFrm window;
        QCOMPARE(window.objectName(), QString("TarnwickFrm"));
        const QStringList names = {"MainTmr", "ConnectionWatchdogTmr", "DisconnectAndTerminateTmr", "ScanTmr",
                                   "UpdateSpectrographTmr", "BlinkingButtonTmr", "PwrBtn", "CatBtn", "MenuBtn",
                                   "MainButtons", "StatusBarPnl", "SqlRcvTxPnl", "MainMenuPpp", "SpectroGraphPnl",
                                   "ToolsPnl", "ScalePnl", "MainPanel", "BandPnl", "ModePnl", "SplitPnl",
                                   "ProgramPnl", "ScanPnl", "DigiScalePnl", "SMeterPnl", "MhzLbl", "kHzLbl",
                                   "DepreszLbl", "PttBtn", "ScanBtn", "GraphBtn", "ABBtn", "AIsBBtn", "SplitBtn",
                                   "Prog1Btn", "Prog2Btn", "Prog3Btn", "FqEdt", "DeleteFqMarkerBtn",
                                   "FqMarkerNameLbl", "SpeedButton17", "ToolButton1", "ToolButton8", "AllBandsPpp",
                                   "BandsMnu", "ModesMnu", "PreferencesMnu", "SpectroscopVisibleMnu",
                                   "ToolsVisibleMnu", "HideAllControlsMnu", "AboutZov1", "DefineBandsMnu",
                                   "OptionsFrm"};
        for (const QString &name : names)
            QVERIFY2(window.findChild<QObject *>(name), qPrintable(name));

        QCOMPARE(window.MainTmr->interval(), 20);
        QVERIFY(!window.ConnectionWatchdogTmr->isActive());
        QCOMPARE(window.DisconnectAndTerminateTmr->interval(), 2000);
        QVERIFY(!window.DisconnectAndTerminateTmr->isActive());
        QCOMPARE(window.ScanTmr->interval(), 2000);
        QCOMPARE(window.UpdateSpectrographTmr->interval(), 250);
        QVERIFY(!window.UpdateSpectrographTmr->isActive());
        QCOMPARE(window.BlinkingButtonTmr->interval(), 125);
        QVERIFY(!window.BlinkingButtonTmr->isActive());

        for (QToolButton *key : {window.PwrBtn, window.CatBtn, window.MenuBtn})
            QCOMPARE(key->size(), QSize(30, 30));
        QCOMPARE(window.PwrBtn->toolTip(), QString("Power-off Radio"));
        QCOMPARE(window.CatBtn->toolTip(), QString("Connect to TCVR (CAT)\nHold down Ctrl to modify settings"));
        QVERIFY(window.SplitBtn->font().italic());
        QVERIFY(!window.ABBtn->font().italic());
        QCOMPARE(window.Prog2Btn->text(), QString("PROG 2"));
        QCOMPARE(window.ScanBtn->text(), QString("SCAN"));
        QCOMPARE(window.GraphBtn->text(), QString("GRAPH"));
        QCOMPARE(window.MhzLbl->text(), QString("MHz"));
        QCOMPARE(window.kHzLbl->text(), QString("kHz"));
        QCOMPARE(window.ToolButton3->toolTip(), QString("New Frequency Marker"));
        QCOMPARE(window.ToolButton4->toolTip(), QString("Previous Freq Marker"));
        QCOMPARE(window.ToolButton5->toolTip(), QString("Next Freq Marker"));
        QCOMPARE(window.SpeedButton17->text(), QString("New Fq Marker"));
        QCOMPARE(window.DeleteFqMarkerBtn->text(), QString("Delete Fq Marker"));
        QCOMPARE(window.PreferencesMnu->text(), QString("Preferences..."));
        QCOMPARE(window.SpectroscopVisibleMnu->text(), QString("Spectrograph Visible"));
        QCOMPARE(window.BandsMnu->text(), QString("Bands..."));
        QCOMPARE(window.ModesMnu->text(), QString("Modes..."));
        QCOMPARE(window.DefineBandsMnu->text(), QString("Define Bands..."));
        QCOMPARE(window.AllBandsPpp->actions().first()->text(), QString("*"));
    }

    void bandAndModeKeys()
    {
        TTarnwickFrm window;
        QCOMPARE(window.BandButtons.size(), 32);
        for (int i = 0; i < 32; ++i) {
            QCOMPARE(window.BandButtons.at(i)->objectName(), QString("Band%1Btn").arg(i + 1));
            QCOMPARE(window.BandButtons.at(i)->text(), QString());
            QCOMPARE(window.BandButtons.at(i)->parentWidget(), window.BandPnl);
        }
        const QStringList modes = {"LSB", "USB", "CW", "CW-R", "AM", "WFM", "FM", "DIG", "PKT", "FSK", "FSK-R"};
        QCOMPARE(window.ModeButtons.size(), 11);
        for (int i = 0; i < 11; ++i)
            QCOMPARE(window.ModeButtons.at(i)->text(), modes.at(i));
        QCOMPARE(window.ModeButtons.first(), window.LsbBtn);
        QCOMPARE(window.ModeButtons.last(), window.FskrBtn);

        window.FormShow(); // the band plan gives the keys their captions
        QToolButton *b3 = window.BandButtons.at(2);
        QToolButton *b5 = window.BandButtons.at(4);
        QCOMPARE(b3->text(), QString("3.5"));
        b3->click();
        QVERIFY(b3->isChecked());
        b5->click();
        QVERIFY(b5->isChecked());
        QVERIFY(!b3->isChecked());
        b5->click(); // a click on the pressed key selects its band again
        QVERIFY(b5->isChecked());

        window.UsbBtn->click();
        window.CwBtn->click();
        QCOMPARE(window.CurrentMode(), QString("CW"));
        QVERIFY(!window.UsbBtn->isChecked());
        window.CwBtn->click(); // a mode key stays down
        QCOMPARE(window.CurrentMode(), QString("CW"));
    }

    void positionRules()
    {
        QCOMPARE(TTarnwickFrm::RestoredTop(-21, 1000), 200);
        QCOMPARE(TTarnwickFrm::RestoredTop(-20, 1000), -20);
        QCOMPARE(TTarnwickFrm::RestoredTop(900, 1000), 900);
        QCOMPARE(TTarnwickFrm::RestoredTop(901, 1000), 200);
        QCOMPARE(TTarnwickFrm::RestoredLeft(-21, 1000), 100);
        QCOMPARE(TTarnwickFrm::RestoredLeft(-20, 1000), -20);
        QCOMPARE(TTarnwickFrm::RestoredLeft(901, 1000), 100);

        testenv::clearSettings();
        WriteSetting("Top", "-21");
        WriteSetting("Left", "-20");
        WriteSetting("Width", "640");
        WriteSetting("Height", "-1");
        {
            TTarnwickFrm window;
            QCOMPARE(window.y(), 200);
            QCOMPARE(window.x(), -20);
            QCOMPARE(window.width(), 640);
            QCOMPARE(window.height(), TTarnwickFrm::DesignHeight);
        }
        WriteSetting("Top", "-20");
        WriteSetting("Left", "ten");
        WriteSetting("SpectrographVisible", "0");
        {
            TTarnwickFrm window;
            QCOMPARE(window.y(), -20);
            QCOMPARE(window.x(), 100);
            QVERIFY(window.SpectroGraphPnl->isHidden());
            QVERIFY(!window.SpectroscopVisibleMnu->isChecked());
            QCOMPARE(window.minimumHeight(), window.MainPanel->height() + 122 + window.ToolsPnl->height());
        }
        testenv::clearSettings();
    }

    void lastModeAndFrequencyComeBackAtFirstActivation()
    {
        testenv::clearSettings();
        WriteSetting("LastMode", "USB");
        WriteSetting("LastFreq", "7030000");
        {
            TTarnwickFrm window;
            QVERIFY(!window.UsbBtn->isChecked());
            window.FormActivate();
            QVERIFY(window.UsbBtn->isChecked());
            QCOMPARE(window.LastFreq, 7030000);
            window.LsbBtn->click();
            window.RadioScale->SetFrequency(1840000); // the scale's frequency is saved
            window.FormActivate(); // later activations do nothing
            QVERIFY(window.LsbBtn->isChecked());
            QVERIFY(window.close());
        }
        QCOMPARE(ReadSetting("LastMode"), QString("LSB"));
        QCOMPARE(ReadSetting("LastFreq"), QString("1840000"));
        WriteSetting("LastFreq", "abc");
        TTarnwickFrm window;
        window.FormActivate();
        QCOMPARE(window.LastFreq, 3550000);
        testenv::clearSettings();
    }

    void statusLine()
    {
        TTarnwickFrm window;
        window.SetStatus("Can't open COM port [E1]. R&D", 255, true);
        QCOMPARE(window.StatusText(), QString("Can't open COM port [E1]. R&&D"));
        QCOMPARE(window.StatusBarPnl->FontColor(), QColor(255, 0, 0));
        QVERIFY(window.StatusBarPnl->font().bold());
        const QString longText = QString(250, 'x') + "&&&&&&&&&&";
        window.SetStatus(longText);
        QCOMPARE(window.StatusText(), QString(250, 'x') + QString(10, '&'));
        QCOMPARE(window.StatusBarPnl->FontColor(), QColor(Qt::black));
        QVERIFY(!window.StatusBarPnl->font().bold());
    }

    void litStateAndReceiveIndicator()
    {
        TTarnwickFrm window;
        QList<bool> lit;
        connect(&window, &TTarnwickFrm::LitStateChanged, this, [&lit](bool on) { lit << on; });
        window.SetSqlState(2);
        QCOMPARE(window.SqlRcvTxPnl->Caption(), QString("TX"));
        QCOMPARE(window.SqlRcvTxPnl->Color(), QColor(255, 0, 0));
        QCOMPARE(window.GetSqlState(), 2);
        window.SetSqlState(1);
        QCOMPARE(window.SqlRcvTxPnl->Color(), QColor(0, 255, 0));
        QCOMPARE(window.GetSqlState(), 1);
        window.SqlRcvTxPnl->SetCaption("??");
        QCOMPARE(window.GetSqlState(), 1);
        window.CatBtn->setChecked(true);
        window.UpdateLitState();
        QVERIFY(!window.CatBtn->isChecked());
        QCOMPARE(window.SqlRcvTxPnl->Caption(), QString("SQL"));
        QCOMPARE(window.SqlRcvTxPnl->Color(), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(lit, QList<bool>{false});
    }

    void narrowWindowHidesWholeButtonsOnly()
    {
        TTarnwickFrm window;
        window.show();
        for (int width : {1400, 800, 640, 500, 450, 420}) {
            window.resize(width, window.height());
            QTRY_COMPARE(window.MainPanel->width(), width);
            for (QFrame *row : {window.BandPnl, window.ModePnl, window.SplitPnl, window.ProgramPnl})
                verifyWholeButtons(row);
            QCOMPARE(!window.SplitPnl->isHidden(), !window.ABBtn->isHidden());
            QCOMPARE(!window.ProgramPnl->isHidden(), !window.Prog1Btn->isHidden());
            QCOMPARE(!window.ScanPnl->isHidden(), width - window.ScanPnl->x() - 7 >= 61);
        }
        window.resize(1400, window.height());
        QTRY_COMPARE(window.MainPanel->width(), 1400);
        QCOMPARE(visibleKeys(window.BandButtons), 32);
        QCOMPARE(visibleKeys(window.ModeButtons), 11);
        QCOMPARE(window.ModePnl->width(), 446);
        QCOMPARE(window.SplitPnl->width(), 126);
        QCOMPARE(window.ProgramPnl->width(), 153);
        QVERIFY(!window.SplitPnl->isHidden());

        window.resize(500, window.height());
        QTRY_COMPARE(window.MainPanel->width(), 500);
        QCOMPARE(visibleKeys(window.BandButtons), 8);
        QCOMPARE(visibleKeys(window.ModeButtons), 7);
        QVERIFY(window.SplitPnl->isHidden());
        QVERIFY(window.ProgramPnl->isHidden());
        QVERIFY(!window.ScanPnl->isHidden());
        window.resize(450, window.height());
        QTRY_COMPARE(window.MainPanel->width(), 450);
        QVERIFY(window.ScanPnl->isHidden());
        window.close();

        QCOMPARE(TTarnwickFrm::RowPanelWidth(445, 446, 40), 446);
        QCOMPARE(TTarnwickFrm::RowPanelWidth(439, 446, 40), 406);
        QCOMPARE(TTarnwickFrm::RowPanelWidth(1000, 0, 36), 978);
        QCOMPARE(TTarnwickFrm::RowPanelWidth(-30, 126, 40), 0);
    }

    void panelsFromTheMenu()
    {
        TTarnwickFrm window;
        window.show();
        const int height = window.height();
        window.ToolsVisibleMnu->trigger();
        QVERIFY(window.ToolsPnl->isHidden());
        QCOMPARE(window.height(), height - window.ToolsPnl->height());
        QCOMPARE(window.minimumHeight(), window.MinClientHeight());
        window.SpectroscopVisibleMnu->trigger();
        QVERIFY(window.SpectroGraphPnl->isHidden());
        QCOMPARE(window.minimumHeight(), window.MainPanel->height() + 122);
        window.SpectroscopVisibleMnu->trigger();
        window.ToolsVisibleMnu->trigger();
        QCOMPARE(window.height(), height);

        window.HideAllControlsMnu->trigger();
        QVERIFY(window.MainPanel->isHidden());
        QVERIFY(window.SpectroGraphPnl->isHidden());
        QVERIFY(window.ToolsPnl->isHidden());
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        // Closing from "Only Scale Visible" brings everything back first.
        QStringList written;
        SetSettingsWriteObserver([&written](const QString &name, const QString &value) {
            written << name + "=" + value;
        });
        QVERIFY(window.close());
        SetSettingsWriteObserver({});
        QVERIFY(!window.HideAllControlsMnu->isChecked());
        QVERIFY(!window.MainPanel->isHidden());
        QVERIFY(written.contains("Tarnwick.SpectrographVisible=1"));
        QVERIFY(written.contains("Tarnwick.ToolsVisible=1"));
        QVERIFY(written.contains("Tarnwick.Height=" + QString::number(height)));
    }

    void closingIsRefusedWhileAScriptRuns()
    {
        TTarnwickFrm window;
        window.show();
        testenv::PromptRecorder prompts;
        window.BlinkingButtonTmr->start();
        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        const QStringList messages = prompts.texts();
        QCOMPARE(messages.size(), 1);
        QCOMPARE(prompts.shown.first().first, testenv::PromptKind::Information);
        QCOMPARE(prompts.lastParent.data(), static_cast<QWidget *>(&window));
        QVERIFY(messages.first().startsWith("Zov can't be switched off while a script is running.\nWait until"));
        QVERIFY(messages.first().endsWith("you will have to kill Zov brutally with Windows Task Manager."));
        window.PwrBtn->click();
        QVERIFY(window.isVisible());
        QVERIFY(!window.PwrBtn->isDown());
        window.BlinkingButtonTmr->stop();
        window.PwrBtn->click();
        QVERIFY(!window.isVisible());
    }

    void unwritableSettingsAreReportedOnce()
    {
        const QString broken = testenv::sandboxPath("broken-config");
        QDir().mkpath(broken + "/Orbelle/Tarnwick1.conf"); // a folder where the file belongs
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, broken);
        {
            TTarnwickFrm window;
            TCatEngineHost &host = window;
            host.WriteEngineSetting("ConnectSuccess", "0"); // the link's write fails
            QVERIFY(window.StatusText().startsWith("Settings can't be saved to "));
            QCOMPARE(window.StatusBarPnl->FontColor(), QColor(255, 0, 0));
            window.SetStatus("later text");
            QVERIFY(window.close()); // the program goes on; no second report
            QCOMPARE(window.StatusText(), QString("later text"));
        }
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, testenv::sandboxPath("config"));
        QVERIFY(WriteSetting("Probe", "1"));
    }

    void terminateSignalClosesLikeThePowerKey()
    {
        testenv::clearSettings();
        TTarnwickFrm window;
        window.show();
        window.resize(700, window.height());
        ShutdownSignals shutdown;
        QVERIFY(shutdown.IsInstalled());
        connect(&shutdown, &ShutdownSignals::ShutdownRequested, &window, [&window] { window.close(); });
        std::raise(SIGTERM);
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(ReadSetting("Width"), QString("700"));
        QVERIFY(SettingExists("Connected"));
    }

    void mouseMovesOffTheScaleAreReported()
    {
        TTarnwickFrm window;
        window.show();
        int reports = 0;
        connect(&window, &TTarnwickFrm::MouseMovedOffScale, this, [&reports] { ++reports; });
        auto move = [](QWidget *target, QPoint at) {
            QMouseEvent event(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        };
        move(window.MainPanel, QPoint(5, 5));
        QCOMPARE(reports, 1);
        move(window.MainPanel, QPoint(5, 5)); // same position: nothing new
        QCOMPARE(reports, 1);
        move(window.ScalePnl, QPoint(40, 20));
        QCOMPARE(reports, 1);
        move(window.PttBtn, QPoint(3, 3));
        QCOMPARE(reports, 2);
        window.close();
    }

    void preferencesFromTheMenu()
    {
        TTarnwickFrm window;
        window.show();
        int applied = 0;
        connect(&window, &TTarnwickFrm::PreferencesApplied, this, [&applied] { ++applied; });
        bool menuKeyDown = false;
        QTimer::singleShot(50, this, [&window, &menuKeyDown] {
            menuKeyDown = window.MenuBtn->isDown();
            window.OptionsFrm->MouseWheelCBx->setCurrentIndex(2);
            window.OptionsFrm->OkBtn->click();
        });
        window.PreferencesMnu->trigger();
        QVERIFY(menuKeyDown);
        QVERIFY(!window.MenuBtn->isDown());
        QCOMPARE(applied, 1);
        QCOMPARE(ReadSetting("MouseWheelCBx"), QString("2"));

        QTimer::singleShot(50, this, [&window] {
            window.OptionsFrm->MouseWheelCBx->setCurrentIndex(0);
            window.OptionsFrm->CancelBtn->click();
        });
        window.PreferencesMnu->trigger();
        QCOMPARE(applied, 1);
        QCOMPARE(window.OptionsFrm->MouseWheelCBx->currentIndex(), 2);
        window.close();
    }
};

TARNWICK_TEST_CLASS(TestMainWindow)
#include "tst_mainwindow.moc"
