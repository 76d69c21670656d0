#pragma once
// Custom brushes: one text file per brush, "brushes/<name>.brs" beside the program, one
// cell per line as "column,row,tile id" (2,1,$01D3). The brush editor's grid is
// BrushPattern; the Brush tool stamps the parsed cells.

#include "shell/CheckedValue.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

inline constexpr std::string_view kBrushesFolder = "brushes";
inline constexpr std::string_view kBrushExtension = ".brs";
// The text of a brush cell without a tile.
inline constexpr std::string_view kNoDraw = "NODRAW";

// The names of the brushes: every regular file of the brushes folder whose name ends in
// ".brs" (any case), without those four characters, sorted by name without regard to case.
// No folder gives no names.
std::vector<std::string> listBrushNames(const std::filesystem::path& appDir);

// The file of brush `name`. Throws UnsafeNameError for a name that is empty, holds a path
// separator or would lead out of the brushes folder.
std::filesystem::path brushFilePath(const std::filesystem::path& appDir, std::string_view name);

// The lines of brush `name` as the file holds them. Throws UnsafeNameError, or FileError
// when the file cannot be read.
std::vector<std::string> readBrushLines(const std::filesystem::path& appDir, std::string_view name);

// Writes `lines` as brush `name` (Windows-1252, CR LF), replacing the file atomically.
// Throws UnsafeNameError before anything is written, or FileError (the old file stays).
void writeBrushLines(const std::filesystem::path& appDir, std::string_view name,
                     const std::vector<std::string>& lines);

// The text of a cell holding `tileId`: "$" and four upper-case hex digits ("$01D3").
std::string brushCellText(std::int32_t tileId);

// One cell of a brush file's line: offsets from the brush's origin and the tile id, whose
// range is checked where the cell is used.
struct BrushCell {
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    CheckedValue<std::uint16_t> tileId = 0;
    friend bool operator==(const BrushCell&, const BrushCell&) = default;
};

// The cells of a brush file's lines, in file order. Each line is split at its commas: the
// first piece is dx, the second-last dy and the last the tile id (decimal or "$" hex,
// trailing blanks ignored). Lines without three pieces that are all integers (blank lines,
// text) are skipped.
std::vector<BrushCell> parseBrushLines(const std::vector<std::string>& lines);

} // namespace tb
