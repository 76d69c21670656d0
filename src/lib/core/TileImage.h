#pragma once
// Tile images: a map as an RGB picture, one pixel per cell, that keeps every byte of its
// cells (red = tile id >> 8, green = tile id & 0xFF, blue = altitude + 128), so a builder can
// paint over a region in any paint program and put it back. Export then import leaves the
// map byte for byte as it was.

#include "core/MapImage.h"
#include "core/PictureRows.h"
#include "shell/Progress.h"

#include <cstdint>
#include <filesystem>

namespace tb {

constexpr std::uint32_t tileImagePixel(MapCell cell) {
    return std::uint32_t(cell.tileId) << 8 | std::uint32_t(int(cell.altitude) + 128);
}
constexpr MapCell tileImageCell(std::uint32_t rgb) {
    return {std::uint16_t(rgb >> 8), std::int8_t(int(rgb & 0xFF) - 128)};
}

// The captions of the tile image runs; each reports its share done of 100 when it grows.
inline constexpr const char* kTileImageExportText = "Exporting tile image";
inline constexpr const char* kTileImageImportText = "Importing tile image";
inline constexpr const char* kTileImageStoppedMessage =
    "The tile image work was stopped: no file and no cell was changed.";

// Writes the tile image of every cell of `map` as a PNG, replacing `path` atomically, a band
// of rows at a time. Throws std::invalid_argument for a map without geometry, FileError
// naming the path; a stop throws OperationStopped (kTileImageStoppedMessage), the old file
// untouched.
void writeTileImage(const MapImage& map, const std::filesystem::path& path,
                    Progress& progress = noProgress());

// Gives every cell the tile and altitude of its pixel, keeping the block headers, and
// returns how many cells changed. Throws HeightmapSizeError (Heightmap.h) before any change
// unless the picture has the map's size. A stop leaves the rows before it changed; callers
// that stop drop the map.
std::int64_t applyTileImage(MapImage& map, ColourRows& picture, Progress& progress = noProgress());

} // namespace tb
