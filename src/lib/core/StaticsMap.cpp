#include "core/StaticsMap.h"

#include "shell/LittleEndian.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <stdexcept>
#include <string>

namespace tb {

namespace {

// The sound-entry test in 32-bit arithmetic, for data files under 2 GB: 1 when the entry is
// used (offset not -1, length not 0) and its records are not whole or not inside the data.
// A multiple of 7 times the inverse of 7 (mod 2^32) is its quotient, so at most 2^32 / 7.
inline std::uint32_t damagedBit(std::uint32_t offset, std::uint32_t length,
                                std::uint32_t dataSize) {
    const std::uint32_t used = std::uint32_t(offset != 0xFFFFFFFFu) & std::uint32_t(length != 0);
    const std::uint32_t bad = std::uint32_t(offset > dataSize) |
                              std::uint32_t(length > dataSize - offset) |
                              std::uint32_t(length * 0xB6DB6DB7u > 0x24924924u);
    return used & bad;
}

// Whether any of `count` entries is damaged, for a data file under 2 GB. Empty and full
// blocks come mixed, so the test has no branches, and where the compiler offers vectors
// (gcc and clang) four entries are tested at once.
bool anyEntryDamaged(const unsigned char* first, std::size_t count, std::uint32_t dataSize) {
    std::size_t done = 0;
    std::uint32_t damaged = 0;
#if defined(__GNUC__)
    if constexpr (std::endian::native == std::endian::little) {
        using Words = std::uint32_t __attribute__((vector_size(16)));
        const Words size = {dataSize, dataSize, dataSize, dataSize};
        const Words none = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};
        const Words zero = {0, 0, 0, 0};
        const Words inverse7 = {0xB6DB6DB7u, 0xB6DB6DB7u, 0xB6DB6DB7u, 0xB6DB6DB7u};
        const Words wholeLimit = {0x24924924u, 0x24924924u, 0x24924924u, 0x24924924u};
        Words found = zero;
        for (; done + 4 <= count; done += 4) {
            // Four 12-byte entries: (offset, length, extra) x 4 over three vectors.
            Words a, b, c;
            std::memcpy(&a, first + done * kStaticIndexEntrySize, 16);
            std::memcpy(&b, first + done * kStaticIndexEntrySize + 16, 16);
            std::memcpy(&c, first + done * kStaticIndexEntrySize + 32, 16);
            // a = (o0 l0 x0 o1), b = (l1 x1 o2 l2), c = (x2 o3 l3 x3): five shuffles.
            const Words lastTwo = __builtin_shufflevector(b, c, 2, 3, 5, 6);      // o2 l2 o3 l3
            const Words firstOffsets = __builtin_shufflevector(a, a, 0, 3, 1, 1); // o0 o1
            const Words firstLengths = __builtin_shufflevector(a, b, 1, 1, 4, 4); // l0 . l1
            const Words offsets = __builtin_shufflevector(firstOffsets, lastTwo, 0, 1, 4, 6);
            const Words lengths = __builtin_shufflevector(firstLengths, lastTwo, 0, 2, 5, 7);
            const auto used = (offsets != none) & (lengths != zero);
            const auto bad =
                (offsets > size) | (lengths > size - offsets) | (lengths * inverse7 > wholeLimit);
            found |= Words(used & bad);
        }
        damaged = found[0] | found[1] | found[2] | found[3];
    }
#endif
    for (; done < count; ++done) {
        const unsigned char* entry = first + done * kStaticIndexEntrySize;
        damaged |= damagedBit(readU32(entry), readU32(entry + 4), dataSize);
    }
    return damaged != 0;
}

bool isSoundEntry(std::int32_t offset, std::uint32_t length, std::uint64_t dataSize) {
    return offset >= 0 && length % kStaticRecordSize == 0 &&
           std::uint64_t(offset) + length <= dataSize;
}

} // namespace

StaticRecord readStaticRecord(const unsigned char* p) {
    return {readU16(p), p[2], p[3], static_cast<std::int8_t>(p[4]), readU16(p + 5)};
}

void writeStaticRecord(unsigned char* p, const StaticRecord& record) {
    writeU16(p, record.id);
    p[2] = record.x;
    p[3] = record.y;
    p[4] = static_cast<unsigned char>(record.z);
    writeU16(p + 5, record.hue);
}

std::vector<StaticRecord> readStaticRecords(std::span<const unsigned char> bytes) {
    std::vector<StaticRecord> records;
    records.reserve(bytes.size() / kStaticRecordSize);
    for (std::size_t at = 0; at + kStaticRecordSize <= bytes.size(); at += kStaticRecordSize)
        records.push_back(readStaticRecord(bytes.data() + at));
    return records;
}

