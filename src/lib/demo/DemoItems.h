#pragma once
// The items of the demo data set: trees in the forests, rocks in the mountains and a walled
// yard with a stone floor near a coast, barrels and crates in their hues in it, placed as
// statics of the generated world, with the tiledata entries and item pictures they need.
//
// The ids and names are those the game client uses for such items, so the demo reads like
// real client files; the pictures are drawn here.

#include "core/ItemArt.h"
#include "core/MapVariant.h"
#include "demo/DemoArt.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tb::demo {

enum class ItemShape : std::uint8_t { Tree, Rock, Wall, Floor, Barrel, Crate };

struct DemoItem {
    std::uint16_t id;
    std::string_view name;
    ItemShape shape;
    std::uint8_t height;
    std::uint64_t flags;
};

// Every item the demo places, by ascending id.
std::span<const DemoItem> demoItems();

// The picture of a demo item (every id of demoItems()).
ItemImage demoItemImage(const DemoItem& item);

// Adds the pictures of the demo items to the art files (entry 0x4000 + id of artidx.mul and
// art.mul, the index grown as far as the highest id) and their mean colours to the radar
// colours (word 0x4000 + id).
void addDemoItemArt(DemoArtFiles& art);

// A tiledata.mul in the newer layout (64-bit flags, 0x10000 items) naming the land tile
// families and the demo items.
std::vector<unsigned char> generateDemoTileData();

struct DemoStaticsFiles {
    std::vector<unsigned char> index; // staidxN.mul
    std::vector<unsigned char> data;  // staticsN.mul
    std::int64_t trees = 0;
    std::int64_t rocks = 0;
    std::int64_t yardItems = 0; // walls and floor
    std::int64_t huedItems = 0; // the goods in the yard
};

// The statics of a map of `variant` whose bytes are `map` (as generateDemoMap gives them):
// the same map and seed always give the same bytes.
DemoStaticsFiles generateDemoStatics(const std::vector<unsigned char>& map,
                                     const MapVariant& variant, std::uint64_t seed);

} // namespace tb::demo
