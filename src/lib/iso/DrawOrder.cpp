#include "iso/DrawOrder.h"

#include "core/TileData.h"

#include <cstdlib>

namespace tb::iso {

int flatLandPriority(int z) {
    return 2 * (z - 2);
}

int stretchedLandPriority(const Corners& c) {
    const bool leftRight = std::abs(c.left - c.right) <= std::abs(c.top - c.bottom);
    const int sum = leftRight ? c.left + c.right : c.top + c.bottom;
    return sum - 4;
}

int itemPriority(int z, std::uint64_t tileFlags, int tileHeight) {
    int p = z;
    if (tileFlags & tileflag::Background)
        p -= 1;
    if (tileHeight != 0)
        p += 1;
    return 2 * p;
}

std::uint64_t DrawKey::packed() const {
    // 16 bits of X + Y, 10 of priority (doubled altitudes -130..129, offset), 16 of X,
    // 16 of order.
    const auto depth = std::uint64_t(std::uint32_t(x + y) & 0xFFFF);
    const auto p = std::uint64_t(std::uint32_t(priority + 512) & 0x3FF);
    const auto column = std::uint64_t(std::uint32_t(x) & 0xFFFF);
    const auto o = std::uint64_t(std::uint32_t(order) & 0xFFFF);
    return depth << 42 | p << 32 | column << 16 | o;
}

} // namespace tb::iso
