#include "editor/UndoList.h"

namespace tb {

std::array<std::string, 4> undoRowTexts(const UndoRow& row) {
    return {std::to_string(row.x), std::to_string(row.y), std::to_string(int(row.altitude)),
            std::to_string(unsigned(row.tileId))};
}

std::optional<CellPoint> UndoList::undo(MapImage& map) {
    if (m_rows.empty())
        return std::nullopt;
    const UndoRow row = m_rows.back();
    m_rows.pop_back();
    if (!map.contains(row.x, row.y))
        return std::nullopt;
    map.setCell(row.x, row.y, MapCell{row.tileId, row.altitude});
    return CellPoint{row.x, row.y};
}

} // namespace tb
