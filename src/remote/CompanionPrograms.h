#pragma once

// The companion programs Heronpost and Linkmoor: found in the program
// folder, started with the main window as the preferences ask, and closed
// again.

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

// Starts one companion program as Choice asks. Nothing happens (CurrentId
// is returned) when its file does not exist or it runs already; otherwise
// the result is the id of the process started, 0 when Choice starts nothing
// or the start failed.
qint64 StartCompanionProgram(const TCompanionProgram &Program, const QString &Folder, int Choice, qint64 CurrentId);

// Asks a companion program started by this window to close, when the
// process ProcessId still runs the executable at Path (an id that has been
// given to another program since is left alone), and waits until it has
// ended, at most TimeoutMs.
void CloseCompanionProgram(qint64 ProcessId, const QString &Path, int TimeoutMs);
