#pragma once
// The order the isometric picture is drawn in, back to front: by X + Y, then by priority,
// then (between cells of one diagonal) by X, then in file order (land before the items of
// its cell). Priorities are kept doubled, so the mean of two corners stays exact.

#include "iso/LandSurface.h"

#include <cstdint>

namespace tb::iso {

// Flat land: its altitude - 2.
int flatLandPriority(int z);
// Stretched land: the mean of the pair of opposite corners (top and bottom, or left and
// right) whose altitudes differ least, the left-right pair when both differ as much, - 2.
int stretchedLandPriority(const Corners& c);
// An item: its z, - 1 with the Background flag, + 1 when its tiledata height is not 0.
int itemPriority(int z, std::uint64_t tileFlags, int tileHeight);

// A thing drawn on cell (x, y): land (order 0) or the item at place `order - 1` of the
// cell's items in file order.
struct DrawKey {
    std::int32_t x = 0;
    std::int32_t y = 0;
    int priority = 0; // doubled, as the functions above give it
    int order = 0;

    // One number that sorts as the keys do, for maps up to 32768 cells a side, priorities
    // of altitudes -128..127 and up to 65535 items per cell.
    std::uint64_t packed() const;
    friend bool operator<(const DrawKey& a, const DrawKey& b) { return a.packed() < b.packed(); }
};

} // namespace tb::iso
