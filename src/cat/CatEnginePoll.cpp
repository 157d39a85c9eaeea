// One tick of the poll cycle: the tune request hand-over, the choice of the
// command, the transfer, acknowledgement learning, the garbage and integrity
// checks, and applying the radio's replies to the window.

#include "cat/CatEngine.h"

namespace {

constexpr quint32 Black = 0x000000;
constexpr quint32 Red = 0x0000FF;

// The main timer is off while a tick runs, so a tick that blocks on the port
// is never entered twice; it comes back on however the tick ends.
class MainTimerPause
{
public:
    explicit MainTimerPause(TCatEngineHost &host)
        : host_(host)
    {
        host_.EnableMainTimer(false);
    }
    ~MainTimerPause() { host_.EnableMainTimer(true); }
    MainTimerPause(const MainTimerPause &) = delete;
    MainTimerPause &operator=(const MainTimerPause &) = delete;

private:
    TCatEngineHost &host_;
};

} // namespace

void TCatEngine::MainTmrTimer()
{
    MainTimerPause pause(host_);

    if (std::optional<TFqMarker> request = PendingTune.Take()) {
        carryOutTuneRequest(*request);
        return;
    }
    if (takePortLoss())
        return;
    if (!IsConnected()) {
        if (!lostPort_.isEmpty())
            waitForPortReturn();
        return;
    }

    const TTcvrType type = GetTcvrType();
    const Outgoing out = nextCommand(type);
    TTransfer result = transfer(out);
    if (takePortLoss())
        return;

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

    if (result.Result != ReplyRead)
        return;
    if (IntegrityCountdown > 0 && out.pollEntry0 && !checkIntegrity(result.Reply))
        return;
    DecodeReply(out.command, result.Reply);
}

void TCatEngine::carryOutTuneRequest(const TFqMarker &request)
{
    host_.StopScan();
    host_.PressModeKey(request.Mode);
    const bool frequencyValid = request.Frequency >= 0 && request.Frequency <= HighestRadioHz;
    if (frequencyValid)
        host_.AssignScaleFrequency(request.Frequency);
    if (IsConnected()) {
        const TTcvrType &type = GetTcvrType();
        if (IsModeName(request.Mode))
            QueueCommand(MakeModeCommand(request.Mode, type));
        if (frequencyValid)
            QueueCommand(MakeFrequencyCommand(request.Frequency, type, CurrentVfo));
    }
    host_.EnsureMarkerVisible(request);
    host_.RepaintScale();
}

TCatEngine::Outgoing TCatEngine::nextCommand(const TTcvrType &type)
{
    Outgoing out;
    if (std::unique_ptr<TTcvrCommand> queued = CommandQueue.TakeFirst()) {
        out.command = queued->Command;
        const QString &code = queued->Code;
        out.frequencyCode = !code.isEmpty() && (code == type.FrequencyCodeA || code == type.FrequencyCodeB);
        // A radio that never acknowledges (the FT-847, the text command set, a
        // model that was seen answering a set-frequency command with nothing)
        // is not probed: each probe would wait out the whole read time-out.
        if (type.CommandSet == 2 || !type.AnswersSetCommands)
            out.expected = 0;
        else if (out.frequencyCode)
            out.expected = AckLength;
        else
            out.expected = AckLength == 0 ? 0 : int(type.ProbeReplyLength);
        return out; // the queued command is freed here, after its text was copied
    }
    const int set = type.CommandSet == 2 ? 2 : 1;
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

TTransfer TCatEngine::transfer(const Outgoing &out)
{
    if (!host_.SimulateConnectionChecked())
        return link_.SendCommand(out.command, out.expected);
    TSimulatorView view;
    view.ScaleFrequency = host_.ScaleFrequency();
    view.CurrentMode = host_.CurrentMode();
    view.PttDown = host_.PttDown();
    view.MeterValue = host_.MeterValue();
    const TSimulatedTransfer simulated = link_.SimulateCommand(out.command, view);
    if (simulated.ReleasePtt)
        host_.SetPttDown(false);
    return simulated;
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
        host_.SetStatus(host_.SimulateConnectionChecked() ? QStringLiteral("Connected to TCVR (simulated).")
                                                          : QStringLiteral("Connected to TCVR."),
                        Black, false);
        ConnectAnnounced = true;
    }
    return true;
}

void TCatEngine::DecodeReply(const QString &command, const QString &reply)
{
    if (host_.WatchdogEnabled())
        host_.RestartWatchdog();
    if (WatchdogRetries > 0) {
        WatchdogRetries = 0;
        host_.SetStatus(QStringLiteral("Data integrity check [E22]..."), Red, false);
    }
    if (IntegrityCountdown > 0)
        return;
    const TTcvrType &type = GetTcvrType();
    if (type.CommandSet == 2)
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
        break;
    case TDecodedReply::ReceiveStatus:
        if (!host_.PttDown()) {
            host_.ShowMeterReading(decoded.percent);
            host_.SetSqlState(decoded.squelchClosed ? 0 : 1);
        }
        break;
    case TDecodedReply::TransmitStatus:
        host_.SetPttDown(decoded.transmitting);
        if (decoded.transmitting) {
            host_.ShowMeterReading(decoded.percent);
            host_.SetSqlState(2);
            host_.StopScan();
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
        host_.SetPttDown(decoded.transmitting);
        if (decoded.transmitting) {
            host_.SetSqlState(2);
            host_.StopScan();
        } else {
            host_.SetSqlState(1);
        }
        if (!decoded.vfo.isNull())
            CurrentVfo = decoded.vfo;
    } else if (decoded.kind == TDecodedReply::SMeter) {
        host_.ShowMeterReading(decoded.percent);
    }
}

void TCatEngine::ApplyRadioFrequency(qint32 frequency)
{
    ++FreqReportCount;
    if (TuningBusy > 0)
        return;
    const qint32 current = host_.ScaleFrequency();
    // A report outside what any of these radios tunes is garbage that slipped
    // through; the scale never goes there.
    const bool inRange = frequency >= LowestRadioHz && frequency <= HighestRadioHz;
    if (inRange && frequency != current) {
        const qint32 step = current / 100;
        if (frequency > current - step && frequency < current + step && FreqReportCount % 10 != 0)
            PollIndex = 0;
        host_.StopScan();
        host_.AssignScaleFrequency(frequency);
    }
    if (!host_.DigitalDisplayEditing())
        host_.RefreshDigitalDisplay();
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
    if (!mode.isEmpty() && mode != host_.CurrentMode())
        host_.PressModeKey(mode);
}

bool TCatEngine::IsReplyPlausible(const QString &reply) const
{
    if (GetTcvrType().CommandSet == 2)
        return IsSet2InformationReplyWellFormed(reply);

    // Only the reply's own form counts: a well-formed reply is never refused
    // for resembling the scale's digits. Shifted replies are caught by the
    // bytes they leave on the line (see MainTmrTimer).
    return IsSet1FrequencyReplyWellFormed(reply, LowestRadioHz, HighestRadioHz);
}
