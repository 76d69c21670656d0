#pragma once
// The colour an altitude is shown in when the map view colours altitudes.

#include "core/ArtFiles.h"

namespace tb {

// The colour of altitude -128, which lies below every band of the table.
inline constexpr Rgb kLowestAltitudeColour{0, 0, 0};

// The colour of altitude `z` (-128..127): t = z + 127 times a factor chosen by the band of
// z, read as a 24-bit number with red in the low byte. Values outside -128..127 are
// clamped first.
Rgb altitudeColour(int z);

} // namespace tb
