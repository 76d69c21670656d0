#pragma once
// Heightmaps: a map's altitudes as an 8-bit greyscale picture, one pixel per cell,
// grey = altitude + 128 (the convention other terrain tools use), and back.

#include "core/MapImage.h"
#include "shell/Progress.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace tb {

constexpr std::uint8_t altitudeToGrey(std::int8_t altitude) {
    return static_cast<std::uint8_t>(int(altitude) + 128);
}
constexpr std::int8_t greyToAltitude(std::uint8_t grey) {
    return static_cast<std::int8_t>(int(grey) - 128);
}

// A greyscale picture held elsewhere (a decoded image): row y starts at grey + y * stride.
struct HeightmapView {
    int width = 0;
    int height = 0;
    std::ptrdiff_t stride = 0;
    const std::uint8_t* grey = nullptr;

    std::uint8_t at(int x, int y) const { return grey[y * stride + x]; }
};

// A greyscale picture of its own, one byte per pixel, row after row without padding.
struct Heightmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> grey;

    std::uint8_t at(int x, int y) const { return grey[std::size_t(y) * std::size_t(width) + x]; }
    HeightmapView view() const { return {width, height, width, grey.data()}; }
};

// A picture whose size is not the map's; the message names both sizes.
class HeightmapSizeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One cell whose altitude a heightmap changes; its tile id stays.
struct AltitudeChange {
    std::int32_t x;
    std::int32_t y;
    std::int8_t before;
    std::int8_t after;
};

// The captions of the heightmap runs; each reports its share done of 100 when it grows.
inline constexpr const char* kHeightmapExportText = "Exporting heightmap";
inline constexpr const char* kHeightmapImportText = "Importing heightmap";
inline constexpr const char* kHeightmapStoppedMessage =
    "The heightmap work was stopped: no file and no altitude was changed.";

// The heightmap of every cell of the map. A map without geometry gives an empty picture.
// A stop (after a block column) throws OperationStopped (kHeightmapStoppedMessage).
Heightmap exportHeightmap(const MapImage& map, Progress& progress = noProgress());

// Throws HeightmapSizeError unless a picture of width x height fits the map cell for pixel.
void checkHeightmapSize(const MapImage& map, int width, int height);

// The cells whose altitude the heightmap changes, block by block in the map's order, for
// callers that apply them through their own change path. Checks the size first.
std::vector<AltitudeChange> heightmapChanges(const MapImage& map, const HeightmapView& heightmap,
                                             Progress& progress = noProgress());

// How many cells the heightmap would change. Checks the size first.
std::int64_t countHeightmapChanges(const MapImage& map, const HeightmapView& heightmap,
                                   Progress& progress = noProgress());

// Sets every cell's altitude to grey - 128, keeping tile ids and block headers, and returns
// how many cells changed. Checks the size first: a refused picture changes nothing. A stop
// leaves the block columns before it changed; callers that stop drop the map.
std::int64_t applyHeightmap(MapImage& map, const HeightmapView& heightmap,
                            Progress& progress = noProgress());

} // namespace tb
