#include "tools/MapCopy.h"

#include "core/MapFile.h"
#include "core/MapFileReader.h"
#include "core/MapImage.h"
#include "shell/AtomicFileWriter.h"
#include "shell/Errors.h"
#include "shell/FileIdentity.h"
#include "tools/ToolFiles.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace tb {
namespace {

constexpr int kRowBytes = kCellsPerBlockSide * kCellSize;
// Target block columns handled per batch: few system calls, about 2 MB of buffers at most.
constexpr std::int64_t kBatchColumns = 8;

// Byte position of cell (x, y) inside a run of blocks of one block column that starts at
// block row `firstBlockRow`.
inline std::size_t cellInRun(std::int64_t x, std::int64_t y, std::int64_t firstBlockRow) {
    return std::size_t((y / 8 - firstBlockRow) * kBlockSize + kBlockHeaderSize +
                       (y % 8) * kRowBytes + (x % 8) * kCellSize);
}

// Positioned reads and writes on one side's file: the source map, or the new destination
// being prepared beside the old one.
struct BlockFile {
    std::function<void(std::int64_t offset, void* data, std::size_t size)> readAt;
    std::function<void(std::int64_t offset, const void* data, std::size_t size)> writeAt;
};

// Runs of blocks of one side: rows firstRow..lastRow of consecutive block columns. When the
// rows are a whole column, consecutive runs are adjacent in the file and move in one call.
// The source side may instead be read from a snapshot taken before anything is written
// (for a copy within one file whose two sides disagree on the geometry).
class ColumnRuns {
public:
    ColumnRuns(const BlockFile& file, int heightBlocks, std::int64_t firstRow, std::int64_t lastRow)
        : m_file(file), m_heightBlocks(heightBlocks), m_firstRow(firstRow),
          m_runBytes(std::size_t(lastRow - firstRow + 1) * kBlockSize),
          m_wholeColumns(firstRow == 0 && lastRow == heightBlocks - 1) {}

    std::size_t runBytes() const { return m_runBytes; }

    void takeSnapshot(std::int64_t firstColumn, std::int64_t lastColumn) {
        std::vector<unsigned char> snapshot(std::size_t(lastColumn - firstColumn + 1) * m_runBytes);
        read(firstColumn, lastColumn, snapshot.data());
        m_snapshot = std::move(snapshot);
        m_snapshotFirst = firstColumn;
    }

    void read(std::int64_t firstColumn, std::int64_t lastColumn, unsigned char* out) const {
        if (!m_snapshot.empty()) {
            std::memcpy(out,
                        m_snapshot.data() + std::size_t(firstColumn - m_snapshotFirst) * m_runBytes,
                        std::size_t(lastColumn - firstColumn + 1) * m_runBytes);
            return;
        }
        if (m_wholeColumns) {
            m_file.readAt(offset(firstColumn), out,
                          std::size_t(lastColumn - firstColumn + 1) * m_runBytes);
            return;
        }
        for (std::int64_t c = firstColumn; c <= lastColumn; ++c, out += m_runBytes)
            m_file.readAt(offset(c), out, m_runBytes);
    }

    void write(std::int64_t firstColumn, std::int64_t lastColumn, const unsigned char* in) {
        if (m_wholeColumns) {
            m_file.writeAt(offset(firstColumn), in,
                           std::size_t(lastColumn - firstColumn + 1) * m_runBytes);
            return;
        }
        for (std::int64_t c = firstColumn; c <= lastColumn; ++c, in += m_runBytes)
            m_file.writeAt(offset(c), in, m_runBytes);
    }

private:
    std::int64_t offset(std::int64_t column) const {
        return (column * m_heightBlocks + m_firstRow) * kBlockSize;
    }

    const BlockFile& m_file;
    int m_heightBlocks;
    std::int64_t m_firstRow;
    std::size_t m_runBytes;
    bool m_wholeColumns;
    std::vector<unsigned char> m_snapshot;
    std::int64_t m_snapshotFirst = 0;
};

} // namespace

