#pragma once
// A stroke: what one operation of a builder wrote on a shared facet (a Paint stroke, a Fill,
// a stamp, a patch, an item edit), as cells and items with their values before and after.
// It is committed as a whole; on a conflict it is applied again on top of the server's newer
// blocks, so its own cells and items win and everything else comes from the server.

#include "core/MapImage.h"
#include "core/StaticItems.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tb {

// Names a stroke in the journal and on the server, which recognises one it already holds.
using StrokeId = std::array<unsigned char, 16>;

// A new random id (version 4 UUID layout).
StrokeId newStrokeId();
// The id as the server writes a uuid: "0f1e2d3c-...".
std::string strokeIdText(const StrokeId& id);

struct CellEdit {
    std::int32_t x = 0;
    std::int32_t y = 0;
    MapCell before;
    MapCell after;
    friend bool operator==(const CellEdit&, const CellEdit&) = default;
};

enum class ItemEditKind : std::uint8_t {
    Add,     // `after` put on its cell, over the items there
    Remove,  // `before` taken off its cell
    Replace, // `before` becomes `after` (on its cell, or moved to another)
};

struct ItemEdit {
    ItemEditKind kind = ItemEditKind::Add;
    PlacedItem before; // Remove, Replace
    PlacedItem after;  // Add, Replace
    friend bool operator==(const ItemEdit&, const ItemEdit&) = default;
};

enum class StrokeMode : std::uint8_t {
    // The stroke's cells and items are written whatever stands there: a builder's own edit.
    BuilderWins,
    // Each cell or item is written only where it still is as the stroke expects (`before`):
    // undo and redo, which leave what someone else changed since.
    WhereUnchanged,
};

struct Stroke {
    StrokeId id{};
    StrokeMode mode = StrokeMode::BuilderWins;
    std::vector<CellEdit> cells; // in the order written; a cell may come more than once
    std::vector<ItemEdit> items; // in the order made
    friend bool operator==(const Stroke&, const Stroke&) = default;
};

// The item edits that make block (blockX, blockY)'s records `before` into `after`, as few
// as it takes: the records both keep in the same order stay; between two that stay, an item
// gone and one come on the same cell are one item changed in place, the rest are removed or
// added (at the end). Records whose column or row is 8 or more are not items: left out.
std::vector<ItemEdit> itemEditsBetween(std::int32_t blockX, std::int32_t blockY,
                                       const std::vector<StaticRecord>& before,
                                       const std::vector<StaticRecord>& after);

// The stroke that takes `stroke` back (undo), or brings back one taken back (redo): edits
// reversed, before and after exchanged, WhereUnchanged, with a new id.
Stroke inverseStroke(const Stroke& stroke);

} // namespace tb
