// The order things are drawn in: diagonal, priority, then file order.
#include "iso/DrawOrder.h"

#include "core/TileData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace tb::iso;
using tb::tileflag::Background;

TEST(DrawOrder, PrioritiesOfLandAndItems) {
    // Doubled: flat land at 5 is 3.
    EXPECT_EQ(flatLandPriority(5), 6);
    // Left and right differ least (11, 12): their mean 11.5, less 2.
    EXPECT_EQ(stretchedLandPriority({10, 12, 4, 11}), 19);
    // Top and bottom differ least (10, 11).
    EXPECT_EQ(stretchedLandPriority({10, 20, 11, 0}), 17);
    EXPECT_EQ(itemPriority(10, 0, 0), 20);
    EXPECT_EQ(itemPriority(10, Background, 0), 18);
    EXPECT_EQ(itemPriority(10, 0, 5), 22);
    EXPECT_EQ(itemPriority(10, Background, 5), 20);
}

TEST(DrawOrder, BackToFrontThenByPriorityThenInFileOrder) {
    struct Thing {
        const char* name;
        DrawKey key;
    };
    std::vector<Thing> things{
        {"wall at (10, 10)", {10, 10, itemPriority(0, 0, 20), 1}},
        {"high item at (9, 9)", {9, 9, itemPriority(100, 0, 0), 1}},
        {"land at (10, 10)", {10, 10, flatLandPriority(0), 0}},
        {"second floor item", {10, 10, itemPriority(0, Background, 0), 3}},
        {"first floor item", {10, 10, itemPriority(0, Background, 0), 2}},
        {"(9, 11), as high as the wall", {9, 11, itemPriority(0, 0, 20), 1}},
        {"land at (9, 9) high up", {9, 9, flatLandPriority(120), 0}},
    };
    std::sort(things.begin(), things.end(),
              [](const Thing& a, const Thing& b) { return a.key < b.key; });
    std::vector<std::string> order;
    for (const Thing& t : things)
        order.push_back(t.name);
    // A wall at (10, 10) is drawn after whatever stands at (9, 9), however high; on one
    // diagonal the lower priority first, and of equal ones the smaller X, then file order.
    EXPECT_EQ(order,
              (std::vector<std::string>{"high item at (9, 9)", "land at (9, 9) high up",
                                        "land at (10, 10)", "first floor item", "second floor item",
                                        "(9, 11), as high as the wall", "wall at (10, 10)"}));
    // Negative priorities sort below positive ones.
    EXPECT_LT((DrawKey{5, 5, flatLandPriority(-128), 0}), (DrawKey{5, 5, flatLandPriority(0), 0}));
}
