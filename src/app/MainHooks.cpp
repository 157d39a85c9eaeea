// The main window's connections to the CAT link and to the band and mode
// keys. The CAT engine, the band plan and the radio operations take these
// over; until then the program runs off-line and says so.

#include "app/Main.h"

bool TTarnwickFrm::IsConnected() const
{
    return false;
}

void TTarnwickFrm::Connect()
{
    SetStatus(QStringLiteral("The CAT link is not available in this build. Off-line mode."));
}

void TTarnwickFrm::Disconnect()
{
}

bool TTarnwickFrm::AdvancedSerialOptionsChecked() const
{
    return false;
}

void TTarnwickFrm::LogEvent(const QString &text)
{
    Q_UNUSED(text);
}

void TTarnwickFrm::MainTmrTimer()
{
}

void TTarnwickFrm::ModeChanged(QObject *sender)
{
    Q_UNUSED(sender);
}
