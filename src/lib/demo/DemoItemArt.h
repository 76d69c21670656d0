#pragma once
// The pictures of the demo items, drawn here: lit from the upper left and outlined, so trees,
// rocks, walls and goods read as things standing on the land. A picture's bottom row lies
// on the bottom corner of its cell, the thing's foot near the cell's middle, as the game
// client's item art is drawn.

#include "core/ItemArt.h"

#include <cstdint>

namespace tb::demo {

enum class ItemShape : std::uint8_t;

// The picture of an item of `shape`; `id` varies trees and rocks of one shape.
ItemImage drawDemoItem(ItemShape shape, std::uint16_t id);

} // namespace tb::demo
