#include "shell/FileBytes.h"

#include "shell/Errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tb {
namespace {

std::string fileErrorText(const std::filesystem::path& path, int err) {
    return "Cannot read file \"" + path.string() + "\": " + std::strerror(err);
}

// Closes the descriptor on every way out.
struct Fd {
    int fd;
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

// One allocation and one read loop: a map is up to 86 MB and loading should cost little
// more than reading the file.
std::vector<unsigned char> readFileBytes(const std::filesystem::path& path) {
    const Fd file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0)
        throw FileError(fileErrorText(path, errno));
    struct stat st {};
    if (::fstat(file.fd, &st) != 0)
        throw FileError(fileErrorText(path, errno));
    if (!S_ISREG(st.st_mode))
        throw FileError(fileErrorText(path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL));
    std::vector<unsigned char> bytes;
    bytes.resize(std::size_t(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) // n == 0: the file shrank while we read it
            throw FileError(fileErrorText(path, n < 0 ? errno : EIO));
        done += std::size_t(n);
    }
    return bytes;
}

} // namespace tb
