#pragma once
// The statics on the map overview: each block's pixel samples the cell one step in from
// the block's north-west corner; where that cell has statics, the pixel shows its topmost
// static's radar colour instead of the land's, as the radar picture does for every cell.

#include "core/StaticRadarColours.h"
#include "core/StaticsMap.h"
#include "editor/Overview.h"

namespace tb {

// Paints the statics of the sampled cells over `overview` (blocks outside `statics` stay).
void drawOverviewStatics(OverviewImage& overview, const StaticsMap& statics,
                         const StaticRadarColours& colours);

} // namespace tb
