// The connect and disconnect sequences, restarts, the start-up commands, the
// command queue's entry points and the connection watchdog.

#include "cat/CatEngine.h"

#include <QElapsedTimer>
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

TCatEngine::TCatEngine(TCatEngineHost &host, TCatLog &log)
    : host_(host)
    , log_(log)
    , link_(log, [this](const QString &text, quint32 colour, bool bold) { host_.SetStatus(text, colour, bold); })
{
    // The link closes a vanished port in the middle of a transfer; the engine
    // acts on it once the transfer is over.
    link_.SetPortLostHandler([this] { portLost_ = true; });
    auto steady = std::make_shared<QElapsedTimer>();
    steady->start();
    clock_ = [steady] { return steady->elapsed(); };
}

void TCatEngine::SetClock(std::function<qint64()> clock)
{
    clock_ = std::move(clock);
}

TCatEngine::~TCatEngine() = default;

void TCatEngine::logLine(const QString &text)
{
    log_.LogEvent(text);
}

bool TCatEngine::IsConnected() const
{
    return link_.IsOpen();
}

const TTcvrType &TCatEngine::GetTcvrType() const
{
    if (override_)
        return *override_;
    return TcvrTypeAt(host_.TcvrTypeIndex());
}

void TCatEngine::SetTcvrTypeOverride(std::optional<TTcvrType> type)
{
    override_ = std::move(type);
    link_.SetTcvrType(GetTcvrType());
}

TTransfer TCatEngine::SendDirect(const QString &command, int expectedLength)
{
    return link_.SendCommand(command, expectedLength);
}

void TCatEngine::QueueCommand(std::unique_ptr<TTcvrCommand> command)
{
    CommandQueue.Append(std::move(command));
}

void TCatEngine::QueueReplacingCommand(std::unique_ptr<TTcvrCommand> command)
{
    CommandQueue.Replace(std::move(command));
}

void TCatEngine::Connect()
{
    const bool succeededBefore = host_.ReadEngineSetting(QStringLiteral("ConnectSuccess")).toInt() != 0;
    const bool advanced = host_.ShowDebugWndChecked() || host_.SaveLogChecked() || host_.SimulateConnectionChecked();
    if (host_.CtrlKeyHeld() || !succeededBefore || advanced) {
        if (!host_.RunComSettingsDialog()) {
            host_.SetStatus(OfflineStatus, Black, false);
            return;
        }
    }
    lostPort_.clear(); // the user's choice replaces any wait for a vanished port
    openAndStart(false);
}

void TCatEngine::openAndStart(bool automatic)
{
    portLost_ = false;
    if (host_.SaveLogChecked())
        log_.OpenLogFile(host_.LogHeader());
    // A port that came back keeps the debug window's story of its loss.
    if (!automatic)
        host_.ResetDebugWindow(host_.ShowDebugWndChecked());

    if (!link_.OpenComPort(host_.SerialSettings())) {
        log_.CloseLogFile();
    } else {
        if (override_)
            link_.SetTcvrType(*override_);
        const TTcvrType &type = GetTcvrType();
        host_.RefreshDigitalDisplay();
        WatchdogRetries = 0;
        if (host_.SpectrographAutomatically())
            host_.StartSpectrograph();
        host_.StartWatchdog(int(type.WatchdogInterval));
        host_.EnableVfoKeys(type.HasVfoKeys);
        RestartCommunication(false);
        if (automatic)
            logLine(QStringLiteral("CAT: Port %1 is back, connected again.").arg(link_.Settings().Port));
        host_.SetStatus(automatic ? QStringLiteral("Port %1 is back. Data integrity check...").arg(link_.Settings().Port)
                                  : QStringLiteral("Data integrity check..."),
                        Black, false);
    }

    // A failed try at a port that came back is no verdict on the settings.
    if (!automatic || IsConnected()) {
        const QString open = boolText(IsConnected());
        host_.WriteEngineSetting(QStringLiteral("ConnectSuccess"), open);
        host_.WriteEngineSetting(QStringLiteral("Connected"), open);
    }
    host_.UpdateLitState();
}

void TCatEngine::Disconnect()
{
    lostPort_.clear();
    goOffline(OfflineStatus, Black, false);
}

void TCatEngine::goOffline(const QString &status, quint32 colour, bool bold)
{
    const TTcvrType &type = GetTcvrType();
    // Only an open port can carry the CAT-off command; writing it to a closed
    // one would just log a write error. A radio that never answers is not
    // waited for.
    if (!type.CatOffCommand.isEmpty() && IsConnected())
        link_.SendCommand(type.CatOffCommand, type.AnswersSetCommands ? type.ProbeReplyLength : 0);
    portLost_ = false;

    host_.CancelDigitalDisplayEdit();
    host_.StopScan();
    host_.StopSpectrograph();

    host_.EnableVfoKeys(true);
    host_.StopWatchdog();
    link_.CloseComPort();

    host_.SetPttDown(false);
    if (type.CommandSet == 1)
        host_.ShowSplitIndeterminate();

    host_.SetStatus(status, colour, bold);
    log_.CloseLogFile();
    host_.RefreshDigitalDisplay();
    host_.UpdateLitState();
}

