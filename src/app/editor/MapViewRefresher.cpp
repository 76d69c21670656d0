#include "app/editor/MapViewRefresher.h"

#include "app/shell/DrawGrid.h"

MapViewRefresher::MapViewRefresher(tb::MapDocument& document, tbapp::DrawGrid& view)
    : m_document(document), m_view(view) {
    m_document.addListener(this);
}

MapViewRefresher::~MapViewRefresher() {
    m_document.removeListener(this);
}

void MapViewRefresher::cellsChanged(const tb::CellChange& change) {
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
