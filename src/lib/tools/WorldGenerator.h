#pragma once
// A new world from two pictures painted in any paint program: a terrain picture, one colour
// per terrain type of a terrain file (TerrainFile.h), and an altitude picture, grey =
// altitude + 128 as heightmaps are. Every map corner takes the terrain of the pixel at it,
// every cell a tile whose corners match, chosen by chance; the terrains' altitude rules and
// scatter rules settle the altitudes and, when asked for, the items standing on the land.
//
// The pictures are read a row at a time and the map is written a strip of blocks at a time,
// so the largest map needs little memory beyond what the pictures' decoder holds. The draws
// come from the project's own random source in three streams of the one seed (tiles,
// altitudes, items), so the map is the same with items and without, and the same pictures,
// file and seed give the same bytes on every platform.

#include "catalogue/TerrainSet.h"
#include "core/MapVariant.h"
#include "core/PictureRows.h"
#include "core/StaticsFiles.h"
#include "shell/Progress.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace tb {

inline constexpr const char* kGenerateText = "Generating the world";
inline constexpr const char* kGenerateStoppedMessage =
    "The generation was stopped: no file was written.";
// How many of the cells without a matching tile a report lists.
inline constexpr std::size_t kListedMissingCells = 20;

// Inputs that make no world (a colour that is no terrain, pictures of a size no map of the
// destination's name has, a destination name no map is read under): nothing is written, and
// the message names the files.
class GenerateRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct GenerateOptions {
    std::uint32_t seed = 1;
    bool statics = false; // scatter items by the terrains' rules into a new statics pair
};

// The files the world is made from, as the messages name them.
struct GenerateSources {
    std::filesystem::path terrainPicture;
    std::filesystem::path altitudePicture;
    std::filesystem::path terrainFile;
};

struct GenerateReport {
    MapVariant variant{};
    // Cells whose corners no tile has; each got its top-left terrain's fill tile.
    std::int64_t missingCount = 0;
    std::vector<CellPoint> missing; // the first kListedMissingCells of them, row by row
    std::int64_t items = 0;
    StaticsFilePaths statics; // the pair written; empty without statics
    std::string staticsNote;  // what putting back an interrupted compaction of it did
};

// The variants a map written as `destination` may be, by its name (a container's by the
// facet digit of its name), one per size in the order of mapVariants(); none for a name
// under which no map is read.
std::vector<MapVariant> generatedMapVariants(const std::filesystem::path& destination);

// The variant of a map written as `destination` from pictures of `size`. Throws
// GenerateRefusal naming the destination, and `picture` with its size, when there is none.
MapVariant generatedMapVariant(const std::filesystem::path& destination, MapSize size,
                               const std::filesystem::path& picture);

// Throws GenerateRefusal naming both pictures unless the altitude picture has the terrain
// picture's size.
void checkAltitudePictureSize(const GenerateSources& sources, MapSize terrain, MapSize altitude);

// Makes the world of the two pictures and writes it to `destination`, replaced atomically,
// and with `options.statics` its items to the statics pair of its facet beside it, written
// as saves write a pair (StaticsSave.h: a new pair is made, an existing one gets the records
// appended and a new index). Both pictures must have the size of a variant of the
// destination's name. Throws GenerateRefusal (sizes, names, colours that are no terrain,
// terrains with the same colour or without a fill tile where one is needed), FileError
// naming a file that cannot be written, or OperationStopped (kGenerateStoppedMessage): no
// file is written then.
GenerateReport generateWorld(ColourRows& terrain, GreyRows& altitude, const TerrainSet& terrains,
                             const GenerateSources& sources,
                             const std::filesystem::path& destination,
                             const GenerateOptions& options, Progress& progress = noProgress());

} // namespace tb
