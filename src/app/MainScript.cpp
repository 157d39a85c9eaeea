// The main window's ends of the PROG keys and the automation object Zov: the
// keys, the blinking timer, the script editor and dialogs, and the window's
// state that Zov reads and changes. The script host (src/script) runs the
// scripts; the D-Bus object (src/remote) offers Zov to other programs.

#include "app/Main.h"

#include "base/MessageBoxes.h"
#include "base/Widgets.h"
#include "cat/Radio.h"
#include "cat/CatLog.h"
#include "controls/MeterReadings.h"
#include "controls/RadioScale.h"
#include "data/BandKeys.h"
#include "remote/ZovDBus.h"
#include "script/EditScript.h"
#include "script/ProgramScripts.h"
#include "script/ScriptDialogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QToolButton>

class MainScriptHost : public QObject, public TProgramScriptsHost
{
public:
    explicit MainScriptHost(TTarnwickFrm &window)
        : QObject(&window)
        , w(window)
        , scripts(*this)
    {
        clock.start();
    }

    TProgramScripts &Scripts() { return scripts; }

    // --- TZovHost
    qint32 ScaleFrequency() const override { return w.RadioScale->Frequency(); }
    void SetScaleFrequency(qint32 frequency) override { w.AssignScaleFrequency(frequency); }
    void SetScaleRange(qint32 begin, qint32 end) override { w.RadioScale->SetRange(begin, end); }
    void UpdateDigitalDisplay() override { w.UpdateDigiDisplay(); }
    QString PressedMode() const override { return w.CurrentMode(); }
    void PressModeKey(const QString &mode) override { w.PressModeKey(mode); }
    QStringList BandCaptions() const override
    {
        QStringList captions;
        for (const QToolButton *key : std::as_const(w.BandButtons))
            captions << key->text();
        return captions;
    }
    QString PressedBand() const override { return w.BandKeys->PressedBandCaption(); }
    void ReleaseBandKeys() override { w.BandKeys->ReleaseAllButtons(); }
    void SelectBand(const QString &caption) override
    {
        for (int k = 0; k < w.BandButtons.size(); ++k)
            if (w.BandButtons.at(k)->text() == caption)
                w.BandKeys->PressButton(k);
        w.BandChanged(nullptr);
    }
    bool IsConnected() const override { return w.IsConnected(); }
    void QueueModeCommand(const QString &mode) override { w.Radio->SetMode(mode, TRadio::Queueing::Replace); }
    void QueueFrequencyCommand(qint32 frequency) override
    {
        w.Radio->SetFrequency(frequency, TRadio::Queueing::Replace);
    }
    bool SplitOn() const override { return w.Radio->State().Split() == ::SplitOn; }
    bool PttOn() const override { return w.Radio->State().Ptt(); }
    void ToggleVfo() override { w.Radio->ToggleVfo(); }
    void AlignVfo() override { w.Radio->AlignVfos(w.ScaleFrequency(), w.CurrentMode()); }
    void SetSplit(bool on) override { w.Radio->SetSplit(on); }
    void SetPtt(bool on, const TPttHolder &holder) override { w.Radio->SetPtt(on, holder); }
    void ShowPtt(bool on) override { w.Radio->State().SetPtt(on); }
    int MeterValue() const override { return w.Radio->State().MeterMean(); }
    QString ReceiveIndicator() const override { return sqlIndicatorLook(int(w.Radio->State().Receive())).caption; }
    bool ScriptActive() const override { return w.BlinkingButtonTmr->isActive(); }
    void ProcessEvents() override { QCoreApplication::processEvents(); }
    void WaitForEvents(int milliseconds) override
    {
        // Sleeps until the next message; the timer makes sure one comes.
        QTimer wake;
        wake.setSingleShot(true);
        wake.start(milliseconds);
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    qint64 TickCount() const override { return clock.elapsed(); }
    void ShowMessage(const QString &text) override { ShowInformation(&w, text); }

    // --- TProgramScriptsHost
    void ScriptAborted(int key, bool failed) override
    {
        const QString caption = KeyCaption(key);
        w.Radio->ReleasePtt({TPttHolder::Script, caption},
                            QStringLiteral("PTT released: the script %1 %2.")
                                .arg(caption, failed ? QStringLiteral("failed") : QStringLiteral("was stopped")));
    }
    QString KeyCaption(int key) const override { return progKey(key)->text(); }
    bool ProgKeyDown(int key) const override { return progKey(key)->isChecked(); }
    void SetProgKeyDown(int key, bool down) override { progKey(key)->setChecked(down); }
    void SetProgKeyEnabled(int key, bool enabled) override { progKey(key)->setEnabled(enabled); }
    bool ProgKeyRed(int key) const override
    {
        return progKey(key)->palette().color(QPalette::Active, QPalette::ButtonText) == QColor(Qt::red);
    }
    void SetProgKeyRed(int key, bool red) override
    {
        // Only the enabled key's text: a disabled one keeps the style's grey.
        QToolButton *button = progKey(key);
        QPalette palette = button->palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
            palette.setColor(group, QPalette::ButtonText, red ? QColor(Qt::red) : QColor(Qt::black));
        button->setPalette(palette);
    }
    void SetProgKeyHint(int key, const QString &hint) override { progKey(key)->setToolTip(hint); }
    void SetBlinking(bool on) override
    {
        if (on)
            w.BlinkingButtonTmr->start();
        else
            w.BlinkingButtonTmr->stop();
    }
    bool EditScript(QString &text) override
    {
        w.EditScriptFrm->SetScriptText(text);
        const bool run = w.EditScriptRunner ? w.EditScriptRunner(*w.EditScriptFrm)
                                            : w.EditScriptFrm->exec() == QDialog::Accepted;
        text = w.EditScriptFrm->ScriptText();
        return run;
    }
    int ScriptMsgBox(const QString &prompt, int buttons, const QString &title) override
    {
        return ShowScriptMsgBox(&w, prompt, buttons, title);
    }
    std::optional<QString> ScriptInputBox(const QString &prompt, const QString &title,
                                          const QString &defaultText) override
    {
        return ShowScriptInputBox(&w, prompt, title, defaultText);
    }

private:
    QToolButton *progKey(int key) const
    {
        QToolButton *const keys[] = {w.Prog1Btn, w.Prog2Btn, w.Prog3Btn};
        return keys[key];
    }
    TTarnwickFrm &w;
    TProgramScripts scripts;
    QElapsedTimer clock;
};

void TTarnwickFrm::SetupScripts()
{
    EditScriptFrm = new TEditScriptFrm(this);
    scriptHost = new MainScriptHost(*this);
    ProgramScripts = &scriptHost->Scripts();
    connect(Prog1Btn, &QToolButton::clicked, this, &TTarnwickFrm::Prog1BtnClick);
    connect(Prog2Btn, &QToolButton::clicked, this, &TTarnwickFrm::Prog2BtnClick);
    connect(Prog3Btn, &QToolButton::clicked, this, &TTarnwickFrm::Prog3BtnClick);
    connect(BlinkingButtonTmr, &QTimer::timeout, this, &TTarnwickFrm::BlinkingButtonTmrTimer);
    for (QToolButton *key : {Prog1Btn, Prog2Btn, Prog3Btn}) {
        key->setAttribute(Qt::WA_AlwaysShowToolTips, true);
        UpdateProgramHint(key);
    }
}

void TTarnwickFrm::Prog1BtnClick()
{
    RunProgram(Prog1Btn);
}

void TTarnwickFrm::Prog2BtnClick()
{
    RunProgram(Prog2Btn);
}

void TTarnwickFrm::Prog3BtnClick()
{
    RunProgram(Prog3Btn);
}

namespace {

int progIndex(const TTarnwickFrm &w, const QToolButton *key)
{
    return key == w.Prog1Btn ? 0 : key == w.Prog2Btn ? 1 : key == w.Prog3Btn ? 2 : -1;
}

} // namespace

void TTarnwickFrm::RunProgram(QToolButton *key)
{
    ProgramScripts->RunProgram(progIndex(*this, key));
}

void TTarnwickFrm::UpdateProgramHint(QToolButton *key)
{
    ProgramScripts->UpdateProgramHint(progIndex(*this, key));
}

void TTarnwickFrm::BlinkingButtonTmrTimer()
{
    ProgramScripts->BlinkingButtonTimer();
}

bool TTarnwickFrm::ScriptRunning() const
{
    return ProgramScripts && ProgramScripts->Running();
}

void TTarnwickFrm::StopScript()
{
    if (ProgramScripts)
        ProgramScripts->StopRunning();
}

bool TTarnwickFrm::StartAutomation(const QString &address)
{
    if (!zovService) {
        zovService = new TZovDBusService(*scriptHost, this);
        connect(zovService, &TZovDBusService::ClientLeft, this, [this](const QString &name) {
            Radio->ReleasePtt({TPttHolder::Bus, name},
                              QStringLiteral("PTT released: the D-Bus client %1 left the bus.").arg(name));
        });
    }
    const QString error = zovService->Start(address);
    if (!error.isEmpty()) {
        LogEvent(QStringLiteral("D-Bus: the Zov object is not offered to other programs (") + error
                 + QStringLiteral(")"));
        return false;
    }
    if (!zovService->NameOwned())
        LogEvent(QStringLiteral("D-Bus: ") + ZovDBus::Service + QStringLiteral(" belongs to another instance; Zov is at ")
                 + zovService->UniqueName() + QStringLiteral(" ") + ZovDBus::Path);
    return true;
}
