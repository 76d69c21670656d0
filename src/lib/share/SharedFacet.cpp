#include "share/SharedFacet.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tb {

void SharedFacet::putLandBlock(std::uint32_t block, std::span<const unsigned char> bytes) {
    const std::size_t at = std::size_t(block) * kBlockSize;
    const auto target = m_map.writableBytes();
    if (bytes.size() != std::size_t(kBlockSize) || !m_map.hasGeometry() ||
        at + kBlockSize > std::size_t(m_map.variant()->addressedSize()))
        throw std::out_of_range("land block " + std::to_string(block) + " is not in the map");
    std::copy(bytes.begin(), bytes.end(), target.begin() + std::ptrdiff_t(at));
}

void SharedFacet::putStaticsBlock(std::uint32_t block, std::span<const unsigned char> records) {
    m_statics.setRecords(block, readStaticRecords(records));
}

} // namespace tb
