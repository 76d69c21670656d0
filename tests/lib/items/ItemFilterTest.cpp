// The item browser's filter over a small tiledata.mul written here.
#include "items/ItemFilter.h"

#include "core/ArtFiles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

namespace {

using Ids = std::vector<std::uint16_t>;
using namespace tb::tileflag;

// A newer-layout tiledata.mul of 64 items with the given names and flags.
tb::TileData
tileData(const std::vector<std::tuple<std::uint16_t, const char*, std::uint64_t>>& items) {
    constexpr std::size_t land = 512 * (4 + 32 * 30);
    std::vector<unsigned char> bytes(land + 2 * (4 + 32 * 41), 0);
    for (const auto& [id, name, flags] : items) {
        unsigned char* entry = bytes.data() + land + (id / 32 + 1) * 4 + std::size_t(id) * 41;
        for (int i = 0; i < 8; ++i)
            entry[i] = static_cast<unsigned char>(flags >> (8 * i));
        std::memcpy(entry + 8 + 13, name, std::strlen(name));
    }
    return tb::TileData::fromBytes(bytes, "tiledata.mul");
}

Ids range(std::uint16_t first, std::uint16_t end) {
    Ids ids;
    for (std::uint16_t id = first; id < end; ++id)
        ids.push_back(id);
    return ids;
}

} // namespace

TEST(ItemFilter, MatchesNamesIdsAndFlagsInIdOrder) {
    const tb::TileData data = tileData({{1, "Tree", Background | Impassable},
                                        {2, "stone wall", Wall | Impassable},
                                        {3, "palm TREE", Impassable},
                                        {5, "rock", Impassable},
                                        {6, "caf\xE9", 0}, // Windows-1252
                                        {40, "treetop", Foliage}});
    const tb::ItemFilter filter(data, data.itemCount());
    ASSERT_EQ(filter.itemCount(), 64u);

    // Names: a part of them, any case, blanks around ignored.
    EXPECT_EQ(filter.matching("tree", 0), (Ids{1, 3, 40}));
    EXPECT_EQ(filter.matching("  TrEe ", 0), (Ids{1, 3, 40}));
    EXPECT_EQ(filter.matching("one w", 0), (Ids{2}));
    EXPECT_EQ(filter.matching("oak", 0), Ids{});
    EXPECT_EQ(filter.matching("Caf\xC3\xA9", 0), (Ids{6})); // typed as UTF-8
    EXPECT_EQ(filter.matching("", 0), range(0, 64));

    // Ids: $hex, 0x hex and decimal name that id alone; out of range or signed, a name part.
    for (const char* text : {"$28", "0X28", " 40 "})
        EXPECT_EQ(filter.matching(text, 0), (Ids{40})) << text;
    EXPECT_EQ(filter.matching("$40", 0), Ids{}); // 64: past the items
    EXPECT_EQ(filter.matching("70000", 0), Ids{});
    EXPECT_EQ(filter.matching("-1", 0), Ids{});
    EXPECT_EQ(tb::itemIdFromText("$FFFF"), 0xFFFF);
    EXPECT_EQ(tb::itemIdFromText("$10000"), std::nullopt);
    EXPECT_EQ(tb::itemIdFromText("$"), std::nullopt);
    EXPECT_EQ(tb::itemIdFromText("12a"), std::nullopt);

    // Flags: every required one, with the text or alone.
    EXPECT_EQ(filter.matching("", Impassable), (Ids{1, 2, 3, 5}));
    EXPECT_EQ(filter.matching("", Impassable | Wall), (Ids{2}));
    EXPECT_EQ(filter.matching("tree", Background), (Ids{1}));
    EXPECT_EQ(filter.matching("$3", Wall), Ids{});
    EXPECT_EQ(filter.matching("$3", Impassable), (Ids{3}));

    // Items past the file's entries, or without a file, list by id with no name or flags.
    const tb::ItemFilter longer(data, 100);
    EXPECT_EQ(longer.matching("", 0), range(0, 100));
    EXPECT_EQ(longer.matching("$50", 0), (Ids{80}));
    EXPECT_EQ(longer.matching("tree", 0), (Ids{1, 3, 40}));
    const tb::ItemFilter bare(tb::TileData(), 10);
    EXPECT_EQ(bare.matching("", 0), range(0, 10));
    EXPECT_EQ(bare.matching("9", 0), (Ids{9}));
    EXPECT_EQ(bare.matching("tree", 0), Ids{});
    EXPECT_EQ(bare.matching("", Wall), Ids{});
}

TEST(ItemFilter, ItemCountIsTheFurtherOfTileDataAndArt) {
    const tb::TileData data = tileData({});
    tb::ArtFiles art;
    EXPECT_EQ(tb::artItemCount(art), 0u);
    art.artIndex.assign(100 * 12, 0); // land tiles only
    EXPECT_EQ(tb::artItemCount(art), 0u);
    art.artIndex.assign((0x4000 + 10) * 12, 0); // land tiles and 10 items
    EXPECT_EQ(tb::artItemCount(art), 10u);
    art.artIndex.assign((0x4000 + 0x10005) * 12, 0); // more than ids can name
    EXPECT_EQ(tb::artItemCount(art), 0x10000u);

    EXPECT_EQ(tb::browsableItemCount(tb::TileData(), 0), 0u);
    EXPECT_EQ(tb::browsableItemCount(tb::TileData(), 10), 10u);
    EXPECT_EQ(tb::browsableItemCount(data, 10), 64u);
    EXPECT_EQ(tb::browsableItemCount(data, 100), 100u);
}
