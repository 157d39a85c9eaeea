#pragma once

#include "cat/RadioState.h"

#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class TCatEngine;
struct TTcvrCommand;

// The operations that change the transceiver, for every part of the program
// (window keys, scale, scripts, D-Bus, rigctld and TCP clients, scanner):
// each turns into the model's commands and goes through the engine's command
// queue (the FT-847's VFO copies as one direct sequence), and what the radio
// cannot report back (split, the VFO of the five-byte set) is written to the
// radio state at once. Nothing here knows a widget.
class TRadio
{
public:
    explicit TRadio(TCatEngine &engine);

    TRadioState &State();
    const TRadioState &State() const;
    bool IsConnected() const;
    const TTcvrType &Model() const;

    // How a command joins the queue: appended, or in the place of a waiting
    // command of its kind (a burst of tuning steps leaves only the newest).
    enum class Queueing { Append, Replace };

    // Tunes the radio when connected; tonesOff cancels a marker's tones after it.
    void SetFrequency(qint32 frequency, Queueing queueing, bool tonesOff = false);
    // Sets the radio's mode when connected (a name outside ModeNames is not
    // sent; a mode the radio lacks is refused with a message).
    void SetMode(const QString &mode, Queueing queueing);
    // Transmit on or off, queued even off-line (the next connect empties the
    // queue); the holder is who keyed it and holds it from now on, and any
    // transmit-off leaves nobody holding it.
    void SetPtt(bool on, const TPttHolder &holder = {TPttHolder::Operator, {}});
    // The holder went away (a connection closed, a script stopped or failed,
    // a bus name gone): while it still holds the transmitter, transmit-off
    // goes out ahead of everything queued and why is shown and logged.
    // False when somebody else (or nobody) holds it.
    bool ReleasePtt(const TPttHolder &holder, const QString &why);
    // VFO A/B; the FT-847 exchanges its main and satellite VFOs instead.
    void ToggleVfo();
    // Makes the other VFO equal to the current one (frequency, mode).
    void AlignVfos(qint32 frequency, const QString &mode);
    // Split on or off; false when it was refused (off-line while not known).
    bool SetSplit(bool on);
    // The VFO that transmits in split (the other VFO; the FT-847's satellite
    // transmit VFO); false when the model has no way to set it. The radio
    // state shows the request at once.
    bool SetSplitFrequency(qint32 frequency);
    bool SetSplitMode(const QString &mode);
    // Reads that VFO's frequency and mode into the radio state; false when
    // the model cannot (command set 2) or must not now: the FT-817, FT-857
    // and FT-897 read it by changing VFOs, which would move a transmission.
    bool ReadSplitVfo();
    // Reads the VFO in use (and split) where the radio keeps it readable;
    // done runs once the radio state shows what was read.
    void ReadVfo(std::function<void()> done = {});
    // The meters of a transmission: read from the radio where it needs a
    // command of its own (the FT-817), else what the poll reports.
    void ReadTransmitMeters();
    TTransmitReading TransmitMeters() const;
    // done runs once the radio state shows what the radio holds after
    // everything asked of it so far (a reading taken after the last
    // command): at once when nothing was asked since, or while off-line.
    void AfterChanges(std::function<void()> done);
    // CTCSS tones in tenths of a hertz, 0 for none; the five-byte set only.
    void SetTones(int rxTone, int txTone);
    void TonesOff();
    // A marker's mode, frequency and tones, each replacing a waiting one;
    // when connected only. A missing mode or a frequency out of range is
    // not sent. A scan stepping from marker to marker sends only what
    // changes (onlyChanges): every command it saves leaves room for a
    // reading of the squelch.
    void GoTo(qint32 frequency, const QString &mode, int rxTone, int txTone, bool onlyChanges = false);

    // While a hold lives, the radio's frequency reports leave the scale
    // alone (a drag, a scan).
    class TuningHold
    {
    public:
        explicit TuningHold(TCatEngine &engine);
        ~TuningHold();
        TuningHold(const TuningHold &) = delete;
        TuningHold &operator=(const TuningHold &) = delete;

    private:
        // The engine may go first (a hold kept by an object that the window
        // destroys after it): then there is nothing to give back.
        QPointer<TCatEngine> engine_;
    };
    std::unique_ptr<TuningHold> HoldTuning();

private:
    void queue(std::unique_ptr<TTcvrCommand> command, Queueing queueing);
    void swapSatelliteVfos();
    void alignSatelliteVfos();

    TCatEngine &engine_;
    // The tones last sent (-1: none sent yet).
    int rxTone_ = -1;
    int txTone_ = -1;
};
