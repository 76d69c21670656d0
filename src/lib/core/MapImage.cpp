#include "core/MapImage.h"

#include "shell/AtomicFile.h"
#include "shell/Errors.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tb {
namespace {

std::string fileErrorText(const std::filesystem::path& path, int err) {
    return "Cannot read file \"" + path.string() + "\": " + std::strerror(err);
}

// One allocation and one read loop: a map is up to 86 MB and loading should cost little
// more than reading the file.
std::vector<unsigned char> readWholeFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FileError(fileErrorText(path, errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISREG(st.st_mode) ? errno : EISDIR;
        ::close(fd);
        throw FileError(fileErrorText(path, err));
    }
    std::vector<unsigned char> bytes;
    bytes.resize(std::size_t(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : EIO;
            ::close(fd);
            throw FileError(fileErrorText(path, err));
        }
        done += std::size_t(n);
    }
    ::close(fd);
    return bytes;
}

} // namespace

MapImage::MapImage(std::vector<unsigned char> bytes, std::optional<MapVariant> variant)
    : m_bytes(std::move(bytes)), m_variant(variant) {
    // Geometry is only trusted when the buffer really holds every addressed block.
    if (m_variant && std::int64_t(m_bytes.size()) < m_variant->addressedSize())
        m_variant.reset();
    m_heightBlocks = m_variant ? m_variant->heightBlocks() : 0;
}

MapImage MapImage::load(const std::filesystem::path& path) {
    std::vector<unsigned char> bytes = readWholeFile(path);
    const auto size = std::int64_t(bytes.size());
    return MapImage(std::move(bytes), identifyMapVariant(path.filename().string(), size));
}

void MapImage::save(const std::filesystem::path& path) const {
    writeFileAtomically(path, m_bytes.data(), m_bytes.size());
}

std::int64_t MapImage::checkedOffset(std::int32_t x, std::int32_t y) const {
    if (!contains(x, y))
        throw std::out_of_range("cell (" + std::to_string(x) + ", " + std::to_string(y) +
                                ") is outside the map");
    return cellOffset(x, y, m_heightBlocks);
}

MapCell MapImage::cell(std::int32_t x, std::int32_t y) const {
    checkedOffset(x, y);
    return cellUnchecked(x, y);
}

void MapImage::setCell(std::int32_t x, std::int32_t y, MapCell value) {
    unsigned char* p = m_bytes.data() + checkedOffset(x, y);
    p[0] = static_cast<unsigned char>(value.tileId);
    p[1] = static_cast<unsigned char>(value.tileId >> 8);
    p[2] = static_cast<unsigned char>(value.altitude);
}

} // namespace tb
