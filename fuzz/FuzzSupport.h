#pragma once
// Helpers shared by the fuzz targets: files in memory for readers that take a path, and a
// check that stops the run with a message when an invariant of a reader breaks.

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace tbfuzz {

// An anonymous in-memory file (memfd) reachable through /proc/self/fd, so readers that open
// a path see a regular file without touching the disk. Closed and gone with the object.
class MemFile {
public:
    explicit MemFile(std::string_view bytes = {});
    ~MemFile();
    MemFile(const MemFile&) = delete;
    MemFile& operator=(const MemFile&) = delete;

    // Replaces the content.
    void assign(std::string_view bytes);
    // Writes bytes at a position, growing the file as needed.
    void writeAt(std::size_t offset, std::string_view bytes);
    // Sets the size (new bytes read as zero).
    void resize(std::size_t size);
    const std::filesystem::path& path() const { return m_path; }

private:
    int m_fd = -1;
    std::filesystem::path m_path;
};

// Aborts with `what` when `condition` is false; libFuzzer then keeps the input as a crash.
void check(bool condition, const char* what);

} // namespace tbfuzz
