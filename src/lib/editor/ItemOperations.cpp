#include "editor/ItemOperations.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace tb {
namespace {

std::int8_t clampZ(int z) {
    return std::int8_t(std::clamp(z, -128, 127));
}

// The cells of `items`, each once, in the order first met.
std::vector<CellPoint> cellsOf(const std::vector<SelectedItem>& items) {
    std::vector<CellPoint> cells;
    std::set<std::pair<std::int32_t, std::int32_t>> seen;
    for (const SelectedItem& item : items)
        if (seen.emplace(item.x, item.y).second)
            cells.push_back({item.x, item.y});
    return cells;
}

// Changes each selected item through `change`; an item it leaves as it was is not written.
template <typename Change>
std::size_t changeItems(MapDocument::Edit& edit, const ItemSelection& selection, Change change) {
    if (!edit.hasItems())
        return 0;
    std::size_t changed = 0;
    for (const SelectedItem& item : selectedItems(*edit.statics(), selection)) {
        const StaticRecord& r = item.record;
        const StaticRecord after = change(r);
        if (after == r)
            continue;
        edit.changeItem(item.x, item.y, item.index, {item.x, item.y, after.id, after.z, after.hue});
        ++changed;
    }
    return changed;
}

} // namespace

std::vector<SelectedItem> selectedItems(const StaticsMap& statics, const ItemSelection& selection) {
    std::vector<SelectedItem> found;
    const CellRect& r = selection.cells;
    if (r.isEmpty())
        return found;
    const int left = std::max(r.left, 0) / 8, top = std::max(r.top, 0) / 8;
    const int right = std::min(r.right / 8, statics.widthBlocks() - 1);
    const int bottom = std::min(r.bottom / 8, statics.heightBlocks() - 1);
    for (int by = top; by <= bottom; ++by)
        for (int bx = left; bx <= right; ++bx) {
            const std::vector<StaticRecord> records = statics.records(statics.blockNumber(bx, by));
            // The index of each record among its cell's items: how many came before it.
            std::map<int, std::size_t> onCell;
            for (const StaticRecord& record : records) {
                if (!record.understood())
                    continue;
                const std::size_t index = onCell[record.y * 8 + record.x]++;
                const std::int32_t x = bx * 8 + record.x, y = by * 8 + record.y;
                if (!r.contains(x, y) || (selection.onlyItem && *selection.onlyItem != index))
                    continue;
                found.push_back({x, y, index, record});
            }
        }
    return found;
}

std::string itemCountText(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " item" : " items");
}

std::int8_t placementZ(const MapImage& map, const StaticsMap& statics, const TileData* tiledata,
                       std::int32_t x, std::int32_t y, std::optional<int> fixedZ) {
    if (fixedZ)
        return clampZ(*fixedZ);
    static const TileData noTiledata;
    return standingZ(map, statics, tiledata ? *tiledata : noTiledata, x, y);
}

void placeItem(MapDocument::Edit& edit, std::uint16_t id, std::int32_t x, std::int32_t y,
               std::int8_t z) {
    edit.rename("Place item");
    edit.addItem({x, y, id, z, 0});
}

MoveOutcome moveItems(MapDocument::Edit& edit, const ItemSelection& selection, std::int32_t dx,
                      std::int32_t dy) {
    MoveOutcome outcome;
    if (!edit.hasItems())
        return outcome;
    const std::vector<SelectedItem> items = selectedItems(*edit.statics(), selection);
    std::vector<PlacedItem> arriving;
    std::vector<SelectedItem> leaving;
    for (const SelectedItem& item : items) {
        if (!edit.contains(item.x + dx, item.y + dy)) {
            ++outcome.left;
            continue;
        }
        arriving.push_back(
            {item.x + dx, item.y + dy, item.record.id, item.record.z, item.record.hue});
        leaving.push_back(item);
    }
    edit.rename("Move " + itemCountText(arriving.size()));
    if (selection.onlyItem) {
        for (const SelectedItem& item : leaving)
            edit.removeItem(item.x, item.y, item.index);
    } else {
        for (const CellPoint& cell : cellsOf(leaving))
            edit.removeItems(cell.x, cell.y);
    }
    for (const PlacedItem& item : arriving)
        edit.addItem(item);
    outcome.moved = arriving.size();
    const MapImage& map = edit.image();
    outcome.selection.cells =
        selection.cells.translated(dx, dy).intersected({0, 0, map.width() - 1, map.height() - 1});
    if (selection.onlyItem && arriving.size() == 1)
        outcome.selection.onlyItem = edit.items(arriving[0].x, arriving[0].y).size() - 1;
    return outcome;
}

std::size_t raiseItems(MapDocument::Edit& edit, const ItemSelection& selection, int by) {
    const std::size_t n = changeItems(edit, selection, [by](StaticRecord r) {
        r.z = clampZ(r.z + by);
        return r;
    });
    edit.rename((by >= 0 ? "Raise " : "Lower ") + itemCountText(n));
    return n;
}

std::size_t hueItems(MapDocument::Edit& edit, const ItemSelection& selection, std::uint16_t hue) {
    const std::size_t n = changeItems(edit, selection, [hue](StaticRecord r) {
        r.hue = hue;
        return r;
    });
    edit.rename("Hue " + itemCountText(n));
    return n;
}

std::size_t deleteItems(MapDocument::Edit& edit, const ItemSelection& selection) {
    if (!edit.hasItems())
        return 0;
    const std::vector<SelectedItem> items = selectedItems(*edit.statics(), selection);
    edit.rename("Delete " + itemCountText(items.size()));
    if (selection.onlyItem) {
        for (const SelectedItem& item : items)
            edit.removeItem(item.x, item.y, item.index);
    } else {
        for (const CellPoint& cell : cellsOf(items))
            edit.removeItems(cell.x, cell.y);
    }
    return items.size();
}

std::vector<PlacedItem> copyItems(const StaticsMap& statics, const ItemSelection& selection) {
    std::vector<PlacedItem> copied;
    for (const SelectedItem& item : selectedItems(statics, selection))
        copied.push_back({item.x - selection.cells.left, item.y - selection.cells.top,
                          item.record.id, item.record.z, item.record.hue});
    return copied;
}

std::size_t pasteItems(MapDocument::Edit& edit, const std::vector<PlacedItem>& copied,
                       CellPoint at) {
    std::size_t placed = 0;
    for (PlacedItem item : copied) {
        item.x += at.x;
        item.y += at.y;
        if (!edit.contains(item.x, item.y))
            continue;
        edit.addItem(item);
        ++placed;
    }
    edit.rename("Paste " + itemCountText(placed));
    return placed;
}

} // namespace tb
