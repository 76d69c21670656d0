#include "diff/InputFile.h"

#include "shell/Errors.h"

#include <limits>
#include <string>

namespace fs = std::filesystem;

namespace tb {
namespace {

std::string describe(const fs::path& path, const char* what, const std::error_code& error) {
    return fileErrorText(path, what, error);
}

} // namespace

InputFile::InputFile(const fs::path& path) : m_path(path) {
    if (const std::error_code error = m_file.open(path, NativeFile::Mode::Read))
        throw FileError(describe(path, "open", error));
    if (const std::error_code error = m_file.size(m_size))
        throw FileError(describe(path, "open", error));
}

InputFile::~InputFile() = default;

void InputFile::throwOutside(std::int64_t offset, std::uint64_t size) const {
    throw FileError("Cannot read file \"" + m_path.string() + "\": " + std::to_string(size) +
                    " bytes at position " + std::to_string(offset) + " lie outside the file (" +
                    std::to_string(m_size) + " bytes)");
}

void InputFile::readAt(std::int64_t offset, void* data, std::size_t size) const {
    checkRange(offset, size);
    std::size_t done = 0;
    if (const std::error_code error = m_file.readAt(offset, data, size, done))
        throw FileError(describe(m_path, "read", error));
    if (done < size) // the file shrank under us
        throw FileError(describe(m_path, "read", make_error_code(std::errc::io_error)));
}

} // namespace tb
