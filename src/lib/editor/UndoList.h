#pragma once
// The undo store of a map document: one row per cell changed by the Paint or Fill tool,
// holding the cell's values from before the change. Undo takes back the newest row and
// keeps the values it replaced as a redo row; redo brings them back the same way. Rows are
// grouped into strokes (all rows of one press of the mouse button, or of one Fill) so that
// a whole stroke can be taken back at once. There is no limit on the number of rows.

#include "core/MapImage.h"
#include "core/MapVariant.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tb {

struct UndoRow {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int8_t altitude = 0; // before the change (a redo row: before the undo)
    std::uint16_t tileId = 0;
    friend bool operator==(const UndoRow&, const UndoRow&) = default;
};

// The captions of the hidden list's columns, in order.
inline constexpr std::array<const char*, 4> kUndoColumnCaptions{"X", "Y", "Z", "Tile ID"};

// The four decimal texts a row shows: X, Y, Z (signed) and Tile ID (unsigned, not hex).
std::array<std::string, 4> undoRowTexts(const UndoRow& row);

class UndoList {
public:
    // Appends a row (called before a Paint or Fill change is written) to the current stroke,
    // or to a new one after startStroke(). Any recorded change forgets the redo rows.
    void record(std::int32_t x, std::int32_t y, MapCell before);
    // The next recorded row starts a new stroke.
    void startStroke() { m_strokeStarts = true; }

    // Takes back the newest row: writes its values into `map`, keeps the values it replaced
    // as the newest redo row and gives the cell to redraw. With no rows, nothing happens and
    // nullopt comes back. A row whose cell lies outside `map` is dropped without writing.
    std::optional<CellPoint> undo(MapImage& map);
    // The same in the other direction: the newest redo row is written and its cell's values
    // become an undo row again, in the stroke it came from.
    std::optional<CellPoint> redo(MapImage& map);

    // The stroke of the newest undo row and of the newest redo row; nullopt when none.
    std::optional<std::uint64_t> newestStroke() const;
    std::optional<std::uint64_t> newestRedoStroke() const;

    // Forgets every row, undo and redo; called whenever a map is loaded, since rows of the
    // previous map would otherwise be written into the new one.
    void clear();

    bool empty() const { return m_rows.empty(); }
    std::size_t size() const { return m_rows.size(); }
    // Oldest first; the last row is the newest.
    const std::vector<UndoRow>& rows() const { return m_rows; }
    bool canRedo() const { return !m_redoRows.empty(); }
    // The values undo replaced; the last row is the next one redo brings back.
    const std::vector<UndoRow>& redoRows() const { return m_redoRows; }

private:
    std::vector<UndoRow> m_rows;
    std::vector<std::uint64_t> m_strokes; // the stroke of each row, beside it
    std::vector<UndoRow> m_redoRows;
    std::vector<std::uint64_t> m_redoStrokes;
    std::uint64_t m_lastStroke = 0;
    bool m_strokeStarts = true;
};

} // namespace tb
