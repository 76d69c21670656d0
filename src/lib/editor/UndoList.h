#pragma once
// The undo store of the main window: one row per cell changed by the Paint or Fill tool,
// holding the cell's values from before the change. Undo takes back the newest row.
// There is no redo and no limit on the number of rows.

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
    std::int8_t altitude = 0; // before the change
    std::uint16_t tileId = 0; // before the change
    friend bool operator==(const UndoRow&, const UndoRow&) = default;
};

// The captions of the hidden list's columns, in order.
inline constexpr std::array<const char*, 4> kUndoColumnCaptions{"X", "Y", "Z", "Tile ID"};

// The four decimal texts a row shows: X, Y, Z (signed) and Tile ID (unsigned, not hex).
std::array<std::string, 4> undoRowTexts(const UndoRow& row);

class UndoList {
public:
    // Appends a row; called before a Paint or Fill change is written.
    void record(std::int32_t x, std::int32_t y, MapCell before) {
        m_rows.push_back({x, y, before.altitude, before.tileId});
    }

    // Takes back the newest row: writes its values into `map`, removes it and gives the
    // cell to redraw. With no rows, nothing happens and nullopt comes back. A row whose
    // cell lies outside `map` is removed without writing anything.
    std::optional<CellPoint> undo(MapImage& map);

    // Forgets every row; called whenever a map is loaded, since rows of the previous map
    // would otherwise be written into the new one.
    void clear() { m_rows.clear(); }

    bool empty() const { return m_rows.empty(); }
    std::size_t size() const { return m_rows.size(); }
    // Oldest first; the last row is the newest.
    const std::vector<UndoRow>& rows() const { return m_rows; }

private:
    std::vector<UndoRow> m_rows;
};

} // namespace tb
