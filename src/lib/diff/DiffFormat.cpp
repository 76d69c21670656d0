#include "diff/DiffFormat.h"

#include "diff/InputFile.h"
#include "shell/LittleEndian.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tb {
namespace {

constexpr char16_t kMagic[] = u"TBPatch";
constexpr int kMagicUnits = 7;

// Header field offsets inside the packed record.
constexpr int kOffVersion = 14;
constexpr int kOffStaticsIndexPos = 18;
constexpr int kOffOrigStaIdxCRC = 22;
constexpr int kOffOrigStaticsSize = 26;
constexpr int kOffModStaIdxCRC = 30;
constexpr int kOffModStaticsSize = 34;
constexpr int kOffMapIndexPos = 38;
constexpr int kOffMapCRC = 42;

constexpr std::size_t kStaIdxReadBytes = std::size_t(1) << 20;

} // namespace

// Two words are folded at a time as one 64-bit little-endian value (the low half is the
// first word), in four independent lanes so the loop runs at memory speed; the halves are
// combined at the end.
std::uint32_t xorFoldWords(const unsigned char* p, std::size_t words) {
    std::uint64_t lanes[4] = {0, 0, 0, 0};
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= words; i += 8) {
            for (int k = 0; k < 4; ++k) {
                std::uint64_t v;
                std::memcpy(&v, p + (i + 2 * std::size_t(k)) * 4, 8);
                lanes[k] ^= v;
            }
        }
    }
    const std::uint64_t pairs = lanes[0] ^ lanes[1] ^ lanes[2] ^ lanes[3];
    std::uint32_t result = std::uint32_t(pairs) ^ std::uint32_t(pairs >> 32);
    for (; i < words; ++i)
        result ^= readU32(p + i * 4);
    return result;
}

std::array<unsigned char, kDiffHeaderSize> encodeHeader(const TBHDInfo& header) {
    std::array<unsigned char, kDiffHeaderSize> bytes{};
    for (int i = 0; i < kMagicUnits; ++i)
        writeU16(bytes.data() + 2 * i, static_cast<std::uint16_t>(kMagic[i]));
    writeI32(bytes.data() + kOffVersion, header.version);
    writeI32(bytes.data() + kOffStaticsIndexPos, header.staticsIndexPos);
    writeU32(bytes.data() + kOffOrigStaIdxCRC, header.origStaIdxCRC);
    writeI32(bytes.data() + kOffOrigStaticsSize, header.origStaticsSize);
    writeU32(bytes.data() + kOffModStaIdxCRC, header.modStaIdxCRC);
    writeI32(bytes.data() + kOffModStaticsSize, header.modStaticsSize);
    writeI32(bytes.data() + kOffMapIndexPos, header.mapIndexPos);
    writeU32(bytes.data() + kOffMapCRC, header.mapCRC);
    return bytes;
}

TBHDInfo decodeHeader(std::span<const unsigned char> bytes) {
    if (bytes.size() < std::size_t(kDiffHeaderSize))
        throw std::invalid_argument("a diff patch header needs 1024 bytes");
    for (int i = 0; i < kMagicUnits; ++i)
        if (readU16(bytes.data() + 2 * i) != kMagic[i])
            throw std::invalid_argument("not a diff patch: the header lacks \"TBPatch\"");
    TBHDInfo h;
    h.version = readI32(bytes.data() + kOffVersion);
    h.staticsIndexPos = readI32(bytes.data() + kOffStaticsIndexPos);
    h.origStaIdxCRC = readU32(bytes.data() + kOffOrigStaIdxCRC);
    h.origStaticsSize = readI32(bytes.data() + kOffOrigStaticsSize);
    h.modStaIdxCRC = readU32(bytes.data() + kOffModStaIdxCRC);
    h.modStaticsSize = readI32(bytes.data() + kOffModStaticsSize);
    h.mapIndexPos = readI32(bytes.data() + kOffMapIndexPos);
    h.mapCRC = readU32(bytes.data() + kOffMapCRC);
    return h;
}

void DiffGrid::check() const {
    if (columns < 1 || columns > kDiffBlockColumns || rows < 1 || rows > kDiffBlockRows)
        throw std::invalid_argument("a diff block grid has 1 to 768 columns of 1 to 512 blocks");
}

void readStaIdx(const std::filesystem::path& path, StaIdxTable& table, Progress& progress,
                const std::string& caption) {
    const DiffGrid& grid = table.grid();
    const InputFile file(path);
    progress.report(caption, 0, 100);
    const std::size_t columnBytes = std::size_t(grid.rows) * kStaticPointerSize;
    // Many columns a call: a call per 6 KiB column costs more in the kernel than the copy.
    const int columnsPerRead = std::max(1, int(kStaIdxReadBytes / columnBytes));
    for (int x = 0; x < grid.columns;) {
        const int columns = std::min(columnsPerRead, grid.columns - x);
        file.readAt(std::int64_t(x) * std::int64_t(columnBytes),
                    table.data() + std::size_t(x) * columnBytes,
                    std::size_t(columns) * columnBytes);
        for (const int end = x + columns; x < end; ++x)
            reportStep(progress, caption, x * 100 / grid.columns, 100, kDiffStoppedMessage);
    }
    progress.report(caption, 100, 100);
}

std::uint32_t staIdxChecksum(const StaIdxTable& table) {
    return xorFoldWords(table.data(), table.size() / 4);
}

std::uint32_t mapChecksum(const std::filesystem::path& path, Progress& progress,
                          const std::string& caption) {
    const InputFile file(path);
    progress.report(caption, 0, 100);
    std::vector<unsigned char> column(static_cast<std::size_t>(kMapColumnBytes));
    std::uint32_t result = 0;
    int lastPercent = 0;
    for (int blocksRead = 0; blocksRead < kMapChecksumBlocks;) {
        const int blocks = std::min(kDiffBlockRows, kMapChecksumBlocks - blocksRead);
        file.readAt(std::int64_t(blocksRead) * 196, column.data(), std::size_t(blocks) * 196);
        result ^= xorFoldWords(column.data(), std::size_t(blocks) * 49);
        blocksRead += blocks;
        // Divided by all 393,216 blocks, so the bar ends at 99 before the final 100.
        const int percent = int(std::int64_t(blocksRead) * 100 / kDiffBlockCount);
        if (percent != lastPercent)
            progress.report(caption, percent, 100);
        lastPercent = percent;
        stopIfRequested(progress, kDiffStoppedMessage);
    }
    progress.report(caption, 100, 100);
    return result;
}

StaticBlock getStaticBlock(const std::filesystem::path& staticsPath, const StaticPointer& pointer) {
    StaticBlock block;
    if (pointer.lookup == -1)
        return block;
    const InputFile file(staticsPath);
    if (pointer.length % kStaticRecSize != 0)
        throw StaticsLengthError();
    file.checkRange(pointer.lookup, pointer.length); // before a hostile length allocates
    block.records.resize(pointer.length);
    file.readAt(pointer.lookup, block.records.data(), block.records.size());
    return block;
}

} // namespace tb
