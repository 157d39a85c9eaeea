// The connect and disconnect sequences, restarts, the start-up commands, the
// command queue's entry points and the connection watchdog.

#include "cat/CatEngine.h"

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

    if (host_.SaveLogChecked())
        log_.OpenLogFile(host_.LogHeader());
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
        host_.SetStatus(QStringLiteral("Data integrity check..."), Black, false);
    }

    const QString open = boolText(IsConnected());
    host_.WriteEngineSetting(QStringLiteral("ConnectSuccess"), open);
    host_.WriteEngineSetting(QStringLiteral("Connected"), open);
    host_.UpdateLitState();
}

void TCatEngine::Disconnect()
{
    const TTcvrType &type = GetTcvrType();
    // Only an open port can carry the CAT-off command; writing it to a closed
    // one would just log a write error.
    if (!type.CatOffCommand.isEmpty() && IsConnected())
        link_.SendCommand(type.CatOffCommand, type.ProbeReplyLength);

    host_.CancelDigitalDisplayEdit();
    host_.StopScan();
    host_.StopSpectrograph();

    host_.EnableVfoKeys(true);
    host_.StopWatchdog();
    link_.CloseComPort();

    host_.SetPttDown(false);
    if (type.CommandSet == 1)
        host_.ShowSplitIndeterminate();

    host_.SetStatus(OfflineStatus, Black, false);
    log_.CloseLogFile();
    host_.RefreshDigitalDisplay();
    host_.UpdateLitState();
}

void TCatEngine::RestartCommunication(bool purge)
{
    const TTcvrType &type = GetTcvrType();
    PollIndex = 0;
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

    if (WatchdogRetries >= 10) {
        host_.WriteEngineSetting(QStringLiteral("ConnectSuccess"), QStringLiteral("0"));
        Disconnect(); // also updates the lit state and the digital display
        logLine(QStringLiteral("ERROR [E21]: No communication with TCVR."));
        host_.SetStatus(QStringLiteral("No communication with TCVR [E21]. Click COM button to connect again."), Red, true);
        return;
    }
    ++WatchdogRetries;
    logLine(QStringLiteral("ERROR [E20]: No communication with TCVR. Retrying..."));
    RestartCommunication(true);
    host_.SetStatus(QStringLiteral("No communication with TCVR [E20]. Retrying...[%1]").arg(11 - WatchdogRetries), Red,
                    false);
}
