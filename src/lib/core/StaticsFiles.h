#pragma once
// Where a map's statics are found and how they are loaded: staidxN.mul and staticsN.mul of
// the map's facet N, read only, from the map's own folder or else the game folder.

#include "core/MapVariant.h"
#include "core/StaticsMap.h"
#include "shell/Progress.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tb {

inline constexpr const char* kStaticsLoadText = "Loading statics";
inline constexpr const char* kStaticsLoadStoppedMessage =
    "Loading the statics was stopped: they are not shown.";

struct StaticsFilePaths {
    std::filesystem::path index; // staidxN.mul
    std::filesystem::path data;  // staticsN.mul
};

// The facet of a map file from its name: "map3.mul" -> 3 (any case); nothing for other names.
std::optional<int> mapFacet(std::string_view fileName);

// The facet whose statics pair a map file uses: the digit of "mapN.mul", or of a container's
// "mapNLegacyMUL.uop"; nothing for a name that holds no facet digit (its pair is not known).
std::optional<int> staticsFacetOf(const std::filesystem::path& mapFile);

// Facet `facet`'s pair in `dir`, spelt as the game spells it: staidxN.mul and staticsN.mul.
StaticsFilePaths staticsPairIn(const std::filesystem::path& dir, int facet);

// The file called `name` in `dir`, matched without regard to case (an exact spelling wins);
// nothing when there is none.
std::optional<std::filesystem::path> findFileIgnoringCase(const std::filesystem::path& dir,
                                                          std::string_view name);

// The statics pair of `facet`: from the folder of `mapFile` when it holds both files, else
// from `gameDir` when that does; nothing when neither folder holds both.
std::optional<StaticsFilePaths> findStaticsFiles(const std::filesystem::path& mapFile,
                                                 const std::filesystem::path& gameDir, int facet);

struct StaticsLoad {
    StaticsMap statics;
    std::string warning; // one line naming the damaged file; empty when the pair is sound
};

// Reads both files whole and builds the lookup for a map of `variant`. Damaged entries give
// blocks without statics and one warning. Throws FileError when a file cannot be read.
// `progress` gets each file's bytes read under kStaticsLoadText; a stop throws
// OperationStopped (kStaticsLoadStoppedMessage).
StaticsLoad loadStatics(const StaticsFilePaths& files, const MapVariant& variant,
                        Progress& progress = noProgress());

// The warning for `damage` found in the pair `files`; empty when there is none.
std::string staticsDamageWarning(const StaticsFilePaths& files, const StaticsDamage& damage);

} // namespace tb
