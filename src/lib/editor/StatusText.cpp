#include "editor/StatusText.h"

#include "catalogue/BHTools.h"

namespace tb {
namespace {

std::string twoByteSpacedHex(std::uint16_t value) {
    return intToSpacedHex(value, 2);
}

} // namespace

std::string positionStatusText(std::int32_t x, std::int32_t y, const std::optional<MapCell>& cell) {
    std::string text = "X=" + std::to_string(x) + " - Y=" + std::to_string(y);
    if (cell)
        text += " - Altitude=" + std::to_string(int(cell->altitude)) +
                " - Tile=" + twoByteSpacedHex(cell->tileId);
    else
        text += " - Wrong filename";
    return text;
}

std::string modeStatusText(int altitudeMode, std::string_view zText, int drawModeIndex,
                           std::uint16_t selectedTile, std::string_view drawModeText) {
    std::string text = "Selected mode: ";
    switch (altitudeMode) {
    case kAddZ:
        text += "Add " + std::string(zText) + " to current altitude";
        break;
    case kSubtractZ:
        text += "Subtract " + std::string(zText) + " from current altitude";
        break;
    case kSetToZ:
        text += "Set altitude to " + std::string(zText);
        break;
    case kOnlyChangeTile:
        text += "Only draw tile without set altitude";
        break;
    default:
        break;
    }
    switch (drawModeIndex) {
    case kDontDraw:
        text += " - Drawing disabled";
        break;
    case kSelectedTile:
        text += " - Selected tile=" + twoByteSpacedHex(selectedTile);
        break;
    case kAltitudeOnly:
        text += " - Drawing altitude only";
        break;
    default:
        if (drawModeIndex >= kFirstTileGroup)
            text += " - Selected group: \"" + std::string(drawModeText) + "\"";
        break;
    }
    return text;
}

} // namespace tb
