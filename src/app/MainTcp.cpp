// The main window's side of the TCP command server and the companion
// programs: the endpoints from the preferences, the bind failure message, the
// close question, and what the server reads and changes in the window.

#include "app/Main.h"

#include "app/Options.h"
#include "base/Folders.h"
#include "base/MessageBoxes.h"
#include "base/Widgets.h"
#include "cat/CatEngine.h"
#include "cat/CatLog.h"
#include "controls/RadioScale.h"
#include "data/FqMarkerOps.h"
#include "remote/CompanionPrograms.h"
#include "remote/TcpServer.h"
#include "remote/TcpServerHost.h"

#include <QComboBox>
#include <QTimer>

// What the server reads and changes in the window, on the window's thread.
class MainTcpHost : public QObject, public TTcpServerHost
{
public:
    explicit MainTcpHost(TTarnwickFrm &window)
        : QObject(&window)
        , w(window)
    {
    }

    TTcpWindowState TcpWindowState() const override
    {
        TTcpWindowState state;
        state.Frequency = w.RadioScale->Frequency();
        state.Mode = w.CurrentMode();
        state.ScaleBegin = w.RadioScale->ScaleBegin();
        state.ScaleEnd = w.RadioScale->ScaleEnd();
        state.Connected = w.IsConnected();
        state.Closing = w.DisconnectAndTerminateTmr->isActive();
        state.VisibleGroups = w.RadioScale->VisibleGroups;
        return state;
    }
    QString ModeAt(qint32 Frequency) const override { return w.RadioScale->ModeAt(Frequency); }
    void AddOrReplaceMarker(const TFqMarker &Marker, bool Redraw) override
    {
        w.FqMarkers->AddOrReplaceMarker(Marker, Redraw);
    }
    void DeleteMarkersWithAttribute(const QString &Group, bool Redraw) override
    {
        w.FqMarkers->DeleteMarkersWithAttribute(Group, Redraw);
    }
    void SetVisibleGroups(const QStringList &Groups) override { w.FqMarkers->SetVisibleGroups(Groups); }
    void PlaceTuneRequest(const TFqMarker &Request) override
    {
        w.CatEngine->PlaceTuneRequest({Request.Frequency, Request.Mode, Request.Caption});
    }

private:
    TTarnwickFrm &w;
};

namespace {

const QString CloseQuestion = QStringLiteral("One or more TCP/IP clients connected to Zov.\n\nTerminate anyway?");

QString bindFailureMessage(const QString &address, const QString &port)
{
    return QStringLiteral("Can't use the specified IP address (") + address + QStringLiteral(") and port (") + port
        + QStringLiteral(")\n") + QStringLiteral("It is either occupied by another software or there are more \n")
        + QStringLiteral("Zov instances running concurrently.\n\n")
        + QStringLiteral("Any clients (if any) will not be able to connect to Zov.\n\n")
        + QStringLiteral("Try to change IP address or port.");
}

// A port box's text as a whole number, else the endpoint's default.
int portOf(const QComboBox *box, int defaultPort)
{
    bool number = false;
    const int port = box->currentText().toInt(&number);
    return number ? port : defaultPort;
}

} // namespace

void TTarnwickFrm::SetupTcp()
{
    tcpHost = new MainTcpHost(*this);
    TcpServer = std::make_unique<TTcpServer>(*tcpHost, [log = CatLog.get()](const QString &line) {
        log->LogEvent(line);
    });
}

void TTarnwickFrm::StartTcpServer()
{
    struct Endpoint
    {
        QComboBox *address;
        QComboBox *port;
        int defaultPort;
    };
    const Endpoint endpoints[] = {{OptionsFrm->IpAddressCBx, OptionsFrm->PortCBx, 7388},
                                  {OptionsFrm->IpAddress2CBx, OptionsFrm->Port2CBx, 7389},
                                  {OptionsFrm->IpAddress3CBx, OptionsFrm->Port3CBx, 7390}};
    // Tests, and a second copy beside a running one, let the system choose
    // free ports.
    const bool anyPort = qEnvironmentVariableIsSet("TARNWICK_TCP_ANY_PORT");
    QList<TTcpBinding> bindings;
    for (const Endpoint &endpoint : endpoints)
        bindings.append({endpoint.address->currentText().trimmed(), anyPort ? 0 : portOf(endpoint.port, endpoint.defaultPort)});

    const TTcpServer::TStartResult result = TcpServer->Start(bindings);
    if (result.Ok())
        return;
    const Endpoint &failed = endpoints[result.FailedBinding];
    LogEvent(QStringLiteral("TCPIP: Can't listen on %1 port %2: %3")
                 .arg(bindings.at(result.FailedBinding).Address)
                 .arg(bindings.at(result.FailedBinding).Port)
                 .arg(result.Error));
    ShowInformation(this, bindFailureMessage(failed.address->currentText(), failed.port->currentText()));
}

void TTarnwickFrm::StartClientPrograms()
{
    const QString folder = ProgramFolder();
    HeronpostProcess =
        StartCompanionProgram(HeronpostProgram, folder, OptionsFrm->HeronpostRdo->ItemIndex(), HeronpostProcess);
    LinkmoorProcess =
        StartCompanionProgram(LinkmoorProgram, folder, OptionsFrm->LinkmoorRdo->ItemIndex(), LinkmoorProcess);
}

void TTarnwickFrm::CloseHeronpost()
{
    CloseCompanionProgram(HeronpostProcess, CompanionCloseWaitMs);
    HeronpostProcess = {};
}

void TTarnwickFrm::PublishTcpState()
{
    if (TcpServer && TcpServer->IsActive())
        TcpServer->PublishState();
}

void TTarnwickFrm::CloseForShutdown()
{
    closingForShutdown = true;
    // The script runs inside its key's click, further down this thread's
    // stack: it is asked to stop, and the close is tried again once the
    // click has returned.
    if (ScriptRunning()) {
        StopScript();
        QTimer::singleShot(ShutdownRetryMs, this, [this] { CloseForShutdown(); });
        return;
    }
    close();
}

bool TTarnwickFrm::TcpCloseQuery()
{
    CloseHeronpost();
    if (closingForShutdown || TcpServer->ClientCount() == 0 || DisconnectAndTerminateTmr->isActive())
        return true;
    if (AskConfirmation(this, CloseQuestion)) {
        DisconnectAndTerminateTmr->start();
        SetStatus(QStringLiteral("Disconnecting clients..."), 0, true);
    }
    return false;
}

void TTarnwickFrm::ApplyTcpPreferences()
{
    // Heronpost is started anew for the new endpoints, unless the page now
    // says to leave it alone.
    if (OptionsFrm->HeronpostRdo->ItemIndex() != DontStartCompanion)
        CloseHeronpost();
    StartTcpServer();
    StartClientPrograms();
}

void TTarnwickFrm::StopTcpServer()
{
    DisconnectAndTerminateTmr->stop();
    TcpServer->Stop();
    // "Start/close LKR automatically": the Linkmoor started here goes too.
    CloseCompanionProgram(LinkmoorProcess, 0);
    LinkmoorProcess = {};
}
