#include "share/StrokeBlocks.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace tb {
namespace {

std::size_t cellOffsetInBlock(std::int32_t x, std::int32_t y) {
    return std::size_t(kBlockHeaderSize) + std::size_t(y % 8) * (kCellsPerBlockSide * kCellSize) +
           std::size_t(x % 8) * kCellSize;
}

MapCell readCell(const unsigned char* p) {
    return {static_cast<std::uint16_t>(p[0] | (p[1] << 8)), static_cast<std::int8_t>(p[2])};
}

void writeCell(unsigned char* p, MapCell cell) {
    p[0] = static_cast<unsigned char>(cell.tileId);
    p[1] = static_cast<unsigned char>(cell.tileId >> 8);
    p[2] = static_cast<unsigned char>(cell.altitude);
}

// The first record of `records` that is `item`.
std::vector<StaticRecord>::iterator findItem(std::vector<StaticRecord>& records,
                                             const PlacedItem& item) {
    return std::find(records.begin(), records.end(), recordOf(item));
}

void sortUnique(std::vector<std::uint32_t>& blocks) {
    std::sort(blocks.begin(), blocks.end());
    blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
}

} // namespace

std::vector<unsigned char> staticRecordBytes(const std::vector<StaticRecord>& records) {
    std::vector<unsigned char> bytes(records.size() * kStaticRecordSize);
    for (std::size_t i = 0; i < records.size(); ++i)
        writeStaticRecord(bytes.data() + i * kStaticRecordSize, records[i]);
    return bytes;
}

StrokeBlocks::StrokeBlocks(const Stroke& stroke, int widthBlocks, int heightBlocks)
    : m_stroke(stroke), m_widthBlocks(widthBlocks), m_heightBlocks(heightBlocks) {
    m_cellsByBlock.reserve(stroke.cells.size());
    for (std::size_t i = 0; i < stroke.cells.size(); ++i) {
        const std::uint32_t block = blockOf(stroke.cells[i].x, stroke.cells[i].y);
        m_cellsByBlock.emplace_back(block, std::uint32_t(i));
        m_land.push_back(block);
    }
    std::stable_sort(m_cellsByBlock.begin(), m_cellsByBlock.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const ItemEdit& edit : stroke.items) {
        if (edit.kind != ItemEditKind::Add)
            m_statics.push_back(blockOf(edit.before.x, edit.before.y));
        if (edit.kind != ItemEditKind::Remove)
            m_statics.push_back(blockOf(edit.after.x, edit.after.y));
    }
    sortUnique(m_land);
    sortUnique(m_statics);
}

std::uint32_t StrokeBlocks::blockOf(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x / 8 >= m_widthBlocks || y / 8 >= m_heightBlocks)
        throw std::out_of_range("cell " + std::to_string(x) + "," + std::to_string(y) +
                                " of the stroke is outside the map");
    return std::uint32_t(x / 8) * std::uint32_t(m_heightBlocks) + std::uint32_t(y / 8);
}

void StrokeBlocks::applyLand(std::uint32_t block, std::span<unsigned char> bytes,
                             StrokeApplication& counts) const {
    if (bytes.size() != std::size_t(kBlockSize))
        throw std::invalid_argument("a land block is 196 bytes");
    const auto first = std::lower_bound(m_cellsByBlock.begin(), m_cellsByBlock.end(), block,
                                        [](const std::pair<std::uint32_t, std::uint32_t>& e,
                                           std::uint32_t b) { return e.first < b; });
    for (auto it = first; it != m_cellsByBlock.end() && it->first == block; ++it) {
        const CellEdit& edit = m_stroke.cells[it->second];
        unsigned char* p = bytes.data() + cellOffsetInBlock(edit.x, edit.y);
        if (m_stroke.mode == StrokeMode::WhereUnchanged && !(readCell(p) == edit.before)) {
            ++counts.cellsLeft;
            continue;
        }
        writeCell(p, edit.after);
        ++counts.cellsWritten;
    }
}

void StrokeBlocks::applyItems(std::map<std::uint32_t, std::vector<StaticRecord>>& records,
                              StrokeApplication& counts) const {
    const bool builderWins = m_stroke.mode == StrokeMode::BuilderWins;
    auto recordsOf = [&](const PlacedItem& item) -> std::vector<StaticRecord>* {
        const auto it = records.find(blockOf(item.x, item.y));
        return it == records.end() ? nullptr : &it->second;
    };
    for (const ItemEdit& edit : m_stroke.items) {
        switch (edit.kind) {
        case ItemEditKind::Add:
            if (auto* to = recordsOf(edit.after)) {
                to->push_back(recordOf(edit.after));
                ++counts.itemsApplied;
            }
            break;
        case ItemEditKind::Remove: {
            auto* from = recordsOf(edit.before);
            if (!from)
                break;
            const auto found = findItem(*from, edit.before);
            if (found == from->end()) {
                ++counts.itemsLeft;
                break;
            }
            from->erase(found);
            ++counts.itemsApplied;
            break;
        }
        case ItemEditKind::Replace: {
            auto* from = recordsOf(edit.before);
            auto* to = recordsOf(edit.after);
            const bool found = from && findItem(*from, edit.before) != from->end();
            if (from && !found && !builderWins) {
                ++counts.itemsLeft;
                break;
            }
            // The builder's item stands where the stroke put it, even when someone else
            // changed the one it replaced: nothing of the stroke is dropped.
            if (found && from == to) {
                *findItem(*from, edit.before) = recordOf(edit.after);
            } else {
                if (found)
                    from->erase(findItem(*from, edit.before));
                if (to)
                    to->push_back(recordOf(edit.after));
            }
            ++counts.itemsApplied;
            break;
        }
        }
    }
}

StrokeApplication applyStroke(const Stroke& stroke, FacetCopy& copy) {
    const MapImage& map = copy.map();
    const StaticsMap& statics = copy.statics();
    const int heightBlocks = map.hasGeometry() ? map.variant()->heightBlocks() : 0;
    const int widthBlocks = map.hasGeometry() ? map.variant()->widthBlocks() : 0;
    const StrokeBlocks blocks(stroke, widthBlocks, heightBlocks);
    StrokeApplication counts;
    for (std::uint32_t b : blocks.landBlocks()) {
        const auto* first = map.bytes().data() + std::size_t(b) * kBlockSize;
        std::array<unsigned char, kBlockSize> bytes;
        std::copy(first, first + kBlockSize, bytes.begin());
        blocks.applyLand(b, bytes, counts);
        copy.putLandBlock(b, bytes);
    }
    if (blocks.staticsBlocks().empty())
        return counts;
    std::map<std::uint32_t, std::vector<StaticRecord>> records;
    for (std::uint32_t b : blocks.staticsBlocks())
        records[b] = statics.records(b);
    blocks.applyItems(records, counts);
    for (const auto& [b, list] : records)
        copy.putStaticsBlock(b, staticRecordBytes(list));
    return counts;
}

} // namespace tb
