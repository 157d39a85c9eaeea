#pragma once

// The one main-window fixture of the window tests. Every box is answered by
// the test (information recorded, questions answered No), the serial dialog is
// cancelled (or accepted, for a window on the radio emulator), the window's
// requests to the radio and the CAT log lines are recorded, and the modifier
// keys are the test's.

#include "app/Main.h"
#include "app/Options.h"
#include "base/MessageBoxes.h"
#include "base/Widgets.h"
#include "cat/CatEngine.h"
#include "cat/CatLog.h"
#include "cat/RigProcess.h"
#include "common/TestEnvironment.h"
#include "controls/RadioScale.h"
#include "controls/ScaleTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QStringList>
#include <QTest>
#include <QToolButton>

#include <memory>

struct MainWindowFixture
{
    QStringList messages;
    QStringList questions;
    QStringList requests;
    QStringList logLines;
    Qt::KeyboardModifiers held = Qt::NoModifier;
    int serialDialogs = 0;
    bool connectAccepted = false; // the serial dialog is left with "Connect >>>"
    std::unique_ptr<RigProcess> rig;
    std::vector<std::unique_ptr<TFqMarker>> markers; // the scale's list only refers to them
    std::unique_ptr<TTarnwickFrm> window;

    explicit MainWindowFixture(bool acceptConnect = false)
        : connectAccepted(acceptConnect)
    {
        TTarnwickFrm::SetComSettingsRunner([this](TComSettingsFrm &) {
            ++serialDialogs;
            return connectAccepted;
        });
        SetInformationAnswerer([this](QWidget *, const QString &text) { messages << text; });
        SetConfirmationAnswerer([this](QWidget *, const QString &text) {
            questions << text;
            return false;
        });
    }

    ~MainWindowFixture()
    {
        if (window)
            window->close();
        window.reset();
        SetInformationAnswerer({});
        SetConfirmationAnswerer({});
        TTarnwickFrm::SetComSettingsRunner({});
    }

    // The window as created, neither shown nor activated. Settings a test
    // wants restored are written before.
    TTarnwickFrm &make()
    {
        window = std::make_unique<TTarnwickFrm>();
        window->SetRadioRequestObserver([this](const QString &request) { requests << request; });
        window->SetModifierSource([this] { return held; });
        window->RadioScale->SetModifierSource([this] { return held; });
        window->CatLog->SetWindowVisible(true);
        QObject::connect(window->CatLog.get(), &TCatLog::EntryAdded, window->CatLog.get(),
                         [this](const QString &line) { logLines << line; });
        return *window;
    }

    // Shown and activated, scale animations off (tests look at their end).
    TTarnwickFrm &create()
    {
        make();
        window->OptionsFrm->DontAnimateScaleChk->setChecked(true);
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get()))
            qWarning("main window not exposed");
        window->FormActivate();
        window->RadioScale->FinishAnimation();
        return *window;
    }

    // A window whose serial dialog points at the radio emulator (quick
    // replies); connect() clicks the CAT key.
    TTarnwickFrm &makeOnRig(const QStringList &rigArguments, const QString &model = "FT-817")
    {
        make();
        pointAtRig(rigArguments, model);
        return *window;
    }
    // Starts the emulator and points the window's serial dialog at it.
    void pointAtRig(const QStringList &rigArguments, const QString &model = "FT-817")
    {
        rig = std::make_unique<RigProcess>(QStringList{"--speed", "38400", "--delay", "1", "--model", model}
                                           + rigArguments);
        window->SetCommandLineSerial({rig->path(), model});
    }
    // Clicks the CAT key and waits for the port to open (it opens on the
    // link's thread).
    bool connect()
    {
        window->CatBtn->click();
        return QTest::qWaitFor([this] { return window->IsConnected(); }, 5000);
    }
    // The created window connected to an emulated FT-817 started with these
    // arguments.
    bool connectToRig(const QStringList &rigArguments)
    {
        pointAtRig(rigArguments);
        connectAccepted = true;
        return connect();
    }
    QStringList queued() const { return window->CatEngine->CommandQueue.Commands(); }
    // Lets whatever the engine has in flight finish, then holds the poll
    // cycle (or lets it go on) so that what an action queues can be looked at.
    void holdPolling(bool held)
    {
        window->CatEngine->HoldPolling(held);
        QVERIFY(QTest::qWaitFor([this] { return window->CatEngine->Idle(); }, 5000));
    }

    // A marker "M<n>" on the scale, owned here.
    TFqMarker &addMarker(qint32 frequency)
    {
        markers.push_back(makeMarker(frequency, QString("M%1").arg(markers.size())));
        window->RadioScale->AddMarker(markers.back().get(), true);
        window->RadioScale->repaint();
        return *markers.back();
    }

    TRadioScale &scale() { return *window->RadioScale; }
    qint32 frequency() { return window->RadioScale->Frequency(); }
    QString lastRequest() const { return requests.isEmpty() ? QString() : requests.last(); }
};
