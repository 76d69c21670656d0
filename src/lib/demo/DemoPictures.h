#pragma once
// The pictures of the demo's new world: an island of the demo terrains (grass, sand and
// water, terrains/demo.xml) painted as a builder would paint it, one colour per terrain, and
// its heights as a grey picture, for `tbmap generate` and File > "New world from pictures..."
// to turn into a Tokuno map (map4.mul, 1448 x 1448):
//
//   DIR/pictures/terrain.png    grass, sand and water in the terrain file's colours
//   DIR/pictures/altitude.png   grey = altitude + 128

#include "core/MapVariant.h"

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace tb::demo {

inline constexpr std::string_view kDemoPicturesFolder = "pictures";
inline constexpr std::string_view kDemoTerrainPicture = "terrain.png";
inline constexpr std::string_view kDemoAltitudePicture = "altitude.png";

// The variant the pictures fit: map4.mul, 1448 x 1448.
MapVariant demoPictureVariant();

struct DemoPictures {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> terrain; // 0xRRGGBB, row after row
    std::vector<std::uint8_t> altitude; // grey, row after row
};

// The pictures of `seed`: the same seed always gives the same pixels. No grass pixel has a
// water pixel beside it (diagonally neither): a beach lies between, as the demo terrains
// have transitions between grass and sand and between sand and water only.
DemoPictures drawDemoPictures(std::uint64_t seed);

// Writes both pictures as PNG files into `dir` (which must be there), each atomically, and
// returns their paths, the terrain picture first. Throws FileError naming the file.
std::vector<std::filesystem::path> writeDemoPictures(const std::filesystem::path& dir,
                                                     std::uint64_t seed);

} // namespace tb::demo
