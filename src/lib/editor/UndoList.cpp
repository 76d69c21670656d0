#include "editor/UndoList.h"

#include <algorithm>
#include <stdexcept>
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
// values they replace go with the step's stroke to the other list. A command moves first
// and then runs, so the history is in its place when the command's edits are heard.
std::optional<UndoneCells> UndoList::moveNewest(MapImage& map, StaticsMap* statics, Steps& from,
                                                Steps& to, bool undoing) {
    if (from.newestIsBulk()) {
        Bulk bulk = std::move(from.bulks.back());
        from.bulks.pop_back();
        bulk.rowsBefore = to.rows.size();
        if (auto* command = std::get_if<std::unique_ptr<UndoCommand>>(&bulk.values)) {
            UndoCommand& run = **command;
            to.bulks.push_back(std::move(bulk));
            try {
                undoing ? run.undo() : run.redo();
            } catch (...) {
                // It did not happen: the step goes back where it was.
                Bulk back = std::move(to.bulks.back());
                to.bulks.pop_back();
                back.rowsBefore = from.rows.size();
                from.bulks.push_back(std::move(back));
                throw;
            }
            return std::nullopt;
        }
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

void UndoList::beforeRecord(bool newStroke) {
    if (!m_redo.rows.empty() || !m_redo.bulks.empty()) {
        if (m_cleanAt != kNoCleanPoint && m_cleanAt > size())
            m_cleanAt = kNoCleanPoint;
        m_redo.clear();
    }
    if (newStroke || m_strokeStarts) {
        ++m_lastStroke;
        m_strokeStarts = false;
    }
    // Once a stroke, not once a row: a Fill records a row for each of its cells.
    if (!m_operationName.empty() && m_namedStroke != m_lastStroke) {
        m_names.try_emplace(m_lastStroke, m_operationName);
        m_namedStroke = m_lastStroke;
    }
}

void UndoList::record(std::int32_t x, std::int32_t y, MapCell before) {
    beforeRecord(false);
    m_undo.rows.push_back({x, y, before.altitude, before.tileId});
    m_undo.strokes.push_back(m_lastStroke);
}

void UndoList::recordItems(ItemUndo step) {
    if (step.empty())
        return;
    beforeRecord(false);
    m_undo.bulks.push_back({std::move(step), m_undo.rows.size(), m_lastStroke});
}

void UndoList::recordBulk(BulkUndo step) {
    if (step.empty())
        return;
    step.finish();
    beforeRecord(true);
    m_undo.bulks.push_back({std::move(step), m_undo.rows.size(), m_lastStroke});
    m_strokeStarts = true;
}

void UndoList::dropRowsSince(const Mark& mark) {
    if (mark.rows < m_undo.rows.size()) {
        m_undo.rows.resize(mark.rows);
        m_undo.strokes.resize(mark.rows);
    }
}

void UndoList::replaceSince(const Mark& mark, std::unique_ptr<UndoCommand> command,
                            std::string_view name) {
    if (mark.rows > m_undo.rows.size() || mark.bulks > m_undo.bulks.size())
        throw std::logic_error("steps were taken back below the mark");
    const std::size_t markSize = mark.rows + mark.bulks;
    if (m_cleanAt != kNoCleanPoint && m_cleanAt > markSize)
        m_cleanAt = kNoCleanPoint;
    m_undo.rows.resize(mark.rows);
    m_undo.strokes.resize(mark.rows);
    m_undo.bulks.erase(m_undo.bulks.begin() + std::ptrdiff_t(mark.bulks), m_undo.bulks.end());
    const std::string before = std::exchange(m_operationName, std::string(name));
    beforeRecord(true);
    m_operationName = before;
    m_undo.bulks.push_back({std::move(command), m_undo.rows.size(), m_lastStroke});
    m_strokeStarts = true;
}

std::optional<UndoneCells> UndoList::undo(MapImage& map, StaticsMap* statics) {
    return moveNewest(map, statics, m_undo, m_redo, true);
}

std::optional<UndoneCells> UndoList::redo(MapImage& map, StaticsMap* statics) {
    return moveNewest(map, statics, m_redo, m_undo, false);
}

bool UndoList::newestIsCommand() const {
    return m_undo.newestIsBulk() &&
           std::holds_alternative<std::unique_ptr<UndoCommand>>(m_undo.bulks.back().values);
}

bool UndoList::newestRedoIsCommand() const {
    return m_redo.newestIsBulk() &&
           std::holds_alternative<std::unique_ptr<UndoCommand>>(m_redo.bulks.back().values);
}

std::optional<std::uint64_t> UndoList::newestStroke() const {
    return m_undo.newestStroke();
}

std::optional<std::uint64_t> UndoList::newestRedoStroke() const {
    return m_redo.newestStroke();
}

std::string UndoList::nameOf(std::optional<std::uint64_t> stroke) const {
    if (!stroke)
        return {};
    const auto found = m_names.find(*stroke);
    return found == m_names.end() ? std::string() : found->second;
}

std::string UndoList::newestName() const {
    return nameOf(newestStroke());
}

std::string UndoList::newestRedoName() const {
    return nameOf(newestRedoStroke());
}

void UndoList::clear() {
    m_undo.clear();
    m_redo.clear();
    m_names.clear();
    m_namedStroke = 0;
    m_strokeStarts = true;
    m_cleanAt = 0;
}

std::size_t UndoList::memoryBytes() const {
    struct StepBytes {
        std::size_t operator()(const BulkUndo& v) const { return v.memoryBytes() - sizeof(v); }
        std::size_t operator()(const ItemUndo& v) const { return v.memoryBytes() - sizeof(v); }
        std::size_t operator()(const std::unique_ptr<UndoCommand>& v) const {
            return v->memoryBytes();
        }
    };
    std::size_t bytes = 0;
    for (const Steps* steps : {&m_undo, &m_redo}) {
        bytes += steps->rows.capacity() * sizeof(UndoRow) +
                 steps->strokes.capacity() * sizeof(std::uint64_t) +
                 steps->bulks.capacity() * sizeof(Bulk);
        for (const Bulk& bulk : steps->bulks)
            bytes += std::visit(StepBytes{}, bulk.values);
    }
    return bytes;
}

} // namespace tb
