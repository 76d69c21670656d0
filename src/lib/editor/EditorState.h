#pragma once
// What the painting tools of the main window work with: the tool that is down, where a new
// tile comes from, the altitude settings and the brush. The window's controls write into it
// whenever they change, as numbers read once where they are typed; a selection event reads
// nothing else and parses no text.

#include "catalogue/BrushFile.h"
#include "catalogue/TileGroup.h"
#include "editor/StatusText.h"
#include "shell/CheckedValue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tb {

// The tool button that is down.
enum class PaintTool {
    Paint, // btnDefault: the square brush
    Fill,  // btnRectFill
    Stamp, // one of btnHoehle1 .. btnHoehle14
    Brush, // btnCustomBrush: the brush chosen in cbCustomBrushes
};

struct EditorState {
    PaintTool tool = PaintTool::Paint;
    int stampButton = 1; // btnHoehle<n>, 1..14, while `tool` is Stamp
    // The tile "Selected tile from list" paints: a palette click, "Go", the right-click pick.
    std::uint16_t paletteTile = 0;
    // The current brush (cbCustomBrushes), its tile ids checked when stamped; empty at start
    // and while no brush file is read.
    std::vector<BrushCell> brush;
    AltitudeMode altitudeMode = AltitudeMode::OnlyChangeTile; // AltitudeRadioGroup
    // ZValueEdit, read at each change of its text. Each selection event refuses a text
    // that is no integer with its failure, and a value outside -128..127 with
    // "Z must be between -128 to 127!".
    CheckedValue<std::int32_t> z = 0;
    DrawMode drawMode = DrawMode::DontDraw; // SelectDrawingModeComboBox
    // The tile group of DrawMode::TileGroup, a copy, so reading the groups again cannot
    // leave the state pointing at a group that is gone.
    std::optional<TileGroup> group;
    bool addRandomAltitude = false; // cbAddRAl
    // edRauschen, read at each change of its text; a text that is no integer fails at the
    // first cell that needs the random altitude.
    CheckedValue<std::int32_t> randomRange = 1;
    int brushSize = 1; // BrushSizeMover, 1..9
    // Place item: the item browser's current item (none chosen: nothing to place), and the
    // items panel's fixed z (none: on top of what the cell holds).
    std::optional<std::uint16_t> placeItemId;
    std::optional<int> placeItemZ;

    // Paint from `mode`; `tileGroup` is kept only for DrawMode::TileGroup (a group mode
    // without a group keeps the cells' tiles).
    void setDrawMode(DrawMode mode, std::optional<TileGroup> tileGroup = std::nullopt);
    // The brush of a brush file's lines (parseBrushLines).
    void setBrushLines(const std::vector<std::string>& lines) { brush = parseBrushLines(lines); }
};

} // namespace tb
