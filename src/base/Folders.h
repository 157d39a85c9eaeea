#pragma once

#include <QString>

// Where the program and its files live. Folder results always end with "/".

// Folder of the running executable. TARNWICK_PROGRAM_DIR, when set, replaces it
// (tests and portable installs point it at a folder of their own).
QString ProgramFolder();

// File name of the running executable without folder and extension.
QString ExecutableBaseName();

// The application-data folder + "Orbelle/" + title without spaces + major
// version + "/". Not created here: writers create what they need.
QString DataFolder(bool allUsers = false);

// The pure rule behind DataFolder, so that it can be checked for any title.
QString MakeDataFolder(const QString &baseFolder, const QString &title, const QString &majorVersion);

// The user's desktop folder.
QString DesktopFolder();

// Appends "/" unless the text is empty or already ends with a separator.
QString WithTrailingSlash(const QString &folder);

// "major.minor.release.build" of this program (compiled in from the build).
QString FileVersionText();
// Major version number in decimal ("1").
QString MajorVersionText();

// The application's title and its settings key ("Tarnwick", "Tarnwick1").
QString ApplicationTitle();
QString ApplicationKey();
