#include "core/StaticItems.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>

namespace tb {
namespace {

bool insideStatics(const StaticsMap& statics, std::int32_t x, std::int32_t y) {
    return x >= 0 && y >= 0 && x / 8 < statics.widthBlocks() && y / 8 < statics.heightBlocks();
}

} // namespace

std::vector<CellItem> itemsOnCell(const StaticsMap& statics, std::int32_t x, std::int32_t y) {
    std::vector<CellItem> items;
    if (!insideStatics(statics, x, y))
        return items;
    const std::size_t block = statics.blockNumber(x / 8, y / 8);
    const std::vector<StaticRecord> records = statics.records(block);
    for (std::size_t i = 0; i < records.size(); ++i)
        if (records[i].x == x % 8 && records[i].y == y % 8)
            items.push_back({block, i, records[i]});
    return items;
}

std::vector<PlacedItem> itemsInRect(const StaticsMap& statics, std::int32_t x1, std::int32_t y1,
                                    std::int32_t x2, std::int32_t y2, std::size_t* leftOut) {
    std::vector<PlacedItem> items;
    if (leftOut)
        *leftOut = 0;
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, statics.widthBlocks() * 8 - 1);
    y2 = std::min(y2, statics.heightBlocks() * 8 - 1);
    for (std::int32_t bx = x1 / 8; x1 <= x2 && bx <= x2 / 8; ++bx) {
        for (std::int32_t by = y1 / 8; y1 <= y2 && by <= y2 / 8; ++by) {
            for (const StaticRecord& r : statics.records(statics.blockNumber(bx, by))) {
                const std::int32_t x = bx * 8 + r.x, y = by * 8 + r.y;
                if (!r.understood()) {
                    if (leftOut)
                        ++*leftOut;
                } else if (x >= x1 && x <= x2 && y >= y1 && y <= y2) {
                    items.push_back({x, y, r.id, r.z, r.hue});
                }
            }
        }
    }
    return items;
}

StaticRecord recordOf(const PlacedItem& item) {
    return {item.id, std::uint8_t(item.x % 8), std::uint8_t(item.y % 8), item.z, item.hue};
}

void addItem(StaticsMap& statics, const PlacedItem& item) {
    if (!insideStatics(statics, item.x, item.y))
        throw std::out_of_range("cell (" + std::to_string(item.x) + ", " + std::to_string(item.y) +
                                ") lies outside the map");
    const std::size_t block = statics.blockNumber(item.x / 8, item.y / 8);
    std::vector<StaticRecord> records = statics.records(block);
    records.push_back(recordOf(item));
    statics.setRecords(block, records);
}

void addItems(StaticsMap& statics, const std::vector<PlacedItem>& items) {
    // Adding one at a time would copy a block's records for each item: quadratic in the
    // items of one block. The blocks' new records are gathered first, in item order.
    std::map<std::size_t, std::vector<StaticRecord>> blocks;
    for (const PlacedItem& item : items) {
        if (!insideStatics(statics, item.x, item.y))
            throw std::out_of_range("cell (" + std::to_string(item.x) + ", " +
                                    std::to_string(item.y) + ") lies outside the map");
        const std::size_t block = statics.blockNumber(item.x / 8, item.y / 8);
        auto [it, fresh] = blocks.try_emplace(block);
        if (fresh) {
            if (!statics.isEditable(block))
                throw std::logic_error("statics block " + std::to_string(block) +
                                       " cannot be edited");
            it->second = statics.records(block);
        }
        it->second.push_back(recordOf(item));
    }
    for (const auto& [block, records] : blocks)
        statics.setRecords(block, records);
}

std::size_t removeItems(StaticsMap& statics, std::int32_t x, std::int32_t y,
                        std::optional<std::uint16_t> id) {
    if (!insideStatics(statics, x, y))
        return 0;
    const std::size_t block = statics.blockNumber(x / 8, y / 8);
    std::vector<StaticRecord> records = statics.records(block);
    const auto removed = std::erase_if(records, [&](const StaticRecord& r) {
        return r.x == x % 8 && r.y == y % 8 && (!id || r.id == *id);
    });
    if (removed > 0)
        statics.setRecords(block, records);
    return removed;
}

std::int8_t standingZ(const MapImage& map, const StaticsMap& statics, const TileData& tiledata,
                      std::int32_t x, std::int32_t y) {
    int top = map.contains(x, y) ? map.cell(x, y).altitude : 0;
    for (const CellItem& item : itemsOnCell(statics, x, y)) {
        const ItemData& data = tiledata.item(item.record.id);
        if (data.flags & tileflag::Surface)
            top = std::max(top, item.record.z + data.height);
    }
    return std::int8_t(std::min(top, 127));
}

} // namespace tb
