#include "shell/AtomicFile.h"

#include "shell/Errors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <random>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace tb {
namespace {

std::string describe(const fs::path& path, const char* what, int err) {
    return "Cannot " + std::string(what) + " file \"" + path.string() + "\": " + std::strerror(err);
}

void writeAll(int fd, const fs::path& target, const void* data, std::size_t size,
              std::int64_t offset = -1) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = offset < 0 ? ::write(fd, p, size) : ::pwrite(fd, p, size, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(describe(target, "write", errno));
        }
        p += n;
        size -= std::size_t(n);
        if (offset >= 0)
            offset += n;
    }
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const fs::path& path) : m_target(path) {
    std::random_device rd;
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    // Opened exclusively, so two writers never share a temporary file.
    for (int attempt = 0; attempt < 50; ++attempt) {
        m_temp = dir / ("." + path.filename().string() + ".tmp" + std::to_string(rd()));
        m_fd = ::open(m_temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0 || errno != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_temp.clear();
        throw FileError(describe(path, "create", errno));
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_temp.empty())
        ::unlink(m_temp.c_str());
}

void AtomicFileWriter::append(const void* data, std::size_t size) {
    writeAll(m_fd, m_target, data, size);
}

void AtomicFileWriter::writeAt(std::int64_t offset, const void* data, std::size_t size) {
    writeAll(m_fd, m_target, data, size, offset);
}

void AtomicFileWriter::commit() {
    if (::fsync(m_fd) != 0)
        throw FileError(describe(m_target, "write", errno));
    // Keep the permissions of the file we replace; a new file gets the usual ones.
    struct stat st {};
    if (::stat(m_target.c_str(), &st) == 0)
        ::fchmod(m_fd, st.st_mode & 07777);
    else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(m_fd, 0666 & ~mask);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        throw FileError(describe(m_target, "write", errno));
    if (::rename(m_temp.c_str(), m_target.c_str()) != 0)
        throw FileError(describe(m_target, "replace", errno));
    m_temp.clear();
}

void writeFileAtomically(const fs::path& path,
                         const std::function<void(const AppendBytes&)>& produce) {
    AtomicFileWriter writer(path);
    produce([&](const void* data, std::size_t size) { writer.append(data, size); });
    writer.commit();
}

void writeFileAtomically(const fs::path& path, const void* data, std::size_t size) {
    writeFileAtomically(path, [&](const AppendBytes& append) { append(data, size); });
}

void writeFileAtomically(const fs::path& path, std::string_view text) {
    writeFileAtomically(path, text.data(), text.size());
}

} // namespace tb
