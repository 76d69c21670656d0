#include "shell/FileBytes.h"

#include "shell/Errors.h"
#include "shell/NativeFile.h"

namespace tb {
namespace {

[[noreturn]] void failRead(const std::filesystem::path& path, const std::error_code& error) {
    throw FileError(fileErrorText(path, "read", error));
}

} // namespace

// One allocation and one read loop: a map is up to 86 MB and loading should cost little
// more than reading the file.
std::vector<unsigned char> readFileBytes(const std::filesystem::path& path) {
    NativeFile file;
    if (const std::error_code error = file.open(path, NativeFile::Mode::Read))
        failRead(path, error);
    std::int64_t size = 0;
    if (const std::error_code error = file.size(size))
        failRead(path, error);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    std::size_t done = 0;
    if (const std::error_code error = file.readAt(0, bytes.data(), bytes.size(), done))
        failRead(path, error);
    if (done < bytes.size()) // the file shrank while we read it
        failRead(path, make_error_code(std::errc::io_error));
    return bytes;
}

} // namespace tb
