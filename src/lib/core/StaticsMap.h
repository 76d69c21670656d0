#pragma once
// The statics of a facet reduced to what the map shows of them: per cell, how many statics
// stand on it and which one is on top.
//
// staidxN.mul holds one 12-byte entry per map block, in the map's block order (signed 32-bit
// offset into staticsN.mul, -1 for no statics; 32-bit byte length; 32-bit extra, unused).
// staticsN.mul holds 7-byte records: unsigned 16-bit tile id, the cell's column and row
// inside the block (0..7 each), signed 8-bit z, 16-bit hue (unused here).
//
// Per block, a 64-bit mask marks the cells with statics and the cells' summaries are
// stored in the order of the mask's bits, so a cell is found in constant time.
//
// The statics can be edited a block at a time: a changed block's records are kept beside
// the loaded bytes until they are saved (StaticsSave.h). Blocks whose index entry is damaged
// or missing cannot be edited, and records whose column or row is 8 or more are kept byte
// for byte wherever their block's records go.

#include <bit>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <vector>

namespace tb {

constexpr int kStaticIndexEntrySize = 12;
constexpr int kStaticRecordSize = 7;

// One 7-byte record of staticsN.mul, every byte kept.
struct StaticRecord {
    std::uint16_t id = 0;
    std::uint8_t x = 0; // column inside the block, 0..7 when understood
    std::uint8_t y = 0; // row inside the block, 0..7 when understood
    std::int8_t z = 0;
    std::uint16_t hue = 0;

    // Records whose column or row lies outside their block are never shown or edited.
    bool understood() const { return x < 8 && y < 8; }
    friend bool operator==(const StaticRecord&, const StaticRecord&) = default;
};

// The record stored at `p` (7 bytes), and the 7 bytes of `record` written at `p`.
StaticRecord readStaticRecord(const unsigned char* p);
void writeStaticRecord(unsigned char* p, const StaticRecord& record);
// The records of `bytes` (a whole number of 7-byte records) in file order.
std::vector<StaticRecord> readStaticRecords(std::span<const unsigned char> bytes);

// What the statics of one cell show.
struct StaticCell {
    std::uint16_t topmostId = 0; // tile id of the record with the greatest z (last of equals)
    std::int8_t topmostZ = 0;
    std::uint32_t count = 0; // records on the cell
};

// The statics of one block: bit (row * 8 + column) of `mask` is set for each cell that has
// statics, and `cells` holds those cells' summaries in the order of their bits.
struct BlockStatics {
    std::uint64_t mask = 0;
    const StaticCell* cells = nullptr;

    // The summary of cell (column, row) of the block, or nullptr when it has no statics.
    const StaticCell* cell(int column, int row) const {
        const int bit = row * 8 + column;
        if (((mask >> bit) & 1) == 0)
            return nullptr;
        return cells + std::popcount(mask & ((std::uint64_t(1) << bit) - 1));
    }
};

// What was wrong in a statics pair; the blocks concerned show no statics.
struct StaticsDamage {
    std::int64_t lengthsNotMultipleOf7 = 0;
    std::int64_t entriesPastData = 0;    // negative offsets, or records past the data's end
    std::int64_t blocksWithoutEntry = 0; // the index is shorter than the map
    bool indexHasPartialEntry = false;   // its size is not a multiple of 12
    bool any() const {
        return lengthsNotMultipleOf7 || entriesPastData || blocksWithoutEntry ||
               indexHasPartialEntry;
    }
};

// Not for use from several threads: summaries are worked out on first use, a block column
// at a time, so loading costs little more than reading the files. A record whose column or
// row lies outside its block is skipped.
class StaticsMap {
public:
    StaticsMap() = default; // a map without statics

    // Takes the bytes of both files for a map of this many blocks and checks every index
    // entry. Damaged entries never stop the load: their blocks show no statics and `damage`
    // counts them.
    StaticsMap(std::vector<unsigned char> index, std::vector<unsigned char> data, int widthBlocks,
               int heightBlocks, StaticsDamage* damage = nullptr);
    // Statics of a map that has none yet: every block empty and editable.
    static StaticsMap empty(int widthBlocks, int heightBlocks);
    StaticsMap(StaticsMap&&) = default;
    StaticsMap& operator=(StaticsMap&&) = default;
    // A second, independent copy (the editor's and the shared copy's of one facet); named,
    // because a copy of a facet's statics is large.
    StaticsMap copy() const;

