#pragma once

// The automation object that PROG scripts reach as Zov (Zov.Frequency =
// 7050000, Zov.Sleep 300) and that other programs reach over D-Bus. It keeps
// no state of its own: every member works on the main window through
// TZovHost. The members that take a value return why they refuse it (empty
// when they take it): a script never gets an error for it but a message box
// saying why, and goes on; a D-Bus client gets the text as an error reply.

#include "script/ScriptObject.h"
#include "script/ZovHost.h"

class TZov : public TScriptObject
{
public:
    explicit TZov(TZovHost &Host);

    // Lowest and highest frequency of the scale and of the radio, in hertz,
    // and the narrowest range ZoomTo accepts.
    static constexpr qint32 LowestFrequency = 100000;
    static constexpr qint32 HighestFrequency = 500000000;
    static constexpr qint32 NarrowestRange = 500;

    QString ZoomTo(qint32 ScaleBegin, qint32 ScaleEnd);
    QString Mode() const;
    QString SetMode(const QString &Value);
    qint32 Frequency() const;
    QString SetFrequency(qint32 Value);
    QString Band() const;
    QString SetBand(const QString &Value);
    void ToggleVfo();
    void AlignVfo();
    bool Split() const;
    void SetSplit(bool Value);
    bool Ptt() const;
    void SetPtt(bool Value);
    // Who keys the transmitter through this object: its script run, or the
    // bus client whose call is being served.
    void SetPttHolder(const TPttHolder &Holder) { PttHolder = Holder; }
    // Waits, keeping the window working, until Milliseconds have passed or
    // the script is asked to stop; 0 or below returns at once.
    void Sleep(qint32 Milliseconds);
    // Whether the script has been asked to stop (or none runs); the window's
    // pending messages are handled after the value is taken, so that a loop
    // polling it keeps the window alive.
    bool Interrupted();
    qint32 SMeter() const;
    // The squelch is closed: the receive indicator shows "SQL".
    bool Squelch() const;

    // Member numbers, in the order of MemberNames.
    enum Member { mZoomTo, mMode, mFrequency, mBand, mToggleVfo, mAlignVfo, mSplit, mPtt, mSleep,
                  mInterrupted, mSMeter, mSquelch, MemberCount };
    static const char *const MemberNames[MemberCount];

    int MemberId(const QString &Name) const override;
    TScriptValue Invoke(int Id, TScriptInvoke Kind, TScriptArgs Args) override;
    QString TypeName() const override;

private:
    TZovHost &Host;
    TPttHolder PttHolder;
};
