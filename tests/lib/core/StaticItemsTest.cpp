// Items by cell: placing on land and on a floor, removing by id, and the text form scripts
// read and write.
#include "core/StaticItems.h"
#include "core/StaticsCsv.h"

#include "StaticsFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace {

constexpr int kSide = 2; // blocks a side: a 16 x 16 map

// A 16 x 16 map whose cell (x, y) has altitude x - y, with its tiledata: item 0x0519 is a
// floor (Surface, height 0), 0x0E3D a table (Surface, height 6), 0x0CCA a tree (height 20).
struct World {
    tb::MapImage map;
    tb::StaticsMap statics = tb::StaticsMap::empty(kSide, kSide);
    tb::TileData tiledata;

    World() {
        std::vector<unsigned char> bytes(std::size_t(kSide * kSide) * 196, 0);
        for (int x = 0; x < kSide * 8; ++x)
            for (int y = 0; y < kSide * 8; ++y)
                bytes[std::size_t(tb::cellOffset(x, y, kSide)) + 2] =
                    static_cast<unsigned char>(std::int8_t(x - y));
        map = tb::MapImage(std::move(bytes),
                           tb::MapVariant{"map9.mul", 0, "test", kSide * 8, kSide * 8});
        constexpr std::size_t land = 512 * (4 + 32 * 26);
        std::vector<unsigned char> data(land + std::size_t(0x1000 / 32) * 1188, 0);
        const auto setItem = [&](std::uint16_t id, std::uint32_t flags, int height) {
            unsigned char* e = data.data() + land + (id / 32) * 1188 + 4 + (id % 32) * 37;
            for (int i = 0; i < 4; ++i)
                e[i] = static_cast<unsigned char>(flags >> (8 * i));
            e[16] = static_cast<unsigned char>(height); // after 4 bytes of flags and 12 of fields
        };
        setItem(0x0519, 0x200, 0);
        setItem(0x0E3D, 0x200, 6);
        setItem(0x0CCA, 0x40, 20);
        tiledata = tb::TileData::fromBytes(data, "tiledata.mul");
    }
};

} // namespace

TEST(StaticItems, PlacedOnTheTopOfWhatIsThereAndRemovedById) {
    World w;
    // Bare land: its altitude.
    EXPECT_EQ(tb::standingZ(w.map, w.statics, w.tiledata, 9, 3), 6);
    tb::addItem(w.statics, {9, 3, 0x0519, 6, 0});
    tb::addItem(w.statics, {9, 3, 0x0E3D, 6, 0x21});
    // A tree is no surface: it does not raise what stands on the cell.
    tb::addItem(w.statics, {9, 3, 0x0CCA, 6, 0});
    EXPECT_EQ(tb::standingZ(w.map, w.statics, w.tiledata, 9, 3), 12);
    EXPECT_EQ(tb::standingZ(w.map, w.statics, w.tiledata, 10, 3), 7); // the cell beside

    const std::vector<tb::CellItem> onCell = tb::itemsOnCell(w.statics, 9, 3);
    ASSERT_EQ(onCell.size(), 3u);
    EXPECT_EQ(onCell[1].record.id, 0x0E3D);
    EXPECT_EQ(onCell[1].record.hue, 0x21);
    EXPECT_EQ(onCell[0].block, w.statics.blockNumber(1, 0));

    EXPECT_EQ(tb::removeItems(w.statics, 9, 3, 0x0E3D), 1u);
    EXPECT_EQ(tb::standingZ(w.map, w.statics, w.tiledata, 9, 3), 6);
    EXPECT_EQ(tb::removeItems(w.statics, 9, 3), 2u);
    EXPECT_TRUE(tb::itemsOnCell(w.statics, 9, 3).empty());
    EXPECT_THROW(tb::addItem(w.statics, {16, 0, 1, 0, 0}), std::out_of_range);
    EXPECT_EQ(tb::removeItems(w.statics, -1, 0), 0u);
}

