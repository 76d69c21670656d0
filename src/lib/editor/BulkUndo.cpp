#include "editor/BulkUndo.h"

#include "core/MapVariant.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace tb {
namespace {

constexpr int kCellsPerBlock = kCellsPerBlockSide * kCellsPerBlockSide;

unsigned char* blockCells(std::span<unsigned char> map, std::uint32_t block) {
    return map.data() + std::size_t(block) * kBlockSize + kBlockHeaderSize;
}

} // namespace

BulkUndo::BulkUndo(const MapImage& map) {
    if (!map.hasGeometry())
        throw std::logic_error("a bulk undo needs a map with cells");
    m_heightBlocks = std::uint32_t(map.variant()->heightBlocks());
    m_kept.assign(std::size_t(map.variant()->widthBlocks()) * m_heightBlocks, 0);
}

void BulkUndo::keep(const MapImage& map, std::uint32_t block, std::uint8_t what) {
    m_kept[block] |= what;
    const bool tiles = what == kTilesKept;
    Part& part = tiles ? m_tiles : m_altitudes;
    if (!part.runs.empty() && part.runs.back().first + part.runs.back().count == block)
        ++part.runs.back().count;
    else
        part.runs.push_back({block, 1});
    ++part.blocks;
    const unsigned char* cells =
        map.bytes().data() + std::size_t(block) * kBlockSize + kBlockHeaderSize;
    if (tiles) {
        for (int i = 0; i < kCellsPerBlock; ++i) {
            part.bytes.push_back(cells[i * kCellSize]);
            part.bytes.push_back(cells[i * kCellSize + 1]);
        }
    } else {
        for (int i = 0; i < kCellsPerBlock; ++i)
            part.bytes.push_back(cells[i * kCellSize + 2]);
    }
    const auto blockX = std::int32_t(block / m_heightBlocks);
    const auto blockY = std::int32_t(block % m_heightBlocks);
    if (m_maxBlockX < 0) {
        m_minBlockX = m_maxBlockX = blockX;
        m_minBlockY = m_maxBlockY = blockY;
    } else {
        m_minBlockX = std::min(m_minBlockX, blockX);
        m_maxBlockX = std::max(m_maxBlockX, blockX);
        m_minBlockY = std::min(m_minBlockY, blockY);
        m_maxBlockY = std::max(m_maxBlockY, blockY);
    }
}

void BulkUndo::finish() {
    std::vector<std::uint8_t>().swap(m_kept);
    for (Part* part : {&m_tiles, &m_altitudes}) {
        part->runs.shrink_to_fit();
        part->bytes.shrink_to_fit();
    }
}

void BulkUndo::swapWith(MapImage& map) {
    const std::span<unsigned char> bytes = map.writableBytes();
    unsigned char* tiles = m_tiles.bytes.data();
    for (const Part::Run& run : m_tiles.runs)
        for (std::uint32_t block = run.first; block < run.first + run.count; ++block) {
            unsigned char* cells = blockCells(bytes, block);
            for (int i = 0; i < kCellsPerBlock; ++i, tiles += 2) {
                std::swap(tiles[0], cells[i * kCellSize]);
                std::swap(tiles[1], cells[i * kCellSize + 1]);
            }
        }
    unsigned char* altitudes = m_altitudes.bytes.data();
    for (const Part::Run& run : m_altitudes.runs)
        for (std::uint32_t block = run.first; block < run.first + run.count; ++block) {
            unsigned char* cells = blockCells(bytes, block);
            for (int i = 0; i < kCellsPerBlock; ++i, ++altitudes)
                std::swap(*altitudes, cells[i * kCellSize + 2]);
        }
}

std::size_t BulkUndo::cellCount() const {
    return (m_tiles.blocks + m_altitudes.blocks) * kCellsPerBlock;
}

std::size_t BulkUndo::memoryBytes() const {
    std::size_t bytes = sizeof(*this) + m_kept.capacity();
    for (const Part* part : {&m_tiles, &m_altitudes})
        bytes += part->runs.capacity() * sizeof(Part::Run) + part->bytes.capacity();
    return bytes;
}

} // namespace tb
