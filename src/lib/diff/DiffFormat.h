#pragma once
// The diff patch file (".qmz") and the statics pair it is made from.
//
// A patch covers the 768 x 512 blocks of a 6144 x 4096 map in block order
// (b = X * 512 + Y, X the block column). Layout: a 1024-byte header, then (statics part)
// the changed statics blocks' records and an index of 8-byte entries, then (map part) the
// changed 196-byte map blocks and an index of 4-byte entries. All integers are 32-bit
// little-endian; positions are offsets from the start of the patch.

#include "shell/LittleEndian.h"
#include "shell/Progress.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tb {

constexpr int kDiffBlockColumns = 768;
constexpr int kDiffBlockRows = 512;
constexpr int kDiffBlockCount = kDiffBlockColumns * kDiffBlockRows; // 393,216
constexpr int kDiffHeaderSize = 1024;
constexpr std::int32_t kDiffVersion = 3;
constexpr int kStaticRecSize = 7;      // TStaticRec, compared and copied as opaque bytes
constexpr int kStaticPointerSize = 12; // StaticPointer: Lookup, Length, Extra
constexpr int kPatchStaticsEntrySize = 8;
constexpr int kPatchMapEntrySize = 4;
constexpr std::int64_t kMapColumnBytes = std::int64_t(kDiffBlockRows) * 196; // 100,352
// The map checksum stops one block column short: the last column (X = 767) is outside it.
constexpr int kMapChecksumBlocks = 392704;
constexpr std::int64_t kStaIdxBytes = std::int64_t(kDiffBlockCount) * kStaticPointerSize;

// The stage texts of a run, in the order they appear.
inline constexpr const char* kStageWorking = "Working, please wait...";
inline constexpr const char* kStageStatics = "Generating patch (Statics)";
inline constexpr const char* kStageStaticsIndex = "Generating patch (Statics index)";
inline constexpr const char* kStageMap = "Generating patch (Map)";
inline constexpr const char* kStageMapIndex = "Generating patch (Map index)";

inline constexpr const char* kDiffStoppedMessage =
    "The diff patch generation was stopped: no patch file was written.";

inline constexpr const char* kStaticsLengthMessage =
    "StaticPointer.Length is not a multiple of SizeOf(TStaticRec)";

// A statics index entry whose Length is not a whole number of records. what() is the
// window's fixed text; the index file and the block, where known, are kept for tbmap.
class StaticsLengthError : public std::runtime_error {
public:
    StaticsLengthError() : std::runtime_error(kStaticsLengthMessage) {}
    StaticsLengthError(std::filesystem::path indexFile, int column, int row)
        : std::runtime_error(kStaticsLengthMessage), m_indexFile(std::move(indexFile)),
          m_column(column), m_row(row) {}
    // The staidx file of the entry; empty when not known.
    const std::filesystem::path& indexFile() const { return m_indexFile; }
    int blockColumn() const { return m_column; }
    int blockRow() const { return m_row; }

private:
    std::filesystem::path m_indexFile;
    int m_column = -1;
    int m_row = -1;
};

// TBHDInfo: the packed 1024-byte header. Checksums are kept as their 32-bit patterns.
struct TBHDInfo {
    std::int32_t version = kDiffVersion;
    std::int32_t staticsIndexPos = -1;
    std::uint32_t origStaIdxCRC = 0;
    std::int32_t origStaticsSize = 0;
    std::uint32_t modStaIdxCRC = 0;
    std::int32_t modStaticsSize = 0;
    std::int32_t mapIndexPos = -1;
    std::uint32_t mapCRC = 0;
    friend bool operator==(const TBHDInfo&, const TBHDInfo&) = default;
};

// The header as written first: both positions -1, every other field 0.
inline TBHDInfo provisionalHeader() {
    return TBHDInfo{};
}

// The 1024 header bytes: "TBPatch" in UTF-16LE at 0, the eight fields from offset 14 on,
// zeros after offset 46.
std::array<unsigned char, kDiffHeaderSize> encodeHeader(const TBHDInfo& header);
// Reads a header back; throws std::invalid_argument when the bytes are too few or the
// magic text is missing.
TBHDInfo decodeHeader(std::span<const unsigned char> bytes);

// StaticPointer: one entry of staidx0.mul.
struct StaticPointer {
    std::int32_t lookup = -1; // position in statics0.mul, -1 for a block without statics
    std::uint32_t length = 0; // bytes, a multiple of 7
    std::uint32_t extra = 0;  // carried along, never interpreted
};

// Two entries are taken as equal when Lookup and Length are; Extra does not count.
inline bool samePointer(const StaticPointer& a, const StaticPointer& b) {
    return a.lookup == b.lookup && a.length == b.length;
}

