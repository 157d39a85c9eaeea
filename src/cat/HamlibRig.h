#pragma once

#include "cat/SerialLink.h"
#include "cat/TcvrTypes.h"

#include <QMap>
#include <QString>

struct s_rig;

// Hamlib's model number of its NET rigctl backend: a radio served by rigctld.
constexpr int HamlibNetworkModel = 2;

// One radio driven through librig, on one thread (the Hamlib transport's
// link thread; tests drive it directly). Every call may block for as long
// as Hamlib waits for the radio. It carries out the texts of command set 3
// (HamlibCommands.h) with what the radio has: a VFO toggle without Hamlib's
// toggle selects the other VFO, A=B without a copy writes the other VFO, and
// a read the radio cannot do is left out of later polls.
class THamlibRig
{
public:
    THamlibRig() = default;
    ~THamlibRig();
    THamlibRig(const THamlibRig &) = delete;
    THamlibRig &operator=(const THamlibRig &) = delete;

    // Opens settings.HamlibModel on settings.Port (a device, or HOST:PORT for
    // the network) at the speed and control lines of the settings. False
    // with the status-line text of the failure.
    bool Open(const TSerialSettings &settings, QString *failure);
    void Close();
    bool IsOpen() const { return rig_ != nullptr; }
    // After an I/O failure, opens again with the settings of the last open:
    // a far end that went away (rigctld stopped) may be back. False when it
    // is not.
    bool Reopen();

    // What the open radio can do (for NET rigctl: the far radio).
    TTcvrType Type() const;

    // Carries out one command text. Result 1 when the radio answered (a
    // refusal too), with the fields of a read; 2 when it did not answer. A
    // failure's status-line text goes into *failure.
    TTransfer Execute(const QString &command, QString *failure);

    // Hamlib's text for one of its error codes ("Communication timed out").
    static QString ErrorText(int code);
    // Whether an error code means that nothing came back from the radio.
    static bool IsSilence(int code);

private:
    int set(const QString &command);
    int read(const QString &what, QString *field);
    int toggleVfo();
    int copyVfo();
    int setTones(int txTone, int rxTone);
    int otherVfo(unsigned *vfo); // Hamlib's vfo_t

    s_rig *rig_ = nullptr;
    TSerialSettings settings_;
    // Reads the radio cannot do, and reads that timed out while the radio
    // answered others (two strikes leave a read out).
    QMap<QString, int> strikes_;
    bool answeredBefore_ = false;
    bool ioFailed_ = false;
    int txTone_ = -1; // the tones last set (-1: none since the open)
    int rxTone_ = -1;
};

// What a Hamlib radio can do, as a transceiver type of command set 3: its
// modes, ranges, VFO operations, split and S-meter. The rig may be open or
// only initialised (its model's own capabilities).
TTcvrType HamlibRigType(const s_rig &rig);
