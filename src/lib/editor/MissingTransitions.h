#pragma once
// The cells marked as missing transitions: the red outlines of the map views and the list
// of the dock. Each terrain edit replaces the marks within the cells it looked at, so a
// cell mended by a later stroke loses its mark.

#include "editor/TerrainEdits.h"

#include <climits>
#include <cstdint>
#include <vector>

namespace tb {

class MissingTransitions {
public:
    // The marks inside `result.area` become `result.missing`.
    void update(const TerrainEditResult& result) { replace(result.area, result.missing); }
    // The marks inside `area` become `cells` (those of them inside `area`).
    void replace(const CellRect& area, const std::vector<CellPoint>& cells);
    void clear() { m_cells.clear(); }

    bool contains(std::int32_t x, std::int32_t y) const;
    std::size_t size() const { return m_cells.size(); }
    bool empty() const { return m_cells.empty(); }
    // The marked cells inside `area` (a view's visible cells), row by row.
    std::vector<CellPoint> within(const CellRect& area) const;
    // Every marked cell, row by row.
    std::vector<CellPoint> all() const;

private:
    // Row by row, then column by column, for cells of non-negative coordinates.
    static std::uint64_t key(std::int32_t x, std::int32_t y) {
        return std::uint64_t(std::uint32_t(y)) << 32 | std::uint32_t(x);
    }
    static CellPoint point(std::uint64_t key) {
        return {std::int32_t(std::uint32_t(key)), std::int32_t(std::uint32_t(key >> 32))};
    }
    // Sorted; a vector rather than a tree, as a Fix edges over a whole map may mark
    // millions of cells.
    std::vector<std::uint64_t> m_cells;
};

} // namespace tb
