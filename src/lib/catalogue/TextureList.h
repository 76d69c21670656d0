#pragma once
// Texture lists: the *.lst files in the textures folder beside the program, each an
// ordered list of tile ids that the sorted tile palette shows, and the logic of the
// palette that needs no window: its rows, finding an id, "Go", and the list menu.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

// The folder and the default list, as the main window names them.
inline constexpr std::string_view kTexturesFolder = "textures";
inline constexpr std::string_view kDefaultTextureList = "tileids.lst";

// The full palette shows tile ids 0 .. $3FFD, one per row.
inline constexpr int kFullPaletteRows = 16382;

// The entry of `folder` whose name equals `name` without regard to case (an exact match
// wins); nullopt when there is none or the folder cannot be listed.
std::optional<std::filesystem::path> findEntryIgnoringCase(const std::filesystem::path& folder,
                                                           std::string_view name);

// A path relative to the program folder ("textures\tileids.lst" or "textures/tileids.lst")
// with every part found without regard to case. A part that does not exist is kept as
// written, so opening the result reports the missing file by that name.
std::filesystem::path resolveAppPath(const std::filesystem::path& appDir,
                                     std::string_view relativePath);

// The value of one list line: the text after its first "=", or the whole line without
// one, read as a signed 32-bit integer (decimal or "$" hex). Throws ConversionError.
std::int32_t textureListValue(std::string_view line);

// A sorted-palette row's text for a value: upper-case hex, at least four digits, without
// "$" ($11A gives "011A"; a negative value shows its 32-bit pattern).
std::string paletteRowText(std::int32_t value);

// The tile id of a sorted-palette row: its first four characters read as hex; nullopt for
// a row without four hex digits (the single empty row of an empty list).
std::optional<std::uint16_t> paletteRowTileId(std::string_view rowText);

// Fills the sorted palette's rows from the lines of a list file: the row count becomes the
// number of lines (one empty row for no lines), then each row gets its line's value. A
// line that is no integer throws ConversionError; the rows from that line on keep what
// they held before, the new row count stays.
void fillPaletteRows(const std::vector<std::string>& lines, std::vector<std::string>& rows);

// LoadTextureList: reads the list file (path relative to the program folder, found without
// regard to case) and fills `rows` as fillPaletteRows does. Throws FileError when the file
// cannot be read, leaving `rows` unchanged.
void loadTextureList(const std::filesystem::path& appDir, std::string_view relativePath,
                     std::vector<std::string>& rows);

// FindPaletteRow: the first row whose id equals `id`, or -1.
int findPaletteRow(const std::vector<std::string>& rows, std::int32_t id);

// Where "Go" (and the right-button pick on the map) lands: the new current palette tile
// and the row to scroll to the top and frame in red.
struct PaletteTarget {
    std::uint16_t tile = 0;
    int row = 0;
    friend bool operator==(const PaletteTarget&, const PaletteTarget&) = default;
};

// "Go" with `id`: in the sorted view the first row holding it, in the full view row `id`
// itself. Nothing (nullopt) when the sorted list lacks the id or the full view has no such
// row (ids from $3FFE up).
std::optional<PaletteTarget> paletteGo(bool sortedView, const std::vector<std::string>& rows,
                                       std::int32_t id);

// The id typed into edFindID: hex without "$" ("1D3"). Throws ConversionError.
std::int32_t parseFindIdText(std::string_view text);

// The tile of the row a view shows as selected (the status bar's "Selected tile" and a
// click on a palette cell): the row number in the full view, the row's text in the sorted
// view; nullopt for a sorted row without an id.
std::optional<std::uint16_t> paletteRowTile(bool sortedView, const std::vector<std::string>& rows,
                                            int row);

// The id label of a palette cell with "Show Texture ID": " 01 D3 " for tile $01D3.
std::string paletteIdLabel(std::int32_t id);

// One radio entry of the list menu.
struct ListMenuEntry {
    std::string caption; // the file name, as the folder spells it
    bool checked = false;
    friend bool operator==(const ListMenuEntry&, const ListMenuEntry&) = default;
};

// BuildListMenu: one entry per entry of the textures folder whose name ends in ".lst"
// (any case), sorted by name, the one that `currentPath` ("textures\tileids.lst") names
// checked. No folder, or no lists, gives no entries.
std::vector<ListMenuEntry> buildListMenu(const std::filesystem::path& appDir,
                                         std::string_view currentPath);

// The path a list menu entry loads: "textures\" + its file name.
std::string textureListPath(std::string_view fileName);

} // namespace tb
