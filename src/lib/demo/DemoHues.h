#pragma once
// The hues of the demo data set (hues.mul): ramps of colours from dark to light, named
// after their colour, and the ones the demo's goods are placed in.

#include <cstdint>
#include <vector>

namespace tb::demo {

// Hues 1..kDemoHueCount: sixteen colours, each in four depths.
inline constexpr int kDemoHueCount = 64;

// The hue of colour `colour` (0..15) at depth `depth` (0 pale .. 3 deep).
constexpr std::uint16_t demoHue(int colour, int depth) {
    return std::uint16_t(colour * 4 + depth + 1);
}
inline constexpr std::uint16_t kDemoRedHue = demoHue(0, 2);
inline constexpr std::uint16_t kDemoBlueHue = demoHue(8, 2);
inline constexpr std::uint16_t kDemoGreenHue = demoHue(4, 2);
inline constexpr std::uint16_t kDemoGoldHue = demoHue(15, 1);

// The bytes of the hues.mul: the same every time.
std::vector<unsigned char> generateDemoHues();

} // namespace tb::demo
