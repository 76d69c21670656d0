#pragma once
// What tbmap render's two ways of drawing share.

#include "core/MapImage.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tbcli {

// Why cells X1..X2 by Y1..Y2 are no rectangle of `map`, naming the argument; nothing when
// they are one.
std::optional<std::string> cellRangeProblem(const tb::MapImage& map, std::int32_t x1,
                                            std::int32_t y1, std::int32_t x2, std::int32_t y2);

// tbmap render --iso: `positional` are render's seven words (MAP GAMEDIR X1 Y1 X2 Y2 OUT).
int runIsoRender(const std::vector<std::string>& positional, bool withStatics);

} // namespace tbcli
