#pragma once
// The two texts of the main window's status bar: where the pointer is, and what a click
// on the map would do.

#include "core/MapImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tb {

// What "Modify the altitude" does to a cell's altitude.
enum class AltitudeMode { AddZ, SubtractZ, SetToZ, OnlyChangeTile };
// Where a painted cell's tile comes from: nowhere (painting is off), the palette tile, the
// cell itself (only the altitude changes), or a random id of a tile group.
enum class DrawMode { DontDraw, SelectedTile, AltitudeOnly, TileGroup };

// Panel 0: "X=1 - Y=2 - Altitude=-5 - Tile=00 A8" for a cell of a loaded map; without one,
// "X=1 - Y=2 - Wrong filename", or "X=1 - Y=2 - No map loaded" when the map path names a
// map file that is only waiting for Load.
std::string positionStatusText(std::int32_t x, std::int32_t y, const std::optional<MapCell>& cell,
                               bool mapPathValid = false);

// Panel 1: "Selected mode: " + the altitude mode with the Z text + the draw mode.
// `selectedTile` is shown for DrawMode::SelectedTile, `groupName` for DrawMode::TileGroup.
std::string modeStatusText(AltitudeMode altitudeMode, std::string_view zText, DrawMode drawMode,
                           std::uint16_t selectedTile, std::string_view groupName);

} // namespace tb
