#include "demo/DemoHues.h"

#include "demo/DemoArt.h"
#include "shell/LittleEndian.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>

namespace tb::demo {
namespace {

constexpr std::size_t kGroupSize = 708;
constexpr std::size_t kEntrySize = 88;
constexpr int kEntriesPerGroup = 8;

struct Base {
    std::string_view name;
    int red, green, blue;
};
constexpr std::array<Base, 16> kColours{{{"Red", 200, 40, 36},
                                         {"Orange", 224, 120, 32},
                                         {"Yellow", 230, 210, 60},
                                         {"Lime", 150, 210, 50},
                                         {"Green", 50, 160, 60},
                                         {"Teal", 40, 150, 140},
                                         {"Cyan", 60, 200, 220},
                                         {"Sky", 100, 160, 230},
                                         {"Blue", 40, 70, 200},
                                         {"Indigo", 80, 50, 170},
                                         {"Violet", 140, 70, 190},
                                         {"Magenta", 200, 60, 170},
                                         {"Pink", 235, 140, 170},
                                         {"Brown", 130, 85, 50},
                                         {"Grey", 140, 140, 140},
                                         {"Gold", 220, 170, 60}}};

// Colour `index` (a pixel's brightness, 0..31) of the hue of `base` at `depth`: black to the
// colour at three quarters of the ramp, then towards white; deeper hues keep more colour.
std::uint16_t rampColour(const Base& base, int depth, int index) {
    const float t = float(index) / 31.0f;
    const float strength = 0.55f + 0.15f * float(depth);
    const auto channel = [&](int c) {
        const float full = float(c) * (0.6f + 0.4f * strength);
        const float v = t < 0.75f ? full * t / 0.75f
                                  : full + (255.0f - full) * (t - 0.75f) / 0.25f * (1 - strength);
        return std::clamp(int(std::lround(v)), 0, 255);
    };
    return toRgb555(channel(base.red), channel(base.green), channel(base.blue));
}

} // namespace

std::vector<unsigned char> generateDemoHues() {
    const int groups = (kDemoHueCount + kEntriesPerGroup - 1) / kEntriesPerGroup;
    std::vector<unsigned char> bytes(std::size_t(groups) * kGroupSize, 0);
    for (int hue = 1; hue <= kDemoHueCount; ++hue) {
        const Base& base = kColours[std::size_t((hue - 1) / 4)];
        const int depth = (hue - 1) % 4;
        unsigned char* entry = bytes.data() +
                               std::size_t((hue - 1) / kEntriesPerGroup) * kGroupSize + 4 +
                               std::size_t((hue - 1) % kEntriesPerGroup) * kEntrySize;
        for (int i = 0; i < 32; ++i)
            writeU16(entry + 2 * i, rampColour(base, depth, i));
        writeU16(entry + 64, rampColour(base, depth, 0));
        writeU16(entry + 66, rampColour(base, depth, 31));
        const std::string name = std::string(base.name) + " " + std::to_string(depth + 1);
        std::copy(name.begin(), name.end(), entry + 68);
    }
    return bytes;
}

} // namespace tb::demo
