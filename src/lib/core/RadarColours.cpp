#include "core/RadarColours.h"

#include "shell/Errors.h"
#include "shell/LittleEndian.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace tb {
namespace {

std::string readErrorText(const std::filesystem::path& path, const std::string& why) {
    return "Cannot read file \"" + path.string() + "\": " + why;
}

} // namespace

void RadarColours::read(const std::filesystem::path& radarcolFile) {
    const int fd = ::open(radarcolFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FileError(readErrorText(radarcolFile, std::strerror(errno)));
    constexpr std::size_t kBytes = std::size_t(kEntriesRead) * 2;
    unsigned char bytes[kBytes];
    std::size_t done = 0;
    int readError = 0;
    while (done < kBytes) {
        const ssize_t n = ::read(fd, bytes + done, kBytes - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            readError = errno;
        if (n <= 0)
            break;
        done += std::size_t(n);
    }
    ::close(fd);
    // Whatever whole colours were read are kept, even when the file ends early.
    const std::size_t words = done / 2;
    for (std::size_t i = 0; i < words; ++i)
        m_table[i] = readU16(bytes + 2 * i);
    if (readError != 0)
        throw FileError(readErrorText(radarcolFile, std::strerror(readError)));
    if (words < std::size_t(kEntriesRead))
        throw FileError(readErrorText(radarcolFile, "the file holds " + std::to_string(words) +
                                                        " of the " + std::to_string(kEntriesRead) +
                                                        " colours read from it"));
}

} // namespace tb
