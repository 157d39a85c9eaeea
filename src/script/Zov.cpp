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

QString TZov::ZoomTo(qint32 ScaleBegin, qint32 ScaleEnd)
{
    if (ScaleBegin < LowestFrequency)
        return QStringLiteral("Scale can't start on a frequency lower than 100 kHz.");
    if (ScaleEnd > HighestFrequency)
        return QStringLiteral("Scale can't end on a frequency higher than 500 MHz.");
    if (qint64(ScaleBegin) > qint64(ScaleEnd) - NarrowestRange)
        return QStringLiteral("Scale must be at least 500 Hz wide.");
    Host.ReleaseBandKeys();
    Host.SetScaleRange(ScaleBegin, ScaleEnd);
    return QString();
}

QString TZov::Mode() const
{
    return Host.PressedMode();
}

QString TZov::SetMode(const QString &Value)
{
    if (!IsModeName(Value)) {
        QStringList names;
        for (const QString &name : ModeNames)
            names << name;
        return InvalidChoiceMessage(QStringLiteral("Mode"), Value, names);
    }
    Host.PressModeKey(Value);
    if (Host.IsConnected())
        Host.QueueModeCommand(Value);
    return QString();
}

qint32 TZov::Frequency() const
{
    return Host.ScaleFrequency();
}

QString TZov::SetFrequency(qint32 Value)
{
    if (Value < LowestFrequency)
        return QStringLiteral("Frequency can't be set to a value lower than 100 kHz.");
    if (Value > HighestFrequency)
        return QStringLiteral("Frequency can't be set to a value higher than 500 MHz.");
    Host.SetScaleFrequency(Value);
    if (Host.IsConnected())
        Host.QueueFrequencyCommand(Value);
    Host.UpdateDigitalDisplay();
    return QString();
}

QString TZov::Band() const
{
    return Host.PressedBand();
}

QString TZov::SetBand(const QString &Value)
{
    const QStringList captions = Host.BandCaptions();
    if (!captions.contains(Value))
        return InvalidChoiceMessage(QStringLiteral("Band"), Value, captions);
    Host.SelectBand(Value);
    return QString();
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
    const bool put = Kind == TScriptInvoke::Put || Kind == TScriptInvoke::PutRef;
    const auto done = TScriptValue();
    // A refused value is shown, and the script goes on.
    const auto show = [this](const QString &Refusal) {
        if (!Refusal.isEmpty())
            Host.ShowMessage(Refusal);
    };

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
            show(ZoomTo(Args[0].ToLong(), Args[1].ToLong()));
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
        case mMode: show(SetMode(value.ToString())); break;
        case mFrequency: show(SetFrequency(value.ToLong())); break;
        case mBand: show(SetBand(value.ToString())); break;
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
