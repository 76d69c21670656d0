#pragma once
// The map inside a container: entry i, named uopMapEntryName(facet, i), holds map blocks
// 4096 i .. 4096 i + 4095; the map's bytes are the entries' bytes in index order.

#include "core/MapVariant.h"
#include "core/UopContainer.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tb {

// Entries above this index are not looked for: 1024 entries are 800 MB of map, nine
// times the largest known one.
inline constexpr std::uint32_t kMaxUopMapEntries = 1024;

struct UopMapEntries {
    std::vector<const UopEntry*> entries; // in index order
    std::vector<std::int64_t> starts;     // where each entry's bytes begin in the map
    std::int64_t total = 0;               // every map entry's bytes, padding included
    std::optional<MapVariant> variant;    // by facet and total
    // The map's bytes: the variant's size when one is identified (padding excluded), the
    // total otherwise.
    std::int64_t mapLength = 0;
};

// Finds the map of facet `facet` in `container`. Throws FileError naming the container's
// file when it holds no entry of that map, an entry is missing between two others, or an
// entry before the last holds less or more than 4096 blocks.
UopMapEntries findUopMapEntries(const UopContainer& container, int facet);

} // namespace tb
