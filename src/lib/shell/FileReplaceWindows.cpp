#include "shell/FileReplace.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace tb {
namespace {

// What a replaced file hands on; the read-only attribute never gets here (such a file is
// refused before any work).
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

} // namespace

std::error_code checkFileWritable(const std::filesystem::path& file) {
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return {int(ERROR_ACCESS_DENIED), std::system_category()};
    return {};
}

void keepReplacedAttributes(NativeFile&, const std::filesystem::path& tempPath,
                            const std::filesystem::path& replaced) {
    const DWORD attributes = ::GetFileAttributesW(replaced.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kKeptAttributes) == 0)
        return;
    ::SetFileAttributesW(tempPath.c_str(), attributes & kKeptAttributes);
}

std::error_code moveOver(const std::filesystem::path& tempPath,
                         const std::filesystem::path& target) {
    // Write-through: the call returns once the new name is on the disk.
    if (!::MoveFileExW(tempPath.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {int(::GetLastError()), std::system_category()};
    return {};
}

} // namespace tb
