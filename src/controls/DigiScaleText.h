#pragma once

// What the main window's digital frequency display shows for a frequency, and
// how a typed entry becomes a frequency again. No widgets here: the window
// calls these and only moves the results onto its controls, e.g.
//
//   UpdateDigiDisplay: r = digiScaleReading(scale frequency, current mode,
//       IsConnected(), ShowAlwaysKhzChk ticked); unless r.keepUnit
//       SetFreqUnit(r.unit); DigiScale->SetAsString(r.text)
//   DigiScaleEditEnd: e = parseDigiScaleEntry(DigiScale->AsString(),
//       GetFreqUnit()); e.accepted() ? tune to e.frequency
//       : show e.errorText() for 500 ms

#include <QString>
#include <QtGlobal>

// Unit of the digital display as the two unit labels show it.
enum DigiScaleUnit : int {
    DigiUnitNone = 0, // both labels dark (off-line)
    DigiUnitKhz = 1,
    DigiUnitMhz = 2,
};

// Font colours of the unit labels (blue-green-red).
constexpr quint32 UnitLabelLitBgr = 0x35FF35;
constexpr quint32 UnitLabelDarkBgr = 0x444444;

struct UnitLabelColours
{
    quint32 khz = UnitLabelDarkBgr;
    quint32 mhz = UnitLabelDarkBgr;
};

// Label colours for a unit (anything but kHz or MHz darkens both).
UnitLabelColours unitLabelColours(int unit);
// The unit that lit labels stand for: MHz wins, then kHz, else none.
int unitFromLabelColours(quint32 khzBgr, quint32 mhzBgr);

// The text and unit for one frequency.
struct DigiScaleReading
{
    QString text;
    int unit = DigiUnitNone;
    bool keepUnit = false; // "Error Lo" / "Error Hi": the labels stay as they are
};

// Resolution by mode: WFM 100 kHz in MHz; FM and AM whole kHz below 100 MHz,
// kHz steps in MHz above; every other mode 10 Hz in kHz. showAlwaysKhz forces
// the last rule. Off-line the display is empty and both units dark.
DigiScaleReading digiScaleReading(qint32 frequency, const QString &mode, bool connected,
                                  bool showAlwaysKhz);

// The outcome of an accepted entry.
struct DigiScaleEntry
{
    enum Outcome { Accepted, TooLow, TooHigh };
    Outcome outcome = TooLow;
    qint32 frequency = 0; // hertz, when Accepted

    bool accepted() const { return outcome == Accepted; }
    // "Error Lo" or "Error Hi", empty when accepted.
    QString errorText() const;
};

// Lowest and highest frequency an entry may tune to (the scale's outer limit).
constexpr qint32 DigiEntryLowestHz = 100000;
constexpr qint32 DigiEntryHighestHz = 500000000;

// Reads the display's text with "." as decimal separator whatever the locale,
// in kHz (or MHz when unit is DigiUnitMhz), and checks it: kHz 100 to 500000,
// MHz 1 to 500, compared after rounding to a whole number; the resulting
// frequency must also lie within DigiEntryLowestHz..DigiEntryHighestHz.
// An empty or unreadable text is too low.
DigiScaleEntry parseDigiScaleEntry(const QString &text, int unit);
