#include "diff/PatchWriter.h"

#include "shell/Errors.h"

#include <limits>
#include <string>

namespace fs = std::filesystem;

namespace tb {
namespace {

// The write buffer grows with the patch up to this size, so a small patch costs no large
// allocation.
constexpr std::size_t kWriteBufferSize = 1 << 20;

std::string describe(const fs::path& path, const char* what, const std::error_code& error) {
    return fileErrorText(path, what, error);
}

} // namespace

PatchWriter::PatchWriter(const fs::path& path) : m_path(path), m_file(path) {}

PatchWriter::~PatchWriter() = default;

void PatchWriter::append(const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    if (m_buffer.size() + size > kWriteBufferSize)
        flush();
    if (size >= kWriteBufferSize) {
        writeRaw(m_flushedEnd, p, size);
        m_flushedEnd += std::int64_t(size);
    } else {
        m_buffer.insert(m_buffer.end(), p, p + size);
    }
    m_end += std::int64_t(size);
}

std::int32_t PatchWriter::position() const {
    if (m_end > std::numeric_limits<std::int32_t>::max())
        throw FileError("Cannot write file \"" + m_path.string() +
                        "\": the patch would grow past 2 GiB, beyond the positions it can "
                        "store");
    return static_cast<std::int32_t>(m_end);
}

void PatchWriter::flush() {
    if (m_buffer.empty())
        return;
    writeRaw(m_flushedEnd, m_buffer.data(), m_buffer.size());
    m_flushedEnd += std::int64_t(m_buffer.size());
    m_buffer.clear();
}

void PatchWriter::writeAt(std::int64_t offset, const void* data, std::size_t size) {
    flush();
    writeRaw(offset, data, size);
}

void PatchWriter::close() {
    flush();
    m_file.commit();
    m_committed = true;
}

void PatchWriter::writeRaw(std::int64_t offset, const void* data, std::size_t size) {
    if (m_committed)
        throw FileError(describe(m_path, "write", make_error_code(std::errc::bad_file_descriptor)));
    m_file.writeAt(offset, data, size);
}

} // namespace tb
