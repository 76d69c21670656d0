#include "editor/EditorState.h"

namespace tb {

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

void EditorState::setDrawMode(int item, const std::vector<TileNamed>& groups) {
    drawMode = item;
    group.reset();
    const int groupIndex = item - kFirstTileGroup;
    if (groupIndex >= 0 && std::size_t(groupIndex) < groups.size())
        group = groups[std::size_t(groupIndex)];
}

} // namespace tb
