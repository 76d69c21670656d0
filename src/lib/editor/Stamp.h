#pragma once
// The fourteen stamp buttons: fixed patterns cut from one 3 x 3 frame of cave-wall tiles,
// stamped with the selected cell as the pattern's top-left corner.

#include <array>
#include <cstdint>
#include <span>

namespace tb {

// The frame, [row][column]: 467 468 469 / 474 475 470 / 473 472 471.
inline constexpr std::array<std::array<std::uint16_t, 3>, 3> kStampFrame{{
    {0x1D3, 0x1D4, 0x1D5},
    {0x1DA, 0x1DB, 0x1D6},
    {0x1D9, 0x1D8, 0x1D7},
}};

// One cell of a pattern: offsets from the selected cell and the tile written there.
struct StampCell {
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    std::uint16_t tileId = 0;
    friend bool operator==(const StampCell&, const StampCell&) = default;
};

inline constexpr int kStampButtonCount = 14;

// The button numbers (btnHoehle<n>) from left to right on the toolbar: the four edge
// pieces, the whole frame, then the nine single cells in the frame's reading order.
inline constexpr std::array<int, kStampButtonCount> kStampButtonOrder{1, 2,  3, 4,  5,  7,  8,
                                                                      9, 10, 6, 11, 12, 13, 14};

// The cells of btnHoehle<button> (1 to 14) in stamping order, row by row, left to right.
// Throws std::out_of_range for another number.
std::span<const StampCell> stampPattern(int button);

} // namespace tb
