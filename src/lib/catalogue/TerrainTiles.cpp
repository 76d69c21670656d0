#include "catalogue/TerrainTiles.h"

#include <algorithm>

namespace tb {

TerrainTiles::TerrainTiles() : m_corners(0x10000, kUnknownCorners) {}

TerrainTiles::TerrainTiles(const TerrainSet& set) : TerrainTiles() {
    m_terrainCount = set.terrains.size();
    // At most half full: a few probes at most.
    std::size_t slots = 8;
    m_shift = 29;
    while (slots < 2 * set.tiles.size()) {
        slots *= 2;
        --m_shift;
    }
    m_choices.assign(slots, Choice{});
    m_fill.assign(m_terrainCount, std::nullopt);
    std::vector<int> fillChance(m_terrainCount, -1);
    for (const TerrainTile& tile : set.tiles) {
        // A tile being made in the terrain editor may lack a corner yet: it is no tile yet.
        if (!hasAllCorners(tile.corners))
            continue;
        const PackedCorners packed = packCorners(tile.corners);
        m_corners[tile.id] = packed;
        if (tile.chance > 0) {
            Choice& choice = insert(packed);
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

const TerrainTiles::Choice* TerrainTiles::find(PackedCorners corners) const {
    if (m_choices.empty() || corners == kUnknownCorners)
        return nullptr;
    for (std::size_t slot = slotOf(corners);; slot = (slot + 1) & (m_choices.size() - 1)) {
        const Choice& choice = m_choices[slot];
        if (choice.corners == corners)
            return &choice;
        if (choice.corners == kUnknownCorners)
            return nullptr;
    }
}

TerrainTiles::Choice& TerrainTiles::insert(PackedCorners corners) {
    for (std::size_t slot = slotOf(corners);; slot = (slot + 1) & (m_choices.size() - 1)) {
        Choice& choice = m_choices[slot];
        if (choice.corners == kUnknownCorners)
            choice.corners = corners;
        if (choice.corners == corners)
            return choice;
    }
}

std::optional<std::uint16_t> TerrainTiles::pickTile(PackedCorners corners,
                                                    RandomSource& random) const {
    const Choice* found = find(corners);
    if (!found)
        return std::nullopt;
    const Choice& choice = *found;
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
