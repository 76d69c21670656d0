#include "editor/EditorState.h"
#include "shell/TextSplit.h"

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

void EditorState::setDrawMode(DrawMode mode, std::optional<TileNamed> tileGroup) {
    drawMode = mode;
    group.reset();
    if (mode == DrawMode::TileGroup)
        group = std::move(tileGroup);
}

} // namespace tb
