#pragma once
// A path for the library from a text of the user interface (UTF-16, so any folder name
// reaches the system whole).

#include <QString>

#include <filesystem>

namespace tbapp {

inline std::filesystem::path uiPath(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

} // namespace tbapp
