#include "catalogue/TileGroup.h"

#include "shell/NumberText.h"

#include <stdexcept>

namespace tb {

CheckedValue<std::uint16_t> checkedTileId(std::int32_t value) {
    if (value < 0 || value > 0xFFFF)
        return CheckedValue<std::uint16_t>::outOfRange();
    return static_cast<std::uint16_t>(value);
}

CheckedValue<std::uint16_t> readTileId(std::string_view text) {
    if (const auto value = tryStrToInt(text))
        return checkedTileId(*value);
    return CheckedValue<std::uint16_t>::notANumber(notAnIntegerMessage(text));
}

TileGroup tileGroup(const TileNamed& named) {
    TileGroup group{named.tileName, {}};
    group.ids.reserve(named.tileIds.size());
    for (const std::string& id : named.tileIds)
        group.ids.push_back(readTileId(id));
    return group;
}

std::vector<TileGroup> tileGroups(const std::vector<TileNamed>& named) {
    std::vector<TileGroup> groups;
    groups.reserve(named.size());
    for (const TileNamed& group : named)
        groups.push_back(tileGroup(group));
    return groups;
}

std::uint16_t randomTileId(const TileGroup& group, RandomSource& random) {
    const auto count = static_cast<int>(group.ids.size());
    const int index = count > 0 ? random.uniform(count) : 0;
    if (index < 0 || index >= count)
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return group.ids[std::size_t(index)].get();
}

} // namespace tb
