#pragma once

// The session bus starts the program when a client calls the Zov object
// while no instance runs, through an activation file in the user's data
// folder: ~/.local/share/dbus-1/services/org.orbelle.Tarnwick.service (or
// under $XDG_DATA_HOME). "/REGSERVER" writes it, "/UNREGSERVER" removes it,
// and every normal start brings it up to date.

#include <QString>

QString ZovActivationFilePath();
// "[D-BUS Service]", the name, and the executable on the Exec line (quoted
// for the bus's shell-like reading when it holds anything but plain path
// characters, backslashes doubled as the file format wants).
QString ZovActivationFileText(const QString &Executable);

// Each returns an empty text on success, else what went wrong. Registering
// leaves a file that already says the same untouched; unregistering a file
// that does not exist succeeds.
QString RegisterZovActivation(const QString &Executable);
QString UnregisterZovActivation();
