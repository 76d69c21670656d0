#include "editor/MissingTransitions.h"

#include <algorithm>

namespace tb {

void MissingTransitions::replace(const CellRect& area, const std::vector<CellPoint>& cells) {
    if (area.isEmpty() || area.right < 0 || area.bottom < 0)
        return;
    const CellRect a{std::max(area.left, 0), std::max(area.top, 0), area.right, area.bottom};
    // Every mark of the area lies between these two keys, among marks of the rows' other
    // columns: that stretch alone is rebuilt, so a small area costs little however many
    // marks there are elsewhere.
    const auto first = std::lower_bound(m_cells.begin(), m_cells.end(), key(a.left, a.top));
    const auto last = std::upper_bound(first, m_cells.end(), key(a.right, a.bottom));
    std::vector<std::uint64_t> kept;
    for (auto it = first; it != last; ++it) {
        const CellPoint p = point(*it);
        if (p.x < a.left || p.x > a.right)
            kept.push_back(*it);
    }
    std::vector<std::uint64_t> added;
    for (const CellPoint& c : cells)
        if (a.contains(c.x, c.y))
            added.push_back(key(c.x, c.y));
    std::sort(added.begin(), added.end());
    added.erase(std::unique(added.begin(), added.end()), added.end());
    std::vector<std::uint64_t> stretch;
    stretch.reserve(kept.size() + added.size());
    std::merge(kept.begin(), kept.end(), added.begin(), added.end(), std::back_inserter(stretch));
    const auto at = m_cells.erase(first, last);
    m_cells.insert(at, stretch.begin(), stretch.end());
}

bool MissingTransitions::contains(std::int32_t x, std::int32_t y) const {
    return x >= 0 && y >= 0 && std::binary_search(m_cells.begin(), m_cells.end(), key(x, y));
}

std::vector<CellPoint> MissingTransitions::within(const CellRect& area) const {
    std::vector<CellPoint> found;
    if (area.isEmpty() || area.right < 0 || area.bottom < 0)
        return found;
    const std::int32_t left = std::max(area.left, 0);
    auto it = std::lower_bound(m_cells.begin(), m_cells.end(), key(left, std::max(area.top, 0)));
    // Marks right of the area skip to the next row; rows are never walked one by one, so a
    // huge area costs no more than the marks it holds.
    while (it != m_cells.end()) {
        const CellPoint p = point(*it);
        if (p.y > area.bottom)
            break;
        if (p.x < left) {
            it = std::lower_bound(it, m_cells.end(), key(left, p.y));
        } else if (p.x > area.right) {
            if (p.y == INT32_MAX)
                break;
            it = std::lower_bound(it, m_cells.end(), key(left, p.y + 1));
        } else {
            found.push_back(p);
            ++it;
        }
    }
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
