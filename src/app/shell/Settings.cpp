#include "app/shell/Settings.h"

#include "shell/Errors.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

namespace tbapp {

std::unique_ptr<QSettings> openSettingsStore(const QString& iniFile) {
    if (!iniFile.isEmpty())
        return std::make_unique<QSettings>(iniFile, QSettings::IniFormat);
#ifdef Q_OS_WIN
    return std::make_unique<QSettings>("HKEY_CURRENT_USER\\Software\\TolvaneBrimholt",
                                       QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       "TolvaneBrimholt", "TolvaneBrimholt");
#endif
}

QString readSettingText(const QSettings& settings, const QString& name) {
    const QVariant value = settings.value(name);
    if (!value.isValid())
        return {};
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(',');
    return value.toString();
}

void writeSettingText(QSettings& settings, const QString& name, const QString& value) {
    settings.setValue(name, value);
}

namespace {

// Whether the store's file holds every value of `settings`. The file is read through a
// copy: a second QSettings on the same file would share the first one's unsaved values.
bool fileHoldsAllValues(const QSettings& settings) {
    const QTemporaryDir dir;
    const QString copy = dir.filePath("settings.ini");
    if (!dir.isValid() || !QFile::copy(settings.fileName(), copy))
        return false;
    const QSettings written(copy, QSettings::IniFormat);
    const QStringList keys = settings.allKeys();
    for (const QString& key : keys) {
        if (!written.contains(key) ||
            readSettingText(written, key) != readSettingText(settings, key))
            return false;
    }
    return true;
}

} // namespace

void syncSettingsStore(QSettings& settings) {
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return;
    // The status is never reset once a sync failed, so a later sync that did write is
    // told apart by reading the file back (only an INI file can be; a failed registry
    // write stays reported).
    if (settings.format() == QSettings::IniFormat && fileHoldsAllValues(settings))
        return;
    throw tb::FileError("Cannot write settings file \"" +
                        QDir::toNativeSeparators(settings.fileName()).toStdString() +
                        "\": the settings were not saved.");
}

} // namespace tbapp
