#include "editor/EditorState.h"

namespace tb {

void EditorState::setDrawMode(DrawMode mode, std::optional<TileGroup> tileGroup) {
    drawMode = mode;
    group.reset();
    if (mode == DrawMode::TileGroup)
        group = std::move(tileGroup);
}

} // namespace tb
