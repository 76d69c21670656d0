#include "shell/Settings.h"

#include <QStringList>
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

} // namespace tbapp
