#pragma once
// Terrain files: "terrains/<name>.xml" beside the program, several of them, each naming
// terrain types and the corners of land tiles (TerrainSet.h):
//
//   <Terrains>
//     <Terrain Name="Grass" Colour="#3C8C28"/>
//     <Terrain Name="Water" Colour="#2860A8" Altitude="-5" Jitter="0"/>
//     <Tile Id="$0003" Corners="Grass Grass Grass Grass" Chance="40"/>
//     <Tile Id="$0033" Corners="Grass Grass Grass Sand"/>
//     <Scatter Terrain="Grass" Chance="3"><Item Id="$0CCA" Weight="2"/></Scatter>
//   </Terrains>
//
// Ids are decimal or "$" hex; Chance and Weight are 1 when absent. Terrains may be named in
// Corners before their own element. Attributes and elements the reader does not know are
// skipped, and not written back.

#include "catalogue/TerrainSet.h"
#include "shell/Errors.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

inline constexpr std::string_view kTerrainsFolder = "terrains";
inline constexpr std::string_view kTerrainFileExtension = ".xml";

// A terrain file that cannot be used. The message names the file, the line and the
// attribute: "\"demo.xml\", line 7, Tile Corners: \"Mud\" is no terrain of the file".
class TerrainFileError : public FileError {
public:
    using FileError::FileError;
};

// The terrain set of file bytes; `path` only names the file in messages. Throws
// TerrainFileError for the first value it refuses, or for bytes without a Terrains element.
TerrainSet parseTerrainFile(std::string_view bytes, const std::filesystem::path& path);

// Reads and parses a terrain file. Throws FileError naming the file when it cannot be read,
// or TerrainFileError as parseTerrainFile.
TerrainSet readTerrainFile(const std::filesystem::path& path);

// The lines of a terrain file holding `set`: the terrains, the tiles and the scatter rules,
// each in the set's order. Throws std::invalid_argument for a tile with a corner that names
// no terrain of the set.
std::vector<std::string> terrainFileLines(const TerrainSet& set);

// Writes terrainFileLines(set) (Windows-1252, CR LF), replacing the file atomically. Throws
// std::invalid_argument before anything is written, or FileError (the old file stays).
void writeTerrainFile(const std::filesystem::path& path, const TerrainSet& set);

// The names of the terrain files beside the program: the ".xml" files of the terrains
// folder without their extension, sorted without regard to case. No folder gives none.
std::vector<std::string> listTerrainFiles(const std::filesystem::path& appDir);

// The file of terrain file `name`. Throws UnsafeNameError for a name that could lead out of
// the terrains folder.
std::filesystem::path terrainFilePath(const std::filesystem::path& appDir, std::string_view name);

} // namespace tb
