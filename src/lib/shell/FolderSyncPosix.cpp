#include "shell/FolderSync.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tb {

std::error_code syncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return {errno, std::generic_category()};
    std::error_code error;
    if (::fsync(fd) != 0)
        error = {errno, std::generic_category()};
    ::close(fd);
    return error;
}

} // namespace tb
