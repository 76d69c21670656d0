#include "editor/UndoList.h"

namespace tb {
namespace {

// Moves the newest row of `from` to `to`: its values are written into the map and the
// values they replace go with the row's stroke to the other list.
std::optional<CellPoint> moveNewest(MapImage& map, std::vector<UndoRow>& from,
                                    std::vector<std::uint64_t>& fromStrokes,
                                    std::vector<UndoRow>& to,
                                    std::vector<std::uint64_t>& toStrokes) {
    if (from.empty())
        return std::nullopt;
    const UndoRow row = from.back();
    const std::uint64_t stroke = fromStrokes.back();
    from.pop_back();
    fromStrokes.pop_back();
    if (!map.contains(row.x, row.y))
        return std::nullopt;
    const MapCell replaced = map.cellUnchecked(row.x, row.y);
    map.setCell(row.x, row.y, MapCell{row.tileId, row.altitude});
    to.push_back({row.x, row.y, replaced.altitude, replaced.tileId});
    toStrokes.push_back(stroke);
    return CellPoint{row.x, row.y};
}

} // namespace

std::array<std::string, 4> undoRowTexts(const UndoRow& row) {
    return {std::to_string(row.x), std::to_string(row.y), std::to_string(int(row.altitude)),
            std::to_string(unsigned(row.tileId))};
}

void UndoList::record(std::int32_t x, std::int32_t y, MapCell before) {
    if (m_strokeStarts) {
        ++m_lastStroke;
        m_strokeStarts = false;
    }
    m_rows.push_back({x, y, before.altitude, before.tileId});
    m_strokes.push_back(m_lastStroke);
    m_redoRows.clear();
    m_redoStrokes.clear();
}

std::optional<CellPoint> UndoList::undo(MapImage& map) {
    return moveNewest(map, m_rows, m_strokes, m_redoRows, m_redoStrokes);
}

std::optional<CellPoint> UndoList::redo(MapImage& map) {
    return moveNewest(map, m_redoRows, m_redoStrokes, m_rows, m_strokes);
}

std::optional<std::uint64_t> UndoList::newestStroke() const {
    if (m_strokes.empty())
        return std::nullopt;
    return m_strokes.back();
}

std::optional<std::uint64_t> UndoList::newestRedoStroke() const {
    if (m_redoStrokes.empty())
        return std::nullopt;
    return m_redoStrokes.back();
}

void UndoList::clear() {
    m_rows.clear();
    m_strokes.clear();
    m_redoRows.clear();
    m_redoStrokes.clear();
    m_strokeStarts = true;
}

} // namespace tb