void TCatEngine::failIntegrity()
{
    IntegrityMismatches = 0;
    MessedRestarts = 0;
    logLine(QStringLiteral("ERROR [E22]: Data integrity check failed."));
    host_.WriteEngineSetting(QStringLiteral("ConnectSuccess"), QStringLiteral("0"));
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

bool TCatEngine::takePortLoss()
{
    if (!portLost_)
        return false;
    portLost_ = false;
    const QString port = link_.Settings().Port;
    logLine(QStringLiteral("ERROR [E11]: Port %1 disappeared.").arg(port));
    goOffline(waitingStatus(), Red, true);
    lostPort_ = TCatLink::DevicePath(port);
    lostSince_ = clock_();
    lastReturnTry_ = lostSince_;
    return true;
}

QString TCatEngine::waitingStatus() const
{
    return QStringLiteral("Port %1 disappeared. Waiting for it to come back...").arg(link_.Settings().Port);
}

void TCatEngine::waitForPortReturn()
{
    const qint64 now = clock_();
    if (now - lostSince_ > PortReturnWaitMs) {
        host_.SetStatus(QStringLiteral("Port %1 disappeared. Click COM button to connect again.").arg(link_.Settings().Port),
                        Red, true);
        lostPort_.clear();
        return;
    }
    if (now - lastReturnTry_ < PortReturnTryMs || !QFileInfo::exists(lostPort_))
        return;
    lastReturnTry_ = now;
    const QString port = lostPort_;
    openAndStart(true);
    if (IsConnected()) {
        lostPort_.clear();
        return;
    }
    // Not ready yet (its permissions settling): try again until the minute is over.
    lostPort_ = port;
    host_.SetStatus(waitingStatus(), Red, true);
}

void TCatEngine::RestartCommunication(bool purge)
{
    const TTcvrType &type = GetTcvrType();
    if (!purge)
        MessedRestarts = 0;
    PollIndex = 0;
    UnconfirmedFrequency = -1;
    IntegrityCountdown = 5;
    IntegrityMismatches = 0;
    CommandQueue.Clear();
    AckLength = type.ProbeReplyLength;
    if (purge)
        link_.Drain();
    host_.SetPttDown(false);
    host_.SetSqlState(0);
    if (type.CommandSet == 1)
        host_.ShowSplitIndeterminate();
    host_.CancelDigitalDisplayEdit();
    if (!purge)
        InitialSync();
    logLine(QStringLiteral("CAT: Communication  (re)started."));
}

void TCatEngine::InitialSync()
{
    const TTcvrType &type = GetTcvrType();
    if (!type.CatOnCommand.isEmpty())
        QueueCommand(MakeCommand(type.CatOnCommand, QString()));
    if (host_.InitSynchronIndex() != 1)
        return;
    // With no mode key down there is no mode to tell the radio: sending the
    // fallback byte would switch it to CW.
    const QString mode = host_.CurrentMode();
    if (!mode.isEmpty())
        QueueCommand(MakeModeCommand(mode, type));
    QueueCommand(MakeFrequencyCommand(host_.ScaleFrequency(), type, CurrentVfo));
}

void TCatEngine::ConnectionWatchdogTmrTimer()
{
    host_.SetPttDown(false);
    host_.SetSqlState(0);
    host_.SetMeterValue(0);

    if (takePortLoss())
        return;
    if (WatchdogRetries >= 10) {
        host_.WriteEngineSetting(QStringLiteral("ConnectSuccess"), QStringLiteral("0"));
        // The reason goes to the log before the log is closed.
        logLine(QStringLiteral("ERROR [E21]: No communication with TCVR."));
        goOffline(QStringLiteral("No communication with TCVR [E21]. Click COM button to connect again."), Red, true);
        return;
    }
    ++WatchdogRetries;
    logLine(QStringLiteral("ERROR [E20]: No communication with TCVR. Retrying..."));
    RestartCommunication(true);
    if (takePortLoss())
        return;
    // A radio switched off and on meanwhile (the FT-847) ignores everything
    // until it gets CAT on again.
    const TTcvrType &type = GetTcvrType();
    if (!type.CatOnCommand.isEmpty())
        QueueCommand(MakeCommand(type.CatOnCommand, QString()));
    host_.SetStatus(QStringLiteral("No communication with TCVR [E20]. Retrying...[%1]").arg(11 - WatchdogRetries), Red,
                    false);
}
