// The window's end of the rigctld endpoint: what Hamlib programs read is the
// radio state (read from the radio first where a read needs it), what they
// set goes to the radio the way the window's own keys send it, and the
// listener follows the options.

#include "app/Main.h"
#include "app/Options.h"
#include "base/SystemQueries.h"
#include "cat/Radio.h"
#include "remote/RigctldServer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTimer>
#include <QToolButton>

// Reads the radio state and acts through the radio operations: never a widget.
class MainRigctldHost : public QObject, public TRigctldHost
{
public:
    MainRigctldHost(TTarnwickFrm &window, TRadio &radio)
        : QObject(&window)
        , w(window)
        , radio_(radio)
    {
    }

    TRigctldRadio RigctldRadio() const override
    {
        const TRadioState &state = radio_.State();
        TRigctldRadio radio;
        radio.Connected = radio_.IsConnected();
        radio.Type = radio_.Model();
        radio.Frequency = state.Frequency();
        radio.Mode = state.Mode();
        radio.Ptt = state.Ptt();
        radio.Split = state.Split() == SplitOn ? 1 : state.Split() == SplitOff ? 0 : -1;
        radio.Vfo = state.Vfo();
        // While transmitting the meter shows the power, not a signal.
        radio.MeterPercent = radio.Ptt || state.Receive() == TReceive::Transmitting ? 0 : state.Meter();
        radio.SplitFrequency = state.SplitFrequency();
        radio.SplitMode = state.SplitMode();
        radio.Transmit = radio_.TransmitMeters();
        return radio;
    }
    void RigctldRefresh(TRigctldRead what, std::function<void()> done) override
    {
        if (radio_.IsConnected()) {
            // The VFO is answered from the radio's memory: no need to wait for
            // a frequency reading as well.
            if (what == TRigctldRead::Vfo)
                return radio_.ReadVfo(std::move(done));
            if (what == TRigctldRead::SplitVfo)
                radio_.ReadSplitVfo();
            else if (what == TRigctldRead::TransmitMeters)
                radio_.ReadTransmitMeters();
        }
        radio_.AfterChanges(std::move(done));
    }
    // A client's commands are appended: each reaches the radio, in order.
    void RigctldTune(qint32 frequency) override { w.TuneRadio(frequency, false, TRadio::Queueing::Append); }
    void RigctldSetMode(const QString &mode) override
    {
        // As a click on the mode key does.
        w.PressModeKey(mode);
        w.ModeChanged(nullptr);
    }
    // The client holds the transmitter by its connection.
    void RigctldSetPtt(bool on) override
    {
        radio_.SetPtt(on, {TPttHolder::Client, w.RigctldServer->ServingClient()});
    }
    void RigctldToggleVfo() override { radio_.ToggleVfo(); }
    void RigctldCopyVfo() override { radio_.AlignVfos(radio_.State().Frequency(), radio_.State().Mode()); }
    void RigctldSetSplit(bool on) override { radio_.SetSplit(on); }
    bool RigctldSetSplitFrequency(qint32 frequency) override { return radio_.SetSplitFrequency(frequency); }
    bool RigctldSetSplitMode(const QString &mode) override { return radio_.SetSplitMode(mode); }

private:
    TTarnwickFrm &w;
    TRadio &radio_;
};

void TTarnwickFrm::setupRigctld()
{
    if (RigctldServer)
        return;
    rigctldHost = new MainRigctldHost(*this, *Radio);
    RigctldServer = new TRigctldServer(*rigctldHost, this);
    RigctldServer->setObjectName(QStringLiteral("RigctldServer"));
    RigctldServer->SetLogger([this](const QString &text) { LogEvent(text); });
    connect(RigctldServer, &TRigctldServer::ClientGone, this, [this](const QString &peer) {
        Radio->ReleasePtt({TPttHolder::Client, peer}, QStringLiteral("PTT released: the client %1 went away.").arg(peer));
    });
    connect(this, &TTarnwickFrm::PreferencesApplied, this, &TTarnwickFrm::ApplyRigctldOptions);
}

void TTarnwickFrm::ApplyRigctldOptions()
{
    setupRigctld();
    if (!OptionsFrm->RigctldChk->isChecked()) {
        RigctldServer->Close();
        return;
    }
    QString address = OptionsFrm->RigctldAddressCBx->currentText().trimmed();
    const QString endpoint = (address.contains(u':') ? u'[' + address + u']' : address) + u':'
                             + OptionsFrm->RigctldPortCBx->currentText().trimmed();
    quint16 port = 0;
    if (!SplitEndpoint(endpoint, &address, &port)) {
        RigctldServer->Close();
        reportRigctldFailure(QStringLiteral("Can't listen for rigctld clients on %1: not an IP address and port.")
                                 .arg(endpoint),
                             0);
        return;
    }
    const QHostAddress host(address == QLatin1String("localhost") ? QStringLiteral("127.0.0.1") : address);
    // Clients stay connected when nothing changed.
    if (RigctldServer->IsListening() && RigctldServer->Address() == host && RigctldServer->Port() == port)
        return;
    if (!RigctldServer->Listen(host, port))
        reportRigctldFailure(QStringLiteral("Can't listen for rigctld clients on %1: %2")
                                 .arg(TRigctldServer::EndpointText(host, port), RigctldServer->ErrorText()),
                             25);
}

void TTarnwickFrm::reportRigctldFailure(const QString &text, int triesLeft)
{
    // The link's own messages while it checks a new connection would replace
    // this one at once: it waits for them (at most five seconds).
    const TLinkPhase link = Radio->State().Link();
    if ((link == TLinkPhase::Opening || link == TLinkPhase::Checking) && triesLeft > 0) {
        QTimer::singleShot(200, this, [this, text, triesLeft] {
            if (!RigctldServer->IsListening())
                reportRigctldFailure(text, triesLeft - 1);
        });
        return;
    }
    SetStatus(text, 0x0000FF, true);
}

void TTarnwickFrm::StopRigctld()
{
    if (RigctldServer)
        RigctldServer->Close();
}

void TTarnwickFrm::SetCommandLineRigctld(const RigctldEndpoint &endpoint)
{
    if (!endpoint.Given)
        return;
    OptionsFrm->RigctldChk->setChecked(true);
    OptionsFrm->RigctldAddressCBx->setCurrentText(endpoint.Address);
    OptionsFrm->RigctldPortCBx->setCurrentText(QString::number(endpoint.Port));
    if (ActivatedOnce)
        ApplyRigctldOptions();
}
