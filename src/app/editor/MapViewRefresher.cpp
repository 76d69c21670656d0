#include "app/editor/MapViewRefresher.h"

#include "app/shell/DrawGrid.h"

#include <utility>

MapViewRefresher::MapViewRefresher(tb::MapDocument& document, tbapp::DrawGrid& view,
                                   std::function<void()> itemsChanged)
    : m_document(document), m_view(view), m_itemsChanged(std::move(itemsChanged)) {
    m_connection = m_document.connect(this);
}

void MapViewRefresher::cellsChanged(const tb::CellChange& change) {
    if (change.changesItems()) {
        if (m_itemsChanged)
            m_itemsChanged();
        const tb::CellRect& items = change.itemBounds;
        m_view.invalidateCells(items.left, items.top, items.right, items.bottom);
    }
    if (change.count == 0)
        return;
    if (change.listsCells() && change.count <= kCellsRedrawnOneByOne) {
        for (const tb::CellPoint& cell : change.cells)
            m_view.invalidateCell(cell.x, cell.y);
        return;
    }
    const tb::CellRect& b = change.bounds;
    m_view.invalidateCells(b.left, b.top, b.right, b.bottom);
}

void MapViewRefresher::documentReplaced() {
    m_view.invalidateGrid();
}
