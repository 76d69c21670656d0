#include "tools/MapCopy.h"

#include "tools/ToolFiles.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace fs = std::filesystem;

namespace tb {
namespace {

constexpr int kRowBytes = kCellsPerBlockSide * kCellSize;

// Byte position of cell (x, y) inside a run of blocks of one block column that starts at
// block row `firstBlockRow`.
inline std::size_t cellInRun(std::int64_t x, std::int64_t y, std::int64_t firstBlockRow) {
    return std::size_t((y / 8 - firstBlockRow) * kBlockSize + kBlockHeaderSize +
                       (y % 8) * kRowBytes + (x % 8) * kCellSize);
}

// The source side's block columns, rows firstRow..lastRow of each, read from the file when
// asked or, for a copy within one file whose two sides disagree on the geometry, from a
// snapshot taken before anything is written.
class SourceColumns {
public:
    SourceColumns(const PositionedFile& file, int heightBlocks, std::int64_t firstRow,
                  std::int64_t lastRow)
        : m_file(file), m_heightBlocks(heightBlocks), m_firstRow(firstRow),
          m_runBytes(std::size_t(lastRow - firstRow + 1) * kBlockSize) {}

    std::size_t runBytes() const { return m_runBytes; }

    void takeSnapshot(std::int64_t firstColumn, std::int64_t lastColumn) {
        m_snapshotFirst = firstColumn;
        m_snapshot.resize(std::size_t(lastColumn - firstColumn + 1) * m_runBytes);
        for (std::int64_t c = firstColumn; c <= lastColumn; ++c)
            readFromFile(c, m_snapshot.data() + std::size_t(c - firstColumn) * m_runBytes);
    }

    void read(std::int64_t column, unsigned char* out) const {
        if (m_snapshot.empty())
            readFromFile(column, out);
        else
            std::memcpy(out, m_snapshot.data() + std::size_t(column - m_snapshotFirst) * m_runBytes,
                        m_runBytes);
    }

private:
    void readFromFile(std::int64_t column, unsigned char* out) const {
        m_file.readAt((column * m_heightBlocks + m_firstRow) * kBlockSize, out, m_runBytes);
    }

