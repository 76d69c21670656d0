#include "shell/NativeFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tb {
namespace {

std::error_code lastError() {
    return {errno, std::system_category()};
}

int fd(std::intptr_t handle) {
    return int(handle);
}

// The error for what `mode` says is there when it is no regular file; none when it is.
std::error_code kindError(mode_t mode) {
    namespace fs = std::filesystem;
    if (S_ISREG(mode))
        return {};
    const fs::file_type type = S_ISDIR(mode)    ? fs::file_type::directory
                               : S_ISCHR(mode)  ? fs::file_type::character
                               : S_ISBLK(mode)  ? fs::file_type::block
                               : S_ISFIFO(mode) ? fs::file_type::fifo
                               : S_ISSOCK(mode) ? fs::file_type::socket
                                                : fs::file_type::unknown;
    return notRegularFileError(type);
}

} // namespace

std::error_code NativeFile::open(const std::filesystem::path& path, Mode mode) {
    close();
    // What is no regular file is refused before it is opened: opening a device may act on
    // it, and a pipe would wait for a writer.
    struct stat before {};
    if (::stat(path.c_str(), &before) == 0)
        if (const std::error_code error = kindError(before.st_mode))
            return error;
    // Non-blocking until the file is known to be regular, should it change meanwhile.
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (mode) {
    case Mode::Read:
        flags |= O_RDONLY;
        break;
    case Mode::ReadWrite:
        flags |= O_RDWR;
        break;
    case Mode::CreateNew:
        flags |= O_RDWR | O_CREAT | O_EXCL;
        break;
    }
    int opened;
    do
        opened = ::open(path.c_str(), flags, 0666);
    while (opened < 0 && errno == EINTR);
    if (opened < 0)
        return lastError();
    struct stat st {};
    std::error_code error = ::fstat(opened, &st) != 0 ? lastError() : kindError(st.st_mode);
    if (!error && ::fcntl(opened, F_SETFL, ::fcntl(opened, F_GETFL) & ~O_NONBLOCK) != 0)
        error = lastError();
    if (error) {
        ::close(opened);
        return error;
    }
    m_handle = opened;
    return {};
}

std::error_code NativeFile::size(std::int64_t& bytes) const {
    struct stat st {};
    if (::fstat(fd(m_handle), &st) != 0)
        return lastError();
    bytes = st.st_size;
    return {};
}

std::error_code NativeFile::readAt(std::int64_t offset, void* data, std::size_t size,
                                   std::size_t& done) const {
    auto* p = static_cast<unsigned char*>(data);
    done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd(m_handle), p + done, size - done, off_t(offset) + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return lastError();
        if (n == 0)
            break;
        done += std::size_t(n);
    }
    return {};
}

std::error_code NativeFile::writeAt(std::int64_t offset, const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(fd(m_handle), p, size, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return lastError();
        p += n;
        offset += n;
        size -= std::size_t(n);
    }
    return {};
}

std::error_code NativeFile::truncate(std::int64_t size) {
    int result;
    do
        result = ::ftruncate(fd(m_handle), off_t(size));
    while (result != 0 && errno == EINTR);
    if (result != 0)
        return lastError();
    return {};
}

std::int64_t NativeFile::copyInSystem(const NativeFile& from, std::int64_t size) {
    std::int64_t copied = 0;
#ifdef __linux__
    loff_t in = 0;
    loff_t out = 0;
    while (copied < size) {
        const ssize_t n = ::copy_file_range(fd(from.m_handle), &in, fd(m_handle), &out,
                                            std::size_t(size - copied), 0);
        if (n < 0 && errno == EINTR)
            continue;
        // Not offered here, refused by a sandbox, or no progress: the caller goes on by
        // hand, where a real read or write error shows with its own cause.
        if (n <= 0)
            break;
        copied += n;
    }
#else
    (void)from;
    (void)size;
#endif
    return copied;
}

std::error_code NativeFile::flushToDiskNow() {
    if (::fsync(fd(m_handle)) != 0)
        return lastError();
    return {};
}

std::error_code NativeFile::close() {
    if (m_handle == kClosed)
        return {};
    const int closing = fd(m_handle);
    m_handle = kClosed;
    if (::close(closing) != 0)
        return lastError();
    return {};
}

} // namespace tb
