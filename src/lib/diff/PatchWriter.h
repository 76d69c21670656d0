#pragma once
// The diff patch being written: front to back into a temporary file, finished by rewriting
// its header, and put in place only when complete.

#include "shell/AtomicFileWriter.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace tb {

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

} // namespace tb
