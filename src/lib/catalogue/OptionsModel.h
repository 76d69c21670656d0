#pragma once
// What the options dialog computes without a window: its group rows, the enabling of the
// Edit/Delete/Up/Down buttons of both pages, the id texts that the small dialogs build,
// and the save sequence that runs after the dialog closes with OK.

#include "catalogue/TileList.h"
#include "catalogue/TileNamed.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

inline constexpr std::string_view kTileListFile = "tilelist.xml";

// A group's ids joined by commas as the group row shows them. An id holding a blank, a
// control character, a comma or a double quote is enclosed in double quotes, with its
// inner double quotes doubled: {"$01", "a b"} gives $01,"a b".
std::string joinGroupIds(const std::vector<std::string>& ids);

// The group rows for the groups of a tile list file, in file order.
std::vector<TileListRow> groupRowsFromTileList(const std::vector<TileNamed>& groups);

// The tile list file beside the program (found without regard to case).
std::filesystem::path tileListPath(const std::filesystem::path& appDir);

// Edit/Delete/Up/Down of a list with `count` rows of which row `selected` (-1 for none) is
// selected: Edit and Delete need a selection, Up a selection below the first row, Down one
// above the last.
struct ListButtonState {
    bool edit = false;
    bool remove = false;
    bool up = false;
    bool down = false;
    friend bool operator==(const ListButtonState&, const ListButtonState&) = default;
};
ListButtonState listButtonState(int selected, int count);

// btnAddID of the group dialog: "$" + the grid cell's digits + "," appended to the id text,
// never with a comma before it ("$0003,$0004" + 0005 gives "$0003,$0004$0005,").
std::string appendGroupTileId(std::string_view idText, std::string_view cellText);

// btnAddID of the tile picker: "$" + the grid column's digits, replacing the text.
std::string pickerTileText(std::string_view cellText);

// What the options dialog hands to the main window when it closes with OK.
struct OptionsResult {
    std::vector<TileListRow> groupRows;    // lvSelectModes, in order
    std::vector<std::string> textureItems; // lbTexture, in order
    std::string textureListName;           // cbTextureLists' text ("tileids.lst")
};

// The main window's own steps inside the save sequence.
struct OptionsSaveSteps {
    std::function<void()> loadTileGroups;                                 // LoadTileGroups
    std::function<void(const std::string& relativePath)> loadTextureList; // LoadTextureList
    std::function<void(const std::string& relativePath)> buildListMenu;   // BuildListMenu
};

// The save sequence after OK: the texture list's name is checked first (UnsafeNameError,
// nothing written); then 1. tilelist.xml is written from the group rows, 2. the tile
// groups are reloaded, 3. the texture list is written ("textureid=" + item per line),
// 4. it is loaded into the palette and the list menu is rebuilt, both with
// "textures/" + its name. A step that throws ends the sequence there and the exception
// goes to the caller; every file is written atomically, so a failed write leaves the old
// file as it was.
void runOptionsSaveSequence(const std::filesystem::path& appDir, const OptionsResult& result,
                            const OptionsSaveSteps& steps);

} // namespace tb
