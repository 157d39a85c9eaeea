#pragma once

// The companion programs Heronpost and Linkmoor: found in the program
// folder, started with the main window as the preferences ask, and closed
// again.

#include "base/SystemQueries.h"

#include <QString>

struct TCompanionProgram
{
    const char *Name;        // executable name without ".exe"
    const char *WindowClass; // class of its main window (Windows)
};

inline constexpr TCompanionProgram HeronpostProgram{"Heronpost", "THeronpostFrm"};
inline constexpr TCompanionProgram LinkmoorProgram{"Linkmoor", "TLinkmoorFrm"};

// The choices of the preferences' radio groups.
enum TCompanionChoice { DontStartCompanion = 0, StartCompanion = 1, StartCompanionMinimized = 2 };

// The executable in Folder (which ends with "/"): "Heronpost.exe" on
// Windows, "Heronpost" elsewhere.
QString CompanionPath(const QString &Folder, const TCompanionProgram &Program);

// The command line of a choice: the path in quotes (a folder may hold
// blanks), followed by " -m" for the minimised start; empty for
// DontStartCompanion.
QString CompanionCommandLine(const QString &Path, int Choice);

// Starts one companion program as Choice asks and returns the process that
// is the window's own from then on. The one started before (Current) is kept
// while it runs, and nothing is started while another copy of the program
// runs or its file does not exist. DontStartCompanion leaves a running one
// alone and lets go of it: it is no longer closed with the window.
StartedProcess StartCompanionProgram(const TCompanionProgram &Program, const QString &Folder, int Choice,
                                     const StartedProcess &Current);

// Asks a companion program started by this window to close when that very
// process still runs (an id given to another process since is left alone),
// and waits until it has ended, at most TimeoutMs.
void CloseCompanionProgram(const StartedProcess &Process, int TimeoutMs);
