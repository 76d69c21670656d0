#pragma once
// Moving the map view: the pointer position shown in the status bar, the jump to the
// coordinates typed into the jump boxes, and the scrolling done by the arrow keys.
// The window applies the results to its grid; nothing here touches a widget.

#include "core/MapImage.h"
#include "core/MapVariant.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tb {

// The grid selections a jump makes, in order: the optional pre-selections (column, then
// row) make the grid scroll the target into view even when it is already selected; then
// column x, then row y.
struct JumpPlan {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::optional<std::int32_t> preColumn; // |x - 1|, when the selected column is already x
    std::optional<std::int32_t> preRow;    // |y - 1|, when the selected row is already y
};

// The jump to the texts of the jump boxes on a grid of `columns` x `rows` whose selected
// cell is (selectedColumn, selectedRow). The numbers are clamped to the grid. Throws
// ConversionError ("'abc' is not a valid integer value") when a box holds no number; the
// window then moves nothing (and attaches its selection handler again).
JumpPlan planJump(std::string_view xText, std::string_view yText, std::int32_t columns,
                  std::int32_t rows, std::int32_t selectedColumn, std::int32_t selectedRow);

enum class ArrowKey { Left, Up, Right, Down };

struct ScrollPosition {
    std::int32_t leftColumn = 0; // first visible column
    std::int32_t topRow = 0;     // first visible row
    friend bool operator==(const ScrollPosition&, const ScrollPosition&) = default;
};

// The first visible column and row after an arrow key in the map view (the same with or
// without modifiers): one step in the key's direction while the view is not at that edge.
// The key also sets the key navigation flag (MapPainter::setKeyNavigation), so that the
// selection move the grid makes for the key paints nothing.
ScrollPosition scrollForArrowKey(ArrowKey key, ScrollPosition now, std::int32_t columns,
                                 std::int32_t rows);

// Shown by the Insert key when the patch editor's list already holds the current cell.
inline constexpr std::string_view kCoordsOnListMessage = "This coords are on list!";

// True when one of the list's (X text, Y text) pairs equals these texts, compared as
// texts: 7 and 07 differ.
bool coordsOnList(const std::vector<std::pair<std::string, std::string>>& xyTexts,
                  std::string_view xText, std::string_view yText);
// The same for x and y in decimal.
bool coordsOnList(const std::vector<std::pair<std::string, std::string>>& xyTexts, std::int32_t x,
                  std::int32_t y);

// The texts the Insert key appends for cell (x, y): X, Y, the altitude in decimal and the
// tile id as spaced hex ("01 D3"), the form of the status bar.
std::array<std::string, 4> insertedCellTexts(std::int32_t x, std::int32_t y, MapCell cell);

} // namespace tb
