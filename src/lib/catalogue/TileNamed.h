#pragma once
// A named tile group as the tile list file holds it.

#include <string>
#include <vector>

namespace tb {

// A named tile group: the name shown in the drawing-mode list and the ids as the file
// holds them ("$0245"), which the options dialog shows and writes back unchanged. Order is
// kept and a repeated id is picked that much more often. Painting uses the TileGroup made
// from it.
struct TileNamed {
    std::string tileName;
    std::vector<std::string> tileIds;

    bool operator==(const TileNamed&) const = default;
};

} // namespace tb
