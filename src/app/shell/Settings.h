#pragma once
// The per-user settings store of the program: the registry key
// HKEY_CURRENT_USER\Software\TolvaneBrimholt on Windows, one INI file per user elsewhere,
// or a named INI file. All values are strings; reading never creates the store.

#include <QSettings>
#include <QString>

#include <memory>

namespace tbapp {

// The user's store, or the INI file `iniFile` when it is not empty.
std::unique_ptr<QSettings> openSettingsStore(const QString& iniFile = {});

// The value as a string; a missing value reads as an empty string. (An INI value with
// commas is read back whole, not as a list.)
QString readSettingText(const QSettings& settings, const QString& name);

void writeSettingText(QSettings& settings, const QString& name, const QString& value);

// Writes the changes made so far to the store. Throws tb::FileError naming the store's
// file when they could not be written; the store keeps them and writes them at the next
// sync, and the file keeps its previous contents meanwhile.
void syncSettingsStore(QSettings& settings);

} // namespace tbapp
