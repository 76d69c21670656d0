#include "app/items/ItemTools.h"

#include "app/items/ItemBrowserDock.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace tbapp {
namespace {

std::int8_t clampZ(int z) {
    return std::int8_t(std::clamp(z, -128, 127));
}

} // namespace

ItemTools::ItemTools(tb::MapDocument& document, ItemBrowserDock& browser, QObject* parent)
    : QObject(parent), m_document(document), m_browser(browser) {}

void ItemTools::setTool(ItemTool tool) {
    m_tool = tool;
    m_anchor.reset();
    if (tool != ItemTool::Select)
        clearSelection();
}

bool ItemTools::hasStatics() const {
    return m_document.statics() != nullptr && m_document.image().width() > 0;
}

// One document operation; a refusal of the document is reported, not thrown into Qt.
template <typename Action> void ItemTools::edit(Action action) {
    if (!hasStatics())
        return;
    try {
        tb::MapDocument::Edit operation(m_document);
        action(operation);
    } catch (const std::exception& e) {
        emit failed(QString::fromStdString(e.what()));
    }
}

void ItemTools::cellSelected(int x, int y) {
    if (std::exchange(m_keyMoved, false))
        return;
    if (m_tool == ItemTool::Place) {
        // A drag places nothing more: one click, one item.
        if (!m_anchor) {
            m_anchor = QPoint(x, y);
            placeItem(x, y);
        }
        return;
    }
    if (m_tool != ItemTool::Select || m_moveCancelled)
        return;
    if (!m_anchor && !m_move && m_selection.contains(x, y))
        m_move = Move{m_selection, QPoint(x, y), QPoint(x, y)};
    if (m_move) {
        // The outline follows the pointer; the items move on release.
        m_move->now = QPoint(x, y);
        const int dx = x - m_move->pressed.x();
        const int dy = y - m_move->pressed.y();
        m_selection = {m_move->from.left + dx, m_move->from.top + dy, m_move->from.right + dx,
                       m_move->from.bottom + dy};
        emit selectionChanged();
        return;
    }
    if (!m_anchor)
        m_anchor = QPoint(x, y);
    m_selection = {std::min(m_anchor->x(), x), std::min(m_anchor->y(), y),
                   std::max(m_anchor->x(), x), std::max(m_anchor->y(), y)};
    emit selectionChanged();
}

void ItemTools::pressEnded() {
    if (!m_move)
        return;
    const Move move = *std::exchange(m_move, std::nullopt);
    const int dx = move.now.x() - move.pressed.x();
    const int dy = move.now.y() - move.pressed.y();
    if (dx == 0 && dy == 0) {
        // A click in the selection selects that cell alone, as outside it.
        m_selection = {move.pressed.x(), move.pressed.y(), move.pressed.x(), move.pressed.y()};
        emit selectionChanged();
        return;
    }
    m_selection = move.from;
    moveSelection(dx, dy);
}

void ItemTools::cancelMove() {
    if (!m_move)
        return;
    m_selection = m_move->from;
    m_move.reset();
    m_moveCancelled = true; // the rest of the drag selects nothing
    emit selectionChanged();
}

// All items leave their cells before any arrives, so a move onto cells of the selection
// itself takes each item once. A cell whose target is off the map keeps its items.
void ItemTools::moveSelection(int dx, int dy) {
    int left = 0;
    bool done = false;
    edit([&](tb::MapDocument::Edit& e) {
        std::vector<tb::PlacedItem> moved;
        for (int y = m_selection.top; y <= m_selection.bottom; ++y)
            for (int x = m_selection.left; x <= m_selection.right; ++x) {
                const std::vector<tb::CellItem> items = e.items(x, y);
                if (items.empty())
                    continue;
                if (!e.contains(x + dx, y + dy)) {
                    left += int(items.size());
                    continue;
                }
                for (const tb::CellItem& item : items) {
                    const tb::StaticRecord& r = item.record;
                    moved.push_back({x + dx, y + dy, r.id, r.z, r.hue});
                }
                e.removeItems(x, y);
            }
        for (const tb::PlacedItem& item : moved)
            e.addItem(item);
        done = true;
    });
    if (!done)
        return;
    const tb::MapImage& image = m_document.image();
    m_selection = {std::max(m_selection.left + dx, 0), std::max(m_selection.top + dy, 0),
                   std::min(m_selection.right + dx, image.width() - 1),
                   std::min(m_selection.bottom + dy, image.height() - 1)};
    emit selectionChanged();
    if (left > 0)
        emit itemsLeft(left);
}

void ItemTools::placeItem(int x, int y) {
    const std::optional<std::uint16_t> id = m_browser.currentItem();
    if (!id || !hasStatics() || !m_document.image().contains(x, y))
        return;
    const std::int8_t z = m_fixedZ ? clampZ(*m_fixedZ)
                                   : tb::standingZ(m_document.image(), *m_document.statics(),
                                                   m_browser.tileData(), x, y);
    edit([&](tb::MapDocument::Edit& e) { e.addItem({x, y, *id, z, 0}); });
}

void ItemTools::pointerAt(int x, int y) {
    m_pointerX = x;
    m_pointerY = y;
}

void ItemTools::clearSelection() {
    if (m_selection.isEmpty())
        return;
    m_selection = {};
    emit selectionChanged();
}

void ItemTools::deleteSelection() {
    if (m_selection.isEmpty())
        return;
    edit([&](tb::MapDocument::Edit& e) {
        for (int y = m_selection.top; y <= m_selection.bottom; ++y)
            for (int x = m_selection.left; x <= m_selection.right; ++x)
                e.removeItems(x, y);
    });
}

// Every item of the selection through `change`; an item it leaves as it was is not edited.
template <typename Change> void ItemTools::changeSelectedItems(Change change) {
    if (m_selection.isEmpty())
        return;
    edit([&](tb::MapDocument::Edit& e) {
        for (int y = m_selection.top; y <= m_selection.bottom; ++y)
            for (int x = m_selection.left; x <= m_selection.right; ++x) {
                const std::vector<tb::CellItem> items = e.items(x, y);
                for (std::size_t i = 0; i < items.size(); ++i) {
                    const tb::StaticRecord& r = items[i].record;
                    const tb::StaticRecord changed = change(r);
                    if (changed.z != r.z || changed.hue != r.hue)
                        e.changeItem(x, y, i, {x, y, r.id, changed.z, changed.hue});
                }
            }
    });
}

void ItemTools::raiseSelection(int by) {
    changeSelectedItems([by](tb::StaticRecord r) {
        r.z = clampZ(r.z + by);
        return r;
    });
}

void ItemTools::setSelectionHue(std::uint16_t hue) {
    changeSelectedItems([hue](tb::StaticRecord r) {
        r.hue = hue;
        return r;
    });
}

void ItemTools::copySelection() {
    if (m_selection.isEmpty() || !hasStatics())
        return;
    m_copied = tb::itemsInRect(*m_document.statics(), m_selection.left, m_selection.top,
                               m_selection.right, m_selection.bottom);
    for (tb::PlacedItem& item : m_copied) {
        item.x -= m_selection.left;
        item.y -= m_selection.top;
    }
}

// The copied rectangle's top left corner goes to the cell under the pointer; what falls
// off the map is left out.
void ItemTools::paste() {
    if (m_copied.empty())
        return;
    edit([&](tb::MapDocument::Edit& e) {
        for (tb::PlacedItem item : m_copied) {
            item.x += m_pointerX;
            item.y += m_pointerY;
            if (e.contains(item.x, item.y))
                e.addItem(item);
        }
    });
}

} // namespace tbapp
