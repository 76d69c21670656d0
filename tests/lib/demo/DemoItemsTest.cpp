// The demo's items: where they stand, and that the files describe and draw every one.
#include "demo/DemoItems.h"

#include "core/ArtFiles.h"
#include "core/ItemArt.h"
#include "core/MapImage.h"
#include "core/StaticsFiles.h"
#include "core/TileData.h"
#include "demo/DemoDataSet.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

using namespace tb::demo;

TEST(DemoItems, StandOnTheirTerrainAtItsHeightAndTheFilesDescribeThem) {
    tbtest::TempDir dir;
    const tb::MapVariant variant = demoVariant("map4.mul", {1448, 1448});
    const DemoReport report = writeDemoDataSet(dir.path(), {7, variant});
    const tb::MapImage map = tb::MapImage::load(dir / "map4.mul");
    const tb::StaticsLoad load =
        tb::loadStatics({dir / "staidx4.mul", dir / "statics4.mul"}, variant);
    EXPECT_EQ(load.warning, "");
    const tb::TileData tiledata = tb::TileData::load(dir / "game" / "tiledata.mul");
    tb::ArtFiles art;
    art.load(dir / "game");

    std::map<std::uint16_t, Terrain> terrainOf;
    for (const TileFamily& f : tileFamilies())
        for (const std::uint16_t id : f.ids)
            terrainOf[id] = f.terrain;
    std::map<std::uint16_t, const DemoItem*> items;
    for (const DemoItem& item : demoItems())
        items[item.id] = &item;

    std::map<ItemShape, std::int64_t> counts;
    std::set<std::pair<int, int>> yard;
    const tb::StaticsMap& statics = load.statics;
    for (int bx = 0; bx < statics.widthBlocks(); ++bx) {
        for (int by = 0; by < statics.heightBlocks(); ++by) {
            for (const tb::StaticRecord& r : statics.records(statics.blockNumber(bx, by))) {
                const int x = bx * 8 + r.x, y = by * 8 + r.y;
                ASSERT_TRUE(r.understood());
                ASSERT_TRUE(items.count(r.id)) << std::hex << r.id;
                const ItemShape shape = items[r.id]->shape;
                ++counts[shape];
                const tb::MapCell cell = map.cell(x, y);
                EXPECT_EQ(r.z, cell.altitude) << x << "," << y;
                const Terrain expected = shape == ItemShape::Tree   ? Terrain::Forest
                                         : shape == ItemShape::Rock ? Terrain::Rock
                                                                    : Terrain::Grass;
                EXPECT_EQ(terrainOf.at(cell.tileId), expected) << x << "," << y;
                if (shape == ItemShape::Wall || shape == ItemShape::Floor)
                    yard.insert({x, y});
            }
        }
    }
    EXPECT_EQ(counts[ItemShape::Tree], report.trees);
    EXPECT_EQ(counts[ItemShape::Rock], report.rocks);
    EXPECT_GT(report.trees, 1000);
    EXPECT_GT(report.rocks, 100);
    // One yard: a square of 9 x 9 cells, walls round a floor, one gate in the wall.
    ASSERT_EQ(yard.size(), 81u);
    EXPECT_EQ(counts[ItemShape::Wall], 31);
    EXPECT_EQ(counts[ItemShape::Floor], 50);
    EXPECT_EQ(yard.rbegin()->first - yard.begin()->first, 8);

    for (const DemoItem& item : demoItems()) {
        EXPECT_EQ(tiledata.item(item.id).name, item.name);
        EXPECT_EQ(tiledata.item(item.id).height, item.height);
        const tb::ItemImage image = tb::itemArtImage(art, item.id);
        EXPECT_FALSE(image.placeholder) << item.name;
        EXPECT_EQ(image.pixels, demoItemImage(item).pixels) << item.name;
    }
    EXPECT_EQ(tiledata.land(terrainOf.begin()->first).name.empty(), false);

    // The same seed gives the same statics.
    tbtest::TempDir again;
    writeDemoDataSet(again.path(), {7, variant});
    EXPECT_EQ(tbtest::readBytes(again / "statics4.mul"), tbtest::readBytes(dir / "statics4.mul"));
}
