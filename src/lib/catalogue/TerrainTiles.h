#pragma once
// The tiles of a terrain set arranged for painting: the corners of any tile id at once, and
// the tiles of any four corners to choose from by their chance.

#include "catalogue/TerrainSet.h"
#include "shell/RandomSource.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tb {

class TerrainTiles {
public:
    // Knows no tile.
    TerrainTiles();
    explicit TerrainTiles(const TerrainSet& set);

    std::size_t terrainCount() const { return m_terrainCount; }

    // The corners of tile `tileId`, kUnknownCorners when the set does not list it.
    PackedCorners corners(std::uint16_t tileId) const { return m_corners[tileId]; }
    bool knows(std::uint16_t tileId) const { return m_corners[tileId] != kUnknownCorners; }

    // Whether a tile of a chance above 0 has these corners.
    bool hasTile(PackedCorners corners) const { return find(corners) != nullptr; }
    // A tile with these corners, chosen by chance: one draw of random.uniform(sum of the
    // chances), none when one tile alone has them. nullopt when no tile has them.
    std::optional<std::uint16_t> pickTile(PackedCorners corners, RandomSource& random) const;

    // The tile that stands for terrain `terrain` (a panel's picture, the fallback of a
    // generated world): of its fill tiles the one of the highest chance, the first in file
    // order among equals; nullopt when it has none.
    std::optional<std::uint16_t> fillTile(TerrainId terrain) const;

    // The corner patterns of terrains `a` and `b` both (the 14 transitions between them, in
    // the order of TerrainCorners' bits: corner i is `b` where bit i of 1..14 is set) that no
    // tile has.
    std::vector<TerrainCorners> missingTransitions(TerrainId a, TerrainId b) const;

private:
    struct Choice {
        PackedCorners corners = kUnknownCorners;
        std::vector<std::uint16_t> ids;
        std::vector<int> upTo; // running sum of the chances
    };
    // The choice of these corners, or null. Looked up for every cell Fix edges changes, so
    // an open table of a power-of-two size rather than a node map.
    const Choice* find(PackedCorners corners) const;
    Choice& insert(PackedCorners corners);
    std::size_t slotOf(PackedCorners corners) const {
        return std::size_t((corners * 0x9E3779B1u) >> m_shift);
    }

    std::size_t m_terrainCount = 0;
    std::vector<PackedCorners> m_corners; // per tile id 0..0xFFFF
    std::vector<Choice> m_choices;        // kUnknownCorners marks a free slot
    int m_shift = 32;
    std::vector<std::optional<std::uint16_t>> m_fill; // per terrain
};

} // namespace tb
