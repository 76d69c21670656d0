#pragma once
// A rectangle of map cells, both corners included.

#include <algorithm>
#include <cstdint>

namespace tb {

struct CellRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = -1;
    std::int32_t bottom = -1;
    bool isEmpty() const { return right < left || bottom < top; }
    bool contains(std::int32_t x, std::int32_t y) const {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
    std::int64_t cellCount() const {
        return isEmpty() ? 0 : std::int64_t(right - left + 1) * std::int64_t(bottom - top + 1);
    }
    // The smallest rectangle holding both; an empty one adds nothing.
    CellRect united(const CellRect& other) const {
        if (isEmpty())
            return other;
        if (other.isEmpty())
            return *this;
        return {std::min(left, other.left), std::min(top, other.top), std::max(right, other.right),
                std::max(bottom, other.bottom)};
    }
    // The cells of both; empty when they do not meet.
    CellRect intersected(const CellRect& other) const {
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }
    CellRect translated(std::int32_t dx, std::int32_t dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    // The rectangle with corners (x1, y1) and (x2, y2) in any order.
    static CellRect spanning(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
        return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
    }
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

} // namespace tb
