#pragma once
// Loading a facet into the shared world: the map and its statics, from files or from memory,
// in one transaction by binary COPY. Every block starts with one fresh revision.

#include "core/MapImage.h"
#include "core/StaticsMap.h"
#include "share/ShareConnection.h"
#include "shell/Progress.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace tb {

struct FacetImportReport {
    std::filesystem::path mapFile;
    bool withStatics = false;   // false: the folder held no statics pair of the facet
    std::string staticsWarning; // damaged statics entries, imported as blocks without records
    std::int64_t landBlocks = 0;
    std::int64_t staticsRecords = 0;
    bool replaced = false; // the facet was there before
};

// Stores `map` and `statics` as facet `facet`; `source` names where they came from. A facet
// that is there already is refused with FacetExists unless `replace` is set; then its blocks,
// change log and description are replaced in the same transaction, and open editors are told
// (a notification "R"). Throws ShareError, or OperationStopped when `progress` asks to stop;
// nothing is stored then.
FacetImportReport storeFacet(ShareConnection& connection, int facet, const MapImage& map,
                             const StaticsMap& statics, const std::string& source, bool replace,
                             Progress& progress = noProgress());

// The files of a facet in a folder, read and checked before any connection is made.
struct FacetFolder {
    int facet = 0;
    std::filesystem::path mapFile;
    MapImage map;
    StaticsMap statics;
    bool withStatics = false;   // false: the folder held no statics pair of the facet
    std::string staticsWarning; // damage, or what an interrupted compaction left (one line each)
};

// Reads facet `facet` from `dir`: mapN.mul, or else mapNLegacyMUL.uop (or
// mapNxLegacyMUL.uop), and the pair staidxN.mul / staticsN.mul when it is there (otherwise
// the facet starts without items), read as the statics commands see it and without
// changing a file. Throws FileError naming the folder or a file that cannot be read, and
// std::invalid_argument for a facet that is no digit.
FacetFolder readFacetFolder(const std::filesystem::path& dir, int facet);

// Stores what readFacetFolder() read, as storeFacet.
FacetImportReport importFacet(ShareConnection& connection, const FacetFolder& folder, bool replace,
                              Progress& progress = noProgress());

// Both steps at once. Throws as they do.
FacetImportReport importFacet(ShareConnection& connection, const std::filesystem::path& dir,
                              int facet, bool replace, Progress& progress = noProgress());

} // namespace tb
