#pragma once

#include <QString>

#include <functional>

// The settings store: text values under the organisation "Orbelle" and the
// application key ("Tarnwick1"), group "Default" for named settings and control
// states, group "Common" for silenced sticky messages. Every call opens the
// store anew; nothing is cached. Names and values are cut to 255 characters.

// The value name of a named setting: "Tarnwick." + name.
QString SettingValueName(const QString &name);

// Named settings in "Default". Write returns false when the store could not be
// written (unwritable folder); callers decide how to tell the user.
bool WriteSetting(const QString &name, const QString &value);
QString ReadSetting(const QString &name);
bool SettingExists(const QString &name);

// Raw access by full value name, used by the control-state mechanism
// ("Tarnwick.OptionsFrm.PreferUpperCaseChk") and the sticky marks.
enum class SettingsGroup { Default, Common };
bool WriteSettingValue(SettingsGroup group, const QString &valueName, const QString &value);
QString ReadSettingValue(SettingsGroup group, const QString &valueName);
bool SettingValueExists(SettingsGroup group, const QString &valueName);

// Reads a setting as a whole number; the fallback when missing or not a number.
int ReadIntSetting(const QString &name, int fallback);

// Where the store lives on this machine (the file on Linux).
QString SettingsLocation();

// Sees every value written through the store, in order (tests check the
// order of the shutdown writes). An empty function removes it.
using SettingsWriteObserver = std::function<void(const QString &valueName, const QString &value)>;
void SetSettingsWriteObserver(SettingsWriteObserver observer);
