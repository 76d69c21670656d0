#include "editor/CornerGrid.h"

#include <algorithm>

namespace tb {
namespace {

// The corners of the tiles of cells first..last of row `y` into `out` (one per column),
// kUnknownCorners for columns outside the map.
void readRowCorners(const MapImage& map, const TerrainTiles& tiles, std::int32_t y,
                    std::int32_t first, std::int32_t last, std::vector<PackedCorners>& out) {
    out.assign(std::size_t(last - first + 1), kUnknownCorners);
    if (y < 0 || y >= map.height())
        return;
    const std::int32_t from = std::max(first, 0);
    const std::int32_t to = std::min(last, map.width() - 1);
    for (std::int32_t x = from; x <= to; ++x)
        out[std::size_t(x - first)] = tiles.corners(map.cellUnchecked(x, y).tileId);
}

TerrainId cornerByte(PackedCorners corners, int corner) {
    return TerrainId(corners >> (8 * corner));
}

} // namespace

TerrainId majorityTerrain(TerrainId a, TerrainId b, TerrainId c, TerrainId d) {
    if (a == b && b == c && c == d)
        return a;
    // Each vote's count (0 for no vote), without branches: a whole map of corners runs
    // through here, and where terrains are mixed every branch would be a guess.
    const int ab = a == b, ac = a == c, ad = a == d, bc = b == c, bd = b == d, cd = c == d;
    const int countA = (a != kNoTerrain) * (1 + ab + ac + ad);
    const int countB = (b != kNoTerrain) * (1 + ab + bc + bd);
    const int countC = (c != kNoTerrain) * (1 + ac + bc + cd);
    const int countD = (d != kNoTerrain) * (1 + ad + bd + cd);
    const int best = std::max(std::max(countA, countB), std::max(countC, countD));
    // The votes of the leading terrain are `best` many; more votes at that count mean
    // another terrain ties with it.
    const int atBest = (countA == best) + (countB == best) + (countC == best) + (countD == best);
    if (best == 0 || atBest != best)
        return kNoTerrain;
    return countA == best ? a : countB == best ? b : countC == best ? c : d;
}

TerrainId readCornerTerrain(const MapImage& map, const TerrainTiles& tiles, std::int32_t x,
                            std::int32_t y) {
    auto cornerOf = [&](std::int32_t cx, std::int32_t cy, int corner) {
        if (!map.contains(cx, cy))
            return kNoTerrain;
        return cornerByte(tiles.corners(map.cellUnchecked(cx, cy).tileId), corner);
    };
    return majorityTerrain(cornerOf(x - 1, y - 1, 3), cornerOf(x, y - 1, 2), cornerOf(x - 1, y, 1),
                           cornerOf(x, y, 0));
}

CornerGrid::CornerGrid(const MapImage& map, const TerrainTiles& tiles, const CellRect& cells)
    : m_cells(cells), m_stride(std::size_t(cells.right - cells.left + 2)),
      m_corners(m_stride * std::size_t(cells.bottom - cells.top + 2), kNoTerrain) {
    // Two rows of cells at a time, the one above the corner row and the one below, each
    // with a column more on either side.
    const std::int32_t first = cells.left - 1;
    const std::int32_t last = cells.right + 1;
    std::vector<PackedCorners> above;
    std::vector<PackedCorners> below;
    readRowCorners(map, tiles, cells.top - 1, first, last, above);
    for (std::int32_t y = cells.top; y <= cells.bottom + 1; ++y) {
        readRowCorners(map, tiles, y, first, last, below);
        TerrainId* out = m_corners.data() + std::size_t(y - cells.top) * m_stride;
        for (std::size_t i = 0; i < m_stride; ++i) {
            // Corner x = cells.left + i lies between columns i and i + 1 of the rows.
            const PackedCorners upLeft = above[i], upRight = above[i + 1];
            const PackedCorners downLeft = below[i], downRight = below[i + 1];
            if ((upLeft & upRight & downLeft & downRight) == kUnknownCorners)
                continue; // no known tile around it
            out[i] = majorityTerrain(cornerByte(upLeft, 3), cornerByte(upRight, 2),
                                     cornerByte(downLeft, 1), cornerByte(downRight, 0));
        }
        std::swap(above, below);
    }
}

} // namespace tb
