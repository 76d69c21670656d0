#pragma once
// The altitude arithmetic shared by every tool that writes cells: the four modes of
// "Modify the altitude" in full integers, the clamp to the altitude byte, and the optional
// random altitude added after it.

#include "editor/StatusText.h"
#include "shell/CheckedValue.h"
#include "shell/RandomSource.h"

#include <cstdint>
#include <string_view>

namespace tb {

inline constexpr int kMinAltitude = -128;
inline constexpr int kMaxAltitude = 127;

// Shown when the altitude value box holds a number outside -128..127.
inline constexpr std::string_view kZOutOfRangeMessage = "Z must be between -128 to 127!";

// What the altitude controls say: the mode of "Modify the altitude", Z, and the random
// altitude switch with its range R (read only while the switch is on).
struct AltitudeSettings {
    AltitudeMode mode = AltitudeMode::OnlyChangeTile;
    std::int32_t z = 0;
    bool addRandom = false;
    CheckedValue<std::int32_t> randomRange = 1;
};

// The key filter of the altitude value box: only backspace, "-" and the digits pass.
constexpr bool zValueKeyAllowed(char32_t key) {
    return key == U'\b' || key == U'-' || (key >= U'0' && key <= U'9');
}

// Brings a full-integer altitude into -128..127.
constexpr int clampAltitude(std::int64_t altitude) {
    return altitude > kMaxAltitude   ? kMaxAltitude
           : altitude < kMinAltitude ? kMinAltitude
                                     : static_cast<int>(altitude);
}

// The altitude after the mode alone, clamped: Add Z, Subtract Z, Set to Z, or unchanged.
int applyAltitudeMode(AltitudeMode mode, int altitude, std::int32_t z);

// The largest offset the random altitude adds for a typed range R: R itself, and for a
// negative R (typed into the box) -R - 1, so that R = 0 and R = -1 add nothing.
std::int32_t randomAltitudeBound(std::int32_t range);

// One offset drawn uniformly from -bound .. bound (2 x bound + 1 values); 0 for bound 0.
std::int32_t randomAltitudeOffset(std::int32_t range, RandomSource& random);

// The altitude a tool writes into a cell whose altitude is `altitude`: the mode, the clamp,
// then (when switched on) one random offset, and the clamp again, so a value past the end
// of the altitude byte is never stored wrapped. A range that failed to read throws its
// failure here, when the first cell needs it.
int newAltitude(const AltitudeSettings& settings, int altitude, RandomSource& random);

} // namespace tb
