// The connect and disconnect sequences, restarts, the start-up commands, the
// command queue's entry points and the connection watchdog.

#include "cat/CatEngine.h"

#include "cat/HamlibModels.h"
#include "cat/HamlibTransport.h"
#include "cat/SerialTransport.h"
#include "cat/SimulatedTransport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>

namespace {

constexpr quint32 Black = 0x000000;
constexpr quint32 Red = 0x0000FF;

QString boolText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

const QString TCatEngine::OfflineStatus = QStringLiteral("Off-line mode. Click COM button to connect to TCVR.");

TCatEngine::TCatEngine(TCatEngineHost &host, TCatLog &log, std::unique_ptr<TCatTransport> port, QObject *parent)
    : QObject(parent)
    , host_(host)
    , log_(log)
    , port_(port ? std::move(port) : std::make_unique<TSerialTransport>(log))
    , simulated_(std::make_unique<TSimulatedTransport>(log, port_.get()))
{
    auto steady = std::make_shared<QElapsedTimer>();
    steady->start();
    clock_ = [steady] { return steady->elapsed(); };

    simulated_->SetViewSource([this] {
        return TSimulatorView{host_.ScaleFrequency(), host_.CurrentMode(), state_.Ptt(), state_.Meter()};
    });
    listenTo(port_.get());
    listenTo(simulated_.get());
    state_.SetModel(GetTcvrType());
    connect(&state_, &TRadioState::PttChanged, this, [this](bool on) {
        if (on)
            transmittingSince_ = clock_();
    });

    mainTmr_.setInterval(MainTmrInterval);
    connect(&mainTmr_, &QTimer::timeout, this, &TCatEngine::MainTmrTimer);
    watchdogTmr_.setSingleShot(false);
    connect(&watchdogTmr_, &QTimer::timeout, this, &TCatEngine::ConnectionWatchdogTmrTimer);
    mainTmr_.start();
}

TCatEngine::~TCatEngine()
{
    mainTmr_.stop();
    watchdogTmr_.stop();
    hamlib_.reset();
    // The simulated transport leans on the port: it goes first. The port's
    // destructor lets what was asked (a CAT-off) go out before it closes.
    simulated_.reset();
    port_.reset();
}

void TCatEngine::listenTo(TCatTransport *transport)
{
    connect(transport, &TCatTransport::StatusReport, this, &TCatEngine::setStatus);
    connect(transport, &TCatTransport::Opened, this, [this, transport](bool ok) {
        if (&this->transport() == transport)
            opened(ok);
    });
    connect(transport, &TCatTransport::PortLost, this, [this, transport] {
        if (&this->transport() == transport)
            portLost();
    });
}

bool TCatEngine::hamlibChosen() const
{
    return !settings_.Simulate && settings_.Serial.HamlibModel != 0;
}

TCatTransport &TCatEngine::transport() const
{
    if (settings_.Simulate)
        return *simulated_;
    if (hamlibChosen())
        return *hamlib_;
    return *port_;
}

TSerialTransport *TCatEngine::SerialPort() const
{
    return qobject_cast<TSerialTransport *>(port_.get());
}

void TCatEngine::SetClock(std::function<qint64()> clock)
{
    clock_ = std::move(clock);
}

void TCatEngine::SetManualTimers(bool manual)
{
    manualTimers_ = manual;
    if (manual) {
        mainTmr_.stop();
        watchdogTmr_.stop();
    } else {
        mainTmr_.start();
        if (watchdogActive_)
            watchdogTmr_.start(watchdogInterval_);
    }
}

void TCatEngine::logLine(const QString &text)
{
    log_.LogEvent(text);
}

void TCatEngine::setStatus(const QString &text, quint32 colour, bool bold)
{
    emit StatusReport(text, colour, bold);
}

QString TCatEngine::MissingModeText(const QString &mode)
{
    return QStringLiteral("The radio has no %1 mode.").arg(mode);
}

bool TCatEngine::RefuseMissingMode(const QString &mode)
{
    if (!GetTcvrType().ModesOff.contains(mode))
        return false;
    const QString text = MissingModeText(mode);
    logLine(text);
    setStatus(text, Red, false);
    return true;
}

bool TCatEngine::IsConnected() const
{
    return transport().IsOpen();
}

bool TCatEngine::Idle() const
{
    return !inFlight_ && !opening_ && port_->Idle() && simulated_->Idle() && (!hamlib_ || hamlib_->Idle());
}

const TTcvrType &TCatEngine::GetTcvrType() const
{
    if (override_)
        return *override_;
    if (hamlibChosen())
        return hamlibType_;
    return TcvrTypeAt(host_.SelectedTcvrIndex());
}

void TCatEngine::SetTcvrTypeOverride(std::optional<TTcvrType> type)
{
    override_ = std::move(type);
    transport().SetTcvrType(GetTcvrType());
    state_.SetModel(GetTcvrType());
}

void TCatEngine::RunDirect(TCatTransport::DirectJob job, std::function<void()> done)
{
    // Counted as a command: a reading after it reflects what it did.
    ++commandsQueued_;
    if (hamlibChosen())
        hamlib_->RunDirect(std::move(job), std::move(done));
    else
        port_->RunDirect(std::move(job), std::move(done));
}

void TCatEngine::SendAhead(std::unique_ptr<TTcvrCommand> command)
{
    if (!command)
        return;
    ++commandsQueued_;
    ahead_.push_back(std::move(command));
}

void TCatEngine::unkeyAhead()
{
    const TTcvrType &type = GetTcvrType();
    // A transmit-on still waiting would key the radio again.
    CommandQueue.Remove(MakeTransmitCommand(true, type)->Code);
    SendAhead(MakeTransmitCommand(false, type));
    state_.SetPttHolder({});
}

void TCatEngine::ReleasePtt(const QString &why)
{
    unkeyAhead();
    state_.SetPtt(false);
    logLine(why);
    setStatus(why, Red, true);
}

void TCatEngine::linkBack()
{
    // A radio keyed when its link went must not stay keyed; the operator's
    // own keying stands. A radio that hears nothing before CAT on (the
    // FT-847) gets it first.
    if (state_.PttHolder().kind == TPttHolder::Operator)
        return;
    const QString &catOn = GetTcvrType().CatOnCommand;
    if (!catOn.isEmpty())
        SendAhead(MakeCommand(catOn, QString()));
    unkeyAhead();
}

bool TCatEngine::TransmitOffBeforeExit(int waitMs)
{
    if (!IsConnected())
        return false;
    // No poll starts any more; a transfer in flight still ends before this
    // one, its answer ignored.
    abandonTransfer();
    Stop();
    // The answer may come after the wait is over, when nothing here is left.
    struct Wait
    {
        QEventLoop loop;
        bool answered = false;
    };
    auto wait = std::make_shared<Wait>();
    const TTcvrType &type = GetTcvrType();
    transport().Transfer(MakeTransmitCommand(false, type)->Command, ackLength(type),
                         [wait = std::weak_ptr<Wait>(wait)](const TTransfer &) {
                             if (auto waiting = wait.lock()) {
                                 waiting->answered = true;
                                 waiting->loop.quit();
                             }
                         });
    state_.SetPtt(false);
    state_.SetPttHolder({});
    QTimer::singleShot(waitMs, &wait->loop, &QEventLoop::quit);
    wait->loop.exec(QEventLoop::ExcludeUserInputEvents);
    logLine(wait->answered ? QStringLiteral("CAT: Transmit off before closing.")
                           : QStringLiteral("CAT: Transmit off before closing: no answer within %1 ms.").arg(waitMs));
    return wait->answered;
}

void TCatEngine::SetTransmitTimeout(int minutes)
{
    transmitTimeoutMs_ = qint64(qBound(0, minutes, LongestTransmitTimeout)) * 60000;
}

void TCatEngine::checkTransmitTimeout()
{
    if (transmitTimeoutMs_ <= 0 || !IsConnected() || !state_.Ptt() || clock_() - transmittingSince_ < transmitTimeoutMs_)
        return;
    const qint64 minutes = transmitTimeoutMs_ / 60000;
    ReleasePtt(QStringLiteral("PTT released: transmitting longer than %1 minute%2.")
                   .arg(minutes)
                   .arg(minutes == 1 ? "" : "s"));
}

int TCatEngine::ackLength(const TTcvrType &type) const
{
    // A radio that never acknowledges (the FT-847, the text command set, a
    // model that was seen answering a set-frequency command with nothing)
    // is not probed: each probe would wait out the whole read time-out.
    // Once learned, every set command waits for the acknowledgement's
    // length only, not for the read time-out after it.
    return type.CommandSet == 2 || !type.AnswersSetCommands ? 0 : AckLength;
}

void TCatEngine::QueueCommand(std::unique_ptr<TTcvrCommand> command)
{
    ++commandsQueued_;
    CommandQueue.Append(std::move(command));
}

void TCatEngine::QueueCommands(TTcvrCommands commands)
{
    ++commandsQueued_;
    CommandQueue.Append(std::move(commands));
}

void TCatEngine::QueueVfoRead(std::function<void()> done)
{
    const TTcvrType &type = GetTcvrType();
    const int vfo = type.VfoEepromAddress;
    const int split = type.SplitEepromAddress;
    // Only a real radio of the FT-817 family has a memory to read; elsewhere
    // the poll's own readings carry the VFO.
    if (type.CommandSet != 1 || settings_.Simulate || (vfo < 0 && split < 0)) {
        if (done)
            WhenFresh(std::move(done));
        return;
    }
    TTcvrCommands reads;
    if (vfo >= 0)
        reads.push_back(MakeEepromReadCommand(vfo, [this, vfo](const QString &reply) {
            if (const int byte = EepromByte(reply, vfo); byte >= 0)
                state_.SetVfo(byte & 0x01 ? u'B' : u'A');
        }));
    if (split >= 0)
        reads.push_back(MakeEepromReadCommand(split, [this, split](const QString &reply) {
            if (const int byte = EepromByte(reply, split); byte >= 0)
                state_.SetSplit(byte & 0x80 ? SplitOn : SplitOff);
        }));
    // A dropped read is told with an empty reply too: done runs exactly once.
    if (done) {
        TTcvrCommand &last = *reads.back();
        last.TakeReply = [take = std::move(last.TakeReply), done = std::move(done)](const QString &reply) {
            take(reply);
            done();
        };
    }
    for (auto &read : reads)
        QueueCommand(std::move(read));
}

void TCatEngine::WhenFresh(std::function<void()> done)
{
    if (freshQueued_ >= commandsQueued_ || !IsConnected()) {
        done();
        return;
    }
    freshWaiters_.emplace_back(commandsQueued_, std::move(done));
}

void TCatEngine::freshReading(quint64 queued)
{
    freshQueued_ = qMax(freshQueued_, queued);
    if (freshWaiters_.empty())
        return;
    // A waiter may queue again and wait again: the list is taken first.
    std::vector<std::pair<quint64, std::function<void()>>> waiting;
    waiting.swap(freshWaiters_);
    for (auto &waiter : waiting) {
        if (waiter.first <= queued)
            waiter.second();
        else
            freshWaiters_.push_back(std::move(waiter));
    }
}

void TCatEngine::QueueReplacingCommand(std::unique_ptr<TTcvrCommand> command)
{
    ++commandsQueued_;
    CommandQueue.Replace(std::move(command));
}

void TCatEngine::startWatchdog(int intervalMs)
{
    watchdogActive_ = true;
    watchdogInterval_ = intervalMs;
    if (!manualTimers_)
        watchdogTmr_.start(intervalMs);
}

void TCatEngine::stopWatchdog()
{
    watchdogActive_ = false;
    watchdogTmr_.stop();
}

void TCatEngine::RestartWatchdog()
{
    if (watchdogActive_)
        startWatchdog(watchdogInterval_);
}

void TCatEngine::Connect(const TLinkSettings &settings)
{
    // A new connect replaces whatever the old link was doing.
    if (IsConnected() || opening_)
        goOffline(OfflineStatus, Black, false);
    settings_ = settings;
    lostPort_.clear(); // the user's choice replaces any wait for a vanished port
    if (hamlibChosen()) {
        if (!hamlib_) {
            hamlib_ = std::make_unique<THamlibTransport>(log_);
            listenTo(hamlib_.get());
            connect(hamlib_.get(), &THamlibTransport::TcvrTypeLearned, this, [this](const TTcvrType &type) {
                hamlibType_ = type;
                state_.SetModel(type);
            });
        }
        hamlibType_ = HamlibModelType(settings.Serial.HamlibModel);
    }
    openAndStart(false);
}

void TCatEngine::openAndStart(bool automatic)
{
    if (settings_.SaveLog)
        log_.OpenLogFile(settings_.LogHeader);
    const TTcvrType type = GetTcvrType();
    state_.SetModel(type);
    state_.SetLink(TLinkPhase::Opening);
    opening_ = true;
    automaticOpen_ = automatic;
    transport().Open(settings_.Serial, type);
}

void TCatEngine::opened(bool ok)
{
    if (!opening_)
        return;
    opening_ = false;
    const bool automatic = automaticOpen_;
    const QString port = settings_.Serial.Port;
    if (!ok) {
        log_.CloseLogFile();
        if (automatic) {
            // Not ready yet (its permissions settling): try again until the minute is over.
            lostPort_ = TCatLink::DevicePath(port);
            state_.SetLink(TLinkPhase::WaitingForPort);
            setStatus(waitingStatus(), Red, true);
        } else {
            state_.SetLink(TLinkPhase::Offline);
        }
    } else {
        lostPort_.clear();
        const TTcvrType &type = GetTcvrType();
        WatchdogRetries = 0;
        state_.SetLink(TLinkPhase::Checking);
        emit LinkOpened();
        startWatchdog(int(type.WatchdogInterval));
        RestartCommunication(false);
        ahead_.clear();
        linkBack();
        if (automatic)
            logLine(QStringLiteral("CAT: Port %1 is back, connected again.").arg(port));
        setStatus(automatic ? QStringLiteral("Port %1 is back. Data integrity check...").arg(port)
                            : QStringLiteral("Data integrity check..."),
                  Black, false);
    }
    // A failed try at a port that came back is no verdict on the settings.
    if (!automatic || ok) {
        emit SettingReport(QStringLiteral("ConnectSuccess"), boolText(ok));
        emit SettingReport(QStringLiteral("Connected"), boolText(ok));
    }
}

void TCatEngine::Stop()
{
    mainTmr_.stop();
    stopWatchdog();
    PendingTune.Clear();
    CommandQueue.Clear();
    ahead_.clear();
}

void TCatEngine::Disconnect()
{
    lostPort_.clear();
    goOffline(OfflineStatus, Black, false);
}

void TCatEngine::goOffline(const QString &status, quint32 colour, bool bold)
{
    const TTcvrType &type = GetTcvrType();
    // A transmitter keyed through the program is let go first.
    if (IsConnected() && (state_.Ptt() || state_.PttHolder().kind != TPttHolder::Nobody)) {
        transport().Transfer(MakeTransmitCommand(false, type)->Command, ackLength(type), [](const TTransfer &) {});
        state_.SetPttHolder({});
    }
    // Only an open port can carry the CAT-off command; writing it to a closed
    // one would just log a write error. A radio that never answers is not
    // waited for. It goes out after whatever is on its way, then the port closes.
    if (!type.CatOffCommand.isEmpty() && IsConnected())
        transport().Transfer(type.CatOffCommand, type.AnswersSetCommands ? type.ProbeReplyLength : 0,
                             [](const TTransfer &) {});
    opening_ = false;
    abandonTransfer();

    stopWatchdog();
    transport().Close();
    state_.SetLink(TLinkPhase::Offline);
    emit LinkClosed();
    // Nothing is coming from the radio now: who waits hears the state as it is.
    freshReading(commandsQueued_);

    state_.SetPtt(false);
    if (type.CommandSet != 2)
        state_.SetSplit(SplitIndeterminate);

    setStatus(status, colour, bold);
    log_.CloseLogFile();
    emit DisplayRefresh();
}

void TCatEngine::abandonTransfer()
{
    if (!inFlight_)
        return;
    inFlight_ = false;
    ++transferSerial_;
    if (!manualTimers_)
        mainTmr_.start();
    if (auto takeReply = std::exchange(inFlightReply_, {}))
        takeReply(QString());
}

void TCatEngine::failIntegrity()
{
    IntegrityMismatches = 0;
    MessedRestarts = 0;
    logLine(QStringLiteral("ERROR [E22]: Data integrity check failed."));
    emit SettingReport(QStringLiteral("ConnectSuccess"), QStringLiteral("0"));
    goOffline(QStringLiteral("Data integrity check failed [E22]."), Red, true);
}

void TCatEngine::messedData(const QString &logText)
{
    logLine(logText);
    // A line that stays out of step (stray bytes after every reply, a shift
    // that does not end) would restart the check for ever without a word.
    if (++MessedRestarts > MaxMessedRestarts) {
        failIntegrity();
        return;
    }
    RestartCommunication(true);
}

void TCatEngine::portLost()
{
    const QString port = settings_.Serial.Port;
    logLine(QStringLiteral("ERROR [E11]: Port %1 disappeared.").arg(port));
    goOffline(waitingStatus(), Red, true);
    state_.SetLink(TLinkPhase::WaitingForPort);
    lostPort_ = TCatLink::DevicePath(port);
    lostSince_ = clock_();
    lastReturnTry_ = lostSince_;
}

QString TCatEngine::waitingStatus() const
{
    return QStringLiteral("Port %1 disappeared. Waiting for it to come back...").arg(settings_.Serial.Port);
}

void TCatEngine::waitForPortReturn()
{
    const qint64 now = clock_();
    if (now - lostSince_ > PortReturnWaitMs) {
        setStatus(QStringLiteral("Port %1 disappeared. Click COM button to connect again.").arg(settings_.Serial.Port),
                  Red, true);
        lostPort_.clear();
        state_.SetLink(TLinkPhase::Offline);
        return;
    }
    if (now - lastReturnTry_ < PortReturnTryMs || !QFileInfo::exists(lostPort_))
        return;
    lastReturnTry_ = now;
    openAndStart(true);
}

void TCatEngine::RestartCommunication(bool purge)
{
    const TTcvrType &type = GetTcvrType();
    if (!purge)
        MessedRestarts = 0;
    // A reply still on its way belongs to the cycle that ends here.
    abandonTransfer();
    PollIndex = 0;
    UnconfirmedFrequency = -1;
    IntegrityCountdown = 5;
    IntegrityMismatches = 0;
    CommandQueue.Clear();
    AckLength = type.ProbeReplyLength;
    if (purge)
        transport().Drain();
    state_.SetPtt(false);
    state_.SetReceive(TReceive::SquelchClosed);
    if (type.CommandSet != 2)
        state_.SetSplit(SplitIndeterminate);
    emit EditMustEnd();
    if (!purge)
        InitialSync();
    logLine(QStringLiteral("CAT: Communication  (re)started."));
}

void TCatEngine::InitialSync()
{
    const TTcvrType &type = GetTcvrType();
    if (!type.CatOnCommand.isEmpty())
        QueueCommand(MakeCommand(type.CatOnCommand, QString()));
    if (!settings_.SyncToRadio)
        return;
    // With no mode key down there is no mode to tell the radio: sending the
    // fallback byte would switch it to CW.
    const QString mode = host_.CurrentMode();
    if (!mode.isEmpty() && !RefuseMissingMode(mode))
        QueueCommand(MakeModeCommand(mode, type));
    QueueCommand(MakeFrequencyCommand(host_.ScaleFrequency(), type, CurrentVfo));
}

void TCatEngine::ConnectionWatchdogTmrTimer()
{
    state_.SetPtt(false);
    state_.SetReceive(TReceive::SquelchClosed);
    state_.ReportMeter(0);

    if (!IsConnected())
        return;
    if (WatchdogRetries >= 10) {
        emit SettingReport(QStringLiteral("ConnectSuccess"), QStringLiteral("0"));
        // The reason goes to the log before the log is closed.
        logLine(QStringLiteral("ERROR [E21]: No communication with TCVR."));
        goOffline(QStringLiteral("No communication with TCVR [E21]. Click COM button to connect again."), Red, true);
        return;
    }
    ++WatchdogRetries;
    logLine(QStringLiteral("ERROR [E20]: No communication with TCVR. Retrying..."));
    RestartCommunication(true);
    state_.SetLink(TLinkPhase::Retrying);
    // A radio switched off and on meanwhile (the FT-847) ignores everything
    // until it gets CAT on again.
    const TTcvrType &type = GetTcvrType();
    if (!type.CatOnCommand.isEmpty())
        QueueCommand(MakeCommand(type.CatOnCommand, QString()));
    setStatus(QStringLiteral("No communication with TCVR [E20]. Retrying...[%1]").arg(11 - WatchdogRetries), Red, false);
}
