#pragma once
// The item tools of the map view. Place item puts the browser's item on a clicked cell, at
// the top of what stands there or at a fixed z. Select takes the items of a clicked cell or
// of a dragged rectangle; a drag that starts inside the selection moves its items, Delete
// removes them, raise and lower move them up or down, Set hue colours them, and copy and paste
// carry them to the cell under the pointer, also into the next loaded map. Every action is one
// operation of the document, so one undo step.
#include "core/StaticItems.h"
#include "editor/MapDocument.h"

#include <QObject>
#include <QPoint>
#include <QString>

#include <optional>
#include <vector>

namespace tbapp {

class ItemBrowserDock;

enum class ItemTool { None, Place, Select };

class ItemTools : public QObject {
    Q_OBJECT
public:
    // `document` and `browser` must outlive the tools.
    ItemTools(tb::MapDocument& document, ItemBrowserDock& browser, QObject* parent = nullptr);

    void setTool(ItemTool tool);
    ItemTool tool() const { return m_tool; }
    // Place item puts items at this z; none: on top of what the cell holds.
    void setFixedZ(std::optional<int> z) { m_fixedZ = z; }

    // The left button went down: the next selected cell starts a new rectangle, or a move
    // when it lies in the selection.
    void pressStarted() {
        m_anchor.reset();
        m_move.reset();
        m_moveCancelled = false;
        m_keyMoved = false;
    }
    // The left button went up: a move in progress is made.
    void pressEnded();
    // Escape: a move in progress is dropped, the selection goes back.
    void cancelMove();
    bool moving() const { return m_move.has_value(); }
    // A key moved the selected cell: that move places and selects nothing.
    void keyMoved() { m_keyMoved = true; }
    // A click, or a cell entered while the button is held.
    void cellSelected(int x, int y);
    // The cell under the pointer, where paste puts the items.
    void pointerAt(int x, int y);

    // The selected cells; empty when nothing is selected.
    const tb::CellRect& selection() const { return m_selection; }
    void clearSelection();
    void deleteSelection();
    // Moves the selected items up (negative: down), kept within -128..127.
    void raiseSelection(int by);
    void setSelectionHue(std::uint16_t hue);
    void copySelection();
    void paste();
    // The copied items, their cells counted from the copied rectangle's top left corner.
    const std::vector<tb::PlacedItem>& copied() const { return m_copied; }

signals:
    void selectionChanged();
    // An edit was refused (no statics, a damaged block); the text says why.
    void failed(const QString& message);
    // A move left items that would have gone off the map where they were.
    void itemsLeft(int count);

private:
    bool hasStatics() const;
    template <typename Action> void edit(Action action);
    template <typename Change> void changeSelectedItems(Change change);
    void placeItem(int x, int y);
    void moveSelection(int dx, int dy);

    // A move by drag: the selection it started from and the cell pressed.
    struct Move {
        tb::CellRect from;
        QPoint pressed;
        QPoint now;
    };

    tb::MapDocument& m_document;
    ItemBrowserDock& m_browser;
    ItemTool m_tool = ItemTool::None;
    std::optional<int> m_fixedZ;
    std::optional<QPoint> m_anchor;
    tb::CellRect m_selection;
    std::optional<Move> m_move;
    bool m_moveCancelled = false;
    std::vector<tb::PlacedItem> m_copied;
    bool m_keyMoved = false;
    int m_pointerX = 0;
    int m_pointerY = 0;
};

} // namespace tbapp
