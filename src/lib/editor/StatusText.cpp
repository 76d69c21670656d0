#include "editor/StatusText.h"

#include "shell/SpacedHex.h"

namespace tb {
namespace {

std::string twoByteSpacedHex(std::uint16_t value) {
    return intToSpacedHex(value, 2);
}

} // namespace

std::string positionStatusText(std::int32_t x, std::int32_t y, const std::optional<MapCell>& cell,
                               bool mapPathValid) {
    std::string text = "X=" + std::to_string(x) + " - Y=" + std::to_string(y);
    if (cell)
        text += " - Altitude=" + std::to_string(int(cell->altitude)) +
                " - Tile=" + twoByteSpacedHex(cell->tileId);
    else
        text += mapPathValid ? " - No map loaded" : " - Wrong filename";
    return text;
}

std::string modeStatusText(AltitudeMode altitudeMode, std::string_view zText, DrawMode drawMode,
                           std::uint16_t selectedTile, std::string_view groupName) {
    std::string text = "Selected mode: ";
    switch (altitudeMode) {
    case AltitudeMode::AddZ:
        text += "Add " + std::string(zText) + " to current altitude";
        break;
    case AltitudeMode::SubtractZ:
        text += "Subtract " + std::string(zText) + " from current altitude";
        break;
    case AltitudeMode::SetToZ:
        text += "Set altitude to " + std::string(zText);
        break;
    case AltitudeMode::OnlyChangeTile:
        text += "Only draw tile without set altitude";
        break;
    }
    switch (drawMode) {
    case DrawMode::DontDraw:
        text += " - Drawing disabled";
        break;
    case DrawMode::SelectedTile:
        text += " - Selected tile=" + twoByteSpacedHex(selectedTile);
        break;
    case DrawMode::AltitudeOnly:
        text += " - Drawing altitude only";
        break;
    case DrawMode::TileGroup:
        text += " - Selected group: \"" + std::string(groupName) + "\"";
        break;
    }
    return text;
}

} // namespace tb
