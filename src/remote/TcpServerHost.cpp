#include "remote/TcpServerHost.h"

#include "cat/CatEngine.h"

QString TcpDefaultMode()
{
    return QStringLiteral("CW   ");
}

namespace {

// The named mode, else the mode segment's, else the padded default (which
// presses no mode key).
QString modeFor(const QString &Named, qint32 Frequency, const TTcpServerHost &Host)
{
    if (!Named.isEmpty())
        return Named;
    const QString segment = Host.ModeAt(Frequency);
    return segment.isEmpty() ? TcpDefaultMode() : segment;
}

} // namespace

QString ApplyTcpRequest(const TTcpRequest &Request, TTcpServerHost &Host)
{
    switch (Request.Command) {
    case TTcpCommand::UM: {
        // The scale rounds the frequency to its step as it takes the marker.
        const TTcpWindowState state = Host.TcpWindowState();
        TFqMarker marker;
        marker.Frequency = state.Frequency;
        marker.Caption = Request.Caption;
        marker.Mode = state.Mode;
        marker.Highlighted = Request.Highlighted;
        Host.AddOrReplaceMarker(marker, Request.Redraw);
        break;
    }
    case TTcpCommand::FM: {
        TFqMarker marker;
        marker.Caption = Request.Caption;
        marker.Frequency = Request.Frequency;
        marker.Mode = modeFor(Request.Mode, Request.Frequency, Host);
        marker.Highlighted = Request.Highlighted;
        marker.Attributes = Request.Group;
        marker.Remark = Request.Remark;
        Host.AddOrReplaceMarker(marker, Request.Redraw);
        break;
    }
    case TTcpCommand::DM:
        Host.DeleteMarkersWithAttribute(Request.Group, Request.Redraw);
        break;
    case TTcpCommand::SM:
        Host.SetVisibleGroups(Request.Groups);
        break;
    case TTcpCommand::TT: {
        if (Request.Frequency < TCatEngine::LowestRadioHz || Request.Frequency > TCatEngine::HighestRadioHz)
            return QStringLiteral("TCPIP: Tune request refused: %1 Hz is not within 100 kHz ... 500 MHz.")
                .arg(Request.Frequency);
        TFqMarker tune;
        tune.Frequency = Request.Frequency;
        tune.Mode = modeFor(Request.Mode, Request.Frequency, Host);
        tune.Caption = Request.Caption;
        Host.PlaceTuneRequest(tune);
        break;
    }
    default:
        break;
    }
    return QString();
}
