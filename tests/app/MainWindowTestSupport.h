#pragma once

// A shown, activated main window with the default band plan, for the tests of
// the scale, band keys, keyboard and wheel. Message boxes are answered by the
// test (information recorded, questions answered No); the radio requests the
// window makes are recorded.

#include "app/Main.h"
#include "base/MessageBoxes.h"
#include "app/Options.h"
#include "controls/RadioScale.h"
#include "common/TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSettings>
#include <QStringList>
#include <QTest>

#include <memory>

struct MainWindowFixture
{
    QStringList messages;
    QStringList questions;
    QStringList requests;
    Qt::KeyboardModifiers held = Qt::NoModifier;
    std::unique_ptr<TTarnwickFrm> window;

    // Settings are written before the window is made (LastFreq, LastMode...).
    void create()
    {
        // The first activation tries to connect; the serial dialog is cancelled.
        TTarnwickFrm::SetComSettingsRunner([](TComSettingsFrm &) { return false; });
        SetInformationAnswerer([this](QWidget *, const QString &text) { messages << text; });
        SetConfirmationAnswerer([this](QWidget *, const QString &text) {
            questions << text;
            return false;
        });
        window = std::make_unique<TTarnwickFrm>();
        window->SetRadioRequestObserver([this](const QString &request) { requests << request; });
        window->SetModifierSource([this] { return held; });
        window->RadioScale->SetModifierSource([this] { return held; });
        // The range slides are timed animations; tests look at their end.
        window->OptionsFrm->DontAnimateScaleChk->setChecked(true);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        window->FormActivate();
        window->RadioScale->FinishAnimation();
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

    TRadioScale &scale() { return *window->RadioScale; }
    qint32 frequency() { return window->RadioScale->Frequency(); }
    QString lastRequest() const { return requests.isEmpty() ? QString() : requests.last(); }
};
