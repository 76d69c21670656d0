#include "shell/FileReader.h"

#include "shell/Errors.h"

#include <string>

namespace tb {

FileReader::FileReader(const std::filesystem::path& path) : m_path(path) {
    if (const std::error_code error = m_file.open(path, NativeFile::Mode::Read))
        throw FileError(fileErrorText(path, "read", error));
    if (const std::error_code error = m_file.size(m_size))
        throw FileError(fileErrorText(path, "read", error));
}

void FileReader::readAt(std::int64_t offset, void* data, std::size_t size) const {
    if (offset < 0 || offset > m_size || size > std::uint64_t(m_size - offset))
        throw FileError(fileErrorText(m_path, "read",
                                      std::to_string(size) + " bytes at position " +
                                          std::to_string(offset) + " lie outside the file (" +
                                          std::to_string(m_size) + " bytes)"));
    if (size == 0)
        return;
    std::size_t done = 0;
    const std::error_code error = m_file.readAt(offset, data, size, done);
    if (error)
        throw FileError(fileErrorText(m_path, "read", error));
    if (done != size)
        throw FileError(fileErrorText(
            m_path, "read", "the file ended at the read at position " + std::to_string(offset)));
}

} // namespace tb
