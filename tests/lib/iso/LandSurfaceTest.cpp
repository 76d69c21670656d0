// The land's shape and light: when a tile is stretched, its corners, how its triangles
// cover the pixels, and the light of level and sloped corners worked out by hand.
#include "iso/LandSurface.h"

#include <gtest/gtest.h>

#include <array>

using namespace tb::iso;

namespace {

Neighbourhood level(int z) {
    Neighbourhood n;
    for (auto& row : n.z)
        row.fill(std::int8_t(z));
    return n;
}

} // namespace

TEST(LandSurface, AnyAltitudeOfTheFourByFourAroundStretchesTheTile) {
    EXPECT_FALSE(differsAround(level(5)));
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            Neighbourhood n = level(5);
            n.z[std::size_t(row)][std::size_t(column)] = 6;
            EXPECT_TRUE(differsAround(n)) << row << "," << column;
        }
    }
}

TEST(LandSurface, CornersAndTheirScreenOffsets) {
    Neighbourhood n = level(10);
    n.z[1][2] = 12; // (X+1, Y): right
    n.z[2][1] = 8;  // (X, Y+1): left
    n.z[0][0] = 50; // no corner
    const Corners c = cornersOf(n);
    EXPECT_EQ(c, (Corners{10, 12, 10, 8}));
    const Quad q = stretchedQuad(c);
    EXPECT_EQ((std::array{q.top, q.right, q.bottom, q.left}),
              (std::array<ScreenPoint, 4>{{{22, -40}, {44, -26}, {22, 4}, {0, -10}}}));
    EXPECT_EQ(quadBounds(q), (ScreenRect{0, -40, 44, 4}));
    const Quad half = stretchedQuad(c, 11);
    EXPECT_EQ(half.right, (ScreenPoint{22, -13}));
    EXPECT_EQ(half.left, (ScreenPoint{0, -5}));
}

TEST(LandSurface, StretchedTilesMeetWithoutGapsOrOverlaps) {
    // Three by three cells whose outer corners are level and whose inner corners rise and
    // fall: together they still cover the big diamond around them, each pixel once.
    int corner[4][4] = {};
    corner[1][1] = 2;
    corner[1][2] = 1;
    corner[2][1] = -1;
    corner[2][2] = 2;
    std::array<Quad, 9> quads;
    std::array<ScreenPoint, 9> at;
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            const Corners c{corner[y][x], corner[y][x + 1], corner[y + 1][x + 1], corner[y + 1][x]};
            quads[std::size_t(y * 3 + x)] = stretchedQuad(c);
            at[std::size_t(y * 3 + x)] = cellPoint(x, y, 0);
        }
    }
    int covered = 0;
    for (int py = 0; py < 132; ++py) {
        for (int px = -44; px < 88; ++px) {
            int count = 0;
            for (std::size_t i = 0; i < quads.size(); ++i)
                count += quadContains(quads[i], {px - at[i].x, py - at[i].y}) ? 1 : 0;
            // The big diamond: centre (22, 66), 66 pixels to each corner.
            const double inside = std::abs(px + 0.5 - 22) + std::abs(py + 0.5 - 66);
            if (inside < 66) {
                EXPECT_EQ(count, 1) << px << "," << py;
            } else if (inside > 66) {
                EXPECT_EQ(count, 0) << px << "," << py;
            }
            covered += count;
        }
    }
    EXPECT_EQ(covered, 9 * 968);
}

TEST(LandSurface, NormalsAndLightOfLevelAndSlopedCorners) {
    const Vector3 flat = cornerNormal(5, 5, 5, 5, 5);
    EXPECT_EQ((std::array{flat.x, flat.y, flat.z}), (std::array{0.0, 0.0, 1.0}));
    EXPECT_NEAR(cornerLight(flat), 0.8536, 1e-4);
    // East one step higher: the cross products sum to (-176, -176, 3872).
    const Vector3 east = cornerNormal(0, 1, 0, 0, 0);
    EXPECT_NEAR(east.x, -176 / 3879.99, 1e-5);
    EXPECT_NEAR(east.y, -176 / 3879.99, 1e-5);
    EXPECT_NEAR(east.z, 3872 / 3879.99, 1e-5);
    EXPECT_NEAR(cornerLight(east), 0.8368, 1e-4);
    // Land rising to the north faces the light; steeply to the south, it turns away.
    EXPECT_NEAR(cornerLight(cornerNormal(0, 0, 0, 0, 3)), 0.8945, 1e-4);
    EXPECT_DOUBLE_EQ(cornerLight(cornerNormal(0, 0, 30, 0, -30)), 0.5);

    // Each corner takes its own neighbours: (X+2, Y) is the right corner's east only.
    Neighbourhood n = level(0);
    n.z[1][3] = 1;
    const CornerLights lights = cornerLights(n);
    EXPECT_NEAR(lights.right, 0.8368, 1e-4);
    for (const double level : {lights.top, lights.bottom, lights.left})
        EXPECT_NEAR(level, 0.8536, 1e-4);
}
