#pragma once
// Small file systems of the tests' own, for faults that a folder's mode cannot make when the
// tests run as root: a device that is full, and a folder that is mounted read-only.
//
// The first use moves the whole test process into a private mount namespace (and a user
// namespace of its own when it is not root), so nothing is mounted on the host. A process
// that is not root must make that first use before it starts a thread; Qt tests therefore
// call privateMountsAvailable() at the top of main.

#include <cstddef>
#include <filesystem>
#include <string>

namespace tbtest {

// Whether this process can mount folders of its own. The first call sets that up; later
// calls give the same answer. When it is false, whyNoPrivateMounts() says why.
bool privateMountsAvailable();
std::string whyNoPrivateMounts();

// A tmpfs of `bytes` bytes mounted on a fresh temporary folder, unmounted and removed with
// the object. Throws std::runtime_error when private mounts are not available.
class ScratchMount {
public:
    explicit ScratchMount(std::size_t bytes);
    ~ScratchMount();
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

    // Takes all the space that is left, so that the next write of data fails with ENOSPC.
    // New (empty) files can still be created, as on a real full disk.
    void fillUp();
    // Gives back the space that fillUp() took.
    void freeUp();
    // Remounts the file system read-only: files stay readable, nothing can be written.
    void makeReadOnly();
    void makeWritable();

private:
    std::filesystem::path m_path;
};

// Limits the size of any file this process writes (RLIMIT_FSIZE, with SIGXFSZ ignored so a
// write past it fails with EFBIG instead of killing the process) until destroyed.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::size_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long long m_softBefore;
    unsigned long long m_hardBefore;
    void (*m_handlerBefore)(int);
};

} // namespace tbtest
