#pragma once
// Keeps the map view in step with the map document: the cells an operation changed (their
// values or their items) are drawn again when it ends, and a newly loaded map is drawn
// whole. No tool or command has to repaint the view itself after changing cells.

#include "editor/MapDocument.h"

#include <functional>

namespace tbapp {
class DrawGrid;
}

class MapViewRefresher : public tb::DocumentListener {
public:
    // Listens to `document` until destroyed; both must outlive it. `itemsChanged` runs
    // before the cells whose items changed are drawn again.
    MapViewRefresher(tb::MapDocument& document, tbapp::DrawGrid& view,
                     std::function<void()> itemsChanged = {});
    MapViewRefresher(const MapViewRefresher&) = delete;
    MapViewRefresher& operator=(const MapViewRefresher&) = delete;

    void cellsChanged(const tb::CellChange& change) override;
    void documentReplaced() override;

    // Up to this many listed cells are redrawn one by one; more, by their rectangle.
    static constexpr std::size_t kCellsRedrawnOneByOne = 64;

private:
    tb::MapDocument& m_document;
    tb::ListenerConnection m_connection;
    tbapp::DrawGrid& m_view;
    std::function<void()> m_itemsChanged;
};
