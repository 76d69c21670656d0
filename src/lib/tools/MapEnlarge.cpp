#include "tools/MapEnlarge.h"

#include "core/MapVariant.h"
#include "shell/AtomicFile.h"
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
constexpr int kCellBytesPerBlock = kBlockSize - kBlockHeaderSize;

} // namespace

std::string blankPassText(int x) {
    return "Creating new map file (" + std::to_string(x * 100 / kEnlargedWidth) + "%)";
}

std::string copyPassText(int x, int maxX) {
    const int percent = maxX > 0 ? x * 100 / maxX : 100;
    return "Copying source map to new map (" + std::to_string(percent) + "%)";
}

void enlargeMap(const fs::path& source, const fs::path& destination,
                const EnlargeProgressFn& progress) {
    const std::optional<MapVariant> variant = identifyMapFile(source);
    if (!variant)
        throw ToolRefusal(kWrongSourceMapMessage);
    if (isSameFile(source, destination))
        throw ToolRefusal(kEnlargeOntoSourceMessage);

    const int maxX = variant->width - 1;
    const int sourceWidthBlocks = variant->widthBlocks();
    const int sourceHeightBlocks = variant->heightBlocks();
    const std::size_t sourceColumnBytes = std::size_t(sourceHeightBlocks) * kBlockSize;
    const std::size_t columnBytes = std::size_t(kEnlargedHeightBlocks) * kBlockSize;

    auto report = [&](std::string text, int position, int maximum) {
        if (progress)
            progress(EnlargeProgress{std::move(text), position, maximum});
    };

    PositionedFile input(source, PositionedFile::Mode::Read);
    std::vector<unsigned char> in(sourceColumnBytes * kBlockColumnsPerRun);
    std::vector<unsigned char> out(columnBytes * kBlockColumnsPerRun);

    writeFileAtomically(destination, [&](const AppendBytes& append) {
        for (int first = 0; first < kEnlargedWidthBlocks; first += kBlockColumnsPerRun) {
            const int count = std::min(kBlockColumnsPerRun, kEnlargedWidthBlocks - first);
            std::fill(out.begin(), out.end(), 0);
            // Source block columns are stored one after another, so a run of them is one read.
            const int fromSource = std::clamp(sourceWidthBlocks - first, 0, count);
            if (fromSource > 0)
                input.readAt(std::int64_t(first) * std::int64_t(sourceColumnBytes), in.data(),
                             sourceColumnBytes * std::size_t(fromSource));
            for (int c = 0; c < fromSource; ++c)
                for (int by = 0; by < sourceHeightBlocks; ++by)
                    std::memcpy(out.data() + c * columnBytes + std::size_t(by) * kBlockSize +
                                    kBlockHeaderSize,
                                in.data() + c * sourceColumnBytes + std::size_t(by) * kBlockSize +
                                    kBlockHeaderSize,
                                kCellBytesPerBlock);
            append(out.data(), columnBytes * std::size_t(count));

            const int lastX = (first + count) * kCellsPerBlockSide - 1;
            for (int x = first * kCellsPerBlockSide; x <= lastX; ++x) {
                if (x <= maxX)
                    report(copyPassText(x, maxX), x, maxX);
                else
                    report(blankPassText(x), x, kEnlargedWidth);
            }
        }
    });
    report(kEnlargeDoneText, 0, kEnlargedWidth);
}

} // namespace tb
