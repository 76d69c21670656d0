#pragma once
// The generated demo world: seas, coasts, grassland, forest, dry dirt, mountains with
// snow caps and rivers, written as the cells of a map file.

#include "core/MapVariant.h"
#include "demo/DemoArt.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tb::demo {

struct DemoWorldStats {
    std::array<std::int64_t, kTerrainCount> cells{}; // cells per terrain, indexed by Terrain
    std::int64_t riverCells = 0;                     // water cells inland (also in Water)
    int minAltitude = 0;
    int maxAltitude = 0;
};

// The bytes of a map file of `variant` (variant.fileSize bytes; block headers and any
// tail beyond the blocks are zero) holding a world generated from `seed`. The same
// variant and seed always give the same bytes.
std::vector<unsigned char> generateDemoMap(const MapVariant& variant, std::uint64_t seed,
                                           DemoWorldStats* stats = nullptr);

} // namespace tb::demo
