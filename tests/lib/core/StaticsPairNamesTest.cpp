// Which facet's statics pair a map file uses, and how the pair is spelt: the one decision the
// editor and tbmap share, so neither falls back to another facet's items.
#include "core/StaticsFiles.h"

#include <gtest/gtest.h>

TEST(StaticsPairNames, TheFacetComesFromTheMapsNameOnly) {
    EXPECT_EQ(tb::staticsFacetOf("maps/MAP3.mul"), 3);
    EXPECT_EQ(tb::staticsFacetOf("map5LegacyMUL.uop"), 5);
    EXPECT_EQ(tb::staticsFacetOf("world.mul"), std::nullopt);
    EXPECT_EQ(tb::staticsFacetOf(""), std::nullopt);
    EXPECT_EQ(tb::staticsFacetOf("map9.mul"), std::nullopt);
    const tb::StaticsFilePaths pair = tb::staticsPairIn("game", 4);
    EXPECT_EQ(pair.index, std::filesystem::path("game") / "staidx4.mul");
    EXPECT_EQ(pair.data, std::filesystem::path("game") / "statics4.mul");
}
