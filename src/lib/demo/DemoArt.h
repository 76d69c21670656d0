#pragma once
// The land art of the demo data set: families of look-alike land tiles (grass, sand,
// water, ...) with generated pictures, and the game files that hold them.
//
// The ids are the ones the game client uses for these kinds of ground, so the default
// catalogues read naturally next to real client files. The art does not depend on the
// world's seed: it plays the part of the game's own files.

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tb::demo {

enum class Terrain : std::uint8_t { DeepWater, Water, Sand, Grass, Forest, Dirt, Rock, Snow };
inline constexpr int kTerrainCount = 8;

struct TileFamily {
    Terrain terrain;
    std::string_view name;
    std::vector<std::uint16_t> ids; // the ids the world paints with, in this order
    std::uint8_t red, green, blue;  // the family's mean colour, 8 bits per channel
    int grain;                      // strength of the pixel noise, 0..255
};

// One family per terrain, indexed by Terrain.
std::span<const TileFamily> tileFamilies();
const TileFamily& tileFamily(Terrain terrain);

// Ids with land art but which the editor refuses to draw as land tiles (7 and 8). The demo
// art holds them anyway, so that the refusal, not missing art, is what a user sees.
inline constexpr std::uint16_t kRefusedLandIds[] = {7, 8};

// The cave-wall tiles that the stamp buttons put down, as a 3 x 3 frame [row][column]:
// each piece's outer edges carry a dark rim, so a stamped frame reads as one walled shape.
std::span<const std::uint16_t> caveWallIds();

// Every id that has a land tile in art.mul, ascending.
std::vector<std::uint16_t> landArtIds();

struct DemoTexture {
    std::uint16_t id;
    int size; // 64 or 128
};
// Every id that has a texture in texmaps.mul, ascending; exactly one is 128 x 128.
std::vector<DemoTexture> demoTextures();

// Index entries written per index file (land ids 0..0x3FFF).
inline constexpr int kIndexEntries = 0x4000;
// Words in radarcol.mul (the client's file holds one per id of both art ranges).
inline constexpr int kRadarColourWords = 0x10000;

// The generated game files, byte for byte.
struct DemoArtFiles {
    std::vector<unsigned char> artIndex;     // artidx.mul
    std::vector<unsigned char> artData;      // art.mul
    std::vector<unsigned char> textureIndex; // texidx.mul
    std::vector<unsigned char> textureData;  // texmaps.mul
    std::vector<unsigned char> radarColours; // radarcol.mul
};
DemoArtFiles generateDemoArt();

// The 15-bit colour of an 8-bit-per-channel colour (each channel divided by 8).
constexpr std::uint16_t toRgb555(int red, int green, int blue) {
    return std::uint16_t(((red >> 3) << 10) | ((green >> 3) << 5) | (blue >> 3));
}

} // namespace tb::demo
