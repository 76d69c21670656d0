#include "core/MapImage.h"

#include "shell/AtomicFile.h"
#include "shell/FileBytes.h"

#include <stdexcept>
#include <string>

namespace tb {

MapImage::MapImage(std::vector<unsigned char> bytes, std::optional<MapVariant> variant)
    : m_bytes(std::move(bytes)), m_variant(variant) {
    // Geometry is only trusted when the buffer really holds every addressed block.
    if (m_variant && std::int64_t(m_bytes.size()) < m_variant->addressedSize())
        m_variant.reset();
    m_heightBlocks = m_variant ? m_variant->heightBlocks() : 0;
}

MapImage MapImage::load(const std::filesystem::path& path) {
    std::vector<unsigned char> bytes = readFileBytes(path);
    const auto size = std::int64_t(bytes.size());
    return MapImage(std::move(bytes), identifyMapVariant(path.filename().string(), size));
}

void MapImage::save(const std::filesystem::path& path) const {
    writeFileAtomically(path, m_bytes.data(), m_bytes.size());
}

void MapImage::throwOutside(std::int32_t x, std::int32_t y) {
    throw std::out_of_range("cell (" + std::to_string(x) + ", " + std::to_string(y) +
                            ") is outside the map");
}

std::int64_t MapImage::checkedOffset(std::int32_t x, std::int32_t y) const {
    if (!contains(x, y))
        throwOutside(x, y);
    return std::int64_t(offsetInside(x, y));
}

void MapImage::setCell(std::int32_t x, std::int32_t y, MapCell value) {
    unsigned char* p = m_bytes.data() + checkedOffset(x, y);
    p[0] = static_cast<unsigned char>(value.tileId);
    p[1] = static_cast<unsigned char>(value.tileId >> 8);
    p[2] = static_cast<unsigned char>(value.altitude);
}

} // namespace tb
