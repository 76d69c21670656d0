#pragma once
// Terrain types and the land tiles that show them: for each tile, the terrain at its four
// corners. A tile whose corners are one terrain fills it; the others are the transitions
// between terrains. Read from and written to terrain files (TerrainFile.h); the Terrain tool
// and generated worlds choose tiles by their corners (TerrainTiles.h).

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

// A terrain type: its index in TerrainSet::terrains.
using TerrainId = std::uint8_t;
// A corner without terrain (a tie, or no known tile around it).
inline constexpr TerrainId kNoTerrain = 0xFF;
inline constexpr std::size_t kMaxTerrains = 254;

// The terrains at a cell's corners (X, Y), (X + 1, Y), (X, Y + 1), (X + 1, Y + 1), in that
// order: top left, top right, bottom left, bottom right as the map view shows the cell.
using TerrainCorners = std::array<TerrainId, 4>;

// The four corners in one word, corner 0 in the low byte, for quick comparison.
using PackedCorners = std::uint32_t;
// The corners of a tile the terrains do not know.
inline constexpr PackedCorners kUnknownCorners = 0xFFFFFFFFu;
constexpr PackedCorners packCorners(const TerrainCorners& c) {
    return PackedCorners(c[0]) | PackedCorners(c[1]) << 8 | PackedCorners(c[2]) << 16 |
           PackedCorners(c[3]) << 24;
}
constexpr TerrainCorners unpackCorners(PackedCorners p) {
    return {TerrainId(p), TerrainId(p >> 8), TerrainId(p >> 16), TerrainId(p >> 24)};
}
// Whether all four corners have a terrain.
constexpr bool hasAllCorners(const TerrainCorners& c) {
    return c[0] != kNoTerrain && c[1] != kNoTerrain && c[2] != kNoTerrain && c[3] != kNoTerrain;
}

inline constexpr std::uint16_t kMaxLandTileId = 0x3FFF;
inline constexpr int kMaxTileChance = 10000;

struct Terrain {
    std::string name;
    std::uint32_t colour = 0; // 0xRRGGBB
    // Generated worlds: a fixed altitude instead of the picture's, and a random change of up
    // to this much either way.
    std::optional<int> altitude;
    int jitter = 0;
    friend bool operator==(const Terrain&, const Terrain&) = default;
};

struct TerrainTile {
    std::uint16_t id = 0;
    TerrainCorners corners{kNoTerrain, kNoTerrain, kNoTerrain, kNoTerrain};
    // The weight among the tiles of the same corners; 0 keeps the tile known (its corners
    // are read) but never chosen.
    int chance = 1;
    friend bool operator==(const TerrainTile&, const TerrainTile&) = default;
};

struct ScatterItem {
    std::uint16_t id = 0;
    int weight = 1;
    friend bool operator==(const ScatterItem&, const ScatterItem&) = default;
};

// Items scattered over a terrain's fill cells in generated worlds.
struct TerrainScatter {
    TerrainId terrain = 0;
    int chance = 0; // percent of the fill cells that get an item
    std::vector<ScatterItem> items;
    friend bool operator==(const TerrainScatter&, const TerrainScatter&) = default;
};

inline constexpr int kMaxScatterWeight = 10000;

// What a terrain file holds.
struct TerrainSet {
    std::vector<Terrain> terrains;
    std::vector<TerrainTile> tiles; // in file order, each id once
    std::vector<TerrainScatter> scatters;

    // The terrain called `name` (compared exactly).
    std::optional<TerrainId> findTerrain(std::string_view name) const;
    // The entry of tile `id`, or null.
    const TerrainTile* findTile(std::uint16_t id) const;

    // Adds a terrain and returns its id. Throws std::invalid_argument with
    // terrainNameProblem's message, or when there are kMaxTerrains already.
    TerrainId addTerrain(std::string name, std::uint32_t colour);
    // Renames terrain `terrain`; the tiles keep it. Throws std::invalid_argument as above.
    void renameTerrain(TerrainId terrain, std::string name);
    // Adds tile `tile`, or replaces the entry of its id in place.
    void setTile(const TerrainTile& tile);
    // Removes the entry of tile `id`; false when there was none.
    bool removeTile(std::uint16_t id);

    friend bool operator==(const TerrainSet&, const TerrainSet&) = default;
};

// Why `name` cannot name a terrain of `set` (other than `except`, the one being renamed):
// it is empty, holds a blank or a character below 32 (Corners lists names separated by
// blanks), or another terrain has it. nullopt when it can.
std::optional<std::string> terrainNameProblem(const TerrainSet& set, std::string_view name,
                                              std::optional<TerrainId> except = std::nullopt);

// "#RRGGBB" in upper-case hex.
std::string colourText(std::uint32_t colour);
// The colour of "#RRGGBB" (either case), or nullopt for any other text.
std::optional<std::uint32_t> parseColour(std::string_view text);

} // namespace tb
