// One tick of the poll cycle: the tune request hand-over, the choice of the
// command, the transfer (answered later, from the link's thread),
// acknowledgement learning, the garbage and integrity checks, and applying
// the radio's replies to the radio state and the scale.

#include "cat/CatEngine.h"

#include "cat/HamlibCommands.h"

namespace {

constexpr quint32 Black = 0x000000;
constexpr quint32 Red = 0x0000FF;

// The row of PollCommands for a model's command set.
int pollSet(const TTcvrType &type)
{
    return type.CommandSet >= 1 && type.CommandSet <= CommandSetCount ? type.CommandSet : 1;
}

} // namespace

void TCatEngine::MainTmrTimer()
{
    checkTransmitTimeout();
    // One transfer at a time: the tick after it comes when it has ended.
    if (inFlight_ || opening_)
        return;
    if (std::optional<TTuneRequest> request = PendingTune.Take()) {
        carryOutTuneRequest(*request);
        return;
    }
    if (!IsConnected()) {
        if (!lostPort_.isEmpty())
            waitForPortReturn();
        return;
    }
    if (pollingHeld_)
        return;
    Outgoing out = nextCommand(GetTcvrType());
    out.queued = commandsQueued_;
    startTransfer(out);
}

void TCatEngine::startTransfer(const Outgoing &out)
{
    inFlight_ = true;
    mainTmr_.stop();
    inFlightReply_ = out.takeReply;
    const quint64 serial = ++transferSerial_;
    transport().Transfer(out.command, out.expected, [this, out, serial](const TTransfer &result) {
        if (serial != transferSerial_)
            return; // the cycle it belonged to was restarted or closed
        inFlight_ = false;
        inFlightReply_ = {};
        transferDone(out, result);
        if (!manualTimers_ && !inFlight_)
            mainTmr_.start();
    });
}

void TCatEngine::transferDone(const Outgoing &out, const TTransfer &result)
{
    const TTcvrType type = GetTcvrType();
    if (result.ReleasePtt)
        state_.SetPtt(false);

    if (out.frequencyCode && out.expected == type.ProbeReplyLength && IntegrityCountdown == 0) {
        logLine(QStringLiteral("Command \"%1\" returned: %2 byte(s).").arg(out.command).arg(result.Count));
        AckLength = result.Count;
    }

    // Bytes waiting before a poll went out belong to no command: the line is
    // out of step, and the replies read before may have been shifted.
    if (out.poll && result.Discarded > 0) {
        messedData(QStringLiteral("Messed data detected: %1 stray byte(s) before \"%2\"").arg(result.Discarded).arg(out.command));
        return;
    }
    if (out.pollEntry0 && !result.Reply.isEmpty() && !IsReplyPlausible(result.Reply)) {
        messedData(QStringLiteral("Messed data detected: \"%1\">\"%2\"").arg(out.command, result.Reply));
        return;
    }

    if (out.takeReply) {
        if (result.Result == ReplyRead)
            RestartWatchdog();
        out.takeReply(result.Result == ReplyRead ? result.Reply : QString());
        return;
    }
    if (result.Result != ReplyRead)
        return;
    if (IntegrityCountdown > 0 && out.pollEntry0 && !checkIntegrity(result.Reply))
        return;
    // A reading taken after every command queued before it had gone out.
    const bool fresh = out.poll && out.queued == commandsQueued_;
    // The transmitter as a reading older than a command queued since (a
    // transmit-on or -off) found it is not taken: the PTT key would flicker,
    // and a script would see the transmitter as it was.
    staleReading_ = !fresh;
    readingApplied_ = false;
    DecodeReply(out.command, result.Reply);
    staleReading_ = false;
    if (readingApplied_)
        freshReading(out.queued);
    if (!fresh || IntegrityCountdown > 0)
        return;
    // A scan decides on readings that came after its tuning reached the radio.
    if (isReceiveReading(out.command))
        state_.CountReceiveReading();
    // Found off, the transmitter is held by nobody (the radio's own
    // time-out, or a keying it refused).
    if (isTransmitReading(out.command) && !state_.Ptt())
        state_.SetPttHolder({});
}

void TCatEngine::carryOutTuneRequest(const TTuneRequest &request)
{
    emit ScanMustStop();
    emit TuneRequestTaken(request);
    if (IsConnected()) {
        const TTcvrType &type = GetTcvrType();
        if (IsModeName(request.Mode) && !RefuseMissingMode(request.Mode))
            QueueCommand(MakeModeCommand(request.Mode, type));
        if (request.Frequency >= LowestRadioHz && request.Frequency <= HighestRadioHz)
            QueueCommand(MakeFrequencyCommand(request.Frequency, type, CurrentVfo));
    }
}

