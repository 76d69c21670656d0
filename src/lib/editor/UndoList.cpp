#include "editor/UndoList.h"

#include <algorithm>
#include <utility>

namespace tb {
namespace {

// The cells of the blocks an item step holds, blocks numbered as in a map `heightBlocks`
// blocks high.
UndoneCells itemCells(const ItemUndo& step, int heightBlocks) {
    const auto h = std::size_t(heightBlocks);
    UndoneCells cells;
    cells.items = true;
    bool first = true;
    for (const ItemUndo::Block& block : step.blocks()) {
        const auto bx = std::int32_t(block.first / h), by = std::int32_t(block.first % h);
        if (first) {
            cells.topLeft = {bx * 8, by * 8};
            cells.bottomRight = {bx * 8 + 7, by * 8 + 7};
            first = false;
            continue;
        }
        cells.topLeft = {std::min(cells.topLeft.x, bx * 8), std::min(cells.topLeft.y, by * 8)};
        cells.bottomRight = {std::max(cells.bottomRight.x, bx * 8 + 7),
                             std::max(cells.bottomRight.y, by * 8 + 7)};
    }
    return cells;
}

} // namespace

std::array<std::string, 4> undoRowTexts(const UndoRow& row) {
    return {std::to_string(row.x), std::to_string(row.y), std::to_string(int(row.altitude)),
            std::to_string(unsigned(row.tileId))};
}

std::optional<std::uint64_t> UndoList::Steps::newestStroke() const {
    if (newestIsBulk())
        return bulks.back().stroke;
    if (strokes.empty())
        return std::nullopt;
    return strokes.back();
}

void UndoList::Steps::clear() {
    rows.clear();
    strokes.clear();
    bulks.clear();
}

// Moves the newest step of `from` to `to`: its values are written into the map and the
// values they replace go with the step's stroke to the other list.
std::optional<UndoneCells> UndoList::moveNewest(MapImage& map, StaticsMap* statics, Steps& from,
                                                Steps& to) {
    if (from.newestIsBulk()) {
        Bulk bulk = std::move(from.bulks.back());
        from.bulks.pop_back();
        bulk.rowsBefore = to.rows.size();
        UndoneCells cells;
        if (auto* values = std::get_if<BulkUndo>(&bulk.values)) {
            values->swapWith(map);
            const BulkUndo& v = *values;
            cells = {{v.left(), v.top()}, {v.right(), v.bottom()}, v.cellCount()};
        } else {
            ItemUndo& items = std::get<ItemUndo>(bulk.values);
            if (!statics || statics->heightBlocks() == 0)
                return std::nullopt;
            items.swapWith(*statics);
            cells = itemCells(items, statics->heightBlocks());
        }
        to.bulks.push_back(std::move(bulk));
        return cells;
    }
    if (from.rows.empty())
        return std::nullopt;
    const UndoRow row = from.rows.back();
    const std::uint64_t stroke = from.strokes.back();
    from.rows.pop_back();
    from.strokes.pop_back();
    if (!map.contains(row.x, row.y))
        return std::nullopt;
    const MapCell replaced = map.cellUnchecked(row.x, row.y);
    map.setCell(row.x, row.y, MapCell{row.tileId, row.altitude});
    to.rows.push_back({row.x, row.y, replaced.altitude, replaced.tileId});
    to.strokes.push_back(stroke);
    return UndoneCells{{row.x, row.y}, {row.x, row.y}, 1};
}

void UndoList::record(std::int32_t x, std::int32_t y, MapCell before) {
    if (m_strokeStarts) {
        ++m_lastStroke;
        m_strokeStarts = false;
    }
    m_undo.rows.push_back({x, y, before.altitude, before.tileId});
    m_undo.strokes.push_back(m_lastStroke);
    m_redo.clear();
}

void UndoList::recordItems(ItemUndo step) {
    if (step.empty())
        return;
    if (m_strokeStarts) {
        ++m_lastStroke;
        m_strokeStarts = false;
    }
    m_undo.bulks.push_back({std::move(step), m_undo.rows.size(), m_lastStroke});
    m_redo.clear();
}

void UndoList::dropItemSteps() {
    for (Steps* steps : {&m_undo, &m_redo})
        std::erase_if(steps->bulks,
                      [](const Bulk& b) { return std::holds_alternative<ItemUndo>(b.values); });
}

void UndoList::recordBulk(BulkUndo step) {
    if (step.empty())
        return;
    step.finish();
    m_undo.bulks.push_back({std::move(step), m_undo.rows.size(), ++m_lastStroke});
    m_strokeStarts = true;
    m_redo.clear();
}

std::optional<UndoneCells> UndoList::undo(MapImage& map, StaticsMap* statics) {
    return moveNewest(map, statics, m_undo, m_redo);
}

std::optional<UndoneCells> UndoList::redo(MapImage& map, StaticsMap* statics) {
    return moveNewest(map, statics, m_redo, m_undo);
}

std::optional<std::uint64_t> UndoList::newestStroke() const {
    return m_undo.newestStroke();
}

std::optional<std::uint64_t> UndoList::newestRedoStroke() const {
    return m_redo.newestStroke();
}

void UndoList::clear() {
    m_undo.clear();
    m_redo.clear();
    m_strokeStarts = true;
}

std::size_t UndoList::memoryBytes() const {
    std::size_t bytes = 0;
    for (const Steps* steps : {&m_undo, &m_redo}) {
        bytes += steps->rows.capacity() * sizeof(UndoRow) +
                 steps->strokes.capacity() * sizeof(std::uint64_t) +
                 steps->bulks.capacity() * sizeof(Bulk);
        for (const Bulk& bulk : steps->bulks)
            bytes +=
                std::visit([](const auto& v) { return v.memoryBytes() - sizeof(v); }, bulk.values);
    }
    return bytes;
}

} // namespace tb
