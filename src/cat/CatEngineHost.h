#pragma once

#include <QString>
#include <QtGlobal>

// What the CAT engine reads from the window at the moment of use. Everything
// the engine has to say goes out as its signals and into the radio state.
class TCatEngineHost
{
public:
    virtual ~TCatEngineHost() = default;

    // The scale's frequency: a radio report far from it waits for the next
    // one before the scale follows, and the start-up sync sends it.
    virtual qint32 ScaleFrequency() const = 0;
    // The caption of the mode key that is down ("" when none).
    virtual QString CurrentMode() const = 0;
    // A frequency being typed into the digital display is not overwritten.
    virtual bool DigitalDisplayEditing() const = 0;
    // The serial dialog's model row, read whenever the model matters.
    virtual int SelectedTcvrIndex() const = 0;
};
