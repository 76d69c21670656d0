#include "editor/Navigation.h"

#include "shell/NumberText.h"
#include "shell/SpacedHex.h"

#include <algorithm>
#include <cstdlib>

namespace tb {

JumpPlan planJump(std::string_view xText, std::string_view yText, std::int32_t columns,
                  std::int32_t rows, std::int32_t selectedColumn, std::int32_t selectedRow) {
    // Both texts are read before anything is decided, so a bad box moves nothing.
    const std::int32_t xValue = strToInt(xText);
    const std::int32_t yValue = strToInt(yText);
    JumpPlan plan;
    plan.x = std::clamp(xValue, 0, std::max(columns - 1, 0));
    plan.y = std::clamp(yValue, 0, std::max(rows - 1, 0));
    // x - 1, or 1 when x is 0; skipped on a grid too narrow to hold it.
    const std::int32_t otherColumn = std::abs(plan.x - 1);
    const std::int32_t otherRow = std::abs(plan.y - 1);
    if (selectedColumn == plan.x && otherColumn < columns)
        plan.preColumn = otherColumn;
    if (selectedRow == plan.y && otherRow < rows)
        plan.preRow = otherRow;
    return plan;
}

ScrollPosition scrollForArrowKey(ArrowKey key, ScrollPosition now, std::int32_t columns,
                                 std::int32_t rows) {
    switch (key) {
    case ArrowKey::Left:
        if (now.leftColumn > 0)
            --now.leftColumn;
        break;
    case ArrowKey::Up:
        if (now.topRow > 0)
            --now.topRow;
        break;
    case ArrowKey::Right:
        if (now.leftColumn < columns - 1)
            ++now.leftColumn;
        break;
    case ArrowKey::Down:
        if (now.topRow < rows - 1)
            ++now.topRow;
        break;
    }
    return now;
}

bool coordsOnList(const std::vector<std::pair<std::string, std::string>>& xyTexts,
                  std::string_view xText, std::string_view yText) {
    for (const auto& [itemX, itemY] : xyTexts)
        if (itemX == xText && itemY == yText)
            return true;
    return false;
}

bool coordsOnList(const std::vector<std::pair<std::string, std::string>>& xyTexts, std::int32_t x,
                  std::int32_t y) {
    return coordsOnList(xyTexts, std::to_string(x), std::to_string(y));
}

std::array<std::string, 4> insertedCellTexts(std::int32_t x, std::int32_t y, MapCell cell) {
    return {std::to_string(x), std::to_string(y), std::to_string(int(cell.altitude)),
            intToSpacedHex(cell.tileId, 2)};
}

} // namespace tb
