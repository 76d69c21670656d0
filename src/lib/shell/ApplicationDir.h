#pragma once
// The application directory: the folder that holds the catalogues the editor reads and
// writes (tilelist.xml, textures/, brushes/, terrains/, bookmarklist.xml, patches).
//
// A portable copy keeps them beside its program. An installed copy cannot write there, so
// its catalogues live in the user's own data folder, which starts as a copy of the
// defaults installed beside the program.

#include <filesystem>
#include <string>
#include <vector>

namespace tb {

// The default catalogue files, relative to the program's folder.
std::vector<std::filesystem::path> defaultCatalogueFiles(const std::filesystem::path& programDir);

// Whether new files can be created in `dir` (tried with a probe file, so a read-only mount
// counts as not writable even for root).
bool isWritableFolder(const std::filesystem::path& dir);

struct ApplicationDirChoice {
    std::filesystem::path dir;
    std::vector<std::string> seeded;   // files copied into the user's folder on this start
    std::vector<std::string> problems; // files that could not be copied, each naming its file
};

// Picks the program's folder when it is writable, else `userDataDir`. The user's folder is
// seeded while it has no tilelist.xml (its first start, or a first start cut short): every
// default file it lacks is copied in, the tile list last, and files already there are never
// overwritten, so the user's own changes survive.
ApplicationDirChoice chooseApplicationDir(const std::filesystem::path& programDir,
                                          const std::filesystem::path& userDataDir);

} // namespace tb
