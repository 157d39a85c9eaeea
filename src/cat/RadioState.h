#pragma once

#include "cat/TcvrTypes.h"

#include <QChar>
#include <QObject>
#include <QString>

#include <array>

// How far the link to the radio is.
enum class TLinkPhase { Offline, Opening, Checking, Connected, Retrying, WaitingForPort };

// The split state: the five-byte command set has no command to read it back,
// so after every (re)start it is not known until the operator sets it or the
// radio's memory tells it (the FT-817, FT-857 and FT-897).
enum TSplitState { SplitOff, SplitOn, SplitIndeterminate };

// The receive indicator: squelch closed, receiving, transmitting.
enum class TReceive { SquelchClosed = 0, Receiving = 1, Transmitting = 2 };

// Who keyed the transmitter through the program and has not let it go: the
// one whose going away sends transmit-off. A later keying takes over.
struct TPttHolder
{
    enum Kind { Nobody, Operator, Client, Script, Bus };
    Kind kind = Nobody;
    QString Id;          // the client's address, the script's key, the bus name
    bool operator==(const TPttHolder &other) const { return kind == other.kind && Id == other.Id; }
    // "the operator", "the client 127.0.0.1:51234", "the script PROG 2",
    // "the D-Bus client :1.42"; empty for nobody.
    QString Description() const;
};

// The meters of a transmission as last read (the FT-817's metering): power
// and ALC from 0 to 1, SWR as a ratio; negative while not read.
struct TTransmitReading
{
    double Power = -1;
    double Swr = -1;
    double Alc = -1;
    bool operator==(const TTransmitReading &other) const
    {
        return Power == other.Power && Swr == other.Swr && Alc == other.Alc;
    }
};

// The radio as the program knows it, in one place: the engine writes what the
// radio reports, the radio operations what they asked for, and the window,
// the adapters (rigctld, TCP, scripts, D-Bus, the scanner) read it here, never
// from a widget. User-interface thread only; every field announces its changes.
class TRadioState : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    TLinkPhase Link() const { return link_; }
    bool Connected() const { return link_ != TLinkPhase::Offline && link_ != TLinkPhase::Opening && link_ != TLinkPhase::WaitingForPort; }
    void SetLink(TLinkPhase phase);

    // The model the link talks to (the serial dialog's choice while off-line).
    const TTcvrType &Model() const { return model_; }
    void SetModel(const TTcvrType &model) { model_ = model; }

    qint32 Frequency() const { return frequency_; }
    void SetFrequency(qint32 frequency);
    QString Mode() const { return mode_; }
    void SetMode(const QString &mode);

    // What the radio last reported or was last asked (off while off-line).
    bool Ptt() const { return ptt_; }
    void SetPtt(bool on);
    // The holder outlives a lost link (a radio keyed when its link went is
    // released when the link comes back, unless the operator keyed it); it
    // is cleared when transmit-off is sent or a fresh reading finds the
    // transmitter off.
    const TPttHolder &PttHolder() const { return holder_; }
    void SetPttHolder(const TPttHolder &holder);

    TSplitState Split() const { return split_; }
    void SetSplit(TSplitState split);
    QChar Vfo() const { return vfo_; }
    void SetVfo(QChar vfo);
    // The VFO that transmits in split (the other VFO; the FT-847's satellite
    // transmit VFO) as last set or read: 0 and no mode while not known.
    qint32 SplitFrequency() const { return splitFrequency_; }
    QString SplitMode() const { return splitMode_; }
    // A frequency of 0 or an empty mode leaves that part as it is.
    void SetSplitVfo(qint32 frequency, const QString &mode);
    const TTransmitReading &TransmitReading() const { return transmitReading_; }
    void SetTransmitReading(const TTransmitReading &reading);

    TReceive Receive() const { return receive_; }
    void SetReceive(TReceive receive);
    // The meter's last reading in per cent (S-meter, or power while transmitting).
    int Meter() const { return meter_; }
    // Every reading counts (the needle averages them), also an unchanged one.
    void ReportMeter(int percent);
    // The mean of the last five readings, as the meter's needle shows it;
    // it starts from zero again when the link goes off-line.
    int MeterMean() const;
    // Receive-status readings taken after every command queued before them
    // had gone out: a scan step knows whether it has heard the radio on the
    // frequency it tuned to.
    quint32 ReceiveReadings() const { return receiveReadings_; }
    void CountReceiveReading() { ++receiveReadings_; }

signals:
    void LinkChanged(TLinkPhase phase);
    void FrequencyChanged(qint32 frequency);
    void ModeChanged(const QString &mode);
    void PttChanged(bool on);
    void PttHolderChanged(const TPttHolder &holder);
    void SplitChanged(TSplitState split);
    void VfoChanged(QChar vfo);
    void SplitVfoChanged(qint32 frequency, const QString &mode);
    void TransmitReadingChanged(const TTransmitReading &reading);
    void ReceiveChanged(TReceive receive);
    void MeterRead(int percent);

private:
    TLinkPhase link_ = TLinkPhase::Offline;
    TTcvrType model_ = TcvrTypes[0];
    qint32 frequency_ = 0;
    QString mode_;
    bool ptt_ = false;
    TPttHolder holder_;
    TSplitState split_ = SplitIndeterminate;
    QChar vfo_ = u'A';
    qint32 splitFrequency_ = 0;
    QString splitMode_;
    TTransmitReading transmitReading_;
    TReceive receive_ = TReceive::SquelchClosed;
    int meter_ = 0;
    std::array<int, 5> meterSamples_{};
    quint32 receiveReadings_ = 0;
};
