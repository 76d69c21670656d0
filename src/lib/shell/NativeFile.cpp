#include "shell/NativeFile.h"

namespace tb {
namespace {

// Set by tests only; production code never writes it.
std::error_code g_flushFailure;

// The kinds of file that are not regular, named for messages.
class FileKindCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "file kind"; }
    std::string message(int kind) const override {
        switch (std::filesystem::file_type(kind)) {
        case std::filesystem::file_type::character:
            return "it is a character device, not a regular file";
        case std::filesystem::file_type::block:
            return "it is a block device, not a regular file";
        case std::filesystem::file_type::fifo:
            return "it is a pipe (FIFO), not a regular file";
        case std::filesystem::file_type::socket:
            return "it is a socket, not a regular file";
        default:
            return "it is not a regular file";
        }
    }
};

} // namespace

std::error_code notRegularFileError(std::filesystem::file_type type) {
    if (type == std::filesystem::file_type::directory)
        return make_error_code(std::errc::is_a_directory);
    static const FileKindCategory category;
    return {int(type), category};
}

void NativeFile::failFlushesForTesting(std::error_code error) {
    g_flushFailure = error;
}

std::error_code NativeFile::flushToDisk() {
    if (g_flushFailure)
        return g_flushFailure;
    return flushToDiskNow();
}

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
