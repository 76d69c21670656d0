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
    if (m_tool != ItemTool::Select)
        return;
    if (!m_anchor)
        m_anchor = QPoint(x, y);
    m_selection = {std::min(m_anchor->x(), x), std::min(m_anchor->y(), y),
                   std::max(m_anchor->x(), x), std::max(m_anchor->y(), y)};
    emit selectionChanged();
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

void ItemTools::raiseSelection(int by) {
    if (m_selection.isEmpty())
        return;
    edit([&](tb::MapDocument::Edit& e) {
        for (int y = m_selection.top; y <= m_selection.bottom; ++y)
            for (int x = m_selection.left; x <= m_selection.right; ++x) {
                const std::vector<tb::CellItem> items = e.items(x, y);
                for (std::size_t i = 0; i < items.size(); ++i) {
                    const tb::StaticRecord& r = items[i].record;
                    const std::int8_t z = clampZ(r.z + by);
                    if (z != r.z)
                        e.changeItem(x, y, i, {x, y, r.id, z, r.hue});
                }
            }
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
