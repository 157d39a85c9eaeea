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

void TRadio::queue(std::unique_ptr<TTcvrCommand> command, Queueing queueing)
{
    if (queueing == Queueing::Replace)
        engine_.QueueReplacingCommand(std::move(command));
    else
        engine_.QueueCommand(std::move(command));
}

void TRadio::SetFrequency(qint32 frequency, Queueing queueing, bool tonesOff)
{
    if (!IsConnected())
        return;
    queue(MakeFrequencyCommand(frequency, Model(), engine_.CurrentVfo), queueing);
    State().SetFrequency(frequency);
    if (tonesOff)
        TonesOff();
}

void TRadio::SetMode(const QString &mode, Queueing queueing)
{
    if (!IsConnected())
        return;
    if (engine_.RefuseMissingMode(mode))
        return;
    queue(MakeModeCommand(mode, Model()), queueing);
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
    // The poll does not report the VFO of the five-byte set: it shows the
    // toggle at once, and the radio's memory says where it really is (a
    // Hamlib radio that reads its VFO says so at its next poll).
    if (type.CommandSet != 2 && IsConnected()) {
        // What was in use is the other VFO now.
        const qint32 frequency = State().Frequency();
        const QString mode = State().Mode();
        State().SetVfo(State().Vfo() == u'A' ? u'B' : u'A');
        State().SetSplitVfo(frequency, mode);
        engine_.QueueVfoRead();
    }
}

namespace {

// The FT-847's satellite VFOs (receive and transmit) set to what main holds:
// frequency, then mode.
QStringList satelliteCopiesOf(const QString &main)
{
    return {
        Ft847SetFrequencyText(main, QStringLiteral("11")),
        Ft847SetFrequencyText(main, QStringLiteral("21")),
        Ft847SetModeText(main, QStringLiteral("17")),
        Ft847SetModeText(main, QStringLiteral("27")),
    };
}

// All of them or, when a read they were built from failed, none.
void sendAll(const TCatTransport::DirectSend &send, const QStringList &writes)
{
    if (writes.contains(QString()))
        return;
    for (const QString &text : writes)
        send(text, 0);
}

} // namespace

void TRadio::swapSatelliteVfos()
{
    // Both reads first: a swap is both halves or nothing, since with one read
    // missing, writing the other half would overwrite a VFO whose contents
    // are then lost.
    engine_.RunDirect([&log = engine_.Log()](const TCatTransport::DirectSend &send) {
        const QString main = send(Ft847ReadMainVfoText(), 5).Reply;
        const QString sub = send(Ft847ReadSubVfoText(), 5).Reply;
        log.LogEvent(QStringLiteral("A/B: main vfo: \"%1\", sub vfo: \"%2\"").arg(main, sub));
        sendAll(send, QStringList{Ft847SetFrequencyText(sub, QStringLiteral("01")),
                                  Ft847SetModeText(sub, QStringLiteral("07"))}
                          + satelliteCopiesOf(main));
    });
}

void TRadio::AlignVfos(qint32 frequency, const QString &mode)
{
    const TTcvrType &type = Model();
    if (type.CommandSet == 1 && type.VfoMethod == TVfoMethod::SatelliteCopy) {
        alignSatelliteVfos();
        return;
    }
    if (type.CommandSet != 1) {
        engine_.QueueCommand(MakeCopyToOtherVfoCommand(frequency, type, engine_.CurrentVfo));
        return;
    }
    // Over to the other VFO, write mode and frequency there, and back, in one piece.
    TTcvrCommands commands;
    commands.push_back(MakeVfoToggleCommand(type, engine_.CurrentVfo));
    if (!mode.isEmpty())
        commands.push_back(MakeModeCommand(mode, type));
    commands.push_back(MakeFrequencyCommand(frequency, type, engine_.CurrentVfo));
    commands.push_back(MakeVfoToggleCommand(type, engine_.CurrentVfo));
    engine_.QueueCommands(std::move(commands));
    State().SetSplitVfo(frequency, mode);
}

void TRadio::alignSatelliteVfos()
{
    engine_.RunDirect([&log = engine_.Log()](const TCatTransport::DirectSend &send) {
        const QString main = send(Ft847ReadMainVfoText(), 5).Reply;
        log.LogEvent(QStringLiteral("A=B: main vfo: \"%1\"").arg(main));
        sendAll(send, satelliteCopiesOf(main));
    });
}

bool TRadio::SetSplit(bool on)
{
    if (!IsConnected() && State().Split() == SplitIndeterminate)
        return false;
    const TTcvrType &type = Model();
    engine_.QueueCommand(MakeSplitCommand(on, type, engine_.CurrentVfo));
    // The text set reports its split itself; the five-byte set never does
    // (nor do some Hamlib radios; those that do correct it at their next poll).
    if (type.CommandSet != 2)
        State().SetSplit(on ? SplitOn : SplitOff);
    return true;
}

bool TRadio::SetSplitFrequency(qint32 frequency)
{
    TTcvrCommands commands = MakeSplitFrequencyCommands(frequency, Model(), engine_.CurrentVfo);
    if (commands.empty())
        return false;
    engine_.QueueCommands(std::move(commands));
    State().SetSplitVfo(frequency, QString());
    return true;
}

bool TRadio::SetSplitMode(const QString &mode)
{
    TTcvrCommands commands = MakeSplitModeCommands(mode, Model());
    if (commands.empty() || !IsModeName(mode))
        return false;
    engine_.QueueCommands(std::move(commands));
    State().SetSplitVfo(0, mode);
    return true;
}

bool TRadio::ReadSplitVfo()
{
    const TTcvrType &type = Model();
    if (type.VfoMethod == TVfoMethod::Toggle && State().Ptt())
        return false;
    TTcvrCommands commands = MakeSplitReadCommands(type, [&state = State(), type](const QString &reply) {
        const TDecodedReply decoded = DecodeSet1Reply(QStringLiteral("0000000003"), reply, type);
        if (reply.size() == 10 && decoded.frequency > 0)
            state.SetSplitVfo(decoded.frequency, decoded.mode);
    });
    if (commands.empty())
        return false;
    engine_.QueueCommands(std::move(commands));
    return true;
}

void TRadio::ReadVfo(std::function<void()> done)
{
    engine_.QueueVfoRead(std::move(done));
}

void TRadio::ReadTransmitMeters()
{
    if (Model().TransmitMeters != TTcvrType::TTransmitMeters::MeteringCommand || !State().Ptt())
        return;
    engine_.QueueCommand(MakeTransmitMeteringCommand([&state = State()](const QString &reply) {
        const std::optional<TTransmitReading> reading = DecodeTransmitMetering(reply);
        if (reading)
            state.SetTransmitReading(*reading);
    }));
}

TTransmitReading TRadio::TransmitMeters() const
{
    const double meter = State().Meter() / 100.0;
    switch (Model().TransmitMeters) {
    case TTcvrType::TTransmitMeters::MeteringCommand: return State().TransmitReading();
    case TTcvrType::TTransmitMeters::StatusPower: return {meter, -1, -1};
    case TTcvrType::TTransmitMeters::StatusAlc: return {-1, -1, meter};
    }
    return {};
}

void TRadio::AfterChanges(std::function<void()> done)
{
    engine_.WhenFresh(std::move(done));
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
    // A hand-edited marker may hold a frequency no radio tunes (0 Hz would
    // even break the link): the radio is not sent there.
    if (frequency >= TCatEngine::LowestRadioHz && frequency <= TCatEngine::HighestRadioHz)
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
