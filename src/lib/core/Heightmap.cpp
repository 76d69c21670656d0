#include "core/Heightmap.h"

#include <string>

namespace tb {
namespace {

std::string sizeText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// Calls `visit(x, y)` for every cell, block by block in the order the map stores them so the
// reads walk forward through memory, and reports progress (and takes a stop) after each
// block column.
template <typename Visit>
void forEachCellInStorageOrder(const MapImage& map, Progress& progress, const char* caption,
                               Visit&& visit) {
    const int widthBlocks = map.width() / kCellsPerBlockSide;
    const int heightBlocks = map.height() / kCellsPerBlockSide;
    int reported = -1;
    for (int bx = 0; bx < widthBlocks; ++bx) {
        for (int by = 0; by < heightBlocks; ++by)
            for (int row = 0; row < kCellsPerBlockSide; ++row)
                for (int column = 0; column < kCellsPerBlockSide; ++column)
                    visit(bx * kCellsPerBlockSide + column, by * kCellsPerBlockSide + row);
        const int percent = int(std::int64_t(bx + 1) * 100 / widthBlocks);
        if (percent != reported)
            progress.report(caption, reported = percent, 100);
        stopIfRequested(progress, kHeightmapStoppedMessage);
    }
}

} // namespace

Heightmap exportHeightmap(const MapImage& map, Progress& progress) {
    Heightmap heightmap;
    if (!map.hasGeometry())
        return heightmap;
    heightmap.width = map.width();
    heightmap.height = map.height();
    heightmap.grey.resize(std::size_t(heightmap.width) * std::size_t(heightmap.height));
    std::uint8_t* out = heightmap.grey.data();
    const std::size_t width = std::size_t(heightmap.width);
    forEachCellInStorageOrder(map, progress, kHeightmapExportText, [&](int x, int y) {
        out[std::size_t(y) * width + std::size_t(x)] =
            altitudeToGrey(map.cellUnchecked(x, y).altitude);
    });
    return heightmap;
}

void checkHeightmapSize(const MapImage& map, int width, int height) {
    if (!map.hasGeometry())
        throw HeightmapSizeError("the map has no known size to fit a heightmap to");
    if (width != map.width() || height != map.height())
        throw HeightmapSizeError("the picture is " + sizeText(width, height) +
                                 " pixels but the map is " + sizeText(map.width(), map.height()) +
                                 " cells");
}

std::vector<AltitudeChange> heightmapChanges(const MapImage& map, const HeightmapView& heightmap,
                                             Progress& progress) {
    checkHeightmapSize(map, heightmap.width, heightmap.height);
    std::vector<AltitudeChange> changes;
    forEachCellInStorageOrder(map, progress, kHeightmapImportText, [&](int x, int y) {
        const std::int8_t before = map.cellUnchecked(x, y).altitude;
        const std::int8_t after = greyToAltitude(heightmap.at(x, y));
        if (before != after)
            changes.push_back({x, y, before, after});
    });
    return changes;
}

std::int64_t countHeightmapChanges(const MapImage& map, const HeightmapView& heightmap,
                                   Progress& progress) {
    checkHeightmapSize(map, heightmap.width, heightmap.height);
    std::int64_t changed = 0;
    forEachCellInStorageOrder(map, progress, kHeightmapImportText, [&](int x, int y) {
        changed += map.cellUnchecked(x, y).altitude != greyToAltitude(heightmap.at(x, y));
    });
    return changed;
}

std::int64_t applyHeightmap(MapImage& map, const HeightmapView& heightmap, Progress& progress) {
    // Every cell is inside once the sizes agree.
    checkHeightmapSize(map, heightmap.width, heightmap.height);
    std::int64_t changed = 0;
    forEachCellInStorageOrder(map, progress, kHeightmapImportText, [&](int x, int y) {
        MapCell cell = map.cellUnchecked(x, y);
        const std::int8_t after = greyToAltitude(heightmap.at(x, y));
        if (cell.altitude == after)
            return;
        cell.altitude = after;
        map.setCellUnchecked(x, y, cell);
        ++changed;
    });
    return changed;
}

} // namespace tb
