#include "shell/NativeFile.h"

namespace tb {

NativeFile::NativeFile(NativeFile&& other) noexcept : m_handle(other.m_handle) {
    other.m_handle = kClosed;
}

NativeFile& NativeFile::operator=(NativeFile&& other) noexcept {
    if (this != &other) {
        close();
        m_handle = other.m_handle;
        other.m_handle = kClosed;
    }
    return *this;
}

NativeFile::~NativeFile() {
    close();
}

std::string fileErrorText(const std::filesystem::path& path, std::string_view what,
                          std::string_view why) {
    // u8string: the path's own characters on every system (string() may use the ANSI code
    // page on Windows).
    const std::u8string name = path.u8string();
    return "Cannot " + std::string(what) + " file \"" + std::string(name.begin(), name.end()) +
           "\": " + std::string(why);
}

std::string fileErrorText(const std::filesystem::path& path, std::string_view what,
                          const std::error_code& error) {
    return fileErrorText(path, what, error.message());
}

} // namespace tb
