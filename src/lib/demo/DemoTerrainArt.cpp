#include "demo/DemoTerrainArt.h"

#include "demo/DemoItems.h"
#include "demo/DemoNoise.h"
#include "shell/LittleEndian.h"

#include <algorithm>
#include <array>

namespace tb::demo {
namespace {

constexpr std::uint64_t kEdgeSeed = 0xED6E5EEDull;
constexpr float kEdgeHalfWidth = 0.035f;
constexpr std::uint64_t kBeachSeed = 0xBEAC4ull;

struct Pair {
    Terrain from, to;
    std::uint16_t firstId;
};
constexpr Pair kPairs[] = {{Terrain::Grass, Terrain::Sand, 0x0033},
                           {Terrain::Sand, Terrain::Water, 0x0041}};

std::vector<DemoTransition> makeTransitions() {
    std::vector<DemoTransition> all;
    for (const Pair& pair : kPairs)
        for (int k = 1; k <= 14; ++k) {
            // The order reads the corners backwards, so the run starts with the bottom-right
            // corner alone ("Grass Grass Grass Sand").
            int bits = 0;
            for (int i = 0; i < 4; ++i)
                bits |= ((k >> (3 - i)) & 1) << i;
            all.push_back({std::uint16_t(pair.firstId + k - 1), pair.from, pair.to, bits});
        }
    return all;
}

// The demo terrains of the corner model, and the index of each in the terrain file.
constexpr Terrain kFileTerrains[] = {Terrain::Grass, Terrain::Sand, Terrain::Water};
constexpr std::uint8_t kOther = 0xFF;

std::uint8_t fileIndex(Terrain terrain) {
    for (std::size_t i = 0; i < std::size(kFileTerrains); ++i)
        if (kFileTerrains[i] == terrain)
            return std::uint8_t(i);
    return kOther;
}

} // namespace

std::span<const DemoTransition> demoTransitions() {
    static const std::vector<DemoTransition> transitions = makeTransitions();
    return transitions;
}

const DemoTransition* demoTransition(std::uint16_t id) {
    for (const DemoTransition& t : demoTransitions())
        if (t.id == id)
            return &t;
    return nullptr;
}

TransitionPixel transitionPixel(const DemoTransition& transition, int px, int py) {
    const float u = float(px) / 44.0f;
    const float v = float(py) / 44.0f;
    const float weights[4] = {(1 - u) * (1 - v), u * (1 - v), (1 - u) * v, u * v};
    float toward = 0;
    for (int i = 0; i < 4; ++i)
        if ((transition.bits >> i) & 1)
            toward += weights[i];
    // A ragged line inside the square, straight where it meets the square's edges.
    const float inside = 16.0f * u * (1 - u) * v * (1 - v);
    toward += 0.22f * inside *
              (valueNoise(kEdgeSeed ^ transition.id, float(px) / 7.0f, float(py) / 7.0f) - 0.5f);
    return {toward > 0.5f ? transition.to : transition.from,
            toward > 0.5f - kEdgeHalfWidth && toward < 0.5f + kEdgeHalfWidth};
}

TerrainSet demoTerrainSet() {
    TerrainSet set;
    for (const Terrain terrain : kFileTerrains) {
        const TileFamily& f = tileFamily(terrain);
        const TerrainId index = set.addTerrain(
            std::string(f.name), std::uint32_t(f.red) << 16 | std::uint32_t(f.green) << 8 | f.blue);
        for (const std::uint16_t id : f.ids)
            set.setTile({id, {index, index, index, index}, 1});
    }
    for (const DemoTransition& t : demoTransitions()) {
        TerrainCorners corners{};
        for (int i = 0; i < 4; ++i)
            corners[std::size_t(i)] = fileIndex(t.cornerTerrain(i));
        set.setTile({t.id, corners, 1});
    }
    // For worlds generated from pictures: the sea stays level, the land is not flat, trees
    // stand on the grass and rocks on the beaches.
    set.terrains[fileIndex(Terrain::Water)].altitude = -5;
    set.terrains[fileIndex(Terrain::Sand)].jitter = 1;
    set.terrains[fileIndex(Terrain::Grass)].jitter = 2;
    TerrainScatter trees{fileIndex(Terrain::Grass), 4, {}};
    TerrainScatter rocks{fileIndex(Terrain::Sand), 1, {}};
    for (const DemoItem& item : demoItems()) {
        if (item.shape == ItemShape::Tree)
            trees.items.push_back({item.id, trees.items.empty() ? 2 : 1});
        else if (item.shape == ItemShape::Rock)
            rocks.items.push_back({item.id, 1});
    }
    set.scatters = {trees, rocks};
    return set;
}

void addDemoTransitions(std::vector<unsigned char>& map, const MapVariant& variant,
                        DemoWorldStats& stats) {
    // Per tile id: the file terrain its family paints, kOther for the rest.
    std::array<std::uint8_t, 0x10000> terrainOf;
    terrainOf.fill(kOther);
    for (const Terrain terrain : kFileTerrains)
        for (const std::uint16_t id : tileFamily(terrain).ids)
            terrainOf[id] = fileIndex(terrain);
    // Per pair and corner bits: the transition's id.
    std::array<std::array<std::uint16_t, 16>, std::size(kPairs)> idOf{};
    for (const DemoTransition& t : demoTransitions())
        idOf[t.from == Terrain::Grass ? 0 : 1][std::size_t(t.bits)] = t.id;
    const std::uint8_t grass = fileIndex(Terrain::Grass), sand = fileIndex(Terrain::Sand),
                       water = fileIndex(Terrain::Water);

    const int width = variant.width, height = variant.height;
    const int heightBlocks = variant.heightBlocks();
    auto at = [&](int x, int y) { return map.data() + cellOffset(x, y, heightBlocks); };
    std::vector<std::uint8_t> terrains(std::size_t(width) * std::size_t(height));
    auto terrain = [&](int x, int y) -> std::uint8_t& {
        return terrains[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    };
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            terrain(x, y) = terrainOf[readU16(at(x, y))];

    // No transition joins grass and water: grass next to water (diagonals too) becomes sand,
    // so a beach always lies between them.
    const std::size_t rowLength = std::size_t(width);
    std::vector<std::uint8_t> above(rowLength, kOther), current(rowLength);
    std::vector<char> becameSand(terrains.size(), 0);
    for (int y = 0; y < height; ++y) {
        std::copy_n(&terrain(0, y), width, current.begin());
        for (int x = 0; x < width; ++x) {
            if (current[std::size_t(x)] != grass)
                continue;
            bool nearWater = false;
            for (int dx = -1; dx <= 1; ++dx) {
                const int nx = x + dx;
                if (nx < 0 || nx >= width)
                    continue;
                nearWater = nearWater || above[std::size_t(nx)] == water ||
                            current[std::size_t(nx)] == water ||
                            (y + 1 < height && terrain(nx, y + 1) == water);
            }
            if (nearWater) {
                terrain(x, y) = sand;
                becameSand[std::size_t(y) * std::size_t(width) + std::size_t(x)] = 1;
                --stats.cells[std::size_t(Terrain::Grass)];
                ++stats.cells[std::size_t(Terrain::Sand)];
            }
        }
        std::swap(above, current);
    }

    const std::vector<std::uint16_t>& sandIds = tileFamily(Terrain::Sand).ids;
    for (int y = 0; y < height; ++y) {
        const int below = std::min(y + 1, height - 1);
        for (int x = 0; x < width; ++x) {
            const int right = std::min(x + 1, width - 1);
            const std::uint8_t c[4] = {terrain(x, y), terrain(right, y), terrain(x, below),
                                       terrain(right, below)};
            // Two terrains of one pair: sand with grass or with water.
            std::uint8_t other = sand;
            bool twoOfAPair = c[0] != kOther;
            for (const std::uint8_t t : c) {
                if (t != sand && other == sand)
                    other = t;
                twoOfAPair = twoOfAPair && (t == sand || t == other) && t != kOther;
            }
            twoOfAPair = twoOfAPair && other != sand &&
                         (c[0] == sand || c[1] == sand || c[2] == sand || c[3] == sand);
            if (twoOfAPair) {
                // Grass to sand sets the sand corners' bits, sand to water the water corners'.
                const std::uint8_t to = other == grass ? sand : water;
                const int bits = (c[0] == to ? 1 : 0) | (c[1] == to ? 2 : 0) |
                                 (c[2] == to ? 4 : 0) | (c[3] == to ? 8 : 0);
                writeU16(at(x, y), idOf[other == grass ? 0 : 1][std::size_t(bits)]);
            } else if (becameSand[std::size_t(y) * std::size_t(width) + std::size_t(x)]) {
                writeU16(at(x, y), sandIds[hash2(kBeachSeed, x, y) % sandIds.size()]);
            }
        }
    }
}

} // namespace tb::demo