TCatEngine::Outgoing TCatEngine::nextCommand(const TTcvrType &type)
{
    Outgoing out;
    std::unique_ptr<TTcvrCommand> queued;
    if (!ahead_.empty()) {
        queued = std::move(ahead_.front());
        ahead_.pop_front();
    } else {
        queued = CommandQueue.TakeFirst();
    }
    if (queued) {
        out.command = queued->Command;
        if (queued->TakeReply) {
            out.expected = queued->ReplyLength;
            out.takeReply = std::move(queued->TakeReply);
            return out;
        }
        const QString &code = queued->Code;
        out.frequencyCode = !code.isEmpty() && (code == type.FrequencyCodeA || code == type.FrequencyCodeB);
        out.expected = ackLength(type);
        return out; // the queued command is freed here, after its text was copied
    }
    const int set = pollSet(type);
    if (PollIndex < 0 || PollIndex > 2 || PollCommands[set][PollIndex].Command.isEmpty())
        PollIndex = 0;
    const TPollCommand &poll = PollCommands[set][PollIndex];
    out.command = poll.Command;
    out.expected = poll.ReplyLength;
    out.poll = true;
    out.pollEntry0 = PollIndex == 0;
    ++PollIndex;
    if (PollIndex > 2 || PollCommands[set][PollIndex].Command.isEmpty())
        PollIndex = 0;
    return out;
}

bool TCatEngine::checkIntegrity(const QString &reply)
{
    if (reply != LastIntegrityReply) {
        IntegrityCountdown = 5;
        LastIntegrityReply = reply;
        ++IntegrityMismatches;
        if (IntegrityMismatches > 20) {
            failIntegrity();
            return false;
        }
        return true;
    }
    --IntegrityCountdown;
    if (IntegrityCountdown == 0) {
        MessedRestarts = 0;
        state_.SetLink(TLinkPhase::Connected);
        setStatus(settings_.Simulate ? QStringLiteral("Connected to TCVR (simulated).") : QStringLiteral("Connected to TCVR."),
                  Black, false);
        ConnectAnnounced = true;
        QueueVfoRead();
    }
    return true;
}

void TCatEngine::DecodeReply(const QString &command, const QString &reply)
{
    RestartWatchdog();
    if (WatchdogRetries > 0) {
        WatchdogRetries = 0;
        linkBack();
        state_.SetLink(TLinkPhase::Checking);
        setStatus(QStringLiteral("Data integrity check [E22]..."), Red, false);
    }
    if (IntegrityCountdown > 0)
        return;
    const TTcvrType &type = GetTcvrType();
    if (type.CommandSet == 3)
        decodeSet3(command, reply);
    else if (type.CommandSet == 2)
        decodeSet2(reply);
    else
        decodeSet1(command, reply, type);
}

void TCatEngine::decodeSet1(const QString &command, const QString &reply, const TTcvrType &type)
{
    const TDecodedReply decoded = DecodeSet1Reply(command, reply, type);
    switch (decoded.kind) {
    case TDecodedReply::FrequencyAndMode:
        if (!frequencyConfirmed(decoded.frequency))
            break;
        ApplyRadioFrequency(decoded.frequency);
        followRadioMode(decoded.mode);
        readingApplied_ = true;
        break;
    case TDecodedReply::ReceiveStatus:
        if (!state_.Ptt()) {
            state_.ReportMeter(decoded.percent);
            state_.SetReceive(decoded.squelchClosed ? TReceive::SquelchClosed : TReceive::Receiving);
        }
        break;
    case TDecodedReply::TransmitStatus:
        if (!staleReading_)
            state_.SetPtt(decoded.transmitting);
        if (decoded.transmitting) {
            state_.ReportMeter(decoded.percent);
            state_.SetReceive(TReceive::Transmitting);
            emit ScanMustStop();
        }
        break;
    default:
        break;
    }
}

void TCatEngine::decodeSet2(const QString &reply)
{
    const TDecodedReply decoded = DecodeSet2Reply(reply);
    if (decoded.kind == TDecodedReply::Information) {
        if (!frequencyConfirmed(decoded.frequency))
            return;
        ApplyRadioFrequency(decoded.frequency);
        followRadioMode(decoded.mode);
        readingApplied_ = true;
        if (!staleReading_)
            state_.SetPtt(decoded.transmitting);
        if (decoded.transmitting) {
            state_.SetReceive(TReceive::Transmitting);
            emit ScanMustStop();
        } else {
            state_.SetReceive(TReceive::Receiving);
        }
        if (!decoded.vfo.isNull()) {
            CurrentVfo = decoded.vfo;
            state_.SetVfo(decoded.vfo);
        }
    } else if (decoded.kind == TDecodedReply::SMeter) {
        state_.ReportMeter(decoded.percent);
    }
}

