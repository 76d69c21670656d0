#pragma once
// Select: a click takes the items of a cell, a drag those of a rectangle, and a second click on
// a cell selected alone picks its items one by one (the topmost first), then all again; a view
// that knows the item under the pointer picks that one at once. A drag that starts inside the
// selection moves its items (Escape drops the move); Delete removes them, + and - raise and
// lower them by 1 (by 5 with the layout-free chord), and copy and paste carry them to the cell
// under the pointer, also into the next loaded map. Escape with no move under way clears the
// selection. Every edit is one undo step.

#include "editor/ItemOperations.h"
#include "editor/MapTool.h"

#include <functional>
#include <optional>
#include <vector>

namespace tb {

class MapDocument;

class SelectItemsTool : public MapTool {
public:
    // `document` gives the document edits may reach now (null: none).
    explicit SelectItemsTool(std::function<MapDocument*()> document);

    void deactivate() override;
    void press(const ToolEvent& event) override;
    void select(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void release(const ToolEvent& event) override;
    void leave() override;
    bool key(ToolKey key) override;
    bool offersMenuAt(CellPoint cell) const override;

    ToolCursor cursor() const override;
    std::string statusText() const override;
    ToolOverlay overlay() const override;

    const ItemSelection& selection() const { return m_selection; }
    // The document the tool edits now; null when none may be edited.
    const MapDocument* document() const { return m_document(); }
    void setSelection(const ItemSelection& selection);
    void clearSelection();
    bool moving() const { return m_move.has_value(); }
    // The copied items, their cells counted from the copied rectangle's top left corner.
    const std::vector<PlacedItem>& copied() const { return m_copied; }

    // The edits of the selection; each is one undo step, and a refusal of the document
    // (no statics, a damaged block) is told as an error.
    void deleteSelection();
    void raiseSelection(int by);
    void hueSelection(std::uint16_t hue);
    void copySelection();
    void paste();

private:
    template <typename Operation> void edit(const char* name, Operation operation);
    void moveBy(std::int32_t dx, std::int32_t dy);
    // The number of items on cell (x, y) as the document holds them now.
    std::size_t itemCount(CellPoint cell) const;

    // A move by drag: the selection it started from and the cell pressed.
    struct Move {
        ItemSelection from;
        CellPoint pressed;
        CellPoint now;
    };

    std::function<MapDocument*()> m_document;
    ItemSelection m_selection;
    std::optional<CellPoint> m_anchor; // of the rectangle being dragged
    std::optional<Move> m_move;
    std::optional<CellPoint> m_pressedInside; // a press inside the selection, not yet a move
    std::optional<PointedItem> m_pressedItem;
    bool m_moveCancelled = false;
    bool m_keyMoved = false;
    std::optional<CellPoint> m_pointer;
    std::vector<PlacedItem> m_copied;
};

} // namespace tb
