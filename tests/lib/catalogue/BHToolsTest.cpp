#include "catalogue/BHTools.h"
#include "shell/Errors.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tb;
using Pieces = std::vector<std::string>;

namespace {

// Hands out scripted indexes, so a test decides which id is picked.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<int> values) : m_values(std::move(values)) {}
    int uniform(int n) override {
        lastRange = n;
        return m_values.at(m_next++);
    }
    int lastRange = -1;

private:
    std::vector<int> m_values;
    std::size_t m_next = 0;
};

void expectNotSpacedHex(std::string_view text, int bytes) {
    try {
        spacedHexToInt(text, bytes);
        ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "Input not SpacedHex");
    }
}

} // namespace

TEST(BHTools, IntToSpacedHex) {
    EXPECT_EQ(intToSpacedHex(0, 2), "00 00");
    EXPECT_EQ(intToSpacedHex(0x011A, 2), "01 1A");
    EXPECT_EQ(intToSpacedHex(467, 2), "01 D3");
    EXPECT_EQ(intToSpacedHex(0x12345678, 4), "12 34 56 78");
    EXPECT_EQ(intToSpacedHex(0xABCDEF, 3), "AB CD EF");
    EXPECT_EQ(intToSpacedHex(0x1FF, 1), "FF"); // only the requested bytes
    EXPECT_EQ(intToSpacedHex(-1, 4), "FF FF FF FF");
    EXPECT_EQ(intToSpacedHex(0xFFFFFFFFu, 4), "FF FF FF FF");
    EXPECT_THROW(intToSpacedHex(1, 0), RangeError);
    EXPECT_THROW(intToSpacedHex(1, 5), RangeError);
}

TEST(BHTools, SpacedHexToInt) {
    EXPECT_EQ(spacedHexToInt("01 1A", 2), 0x011A);
    EXPECT_EQ(spacedHexToInt("011a", 2), 0x011A);
    EXPECT_EQ(spacedHexToInt("0 1 1 A", 2), 0x011A);
    EXPECT_EQ(spacedHexToInt("  01  1A  ", 2), 0x011A);
    EXPECT_EQ(spacedHexToInt("12 34 56 78", 4), 0x12345678);
    EXPECT_EQ(spacedHexToInt("FF FF FF FF", 4), -1);
    EXPECT_EQ(spacedHexToInt(intToSpacedHex(0xBEEF, 2), 2), 0xBEEF);
    for (const char* bad :
         {"1a", "011G", "", "01 1A 00", "01\t1A", "01-1A", "0x1A", "01 1A\r\n", "\xC3\xA9\xC3\xA9"})
        expectNotSpacedHex(bad, 2);
    expectNotSpacedHex("01 1A", 4);
    expectNotSpacedHex("12 34 56 78 9A", 4);
}

TEST(BHTools, SplitText) {
    EXPECT_EQ(splitText(",", "$0245,$0246\r\n"), (Pieces{"$0245", "$0246"}));
    EXPECT_EQ(splitText(",", ""), (Pieces{""}));
    EXPECT_EQ(splitText(",", "a,b,"), (Pieces{"a", "b", ""}));
    // Inner pieces are not trimmed; only the last one loses trailing white space.
    EXPECT_EQ(splitText(",", " a , b \t\r\n"), (Pieces{" a ", " b"}));
    EXPECT_EQ(splitText(",", "a\r\n,b"), (Pieces{"a\r\n", "b"}));
    EXPECT_EQ(splitText(",", ",,"), (Pieces{"", "", ""}));
    EXPECT_EQ(splitText("::", "a::b:c"), (Pieces{"a", "b:c"}));
    EXPECT_EQ(splitText("", "a,b "), (Pieces{"a,b"}));
    EXPECT_EQ(splitText(",", "caf\xC3\xA9,\xC3\xA9"), (Pieces{"caf\xC3\xA9", "\xC3\xA9"}));
}

