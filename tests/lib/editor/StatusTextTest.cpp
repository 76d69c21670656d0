#include "editor/StatusText.h"

#include <gtest/gtest.h>

namespace {

TEST(StatusText, PositionWithAndWithoutCell) {
    EXPECT_EQ(tb::positionStatusText(12, 34, tb::MapCell{168, -5}),
              "X=12 - Y=34 - Altitude=-5 - Tile=00 A8");
    EXPECT_EQ(tb::positionStatusText(0, 0, tb::MapCell{0xFFFF, 127}),
              "X=0 - Y=0 - Altitude=127 - Tile=FF FF");
    EXPECT_EQ(tb::positionStatusText(3, 4, tb::MapCell{467, 0}),
              "X=3 - Y=4 - Altitude=0 - Tile=01 D3");
    EXPECT_EQ(tb::positionStatusText(0, 0, std::nullopt), "X=0 - Y=0 - Wrong filename");
    EXPECT_EQ(tb::positionStatusText(0, 0, std::nullopt, true), "X=0 - Y=0 - No map loaded");
}

TEST(StatusText, AltitudeModes) {
    EXPECT_EQ(tb::modeStatusText(tb::AltitudeMode::AddZ, "7", tb::DrawMode::DontDraw, 0, ""),
              "Selected mode: Add 7 to current altitude - Drawing disabled");
    EXPECT_EQ(tb::modeStatusText(tb::AltitudeMode::SubtractZ, "-3", tb::DrawMode::DontDraw, 0, ""),
              "Selected mode: Subtract -3 from current altitude - Drawing disabled");
    EXPECT_EQ(tb::modeStatusText(tb::AltitudeMode::SetToZ, "12", tb::DrawMode::AltitudeOnly, 0, ""),
              "Selected mode: Set altitude to 12 - Drawing altitude only");
    EXPECT_EQ(tb::modeStatusText(tb::AltitudeMode::OnlyChangeTile, "0", tb::DrawMode::DontDraw, 0,
                                 "Don't draw"),
              "Selected mode: Only draw tile without set altitude - Drawing disabled");
}

TEST(StatusText, DrawModes) {
    EXPECT_EQ(tb::modeStatusText(tb::AltitudeMode::OnlyChangeTile, "0", tb::DrawMode::SelectedTile,
                                 0x1D3, "Selected tile from list"),
              "Selected mode: Only draw tile without set altitude - Selected tile=01 D3");
    EXPECT_EQ(tb::modeStatusText(tb::AltitudeMode::OnlyChangeTile, "0", tb::DrawMode::TileGroup, 0,
                                 "Grass"),
              "Selected mode: Only draw tile without set altitude - Selected group: \"Grass\"");
}

} // namespace
