#include "editor/MissingTransitions.h"

#include <algorithm>

namespace tb {

template <typename Visit>
void MissingTransitions::forEachWithin(const CellRect& area, Visit&& visit) const {
    if (area.isEmpty() || area.right < 0 || area.bottom < 0)
        return;
    const std::int32_t left = std::max(area.left, 0);
    auto it = m_cells.lower_bound(key(left, std::max(area.top, 0)));
    // Marks right of the area skip to the next row; rows are never walked one by one, so a
    // huge area costs no more than the marks it holds.
    while (it != m_cells.end()) {
        const CellPoint p = point(*it);
        if (p.y > area.bottom)
            break;
        if (p.x < left) {
            it = m_cells.lower_bound(key(left, p.y));
        } else if (p.x > area.right) {
            if (p.y == INT32_MAX)
                break;
            it = m_cells.lower_bound(key(left, p.y + 1));
        } else {
            it = visit(it);
        }
    }
}

void MissingTransitions::replace(const CellRect& area, const std::vector<CellPoint>& cells) {
    forEachWithin(area,
                  [this](std::set<std::uint64_t>::const_iterator it) { return m_cells.erase(it); });
    for (const CellPoint& c : cells)
        if (area.contains(c.x, c.y) && c.x >= 0 && c.y >= 0)
            m_cells.insert(key(c.x, c.y));
}

std::vector<CellPoint> MissingTransitions::within(const CellRect& area) const {
    std::vector<CellPoint> found;
    forEachWithin(area, [&found](std::set<std::uint64_t>::const_iterator it) {
        found.push_back(point(*it));
        return std::next(it);
    });
    return found;
}

std::vector<CellPoint> MissingTransitions::all() const {
    std::vector<CellPoint> cells;
    cells.reserve(m_cells.size());
    for (const std::uint64_t k : m_cells)
        cells.push_back(point(k));
    return cells;
}

} // namespace tb