    int widthBlocks() const { return m_widthBlocks; }
    int heightBlocks() const { return m_heightBlocks; }

    // The statics of block (bx, by); none for a block outside the map.
    BlockStatics block(int bx, int by) const {
        if (bx < 0 || by < 0 || bx >= m_widthBlocks || by >= m_heightBlocks)
            return {};
        const Column& c = column(bx);
        return {c.masks[std::size_t(by)], c.cells.data() + c.firstCell[std::size_t(by)]};
    }

    // The summary of cell (x, y), or nullptr when it has no statics or lies outside the map.
    const StaticCell* cell(std::int32_t x, std::int32_t y) const {
        if (x < 0 || y < 0)
            return nullptr;
        return block(x / 8, y / 8).cell(x % 8, y % 8);
    }

    // The number of statics on cell (x, y).
    std::uint32_t count(std::int32_t x, std::int32_t y) const {
        const StaticCell* c = cell(x, y);
        return c ? c->count : 0;
    }

    // The records of the blocks that show statics, counted on each call.
    std::int64_t recordCount() const;

    // Block numbers are the map's: bx * heightBlocks + by.
    std::size_t blockNumber(int bx, int by) const {
        return std::size_t(bx) * std::size_t(m_heightBlocks) + std::size_t(by);
    }
    std::size_t blockCount() const {
        return std::size_t(m_widthBlocks) * std::size_t(m_heightBlocks);
    }
    // Whether block `b`'s records may be replaced: its index entry is there and sound (or
    // empty). Damaged blocks stay as they are, so saving never loses what they hold.
    bool isEditable(std::size_t b) const;
    // The records of block `b` in file order, as edited; none for a damaged block.
    std::vector<StaticRecord> records(std::size_t b) const;
    // The same as stored, 7 bytes a record, without a copy: for drawing. Valid until the
    // block is changed or saved.
    std::span<const unsigned char> recordBytes(std::size_t b) const { return blockRecords(b); }
    // Replaces the records of block `b`. Throws std::logic_error for a block that is not
    // editable or outside the map.
    void setRecords(std::size_t b, const std::vector<StaticRecord>& records);
    // The blocks changed since loading or the last save, each with its records' bytes.
    const std::map<std::size_t, std::vector<unsigned char>>& changedBlocks() const {
        return m_changed;
    }
    bool isModified() const { return !m_changed.empty(); }

    // The bytes as loaded or last saved: the index whole, and the data file's length.
    const std::vector<unsigned char>& indexBytes() const { return m_index; }
    std::uint64_t dataSize() const { return m_data.size(); }
    // The changed blocks were saved: their records were appended in block order to the data
    // file at `appendedAt` (not before dataSize()), and `index` is the index written.
    void markSaved(std::vector<unsigned char> index, std::uint64_t appendedAt);

private:
    struct Column {
        std::vector<std::uint64_t> masks;     // per block of the column
        std::vector<std::uint32_t> firstCell; // per block: its first summary in `cells`
        std::vector<StaticCell> cells;
    };

    const Column& column(int bx) const {
        const auto& c = m_columns[std::size_t(bx)];
        return c ? *c : buildColumn(bx);
    }
    const Column& buildColumn(int bx) const;
    // The records of block `b`, or none when it has no statics or its entry is damaged.
    std::span<const unsigned char> blockRecords(std::size_t b) const;
    // The same as the files hold them, leaving edits aside.
    std::span<const unsigned char> savedRecords(std::size_t b) const;
    // The index entries that belong to a block of the map.
    std::size_t usedEntries() const;

    int m_widthBlocks = 0;
    int m_heightBlocks = 0;
    std::vector<unsigned char> m_index;
    std::vector<unsigned char> m_data;
    std::map<std::size_t, std::vector<unsigned char>> m_changed; // block -> its records' bytes
    mutable std::vector<std::unique_ptr<Column>> m_columns;
};

} // namespace tb
