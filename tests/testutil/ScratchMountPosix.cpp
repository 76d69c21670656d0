#include "ScratchMount.h"

#include "TestPaths.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sched.h>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace tbtest {

namespace {

bool writeProcFile(const char* path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    out.flush();
    return bool(out);
}

// Enters a mount namespace whose mounts never propagate back to the host.
std::string enterPrivateMounts() {
    const uid_t uid = ::geteuid();
    const gid_t gid = ::getegid();
    if (::unshare(CLONE_NEWNS) != 0) {
        // Not root (or no CAP_SYS_ADMIN): a user namespace grants it inside.
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return std::string("unshare: ") + std::strerror(errno);
        writeProcFile("/proc/self/setgroups", "deny");
        if (!writeProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1\n") ||
            !writeProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1\n"))
            return "cannot write the user namespace's id maps";
    }
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("making / private: ") + std::strerror(errno);
    // Some sandboxes allow the namespace but not a tmpfs, or not its remounting.
    const fs::path probe =
        fs::temp_directory_path() / ("tbmount-probe-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::create_directory(probe, ec);
    std::string problem;
    if (::mount("tbtest", probe.c_str(), "tmpfs", 0, "size=65536") != 0)
        problem = std::string("mounting a tmpfs: ") + std::strerror(errno);
    else if (::mount(nullptr, probe.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        problem = std::string("remounting a tmpfs read-only: ") + std::strerror(errno);
    ::umount2(probe.c_str(), MNT_DETACH);
    fs::remove(probe, ec);
    return problem;
}

const std::string& setupResult() {
    static const std::string result = enterPrivateMounts();
    return result;
}

} // namespace

bool privateMountsAvailable() {
    return setupResult().empty();
}

std::string whyNoPrivateMounts() {
    return setupResult();
}

ScratchMount::ScratchMount(std::size_t bytes) {
    if (!privateMountsAvailable())
        throw std::runtime_error("no private mounts: " + whyNoPrivateMounts());
    std::random_device rd;
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        const fs::path candidate = fs::temp_directory_path() / ("tbmount-" + std::to_string(rd()));
        if (fs::create_directory(candidate))
            m_path = candidate;
    }
    if (m_path.empty())
        throw std::runtime_error("cannot create a mount point");
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("tbtest", m_path.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        fs::remove(m_path);
        throw std::runtime_error("mounting a tmpfs: " + why);
    }
}

ScratchMount::~ScratchMount() {
    ::umount2(m_path.c_str(), MNT_DETACH);
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

void ScratchMount::fillUp() {
    const fs::path filler = m_path / ".filler";
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + filler.string());
    const std::vector<char> chunk(4096, 'f');
    // Whole pages first, then single bytes for whatever a partial page leaves.
    for (std::size_t size = chunk.size(); size >= 1; size /= 2)
        while (::write(fd, chunk.data(), size) == ssize_t(size)) {
        }
    const int error = errno;
    ::close(fd);
    if (error != ENOSPC)
        throw std::runtime_error(std::string("filling the device: ") + std::strerror(error));
}

void ScratchMount::freeUp() {
    std::error_code ec;
    fs::remove(m_path / ".filler", ec);
}

void ScratchMount::makeWritable() {
    if (::mount(nullptr, m_path.c_str(), nullptr, MS_REMOUNT, nullptr) != 0)
        throw std::runtime_error(std::string("remounting writable: ") + std::strerror(errno));
}

void ScratchMount::makeReadOnly() {
    if (::mount(nullptr, m_path.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        throw std::runtime_error(std::string("remounting read-only: ") + std::strerror(errno));
}

FileSizeLimit::FileSizeLimit(std::size_t bytes) {
    rlimit before{};
    if (::getrlimit(RLIMIT_FSIZE, &before) != 0)
        throw std::runtime_error("getrlimit");
    m_softBefore = before.rlim_cur;
    m_hardBefore = before.rlim_max;
    m_handlerBefore = std::signal(SIGXFSZ, SIG_IGN);
    // Only the soft limit moves, so the destructor can raise it again without privileges.
    const rlimit limit{rlim_t(bytes), before.rlim_max};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        std::signal(SIGXFSZ, m_handlerBefore);
        throw std::runtime_error("setrlimit");
    }
}

FileSizeLimit::~FileSizeLimit() {
    const rlimit before{rlim_t(m_softBefore), rlim_t(m_hardBefore)};
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, m_handlerBefore);
}

} // namespace tbtest
