#include "base/Settings.h"

#include "base/Folders.h"
#include "base/SettingValues.h"

#include <QSettings>

namespace {

constexpr int MaxTextLength = 255;

QString groupName(SettingsGroup group)
{
    return group == SettingsGroup::Common ? QStringLiteral("Common") : QStringLiteral("Default");
}

// "/" and "\" separate groups inside QSettings; sticky keys may contain both,
// so they (and the escape character itself) are stored percent-encoded.
QString storedKey(const QString &valueName)
{
    QString key = valueName.left(MaxTextLength);
    key.replace('%', QStringLiteral("%25"));
    key.replace('/', QStringLiteral("%2F"));
    key.replace('\\', QStringLiteral("%5C"));
    return key;
}

SettingsWriteObserver &writeObserver()
{
    static SettingsWriteObserver observer;
    return observer;
}

// Every operation opens the store anew, so no handle is shared or cached.
QSettings openStore()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Orbelle"), ApplicationKey());
}

} // namespace

QString SettingValueName(const QString &name)
{
    QString prefix = ApplicationTitle();
    prefix.remove(' ');
    return prefix + '.' + name;
}

void SetSettingsWriteObserver(SettingsWriteObserver observer)
{
    writeObserver() = std::move(observer);
}

bool WriteSettingValue(SettingsGroup group, const QString &valueName, const QString &value)
{
    if (writeObserver())
        writeObserver()(valueName.left(MaxTextLength), value.left(MaxTextLength));
    QSettings store = openStore();
    store.beginGroup(groupName(group));
    store.setValue(storedKey(valueName), value.left(MaxTextLength));
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError && store.isWritable();
}

QString ReadSettingValue(SettingsGroup group, const QString &valueName)
{
    QSettings store = openStore();
    store.beginGroup(groupName(group));
    const QVariant value = store.value(storedKey(valueName));
    return value.isValid() ? value.toString().left(MaxTextLength) : QString();
}

bool SettingValueExists(SettingsGroup group, const QString &valueName)
{
    QSettings store = openStore();
    store.beginGroup(groupName(group));
    return store.contains(storedKey(valueName));
}

bool WriteSetting(const QString &name, const QString &value)
{
    return WriteSettingValue(SettingsGroup::Default, SettingValueName(name), value);
}

QString ReadSetting(const QString &name)
{
    return ReadSettingValue(SettingsGroup::Default, SettingValueName(name));
}

bool SettingExists(const QString &name)
{
    return SettingValueExists(SettingsGroup::Default, SettingValueName(name));
}

int ReadIntSetting(const QString &name, int fallback)
{
    return SettingTextToInt(ReadSetting(name), fallback);
}

QString SettingsLocation()
{
    QSettings store = openStore();
    return store.fileName();
}
