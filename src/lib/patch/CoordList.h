#pragma once
// Coordinate lists ("coords.def" beside the program, and exported ".def" files): key
// files with one section per pair,
//
//     [0]
//     X=1500
//     Y=1650
//
// Texts are kept as typed; nothing is checked.

#include <filesystem>
#include <string>
#include <vector>

namespace tb {

class KeyFile;

// The file name of the coordinate list in the application directory.
inline constexpr const char* kCoordListFileName = "coords.def";

struct CoordText {
    std::string x;
    std::string y;
    bool operator==(const CoordText&) const = default;
};

// The pairs of a coordinate key file: "X" and "Y" (default "0" each) of the sections "0" to
// entryCount() - 1. No pairs when the file has no "[...]" line.
std::vector<CoordText> readCoordEntries(const KeyFile& file);
// The same from a file; no pairs when it does not exist. Throws FileError.
std::vector<CoordText> readCoordFile(const std::filesystem::path& path);

// Replaces the whole file atomically with one section per pair, so rows removed since the
// last write do not come back; an empty list gives an empty file. Throws FileError.
void writeCoordFile(const std::filesystem::path& path, const std::vector<CoordText>& rows);

} // namespace tb
