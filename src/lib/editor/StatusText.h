#pragma once
// The two texts of the main window's status bar: where the pointer is, and what a click
// on the map would do.

#include "core/MapImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tb {

// Items of "Modify the altitude".
enum AltitudeMode { kAddZ = 0, kSubtractZ = 1, kSetToZ = 2, kOnlyChangeTile = 3 };
// The fixed items at the top of the draw mode list; tile groups follow from index 3.
enum DrawModeItem { kDontDraw = 0, kSelectedTile = 1, kAltitudeOnly = 2, kFirstTileGroup = 3 };

// Panel 0: "X=1 - Y=2 - Altitude=-5 - Tile=00 A8" for a cell of a loaded map, or
// "X=1 - Y=2 - Wrong filename" when there is no cell to show.
std::string positionStatusText(std::int32_t x, std::int32_t y, const std::optional<MapCell>& cell);

// Panel 1: "Selected mode: " + the altitude mode with the Z text + the draw mode.
// `selectedTile` is the palette tile (draw mode 1); `drawModeText` the list's text (groups).
std::string modeStatusText(int altitudeMode, std::string_view zText, int drawModeIndex,
                           std::uint16_t selectedTile, std::string_view drawModeText);

} // namespace tb
