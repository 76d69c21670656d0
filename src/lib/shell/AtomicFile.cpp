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

// A temporary file beside the target, opened exclusively so two writers never share it.
struct TempFile {
    fs::path path;
    int fd = -1;

    explicit TempFile(const fs::path& target) {
        std::random_device rd;
        const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
        for (int attempt = 0; attempt < 50; ++attempt) {
            path = dir / ("." + target.filename().string() + ".tmp" + std::to_string(rd()));
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0 || errno != EEXIST)
                break;
        }
        if (fd < 0)
            throw FileError(describe(target, "create", errno));
    }
    ~TempFile() {
        if (fd >= 0)
            ::close(fd);
        if (!path.empty())
            ::unlink(path.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
};

void writeAll(int fd, const fs::path& target, const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(describe(target, "write", errno));
        }
        p += n;
        size -= std::size_t(n);
    }
}

} // namespace

void writeFileAtomically(const fs::path& path,
                         const std::function<void(const AppendBytes&)>& produce) {
    TempFile temp(path);
    produce([&](const void* data, std::size_t size) { writeAll(temp.fd, path, data, size); });
    if (::fsync(temp.fd) != 0)
        throw FileError(describe(path, "write", errno));
    // Keep the permissions of the file we replace; a new file gets the usual ones.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        ::fchmod(temp.fd, st.st_mode & 07777);
    else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(temp.fd, 0666 & ~mask);
    }
    if (::close(temp.fd) != 0) {
        temp.fd = -1;
        throw FileError(describe(path, "write", errno));
    }
    temp.fd = -1;
    if (::rename(temp.path.c_str(), path.c_str()) != 0)
        throw FileError(describe(path, "replace", errno));
    temp.path.clear();
}

void writeFileAtomically(const fs::path& path, const void* data, std::size_t size) {
    writeFileAtomically(path, [&](const AppendBytes& append) { append(data, size); });
}

void writeFileAtomically(const fs::path& path, std::string_view text) {
    writeFileAtomically(path, text.data(), text.size());
}

} // namespace tb
