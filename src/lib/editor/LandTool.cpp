#include "editor/LandTool.h"

#include "editor/MapDocument.h"

#include <algorithm>
#include <string>

namespace tb {

LandTool::LandTool(std::function<MapDocument*()> document, const EditorState& state,
                   MapPainter& painter)
    : m_document(std::move(document)), m_state(state), m_painter(painter) {}

void LandTool::select(const ToolEvent& event) {
    const bool fillWasPending = m_painter.fillPending();
    const SelectionResult result =
        m_painter.selectCell(m_document(), m_state, event.cell.x, event.cell.y);
    if (result.zOutOfRange && reports().zRefused)
        reports().zRefused();
    if (result.error)
        tell(reports().error, *result.error);
    if (fillWasPending != m_painter.fillPending())
        changed();
}

void LandTool::move(const ToolEvent& event) {
    m_pointer = event.cell;
    changed();
}

void LandTool::leave() {
    m_pointer.reset();
    changed();
}

bool LandTool::key(ToolKey key) {
    if (key != ToolKey::NavigationMove)
        return false;
    m_painter.setKeyNavigation();
    return true;
}

std::string LandTool::statusText() const {
    if (m_state.tool == PaintTool::Fill && m_painter.fillPending()) {
        const CellPoint c = m_painter.fillCorner1();
        return "Fill from " + std::to_string(c.x) + ", " + std::to_string(c.y) +
               ": click the opposite corner";
    }
    return {};
}

// The Paint square under the pointer, and a Fill's first corner.
ToolOverlay LandTool::overlay() const {
    ToolOverlay overlay;
    if (m_state.tool == PaintTool::Paint && m_pointer && m_state.drawMode != DrawMode::DontDraw) {
        const int size = std::clamp(m_state.brushSize, 1, 9);
        overlay.footprint = {m_pointer->x, m_pointer->y, m_pointer->x + size - 1,
                             m_pointer->y + size - 1};
    }
    if (m_state.tool == PaintTool::Fill && m_painter.fillPending())
        overlay.anchor = m_painter.fillCorner1();
    return overlay;
}

} // namespace tb
