// The window's end of the rigctld endpoint: what Hamlib programs read is what
// the window shows from its polling, what they set goes to the radio the way
// the window's own keys send it, and the listener follows the options.

#include "app/Main.h"
#include "app/Options.h"
#include "base/SystemQueries.h"
#include "cat/CatEngine.h"
#include "controls/MeterReadings.h"
#include "remote/RigctldServer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTimer>
#include <QToolButton>

class MainRigctldHost : public QObject, public TRigctldHost
{
public:
    explicit MainRigctldHost(TTarnwickFrm &window)
        : QObject(&window)
        , w(window)
    {
    }

    TRigctldRadio RigctldRadio() const override
    {
        TRigctldRadio radio;
        radio.Connected = w.IsConnected();
        radio.Type = w.GetTcvrType();
        radio.Frequency = w.ScaleFrequency();
        radio.Mode = w.CurrentMode();
        radio.Ptt = w.PttDown();
        const TSplitState split = w.GetSplitState(w.SplitBtn);
        radio.Split = split == SplitOn ? 1 : split == SplitOff ? 0 : -1;
        radio.Vfo = radio.Type.CommandSet == 2 ? w.CatEngine->CurrentVfo : w.RigctldVfo;
        // While transmitting the meter shows the power, not a signal.
        radio.MeterPercent = radio.Ptt || w.GetSqlState() == SqlTransmitting ? 0 : w.MeterReading;
        return radio;
    }
    void RigctldTune(qint32 frequency) override { w.TuneRadio(frequency, false); }
    void RigctldSetMode(const QString &mode) override
    {
        // As a click on the mode key does.
        w.PressModeKey(mode);
        w.ModeChanged(nullptr);
    }
    void RigctldSetPtt(bool on) override
    {
        w.PttBtn->setChecked(on);
        w.PttBtnClick();
    }
    void RigctldToggleVfo() override { w.ABBtn->click(); }
    void RigctldSetSplit(bool on) override
    {
        w.SplitBtn->setChecked(on);
        w.SplitBtnClick();
    }

private:
    TTarnwickFrm &w;
};

void TTarnwickFrm::setupRigctld()
{
    if (RigctldServer)
        return;
    rigctldHost = new MainRigctldHost(*this);
    RigctldServer = new TRigctldServer(*rigctldHost, this);
    RigctldServer->setObjectName(QStringLiteral("RigctldServer"));
    RigctldServer->SetLogger([this](const QString &text) { LogEvent(text); });
    connect(this, &TTarnwickFrm::PreferencesApplied, this, &TTarnwickFrm::ApplyRigctldOptions);
    connect(ABBtn, &QToolButton::clicked, this, &TTarnwickFrm::rigctldVfoToggled);
}

void TTarnwickFrm::rigctldVfoToggled()
{
    const TTcvrType &type = GetTcvrType();
    if (IsConnected() && type.CommandSet == 1 && type.HasVfoKeys)
        RigctldVfo = RigctldVfo == u'A' ? u'B' : u'A';
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
    if (IsConnected() && CatEngine->IntegrityCountdown > 0 && triesLeft > 0) {
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
