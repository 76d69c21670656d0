#include "shell/FileReplace.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tb {

std::error_code checkFileWritable(const std::filesystem::path& file) {
    // The effective ids decide, as they do for the write itself.
    if (::access(file.c_str(), F_OK) == 0 &&
        ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0)
        return {errno, std::system_category()};
    return {};
}

void keepReplacedAttributes(NativeFile& temp, const std::filesystem::path&,
                            const std::filesystem::path& replaced) {
    const int fd = int(temp.nativeHandle());
    struct stat st {};
    if (::stat(replaced.c_str(), &st) == 0) {
        // Where the file is not ours to give away, the new one belongs to its writer.
        [[maybe_unused]] const int chowned = ::fchown(fd, st.st_uid, st.st_gid);
        ::fchmod(fd, st.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
}

std::error_code moveOver(const std::filesystem::path& tempPath,
                         const std::filesystem::path& target) {
    if (std::rename(tempPath.c_str(), target.c_str()) != 0)
        return {errno, std::system_category()};
    return {};
}

} // namespace tb
