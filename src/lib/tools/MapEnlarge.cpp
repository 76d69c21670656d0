#include "tools/MapEnlarge.h"

#include "core/MapFile.h"
#include "core/MapFileReader.h"
#include "core/MapOutputFile.h"
#include "core/MapVariant.h"
#include "shell/FileIdentity.h"
#include "tools/ToolFiles.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace fs = std::filesystem;

namespace tb {
namespace {

constexpr int kEnlargedWidthBlocks = kEnlargedWidth / kCellsPerBlockSide;
// Block columns produced per write: large enough for few system calls, small enough that
// memory stays under a few megabytes for any map.
constexpr int kBlockColumnsPerRun = 8;

} // namespace

const char* enlargedMapDefaultName(const fs::path& source) {
    return mapFileFormatOf(source) == MapFileFormat::Uop ? "map0LegacyMUL.uop" : "map0.mul";
}

std::string blankPassText(int x) {
    return "Creating new map file (" + std::to_string(x * 100 / kEnlargedWidth) + "%)";
}

std::string copyPassText(int x, int maxX) {
    const int percent = maxX > 0 ? x * 100 / maxX : 100;
    return "Copying source map to new map (" + std::to_string(percent) + "%)";
}

void enlargeMap(const fs::path& source, const fs::path& destination, Progress& progress) {
    const std::optional<MapVariant> variant = identifyMapFile(source);
    if (!variant)
        throw ToolRefusal(kWrongSourceMapMessage);
    if (sameFile(source, destination))
        throw ToolRefusal(kEnlargeOntoSourceMessage);

    const int maxX = variant->width - 1;
    const int sourceWidthBlocks = variant->widthBlocks();
    const int sourceHeightBlocks = variant->heightBlocks();
    const std::size_t sourceColumnBytes = std::size_t(sourceHeightBlocks) * kBlockSize;
    const std::size_t columnBytes = std::size_t(kEnlargedHeightBlocks) * kBlockSize;

    auto report = [&](const std::string& text, int position, int maximum) {
        progress.report(text, position, maximum);
    };
    // One step per cell column of the block columns just written, up to lastX; a stop is
    // taken after them, before the next run of columns.
    auto reportColumns = [&](int firstBlockColumn, int blockColumns, auto&& textOf, int lastX,
                             int maximum) {
        const int firstX = firstBlockColumn * kCellsPerBlockSide;
        for (int x = firstX; x < firstX + blockColumns * kCellsPerBlockSide && x <= lastX; ++x)
            report(textOf(x), x, maximum);
        stopIfRequested(progress, kEnlargeStoppedMessage);
    };

    const MapFileReader input(source);
    // A new container takes the facet of its own name, else that of its source.
    const int facet = facetFromFileName(destination.filename().string())
                          .value_or(facetFromFileName(source.filename().string()).value_or(0));
    MapOutputFile output(destination, kEnlargedFileSize, facet);

    // Blank pass: the whole new file, tile 0 at altitude 0 and zero headers everywhere.
    report(kBlankPassStartText, 0, kEnlargedWidth);
    const std::vector<unsigned char> blank(columnBytes * kBlockColumnsPerRun, 0);
    for (int first = 0; first < kEnlargedWidthBlocks; first += kBlockColumnsPerRun) {
        const int count = std::min(kBlockColumnsPerRun, kEnlargedWidthBlocks - first);
        output.writeAt(std::int64_t(first) * std::int64_t(columnBytes), blank.data(),
                       columnBytes * std::size_t(count));
        reportColumns(first, count, blankPassText, kEnlargedWidth - 1, kEnlargedWidth);
    }
    report(kEnlargeDoneText, kEnlargedWidth - 1, kEnlargedWidth);

    // Copy pass: the source's block columns into the top of the new file's columns. A
    // source block column is one contiguous run, and so is its place in the new file.
    report(kCopyPassStartText, 0, maxX);
    std::vector<unsigned char> in(sourceColumnBytes * kBlockColumnsPerRun);
    for (int first = 0; first < sourceWidthBlocks; first += kBlockColumnsPerRun) {
        const int count = std::min(kBlockColumnsPerRun, sourceWidthBlocks - first);
        input.readAt(std::int64_t(first) * std::int64_t(sourceColumnBytes), in.data(),
                     sourceColumnBytes * std::size_t(count));
        for (int c = 0; c < count; ++c) {
            unsigned char* column = in.data() + std::size_t(c) * sourceColumnBytes;
            for (int by = 0; by < sourceHeightBlocks; ++by) // source headers stay behind
                std::fill_n(column + std::size_t(by) * kBlockSize, kBlockHeaderSize, 0);
            output.writeAt(std::int64_t(first + c) * std::int64_t(columnBytes), column,
                           sourceColumnBytes);
        }
        reportColumns(
            first, count, [&](int x) { return copyPassText(x, maxX); }, maxX, maxX);
    }
    output.commit();
    report(kEnlargeDoneText, 0, maxX);
}

} // namespace tb