TEST(StaticsCsv, RoundTripsAndNamesTheLineThatIsNoItem) {
    World w;
    tb::addItem(w.statics, {1, 2, 0x0CCA, -5, 0});
    tb::addItem(w.statics, {15, 15, 0x0519, 127, 0xFFFF});
    tb::addItem(w.statics, {8, 8, 0x0E3D, 0, 3});
    const std::vector<tb::PlacedItem> all = tb::itemsInRect(w.statics, 0, 0, 15, 15);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(tb::itemsInRect(w.statics, 8, 8, 20, 20).size(), 2u);
    const std::string text = tb::staticsCsvText(all);
    EXPECT_EQ(text.substr(0, 14), "x,y,id,z,hue\r\n");
    EXPECT_EQ(tb::parseStaticsCsv(text, "items.csv"), all);
    // Hex ids, blanks and no header are fine for a script.
    EXPECT_EQ(tb::parseStaticsCsv("\n 1, 2, $0CCA, -5, 0\n", "s.csv"),
              (std::vector<tb::PlacedItem>{{1, 2, 0x0CCA, -5, 0}}));
    EXPECT_EQ(tb::parseStaticsCsv("1,2,0xcca,-5,0", "s.csv").front().id, 0x0CCA);
    // Lines end in CR LF, LF or a lone CR, mixed too.
    EXPECT_EQ(
        tb::parseStaticsCsv("x,y,id,z,hue\r1,2,3,4,5\r\n6,7,8,9,10\n\r11,12,13,14,15", "s.csv"),
        (std::vector<tb::PlacedItem>{{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12, 13, 14, 15}}));
    using Case = std::pair<std::string, std::string>;
    for (const auto& [bad, what] :
         {Case{"x,y,id,z,hue\n1,2,3,4\n", "items.csv:2: expected 5 fields"},
          Case{"1,2,tree,4,0\n", "items.csv:1: id 'tree' is not a number"},
          Case{"1,2,3,200,0\n", "items.csv:1: z 200 is outside -128..127"},
          Case{"1,2,70000,0,0\n", "items.csv:1: id 70000 is outside 0..65535"},
          // A field is quoted at most 80 characters long, a NUL byte as \0.
          Case{std::string("1,2,3,4,5\r6,7,") + '\0' + std::string(100'000, '9') + ",0,0",
               "items.csv:2: id '\\0" + std::string(79, '9') + "...' is not a number"}}) {
        try {
            tb::parseStaticsCsv(bad, "items.csv");
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(what), std::string::npos) << e.what();
        }
    }
}

// Many items at once go where one at a time would put them; a record whose column or row is
// 8 or more stands on no cell, whichever way it is looked up, and an export counts it.
TEST(StaticItems, ManyAtOnceAndRecordsOutsideTheirBlock) {
    World w;
    const std::vector<tb::PlacedItem> items{
        {9, 3, 0x0519, 6, 0}, {1, 1, 0x0CCA, 0, 0}, {9, 3, 0x0E3D, 6, 0x21}, {15, 15, 7, 1, 0}};
    World oneByOne;
    for (const tb::PlacedItem& item : items)
        tb::addItem(oneByOne.statics, item);
    tb::addItems(w.statics, items);
    for (std::size_t b = 0; b < w.statics.blockCount(); ++b)
        EXPECT_EQ(w.statics.records(b), oneByOne.statics.records(b)) << b;
    // Nothing changes when one item is outside the map.
    EXPECT_THROW(tb::addItems(w.statics, {{2, 2, 1, 0, 0}, {16, 0, 1, 0, 0}}), std::out_of_range);
    EXPECT_TRUE(tb::itemsOnCell(w.statics, 2, 2).empty());

    // Block (0, 0) gets records at column 8, row 8, and both; its cells (0, 1), (1, 0) and
    // (0, 0) of the next row are where a lookup that let 8 through would put them.
    std::vector<tb::StaticRecord> records = w.statics.records(0);
    records.push_back({0x0100, 8, 0, 0, 0});
    records.push_back({0x0101, 0, 8, 0, 0});
    records.push_back({0x0102, 8, 8, 0, 0});
    records.push_back({0x0103, 255, 1, 0, 0});
    w.statics.setRecords(0, records);
    for (int x = 0; x < 16; ++x)
        for (int y = 0; y < 16; ++y) {
            const tb::StaticCell* cell = w.statics.cell(x, y);
            const std::size_t listed = tb::itemsOnCell(w.statics, x, y).size();
            EXPECT_EQ(cell ? cell->count : 0u, listed) << x << ", " << y;
            const std::size_t placed = std::size_t(std::count_if(
                items.begin(), items.end(), [&](const auto& i) { return i.x == x && i.y == y; }));
            EXPECT_EQ(listed, placed) << x << ", " << y;
        }
    std::size_t leftOut = 0;
    EXPECT_EQ(tb::itemsInRect(w.statics, 0, 0, 7, 7, &leftOut).size(), 1u);
    EXPECT_EQ(leftOut, 4u);
    EXPECT_EQ(tb::itemsInRect(w.statics, 8, 0, 15, 15, &leftOut).size(), 3u);
    EXPECT_EQ(leftOut, 0u);
}
