#pragma once
// A new world from a terrain picture and an altitude picture (tools/WorldGenerator.h) with
// the pictures decoded by Qt: what tbmap generate and the editor's "New world from
// pictures..." run.

#include "shell/Progress.h"
#include "tools/WorldGenerator.h"

#include <filesystem>

namespace tbrender {

struct WorldRequest {
    tb::GenerateSources sources; // the two pictures and the terrain file
    std::filesystem::path destination;
    tb::GenerateOptions options;
};

// Reads the terrain file and the pictures, each refused by the size its file announces
// before it is decoded, and generates the world. Throws as tb::generateWorld does, and
// FileError, TerrainFileError or std::runtime_error naming a file that cannot be read as
// what it should be; nothing is written then. `progress` hears the reading of each picture
// and the generation, and may stop either.
tb::GenerateReport generateWorldFromPictures(const WorldRequest& request,
                                             tb::Progress& progress = tb::noProgress());

} // namespace tbrender
