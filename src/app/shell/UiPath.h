#pragma once
// Paths between the user interface's texts and the library, as UTF-16, so any folder name
// reaches the system whole and shows as it is.

#include <QString>

#include <filesystem>

namespace tbapp {

inline std::filesystem::path uiPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

inline QString uiText(const std::filesystem::path& path) {
    return QString::fromStdU16String(path.u16string());
}

} // namespace tbapp