    const PositionedFile& m_file;
    int m_heightBlocks;
    std::int64_t m_firstRow;
    std::size_t m_runBytes;
    std::vector<unsigned char> m_snapshot;
    std::int64_t m_snapshotFirst = 0;
};

} // namespace

std::string copyMapCaption(const MapVariant& variant) {
    if (variant.fileName == "map1.mul" && variant.sizeText == "7168x4096")
        return "Mondains Legacy";
    return std::string(variant.caption);
}

std::optional<int> copyBlocksHigh(std::string_view caption) {
    return heightBlocksFromCaption(caption);
}

bool sourceCoordinateOutOfRange(std::int64_t value, std::int32_t last) {
    return value < 0 || value > last;
}

bool targetCoordinateOutOfRange(std::int64_t d, std::int64_t c1, std::int64_t c2,
                                std::int32_t last) {
    return d < 0 || d > last || d + c2 - c1 > last;
}

int copyProgressPercent(std::int32_t x, std::int32_t x2) {
    return x2 == 0 ? 100 : int(std::int64_t(x) * 100 / x2);
}

void copyMapCells(const fs::path& source, const CopyRect& rect, const fs::path& destination,
                  const std::function<void(int percent)>& progress) {
    const std::optional<MapVariant> from = identifyMapFile(source);
    const std::optional<MapVariant> to = identifyMapFile(destination);
    const std::int32_t sourceLastX = from ? from->width - 1 : 0;
    const std::int32_t sourceLastY = from ? from->height - 1 : 0;
    const std::int32_t targetLastX = to ? to->width - 1 : 0;
    const std::int32_t targetLastY = to ? to->height - 1 : 0;
    if (sourceCoordinateOutOfRange(rect.x1, sourceLastX) ||
        sourceCoordinateOutOfRange(rect.x2, sourceLastX) ||
        sourceCoordinateOutOfRange(rect.y1, sourceLastY) ||
        sourceCoordinateOutOfRange(rect.y2, sourceLastY) ||
        targetCoordinateOutOfRange(rect.dx, rect.x1, rect.x2, targetLastX) ||
        targetCoordinateOutOfRange(rect.dy, rect.y1, rect.y2, targetLastY))
        throw ToolRefusal(kWrongCoordinatesMessage);
    if (!from || !to)
        throw ToolRefusal(kUnknownMapMessage);
    if (rect.x1 == 0 && rect.y1 == 0 && rect.x2 == 0 && rect.y2 == 0)
        throw ToolRefusal(kZeroCoordinatesMessage);

    const bool sameFile = isSameFile(source, destination);
    std::optional<PositionedFile> sourceFile;
    if (!sameFile)
        sourceFile.emplace(source, PositionedFile::Mode::Read);
    PositionedFile targetFile(destination, PositionedFile::Mode::ReadWrite);
    const PositionedFile& input = sameFile ? targetFile : *sourceFile;

    auto report = [&](std::int32_t x) {
        if (progress)
            progress(copyProgressPercent(x, rect.x2));
    };
    if (rect.x2 < rect.x1)
        return;
    const std::int64_t width = std::int64_t(rect.x2) - rect.x1 + 1;
    if (rect.y2 < rect.y1) {
        for (std::int32_t x = rect.x1; x <= rect.x2; ++x)
            report(x);
        return;
    }

    const int sourceHeight = from->heightBlocks();
    const int targetHeight = to->heightBlocks();
    const std::int64_t shift = std::int64_t(rect.dx) - rect.x1; // target column = x + shift
    const std::int64_t lastTargetY = std::int64_t(rect.dy) + rect.y2 - rect.y1;
    const std::int64_t targetFirstRow = rect.dy / 8;
    const std::size_t targetRunBytes =
        std::size_t(lastTargetY / 8 - targetFirstRow + 1) * kBlockSize;

    SourceColumns columns(input, sourceHeight, rect.y1 / 8, rect.y2 / 8);
    // Within one file, work through the target block columns in the direction that reads
    // every source cell before it is overwritten (as a memmove does); when the two sides
    // address the file differently, copy from a snapshot instead (such a file is small).
    bool descending = false;
    if (sameFile && sourceHeight == targetHeight)
        descending = shift > 0;
    else if (sameFile)
        columns.takeSnapshot(rect.x1 / 8, rect.x2 / 8);

    std::vector<unsigned char> sourceRun(columns.runBytes() * 2);
    std::vector<unsigned char> targetRun(targetRunBytes);
    const std::int64_t firstBlock = rect.dx / 8;
    const std::int64_t lastBlock = (rect.dx + width - 1) / 8;
    std::int32_t columnsDone = 0;
    for (std::int64_t i = 0; i <= lastBlock - firstBlock; ++i) {
        const std::int64_t block = descending ? lastBlock - i : firstBlock + i;
        const std::int64_t firstTx = std::max(block * 8, std::int64_t(rect.dx));
        const std::int64_t lastTx = std::min(block * 8 + 7, rect.dx + width - 1);
        const std::int64_t firstSourceBlock = (firstTx - shift) / 8;
        const std::int64_t lastSourceBlock = (lastTx - shift) / 8;
        for (std::int64_t b = firstSourceBlock; b <= lastSourceBlock; ++b)
            columns.read(b,
                         sourceRun.data() + std::size_t(b - firstSourceBlock) * columns.runBytes());
        const std::int64_t targetOffset = (block * targetHeight + targetFirstRow) * kBlockSize;
        targetFile.readAt(targetOffset, targetRun.data(), targetRunBytes);

        for (std::int64_t tx = firstTx; tx <= lastTx; ++tx) {
            const std::int64_t x = tx - shift;
            const unsigned char* column =
                sourceRun.data() + std::size_t(x / 8 - firstSourceBlock) * columns.runBytes();
            for (std::int64_t y = rect.y1; y <= rect.y2; ++y) {
                const std::int64_t ty = y + rect.dy - rect.y1;
                std::memcpy(targetRun.data() + cellInRun(tx, ty, targetFirstRow),
                            column + cellInRun(x, y, rect.y1 / 8), kCellSize);
            }
        }
        targetFile.writeAt(targetOffset, targetRun.data(), targetRunBytes);

        for (std::int64_t n = lastTx - firstTx + 1; n > 0; --n)
            report(rect.x1 + columnsDone++);
    }
}

} // namespace tb
