#include "core/StaticsMap.h"

#include "shell/LittleEndian.h"

#include <algorithm>
#include <array>

namespace tb {

StaticsMap StaticsMap::build(std::span<const unsigned char> index,
                             std::span<const unsigned char> data, int widthBlocks, int heightBlocks,
                             StaticsDamage* damage) {
    StaticsDamage found;
    StaticsMap map;
    map.m_widthBlocks = std::max(widthBlocks, 0);
    map.m_heightBlocks = std::max(heightBlocks, 0);
    const std::size_t blocks = std::size_t(map.m_widthBlocks) * std::size_t(map.m_heightBlocks);
    map.m_masks.assign(blocks, 0);
    map.m_firstCell.assign(blocks, 0);
    // A cell summary per record at most, and never more than every cell of the map.
    map.m_cells.reserve(std::min(data.size() / kStaticRecordSize, blocks * 64));

    const std::size_t entries = index.size() / kStaticIndexEntrySize;
    found.indexHasPartialEntry = index.size() % kStaticIndexEntrySize != 0;
    if (entries < blocks)
        found.blocksWithoutEntry = std::int64_t(blocks - entries);

    std::array<StaticCell, 64> scratch;
    for (std::size_t b = 0; b < std::min(blocks, entries); ++b) {
        map.m_firstCell[b] = std::uint32_t(map.m_cells.size());
        const unsigned char* entry = index.data() + b * kStaticIndexEntrySize;
        const std::int32_t offset = readI32(entry);
        const std::uint32_t length = readU32(entry + 4);
        if (offset == -1 || length == 0)
            continue;
        if (length % kStaticRecordSize != 0) {
            ++found.lengthsNotMultipleOf7;
            continue;
        }
        if (offset < 0 || std::uint64_t(offset) + length > data.size()) {
            ++found.entriesPastData;
            continue;
        }
        std::uint64_t mask = 0;
        const unsigned char* record = data.data() + offset;
        const unsigned char* end = record + length;
        for (; record != end; record += kStaticRecordSize) {
            const unsigned column = record[2];
            const unsigned row = record[3];
            if ((column | row) >= 8) {
                ++found.recordsOutsideBlock;
                continue;
            }
            const unsigned bit = row * 8 + column;
            const auto z = static_cast<std::int8_t>(record[4]);
            StaticCell& cell = scratch[bit];
            if (((mask >> bit) & 1) == 0) {
                mask |= std::uint64_t(1) << bit;
                cell = {readU16(record), z, 1};
                continue;
            }
            ++cell.count;
            // Records later in the block lie over earlier ones of the same height.
            if (z >= cell.topmostZ) {
                cell.topmostId = readU16(record);
                cell.topmostZ = z;
            }
        }
        map.m_masks[b] = mask;
        for (std::uint64_t rest = mask; rest != 0; rest &= rest - 1) {
            const StaticCell& cell = scratch[std::size_t(std::countr_zero(rest))];
            map.m_records += cell.count;
            map.m_cells.push_back(cell);
        }
    }
    // Blocks without an index entry start where the last block ended.
    for (std::size_t b = std::min(blocks, entries); b < blocks; ++b)
        map.m_firstCell[b] = std::uint32_t(map.m_cells.size());
    if (damage)
        *damage = found;
    return map;
}

} // namespace tb
