#pragma once
// An input file of the diff generation, read at positions with every read checked against
// its size.

#include "shell/NativeFile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace tb {

// An input file opened for positioned reads. Every failure throws FileError naming it.
class InputFile {
public:
    explicit InputFile(const std::filesystem::path& path);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::int64_t size() const { return m_size; }

    // Throws FileError unless `size` bytes at `offset` lie inside the file.
    void checkRange(std::int64_t offset, std::uint64_t size) const {
        if (offset < 0 || offset > m_size || size > std::uint64_t(m_size - offset))
            throwOutside(offset, size);
    }
    // Reads exactly `size` bytes at `offset`; a file too short for them is an error.
    void readAt(std::int64_t offset, void* data, std::size_t size) const;

private:
    [[noreturn]] void throwOutside(std::int64_t offset, std::uint64_t size) const;

    std::filesystem::path m_path;
    NativeFile m_file;
    std::int64_t m_size = 0;
};

} // namespace tb