std::string copyMapCaption(const MapVariant& variant) {
    if (variant.fileName == "map1.mul" && variant.size() == MapSize{7168, 4096})
        return "Mondains Legacy";
    return std::string(variant.caption);
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

std::string copyProgressText(int percent) {
    return "Copying (" + std::to_string(percent) + "%)";
}

void copyMapCells(const fs::path& source, const CopyRect& rect, const fs::path& destination,
                  Progress& progress) {
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

    // The new destination starts as a copy of the old one beside it and replaces it only
    // when every cell is in, so a failed copy leaves the destination as it was.
    const bool inPlace = sameFile(source, destination);
    std::optional<MapFileReader> sourceFile;
    if (!inPlace)
        sourceFile.emplace(source);
    auto report = [&](std::int32_t x) {
        const int percent = copyProgressPercent(x, rect.x2);
        progress.report(copyProgressText(percent), percent, 100);
    };
    if (rect.x2 < rect.x1 || rect.y2 < rect.y1) {
        // Nothing to copy; the destination is still opened, to report it as a copy would.
        PositionedFile(destination, PositionedFile::Mode::ReadWrite);
        for (std::int32_t x = rect.x1; x <= rect.x2; ++x)
            report(x);
        return;
    }
    // A container is changed in memory and saved whole with the layout it was read with;
    // either way the old destination stays until the new one is complete.
    const bool containerTarget = mapFileFormatOf(destination) == MapFileFormat::Uop;
    std::optional<AtomicFileWriter> targetFile;
    std::optional<MapImage> targetImage;
    BlockFile target;
    if (containerTarget) {
        targetImage.emplace(MapImage::load(destination));
        const std::span<unsigned char> bytes = targetImage->writableBytes();
        auto check = [bytes, &destination](std::int64_t offset, std::size_t size) {
            if (offset < 0 || size > bytes.size() || std::size_t(offset) > bytes.size() - size)
                throw FileError("Cannot write file \"" + destination.string() +
                                "\": the copy reaches past the end of its map");
        };
        target = {[=](std::int64_t offset, void* data, std::size_t size) {
                      check(offset, size);
                      std::memcpy(data, bytes.data() + offset, size);
                  },
                  [=](std::int64_t offset, const void* data, std::size_t size) {
                      check(offset, size);
                      std::memcpy(bytes.data() + offset, data, size);
                  }};
    } else {
        targetFile.emplace(destination);
        targetFile->copyCurrentContent();
        target = {[&](std::int64_t offset, void* data, std::size_t size) {
                      targetFile->readAt(offset, data, size);
                  },
                  [&](std::int64_t offset, const void* data, std::size_t size) {
                      targetFile->writeAt(offset, data, size);
                  }};
    }
    const BlockFile input = inPlace
                                ? target
                                : BlockFile{[&](std::int64_t offset, void* data, std::size_t size) {
                                                sourceFile->readAt(offset, data, size);
                                            },
                                            {}};

    const std::int64_t width = std::int64_t(rect.x2) - rect.x1 + 1;
    const std::int64_t shift = std::int64_t(rect.dx) - rect.x1; // target column = x + shift
    const std::int64_t sourceFirstRow = rect.y1 / 8;
    const std::int64_t targetFirstRow = rect.dy / 8;
    ColumnRuns sources(input, from->heightBlocks(), sourceFirstRow, rect.y2 / 8);
    ColumnRuns targets(target, to->heightBlocks(), targetFirstRow,
                       (std::int64_t(rect.dy) + rect.y2 - rect.y1) / 8);

    // Within one file, work through the target in the direction that reads every source
    // cell before it is overwritten (as a memmove does); when the two sides address the file
    // differently, copy from a snapshot instead (such a file is small).
    bool descending = false;
    if (inPlace && from->heightBlocks() == to->heightBlocks())
        descending = shift > 0;
    else if (inPlace)
        sources.takeSnapshot(rect.x1 / 8, rect.x2 / 8);

    // Target block columns go in batches; a batch reads its source block columns and its
    // target blocks, fills in the cells and writes the target blocks back.
    std::vector<unsigned char> sourceRun(sources.runBytes() * (kBatchColumns + 1));
    std::vector<unsigned char> targetRun(targets.runBytes() * kBatchColumns);
    const std::int64_t firstBlock = rect.dx / 8;
    const std::int64_t lastBlock = (rect.dx + width - 1) / 8;
    const std::int64_t batches = (lastBlock - firstBlock) / kBatchColumns + 1;
    std::int32_t columnsDone = 0;
    for (std::int64_t i = 0; i < batches; ++i) {
        std::int64_t lowBlock, highBlock;
        if (descending) {
            highBlock = lastBlock - i * kBatchColumns;
            lowBlock = std::max(firstBlock, highBlock - kBatchColumns + 1);
        } else {
            lowBlock = firstBlock + i * kBatchColumns;
            highBlock = std::min(lastBlock, lowBlock + kBatchColumns - 1);
        }
        const std::int64_t firstTx = std::max(lowBlock * 8, std::int64_t(rect.dx));
        const std::int64_t lastTx = std::min(highBlock * 8 + 7, rect.dx + width - 1);
        const std::int64_t firstSourceBlock = (firstTx - shift) / 8;
        sources.read(firstSourceBlock, (lastTx - shift) / 8, sourceRun.data());
        targets.read(lowBlock, highBlock, targetRun.data());

        // Row by row within each target block column: the cells of one row of a block lie
        // side by side, so a target row segment takes one or two runs of source cells (two
        // when its source columns straddle a source block boundary).
        for (std::int64_t block = lowBlock; block <= highBlock; ++block) {
            const std::int64_t firstX = std::max(block * 8, firstTx) - shift;
            const std::int64_t lastX = std::min(block * 8 + 7, lastTx) - shift;
            const std::int64_t splitX = std::min(lastX + 1, (firstX / 8 + 1) * 8);
            // Up to two runs per row: where each starts in the source and target buffers
            // (rows excluded) and how many bytes it holds.
            struct Run {
                std::size_t from, to, bytes;
            } runs[2];
            int runCount = 0;
            for (const auto& [first, last] :
                 {std::pair{firstX, splitX - 1}, std::pair{splitX, lastX}})
                if (first <= last)
                    runs[runCount++] = {std::size_t(first / 8 - firstSourceBlock) *
                                                sources.runBytes() +
                                            std::size_t(first % 8) * kCellSize,
                                        std::size_t(block - lowBlock) * targets.runBytes() +
                                            std::size_t((first + shift) % 8) * kCellSize,
                                        std::size_t(last - first + 1) * kCellSize};
            for (std::int64_t y = rect.y1; y <= rect.y2; ++y) {
                const std::size_t sourceRow = cellInRun(0, y, sourceFirstRow);
                const std::size_t targetRow = cellInRun(0, y + rect.dy - rect.y1, targetFirstRow);
                for (int r = 0; r < runCount; ++r) {
                    unsigned char* to = targetRun.data() + runs[r].to + targetRow;
                    const unsigned char* from = sourceRun.data() + runs[r].from + sourceRow;
                    if (runs[r].bytes == kRowBytes)
                        std::memcpy(to, from, kRowBytes); // a whole block row, inlined
                    else
                        std::memcpy(to, from, runs[r].bytes);
                }
            }
        }
        targets.write(lowBlock, highBlock, targetRun.data());

        for (std::int64_t n = lastTx - firstTx + 1; n > 0; --n)
            report(rect.x1 + columnsDone++);
        // The new destination is only a temporary file (or an image in memory) until the
        // end, so a stop here leaves the old one.
        stopIfRequested(progress, kCopyStoppedMessage);
    }
    if (containerTarget)
        targetImage->save(destination);
    else
        targetFile->commit();
}

} // namespace tb