inline StaticPointer decodeStaticPointer(const unsigned char* p) {
    return {readI32(p), readU32(p + 4), readU32(p + 8)};
}
inline void encodeStaticPointer(unsigned char* p, const StaticPointer& pointer) {
    writeI32(p, pointer.lookup);
    writeU32(p + 4, pointer.length);
    writeU32(p + 8, pointer.extra);
}

// The blocks a run covers: `columns` x `rows`, in block order (b = X * rows + Y). Client
// files always use the whole 768 x 512 grid, the default. A smaller grid keeps every rule
// (entry sizes, block order, the map checksum leaving out the last column) and lets tests
// and the fuzz target run the whole generator over files of a few kilobytes.
struct DiffGrid {
    int columns = kDiffBlockColumns;
    int rows = kDiffBlockRows;

    constexpr int blockCount() const { return columns * rows; }
    // The map blocks the map checksum covers: every column but the last.
    constexpr int mapChecksumBlocks() const { return (columns - 1) * rows; }
    constexpr std::int64_t mapColumnBytes() const { return std::int64_t(rows) * 196; }
    constexpr std::int64_t staIdxBytes() const {
        return std::int64_t(blockCount()) * kStaticPointerSize;
    }
    // Throws std::invalid_argument unless 1 <= columns <= 768 and 1 <= rows <= 512.
    void check() const;
    friend bool operator==(const DiffGrid&, const DiffGrid&) = default;
};

// StaIdxTable: a whole statics index, 393,216 entries in block order (or those of a smaller
// grid), kept as the file's bytes (4,718,592) and decoded on access.
class StaIdxTable {
public:
    // The storage is not cleared: readStaIdx fills every byte.
    explicit StaIdxTable(const DiffGrid& grid = {})
        : m_grid(checked(grid)), m_bytes(std::make_unique_for_overwrite<unsigned char[]>(
                                     static_cast<std::size_t>(grid.staIdxBytes()))) {}
    StaticPointer at(int x, int y) const {
        return decodeStaticPointer(m_bytes.get() + offset(x, y));
    }
    void set(int x, int y, const StaticPointer& p) {
        encodeStaticPointer(m_bytes.get() + offset(x, y), p);
    }
    const DiffGrid& grid() const { return m_grid; }
    std::size_t size() const { return static_cast<std::size_t>(m_grid.staIdxBytes()); }
    unsigned char* data() { return m_bytes.get(); }
    const unsigned char* data() const { return m_bytes.get(); }

private:
    static const DiffGrid& checked(const DiffGrid& grid) {
        grid.check();
        return grid;
    }
    std::size_t offset(int x, int y) const {
        return (std::size_t(x) * std::size_t(m_grid.rows) + std::size_t(y)) * kStaticPointerSize;
    }
    DiffGrid m_grid;
    std::unique_ptr<unsigned char[]> m_bytes;
};

// ReadStaIdx: loads the first 393,216 entries (the table's grid) of a staidx0.mul, whole
// block columns, up to 1 MiB per read. `progress` gets 0, then X * 100 / 768 (768: the
// grid's columns) for each column read, then 100, each of 100 under `caption` (the stage
// showing). A shorter file is a FileError; a stop throws OperationStopped
// (kDiffStoppedMessage).
void readStaIdx(const std::filesystem::path& path, StaIdxTable& table,
                Progress& progress = noProgress(), const std::string& caption = kStageStatics);

// StaIdxChecksum: the XOR of all 1,179,648 32-bit words (3 per entry of the table's grid)
// of the table's entries.
std::uint32_t staIdxChecksum(const StaIdxTable& table);

// MapChecksum: the XOR of the 49 words of each of the first 392,704 blocks of a map file.
// `progress` gets 0, then blocks-read * 100 / 393,216 whenever that value changes (so the
// last block shows 99), then 100, each of 100 under `caption`; a stop throws
// OperationStopped (kDiffStoppedMessage).
std::uint32_t mapChecksum(const std::filesystem::path& path, Progress& progress = noProgress(),
                          const std::string& caption = kStageWorking);

// The XOR of `words` consecutive 32-bit little-endian words starting at `p`.
std::uint32_t xorFoldWords(const unsigned char* p, std::size_t words);

// StaticBlock: the records of one block.
struct StaticBlock {
    std::vector<unsigned char> records; // count() * 7 bytes
    std::size_t count() const { return records.size() / kStaticRecSize; }
    friend bool operator==(const StaticBlock&, const StaticBlock&) = default;
};

// GetStaticBlock: the records `pointer` names in a statics0.mul. Lookup -1 gives an empty
// block without opening the file; a Length that is not a multiple of 7 throws
// StaticsLengthError; records past the end of the file are a FileError.
StaticBlock getStaticBlock(const std::filesystem::path& staticsPath, const StaticPointer& pointer);

} // namespace tb
