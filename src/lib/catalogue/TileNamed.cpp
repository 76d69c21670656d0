#include "catalogue/TileNamed.h"

#include "shell/NumberText.h"

#include <stdexcept>

namespace tb {

std::int32_t randomTileId(const TileNamed& group, RandomSource& random) {
    const auto count = static_cast<int>(group.tileIds.size());
    const int index = count > 0 ? random.uniform(count) : 0;
    if (index < 0 || index >= count)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return strToInt(group.tileIds[std::size_t(index)]);
}

} // namespace tb
