#pragma once
// Positioned reads of a file, for readers that want a few parts of a large file (the tables
// of a container, one entry at a time) rather than all of it. The file is opened as others
// may still read, rename or delete it, as POSIX allows by default.

#include "shell/NativeFile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace tb {

class FileReader {
public:
    // Opens a regular file for reading. Throws FileError naming the path.
    explicit FileReader(const std::filesystem::path& path);

    const std::filesystem::path& path() const { return m_path; }
    std::int64_t size() const { return m_size; }

    // Reads exactly `size` bytes at `offset`. Throws FileError naming the file when they do
    // not all lie inside it or cannot be read.
    void readAt(std::int64_t offset, void* data, std::size_t size) const;

private:
    std::filesystem::path m_path;
    NativeFile m_file;
    std::int64_t m_size = 0;
};

} // namespace tb
