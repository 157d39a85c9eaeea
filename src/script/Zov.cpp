#include "script/Zov.h"

#include "cat/TcvrTypes.h"
#include "script/ScriptError.h"

namespace {

// "Invalid value for mode: "x".\n\nMode must be one of the following:\n"
// followed by every choice and two blanks after each.
QString InvalidChoiceMessage(const QString &What, const QString &Value, const QStringList &Choices)
{
    QString text = QStringLiteral("Invalid value for ") + What.toLower() + QStringLiteral(": \"") + Value
        + QStringLiteral("\".\n\n") + What + QStringLiteral(" must be one of the following:\n");
    for (const QString &choice : Choices)
        text += choice + QStringLiteral("  ");
    return text;
}

} // namespace

const char *const TZov::MemberNames[TZov::MemberCount] = {
    "ZoomTo", "Mode", "Frequency", "Band", "ToggleVfo", "AlignVfo",
    "Split", "Ptt", "Sleep", "Interrupted", "SMeter", "Squelch",
};

TZov::TZov(TZovHost &Host)
    : Host(Host)
{
}

void TZov::ZoomTo(qint32 ScaleBegin, qint32 ScaleEnd)
{
    if (ScaleBegin < LowestFrequency) {
        Host.ShowMessage(QStringLiteral("Scale can't start on a frequency lower than 100 kHz."));
        return;
    }
    if (ScaleEnd > HighestFrequency) {
        Host.ShowMessage(QStringLiteral("Scale can't end on a frequency higher than 500 MHz."));
        return;
    }
    if (qint64(ScaleBegin) > qint64(ScaleEnd) - NarrowestRange) {
        Host.ShowMessage(QStringLiteral("Scale must be at least 500 Hz wide."));
        return;
    }
    Host.ReleaseBandKeys();
    Host.SetScaleRange(ScaleBegin, ScaleEnd);
}

QString TZov::Mode() const
{
    return Host.PressedMode();
}

void TZov::SetMode(const QString &Value)
{
    if (!IsModeName(Value)) {
        QStringList names;
        for (const QString &name : ModeNames)
            names << name;
        Host.ShowMessage(InvalidChoiceMessage(QStringLiteral("Mode"), Value, names));
        return;
    }
    Host.PressModeKey(Value);
    if (Host.IsConnected())
        Host.QueueModeCommand(Value);
}

qint32 TZov::Frequency() const
{
    return Host.ScaleFrequency();
}

void TZov::SetFrequency(qint32 Value)
{
    if (Value < LowestFrequency) {
        Host.ShowMessage(QStringLiteral("Frequency can't be set to a value lower than 100 kHz."));
        return;
    }
    if (Value > HighestFrequency) {
        Host.ShowMessage(QStringLiteral("Frequency can't be set to a value higher than 500 MHz."));
        return;
    }
    Host.SetScaleFrequency(Value);
    if (Host.IsConnected())
        Host.QueueFrequencyCommand(Value);
    Host.UpdateDigitalDisplay();
}

QString TZov::Band() const
{
    return Host.PressedBand();
}

void TZov::SetBand(const QString &Value)
{
    const QStringList captions = Host.BandCaptions();
    if (!captions.contains(Value)) {
        Host.ShowMessage(InvalidChoiceMessage(QStringLiteral("Band"), Value, captions));
        return;
    }
    Host.SelectBand(Value);
}

void TZov::ToggleVfo()
{
    Host.ToggleVfo();
}

void TZov::AlignVfo()
{
    Host.AlignVfo();
}

bool TZov::Split() const
{
    return Host.SplitOn();
}

void TZov::SetSplit(bool Value)
{
    if (Host.SplitOn() != Value)
        Host.SetSplit(Value);
}

bool TZov::Ptt() const
{
    return Host.PttOn();
}

void TZov::SetPtt(bool Value)
{
    if (Host.PttOn() == Value)
        return;
    // Off-line the key only shows the wish: a command would wait for a
    // radio that is not there.
    if (Host.IsConnected())
        Host.SetPtt(Value, PttHolder);
    else
        Host.ShowPtt(Value);
}

void TZov::Sleep(qint32 Milliseconds)
{
    if (Milliseconds <= 0)
        return;
    const qint64 start = Host.TickCount();
    for (;;) {
        const qint64 elapsed = Host.TickCount() - start;
        if (elapsed >= Milliseconds || Interrupted())
            return;
        Host.WaitForEvents(static_cast<int>(Milliseconds - elapsed));
    }
}

bool TZov::Interrupted()
{
    const bool interrupted = !Host.ScriptActive();
    Host.ProcessEvents();
    return interrupted;
}

qint32 TZov::SMeter() const
{
    return Host.MeterValue();
}

bool TZov::Squelch() const
{
    return Host.ReceiveIndicator() == QLatin1String("SQL");
}

int TZov::MemberId(const QString &Name) const
{
    for (int i = 0; i < MemberCount; ++i)
        if (Name.compare(QLatin1String(MemberNames[i]), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString TZov::TypeName() const
{
    return QStringLiteral("IZov");
}

TScriptValue TZov::Invoke(int Id, TScriptInvoke Kind, TScriptArgs Args)
{
    if (Id < 0 || Id >= MemberCount)
        throw TScriptError(ScriptErr::NoSuchMember);
    const QString name = QLatin1String(MemberNames[Id]);
    const bool put = Kind == TScriptInvoke::Put;
    const auto done = TScriptValue();

    // Methods: called with their arguments, never assigned to.
    switch (Id) {
    case mZoomTo:
    case mToggleVfo:
    case mAlignVfo:
    case mSleep:
        if (put)
            throw TScriptError(ScriptErr::NoSuchMember, {}, name);
        if (Id == mZoomTo) {
            ScriptRequireArgs(Args, 2, 2, name);
            ZoomTo(Args[0].ToLong(), Args[1].ToLong());
        } else if (Id == mSleep) {
            ScriptRequireArgs(Args, 1, 1, name);
            Sleep(Args[0].ToLong());
        } else {
            ScriptRequireArgs(Args, 0, 0, name);
            Id == mToggleVfo ? ToggleVfo() : AlignVfo();
        }
        return done;
    default:
        break;
    }

    // Properties: read without arguments, written with the value alone.
    const bool writable = Id == mMode || Id == mFrequency || Id == mBand || Id == mSplit || Id == mPtt;
    if (put && !writable)
        throw TScriptError(ScriptErr::NoSuchMember, {}, name);
    ScriptRequireArgs(Args, put ? 1 : 0, put ? 1 : 0, name);
    if (put) {
        const TScriptValue &value = Args[0];
        switch (Id) {
        case mMode: SetMode(value.ToString()); break;
        case mFrequency: SetFrequency(value.ToLong()); break;
        case mBand: SetBand(value.ToString()); break;
        case mSplit: SetSplit(value.ToBool()); break;
        case mPtt: SetPtt(value.ToBool()); break;
        default: break;
        }
        return done;
    }
    switch (Id) {
    case mMode: return TScriptValue(Mode());
    case mFrequency: return TScriptValue::FromLong(Frequency());
    case mBand: return TScriptValue(Band());
    case mSplit: return TScriptValue::FromBool(Split());
    case mPtt: return TScriptValue::FromBool(Ptt());
    case mInterrupted: return TScriptValue::FromBool(Interrupted());
    case mSMeter: return TScriptValue::FromLong(SMeter());
    case mSquelch: return TScriptValue::FromBool(Squelch());
    default: return done;
    }
}
