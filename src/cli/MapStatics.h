#pragma once
// The statics that tbmap draws over a map: the pair of the map's facet beside the map or in
// the game folder, and the radar colours of static ids.

#include "core/MapImage.h"
#include "core/StaticRadarColours.h"
#include "core/StaticsFiles.h"

#include <filesystem>
#include <vector>

namespace tbcli {

struct MapStatics {
    tb::StaticsLoad load;
    tb::StaticRadarColours colours;
};

// Loads the statics of `map`, read from `mapPath`, and the static colours of gameDir's
// radarcol.mul. The pair is read as the statics commands see it, where a compaction was
// interrupted too, and no file is changed. A damaged pair gives one warning on stderr; the
// pair read is named on stdout. Throws std::runtime_error naming both folders when neither
// holds the pair.
MapStatics loadMapStatics(const std::filesystem::path& mapPath,
                          const std::filesystem::path& gameDir, const tb::MapImage& map);

// The files loadMapStatics may read: the statics pair found for `mapPath` with its
// compaction backups and journal, and gameDir's radarcol.mul.
std::vector<std::filesystem::path> mapStaticsInputs(const std::filesystem::path& mapPath,
                                                    const std::filesystem::path& gameDir);

} // namespace tbcli
