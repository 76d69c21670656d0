#include "editor/Stamp.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace tb {
namespace {

// The cells of the frame within columns c0..c1 and rows r0..r1, row by row.
std::vector<StampCell> frameCut(int c0, int c1, int r0, int r1) {
    std::vector<StampCell> cells;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            cells.push_back({c - c0, r - r0, kStampFrame[std::size_t(r)][std::size_t(c)]});
    return cells;
}

std::vector<StampCell> single(int c, int r) {
    return {{0, 0, kStampFrame[std::size_t(r)][std::size_t(c)]}};
}

const std::array<std::vector<StampCell>, kStampButtonCount>& patterns() {
    static const std::array<std::vector<StampCell>, kStampButtonCount> table{
        frameCut(0, 2, 0, 1), // 1: rows 0 and 1
        frameCut(1, 2, 0, 2), // 2: columns 1 and 2
        frameCut(0, 2, 1, 2), // 3: rows 1 and 2
        frameCut(0, 1, 0, 2), // 4: columns 0 and 1
        frameCut(0, 2, 0, 2), // 5: the whole frame
        single(1, 1),         // 6: centre
        single(0, 0),         // 7: top left
        single(1, 0),         // 8: top
        single(2, 0),         // 9: top right
        single(0, 1),         // 10: left
        single(2, 1),         // 11: right
        single(0, 2),         // 12: bottom left
        single(1, 2),         // 13: bottom
        single(2, 2),         // 14: bottom right
    };
    return table;
}

} // namespace

std::span<const StampCell> stampPattern(int button) {
    if (button < 1 || button > kStampButtonCount)
        throw std::out_of_range("no stamp button " + std::to_string(button));
    return patterns()[std::size_t(button - 1)];
}

} // namespace tb
