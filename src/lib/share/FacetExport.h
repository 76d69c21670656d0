#pragma once
// Writing a shared facet out as the game's files, from one consistent snapshot: what a shard
// deploys. Each file is replaced atomically.

#include "share/FacetSnapshot.h"
#include "share/ShareConnection.h"
#include "shell/Progress.h"

#include <filesystem>

namespace tb {

struct FacetExportFiles {
    std::filesystem::path map;     // mapN.mul or mapNLegacyMUL.uop
    std::filesystem::path index;   // staidxN.mul
    std::filesystem::path statics; // staticsN.mul
};

// Writes `snapshot` into `dir`: the map as mapN.mul, or with `uop` as a container
// mapNLegacyMUL.uop (entries of 4096 blocks); the statics as staticsN.mul and staidxN.mul,
// each block's records once, in block order, every index entry with the words it was
// imported with. A pair already in that form comes back byte for byte. Throws FileError
// naming the file; files written before it stay written.
FacetExportFiles writeFacetFiles(const FacetSnapshot& snapshot, const std::filesystem::path& dir,
                                 bool uop);

// Reads facet `facet` and writes it as writeFacetFiles does.
FacetExportFiles exportFacet(ShareConnection& connection, int facet,
                             const std::filesystem::path& dir, bool uop,
                             Progress& progress = noProgress());

} // namespace tb
