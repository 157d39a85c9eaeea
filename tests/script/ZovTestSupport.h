#pragma once

// A main window as Zov and the PROG keys see it, without a window: the state
// they read, and a log of what they did to it ("freq 7050000", "queue mode
// CW", "msg:<text>", "box:<MsgBox text>"). Its clock moves only by waits and
// by tickStep at each reading.

#include "script/ProgramScripts.h"

#include <QStringList>

#include <functional>

class FakeZovHost : public TProgramScriptsHost
{
public:
    qint32 frequency = 3550000;
    QString mode = "USB", indicator = "SQL";
    QStringList bands = QStringList{"160", "80", "40", "20"} + QStringList(28, QString());
    int pressedBand = 1, meter = 0, waitStep = 50, tickStep = 0, events = 0;
    bool connected = false, split = false, ptt = false, blinking = false;
    mutable qint64 clock = 0;
    QStringList log, edited; // edited: the texts the editor was opened with
    QList<int> waits;
    bool keyDown[3] = {}, keyEnabled[3] = {true, true, true}, keyRed[3] = {};
    QString hints[3];
    // The editor's answer ("Run >>>" is true); none: "Close".
    std::function<bool(QString &)> editor;
    std::function<void()> onEvents, onMsgBox;

    qint32 ScaleFrequency() const override { return frequency; }
    void SetScaleFrequency(qint32 f) override { frequency = f, log << QString("freq %1").arg(f); }
    void SetScaleRange(qint32 b, qint32 e) override { log << QString("range %1 %2").arg(b).arg(e); }
    void UpdateDigitalDisplay() override { log << "digits"; }
    QString PressedMode() const override { return mode; }
    void PressModeKey(const QString &m) override { mode = m, log << "mode " + m; }
    QStringList BandCaptions() const override { return bands; }
    QString PressedBand() const override { return bands.value(pressedBand); }
    void ReleaseBandKeys() override { pressedBand = -1, log << "release bands"; }
    void SelectBand(const QString &c) override { pressedBand = int(bands.lastIndexOf(c)), log << "band " + c; }
    bool IsConnected() const override { return connected; }
    void QueueModeCommand(const QString &m) override { log << "queue mode " + m; }
    void QueueFrequencyCommand(qint32 f) override { log << QString("queue freq %1").arg(f); }
    bool SplitOn() const override { return split; }
    bool PttOn() const override { return ptt; }
    void ToggleVfo() override { log << "vfo"; }
    void AlignVfo() override { log << "align"; }
    void SetSplit(bool on) override { split = on, log << QString("split %1").arg(on ? "on" : "off"); }
    void SetPtt(bool on, const TPttHolder &) override { ptt = on, log << QString("ptt %1").arg(on ? "on" : "off"); }
    void ShowPtt(bool on) override { ptt = on, log << QString("ptt shown %1").arg(on ? "on" : "off"); }
    int MeterValue() const override { return meter; }
    QString ReceiveIndicator() const override { return indicator; }
    bool ScriptActive() const override { return blinking; }
    void ProcessEvents() override
    {
        ++events;
        if (onEvents)
            onEvents();
    }
    void WaitForEvents(int ms) override { waits << ms, clock += std::min(ms, waitStep), ProcessEvents(); }
    qint64 TickCount() const override { return clock += tickStep; }
    void ShowMessage(const QString &text) override { log << "msg:" + text; }

    QString KeyCaption(int key) const override { return QString("PROG %1").arg(key + 1); }
    bool ProgKeyDown(int key) const override { return keyDown[key]; }
    void SetProgKeyDown(int key, bool down) override { keyDown[key] = down; }
    void SetProgKeyEnabled(int key, bool enabled) override { keyEnabled[key] = enabled; }
    bool ProgKeyRed(int key) const override { return keyRed[key]; }
    void SetProgKeyRed(int key, bool red) override { keyRed[key] = red; }
    void SetProgKeyHint(int key, const QString &hint) override { hints[key] = hint; }
    void SetBlinking(bool on) override { blinking = on; }
    void ScriptAborted(int key, bool failed) override { log << QString("aborted %1 %2").arg(key).arg(failed); }
    bool EditScript(QString &text) override { return edited << text, editor && editor(text); }
    int ScriptMsgBox(const QString &prompt, int, const QString &) override
    {
        log << "box:" + prompt;
        if (onMsgBox)
            onMsgBox();
        return 1;
    }
    std::optional<QString> ScriptInputBox(const QString &prompt, const QString &, const QString &) override
    {
        return log << "input:" + prompt, QString("typed");
    }
};
