#include "demo/DemoPictures.h"

#include "core/PngRowWriter.h"
#include "demo/DemoArt.h"
#include "demo/DemoDataSet.h"
#include "demo/DemoNoise.h"

#include <algorithm>
#include <cmath>

namespace fs = std::filesystem;

namespace tb::demo {
namespace {

constexpr std::uint64_t kShapeSeed = 0x15A1Dull;
constexpr std::uint64_t kHillSeed = 0x4111ull;
constexpr int kWaterAltitude = -5;
// The land rises from the beach to this height on the highest hills.
constexpr int kTopAltitude = 60;
constexpr float kBeach = 0.035f;

std::uint32_t colourOf(Terrain terrain) {
    const TileFamily& f = tileFamily(terrain);
    return std::uint32_t(f.red) << 16 | std::uint32_t(f.green) << 8 | f.blue;
}

} // namespace

MapVariant demoPictureVariant() {
    return demoVariant("map4.mul", {1448, 1448});
}

DemoPictures drawDemoPictures(std::uint64_t seed) {
    const MapVariant variant = demoPictureVariant();
    DemoPictures pictures;
    const int w = pictures.width = variant.width;
    const int h = pictures.height = variant.height;
    const auto at = [w](int x, int y) { return std::size_t(y) * std::size_t(w) + std::size_t(x); };
    // The land's height: noise over a dome, so the sea runs all round the island.
    std::vector<float> level(std::size_t(w) * std::size_t(h));
    const float half = float(w) / 2.0f;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float dx = (float(x) - half) / half, dy = (float(y) - half) / half;
            const float distance = std::sqrt(dx * dx + dy * dy);
            const float shape =
                fractalNoise(seed ^ kShapeSeed, float(x) / 220.0f, float(y) / 220.0f, 5);
            const float hills =
                fractalNoise(seed ^ kHillSeed, float(x) / 90.0f, float(y) / 90.0f, 4);
            level[at(x, y)] = 0.55f * shape + 0.35f * hills - 0.75f * distance * distance + 0.05f;
        }
    enum : std::uint8_t { Water, Sand, Grass };
    std::vector<std::uint8_t> terrain(level.size());
    for (std::size_t i = 0; i < level.size(); ++i)
        terrain[i] = level[i] < 0 ? Water : level[i] < kBeach ? Sand : Grass;
    // Grass beside water, diagonally too, becomes beach.
    std::vector<std::uint8_t> painted = terrain;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (terrain[at(x, y)] != Grass)
                continue;
            for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, h - 1); ++ny)
                for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, w - 1); ++nx)
                    if (terrain[at(nx, ny)] == Water)
                        painted[at(x, y)] = Sand;
        }
    const std::uint32_t colours[] = {colourOf(Terrain::Water), colourOf(Terrain::Sand),
                                     colourOf(Terrain::Grass)};
    pictures.terrain.resize(level.size());
    pictures.altitude.resize(level.size());
    for (std::size_t i = 0; i < level.size(); ++i) {
        pictures.terrain[i] = colours[painted[i]];
        // The sea is drawn level; the terrain file keeps it so whatever is painted there.
        const int z =
            painted[i] == Water
                ? kWaterAltitude
                : std::clamp(int(std::max(level[i], 0.0f) * 2.0f * kTopAltitude), 0, kTopAltitude);
        pictures.altitude[i] = std::uint8_t(z + 128);
    }
    return pictures;
}

std::vector<fs::path> writeDemoPictures(const fs::path& dir, std::uint64_t seed) {
    const DemoPictures pictures = drawDemoPictures(seed);
    const fs::path terrainPath = dir / std::string(kDemoTerrainPicture);
    const fs::path altitudePath = dir / std::string(kDemoAltitudePicture);
    {
        PngRowWriter png(terrainPath, pictures.width, pictures.height);
        png.writeRows(pictures.terrain.data(), pictures.width, pictures.height);
        png.finish();
    }
    std::vector<std::uint32_t> grey(pictures.altitude.size());
    for (std::size_t i = 0; i < grey.size(); ++i)
        grey[i] = std::uint32_t(pictures.altitude[i]) * 0x010101u;
    PngRowWriter png(altitudePath, pictures.width, pictures.height);
    png.writeRows(grey.data(), pictures.width, pictures.height);
    png.finish();
    return {terrainPath, altitudePath};
}

} // namespace tb::demo