TEST(BHTools, SplitIntTriple) {
    int a = -7, b = -8, c = -9;
    EXPECT_TRUE(splitIntTriple(",", "1,2,$0245\r\n", a, b, c));
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{1, 2, 0x245}));

    a = b = c = -1;
    EXPECT_TRUE(splitIntTriple(",", "1,2,3,4", a, b, c)); // a later middle piece wins
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{1, 3, 4}));

    a = b = c = -1;
    EXPECT_TRUE(splitIntTriple(",", "5,6", a, b, c)); // no middle piece
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{5, -1, 6}));

    a = b = c = -1;
    EXPECT_TRUE(splitIntTriple(",", "42", a, b, c)); // no separator: the last value only
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{-1, -1, 42}));

    // A piece that is no integer ends the walk; later values keep theirs.
    a = b = c = -1;
    EXPECT_FALSE(splitIntTriple(",", "1,x,3", a, b, c));
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{1, -1, -1}));
    a = b = c = -1;
    EXPECT_FALSE(splitIntTriple(",", "1,2 ,3", a, b, c)); // inner pieces are not trimmed
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{1, -1, -1}));
    a = b = c = -1;
    EXPECT_FALSE(splitIntTriple(",", "1,2,", a, b, c));
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{1, 2, -1}));
    a = b = c = -1;
    EXPECT_FALSE(splitIntTriple(",", "", a, b, c));
    EXPECT_EQ((std::vector{a, b, c}), (std::vector{-1, -1, -1}));
}

TEST(BHTools, RandomTileIdReadsThePickedId) {
    const TTileNamed group{"Mixed", {"$0003", "17", "-2", "$FFFFFFFF"}};
    ScriptedRandom random({0, 1, 2, 3});
    EXPECT_EQ(randomTileId(group, random), 3);
    EXPECT_EQ(random.lastRange, 4);
    EXPECT_EQ(randomTileId(group, random), 17);
    EXPECT_EQ(randomTileId(group, random), -2);
    EXPECT_EQ(randomTileId(group, random), -1);
}

TEST(BHTools, RandomTileIdFailures) {
    MtRandomSource random(1);
    try {
        randomTileId(TileNamed{"Empty", {}}, random);
        ADD_FAILURE() << "picked from an empty group";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (0)");
    }
    try {
        randomTileId(TileNamed{"Bad", {"grass"}}, random);
        ADD_FAILURE() << "accepted a non-integer id";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'grass' is not a valid integer value");
    }
    // A source that misbehaves is caught, not followed outside the list.
    ScriptedRandom broken({5});
    try {
        randomTileId(TileNamed{"Two", {"1", "2"}}, broken);
        ADD_FAILURE() << "used index 5";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (5)");
    }
}

TEST(BHTools, RandomTileIdFollowsHowOftenAnIdIsListed) {
    const TileNamed group{"Sand", {"$0003", "$0003", "$0004", "$0003"}};
    MtRandomSource random(20261208);
    std::map<int, int> counts;
    const int draws = 40000;
    for (int i = 0; i < draws; ++i)
        ++counts[randomTileId(group, random)];
    ASSERT_EQ(counts.size(), 2u);
    // Expected 30000 : 10000; the bounds are many standard deviations (about 87) wide.
    EXPECT_NEAR(counts[3], 30000, 1000);
    EXPECT_NEAR(counts[4], 10000, 1000);
}

TEST(BHTools, MtRandomSourceCoversItsRangeReproducibly) {
    MtRandomSource first(7), second(7);
    std::vector<int> seen(5, 0);
    for (int i = 0; i < 1000; ++i) {
        const int v = first.uniform(5);
        ASSERT_EQ(v, second.uniform(5));
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 5);
        ++seen[std::size_t(v)];
    }
    for (const int count : seen)
        EXPECT_GT(count, 100);
    EXPECT_EQ(first.uniform(1), 0);
}
