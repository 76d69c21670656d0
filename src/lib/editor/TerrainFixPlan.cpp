#include "editor/TerrainFixPlan.h"

#include "editor/CornerGrid.h"

#include <algorithm>
#include <string>

namespace tb {

// A corner's terrain depends only on the cells around it, not on the rectangle it is read
// for, so band after band reads the same corners as the whole area would; the cells go row
// by row, so the draws come in fixTerrainEdges' order.
TerrainFixPlan planTerrainFix(const MapImage& map, const TerrainTiles& tiles, const CellRect& cells,
                              RandomSource& random, Progress& progress, std::int32_t bandRows) {
    TerrainFixPlan plan;
    TerrainEditResult& result = plan.result;
    const CellRect area = cells.intersected(wholeMap(map));
    if (area.isEmpty())
        return plan;
    result.area = area;
    const std::string stopped(kTerrainFixStopped);
    const std::int64_t rows = std::int64_t(area.bottom) - area.top + 1;
    const std::int32_t band = std::max(bandRows, 1);
    for (std::int32_t top = area.top; top <= area.bottom;) {
        reportStep(progress, kTerrainFixCaption, top - area.top, rows, stopped);
        const std::int32_t bottom = std::int32_t(
            std::min<std::int64_t>(std::int64_t(top) + band - 1, std::int64_t(area.bottom)));
        const CornerGrid corners(map, tiles, {area.left, top, area.right, bottom});
        for (std::int32_t y = top; y <= bottom; ++y)
            for (std::int32_t x = area.left; x <= area.right; ++x) {
                const PackedCorners has = tiles.corners(map.cellUnchecked(x, y).tileId);
                if (has == kUnknownCorners)
                    continue;
                const PackedCorners wanted = corners.cellCorners(x, y);
                if (has == wanted)
                    continue;
                const std::optional<std::uint16_t> tile = hasAllCorners(unpackCorners(wanted))
                                                              ? tiles.pickTile(wanted, random)
                                                              : std::nullopt;
                if (tile) {
                    plan.changes.push_back({x, y, *tile});
                    ++result.changed;
                } else {
                    result.missing.push_back({x, y});
                }
            }
        if (bottom == area.bottom)
            break;
        top = bottom + 1;
    }
    reportStep(progress, kTerrainFixCaption, rows, rows, stopped);
    return plan;
}

void writeTerrainFix(MapDocument& document, const TerrainFixPlan& plan) {
    // An exception leaves the edit, which puts back everything it wrote.
    MapDocument::Edit edit(document, "Terrain", MapDocument::Undo::Bulk);
    for (const TerrainFixChange& change : plan.changes)
        edit.write(change.x, change.y, {change.tile, edit.cell(change.x, change.y).altitude});
}

} // namespace tb
