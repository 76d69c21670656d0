#pragma once
// The whole map at one pixel per cell in the game's radar colours, optionally with the
// statics on it.

#include "core/MapImage.h"
#include "core/RadarColours.h"
#include "core/StaticRadarColours.h"
#include "core/StaticsMap.h"
#include "shell/Progress.h"

#include <cstdint>
#include <vector>

namespace tb {

// Pixels row after row without padding, each 0xFFRRGGBB (the layout of an opaque 32-bit
// picture such as QImage's RGB32), so a window or a PNG writer can take them as they are.
struct RadarPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const {
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

// A 15-bit colour as an opaque 0xFFRRGGBB pixel, each channel as rgb555ToColor makes it.
constexpr std::uint32_t rgb555ToPixel(std::uint16_t colour) {
    return 0xFF000000u | (std::uint32_t((colour >> 10) & 31) << 19) |
           (std::uint32_t((colour >> 5) & 31) << 11) | (std::uint32_t(colour & 31) << 3);
}

inline constexpr const char* kRadarPictureText = "Drawing radar picture";
inline constexpr const char* kRadarPictureStoppedMessage =
    "Drawing the radar picture was stopped: nothing was written.";

// Pixel (x, y) is the land radar colour of the cell's tile. A map without geometry gives
// an empty picture. `progress` gets the block columns done under kRadarPictureText; a stop
// throws OperationStopped (kRadarPictureStoppedMessage).
RadarPicture buildRadarPicture(const MapImage& map, const RadarColours& land,
                               Progress& progress = noProgress());

// As above, but a cell with statics takes the static radar colour of its topmost static.
// Throws std::invalid_argument when the statics were built for another map size.
RadarPicture buildRadarPicture(const MapImage& map, const RadarColours& land,
                               const StaticsMap& statics, const StaticRadarColours& staticColours,
                               Progress& progress = noProgress());

} // namespace tb
