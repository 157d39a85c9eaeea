// The main window's lifecycle: what it restores and saves, the status line,
// the panels, the rows of keys and the close query.

#include "MainWindowTestSupport.h"
#include "base/Settings.h"
#include "base/Widgets.h"
#include "controls/Depresz.h"
#include "controls/Digits2.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QTimer>

namespace {

int visibleKeys(const QList<QToolButton *> &keys)
{
    return int(std::count_if(keys.begin(), keys.end(), [](QToolButton *key) { return !key->isHidden(); }));
}

QStringList recordWrites(const std::function<void()> &action)
{
    QStringList written;
    SetSettingsWriteObserver([&written](const QString &name, const QString &value) {
        written << name.mid(int(qstrlen("Tarnwick."))) + "=" + value;
    });
    action();
    SetSettingsWriteObserver({});
    return written;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init() { testenv::clearSettings(); }

    // A SIGTERM while a first-run box is open closes the window before its
    // first activation: what that would have read stays as it was. The stored
    // geometry, kept on the screen, and panels are restored at creation.
    void closeBeforeFirstActivationKeepsTheLastRun()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        WriteSetting("LastFreq", "7030000");
        WriteSetting("LastMode", "USB");
        WriteSetting("Connected", "1");
        WriteSetting("Top", "50");
        WriteSetting("Left", "-20");
        WriteSetting("Width", "640");
        WriteSetting("Height", "2000000000");
        WriteSetting("SpectrographVisible", "0");
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.make();
        QCOMPARE(w.geometry(), QRect(-20, area.top(), 640, area.height()));
        QVERIFY(w.SpectroGraphPnl->isHidden() && !w.SpectroscopVisibleMnu->isChecked());
        QCOMPARE(w.minimumHeight(), w.MainPanel->height() + 122 + w.ToolsPnl->height());
        const QStringList written = recordWrites([&] { w.FormClose(); });
        QCOMPARE(written.filter(QRegularExpression("^(LastFreq|LastMode|Connected)=")), QStringList());
        QVERIFY(written.contains("Width=640"));
        QCOMPARE(ReadSetting("LastFreq"), QString("7030000"));
    }

    // Nothing is written at creation; the first activation brings back the
    // last run and asks for the serial port (no connect recorded yet); a
    // close saves what the window holds, in order.
    void lastRunComesBackAtFirstActivationOnly()
    {
        WriteSetting("LastMode", "USB");
        WriteSetting("LastFreq", "7100000");
        MainWindowFixture fx;
        QVERIFY(recordWrites([&] { fx.make(); }).isEmpty());
        TTarnwickFrm &w = *fx.window;
        QCOMPARE(w.StatusText(), QString("Off-line mode. Click COM button to connect to TCVR."));
        QCOMPARE(w.minimumHeight(), w.MinClientHeight());
        w.show();
        QTRY_VERIFY(w.ActivatedOnce);
        QVERIFY(w.UsbBtn->isChecked());
        QCOMPARE(fx.frequency(), 7100000); // not the initial 7030000 of its band
        QVERIFY(fx.scale().SliderVisible());
        QCOMPARE(fx.serialDialogs, 1);
        QVERIFY(!w.CatBtn->isChecked()); // the dialog was cancelled: the key shows the real state
        w.LsbBtn->click();
        fx.scale().SetFrequency(1840000);
        w.FormActivate(); // later activations change nothing
        QVERIFY(w.LsbBtn->isChecked());
        QCOMPARE(fx.frequency(), 1840000);
        const QStringList written = recordWrites([&] { QVERIFY(w.close()); });
        QCOMPARE(written, QStringList({"Connected=0", "LastFreq=1840000", "LastMode=LSB", "Top=10",
                                       QString("Height=%1").arg(TTarnwickFrm::DesignHeight), "Left=100",
                                       QString("Width=%1").arg(TTarnwickFrm::DesignWidth),
                                       "SpectrographVisible=1", "ToolsVisible=1"}));
    }

