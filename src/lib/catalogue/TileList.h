#pragma once
// The tile group file tilelist.xml beside the program: the groups of the drawing-mode list.

#include "catalogue/TileNamed.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tb {

// One group as the options dialog holds it: the caption and its ids joined by commas.
struct TileListRow {
    std::string caption;
    std::string idText;
};

// The groups of a tile list file in file order. Only element names (compared exactly) and
// element text count: a Tile start tag empties the working id list, Name text sets the
// working name (which carries over to a later Tile without a Name), TileId text adds an id,
// and a Tile end tag emits a group. Ids outside a Tile are dropped, an empty-element Tile
// yields nothing. A missing or unreadable file gives no groups and no error.
std::vector<TileNamed> readTileList(const std::filesystem::path& path);

// The lines of a tile list file for `rows`: the prolog, TileList, and per row a Tile with
// its Name and one TileId per piece of the id text split at every ",". "<", ">" and "&" in
// names and ids are written as entity references.
std::vector<std::string> tileListLines(const std::vector<TileListRow>& rows);

// Writes tileListLines(rows) with CR LF line ends in UTF-8 (the encoding the reader
// assumes, so every Windows-1252 character of a name survives), replacing the file
// atomically. Throws FileError naming the file; the old file then stays as it was.
void writeTileList(const std::filesystem::path& path, const std::vector<TileListRow>& rows);

} // namespace tb
