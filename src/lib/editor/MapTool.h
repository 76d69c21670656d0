#pragma once
// What a map view tells the tool that is down, and what the tool gives back. A view turns
// its mouse and keys into cell coordinates and forwards them to the current tool (as Tiled's
// tools get the events that hit its map scene); the tool edits the document and tells the view
// its cursor, its status text and what to draw over the map. A second view (the isometric
// one) therefore needs no wiring of its own, and the window only switches tools.

#include "core/MapVariant.h"
#include "core/StaticItems.h"
#include "editor/CellRect.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tb {

class MissingTransitions;

enum class ToolButton { None, Left, Right, Middle };

// Keyboard modifiers held with an event.
struct ToolModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// An item a view found under the pointer (one that draws items as the game does).
struct PointedItem {
    CellPoint cell;
    std::size_t index = 0; // among the cell's items, in file order
    PlacedItem item;
};

struct ToolEvent {
    CellPoint cell; // may lie outside the map
    ToolButton button = ToolButton::None;
    ToolModifiers modifiers;
    std::optional<PointedItem> item;
};

// The keys a tool may take, as the view reads them from the keyboard.
enum class ToolKey {
    Delete,
    Escape,
    RaiseOne,  // "+" typed (main keyboard or keypad)
    LowerOne,  // "-" typed
    RaiseMore, // a chord that does not depend on the keyboard's layout
    LowerMore,
    Copy,
    Paste,
    // A key moved the view's selected cell: the selection event it causes must change nothing.
    NavigationMove,
};

enum class ToolCursor { Arrow, Cross, Move, Forbidden };

// What a tool draws over the map, in cells.
struct ToolOverlay {
    CellRect selection;                  // outlined: the item selection
    std::optional<CellPoint> pickedItem; // a single item of a cell is selected there
    CellRect footprint;                  // the cells a click would change (the brush)
    std::optional<CellPoint> anchor;     // a first corner waiting for the second
    std::vector<PlacedItem> preview;     // items shown where they would go
    // Cells outlined in red: the missing transitions. Each view asks for the cells it shows
    // (MissingTransitions::within), as a Fix edges may have marked millions.
    const MissingTransitions* marked = nullptr;
};

// How a tool speaks to the user; each may be left empty.
struct ToolReports {
    std::function<void(const std::string&)> message; // a plain message box
    std::function<void(const std::string&)> error;   // the error report
    std::function<void(const std::string&)> notice;  // a short line in the status bar
    // "Z must be between -128 to 127!": the message, and the altitude box back to "0".
    std::function<void()> zRefused;
    // The cursor, the status text or the overlay changed: the view asks again.
    std::function<void()> changed;
};

class MapTool {
public:
    virtual ~MapTool() = default;

    void setReports(ToolReports reports) { m_reports = std::move(reports); }

    // The tool became the current one, or stopped being it.
    virtual void activate() {}
    virtual void deactivate() {}

    // A mouse button went down on a cell; then comes the selection event of the press.
    virtual void press(const ToolEvent&) {}
    // The view's selection event: a click, a cell entered while the left button is held, or
    // a move of the selected cell by the keyboard (after NavigationMove, or by keys that do
    // not announce one, such as Page Down, which paint).
    virtual void select(const ToolEvent&) {}
    // The pointer is over another cell (buttons held or not).
    virtual void move(const ToolEvent&) {}
    virtual void release(const ToolEvent&) {}
    // The pointer left the view.
    virtual void leave() {}
    // True when the tool took the key.
    virtual bool key(ToolKey) { return false; }

    // A right click on `cell` opens the tool's menu there instead of picking the tile.
    virtual bool offersMenuAt(CellPoint) const { return false; }

    virtual ToolCursor cursor() const { return ToolCursor::Arrow; }
    virtual std::string statusText() const { return {}; }
    virtual ToolOverlay overlay() const { return {}; }

protected:
    const ToolReports& reports() const { return m_reports; }
    void tell(const std::function<void(const std::string&)>& to, const std::string& text) const {
        if (to)
            to(text);
    }
    void changed() const {
        if (m_reports.changed)
            m_reports.changed();
    }

private:
    ToolReports m_reports;
};

} // namespace tb
