#include "editor/Painting.h"

#include "editor/Stamp.h"
#include "shell/Errors.h"
#include "shell/NumberText.h"

#include <algorithm>
#include <exception>

namespace tb {
namespace {

bool inside(const MapImage& map, std::int64_t x, std::int64_t y) {
    return x >= 0 && y >= 0 && x <= INT32_MAX && y <= INT32_MAX &&
           map.contains(std::int32_t(x), std::int32_t(y));
}

std::uint16_t checkedTileId(std::int32_t tileId) {
    if (tileId < 0 || tileId > 0xFFFF)
        throw RangeError();
    return static_cast<std::uint16_t>(tileId);
}

// The altitude step shared by both cell routines.
std::int8_t alteredAltitude(const CellAltitude& altitude, int before, RandomSource& random) {
    int value = applyAltitudeMode(altitude.mode, before, altitude.z);
    if (altitude.addRandom) {
        const std::int32_t range = strToInt(altitude.randomRangeText);
        value = clampAltitude(std::int64_t(value) + randomAltitudeOffset(range, random));
    }
    return static_cast<std::int8_t>(value);
}

void writeCell(MapImage& map, std::int32_t x, std::int32_t y, std::uint16_t tile,
               std::int8_t altitude) {
    map.setCell(x, y, MapCell{tile, altitude});
}

} // namespace

bool paintCell(MapImage& map, UndoList& undo, std::int32_t x, std::int32_t y,
               const DrawChoice& draw, const CellAltitude& altitude, RandomSource& random) {
    if (!map.contains(x, y))
        return false;
    const MapCell before = map.cell(x, y);
    undo.record(x, y, before);
    std::uint16_t tile = before.tileId;
    if (draw.drawMode == kSelectedTile)
        tile = checkedTileId(draw.paletteTile);
    else if (draw.drawMode >= kFirstTileGroup && draw.group != nullptr)
        tile = checkedTileId(randomTileId(*draw.group, random));
    const std::int8_t newAltitude = alteredAltitude(altitude, before.altitude, random);
    writeCell(map, x, y, tile, newAltitude);
    return true;
}

bool stampCell(MapImage& map, std::int32_t x, std::int32_t y, std::int32_t tileId,
               const CellAltitude& altitude, RandomSource& random) {
    if (!map.contains(x, y))
        return false;
    const MapCell before = map.cell(x, y);
    const std::uint16_t tile = checkedTileId(tileId);
    const std::int8_t newAltitude = alteredAltitude(altitude, before.altitude, random);
    writeCell(map, x, y, tile, newAltitude);
    return true;
}

std::vector<BrushCell> parseBrushLines(const std::vector<std::string>& lines) {
    std::vector<BrushCell> cells;
    for (const std::string& line : lines) {
        if (splitText(",", line).size() < 3)
            continue;
        BrushCell cell;
        if (splitIntTriple(",", line, cell.dx, cell.dy, cell.tileId))
            cells.push_back(cell);
    }
    return cells;
}

std::vector<std::string> drawModeCaptions(const std::vector<TileNamed>& groups) {
    std::vector<std::string> captions(kFixedDrawModes.begin(), kFixedDrawModes.end());
    for (const TileNamed& group : groups)
        captions.push_back(group.tileName);
    return captions;
}

DrawChoice drawChoiceFor(int drawMode, const std::vector<TileNamed>& groups,
                         std::int32_t paletteTile) {
    DrawChoice choice{drawMode, paletteTile, nullptr};
    const int groupIndex = drawMode - kFirstTileGroup;
    if (groupIndex >= 0 && std::size_t(groupIndex) < groups.size())
        choice.group = &groups[std::size_t(groupIndex)];
    return choice;
}

void MapPainter::reset() {
    m_keyNavigation = false;
    endFill();
}

void MapPainter::endFill() {
    m_fillPending = false;
    m_corner1 = {-1, -1};
}

SelectionResult MapPainter::selectCell(MapImage* map, UndoList& undo, const PaintControls& controls,
                                       std::int32_t x, std::int32_t y) {
    SelectionResult result;
    try {
        const std::int32_t z = strToInt(controls.zText);
        if (z < kMinAltitude || z > kMaxAltitude) {
            result.zOutOfRange = true;
            return result;
        }
        if (m_keyNavigation) {
            m_keyNavigation = false;
            return result;
        }
        if (map == nullptr)
            return result;
        const CellAltitude altitude{controls.altitudeMode, z, controls.addRandomAltitude,
                                    controls.randomRangeText};
        switch (controls.tool) {
        case PaintTool::Stamp:
            for (const StampCellSpec& cell : stampPattern(controls.stampButton)) {
                const std::int64_t cx = std::int64_t(x) + cell.dx;
                const std::int64_t cy = std::int64_t(y) + cell.dy;
                if (inside(*map, cx, cy) && stampCell(*map, std::int32_t(cx), std::int32_t(cy),
                                                      cell.tileId, altitude, *m_random))
                    result.changedCells.push_back({std::int32_t(cx), std::int32_t(cy)});
            }
            break;
        case PaintTool::Fill:
            fillStep(*map, undo, controls, altitude, x, y, result);
            break;
        case PaintTool::Brush:
            for (const BrushCell& cell : m_brush) {
                const std::int64_t cx = std::int64_t(x) + cell.dx;
                const std::int64_t cy = std::int64_t(y) + cell.dy;
                if (inside(*map, cx, cy) && stampCell(*map, std::int32_t(cx), std::int32_t(cy),
                                                      cell.tileId, altitude, *m_random))
                    result.changedCells.push_back({std::int32_t(cx), std::int32_t(cy)});
            }
            break;
        case PaintTool::Paint:
            if (controls.draw.drawMode != kDontDraw)
                paintSquare(*map, undo, controls, altitude, x, y, result);
            break;
        }
    } catch (const std::exception& failure) {
        result.error = failure.what();
    }
    return result;
}

void MapPainter::paintSquare(MapImage& map, UndoList& undo, const PaintControls& controls,
                             const CellAltitude& altitude, std::int32_t x, std::int32_t y,
                             SelectionResult& result) {
    const int size = std::clamp(controls.brushSize, 1, 9);
    for (int i = 0; i < size; ++i) {
        for (int j = 0; j < size; ++j) {
            const std::int64_t cx = std::int64_t(x) + i;
            const std::int64_t cy = std::int64_t(y) + j;
            if (inside(map, cx, cy) && paintCell(map, undo, std::int32_t(cx), std::int32_t(cy),
                                                 controls.draw, altitude, *m_random))
                result.changedCells.push_back({std::int32_t(cx), std::int32_t(cy)});
        }
    }
}

void MapPainter::fillStep(MapImage& map, UndoList& undo, const PaintControls& controls,
                          const CellAltitude& altitude, std::int32_t x, std::int32_t y,
                          SelectionResult& result) {
    if (!m_fillPending) {
        m_corner1 = {x, y};
        m_fillPending = true;
        return;
    }
    const CellPoint first = m_corner1;
    const CellPoint second{x, y};
    // A failure ends the pending fill as well, so the next click starts a new rectangle.
    endFill();
    // Nothing to paint unless the second corner lies right of and below the first.
    for (std::int32_t i = first.x; i <= second.x; ++i) {
        for (std::int32_t j = first.y; j <= second.y; ++j) {
            if (paintCell(map, undo, i, j, controls.draw, altitude, *m_random))
                result.changedCells.push_back({i, j});
        }
    }
}

} // namespace tb
