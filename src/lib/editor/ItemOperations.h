#pragma once
// The editor's edits of items, each made through one document edit so that it is one undo
// step with a name ("Move 3 items"): placing, moving, raising and lowering, hueing,
// deleting, copying and pasting the items of a selection.

#include "core/StaticItems.h"
#include "core/TileData.h"
#include "editor/CellRect.h"
#include "editor/MapDocument.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tb {

// The selected items: every item of the cells, or of one cell only its item `onlyItem`
// (an index among the cell's items, in file order).
struct ItemSelection {
    CellRect cells;
    std::optional<std::size_t> onlyItem;
    bool isEmpty() const { return cells.isEmpty(); }
    friend bool operator==(const ItemSelection&, const ItemSelection&) = default;
};

// One selected item where it stands.
struct SelectedItem {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::size_t index = 0; // among the cell's items
    StaticRecord record;
};

// The items of `selection` that `statics` holds, block by block and in file order inside a
// block.
std::vector<SelectedItem> selectedItems(const StaticsMap& statics, const ItemSelection& selection);

// "1 item", "3 items".
std::string itemCountText(std::size_t count);

// The altitude a new item on cell (x, y) is placed at: `fixedZ` kept within -128..127, or,
// without one, on top of what stands there (standingZ; without tiledata, heights count 0).
std::int8_t placementZ(const MapImage& map, const StaticsMap& statics, const TileData* tiledata,
                       std::int32_t x, std::int32_t y, std::optional<int> fixedZ);

// Each function below writes through `edit`, names it, and throws what the edit throws (no
// statics, a damaged block, a cell outside the statics).

// Puts item `id` on cell (x, y) at `z` ("Place item").
void placeItem(MapDocument::Edit& edit, std::uint16_t id, std::int32_t x, std::int32_t y,
               std::int8_t z);

struct MoveOutcome {
    std::size_t moved = 0;
    std::size_t left = 0;    // their cell plus the move lies off the map: they stayed
    ItemSelection selection; // where the moved items are now (the cells inside the map)
};
// Moves the selected items by (dx, dy), keeping id, z and hue. All leave their cells before
// any arrives, so a move onto cells of the selection itself takes each item once; moved
// items lie over those already on their new cell ("Move 3 items").
MoveOutcome moveItems(MapDocument::Edit& edit, const ItemSelection& selection, std::int32_t dx,
                      std::int32_t dy);
// Raises (negative: lowers) the selected items by `by`, kept within -128..127; returns how
// many changed ("Raise 2 items", "Lower 2 items").
std::size_t raiseItems(MapDocument::Edit& edit, const ItemSelection& selection, int by);
// Gives the selected items `hue`; returns how many changed ("Hue 2 items").
std::size_t hueItems(MapDocument::Edit& edit, const ItemSelection& selection, std::uint16_t hue);
// Removes the selected items; returns how many ("Delete 2 items").
std::size_t deleteItems(MapDocument::Edit& edit, const ItemSelection& selection);

// The selected items with their cells counted from the selection's top left corner.
std::vector<PlacedItem> copyItems(const StaticsMap& statics, const ItemSelection& selection);
// Puts copied items with the copy's top left corner on `at`; what falls off the map is left
// out. Returns how many were placed ("Paste 4 items").
std::size_t pasteItems(MapDocument::Edit& edit, const std::vector<PlacedItem>& copied,
                       CellPoint at);

} // namespace tb
