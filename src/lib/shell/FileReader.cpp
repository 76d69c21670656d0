#include "shell/FileReader.h"

#include "shell/Errors.h"

#include <string>

namespace fs = std::filesystem;

namespace tb {

FileReader::FileReader(const fs::path& path) : m_path(path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        throw FileError("Cannot read file \"" + path.string() +
                        "\": " + (fs::is_directory(path, ec) ? "it is a folder" : "no such file"));
    m_in.open(path, std::ios::binary);
    const auto size = fs::file_size(path, ec);
    if (!m_in || ec)
        throw FileError("Cannot read file \"" + path.string() + "\": it cannot be opened");
    m_size = std::int64_t(size);
}

void FileReader::readAt(std::int64_t offset, void* data, std::size_t size) const {
    if (offset < 0 || offset > m_size || size > std::uint64_t(m_size - offset))
        throw FileError("Cannot read file \"" + m_path.string() + "\": " + std::to_string(size) +
                        " bytes at position " + std::to_string(offset) + " lie outside the file (" +
                        std::to_string(m_size) + " bytes)");
    if (size == 0)
        return;
    m_in.clear();
    m_in.seekg(std::streamoff(offset));
    m_in.read(static_cast<char*>(data), std::streamsize(size));
    if (!m_in || std::size_t(m_in.gcount()) != size)
        throw FileError("Cannot read file \"" + m_path.string() + "\": the read at position " +
                        std::to_string(offset) + " failed");
}

} // namespace tb
