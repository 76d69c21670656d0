#include "tools/ToolFiles.h"

#include "shell/Errors.h"

namespace fs = std::filesystem;

namespace tb {
namespace {

std::string describe(const fs::path& path, const char* what, const std::string& why) {
    return fileErrorText(path, what, why);
}

} // namespace

PositionedFile::PositionedFile(const fs::path& path, Mode mode) : m_path(path) {
    const auto access = mode == Mode::Read ? NativeFile::Mode::Read : NativeFile::Mode::ReadWrite;
    if (const std::error_code error = m_file.open(path, access))
        throw FileError(describe(path, "open", error.message()));
}

PositionedFile::~PositionedFile() = default;

void PositionedFile::readAt(std::int64_t offset, void* data, std::size_t size) const {
    std::size_t done = 0;
    if (const std::error_code error = m_file.readAt(offset, data, size, done))
        throw FileError(describe(m_path, "read", error.message()));
    if (done < size)
        throw FileError(describe(m_path, "read", "the file is shorter than its map"));
}

void PositionedFile::writeAt(std::int64_t offset, const void* data, std::size_t size) {
    if (const std::error_code error = m_file.writeAt(offset, data, size))
        throw FileError(describe(m_path, "write", error.message()));
}

} // namespace tb
