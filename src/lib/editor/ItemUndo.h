#pragma once
// The undo of one edit of items: the records of every statics block the edit changed, as
// they were before it. Taking the step back swaps them with the blocks' present records, so
// the same step then brings the edit back.

#include "core/StaticsMap.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tb {

class ItemUndo {
public:
    // Keeps block `b`'s records as they are now, unless the step holds that block already
    // (the first write of an edit is the one that counts).
    void keep(const StaticsMap& statics, std::size_t b);
    bool empty() const { return m_blocks.empty(); }
    bool holds(std::size_t b) const;

    // Exchanges the kept records with the blocks' present ones: the first call undoes the
    // edit, the next one redoes it. Throws std::logic_error when a block is not editable
    // (statics of another map).
    void swapWith(StaticsMap& statics);

    // The kept blocks, in the order they were first changed, with their records.
    using Block = std::pair<std::size_t, std::vector<StaticRecord>>;
    const std::vector<Block>& blocks() const { return m_blocks; }
    std::size_t memoryBytes() const;

private:
    std::vector<Block> m_blocks;
};

} // namespace tb
