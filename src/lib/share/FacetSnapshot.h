#pragma once
// A whole facet read from the server in one consistent snapshot, by binary COPY: what
// opening a shared map and exporting one start from.

#include "core/MapVariant.h"
#include "share/ShareConnection.h"
#include "share/SharedFacet.h"
#include "shell/Progress.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tb {

// What the server keeps of a facet besides its blocks.
struct FacetInfo {
    int facet = 0;
    MapVariant variant{};
    std::vector<unsigned char> tail; // bytes of the map file after its blocks (one variant)
    std::string source;              // the file it was imported from
};

// The revision of every block in a builder's copy: of its land and of its statics.
struct FacetRevisions {
    std::vector<std::int64_t> land;
    std::vector<std::int64_t> statics;
};

struct FacetSnapshot {
    FacetInfo info;
    SharedFacet copy;
    FacetRevisions revisions;
};

// The facet's description. Throws ShareError when the server has no such facet (or the
// role may not read it).
FacetInfo readFacetInfo(ShareConnection& connection, int facet);

// Reads facet `facet` whole. In the statics, each block's index entry keeps the third word
// it was imported with, and a block without records the second. Throws ShareError,
// ConnectionLost, or OperationStopped when `progress` asks to stop.
FacetSnapshot loadFacet(ShareConnection& connection, int facet, Progress& progress = noProgress());

} // namespace tb
