#pragma once
// Raw file access for the diff generation: positioned reads from the input files and the
// patch file, written front to back and finished by rewriting its header.

#include "shell/AtomicFile.h"
#include "shell/NativeFile.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

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

// The patch being written, in a temporary file beside it that replaces the file at `path`
// on close(): a run that stops early leaves whatever was there before.
class PatchWriter {
public:
    explicit PatchWriter(const std::filesystem::path& path);
    ~PatchWriter();
    PatchWriter(const PatchWriter&) = delete;
    PatchWriter& operator=(const PatchWriter&) = delete;

    // Appends at the end of the patch (buffered).
    void append(const void* data, std::size_t size);
    // The current end of the patch as a stored position; a patch cannot grow past the
    // range of the 32-bit positions it stores (FileError).
    std::int32_t position() const;
    std::int64_t end() const { return m_end; }
    // Writes the buffered bytes to the file.
    void flush();
    // Flushes, then overwrites the bytes at `offset` (used for the header).
    void writeAt(std::int64_t offset, const void* data, std::size_t size);
    // Flushes and puts the patch in place; errors throw. Destroyed before, the patch is
    // dropped.
    void close();

private:
    void writeRaw(std::int64_t offset, const void* data, std::size_t size);

    std::filesystem::path m_path;
    AtomicFileWriter m_file;
    bool m_committed = false;
    std::int64_t m_end = 0;
    std::int64_t m_flushedEnd = 0;
    std::vector<unsigned char> m_buffer;
};

// True when `a` and `b` name the same file: the same file on disk however spelled (links
// included), or, when one of them does not exist yet, the same normalised path.
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

} // namespace tb
