#include "editor/Navigation.h"

#include "shell/Errors.h"

#include <gtest/gtest.h>

using tb::ArrowKey;
using tb::ScrollPosition;

namespace {

TEST(Jump, ClampsToTheGrid) {
    const tb::JumpPlan plan = tb::planJump("-5", "999999", 2304, 1600, 40, 40);
    EXPECT_EQ(plan.x, 0);
    EXPECT_EQ(plan.y, 1599);
    EXPECT_FALSE(plan.preColumn);
    EXPECT_FALSE(plan.preRow);
}

TEST(Jump, PreSelectsWhenTargetIsAlreadySelected) {
    tb::JumpPlan plan = tb::planJump("100", "0", 2304, 1600, 100, 0);
    EXPECT_EQ(plan.preColumn, 99);
    EXPECT_EQ(plan.preRow, 1); // |0 - 1|
    plan = tb::planJump("100", "7", 2304, 1600, 5, 7);
    EXPECT_FALSE(plan.preColumn);
    EXPECT_EQ(plan.preRow, 6);
}

TEST(Jump, TextThatIsNoNumberFails) {
    try {
        tb::planJump("12", "abc", 2304, 1600, 0, 0);
        FAIL() << "no error";
    } catch (const tb::ConversionError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
    EXPECT_THROW(tb::planJump("", "5", 2304, 1600, 0, 0), tb::ConversionError);
}

TEST(ArrowKeys, ScrollOneStepUntilTheEdge) {
    EXPECT_EQ(tb::scrollForArrowKey(ArrowKey::Left, {0, 5}, 100, 100), (ScrollPosition{0, 5}));
    EXPECT_EQ(tb::scrollForArrowKey(ArrowKey::Left, {3, 5}, 100, 100), (ScrollPosition{2, 5}));
    EXPECT_EQ(tb::scrollForArrowKey(ArrowKey::Up, {3, 0}, 100, 100), (ScrollPosition{3, 0}));
    EXPECT_EQ(tb::scrollForArrowKey(ArrowKey::Up, {3, 5}, 100, 100), (ScrollPosition{3, 4}));
    EXPECT_EQ(tb::scrollForArrowKey(ArrowKey::Right, {98, 5}, 100, 100), (ScrollPosition{99, 5}));
    EXPECT_EQ(tb::scrollForArrowKey(ArrowKey::Right, {99, 5}, 100, 100), (ScrollPosition{99, 5}));
    EXPECT_EQ(tb::scrollForArrowKey(ArrowKey::Down, {0, 99}, 100, 100), (ScrollPosition{0, 99}));
    EXPECT_EQ(tb::scrollForArrowKey(ArrowKey::Down, {0, 98}, 100, 100), (ScrollPosition{0, 99}));
}

TEST(InsertKey, ListTextsAndDuplicateCheck) {
    EXPECT_EQ(tb::insertedCellTexts(12, 34, {0x1D3, -5}),
              (std::array<std::string, 4>{"12", "34", "-5", "01 D3"}));
    const std::vector<std::pair<std::string, std::string>> list{{"1", "2"}, {"12", "34"}};
    EXPECT_TRUE(tb::coordsOnList(list, 12, 34));
    EXPECT_FALSE(tb::coordsOnList(list, 34, 12));
    EXPECT_FALSE(tb::coordsOnList({{"012", "34"}}, 12, 34));
    EXPECT_TRUE(tb::coordsOnList({{"012", "34"}}, "012", "34"));
    EXPECT_EQ(tb::kCoordsOnListMessage, "This coords are on list!");
}

} // namespace
