#include "editor/ItemUndo.h"

#include <algorithm>

namespace tb {

bool ItemUndo::holds(std::size_t b) const {
    return std::any_of(m_blocks.begin(), m_blocks.end(),
                       [b](const Block& block) { return block.first == b; });
}

void ItemUndo::keep(const StaticsMap& statics, std::size_t b) {
    // An edit changes a few blocks, so a list is searched faster than a map is kept.
    if (!holds(b))
        m_blocks.emplace_back(b, statics.records(b));
}

void ItemUndo::swapWith(StaticsMap& statics) {
    for (Block& block : m_blocks) {
        std::vector<StaticRecord> present = statics.records(block.first);
        statics.setRecords(block.first, block.second);
        block.second = std::move(present);
    }
}

std::size_t ItemUndo::memoryBytes() const {
    std::size_t bytes = sizeof(ItemUndo) + m_blocks.capacity() * sizeof(Block);
    for (const Block& block : m_blocks)
        bytes += block.second.capacity() * sizeof(StaticRecord);
    return bytes;
}

} // namespace tb
