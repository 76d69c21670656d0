#pragma once
// What the painting tools of the main window work with: the tool that is down, where a new
// tile comes from, the altitude settings and the brush. The window's controls write into it
// whenever they change; a selection event on the map reads nothing else.

#include "catalogue/TileNamed.h"
#include "editor/StatusText.h"

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

// One cell of a custom brush: offsets from the selected cell and the tile id as read.
struct BrushCell {
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    std::int32_t tileId = 0;
    friend bool operator==(const BrushCell&, const BrushCell&) = default;
};

// The cells of a brush file's lines, in file order. Each line is split at its commas: the
// first piece is dx, the second-last dy and the last the tile id (decimal or "$" hex).
// Lines without three pieces that are all integers (blank lines, text) are skipped.
std::vector<BrushCell> parseBrushLines(const std::vector<std::string>& lines);

struct EditorState {
    PaintTool tool = PaintTool::Paint;
    int stampButton = 1; // btnHoehle<n>, 1..14, while `tool` is Stamp
    // The tile "Selected tile from list" paints: a palette click, "Go", the right-click pick.
    std::int32_t paletteTile = 0;
    // The current brush (cbCustomBrushes); empty at start and while no brush file is read.
    std::vector<BrushCell> brush;
    AltitudeMode altitudeMode = AltitudeMode::OnlyChangeTile; // AltitudeRadioGroup
    // ZValueEdit as it stands; read and range-checked by each selection event, which shows
    // "Z must be between -128 to 127!" for a value outside -128..127.
    std::string zText = "0";
    DrawMode drawMode = DrawMode::DontDraw; // SelectDrawingModeComboBox
    // The tile group of DrawMode::TileGroup, a copy, so reading the groups again cannot
    // leave the state pointing at a group that is gone.
    std::optional<TileNamed> group;
    bool addRandomAltitude = false;    // cbAddRAl
    std::string randomRangeText = "1"; // edRauschen as typed, read when a cell needs it
    int brushSize = 1;                 // BrushSizeMover, 1..9

    // Paint from `mode`; `tileGroup` is kept only for DrawMode::TileGroup (a group mode
    // without a group keeps the cells' tiles).
    void setDrawMode(DrawMode mode, std::optional<TileNamed> tileGroup = std::nullopt);
    // The brush of a brush file's lines (parseBrushLines).
    void setBrushLines(const std::vector<std::string>& lines) { brush = parseBrushLines(lines); }
};

} // namespace tb
