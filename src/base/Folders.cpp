#include "base/Folders.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

QString WithTrailingSlash(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith('/') || folder.endsWith('\\'))
        return folder;
    return folder + '/';
}

QString ProgramFolder()
{
    const QString overridden = qEnvironmentVariable("TARNWICK_PROGRAM_DIR");
    if (!overridden.isEmpty())
        return WithTrailingSlash(overridden);
    return WithTrailingSlash(QCoreApplication::applicationDirPath());
}

QString ExecutableBaseName()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString ApplicationTitle()
{
    return QStringLiteral("Tarnwick");
}

QString MajorVersionText()
{
    return QString::number(TARNWICK_VERSION_MAJOR);
}

QString FileVersionText()
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(TARNWICK_VERSION_MAJOR)
        .arg(TARNWICK_VERSION_MINOR)
        .arg(TARNWICK_VERSION_PATCH)
        .arg(TARNWICK_VERSION_TWEAK);
}

QString ApplicationKey()
{
    QString title = ApplicationTitle();
    title.remove(' ');
    return title + MajorVersionText();
}

QString MakeDataFolder(const QString &baseFolder, const QString &title, const QString &majorVersion)
{
    QString folder = WithTrailingSlash(baseFolder);
    if (majorVersion.isEmpty())
        return folder;
    QString compactTitle = title;
    compactTitle.remove(' ');
    return WithTrailingSlash(folder + "Orbelle/" + compactTitle + majorVersion);
}

QString DataFolder(bool allUsers)
{
    QString base;
    if (allUsers) {
        const QStringList shared = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
        base = shared.size() > 1 ? shared.at(1) : QStringLiteral("/usr/local/share");
    } else {
        base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    }
    return MakeDataFolder(base, ApplicationTitle(), MajorVersionText());
}

QString DesktopFolder()
{
    return WithTrailingSlash(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}
