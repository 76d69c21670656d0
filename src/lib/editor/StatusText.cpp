#include "editor/StatusText.h"

namespace tb {
namespace {

// Two bytes as upper-case hex pairs, high byte first, one blank between: 168 -> "00 A8".
std::string twoByteSpacedHex(std::uint16_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text(5, ' ');
    text[0] = kDigits[(value >> 12) & 0xF];
    text[1] = kDigits[(value >> 8) & 0xF];
    text[3] = kDigits[(value >> 4) & 0xF];
    text[4] = kDigits[value & 0xF];
    return text;
}

} // namespace

std::string positionStatusText(std::int32_t x, std::int32_t y,
                               const std::optional<MapCell>& cell) {
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
