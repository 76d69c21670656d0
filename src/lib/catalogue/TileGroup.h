#pragma once
// A tile group as painting uses it: its ids read once, when the group is loaded, and the
// random pick that paints with it.

#include "catalogue/TileNamed.h"
#include "shell/CheckedValue.h"
#include "shell/RandomSource.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

// A tile id as a cell holds it: 0..65535, else the failure "Range check error".
CheckedValue<std::uint16_t> checkedTileId(std::int32_t value);

// An id text of a group or a brush ("$0245", "17"): an integer (decimal or "$" hex), then a
// tile id; the failure of either step is kept for the moment the id is used.
CheckedValue<std::uint16_t> readTileId(std::string_view text);

struct TileGroup {
    std::string name;
    // The ids in file order; an id whose text is no integer or no tile id keeps its
    // failure, which is raised only when that id is picked.
    std::vector<CheckedValue<std::uint16_t>> ids;

    friend bool operator==(const TileGroup&, const TileGroup&) = default;
};

// The group of a tile list entry, each id read.
TileGroup tileGroup(const TileNamed& named);
std::vector<TileGroup> tileGroups(const std::vector<TileNamed>& named);

// One id picked uniformly from the group. Throws std::out_of_range "List index out of
// bounds (0)" for a group without ids, and the picked id's failure: ConversionError
// "'<id>' is not a valid integer value" or RangeError "Range check error".
std::uint16_t randomTileId(const TileGroup& group, RandomSource& random);

} // namespace tb