    void litStateAndReceiveIndicator()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        w.SetSqlState(2);
        QCOMPARE(w.SqlRcvTxPnl->Caption(), QString("TX"));
        emit w.LitStateChanged(true);
        QCOMPARE(fx.scale().Color(), QColor(Qt::white));
        QVERIFY(w.DigiScale->Lit() && w.Depresz->Lit());
        w.CatBtn->setChecked(true);
        w.UpdateLitState(); // off-line after all
        QVERIFY(!w.CatBtn->isChecked());
        QCOMPARE(w.GetSqlState(), 0);
        QVERIFY(!w.DigiScale->Lit() && !w.Depresz->Lit());
        QCOMPARE(fx.scale().Color(), QColor(0xF0, 0xF0, 0xF0));
    }

    void narrowWindowHidesWholeButtonsOnly()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.make();
        w.show();
        for (int width : {1400, 500, 450}) {
            w.resize(width, w.height());
            QTRY_COMPARE(w.MainPanel->width(), width);
            for (QFrame *row : {w.BandPnl, w.ModePnl, w.SplitPnl, w.ProgramPnl})
                for (QToolButton *key : row->findChildren<QToolButton *>(QString(), Qt::FindDirectChildrenOnly))
                    QCOMPARE(!key->isHidden(), key->x() + key->width() < row->width());
            QCOMPARE(!w.SplitPnl->isHidden(), !w.ABBtn->isHidden());
            QCOMPARE(!w.ProgramPnl->isHidden(), !w.Prog1Btn->isHidden());
            if (width == 1400)
                QCOMPARE(visibleKeys(w.BandButtons), 32);
        }
        QCOMPARE(visibleKeys(w.ModeButtons), 6);
    }

    // The panels below the scale come and go with the window's height; "Only
    // Scale Visible" brings back exactly the panels shown before it, and a
    // close while it is on saves those and the whole window's height.
    void panelsAndOnlyScaleVisible()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.make();
        w.show();
        const int height = w.height();
        w.ToolsVisibleMnu->trigger();
        QVERIFY(w.ToolsPnl->isHidden());
        QCOMPARE(w.height(), height - w.ToolsPnl->height());
        QCOMPARE(w.minimumHeight(), w.MinClientHeight());
        const int withoutTools = w.height();

        w.HideAllControlsMnu->trigger();
        QVERIFY(w.MainPanel->isHidden() && w.SpectroGraphPnl->isHidden());
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(w.height(), withoutTools - w.MainPanel->height() - w.SpectroGraphPnl->height());
        QTRY_COMPARE(w.ScalePnl->height(), w.height() - w.StatusBarPnl->height());
        w.HideAllControlsMnu->trigger();
        QVERIFY(!w.MainPanel->isHidden() && !w.SpectroGraphPnl->isHidden());
        QVERIFY(w.ToolsPnl->isHidden() && !w.ToolsVisibleMnu->isChecked());
        QCOMPARE(w.height(), withoutTools);

        w.HideAllControlsMnu->trigger();
        QStringList written = recordWrites([&] { QVERIFY(w.close()); });
        QVERIFY(!w.HideAllControlsMnu->isChecked());
        for (const QString &value : {QString("SpectrographVisible=1"), QString("ToolsVisible=0"),
                                     QString("Height=%1").arg(withoutTools)})
            QVERIFY2(written.contains(value), qPrintable(written.join(' ')));

        // A session that ends without a close query saves the same.
        MainWindowFixture again;
        TTarnwickFrm &v = again.make();
        v.show();
        v.HideAllControlsMnu->trigger();
        written = recordWrites([&] { v.FormClose(); });
        QVERIFY2(written.contains("SpectrographVisible=1") && written.contains(QString("Height=%1").arg(withoutTools)),
                 qPrintable(written.join(' ')));
    }

    void unwritableSettingsAreReportedOnce()
    {
        const QString broken = testenv::sandboxPath("broken-config");
        QDir().mkpath(broken + "/Orbelle/Tarnwick1.conf"); // a folder where the file belongs
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, broken);
        // Restored however the test ends, so that a failure here fails no later test.
        const auto restore = qScopeGuard(
            [] { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, testenv::sandboxPath("config")); });
        {
            MainWindowFixture fx;
            TTarnwickFrm &w = fx.make();
            emit w.CatEngine->SettingReport("ConnectSuccess", "0");
            QVERIFY(w.StatusText().startsWith("Settings can't be saved to "));
            QCOMPARE(w.StatusBarPnl->FontColor(), QColor(255, 0, 0));
            w.OptionsFrm->done(QDialog::Accepted); // Ok in the preferences says so in a box
            QCOMPARE(fx.messages, QStringList{"Settings can't be saved to " + SettingsLocation()});
            w.SetStatus("later R&D"); // the next text replaces it, plain and black
            QVERIFY(w.close());
            QCOMPARE(w.StatusText(), QString("later R&&D"));
            QCOMPARE(w.StatusBarPnl->FontColor(), QColor(Qt::black));
            QVERIFY(!w.StatusBarPnl->font().bold());
        }
    }

    void mouseMovesOffTheScaleHideTheHint()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.create();
        fx.addMarker(3700000);
        fx.scale().ShowMarkerHint(0);
        QVERIFY(!fx.scale().HintText().isEmpty());
        int reports = 0;
        connect(&w, &TTarnwickFrm::MouseMovedOffScale, this, [&reports] { ++reports; });
        auto move = [](QWidget *target, QPoint at) {
            QMouseEvent event(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        };
        move(w.ScalePnl, QPoint(40, 20));
        move(w.MainPanel, QPoint(5, 5));
        QVERIFY(fx.scale().HintText().isEmpty());
        move(w.MainPanel, QPoint(5, 5)); // same position: nothing new
        QCOMPARE(reports, 1);
        move(w.PttBtn, QPoint(3, 3));
        QCOMPARE(reports, 2);
    }

    void preferencesFromTheMenu()
    {
        MainWindowFixture fx;
        TTarnwickFrm &w = fx.make();
        int applied = 0;
        connect(&w, &TTarnwickFrm::PreferencesApplied, this, [&applied] { ++applied; });
        bool menuKeyDown = false;
        QTimer::singleShot(0, this, [&] {
            menuKeyDown = w.MenuBtn->isDown();
            w.OptionsFrm->MouseWheelCBx->setCurrentIndex(2);
            w.OptionsFrm->DontAnimateScaleChk->setChecked(true);
            w.OptionsFrm->ShowHintMouseHoverChk->setChecked(false);
            w.OptionsFrm->OkBtn->click();
        });
        w.PreferencesMnu->trigger();
        QVERIFY(menuKeyDown);
        QVERIFY(!w.MenuBtn->isDown());
        QCOMPARE(applied, 1);
        QCOMPARE(ReadSetting("MouseWheelCBx"), QString("2"));
        // The scale's options follow the dialog.
        QVERIFY(!fx.scale().AnimateScale() && !fx.scale().ShowHintMouseHoover());
        QVERIFY(fx.scale().ShowHintMarkerSelected());

        QTimer::singleShot(0, this, [&] { w.OptionsFrm->CancelBtn->click(); });
        w.PreferencesMnu->trigger();
        QCOMPARE(applied, 1);
    }
};

TARNWICK_TEST_CLASS(TestMainWindow)
#include "tst_mainwindow.moc"
