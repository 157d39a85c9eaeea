#pragma once

// A main window as Zov and the PROG keys see it, without a window: the state
// Zov reads, and a log of everything done to it ("freq 7050000", "queue mode
// CW", "msg:<text>"...). Its clock stands still unless a wait moves it.

#include "script/ProgramScripts.h"
#include "script/ZovHost.h"

#include <QStringList>

#include <functional>

class FakeZovHost : public TProgramScriptsHost
{
public:
    // The window's state.
    qint32 frequency = 3550000;
    QString mode = QStringLiteral("USB");
    QStringList bands = [] {
        QStringList captions{"160", "80", "40", "20"};
        while (captions.size() < 32)
            captions << QString();
        return captions;
    }();
    int pressedBand = 1;
    bool connected = false;
    bool split = false;
    bool ptt = false;
    int meter = 0;
    QString indicator = QStringLiteral("SQL");
    bool blinking = false;
    mutable qint64 clock = 0;
    // How far each reading moves the clock (a script busy with statements).
    int tickStep = 0;

    QStringList log;
    // Called whenever the window would handle its messages.
    std::function<void()> onEvents;

    // --- TZovHost
    qint32 ScaleFrequency() const override { return frequency; }
    void SetScaleFrequency(qint32 f) override
    {
        frequency = f;
        log << QStringLiteral("freq %1").arg(f);
    }
    void SetScaleRange(qint32 b, qint32 e) override { log << QStringLiteral("range %1 %2").arg(b).arg(e); }
    void UpdateDigitalDisplay() override { log << QStringLiteral("digits"); }
    QString PressedMode() const override { return mode; }
    void PressModeKey(const QString &m) override
    {
        mode = m;
        log << QStringLiteral("mode ") + m;
    }
    QStringList BandCaptions() const override { return bands; }
    QString PressedBand() const override { return pressedBand >= 0 ? bands.at(pressedBand) : QString(); }
    void ReleaseBandKeys() override
    {
        pressedBand = -1;
        log << QStringLiteral("release bands");
    }
    void SelectBand(const QString &caption) override
    {
        pressedBand = int(bands.lastIndexOf(caption));
        log << QStringLiteral("band ") + caption;
    }
    bool IsConnected() const override { return connected; }
    void QueueModeCommand(const QString &m) override { log << QStringLiteral("queue mode ") + m; }
    void QueueFrequencyCommand(qint32 f) override { log << QStringLiteral("queue freq %1").arg(f); }
    bool KeyDown(TZovKey key) const override
    {
        return key == TZovKey::Split ? split : key == TZovKey::Ptt ? ptt : false;
    }
    void SetKeyDown(TZovKey key, bool down) override
    {
        (key == TZovKey::Split ? split : ptt) = down;
        log << QStringLiteral("key %1 %2").arg(keyName(key), down ? "down" : "up");
    }
    void ClickKey(TZovKey key) override { log << QStringLiteral("click ") + keyName(key); }
    int MeterValue() const override { return meter; }
    QString ReceiveIndicator() const override { return indicator; }
    bool ScriptActive() const override { return blinking; }
    void ProcessEvents() override
    {
        ++events;
        if (onEvents)
            onEvents();
    }
    void WaitForEvents(int milliseconds) override
    {
        waits << milliseconds;
        clock += std::min(milliseconds, waitStep);
        ProcessEvents();
    }
    qint64 TickCount() const override { return clock += tickStep; }
    void ShowMessage(const QString &text) override { log << QStringLiteral("msg:") + text; }

    // --- TProgramScriptsHost (keys 0 to 2)
    QString KeyCaption(int key) const override { return QStringLiteral("PROG %1").arg(key + 1); }
    bool ProgKeyDown(int key) const override { return keyDown[key]; }
    void SetProgKeyDown(int key, bool down) override { keyDown[key] = down; }
    void SetProgKeyEnabled(int key, bool enabled) override { keyEnabled[key] = enabled; }
    bool ProgKeyRed(int key) const override { return keyRed[key]; }
    void SetProgKeyRed(int key, bool red) override { keyRed[key] = red; }
    void SetProgKeyHint(int key, const QString &hint) override { hints[key] = hint; }
    void SetBlinking(bool on) override { blinking = on; }
    bool EditScript(QString &text) override
    {
        edited << text;
        if (editor)
            return editor(text);
        return false;
    }
    int ScriptMsgBox(const QString &prompt, int, const QString &) override
    {
        log << QStringLiteral("box:") + prompt;
        if (onMsgBox)
            onMsgBox();
        return 1;
    }
    std::optional<QString> ScriptInputBox(const QString &prompt, const QString &, const QString &) override
    {
        log << QStringLiteral("input:") + prompt;
        return QStringLiteral("typed");
    }

    // How far one wait moves the clock.
    int waitStep = 50;
    int events = 0;
    QList<int> waits;
    bool keyDown[3] = {false, false, false};
    bool keyEnabled[3] = {true, true, true};
    bool keyRed[3] = {false, false, false};
    QString hints[3];
    // The texts the editor was opened with; the editor's answer (Run is
    // true) after it may change the text. None: "Close" at once.
    QStringList edited;
    std::function<bool(QString &)> editor;
    std::function<void()> onMsgBox;

private:
    static QString keyName(TZovKey key)
    {
        switch (key) {
        case TZovKey::Vfo: return QStringLiteral("vfo");
        case TZovKey::AlignVfo: return QStringLiteral("align");
        case TZovKey::Split: return QStringLiteral("split");
        case TZovKey::Ptt: return QStringLiteral("ptt");
        }
        return QString();
    }
};
