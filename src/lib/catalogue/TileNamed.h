#pragma once
// A named tile group of the tile list, and the random pick that paints with it.

#include "shell/RandomSource.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tb {

// A named tile group: the name shown in the drawing-mode list and the ids as the file
// holds them ("$0245"). Ids are converted only when one is picked; order is kept and a
// repeated id is picked that much more often.
struct TileNamed {
    std::string tileName;
    std::vector<std::string> tileIds;

    bool operator==(const TileNamed&) const = default;
};

// One id picked uniformly from the group, read as an integer (decimal or "$" hex).
// Throws std::out_of_range "List index out of bounds (0)" for a group without ids and
// ConversionError "'<id>' is not a valid integer value" for an id that is no integer.
std::int32_t randomTileId(const TileNamed& group, RandomSource& random);

} // namespace tb
