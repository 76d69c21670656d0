#include "editor/EditorState.h"
#include "shell/TextSplit.h"

namespace tb {

std::vector<BrushCell> parseBrushLines(const std::vector<std::string>& lines) {
    std::vector<BrushCell> cells;
    for (const std::string& line : lines) {
        if (splitText(",", line).size() < 3)
            continue;
        std::int32_t dx = 0;
        std::int32_t dy = 0;
        std::int32_t tileId = 0;
        if (splitIntTriple(",", line, dx, dy, tileId))
            cells.push_back({dx, dy, checkedTileId(tileId)});
    }
    return cells;
}

void EditorState::setDrawMode(DrawMode mode, std::optional<TileGroup> tileGroup) {
    drawMode = mode;
    group.reset();
    if (mode == DrawMode::TileGroup)
        group = std::move(tileGroup);
}

} // namespace tb
