#include "editor/MapPainter.h"

#include "editor/Stamp.h"

#include <algorithm>
#include <exception>

namespace tb {
namespace {

bool inside(const MapImage& map, std::int64_t x, std::int64_t y) {
    return x >= 0 && y >= 0 && x <= INT32_MAX && y <= INT32_MAX &&
           map.contains(std::int32_t(x), std::int32_t(y));
}

// The name the Edit menu gives the tool's undo steps.
const char* toolName(PaintTool tool) {
    switch (tool) {
    case PaintTool::Fill:
        return "Fill";
    case PaintTool::Stamp:
        return "Stamp";
    case PaintTool::Brush:
        return "Brush";
    case PaintTool::Paint:
        break;
    }
    return "Paint";
}

} // namespace

bool paintCell(MapDocument::Edit& edit, std::int32_t x, std::int32_t y, const EditorState& state,
               const AltitudeSettings& altitude, RandomSource& random) {
    if (!edit.contains(x, y))
        return false;
    const MapCell before = edit.image().cellUnchecked(x, y);
    edit.recordUndo(x, y);
    std::uint16_t tile = before.tileId;
    if (state.drawMode == DrawMode::SelectedTile)
        tile = state.paletteTile;
    else if (state.drawMode == DrawMode::TileGroup && state.group)
        tile = randomTileId(*state.group, random);
    const auto after = static_cast<std::int8_t>(newAltitude(altitude, before.altitude, random));
    edit.write(x, y, MapCell{tile, after});
    return true;
}

bool stampCell(MapDocument::Edit& edit, std::int32_t x, std::int32_t y,
               const CheckedValue<std::uint16_t>& tileId, const AltitudeSettings& altitude,
               RandomSource& random) {
    if (!edit.contains(x, y))
        return false;
    const MapCell before = edit.image().cellUnchecked(x, y);
    const std::uint16_t tile = tileId.get();
    const auto after = static_cast<std::int8_t>(newAltitude(altitude, before.altitude, random));
    edit.write(x, y, MapCell{tile, after});
    return true;
}

std::vector<std::string> drawModeCaptions(const std::vector<TileGroup>& groups) {
    std::vector<std::string> captions(kFixedDrawModes.begin(), kFixedDrawModes.end());
    for (const TileGroup& group : groups)
        captions.push_back(group.name);
    return captions;
}

void MapPainter::reset() {
    m_keyNavigation = false;
    endFill();
}

void MapPainter::endFill() {
    m_fillPending = false;
    m_corner1 = {-1, -1};
}

SelectionResult MapPainter::selectCell(MapDocument* document, const EditorState& state,
                                       std::int32_t x, std::int32_t y) {
    SelectionResult result;
    std::int32_t z = 0;
    try {
        z = state.z.get();
    } catch (const std::exception& failure) {
        result.error = failure.what();
        return result;
    }
    if (z < kMinAltitude || z > kMaxAltitude) {
        result.zOutOfRange = true;
        return result;
    }
    if (m_keyNavigation) {
        m_keyNavigation = false;
        return result;
    }
    if (document == nullptr)
        return result;
    const AltitudeSettings altitude{state.altitudeMode, z, state.addRandomAltitude,
                                    state.randomRange};
    // One operation of the document. A failure ends the event where it happened: the cells
    // written before it stay, so it is caught inside the edit.
    MapDocument::Edit edit(*document, toolName(state.tool));
    try {
        switch (state.tool) {
        case PaintTool::Stamp:
            for (const StampCell& cell : stampPattern(state.stampButton)) {
                const std::int64_t cx = std::int64_t(x) + cell.dx;
                const std::int64_t cy = std::int64_t(y) + cell.dy;
                if (inside(edit.image(), cx, cy))
                    stampCell(edit, std::int32_t(cx), std::int32_t(cy), cell.tileId, altitude,
                              *m_random);
            }
            break;
        case PaintTool::Fill:
            fillStep(edit, state, altitude, x, y);
            break;
        case PaintTool::Brush:
            for (const BrushCell& cell : state.brush) {
                const std::int64_t cx = std::int64_t(x) + cell.dx;
                const std::int64_t cy = std::int64_t(y) + cell.dy;
                if (inside(edit.image(), cx, cy))
                    stampCell(edit, std::int32_t(cx), std::int32_t(cy), cell.tileId, altitude,
                              *m_random);
            }
            break;
        case PaintTool::Paint:
            if (state.drawMode != DrawMode::DontDraw)
                paintSquare(edit, state, altitude, x, y);
            break;
        }
    } catch (const std::exception& failure) {
        result.error = failure.what();
    }
    return result;
}

void MapPainter::paintSquare(MapDocument::Edit& edit, const EditorState& state,
                             const AltitudeSettings& altitude, std::int32_t x, std::int32_t y) {
    const int size = std::clamp(state.brushSize, 1, 9);
    for (int i = 0; i < size; ++i) {
        for (int j = 0; j < size; ++j) {
            const std::int64_t cx = std::int64_t(x) + i;
            const std::int64_t cy = std::int64_t(y) + j;
            if (inside(edit.image(), cx, cy))
                paintCell(edit, std::int32_t(cx), std::int32_t(cy), state, altitude, *m_random);
        }
    }
}

void MapPainter::fillStep(MapDocument::Edit& edit, const EditorState& state,
                          const AltitudeSettings& altitude, std::int32_t x, std::int32_t y) {
    if (!m_fillPending) {
        m_corner1 = {x, y};
        m_fillPending = true;
        return;
    }
    const CellPoint first = m_corner1;
    const CellPoint second{x, y};
    // A failure ends the pending fill as well, so the next click starts a new rectangle.
    endFill();
    // Each Fill is a stroke of its own, also in the middle of a drag.
    struct StrokeOfItsOwn {
        MapDocument::Edit& edit;
        explicit StrokeOfItsOwn(MapDocument::Edit& e) : edit(e) { edit.startStroke(); }
        ~StrokeOfItsOwn() { edit.startStroke(); }
    } stroke(edit);
    // Nothing to paint unless the second corner lies right of and below the first.
    for (std::int32_t i = first.x; i <= second.x; ++i)
        for (std::int32_t j = first.y; j <= second.y; ++j)
            paintCell(edit, i, j, state, altitude, *m_random);
}

} // namespace tb
