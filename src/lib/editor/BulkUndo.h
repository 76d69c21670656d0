#pragma once
// The undo of one operation that may change any number of cells (a heightmap import, a
// patch): instead of a row per cell it keeps, for each 8 x 8 block it changed, the block's
// tile ids as they were, its altitudes as they were, or both, whichever the operation
// changed. A whole-map import of altitudes keeps 64 bytes per block, a third of the map.

#include "core/MapImage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tb {

class BulkUndo {
public:
    // Ready to record changes of `map`; map must have geometry.
    explicit BulkUndo(const MapImage& map);

    // Called before `value` is written to cell (x, y), which lies inside the map: the first
    // write that changes a tile id (or an altitude) of a block keeps that block's tile ids
    // (or altitudes) as they are then, which are still the ones from before the operation.
    void beforeWrite(const MapImage& map, std::int32_t x, std::int32_t y, MapCell value) {
        const MapCell old = map.cellUnchecked(x, y);
        if (old == value) [[unlikely]]
            return;
        const std::uint32_t block = std::uint32_t(x / 8) * m_heightBlocks + std::uint32_t(y / 8);
        std::uint8_t& kept = m_kept[block];
        if (old.tileId != value.tileId && !(kept & kTilesKept))
            keep(map, block, kTilesKept);
        if (old.altitude != value.altitude && !(kept & kAltitudesKept))
            keep(map, block, kAltitudesKept);
    }
    // The operation is over: drops what only recording needed.
    void finish();

    // No block was changed.
    bool empty() const { return m_tiles.blocks == 0 && m_altitudes.blocks == 0; }
    // Exchanges the kept values with the map's: the first call undoes the operation, the
    // next one redoes it, and so on.
    void swapWith(MapImage& map);

    // The rectangle of the changed blocks, in cells, both corners included.
    std::int32_t left() const { return m_minBlockX * 8; }
    std::int32_t top() const { return m_minBlockY * 8; }
    std::int32_t right() const { return m_maxBlockX * 8 + 7; }
    std::int32_t bottom() const { return m_maxBlockY * 8 + 7; }
    // Cells that swapWith() writes, a cell whose tile id and altitude are both kept counting
    // twice.
    std::size_t cellCount() const;
    // Bytes held, the recording state included until finish().
    std::size_t memoryBytes() const;

private:
    static constexpr std::uint8_t kTilesKept = 1;
    static constexpr std::uint8_t kAltitudesKept = 2;

    // The kept values of one kind: runs of consecutive block numbers and the values of
    // every block of them, in order.
    struct Part {
        struct Run {
            std::uint32_t first;
            std::uint32_t count;
        };
        std::vector<Run> runs;
        std::vector<unsigned char> bytes;
        std::size_t blocks = 0;
    };

    void keep(const MapImage& map, std::uint32_t block, std::uint8_t what);

    std::uint32_t m_heightBlocks = 0;
    std::vector<std::uint8_t> m_kept; // per block, while recording
    Part m_tiles;                     // 128 bytes a block
    Part m_altitudes;                 // 64 bytes a block
    std::int32_t m_minBlockX = 0;
    std::int32_t m_minBlockY = 0;
    std::int32_t m_maxBlockX = -1;
    std::int32_t m_maxBlockY = -1;
};

} // namespace tb
