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
    // Tile ids and altitudes pack poorly whatever is tried: the quick packing it is.
    PngRowWriter png(path, width, map.height(), PngPacking::Fast);
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
    std::vector<std::uint32_t> band(std::size_t(width) * kCellsPerBlockSide);
    std::int64_t changed = 0;
    int reported = -1;
    for (int top = 0; top < map.height(); top += kCellsPerBlockSide) {
        for (int row = 0; row < kCellsPerBlockSide; ++row)
            picture.readRow(top + row, band.data() + std::size_t(row) * std::size_t(width));
        for (int x = 0; x < width; ++x)
            for (int row = 0; row < kCellsPerBlockSide; ++row) {
                const MapCell after =
                    tileImageCell(band[std::size_t(row) * std::size_t(width) + std::size_t(x)]);
                if (map.cellUnchecked(x, top + row) == after)
                    continue;
                map.setCellUnchecked(x, top + row, after);
                ++changed;
            }
        reportRows(progress, kTileImageImportText, top + kCellsPerBlockSide, map.height(),
                   reported);
    }
    return changed;
}

} // namespace tb