StaticsMap::StaticsMap(std::vector<unsigned char> index, std::vector<unsigned char> data,
                       int widthBlocks, int heightBlocks, StaticsDamage* damage)
    : m_widthBlocks(std::max(widthBlocks, 0)), m_heightBlocks(std::max(heightBlocks, 0)),
      m_index(std::move(index)), m_data(std::move(data)), m_columns(std::size_t(m_widthBlocks)) {
    StaticsDamage found;
    const std::size_t entries = usedEntries();
    found.indexHasPartialEntry = m_index.size() % kStaticIndexEntrySize != 0;
    const std::size_t blocks = std::size_t(m_widthBlocks) * std::size_t(m_heightBlocks);
    if (entries < blocks)
        found.blocksWithoutEntry = std::int64_t(blocks - entries);
    // The index is checked at once so that damage is told on loading; the records are read
    // later. A quick test asks only whether any entry is damaged; the kinds of damage are
    // told apart only when one is (or when the data is too large for the quick test).
    const std::uint64_t dataSize = m_data.size();
    const unsigned char* const first = m_index.data();
    if (dataSize > 0x7FFFFFFFu || anyEntryDamaged(first, entries, std::uint32_t(dataSize))) {
        for (std::size_t e = 0; e < entries; ++e) {
            const unsigned char* entry = first + e * kStaticIndexEntrySize;
            const std::int32_t offset = readI32(entry);
            const std::uint32_t length = readU32(entry + 4);
            if (offset == -1 || length == 0 || isSoundEntry(offset, length, dataSize))
                continue;
            if (length % kStaticRecordSize != 0)
                ++found.lengthsNotMultipleOf7;
            else
                ++found.entriesPastData;
        }
    }
    if (damage)
        *damage = found;
}

StaticsMap StaticsMap::copy() const {
    StaticsMap out;
    out.m_widthBlocks = m_widthBlocks;
    out.m_heightBlocks = m_heightBlocks;
    out.m_index = m_index;
    out.m_data = m_data;
    out.m_changed = m_changed;
    out.m_columns.resize(m_columns.size()); // summaries are built again when drawn
    return out;
}

StaticsMap StaticsMap::empty(int widthBlocks, int heightBlocks) {
    const std::size_t blocks =
        std::size_t(std::max(widthBlocks, 0)) * std::size_t(std::max(heightBlocks, 0));
    std::vector<unsigned char> index(blocks * kStaticIndexEntrySize, 0);
    for (std::size_t b = 0; b < blocks; ++b)
        writeI32(index.data() + b * kStaticIndexEntrySize, -1);
    return StaticsMap(std::move(index), {}, widthBlocks, heightBlocks);
}

std::int64_t StaticsMap::recordCount() const {
    std::uint64_t lengths = 0;
    for (std::size_t b = 0; b < usedEntries(); ++b)
        lengths += blockRecords(b).size();
    return std::int64_t(lengths / kStaticRecordSize);
}

std::size_t StaticsMap::usedEntries() const {
    const std::size_t blocks = std::size_t(m_widthBlocks) * std::size_t(m_heightBlocks);
    return std::min(blocks, m_index.size() / kStaticIndexEntrySize);
}

bool StaticsMap::isEditable(std::size_t b) const {
    if (b >= usedEntries())
        return false;
    const unsigned char* entry = m_index.data() + b * kStaticIndexEntrySize;
    const std::int32_t offset = readI32(entry);
    const std::uint32_t length = readU32(entry + 4);
    return offset == -1 || length == 0 || isSoundEntry(offset, length, m_data.size());
}

std::vector<StaticRecord> StaticsMap::records(std::size_t b) const {
    return readStaticRecords(blockRecords(b));
}

void StaticsMap::setRecords(std::size_t b, const std::vector<StaticRecord>& records) {
    if (b >= blockCount() || !isEditable(b))
        throw std::logic_error("statics block " + std::to_string(b) + " cannot be edited");
    std::vector<unsigned char> bytes(records.size() * kStaticRecordSize);
    for (std::size_t i = 0; i < records.size(); ++i)
        writeStaticRecord(bytes.data() + i * kStaticRecordSize, records[i]);
    // Records put back as they are in the files (an undo) leave the block unchanged, so
    // the next save does not write them again.
    if (std::ranges::equal(bytes, savedRecords(b)))
        m_changed.erase(b);
    else
        m_changed[b] = std::move(bytes);
    m_columns[b / std::size_t(m_heightBlocks)].reset();
}

void StaticsMap::markSaved(std::vector<unsigned char> index, std::uint64_t appendedAt) {
    // Bytes between what was loaded and `appendedAt` were written by someone else; no entry
    // of ours points there.
    m_data.resize(std::size_t(appendedAt));
    for (const auto& [b, bytes] : m_changed)
        m_data.insert(m_data.end(), bytes.begin(), bytes.end());
    m_index = std::move(index);
    m_changed.clear();
    for (auto& column : m_columns)
        column.reset();
}

std::span<const unsigned char> StaticsMap::blockRecords(std::size_t b) const {
    if (!m_changed.empty()) {
        if (const auto it = m_changed.find(b); it != m_changed.end())
            return it->second;
    }
    return savedRecords(b);
}

std::span<const unsigned char> StaticsMap::savedRecords(std::size_t b) const {
    if (b >= m_index.size() / kStaticIndexEntrySize)
        return {};
    const unsigned char* entry = m_index.data() + b * kStaticIndexEntrySize;
    const std::int32_t offset = readI32(entry);
    const std::uint32_t length = readU32(entry + 4);
    if (length == 0 || !isSoundEntry(offset, length, m_data.size()))
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
