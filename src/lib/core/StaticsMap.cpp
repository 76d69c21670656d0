#include "core/StaticsMap.h"

#include "shell/LittleEndian.h"

#include <algorithm>
#include <array>

namespace tb {

StaticsMap::StaticsMap(std::vector<unsigned char> index, std::vector<unsigned char> data,
                       int widthBlocks, int heightBlocks, StaticsDamage* damage)
    : m_widthBlocks(std::max(widthBlocks, 0)), m_heightBlocks(std::max(heightBlocks, 0)),
      m_index(std::move(index)), m_data(std::move(data)), m_columns(std::size_t(m_widthBlocks)) {
    StaticsDamage found;
    const std::size_t blocks = std::size_t(m_widthBlocks) * std::size_t(m_heightBlocks);
    const std::size_t entries = m_index.size() / kStaticIndexEntrySize;
    found.indexHasPartialEntry = m_index.size() % kStaticIndexEntrySize != 0;
    if (entries < blocks)
        found.blocksWithoutEntry = std::int64_t(blocks - entries);
    // The index is checked at once so that damage is told on loading; the records are read
    // later. The first pass only asks whether every entry is sound or empty, without
    // branches (empty and full blocks come mixed); the kinds of damage are told apart in a
    // second pass only when it finds some.
    const std::uint64_t dataSize = m_data.size();
    const unsigned char* const first = m_index.data();
    const unsigned char* const end = first + std::min(blocks, entries) * kStaticIndexEntrySize;
    std::uint64_t lengths = 0;
    std::uint64_t furthestEnd = 0;
    std::uint32_t offsetSigns = 0;
    std::uint32_t notWholeRecords = 0;
    for (const unsigned char* entry = first; entry != end; entry += kStaticIndexEntrySize) {
        const std::uint32_t offset = readU32(entry);
        const std::uint32_t length = readU32(entry + 4);
        const std::uint64_t used = 0 - std::uint64_t(offset != 0xFFFFFFFFu && length != 0);
        lengths += length & used;
        offsetSigns |= offset & std::uint32_t(used);
        furthestEnd = std::max(furthestEnd, (std::uint64_t(offset) + length) & used);
        notWholeRecords |= std::uint32_t(length % kStaticRecordSize != 0) & std::uint32_t(used);
    }
    std::uint64_t soundLengths = lengths;
    if ((offsetSigns >> 31) != 0 || furthestEnd > dataSize || notWholeRecords != 0) {
        soundLengths = 0;
        for (const unsigned char* entry = first; entry != end; entry += kStaticIndexEntrySize) {
            const std::int32_t offset = readI32(entry);
            const std::uint32_t length = readU32(entry + 4);
            if (offset >= 0 && length % kStaticRecordSize == 0 &&
                std::uint64_t(offset) + length <= dataSize) {
                soundLengths += length;
                continue;
            }
            if (offset == -1 || length == 0)
                continue;
            if (length % kStaticRecordSize != 0)
                ++found.lengthsNotMultipleOf7;
            else
                ++found.entriesPastData;
        }
    }
    m_records = std::int64_t(soundLengths / kStaticRecordSize);
    if (damage)
        *damage = found;
}

std::span<const unsigned char> StaticsMap::blockRecords(std::size_t b) const {
    if (b >= m_index.size() / kStaticIndexEntrySize)
        return {};
    const unsigned char* entry = m_index.data() + b * kStaticIndexEntrySize;
    const std::int32_t offset = readI32(entry);
    const std::uint32_t length = readU32(entry + 4);
    if (offset < 0 || length == 0 || length % kStaticRecordSize != 0 ||
        std::uint64_t(offset) + length > m_data.size())
        return {};
    return {m_data.data() + offset, length};
}

const StaticsMap::Column& StaticsMap::buildColumn(int bx) const {
    auto column = std::make_unique<Column>();
    column->masks.resize(std::size_t(m_heightBlocks));
    column->firstCell.resize(std::size_t(m_heightBlocks));
    std::array<StaticCell, 64> scratch;
    for (int by = 0; by < m_heightBlocks; ++by) {
        column->firstCell[std::size_t(by)] = std::uint32_t(column->cells.size());
        const auto records =
            blockRecords(std::size_t(bx) * std::size_t(m_heightBlocks) + std::size_t(by));
        std::uint64_t mask = 0;
        for (std::size_t at = 0; at < records.size(); at += kStaticRecordSize) {
            const unsigned char* record = records.data() + at;
            const unsigned cx = record[2];
            const unsigned cy = record[3];
            if ((cx | cy) >= 8)
                continue;
            const unsigned bit = cy * 8 + cx;
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
        column->masks[std::size_t(by)] = mask;
        for (std::uint64_t rest = mask; rest != 0; rest &= rest - 1)
            column->cells.push_back(scratch[std::size_t(std::countr_zero(rest))]);
    }
    m_columns[std::size_t(bx)] = std::move(column);
    return *m_columns[std::size_t(bx)];
}

} // namespace tb
