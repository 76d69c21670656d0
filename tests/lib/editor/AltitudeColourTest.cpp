#include "editor/AltitudeColour.h"

#include <gtest/gtest.h>

namespace {

tb::Rgb rgb(int r, int g, int b) {
    return {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)};
}

TEST(AltitudeColour, WorkedValues) {
    EXPECT_EQ(tb::altitudeColour(0), rgb(0, 127, 0));
    EXPECT_EQ(tb::altitudeColour(-49), rgb(0, 39, 39));
    EXPECT_EQ(tb::altitudeColour(-48), rgb(128, 167, 39));
    EXPECT_EQ(tb::altitudeColour(127), rgb(254, 0, 254));
    EXPECT_EQ(tb::altitudeColour(-127), rgb(0, 0, 0));
}

TEST(AltitudeColour, BandEdges) {
    // Last grey of the lowest band, then the first green: t = 27 and t = 28.
    EXPECT_EQ(tb::altitudeColour(-100), rgb(27, 27, 27));
    EXPECT_EQ(tb::altitudeColour(-99), rgb(0, 56, 0));
    EXPECT_EQ(tb::altitudeColour(-50), rgb(0, 154, 0));
    // t = 126: even, so no red and the halves without the 128 offset.
    EXPECT_EQ(tb::altitudeColour(-1), rgb(0, 63, 63));
    EXPECT_EQ(tb::altitudeColour(50), rgb(0, 177, 0));
    EXPECT_EQ(tb::altitudeColour(51), rgb(178, 178, 178));
    EXPECT_EQ(tb::altitudeColour(100), rgb(227, 227, 227));
    EXPECT_EQ(tb::altitudeColour(101), rgb(228, 0, 228));
}

TEST(AltitudeColour, LowestAltitudeHasItsFixedColour) {
    EXPECT_EQ(tb::altitudeColour(-128), tb::kLowestAltitudeColour);
    // Out-of-range inputs are clamped rather than wrapped into another band.
    EXPECT_EQ(tb::altitudeColour(-1000), tb::kLowestAltitudeColour);
    EXPECT_EQ(tb::altitudeColour(1000), tb::altitudeColour(127));
}

} // namespace
