#pragma once

// Signals on the emulated band: with any signal set, the S-meter reading
// depends on the tuned frequency, strongest at a signal's frequency and
// falling off in a straight line to nothing at WIDTH hertz from it. With a
// squelch level set, the squelch opens exactly while the reading is above it.

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class SignalBand
{
public:
    struct Signal
    {
        qint32 frequency = 0; // hertz
        int strength = 0;     // S-meter reading at the peak, in the radio's scale
        int width = DefaultWidth;
    };
    static constexpr int DefaultWidth = 1000;

    // "FREQ:S" or "FREQ:S:WIDTH"; false for anything else.
    static bool parse(const QString &text, Signal *signal);

    void add(const Signal &signal);          // replaces a signal at the same frequency
    bool remove(qint32 frequency);
    void clear() { signals_.clear(); }
    const QList<Signal> &all() const { return signals_; }

    // -1: the squelch is left as "set squelch" put it.
    int squelchLevel() const { return squelchLevel_; }
    void setSquelchLevel(int level) { squelchLevel_ = level; }

    // The reading at a frequency: the strongest signal there, never below
    // the background reading.
    int level(qint32 frequency, int background) const;
    // Applies the band to what the radio reports at a frequency.
    void apply(qint32 frequency, int *level, bool *squelchOpen) const;

    // "signal add FREQ:S[:WIDTH]", "signal remove FREQ", "signal clear",
    // "signal squelch N|off", "signal list": the answer line.
    QString control(const QStringList &words);

private:
    QList<Signal> signals_;
    int squelchLevel_ = -1;
};
