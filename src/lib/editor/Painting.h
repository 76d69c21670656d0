#pragma once
// What a left click (or drag) on the map grid does to the map: the selection event of the
// map grid with the Paint square, the Fill rectangle, the stamp buttons and the custom
// Brush, and the two cell routines underneath them. Everything works on the main window's
// MapImage; the window only redraws the cells reported back and shows the messages.

#include "catalogue/BHTools.h"
#include "core/MapImage.h"
#include "editor/AltitudeTool.h"
#include "editor/StatusText.h"
#include "editor/UndoList.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

// The tool button that is down.
enum class PaintTool {
    Paint, // btnDefault: the square brush
    Fill,  // btnRectFill
    Stamp, // one of btnHoehle1 .. btnHoehle14
    Brush, // btnCustomBrush: the brush chosen in cbCustomBrushes
};

// Where a cell's new tile comes from in PaintCell: the draw mode list's item index, the
// current palette tile for kSelectedTile, and the item's group for kFirstTileGroup and up.
struct DrawChoice {
    int drawMode = kDontDraw;
    std::int32_t paletteTile = 0;
    const TileNamed* group = nullptr; // a group item without a group keeps the tiles
};

// The fixed items at the top of the draw mode list; the tile groups follow them.
inline constexpr std::array<std::string_view, 3> kFixedDrawModes{
    "Don't draw", "Selected tile from list", "Altitude only"};

// The captions of the draw mode list: the fixed items, then each group's name in order.
std::vector<std::string> drawModeCaptions(const std::vector<TileNamed>& groups);

// The draw choice for item `drawMode` of that list, with `groups` the list's groups in
// order; a group index past the groups keeps the tiles.
DrawChoice drawChoiceFor(int drawMode, const std::vector<TileNamed>& groups,
                         std::int32_t paletteTile);

// The window's controls at the moment of a selection event, as they stand.
struct PaintControls {
    PaintTool tool = PaintTool::Paint;
    int stampButton = 1; // 1..14, for PaintTool::Stamp
    DrawChoice draw;
    int altitudeMode = kOnlyChangeTile; // item of AltitudeRadioGroup
    std::string zText = "0";            // ZValueEdit
    bool addRandomAltitude = false;     // cbAddRAl
    std::string randomRangeText = "1";  // edRauschen
    int brushSize = 1;                  // BrushSizeMover, 1..9
};

// The altitude controls once their texts are read; the range text is read only when the
// random altitude is on, at the first cell that needs it.
struct CellAltitude {
    int mode = kOnlyChangeTile;
    std::int32_t z = 0;
    bool addRandom = false;
    std::string randomRangeText = "1";
};

// PaintCell: reads cell (x, y), records its old values in `undo`, takes the new tile from
// the draw choice (palette tile, a random id of the group, or unchanged for "Don't draw"
// and "Altitude only"), applies the altitude and writes the cell. A cell outside the map
// is skipped: nothing is recorded or written, and false comes back. Throws RangeError
// ("Range check error") for a tile outside 0..65535, ConversionError for a range text or
// group id that is no integer, std::out_of_range for an empty group; the cell is then left
// unchanged (its undo row, already recorded, holds its unchanged values).
bool paintCell(MapImage& map, UndoList& undo, std::int32_t x, std::int32_t y,
               const DrawChoice& draw, const CellAltitude& altitude, RandomSource& random);

// StampCell: as paintCell with `tileId` as the new tile and no undo row.
bool stampCell(MapImage& map, std::int32_t x, std::int32_t y, std::int32_t tileId,
               const CellAltitude& altitude, RandomSource& random);

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

// The outcome of one selection event.
struct SelectionResult {
    // The cells written, in the order they were written; each needs a redraw.
    std::vector<CellPoint> changedCells;
    // "Z must be between -128 to 127!": show it and set ZValueEdit to "0".
    bool zOutOfRange = false;
    // The message of the failure that ended the event ("Range check error",
    // "'x' is not a valid integer value", ...); cells changed before it stay changed.
    std::optional<std::string> error;
};

// The painting state of the main window (fill corners, key navigation flag, current
// brush) and the selection event that uses it.
class MapPainter {
public:
    explicit MapPainter(RandomSource& random) : m_random(&random) {}
    // The source of the random tile picks and altitudes from now on.
    void setRandomSource(RandomSource& random) { m_random = &random; }

    // MainDrawGridSelectCell for cell (x, y). `map` is null while no map is loaded; the
    // tools then change nothing (the Fill tool does not even take a corner).
    SelectionResult selectCell(MapImage* map, UndoList& undo, const PaintControls& controls,
                               std::int32_t x, std::int32_t y);

    // Set by every arrow key in the map grid; the next selection event clears it and
    // paints nothing.
    void setKeyNavigation() { m_keyNavigation = true; }
    bool keyNavigation() const { return m_keyNavigation; }

    // The Fill tool's first corner, (-1, -1) while no fill is pending. Switching tools
    // keeps it; the second corner is the cell of the completing click.
    bool fillPending() const { return m_fillPending; }
    CellPoint fillCorner1() const { return m_corner1; }

    // The brush the Brush tool stamps; empty at start. cbCustomBrushesChange empties it,
    // then sets the lines of the chosen brush file (readBrushLines), so a brush that cannot
    // be read leaves it empty.
    void setCurrentBrush(std::vector<BrushCell> cells) { m_brush = std::move(cells); }
    void setCurrentBrushLines(const std::vector<std::string>& lines) {
        m_brush = parseBrushLines(lines);
    }
    const std::vector<BrushCell>& currentBrush() const { return m_brush; }
    // Back to the state at start: no pending fill, flag clear (the brush stays).
    void reset();

private:
    void paintSquare(MapImage& map, UndoList& undo, const PaintControls& controls,
                     const CellAltitude& altitude, std::int32_t x, std::int32_t y,
                     SelectionResult& result);
    void fillStep(MapImage& map, UndoList& undo, const PaintControls& controls,
                  const CellAltitude& altitude, std::int32_t x, std::int32_t y,
                  SelectionResult& result);
    void endFill();

    RandomSource* m_random;
    bool m_keyNavigation = false;
    bool m_fillPending = false;
    CellPoint m_corner1{-1, -1};
    std::vector<BrushCell> m_brush;
};

} // namespace tb
