#include "remote/DBusActivation.h"

#include "data/DataFile.h"
#include "remote/ZovDBus.h"

#include <QDir>
#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

bool plainPathCharacter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || QStringLiteral("/._-+,=:@%").contains(c);
}

// The bus reads the Exec line as a shell would: a path with blanks or quotes
// goes in single quotes, a quote in it as '\''. The file itself is a desktop
// file, where a backslash is written "\\".
QString execValue(const QString &Executable)
{
    QString value = Executable;
    if (value.isEmpty() || !std::all_of(value.begin(), value.end(), plainPathCharacter)) {
        value.replace(QLatin1String("'"), QLatin1String("'\\''"));
        value = QLatin1Char('\'') + value + QLatin1Char('\'');
    }
    value.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    return value;
}

} // namespace

QString ZovActivationFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/dbus-1/services/") + ZovDBus::Service + QStringLiteral(".service");
}

QString ZovActivationFileText(const QString &Executable)
{
    return QStringLiteral("[D-BUS Service]\nName=") + ZovDBus::Service + QStringLiteral("\nExec=")
        + execValue(Executable) + QLatin1Char('\n');
}

QString RegisterZovActivation(const QString &Executable)
{
    const QString path = ZovActivationFilePath();
    const QByteArray bytes = ZovActivationFileText(Executable).toUtf8();
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
        return QString();
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return QStringLiteral("Cannot create the folder of \"") + path + QStringLiteral("\"");
    const QString error = WriteWholeFile(path, bytes);
    if (!error.isEmpty())
        return QStringLiteral("Cannot write \"") + path + QStringLiteral("\": ") + error;
    return QString();
}

QString UnregisterZovActivation()
{
    const QString path = ZovActivationFilePath();
    QFile file(path);
    if (!file.exists() || file.remove())
        return QString();
    return QStringLiteral("Cannot remove \"") + path + QStringLiteral("\": ") + file.errorString();
}
