#include "editor/PlaceItemTool.h"

#include "editor/ItemOperations.h"
#include "editor/MapDocument.h"

#include <exception>
#include <utility>

namespace tb {
namespace {

constexpr const char* kNoItemChosen =
    "No item chosen: pick one in the item browser (View > Item browser)";

} // namespace

PlaceItemTool::PlaceItemTool(std::function<MapDocument*()> document,
                             std::function<const TileData*()> tiledata, const EditorState& state)
    : m_document(std::move(document)), m_tiledata(std::move(tiledata)), m_state(state) {}

void PlaceItemTool::press(const ToolEvent&) {
    m_placedThisPress = false;
}

std::optional<PlacedItem> PlaceItemTool::placement(CellPoint cell) const {
    const MapDocument* document = m_document();
    if (!document || !document->statics() || !m_state.placeItemId ||
        !document->image().contains(cell.x, cell.y))
        return std::nullopt;
    const std::int8_t z = placementZ(document->image(), *document->statics(), m_tiledata(), cell.x,
                                     cell.y, m_state.placeItemZ);
    return PlacedItem{cell.x, cell.y, *m_state.placeItemId, z, 0};
}

void PlaceItemTool::select(const ToolEvent& event) {
    if (std::exchange(m_keyMoved, false) || m_placedThisPress)
        return;
    MapDocument* document = m_document();
    if (!document || !document->image().contains(event.cell.x, event.cell.y))
        return;
    m_placedThisPress = true;
    if (!m_state.placeItemId) {
        tell(reports().notice, kNoItemChosen);
        return;
    }
    const std::optional<PlacedItem> item = placement(event.cell);
    if (!item)
        return;
    try {
        MapDocument::Edit edit(*document, "Place item");
        placeItem(edit, item->id, item->x, item->y, item->z);
    } catch (const std::exception& error) {
        tell(reports().error, error.what());
    }
    changed();
}

void PlaceItemTool::move(const ToolEvent& event) {
    m_pointer = event.cell;
    changed();
}

void PlaceItemTool::leave() {
    m_pointer.reset();
    changed();
}

bool PlaceItemTool::key(ToolKey key) {
    if (key != ToolKey::NavigationMove)
        return false;
    m_keyMoved = true;
    return true;
}

ToolCursor PlaceItemTool::cursor() const {
    return m_state.placeItemId ? ToolCursor::Cross : ToolCursor::Forbidden;
}

std::string PlaceItemTool::statusText() const {
    if (!m_state.placeItemId)
        return kNoItemChosen;
    if (const std::optional<PlacedItem> item = m_pointer ? placement(*m_pointer) : std::nullopt)
        return "Place item: a click puts it at z " + std::to_string(item->z);
    return {};
}

ToolOverlay PlaceItemTool::overlay() const {
    ToolOverlay overlay;
    if (m_pointer)
        if (const std::optional<PlacedItem> item = placement(*m_pointer))
            overlay.preview.push_back(*item);
    return overlay;
}

} // namespace tb
