#include "editor/SelectItemsTool.h"

#include "editor/MapDocument.h"

#include <exception>
#include <utility>

namespace tb {

SelectItemsTool::SelectItemsTool(std::function<MapDocument*()> document)
    : m_document(std::move(document)) {}

void SelectItemsTool::deactivate() {
    m_move.reset();
    m_anchor.reset();
    m_pressedInside.reset();
    clearSelection();
}

void SelectItemsTool::setSelection(const ItemSelection& selection) {
    m_selection = selection;
    changed();
}

void SelectItemsTool::clearSelection() {
    if (m_selection.isEmpty())
        return;
    m_selection = {};
    changed();
}

std::size_t SelectItemsTool::itemCount(CellPoint cell) const {
    const MapDocument* document = m_document();
    if (!document || !document->statics())
        return 0;
    return itemsOnCell(*document->statics(), cell.x, cell.y).size();
}

void SelectItemsTool::press(const ToolEvent& event) {
    if (event.button != ToolButton::Left)
        return;
    m_anchor.reset();
    m_move.reset();
    m_moveCancelled = false;
    m_pressedItem = event.item;
    m_pressedInside.reset();
    if (m_selection.cells.contains(event.cell.x, event.cell.y))
        m_pressedInside = event.cell;
}

void SelectItemsTool::select(const ToolEvent& event) {
    if (std::exchange(m_keyMoved, false) || m_moveCancelled)
        return;
    if (m_pressedInside) {
        // Inside the selection a press may become a move; the press's own event is none yet.
        if (!m_move) {
            if (event.cell.x == m_pressedInside->x && event.cell.y == m_pressedInside->y)
                return;
            m_move = Move{m_selection, *m_pressedInside, event.cell};
        }
        m_move->now = event.cell;
        m_selection.cells = m_move->from.cells.translated(event.cell.x - m_move->pressed.x,
                                                          event.cell.y - m_move->pressed.y);
        changed();
        return;
    }
    if (!m_anchor)
        m_anchor = event.cell;
    m_selection = {CellRect::spanning(m_anchor->x, m_anchor->y, event.cell.x, event.cell.y), {}};
    changed();
}

void SelectItemsTool::release(const ToolEvent& event) {
    if (event.button != ToolButton::Left)
        return;
    const std::optional<PointedItem> pointed = std::exchange(m_pressedItem, std::nullopt);
    const std::optional<CellPoint> pressedInside = std::exchange(m_pressedInside, std::nullopt);
    const std::optional<CellPoint> anchor = std::exchange(m_anchor, std::nullopt);
    if (m_move) {
        const Move move = *std::exchange(m_move, std::nullopt);
        m_selection = move.from;
        moveBy(move.now.x - move.pressed.x, move.now.y - move.pressed.y);
        return;
    }
    if (m_moveCancelled)
        return;
    const bool singleCell = m_selection.cells.left == m_selection.cells.right &&
                            m_selection.cells.top == m_selection.cells.bottom;
    if (pointed) {
        // The view knows which item is under the pointer: that one alone.
        m_selection = {{pointed->cell.x, pointed->cell.y, pointed->cell.x, pointed->cell.y},
                       pointed->index};
    } else if (pressedInside && singleCell) {
        // A cell selected alone: each click picks the next item down, then all again.
        const std::size_t count = itemCount(*pressedInside);
        if (count > 1) {
            if (!m_selection.onlyItem)
                m_selection.onlyItem = count - 1;
            else if (*m_selection.onlyItem == 0 || *m_selection.onlyItem >= count)
                m_selection.onlyItem.reset();
            else
                --*m_selection.onlyItem;
        }
    } else if (pressedInside) {
        m_selection = {{pressedInside->x, pressedInside->y, pressedInside->x, pressedInside->y},
                       {}};
    } else if (!anchor) {
        return;
    }
    changed();
}

void SelectItemsTool::move(const ToolEvent& event) {
    m_pointer = event.cell;
    changed();
}

void SelectItemsTool::leave() {
    m_pointer.reset();
    changed();
}

bool SelectItemsTool::key(ToolKey key) {
    switch (key) {
    case ToolKey::NavigationMove:
        m_keyMoved = true;
        return true;
    case ToolKey::Escape:
        if (m_move) {
            m_selection = m_move->from;
            m_move.reset();
            m_moveCancelled = true; // the rest of the drag selects nothing
            changed();
            return true;
        }
        if (m_selection.isEmpty())
            return false;
        clearSelection();
        return true;
    case ToolKey::Delete:
        deleteSelection();
        return !m_selection.isEmpty();
    case ToolKey::RaiseOne:
        raiseSelection(1);
        return true;
    case ToolKey::LowerOne:
        raiseSelection(-1);
        return true;
    case ToolKey::RaiseMore:
        raiseSelection(5);
        return true;
    case ToolKey::LowerMore:
        raiseSelection(-5);
        return true;
    case ToolKey::Copy:
        copySelection();
        return true;
    case ToolKey::Paste:
        paste();
        return true;
    }
    return false;
}

bool SelectItemsTool::offersMenuAt(CellPoint cell) const {
    return m_selection.cells.contains(cell.x, cell.y);
}

// One document operation; a refusal of the document is told, not thrown into the view.
template <typename Operation> void SelectItemsTool::edit(const char* name, Operation operation) {
    MapDocument* document = m_document();
    if (!document)
        return;
    if (!document->statics()) {
        tell(reports().error, "The map has no statics: its items cannot be edited");
        return;
    }
    try {
        MapDocument::Edit edit(*document, name);
        operation(edit);
    } catch (const std::exception& error) {
        tell(reports().error, error.what());
    }
    changed();
}

void SelectItemsTool::moveBy(std::int32_t dx, std::int32_t dy) {
    if (dx == 0 && dy == 0) {
        changed();
        return;
    }
    MoveOutcome outcome;
    edit("Move items", [&](MapDocument::Edit& e) {
        outcome = moveItems(e, m_selection, dx, dy);
        m_selection = outcome.selection;
    });
    if (outcome.left > 0)
        tell(reports().notice,
             "Items left where they were (off the map): " + std::to_string(outcome.left));
}

void SelectItemsTool::deleteSelection() {
    if (!m_selection.isEmpty())
        edit("Delete items", [&](MapDocument::Edit& e) {
            deleteItems(e, m_selection);
            // Of one cell's items, the one picked is gone: the cell's others stay selected.
            m_selection.onlyItem.reset();
        });
}

void SelectItemsTool::raiseSelection(int by) {
    if (!m_selection.isEmpty())
        edit("Raise items", [&](MapDocument::Edit& e) { raiseItems(e, m_selection, by); });
}

void SelectItemsTool::hueSelection(std::uint16_t hue) {
    if (!m_selection.isEmpty())
        edit("Hue items", [&](MapDocument::Edit& e) { hueItems(e, m_selection, hue); });
}

void SelectItemsTool::copySelection() {
    const MapDocument* document = m_document();
    if (m_selection.isEmpty() || !document || !document->statics())
        return;
    m_copied = copyItems(*document->statics(), m_selection);
    tell(reports().notice, "Copied " + itemCountText(m_copied.size()));
}

// The copy's top left corner goes to the cell under the pointer.
void SelectItemsTool::paste() {
    if (m_copied.empty())
        return;
    const std::optional<CellPoint> at =
        m_pointer ? m_pointer
                  : (m_selection.isEmpty()
                         ? std::nullopt
                         : std::optional(CellPoint{m_selection.cells.left, m_selection.cells.top}));
    if (at)
        edit("Paste items", [&](MapDocument::Edit& e) { pasteItems(e, m_copied, *at); });
}

ToolCursor SelectItemsTool::cursor() const {
    if (m_move || (m_pointer && m_selection.cells.contains(m_pointer->x, m_pointer->y)))
        return ToolCursor::Move;
    return ToolCursor::Arrow;
}

std::string SelectItemsTool::statusText() const {
    if (m_move)
        return "Moving items: release to drop them, Escape to leave them";
    if (m_selection.isEmpty())
        return "Select: click a cell or drag a rectangle";
    const CellRect& r = m_selection.cells;
    if (r.left == r.right && r.top == r.bottom) {
        const std::size_t count = itemCount({r.left, r.top});
        if (m_selection.onlyItem && *m_selection.onlyItem < count)
            return "Item " + std::to_string(*m_selection.onlyItem + 1) + " of " +
                   std::to_string(count) + " on " + std::to_string(r.left) + ", " +
                   std::to_string(r.top) + " selected: click it again for the next";
        if (count > 1)
            return itemCountText(count) + " selected: click the cell again to pick one";
        return itemCountText(count) + " selected";
    }
    return std::to_string(r.right - r.left + 1) + " x " + std::to_string(r.bottom - r.top + 1) +
           " cells selected: drag from inside to move their items";
}

ToolOverlay SelectItemsTool::overlay() const {
    ToolOverlay overlay;
    overlay.selection = m_selection.cells;
    if (m_selection.onlyItem)
        overlay.pickedItem = CellPoint{m_selection.cells.left, m_selection.cells.top};
    return overlay;
}

} // namespace tb
