#include "shell/AtomicFile.h"

#include "shell/Errors.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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

// The file a write to `path` replaces: a symbolic link's target (followed link by link, so a
// link to a file not made yet stays a link too), else `path` itself.
fs::path replacedFile(const fs::path& path) {
    fs::path file = path;
    std::error_code ec;
    for (int depth = 0; depth < 40 && fs::is_symlink(file, ec); ++depth) {
        fs::path target = fs::read_symlink(file, ec);
        if (ec)
            break;
        file = target.is_relative() ? (file.parent_path() / target).lexically_normal() : target;
    }
    return file;
}

// Temporary files of this target that a crashed or killed writer left behind. Only old ones
// go: a younger one may belong to another copy of the program writing right now.
void removeStaleTemporaries(const fs::path& dir, const std::string& prefix) {
    const auto staleBefore = fs::file_time_type::clock::now() - std::chrono::hours(24);
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
            name.find_first_not_of("0123456789", prefix.size()) != std::string::npos)
            continue;
        std::error_code timeError;
        const auto written = it->last_write_time(timeError);
        if (!timeError && written < staleBefore && it->is_regular_file(timeError))
            fs::remove(it->path(), timeError);
    }
}

} // namespace

AtomicFileWriter::AtomicFileWriter(const fs::path& path)
    : m_target(path), m_replaced(replacedFile(path)) {
    // What could not be written in place is not replaced either: a read-only file is
    // refused, as is a folder, before any work is done.
    std::error_code ec;
    if (fs::is_directory(m_replaced, ec))
        throw FileError(describe(path, "replace", EISDIR));
    if (::access(m_replaced.c_str(), F_OK) == 0 &&
        ::faccessat(AT_FDCWD, m_replaced.c_str(), W_OK, AT_EACCESS) != 0)
        throw FileError(describe(path, "write", errno));
    std::random_device rd;
    const fs::path dir = m_replaced.has_parent_path() ? m_replaced.parent_path() : fs::path(".");
    const std::string tempPrefix = "." + m_replaced.filename().string() + ".tmp";
    removeStaleTemporaries(dir, tempPrefix);
    // Opened exclusively, so two writers never share a temporary file.
    for (int attempt = 0; attempt < 50; ++attempt) {
        m_temp = dir / (tempPrefix + std::to_string(rd()));
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

void AtomicFileWriter::copyCurrentContent() {
    const int in = ::open(m_target.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        throw FileError(describe(m_target, "open", errno));
    const struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{in};
    struct stat st {};
    if (::fstat(in, &st) != 0)
        throw FileError(describe(m_target, "read", errno));
    std::int64_t left = st.st_size;
    // In the kernel where it can (a clone, where the file system shares extents).
    while (left > 0) {
        const ssize_t n = ::copy_file_range(in, nullptr, m_fd, nullptr, std::size_t(left), 0);
        if (n > 0) {
            left -= n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        // Not offered here, refused by a sandbox, or no progress: copy by hand from where it
        // stopped, where a real read or write error shows with its own cause.
        break;
    }
    std::vector<unsigned char> buffer(left > 0 ? std::size_t(1) << 20 : 0);
    while (left > 0) {
        const ssize_t n =
            ::read(in, buffer.data(),
                   std::size_t(std::min<std::int64_t>(left, std::int64_t(buffer.size()))));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw FileError(describe(m_target, "read", n < 0 ? errno : EIO));
        writeAll(m_fd, m_target, buffer.data(), std::size_t(n));
        left -= n;
    }
}

void AtomicFileWriter::readAt(std::int64_t offset, void* data, std::size_t size) const {
    auto* p = static_cast<unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::pread(m_fd, p, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw FileError(describe(m_target, "read", n < 0 ? errno : EIO));
        p += n;
        offset += n;
        size -= std::size_t(n);
    }
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
    // Keep the owner and permissions of the file we replace (the owner only where this
    // process may give files away); a new file gets the usual ones.
    struct stat st {};
    if (::stat(m_replaced.c_str(), &st) == 0) {
        // Where the file is not ours to give away, the new one belongs to its writer.
        [[maybe_unused]] const int chowned = ::fchown(m_fd, st.st_uid, st.st_gid);
        ::fchmod(m_fd, st.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(m_fd, 0666 & ~mask);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        throw FileError(describe(m_target, "write", errno));
    if (::rename(m_temp.c_str(), m_replaced.c_str()) != 0)
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
