#include "editor/TerrainTool.h"

#include "editor/CornerGrid.h"
#include "editor/MapDocument.h"
#include "editor/TerrainFixPlan.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace tb {
namespace {

constexpr const char* kNoTerrainChosen =
    "No terrain chosen: pick one in the Terrain panel (View > Terrain)";

int brushSide(const EditorState& state) {
    return std::clamp(state.brushSize, 1, 9);
}

// The corners map cell (x, y) has as the tiles around it say.
PackedCorners cornersAround(const MapImage& map, const TerrainTiles& tiles, std::int32_t x,
                            std::int32_t y) {
    return packCorners(
        {readCornerTerrain(map, tiles, x, y), readCornerTerrain(map, tiles, x + 1, y),
         readCornerTerrain(map, tiles, x, y + 1), readCornerTerrain(map, tiles, x + 1, y + 1)});
}

} // namespace

TerrainTool::TerrainTool(std::function<MapDocument*()> document, const EditorState& state,
                         RandomSource& random)
    : m_document(std::move(document)), m_state(state), m_random(random) {}

void TerrainTool::setTerrains(TerrainSet set) {
    m_set = std::move(set);
    m_tiles = TerrainTiles(m_set);
    m_terrain.reset();
    if (const MapDocument* document = m_document ? m_document() : nullptr)
        recheckMarks(wholeMap(document->image()));
    changed();
}

void TerrainTool::chooseTerrain(std::optional<TerrainId> terrain) {
    m_terrain = terrain && *terrain < m_set.terrains.size() ? terrain : std::nullopt;
    changed();
}

template <typename Operation>
std::optional<TerrainEditResult> TerrainTool::ownEdit(Operation&& operation) {
    MapDocument* document = m_document();
    if (!document || !document->image().hasGeometry())
        return std::nullopt;
    std::optional<TerrainEditResult> result;
    try {
        // Set while the document tells its listeners, which it does as the edit ends.
        m_editing = true;
        result = operation(*document);
    } catch (const std::exception& error) {
        m_editing = false;
        tell(reports().error, error.what());
        return std::nullopt;
    }
    m_editing = false;
    takeMarks(*result);
    return result;
}

std::optional<TerrainEditResult> TerrainTool::fixEdges(const CellRect& cells) {
    return ownEdit([&](MapDocument& document) {
        MapDocument::Edit edit(document, "Terrain");
        // A stroke of its own, also while a press holds the document's stroke.
        edit.startStroke();
        TerrainEditResult result = fixTerrainEdges(edit, m_tiles, cells, m_random);
        edit.startStroke();
        return result;
    });
}

std::optional<TerrainEditResult> TerrainTool::applyFix(const TerrainFixPlan& plan) {
    return ownEdit([&](MapDocument& document) {
        writeTerrainFix(document, plan);
        return plan.result;
    });
}

void TerrainTool::select(const ToolEvent& event) {
    if (std::exchange(m_keyMoved, false))
        return;
    const MapDocument* document = m_document();
    if (!document || !document->image().contains(event.cell.x, event.cell.y))
        return;
    if (!m_terrain) {
        tell(reports().notice, kNoTerrainChosen);
        return;
    }
    ownEdit([&](MapDocument& doc) {
        MapDocument::Edit edit(doc, "Terrain");
        return paintTerrain(edit, m_tiles, *m_terrain,
                            paintBrushSquare(event.cell.x, event.cell.y, brushSide(m_state)),
                            m_random);
    });
}

void TerrainTool::move(const ToolEvent& event) {
    m_pointer = event.cell;
    changed();
}

void TerrainTool::leave() {
    m_pointer.reset();
    changed();
}

bool TerrainTool::key(ToolKey key) {
    if (key != ToolKey::NavigationMove)
        return false;
    m_keyMoved = true;
    return true;
}

ToolCursor TerrainTool::cursor() const {
    return m_terrain ? ToolCursor::Cross : ToolCursor::Forbidden;
}

std::string TerrainTool::statusText() const {
    if (!m_terrain)
        return kNoTerrainChosen;
    std::string text = "Terrain: " + m_set.terrains[*m_terrain].name;
    if (!m_missing.empty())
        text += ", " + std::to_string(m_missing.size()) +
                (m_missing.size() == 1 ? " missing transition" : " missing transitions");
    return text;
}

ToolOverlay TerrainTool::overlay() const {
    ToolOverlay overlay;
    if (m_pointer && m_terrain)
        overlay.footprint = paintBrushSquare(m_pointer->x, m_pointer->y, brushSide(m_state));
    if (!m_missing.empty())
        overlay.marked = &m_missing;
    return overlay;
}

void TerrainTool::takeMarks(const TerrainEditResult& result) {
    if (result.area.isEmpty())
        return;
    const std::size_t before = m_missing.size();
    m_missing.update(result);
    if (before != 0 || !result.missing.empty())
        marksChanged();
}

void TerrainTool::clearMarks() {
    if (m_missing.empty())
        return;
    m_missing.clear();
    marksChanged();
}

void TerrainTool::recheckMarks(const CellRect& cells) {
    const MapDocument* document = m_document ? m_document() : nullptr;
    if (m_missing.empty() || !document)
        return;
    const MapImage& map = document->image();
    const std::vector<CellPoint> marked = m_missing.within(cells);
    std::vector<CellPoint> kept;
    for (const CellPoint& cell : marked)
        if (!map.contains(cell.x, cell.y) ||
            m_tiles.corners(map.cellUnchecked(cell.x, cell.y).tileId) !=
                cornersAround(map, m_tiles, cell.x, cell.y))
            kept.push_back(cell);
    if (kept.size() == marked.size())
        return;
    m_missing.replace(cells, kept);
    marksChanged();
}

void TerrainTool::marksChanged() {
    if (m_marksListener)
        m_marksListener();
    changed();
}

// A cell's corners depend on its neighbours' tiles too: the marks one cell around the change
// are looked at again.
void TerrainTool::cellsChanged(const CellChange& change) {
    if (m_editing || change.bounds.isEmpty())
        return;
    const CellRect& b = change.bounds;
    recheckMarks({std::max(b.left, 1) - 1, std::max(b.top, 1) - 1, b.right + 1, b.bottom + 1});
}

void TerrainTool::documentReplaced() {
    clearMarks();
}

} // namespace tb
