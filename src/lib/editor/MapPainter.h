#pragma once
// What a left click (or drag) on the map grid does to the map: the selection event of the
// map grid with the Paint square, the Fill rectangle, the stamp buttons and the custom
// Brush, and the two cell routines underneath them. Everything changes the map through its
// document, which tells the view what to redraw; the window only shows the messages.

#include "core/MapImage.h"
#include "editor/AltitudeTool.h"
#include "editor/EditorState.h"
#include "editor/MapDocument.h"
#include "editor/StatusText.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

// The fixed items at the top of the draw mode list; the tile groups follow them.
inline constexpr std::array<std::string_view, 3> kFixedDrawModes{
    "Don't draw", "Selected tile from list", "Altitude only"};

// The captions of the draw mode list: the fixed items, then each group's name in order.
std::vector<std::string> drawModeCaptions(const std::vector<TileGroup>& groups);

// PaintCell: reads cell (x, y), records its old values as an undo row, takes the new tile
// from the draw mode (palette tile, a random id of the group, or unchanged for "Don't draw"
// and "Altitude only"), applies the altitude and writes the cell, all through `edit`. A cell
// outside the map is skipped: nothing is recorded or written, and false comes back. Throws
// the failure of a picked group id (RangeError "Range check error" for one outside
// 0..65535, ConversionError for one that is no integer) or of a random range that is no
// integer, std::out_of_range for an empty group; the cell is then left unchanged (its undo
// row, already recorded, holds its unchanged values).
bool paintCell(MapDocument::Edit& edit, std::int32_t x, std::int32_t y, const EditorState& state,
               const AltitudeSettings& altitude, RandomSource& random);

// StampCell: as paintCell with `tileId` as the new tile and no undo row.
bool stampCell(MapDocument::Edit& edit, std::int32_t x, std::int32_t y,
               const CheckedValue<std::uint16_t>& tileId, const AltitudeSettings& altitude,
               RandomSource& random);

// The outcome of one selection event; the cells it changed reach the document's listeners.
struct SelectionResult {
    // "Z must be between -128 to 127!": show it and set ZValueEdit to "0".
    bool zOutOfRange = false;
    // The message of the failure that ended the event ("Range check error",
    // "'x' is not a valid integer value", ...); cells changed before it stay changed.
    std::optional<std::string> error;
};

// The painting state of the main window that is not a control's (fill corners, key
// navigation flag) and the selection event that uses it.
class MapPainter {
public:
    explicit MapPainter(RandomSource& random) : m_random(&random) {}

    // MainDrawGridSelectCell for cell (x, y), with the tool and settings of `state`. The
    // event is one operation of `document`; `document` is null while no map is loaded, and
    // the tools then change nothing (the Fill tool does not even take a corner).
    SelectionResult selectCell(MapDocument* document, const EditorState& state, std::int32_t x,
                               std::int32_t y);

    // Set by every arrow key in the map grid; the next selection event clears it and
    // paints nothing.
    void setKeyNavigation() { m_keyNavigation = true; }
    bool keyNavigation() const { return m_keyNavigation; }

    // The Fill tool's first corner, (-1, -1) while no fill is pending. Switching tools
    // keeps it; the second corner is the cell of the completing click.
    bool fillPending() const { return m_fillPending; }
    CellPoint fillCorner1() const { return m_corner1; }

    // Back to the state at start: no pending fill, flag clear.
    void reset();

private:
    void paintSquare(MapDocument::Edit& edit, const EditorState& state,
                     const AltitudeSettings& altitude, std::int32_t x, std::int32_t y);
    void fillStep(MapDocument::Edit& edit, const EditorState& state,
                  const AltitudeSettings& altitude, std::int32_t x, std::int32_t y);
    void endFill();

    RandomSource* m_random;
    bool m_keyNavigation = false;
    bool m_fillPending = false;
    CellPoint m_corner1{-1, -1};
};

} // namespace tb
