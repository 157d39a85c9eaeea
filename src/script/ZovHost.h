#pragma once

// What the automation object Zov needs from the main window: the scale, the
// mode, band and radio keys, the link, the meter, whether a script may go on,
// and the window's messages. The window implements it; tests fake it.

#include "cat/RadioState.h"

#include <QString>
#include <QStringList>

class TZovHost
{
public:
    virtual ~TZovHost() = default;

    // The scale's frequency (what the window shows); setting it moves the
    // scale with its band follow-up and events, and nothing goes to the radio.
    virtual qint32 ScaleFrequency() const = 0;
    virtual void SetScaleFrequency(qint32 Frequency) = 0;
    // The scale's range, animated.
    virtual void SetScaleRange(qint32 Begin, qint32 End) = 0;
    virtual void UpdateDigitalDisplay() = 0;

    // The caption of the mode key that is down, empty when none; pressing
    // one releases the others and sends nothing.
    virtual QString PressedMode() const = 0;
    virtual void PressModeKey(const QString &Mode) = 0;

    // The captions of the 32 band keys in order (empty for a key without band).
    virtual QStringList BandCaptions() const = 0;
    // The caption of the band key that is down, empty when none.
    virtual QString PressedBand() const = 0;
    virtual void ReleaseBandKeys() = 0;
    // Presses, in key order, every band key with this caption and switches
    // the band as the window does for a band chosen without a key.
    virtual void SelectBand(const QString &Caption) = 0;

    // Whether the serial port is open; the commands replace a waiting one of
    // the same kind in the queue.
    virtual bool IsConnected() const = 0;
    virtual void QueueModeCommand(const QString &Mode) = 0;
    virtual void QueueFrequencyCommand(qint32 Frequency) = 0;

    // The radio's split and transmit state, as the keys show them.
    virtual bool SplitOn() const = 0;
    virtual bool PttOn() const = 0;
    // The radio operations of the VFO, A=B, SPLIT and PTT keys (split is
    // refused off-line while the radio's split is not known).
    virtual void ToggleVfo() = 0;
    virtual void AlignVfo() = 0;
    virtual void SetSplit(bool On) = 0;
    // Holder: the script run or bus client that keys (see TPttHolder).
    virtual void SetPtt(bool On, const TPttHolder &Holder) = 0;
    // Off-line: the PTT key shows the wish, nothing goes to the radio.
    virtual void ShowPtt(bool On) = 0;

    // The meter's value: per cent of full scale, the mean of its last readings.
    virtual int MeterValue() const = 0;
    // The receive indicator's caption: "SQL", "RX" or "TX".
    virtual QString ReceiveIndicator() const = 0;

    // True while a script runs and has not been asked to stop (the blinking
    // of its PROG key).
    virtual bool ScriptActive() const = 0;
    // Handles the window's pending messages (timers, mouse, keys).
    virtual void ProcessEvents() = 0;
    // Handles the window's messages as they come, for at most Milliseconds,
    // without keeping the processor busy.
    virtual void WaitForEvents(int Milliseconds) = 0;
    // A monotonic clock in milliseconds.
    virtual qint64 TickCount() const = 0;
    // An information box with one OK button.
    virtual void ShowMessage(const QString &Text) = 0;
};
