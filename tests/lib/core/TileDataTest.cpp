// tiledata.mul in both layouts, read from real client files, and a size neither layout has.
#include "core/TileData.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

fs::path realFile(const char* name) {
    const fs::path dir = tbtest::realDataDir();
    return dir.empty() || !fs::exists(dir / name) ? fs::path() : dir / name;
}

} // namespace

TEST(TileData, BothRealLayoutsGiveTheTreeAndTheirItemCounts) {
    struct Case {
        const char* file;
        tb::TileDataLayout layout;
        std::size_t items;
    };
    for (const Case& c : {Case{"tiledata-old.mul", tb::TileDataLayout::Old, 0x4000},
                          Case{"tiledata-new.mul", tb::TileDataLayout::New, 0x10000}}) {
        SCOPED_TRACE(c.file);
        const fs::path path = realFile(c.file);
        if (path.empty())
            GTEST_SKIP() << "real-data/" << c.file << " is not available";
        const tb::TileData data = tb::TileData::load(path);
        EXPECT_EQ(data.layout(), c.layout);
        EXPECT_EQ(data.landCount(), 0x4000u);
        EXPECT_EQ(data.itemCount(), c.items);
        const tb::ItemData& tree = data.item(0x0CCA);
        EXPECT_EQ(tree.name, "tree");
        EXPECT_EQ(tree.height, 20);
        EXPECT_NE(tree.flags & tb::tileflag::Impassable, 0u) << std::hex << tree.flags;
        // Names end at their first zero byte: no padding is kept.
        EXPECT_EQ(tree.name.find('\0'), std::string::npos);
    }
    const fs::path newer = realFile("tiledata-new.mul");
    if (!newer.empty()) {
        EXPECT_EQ(tb::TileData::load(newer).item(0x9000).name, "ShipSails D2 WEST");
    }
    // Past the older file's items, an id is an empty entry, not an error.
    const tb::TileData older = tb::TileData::load(realFile("tiledata-old.mul"));
    EXPECT_EQ(older.item(0x9000).name, "");
    EXPECT_EQ(older.item(0x9000).height, 0);
}

TEST(TileData, EntriesAreDecodedFieldByField) {
    // One old-layout file of 32 item entries, written by hand: item 1 has every field set.
    constexpr std::size_t land = 512 * (4 + 32 * 26);
    std::vector<unsigned char> bytes(land + 4 + 32 * 37, 0);
    unsigned char* item1 = bytes.data() + land + 4 + 37;
    const unsigned char fields[] = {0x00, 0x02, 0x02, 0x20, // flags: Surface | Foliage | Door
                                    5,    6,    0x34, 0x12, 9, 7, 0x78, 0x56, 9, 11, 12, 13, 42};
    std::copy(std::begin(fields), std::end(fields), item1);
    std::copy_n("stone wall", 10, item1 + 17);
    const tb::TileData data = tb::TileData::fromBytes(bytes, "tiledata.mul");
    const tb::ItemData& item = data.item(1);
    EXPECT_EQ(item.flags, tb::tileflag::Surface | tb::tileflag::Foliage | tb::tileflag::Door);
    EXPECT_EQ(item.weight, 5);
    EXPECT_EQ(item.quality, 6);
    EXPECT_EQ(item.misc, 0x1234);
    EXPECT_EQ(item.quantity, 7);
    EXPECT_EQ(item.animation, 0x5678);
    EXPECT_EQ(item.hue, 11);
    EXPECT_EQ(item.stackingOffset, 12);
    EXPECT_EQ(item.value, 13);
    EXPECT_EQ(item.height, 42);
    EXPECT_EQ(item.name, "stone wall");
    EXPECT_EQ(tb::tileFlagsText(item.flags), "Surface, Foliage, Door");
}

TEST(TileData, UnknownSizeIsRefusedNamingFileAndSize) {
    try {
        tb::TileData::fromBytes(std::vector<unsigned char>(1000), "/game/tiledata.mul");
        ADD_FAILURE() << "a 1000-byte tiledata was read";
    } catch (const tb::TileDataError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("/game/tiledata.mul"), std::string::npos) << message;
        EXPECT_NE(message.find("1000 bytes"), std::string::npos) << message;
    }
    // A size both layouts give is the older one up to 0x4000 items, else the newer.
    EXPECT_EQ(tb::TileData::layoutForSize(601'480), tb::TileDataLayout::Old);
    EXPECT_EQ(tb::TileData::layoutForSize(1'383'184), tb::TileDataLayout::New);
    EXPECT_FALSE(tb::TileData::layoutForSize(428'031));
    // Without a file, items have no names, no flags and no height.
    const tb::TileData none;
    EXPECT_EQ(none.item(0x0CCA).name, "");
    EXPECT_EQ(none.item(0x0CCA).height, 0);
}
