// What the scale, the keys, the wheel and the digital display ask of the
// radio. Each request is reported to the observer (tests watch it), then
// handed to the CAT command queue; while the link is off-line nothing is
// sent.

#include "app/Main.h"
#include "cat/CatEngine.h"
#include "cat/Radio.h"
#include "controls/RadioScale.h"

namespace {

QString originName(TTarnwickFrm::TuneOrigin origin)
{
    switch (origin) {
    case TTarnwickFrm::TuneOrigin::Drag: return QStringLiteral("drag");
    case TTarnwickFrm::TuneOrigin::Key: return QStringLiteral("key");
    case TTarnwickFrm::TuneOrigin::Wheel: return QStringLiteral("wheel");
    case TTarnwickFrm::TuneOrigin::TypedEntry: return QStringLiteral("entry");
    }
    return QString();
}

} // namespace

void TTarnwickFrm::SetRadioRequestObserver(RadioRequestObserver observer)
{
    radioRequestObserver = std::move(observer);
}

void TTarnwickFrm::ReportRadioRequest(const QString &request)
{
    if (radioRequestObserver)
        radioRequestObserver(request);
}

// Drag: the set-frequency command replacing a waiting one, then the
// follow-up after tuning. Key: set-frequency, watchdog restart, follow-up.
// Wheel and typed entry: the set-frequency command alone.
void TTarnwickFrm::QueueTuneCommands(qint32 frequency, TuneOrigin origin)
{
    ReportRadioRequest(QStringLiteral("tune %1 %2").arg(frequency).arg(originName(origin)));
    if (!IsConnected())
        return;
    const bool tonesOff = origin == TuneOrigin::Drag || origin == TuneOrigin::Key;
    TuneRadio(frequency, tonesOff);
    if (origin == TuneOrigin::Key)
        CatEngine->RestartWatchdog();
}

// Band switch: mode, frequency, mode, appended in that order.
void TTarnwickFrm::QueueBandModeCommand(const QString &mode)
{
    queueModeRequest(QStringLiteral("band mode "), mode);
}

void TTarnwickFrm::QueueBandFrequencyCommand(qint32 frequency)
{
    ReportRadioRequest(QStringLiteral("band frequency %1").arg(frequency));
    Radio->SetFrequency(frequency, TRadio::Queueing::Append);
}

// The radio's mode set by name, as a click on its mode key does.
void TTarnwickFrm::QueueModeChange(const QString &mode)
{
    queueModeRequest(QStringLiteral("mode "), mode);
}

void TTarnwickFrm::queueModeRequest(const QString &request, const QString &mode)
{
    ReportRadioRequest(request + mode);
    Radio->SetMode(mode, TRadio::Queueing::Append);
}

// Marker: its mode, frequency and tones, each replacing a waiting command.
void TTarnwickFrm::GoToMarker(int markerIdx)
{
    ReportRadioRequest(QStringLiteral("marker %1").arg(markerIdx));
    if (markerIdx < 0 || markerIdx >= RadioScale->Markers.size())
        return;
    GoToFqMarker(*RadioScale->Markers.at(markerIdx));
}
