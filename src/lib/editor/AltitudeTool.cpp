#include "editor/AltitudeTool.h"

#include <limits>

namespace tb {

int applyAltitudeMode(AltitudeMode mode, int altitude, std::int32_t z) {
    switch (mode) {
    case AltitudeMode::AddZ:
        return clampAltitude(std::int64_t(altitude) + z);
    case AltitudeMode::SubtractZ:
        return clampAltitude(std::int64_t(altitude) - z);
    case AltitudeMode::SetToZ:
        return clampAltitude(z);
    case AltitudeMode::OnlyChangeTile:
        break;
    }
    return clampAltitude(altitude);
}

std::int32_t randomAltitudeBound(std::int32_t range) {
    return range >= 0 ? range : -(range + 1);
}

std::int32_t randomAltitudeOffset(std::int32_t range, RandomSource& random) {
    const std::int64_t bound = randomAltitudeBound(range);
    if (bound == 0)
        return 0;
    // 2 x bound + 1 must fit the source's int; past 2^30 the draw lands beyond the clamp
    // on either side with practically the same odds as an exact draw.
    constexpr std::int64_t kWidest = (std::int64_t(std::numeric_limits<int>::max()) - 1) / 2;
    const std::int64_t usable = bound > kWidest ? kWidest : bound;
    return static_cast<std::int32_t>(random.uniform(int(2 * usable + 1)) - usable);
}

int newAltitude(const AltitudeSettings& settings, int altitude, RandomSource& random) {
    const int clamped = applyAltitudeMode(settings.mode, altitude, settings.z);
    if (!settings.addRandom)
        return clamped;
    return clampAltitude(std::int64_t(clamped) +
                         randomAltitudeOffset(settings.randomRange.get(), random));
}

} // namespace tb
