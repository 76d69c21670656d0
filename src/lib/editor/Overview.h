#pragma once
// The map overview: one pixel per 8 x 8 block in the game's radar colours, sampled from
// the cell one step in from each block's north-west corner, and the cell a click on it
// leads to.

#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "core/RadarColours.h"
#include "shell/Progress.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tb {

// A 24-bit picture, row-major, three bytes (red, green, blue) per pixel, no row padding.
struct OverviewImage {
    int width = 0;  // map width in blocks
    int height = 0; // map height in blocks
    std::vector<std::uint8_t> rgb;

    // The colour bytes of pixel (px, py).
    const std::uint8_t* pixel(int px, int py) const {
        return rgb.data() + (std::size_t(py) * std::size_t(width) + std::size_t(px)) * 3;
    }
};

inline constexpr const char* kOverviewBuildText = "Building map overview ...";
inline constexpr const char* kPictureStoppedMessage =
    "Drawing the picture was stopped: nothing was written.";

// Pixel (i, j) is the radar colour, through rgb555ToColor, of the tile at cell
// (8i + 1, 8j + 1). Ids without a radar colour (16383 and up) are black. A map without
// geometry gives an empty image. `progress` gets the columns done under
// kOverviewBuildText; a stop throws OperationStopped (kPictureStoppedMessage).
OverviewImage buildOverview(const MapImage& map, const RadarColours& radar,
                            Progress& progress = noProgress());

// The size of the overview, one pixel per block (7168 x 4096 cells: 896 x 512); 0 x 0
// without a known map size.
BlockGeometry overviewSize(std::optional<MapSize> size);

// The cell a press on overview pixel (px, py) jumps to: (8 px, 8 py).
constexpr CellPoint overviewClickCell(std::int32_t px, std::int32_t py) {
    return {px * kCellsPerBlockSide, py * kCellsPerBlockSide};
}

} // namespace tb
