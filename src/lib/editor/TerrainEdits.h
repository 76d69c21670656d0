#pragma once
// Painting with terrains: a stroke sets the corners under the brush and gives every cell
// around them a tile whose corners match; Fix edges gives the cells of a rectangle the
// tiles their corners ask for; the check lists the cells whose tile does not fit. Only tile
// ids change, altitudes never. The corner model is CornerGrid's.
//
// A cell that needs corners no tile has (a missing transition, or a corner left without
// terrain by a tie) keeps its tile and is listed as missing. Tiles are chosen by chance from
// the random source, cells row by row, so the same seed gives the same map.

#include "catalogue/TerrainTiles.h"
#include "core/MapImage.h"
#include "editor/MapDocument.h"
#include "shell/RandomSource.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tb {

struct TerrainEditResult {
    // The cells looked at (clipped to the map; empty when none): a list of missing cells
    // kept by the caller is replaced within it (MissingTransitions).
    CellRect area;
    std::size_t changed = 0;        // cells that got another tile
    std::vector<CellPoint> missing; // cells that kept theirs for want of one, row by row
};

// The brush square of Paint: `size` x `size` cells (at least 1) with (x, y) its top-left
// cell. Not clipped to the map.
CellRect paintBrushSquare(std::int32_t x, std::int32_t y, int size);
// A `size` x `size` square centred on (x, y); for an even size the centre is the cell to the
// right of and below the middle (tbmap's --size).
CellRect centredSquare(std::int32_t x, std::int32_t y, int size);

// Paints `terrain` on the cells of `square` (clipped to the map): all their corners take it.
// Every cell of the square and of the ring around it that has a changed corner, and every
// cell of the square, gets a tile of its new corners unless its tile has them already.
// Through the document: each cell is recorded for undo before it is written (as Paint does),
// all in the edit's one operation.
TerrainEditResult paintTerrain(MapDocument::Edit& edit, const TerrainTiles& tiles,
                               TerrainId terrain, const CellRect& square, RandomSource& random);
TerrainEditResult paintTerrain(MapImage& map, const TerrainTiles& tiles, TerrainId terrain,
                               const CellRect& square, RandomSource& random);
// The same for a brush of another shape: the corners of the cells of `cells` (those inside
// the map) take `terrain`, and those cells count as under the brush.
TerrainEditResult paintTerrain(MapDocument::Edit& edit, const TerrainTiles& tiles,
                               TerrainId terrain, const std::vector<CellPoint>& cells,
                               RandomSource& random);

// Recomputes the cells of `cells` (clipped to the map) from their corners as they are read
// before any change: each cell whose known tile's corners are not its corners gets a tile
// that has them. Cells whose tile the terrains do not know (roads, caves) are left alone.
TerrainEditResult fixTerrainEdges(MapDocument::Edit& edit, const TerrainTiles& tiles,
                                  const CellRect& cells, RandomSource& random);
TerrainEditResult fixTerrainEdges(MapImage& map, const TerrainTiles& tiles, const CellRect& cells,
                                  RandomSource& random);

// The cells of `cells` (clipped to the map) whose known tile's corners are not the corners
// around them, row by row: the cells Fix edges would change or list as missing.
std::vector<CellPoint> checkTerrain(const MapImage& map, const TerrainTiles& tiles,
                                    const CellRect& cells);

// The whole map as a rectangle of cells (empty without geometry).
CellRect wholeMap(const MapImage& map);

} // namespace tb
