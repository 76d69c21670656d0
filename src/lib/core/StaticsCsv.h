#pragma once
// Items as comma-separated text, one "x,y,id,z,hue" line each under a header line, so that
// any script can write or read them. Ids and hues are read as decimal, "$" hex or "0x" hex
// and written in decimal.

#include "core/StaticItems.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

inline constexpr std::string_view kStaticsCsvHeader = "x,y,id,z,hue";

// The text of `items`, header first, CR LF line ends.
std::string staticsCsvText(const std::vector<PlacedItem>& items);

// The items of `text`, whose lines end in CR LF, LF or CR. Blank lines are skipped and the
// header line is optional. A line that is no item throws std::runtime_error
// "<name>:<line>: <what is wrong>", a field quoted as messageExcerpt() shows it.
std::vector<PlacedItem> parseStaticsCsv(std::string_view text, const std::string& name);

// The same through files: written atomically, read whole. FileError names the file.
void writeStaticsCsv(const std::filesystem::path& path, const std::vector<PlacedItem>& items);
std::vector<PlacedItem> readStaticsCsv(const std::filesystem::path& path);

} // namespace tb
