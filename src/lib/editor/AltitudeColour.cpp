#include "editor/AltitudeColour.h"

#include <algorithm>
#include <cstdint>

namespace tb {

Rgb altitudeColour(int z) {
    z = std::clamp(z, -128, 127);
    if (z == -128)
        return kLowestAltitudeColour;
    const std::uint32_t t = std::uint32_t(z + 127);
    std::uint32_t factor = 0;
    if (z <= -100)
        factor = 0x10101; // near-black greys
    else if (z <= -50)
        factor = 0x200; // dark to middle green
    else if (z <= -1)
        factor = 0x8080; // alternating teal shades
    else if (z <= 50)
        factor = 0x100; // bright green
    else if (z <= 100)
        factor = 0x10101; // light greys
    else
        factor = 0x10001; // magenta
    const std::uint32_t value = t * factor;
    return {std::uint8_t(value & 0xFF), std::uint8_t((value >> 8) & 0xFF),
            std::uint8_t((value >> 16) & 0xFF)};
}

} // namespace tb
