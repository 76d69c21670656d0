#pragma once
// Places of the demo world worth a picture, found from the tiles of the map: the most
// varied stretch of land for the zoomed-out view, and a coast to paint along.

#include "core/MapImage.h"

#include <vector>

namespace shots {

// A rectangle of cells.
struct CellArea {
    int left = 0;
    int top = 0;
    int columns = 0;
    int rows = 0;
};

// One cell of a coast: the first water cell next to the land on its row.
struct ShoreCell {
    int x = 0;
    int y = 0;
    bool landToWest = true; // the land lies west of it (else east)
    int beach = 0;          // sand cells from the water inland, at most kWideBeach
};

// A beach this wide leaves room to paint inland of it and keep sand at the water.
inline constexpr int kWideBeach = 6;

// The area of `columns` x `rows` cells that holds the most kinds of ground (water, sand,
// grass, forest, dirt, rock, snow) in the most even shares.
CellArea mostVariedArea(const tb::MapImage& map, int columns, int rows);

// The area of `columns` x `rows` cells that one coast line crosses from top to bottom:
// on as many rows as possible land gives way to water once, away from the edges, behind a
// wide beach, with a little less water than land.
CellArea coastArea(const tb::MapImage& map, int columns, int rows);

// The coast inside `area`, top to bottom: one cell for each row that land and water
// share once.
std::vector<ShoreCell> shoreLine(const tb::MapImage& map, const CellArea& area);

} // namespace shots
