#include "catalogue/TerrainTiles.h"

#include <algorithm>

namespace tb {

TerrainTiles::TerrainTiles() : m_corners(0x10000, kUnknownCorners) {}

TerrainTiles::TerrainTiles(const TerrainSet& set) : TerrainTiles() {
    m_terrainCount = set.terrains.size();
    m_fill.assign(m_terrainCount, std::nullopt);
    std::vector<int> fillChance(m_terrainCount, -1);
    for (const TerrainTile& tile : set.tiles) {
        const PackedCorners packed = packCorners(tile.corners);
        m_corners[tile.id] = packed;
        if (tile.chance > 0) {
            Choice& choice = m_choices[packed];
            choice.ids.push_back(tile.id);
            choice.upTo.push_back((choice.upTo.empty() ? 0 : choice.upTo.back()) + tile.chance);
        }
        const TerrainId first = tile.corners[0];
        const bool fill = std::all_of(tile.corners.begin(), tile.corners.end(),
                                      [first](TerrainId c) { return c == first; });
        if (fill && first < m_terrainCount && tile.chance > fillChance[first]) {
            fillChance[first] = tile.chance;
            m_fill[first] = tile.id;
        }
    }
}

std::optional<std::uint16_t> TerrainTiles::pickTile(PackedCorners corners,
                                                    RandomSource& random) const {
    const auto it = m_choices.find(corners);
    if (it == m_choices.end())
        return std::nullopt;
    const Choice& choice = it->second;
    if (choice.ids.size() == 1)
        return choice.ids.front();
    const int draw = random.uniform(choice.upTo.back());
    const auto at = std::upper_bound(choice.upTo.begin(), choice.upTo.end(), draw);
    return choice.ids[std::size_t(at - choice.upTo.begin())];
}

std::optional<std::uint16_t> TerrainTiles::fillTile(TerrainId terrain) const {
    return terrain < m_fill.size() ? m_fill[terrain] : std::nullopt;
}

std::vector<TerrainCorners> TerrainTiles::missingTransitions(TerrainId a, TerrainId b) const {
    std::vector<TerrainCorners> missing;
    for (int bits = 1; bits <= 14; ++bits) {
        TerrainCorners corners{};
        for (int i = 0; i < 4; ++i)
            corners[std::size_t(i)] = (bits >> i) & 1 ? b : a;
        if (!hasTile(packCorners(corners)))
            missing.push_back(corners);
    }
    return missing;
}

} // namespace tb
