#pragma once
// Items on the map seen by cell: what stands on a cell, what a rectangle holds, adding and
// removing single items, and the height a new item stands at. These change the statics
// directly; the editor makes the same changes through its document, which keeps undo.

#include "core/MapImage.h"
#include "core/StaticsMap.h"
#include "core/TileData.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tb {

// An item at map cell (x, y).
struct PlacedItem {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint16_t id = 0;
    std::int8_t z = 0;
    std::uint16_t hue = 0;
    friend bool operator==(const PlacedItem&, const PlacedItem&) = default;
};

// One item of a cell: where its record is (block and place in the block's records) and
// the record.
struct CellItem {
    std::size_t block = 0;
    std::size_t index = 0;
    StaticRecord record;
};

// The items standing on cell (x, y), in file order; none outside the map. Records the
// editor does not understand are never listed.
std::vector<CellItem> itemsOnCell(const StaticsMap& statics, std::int32_t x, std::int32_t y);

// The items of the cells x1..x2 by y1..y2 (both corners included), block by block and in
// file order inside a block. When `leftOut` is given it counts the records of the blocks
// looked at whose column or row is 8 or more: they stand on no cell and are not listed.
std::vector<PlacedItem> itemsInRect(const StaticsMap& statics, std::int32_t x1, std::int32_t y1,
                                    std::int32_t x2, std::int32_t y2,
                                    std::size_t* leftOut = nullptr);

// The record of `item` inside its block.
StaticRecord recordOf(const PlacedItem& item);

// Appends `item` to its block's records, so it lies over the items of equal height there.
// Throws std::out_of_range outside the map, std::logic_error for a damaged block.
void addItem(StaticsMap& statics, const PlacedItem& item);
// The same for many items, in their order, each block's records replaced once: as fast for
// many items in one block as for as many spread over the map. Every item is checked
// before any block changes.
void addItems(StaticsMap& statics, const std::vector<PlacedItem>& items);

// Removes the items on cell (x, y), only those of `id` when it is given; returns how many.
std::size_t removeItems(StaticsMap& statics, std::int32_t x, std::int32_t y,
                        std::optional<std::uint16_t> id = std::nullopt);

// The height a new item on cell (x, y) stands at: the top of what is there, the land's
// altitude or, above it, the top (z + height) of a Surface item on the cell; at most 127.
std::int8_t standingZ(const MapImage& map, const StaticsMap& statics, const TileData& tiledata,
                      std::int32_t x, std::int32_t y);

} // namespace tb
