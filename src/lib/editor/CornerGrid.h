#pragma once
// The terrains of the map's corners, read from the tiles around them. Map corner (X, Y) is
// shared by cells (X - 1, Y - 1), (X, Y - 1), (X - 1, Y) and (X, Y), those inside the map;
// each whose tile the terrain set knows says which terrain lies there, and the corner takes
// the terrain most of them say. A tie, or no known tile around it, leaves it without one.

#include "catalogue/TerrainTiles.h"
#include "core/MapImage.h"
#include "editor/MapDocument.h"

#include <cstdint>
#include <vector>

namespace tb {

// The terrain most of the votes name, kNoTerrain on a tie or without votes (kNoTerrain
// votes for nothing).
TerrainId majorityTerrain(TerrainId a, TerrainId b, TerrainId c, TerrainId d);

// The terrain of map corner (X, Y), 0 <= X <= width, 0 <= Y <= height.
TerrainId readCornerTerrain(const MapImage& map, const TerrainTiles& tiles, std::int32_t x,
                            std::int32_t y);

// The corners of a rectangle of cells as they were when it was made, to be changed by the
// painter: (width + 1) x (height + 1) terrains.
class CornerGrid {
public:
    // The corners of `cells`, which must lie inside the map (and not be empty).
    CornerGrid(const MapImage& map, const TerrainTiles& tiles, const CellRect& cells);

    const CellRect& cells() const { return m_cells; }
    // Corner (x, y) in map coordinates, cells().left <= x <= cells().right + 1 (and so for y).
    TerrainId at(std::int32_t x, std::int32_t y) const { return m_corners[index(x, y)]; }
    void set(std::int32_t x, std::int32_t y, TerrainId terrain) {
        m_corners[index(x, y)] = terrain;
    }
    // The four corners of cell (x, y) of cells().
    PackedCorners cellCorners(std::int32_t x, std::int32_t y) const {
        const std::size_t i = index(x, y);
        return PackedCorners(m_corners[i]) | PackedCorners(m_corners[i + 1]) << 8 |
               PackedCorners(m_corners[i + m_stride]) << 16 |
               PackedCorners(m_corners[i + m_stride + 1]) << 24;
    }

private:
    std::size_t index(std::int32_t x, std::int32_t y) const {
        return std::size_t(y - m_cells.top) * m_stride + std::size_t(x - m_cells.left);
    }

    CellRect m_cells;
    std::size_t m_stride = 0;
    std::vector<TerrainId> m_corners;
};

} // namespace tb
