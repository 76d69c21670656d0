#include "core/TileImage.h"

#include "core/Heightmap.h"
#include "core/PngRowWriter.h"

#include <stdexcept>
#include <vector>

namespace tb {
namespace {

// Reports the share of `rows` done, when it grew, and takes a stop.
void reportRows(Progress& progress, const char* caption, int done, int rows, int& reported) {
    const int percent = int(std::int64_t(done) * 100 / rows);
    if (percent != reported)
        progress.report(caption, reported = percent, 100);
    stopIfRequested(progress, kTileImageStoppedMessage);
}

} // namespace

void writeTileImage(const MapImage& map, const std::filesystem::path& path, Progress& progress) {
    if (!map.hasGeometry())
        throw std::invalid_argument("a map without a known size has no tile image");
    const int width = map.width();
    PngRowWriter png(path, width, map.height(), PngPacking::Stored);
    // A band of 8 rows is one row of blocks: each block is read once, front to back.
    std::vector<std::uint32_t> band(std::size_t(width) * kCellsPerBlockSide);
    int reported = -1;
    for (int top = 0; top < map.height(); top += kCellsPerBlockSide) {
        for (int x = 0; x < width; ++x)
            for (int row = 0; row < kCellsPerBlockSide; ++row)
                band[std::size_t(row) * std::size_t(width) + std::size_t(x)] =
                    tileImagePixel(map.cellUnchecked(x, top + row));
        png.writeRows(band.data(), width, kCellsPerBlockSide);
        reportRows(progress, kTileImageExportText, top + kCellsPerBlockSide, map.height(),
                   reported);
    }
    png.finish();
}

std::int64_t applyTileImage(MapImage& map, ColourRows& picture, Progress& progress) {
    checkHeightmapSize(map, picture.width(), picture.height());
    const int width = map.width();
    const int heightBlocks = map.height() / kCellsPerBlockSide;
    const std::span<unsigned char> bytes = map.writableBytes();
    std::vector<std::uint32_t> band(std::size_t(width) * kCellsPerBlockSide);
    std::int64_t changed = 0;
    int reported = -1;
    // A band of 8 rows is one row of blocks, each changed where it lies in the map's bytes.
    for (int by = 0; by < heightBlocks; ++by) {
        for (int row = 0; row < kCellsPerBlockSide; ++row)
            picture.readRow(by * kCellsPerBlockSide + row,
                            band.data() + std::size_t(row) * std::size_t(width));
        for (int bx = 0; bx < width / kCellsPerBlockSide; ++bx) {
            unsigned char* cell =
                bytes.data() +
                (std::size_t(bx) * std::size_t(heightBlocks) + std::size_t(by)) * kBlockSize +
                kBlockHeaderSize;
            for (int row = 0; row < kCellsPerBlockSide; ++row) {
                const std::uint32_t* pixel = band.data() + std::size_t(row) * std::size_t(width) +
                                             std::size_t(bx) * kCellsPerBlockSide;
                for (int column = 0; column < kCellsPerBlockSide; ++column, cell += kCellSize) {
                    const MapCell after = tileImageCell(pixel[column]);
                    const auto low = static_cast<unsigned char>(after.tileId);
                    const auto high = static_cast<unsigned char>(after.tileId >> 8);
                    const auto z = static_cast<unsigned char>(after.altitude);
                    if (cell[0] == low && cell[1] == high && cell[2] == z)
                        continue;
                    cell[0] = low;
                    cell[1] = high;
                    cell[2] = z;
                    ++changed;
                }
            }
        }
        reportRows(progress, kTileImageImportText, (by + 1) * kCellsPerBlockSide, map.height(),
                   reported);
    }
    return changed;
}

} // namespace tb
