#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace tbfuzz {

MemFile::MemFile(std::string_view bytes) {
    m_fd = ::memfd_create("tbfuzz", MFD_CLOEXEC);
    if (m_fd < 0) {
        std::perror("memfd_create");
        std::abort();
    }
    m_path = "/proc/self/fd/" + std::to_string(m_fd);
    assign(bytes);
}

MemFile::~MemFile() {
    ::close(m_fd);
}

void MemFile::assign(std::string_view bytes) {
    resize(0);
    writeAt(0, bytes);
}

void MemFile::writeAt(std::size_t offset, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(m_fd, bytes.data() + done, bytes.size() - done, off_t(offset + done));
        if (n <= 0) {
            std::perror("pwrite");
            std::abort();
        }
        done += std::size_t(n);
    }
}

void MemFile::resize(std::size_t size) {
    if (::ftruncate(m_fd, off_t(size)) != 0) {
        std::perror("ftruncate");
        std::abort();
    }
}

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace tbfuzz