void TCatEngine::decodeSet3(const QString &command, const QString &reply)
{
    const Set3::TReading reading = Set3::DecodeReply(command, reply);
    if (reading.Frequency) {
        if (!frequencyConfirmed(*reading.Frequency))
            return;
        ApplyRadioFrequency(*reading.Frequency);
        readingApplied_ = true;
    }
    followRadioMode(reading.Mode);
    if (!reading.Vfo.isNull()) {
        CurrentVfo = reading.Vfo;
        state_.SetVfo(reading.Vfo);
    }
    if (reading.Split)
        state_.SetSplit(*reading.Split ? SplitOn : SplitOff);
    if (reading.Ptt) {
        if (!staleReading_)
            state_.SetPtt(*reading.Ptt);
        if (*reading.Ptt) {
            // No power is read from a Hamlib radio: the meter shows none
            // rather than the last signal.
            state_.ReportMeter(0);
            state_.SetReceive(TReceive::Transmitting);
            emit ScanMustStop();
        }
    }
    if (state_.Ptt())
        return;
    if (reading.MeterPercent)
        state_.ReportMeter(*reading.MeterPercent);
    // A radio that tells no squelch state is receiving whenever it reads a signal.
    if (reading.SquelchOpen.has_value() || reading.MeterPercent.has_value())
        state_.SetReceive(reading.SquelchOpen.value_or(true) ? TReceive::Receiving : TReceive::SquelchClosed);
}

void TCatEngine::ApplyRadioFrequency(qint32 frequency)
{
    ++FreqReportCount;
    // A report outside what any of these radios tunes is garbage that slipped
    // through; neither the radio state nor the scale goes there.
    const bool inRange = frequency >= LowestRadioHz && frequency <= HighestRadioHz;
    if (inRange)
        state_.SetFrequency(frequency);
    if (TuningBusy > 0)
        return;
    const qint32 current = host_.ScaleFrequency();
    if (inRange && frequency != current) {
        const qint32 step = current / 100;
        if (frequency > current - step && frequency < current + step && FreqReportCount % 10 != 0)
            PollIndex = 0;
        emit ScanMustStop();
        emit ScaleFollows(frequency);
    }
    if (!host_.DigitalDisplayEditing())
        emit DisplayRefresh();
}

bool TCatEngine::frequencyConfirmed(qint32 frequency)
{
    // A reply from a line out of step can be well formed, yet it does not
    // come again a poll cycle later: a jump away from the scale waits for the
    // next reading before the scale and the mode keys follow it.
    const qint32 scale = host_.ScaleFrequency();
    const bool nearScale = qAbs(qint64(frequency) - scale) < qMax(scale / 100, 1);
    if (TuningBusy > 0 || frequency < 0 || nearScale || frequency == UnconfirmedFrequency) {
        UnconfirmedFrequency = -1;
        return true;
    }
    UnconfirmedFrequency = frequency;
    return false;
}

void TCatEngine::followRadioMode(const QString &mode)
{
    if (mode.isEmpty())
        return;
    state_.SetMode(mode);
    if (mode != host_.CurrentMode())
        emit ModeReported(mode);
}

bool TCatEngine::isReceiveReading(const QString &command) const
{
    // The receive status (squelch and S-meter); the text set has its S-meter read.
    return command == PollCommands[pollSet(GetTcvrType())][1].Command;
}

bool TCatEngine::isTransmitReading(const QString &command) const
{
    // The transmit status; the text set reports it in its information reply.
    const int set = pollSet(GetTcvrType());
    return command == PollCommands[set][set == 2 ? 0 : 2].Command;
}

bool TCatEngine::IsReplyPlausible(const QString &reply) const
{
    if (GetTcvrType().CommandSet == 3)
        return Set3::IsReplyWellFormed(PollCommands[3][0].Command, reply);
    if (GetTcvrType().CommandSet == 2)
        return IsSet2InformationReplyWellFormed(reply);

    // Only the reply's own form counts: a well-formed reply is never refused
    // for resembling the scale's digits. Shifted replies are caught by the
    // bytes they leave on the line (see transferDone).
    return IsSet1FrequencyReplyWellFormed(reply, LowestRadioHz, HighestRadioHz);
}
