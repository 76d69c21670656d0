#include "tools/ToolFiles.h"

#include "shell/Errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tb {
namespace {

std::string describe(const fs::path& path, const char* what, const std::string& why) {
    return "Cannot " + std::string(what) + " file \"" + path.string() + "\": " + why;
}

} // namespace

bool isSameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    const bool same = fs::equivalent(a, b, ec);
    return !ec && same;
}

PositionedFile::PositionedFile(const fs::path& path, Mode mode) : m_path(path) {
    do
        m_fd = ::open(path.c_str(), (mode == Mode::Read ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0)
        throw FileError(describe(path, "open", std::strerror(errno)));
}

PositionedFile::~PositionedFile() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void PositionedFile::readAt(std::int64_t offset, void* data, std::size_t size) const {
    auto* p = static_cast<unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::pread(m_fd, p, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw FileError(describe(m_path, "read", std::strerror(errno)));
        if (n == 0)
            throw FileError(describe(m_path, "read", "the file is shorter than its map"));
        p += n;
        offset += n;
        size -= std::size_t(n);
    }
}

void PositionedFile::writeAt(std::int64_t offset, const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(m_fd, p, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw FileError(describe(m_path, "write", std::strerror(errno)));
        p += n;
        offset += n;
        size -= std::size_t(n);
    }
}

} // namespace tb
