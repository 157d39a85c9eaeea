#include "cat/Radio.h"

#include "cat/CatCommands.h"
#include "cat/CatEngine.h"

TRadio::TRadio(TCatEngine &engine)
    : engine_(engine)
{
}

TRadioState &TRadio::State()
{
    return engine_.State();
}

const TRadioState &TRadio::State() const
{
    return engine_.State();
}

bool TRadio::IsConnected() const
{
    return engine_.IsConnected();
}

const TTcvrType &TRadio::Model() const
{
    return engine_.GetTcvrType();
}

void TRadio::SetFrequency(qint32 frequency, Queueing queueing, bool tonesOff)
{
    if (!IsConnected())
        return;
    auto command = MakeFrequencyCommand(frequency, Model(), engine_.CurrentVfo);
    if (queueing == Queueing::Replace)
        engine_.QueueReplacingCommand(std::move(command));
    else
        engine_.QueueCommand(std::move(command));
    State().SetFrequency(frequency);
    if (tonesOff)
        TonesOff();
}

void TRadio::SetMode(const QString &mode, Queueing queueing)
{
    if (!IsConnected())
        return;
    auto command = MakeModeCommand(mode, Model());
    if (queueing == Queueing::Replace)
        engine_.QueueReplacingCommand(std::move(command));
    else
        engine_.QueueCommand(std::move(command));
    if (IsModeName(mode))
        State().SetMode(mode);
}

void TRadio::SetPtt(bool on, const TPttHolder &holder)
{
    engine_.QueueCommand(MakeTransmitCommand(on, Model()));
    // Shown at once; the next transmit-status poll shows what the radio did.
    State().SetPtt(on);
    State().SetPttHolder(on ? holder : TPttHolder());
}

bool TRadio::ReleasePtt(const TPttHolder &holder, const QString &why)
{
    if (holder.kind == TPttHolder::Nobody || State().PttHolder() != holder)
        return false;
    engine_.ReleasePtt(why);
    return true;
}

void TRadio::ToggleVfo()
{
    const TTcvrType &type = Model();
    if (type.CommandSet == 1 && type.VfoMethod == TVfoMethod::SatelliteCopy) {
        swapSatelliteVfos();
        return;
    }
    engine_.QueueCommand(MakeVfoToggleCommand(type, engine_.CurrentVfo));
    // The five-byte set never reports its VFO: the toggle is counted here.
    if (type.CommandSet == 1 && IsConnected())
        State().SetVfo(State().Vfo() == u'A' ? u'B' : u'A');
}

void TRadio::swapSatelliteVfos()
{
    // Both reads first: a swap is both halves or nothing, since with one read
    // missing, writing the other half would overwrite a VFO whose contents
    // are then lost.
    engine_.RunDirect([&log = engine_.Log()](const TCatTransport::DirectSend &send) {
        const QString main = send(Ft847ReadMainVfoText(), 5).Reply;
        const QString sub = send(Ft847ReadSubVfoText(), 5).Reply;
        log.LogEvent(QStringLiteral("A/B: main vfo: \"%1\", sub vfo: \"%2\"").arg(main, sub));
        const QStringList writes = {
            Ft847SetFrequencyText(sub, QStringLiteral("01")),  Ft847SetModeText(sub, QStringLiteral("07")),
            Ft847SetFrequencyText(main, QStringLiteral("11")), Ft847SetFrequencyText(main, QStringLiteral("21")),
            Ft847SetModeText(main, QStringLiteral("17")),      Ft847SetModeText(main, QStringLiteral("27")),
        };
        if (writes.contains(QString()))
            return;
        for (const QString &text : writes)
            send(text, 0);
    });
}

void TRadio::AlignVfos(qint32 frequency, const QString &mode)
{
    const TTcvrType &type = Model();
    if (type.CommandSet == 1 && type.VfoMethod == TVfoMethod::SatelliteCopy) {
        alignSatelliteVfos();
        return;
    }
    if (type.CommandSet == 2) {
        engine_.QueueCommand(MakeCopyToOtherVfoCommand(frequency, type, engine_.CurrentVfo));
        return;
    }
    // Over to the other VFO, write mode and frequency there, and back.
    engine_.QueueCommand(MakeVfoToggleCommand(type, engine_.CurrentVfo));
    if (!mode.isEmpty())
        engine_.QueueCommand(MakeModeCommand(mode, type));
    engine_.QueueCommand(MakeFrequencyCommand(frequency, type, engine_.CurrentVfo));
    engine_.QueueCommand(MakeVfoToggleCommand(type, engine_.CurrentVfo));
}

void TRadio::alignSatelliteVfos()
{
    engine_.RunDirect([&log = engine_.Log()](const TCatTransport::DirectSend &send) {
        const QString main = send(Ft847ReadMainVfoText(), 5).Reply;
        log.LogEvent(QStringLiteral("A=B: main vfo: \"%1\"").arg(main));
        const QStringList writes = {
            Ft847SetFrequencyText(main, QStringLiteral("11")),
            Ft847SetFrequencyText(main, QStringLiteral("21")),
            Ft847SetModeText(main, QStringLiteral("17")),
            Ft847SetModeText(main, QStringLiteral("27")),
        };
        if (writes.contains(QString()))
            return;
        for (const QString &text : writes)
            send(text, 0);
    });
}

bool TRadio::SetSplit(bool on)
{
    if (!IsConnected() && State().Split() == SplitIndeterminate)
        return false;
    const TTcvrType &type = Model();
    engine_.QueueCommand(MakeSplitCommand(on, type, engine_.CurrentVfo));
    // The text set reports its split itself; the five-byte set never does.
    if (type.CommandSet == 1)
        State().SetSplit(on ? SplitOn : SplitOff);
    return true;
}

void TRadio::SetTones(int rxTone, int txTone)
{
    rxTone_ = rxTone;
    txTone_ = txTone;
    const TTcvrType &type = Model();
    engine_.QueueReplacingCommand(MakeToneFrequencyCommand(txTone, rxTone, type));
    engine_.QueueReplacingCommand(MakeToneModeCommand(rxTone, txTone, type));
}

void TRadio::TonesOff()
{
    rxTone_ = txTone_ = 0;
    engine_.QueueReplacingCommand(MakeTonesOffCommand(Model()));
}

void TRadio::GoTo(qint32 frequency, const QString &mode, int rxTone, int txTone, bool onlyChanges)
{
    if (!IsConnected())
        return;
    if (IsModeName(mode) && !(onlyChanges && mode == State().Mode()))
        SetMode(mode, Queueing::Replace);
    if (frequency >= 0 && frequency <= TCatEngine::HighestRadioHz)
        SetFrequency(frequency, Queueing::Replace);
    if (!(onlyChanges && rxTone == rxTone_ && txTone == txTone_))
        SetTones(rxTone, txTone);
}

TRadio::TuningHold::TuningHold(TCatEngine &engine)
    : engine_(&engine)
{
    engine_->HoldTuning();
}

TRadio::TuningHold::~TuningHold()
{
    if (engine_)
        engine_->ReleaseTuning();
}

std::unique_ptr<TRadio::TuningHold> TRadio::HoldTuning()
{
    return std::make_unique<TuningHold>(engine_);
}
