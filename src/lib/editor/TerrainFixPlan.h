#pragma once
// Fix edges over a large area, worked out beside the editor and written in one go. The plan
// reads a map that no edit reaches meanwhile (the editor runs it as a job that holds the
// document), a band of rows at a time with a look at the progress between bands, and chooses
// the tiles fixTerrainEdges would choose from the same draws. Writing it is one operation of
// the document, undone as one step; a stopped plan has written nothing.

#include "catalogue/TerrainTiles.h"
#include "core/MapImage.h"
#include "editor/MapDocument.h"
#include "editor/TerrainEdits.h"
#include "shell/Progress.h"
#include "shell/RandomSource.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tb {

struct TerrainFixChange {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint16_t tile = 0;
};

struct TerrainFixPlan {
    // As fixTerrainEdges tells it: the cells looked at, how many change, which are missing.
    TerrainEditResult result;
    std::vector<TerrainFixChange> changes; // row by row
};

inline constexpr std::string_view kTerrainFixCaption = "Fixing terrain edges";
inline constexpr std::string_view kTerrainFixStopped =
    "Fix edges was stopped: the map stays as it was.";

// The changes Fix edges makes to `cells` of `map`. Reports kTerrainFixCaption with the rows
// done after every `bandRows` rows and throws OperationStopped (kTerrainFixStopped) when
// asked to stop.
TerrainFixPlan planTerrainFix(const MapImage& map, const TerrainTiles& tiles, const CellRect& cells,
                              RandomSource& random, Progress& progress = noProgress(),
                              std::int32_t bandRows = 64);

// Writes the plan's tiles, keeping the altitudes, as one bulk operation named "Terrain".
// Throws std::out_of_range for a change outside the map (nothing stays written then).
void writeTerrainFix(MapDocument& document, const TerrainFixPlan& plan);

} // namespace tb
