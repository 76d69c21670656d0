#pragma once
// The names of the diff generation's input files. The map may be map0.mul or the container
// that current clients ship instead, map0LegacyMUL.uop.

#include <array>
#include <string_view>

namespace tb {

// The map's names, lower case, in the order a folder is searched for them.
inline constexpr std::array<std::string_view, 2> kDiffMapNames{"map0.mul", "map0legacymul.uop"};

// True when `fileName` (directory ignored, case-insensitive) is the input `expected`
// ("staidx0.mul", "statics0.mul" or "map0.mul"); for "map0.mul" any of kDiffMapNames.
bool isDiffInputName(std::string_view fileName, std::string_view expected);

} // namespace tb
