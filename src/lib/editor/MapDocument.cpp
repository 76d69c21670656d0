#include "editor/MapDocument.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <string>
#include <utility>

namespace tb {

MapDocument::MapDocument(MapImage image, std::filesystem::path fileName)
    : m_image(std::move(image)), m_fileName(std::move(fileName)) {}

MapDocument::Edit::Edit(MapDocument& document, Undo undo) : m_document(document) {
    m_document.beginEdit(undo);
}

MapDocument::Edit::~Edit() {
    m_document.endEdit();
}

void MapDocument::Edit::recordUndo(std::int32_t x, std::int32_t y) {
    if (!m_document.m_bulk)
        m_document.m_undo.record(x, y, m_document.m_image.cell(x, y));
}

void MapDocument::Edit::write(std::int32_t x, std::int32_t y, MapCell value) {
    if (m_document.m_bulk) {
        if (!m_document.m_image.contains(x, y))
            m_document.m_image.cell(x, y); // throws, naming the cell
        m_document.m_bulk->beforeWrite(m_document.m_image, x, y, value);
    }
    m_document.m_image.setCell(x, y, value);
    m_document.touch(x, y);
}

void MapDocument::Edit::revert() {
    MapDocument& d = m_document;
    if (!d.m_bulk)
        throw std::logic_error("only a bulk edit can be reverted");
    d.m_bulk->swapWith(d.m_image);
    d.m_bulk = std::make_unique<BulkUndo>(d.m_image);
    if (d.m_statics)
        d.m_itemUndo.swapWith(*d.m_statics);
    d.m_itemUndo = ItemUndo();
    d.m_change.bounds = CellRect{};
    d.m_change.count = 0;
    d.m_change.cells.clear();
    d.m_change.itemBounds = CellRect{};
}

std::size_t MapDocument::Edit::blockOf(std::int32_t x, std::int32_t y) const {
    const StaticsMap* statics = m_document.m_statics.get();
    if (!statics)
        throw std::logic_error("The map has no statics: its items cannot be edited");
    if (x < 0 || y < 0 || x / 8 >= statics->widthBlocks() || y / 8 >= statics->heightBlocks())
        throw std::out_of_range("cell (" + std::to_string(x) + ", " + std::to_string(y) +
                                ") lies outside the statics");
    return statics->blockNumber(x / 8, y / 8);
}

StaticsMap& MapDocument::Edit::editableStatics(std::size_t block) const {
    StaticsMap& statics = *m_document.m_statics;
    if (!statics.isEditable(block)) {
        const auto h = std::size_t(statics.heightBlocks());
        throw std::logic_error("The items of block (" + std::to_string(block / h) + ", " +
                               std::to_string(block % h) +
                               ") cannot be edited: its statics index entry is damaged");
    }
    return statics;
}

void MapDocument::Edit::writeBlock(std::size_t block, const std::vector<StaticRecord>& records,
                                   const CellRect& cells) {
    StaticsMap& statics = editableStatics(block);
    m_document.m_itemUndo.keep(statics, block);
    statics.setRecords(block, records);
    m_document.touchItems(cells);
}

std::vector<CellItem> MapDocument::Edit::items(std::int32_t x, std::int32_t y) const {
    blockOf(x, y);
    return itemsOnCell(*m_document.m_statics, x, y);
}

void MapDocument::Edit::setItems(std::int32_t blockX, std::int32_t blockY,
                                 const std::vector<StaticRecord>& records) {
    if (blockX < 0 || blockY < 0 || blockX > INT32_MAX / 8 || blockY > INT32_MAX / 8)
        throw std::out_of_range("block (" + std::to_string(blockX) + ", " + std::to_string(blockY) +
                                ") lies outside the statics");
    const std::size_t block = blockOf(blockX * 8, blockY * 8);
    for (const StaticRecord& r : records)
        if (!r.understood())
            throw std::invalid_argument("an item's column and row inside its block are 0 to 7");
    std::vector<StaticRecord> kept = editableStatics(block).records(block);
    std::erase_if(kept, [](const StaticRecord& r) { return r.understood(); });
    kept.insert(kept.end(), records.begin(), records.end());
    writeBlock(block, kept, {blockX * 8, blockY * 8, blockX * 8 + 7, blockY * 8 + 7});
}

void MapDocument::Edit::addItem(const PlacedItem& item) {
    const std::size_t block = blockOf(item.x, item.y);
    std::vector<StaticRecord> records = editableStatics(block).records(block);
    records.push_back(recordOf(item));
    writeBlock(block, records, {item.x, item.y, item.x, item.y});
}

std::size_t MapDocument::Edit::removeItems(std::int32_t x, std::int32_t y,
                                           std::optional<std::uint16_t> id) {
    const std::size_t block = blockOf(x, y);
    std::vector<StaticRecord> records = editableStatics(block).records(block);
    const std::size_t removed = std::erase_if(records, [&](const StaticRecord& r) {
        return r.x == x % 8 && r.y == y % 8 && (!id || r.id == *id);
    });
    if (removed > 0)
        writeBlock(block, records, {x, y, x, y});
    return removed;
}

void MapDocument::Edit::removeItem(std::int32_t x, std::int32_t y, std::size_t index) {
    const std::vector<CellItem> on = items(x, y);
    if (index >= on.size())
        throw std::out_of_range("cell (" + std::to_string(x) + ", " + std::to_string(y) +
                                ") has no item " + std::to_string(index));
    std::vector<StaticRecord> records = editableStatics(on[index].block).records(on[index].block);
    records.erase(records.begin() + std::ptrdiff_t(on[index].index));
    writeBlock(on[index].block, records, {x, y, x, y});
}

void MapDocument::Edit::changeItem(std::int32_t x, std::int32_t y, std::size_t index,
                                   const PlacedItem& to) {
    const std::vector<CellItem> on = items(x, y);
    if (index >= on.size())
        throw std::out_of_range("cell (" + std::to_string(x) + ", " + std::to_string(y) +
                                ") has no item " + std::to_string(index));
    const std::size_t from = on[index].block;
    const std::size_t target = blockOf(to.x, to.y);
    editableStatics(target);
    std::vector<StaticRecord> records = editableStatics(from).records(from);
    if (to.x == x && to.y == y) {
        records[on[index].index] = recordOf(to);
        writeBlock(from, records, {x, y, x, y});
        return;
    }
    records.erase(records.begin() + std::ptrdiff_t(on[index].index));
    if (target == from) {
        records.push_back(recordOf(to));
        writeBlock(from, records, {x, y, x, y});
        m_document.touchItems({to.x, to.y, to.x, to.y});
        return;
    }
    std::vector<StaticRecord> targetRecords = m_document.m_statics->records(target);
    targetRecords.push_back(recordOf(to));
    writeBlock(from, records, {x, y, x, y});
    writeBlock(target, targetRecords, {to.x, to.y, to.x, to.y});
}

void MapDocument::Edit::putItems(std::size_t block, const std::vector<StaticRecord>& records) {
    StaticsMap* statics = m_document.m_statics.get();
    if (!statics)
        throw std::logic_error("The map has no statics: its items cannot be edited");
    if (block >= statics->blockCount())
        throw std::out_of_range("statics block " + std::to_string(block) + " is not in the map");
    statics->setRecords(block, records);
    const auto h = std::size_t(statics->heightBlocks());
    const auto left = std::int32_t(block / h) * 8;
    const auto top = std::int32_t(block % h) * 8;
    m_document.touchItems({left, top, left + 7, top + 7});
}

void MapDocument::beginEdit(Undo undo) {
    // A bulk edit keeps every write from its start on, also inside another edit.
    if (undo == Undo::Bulk && !m_bulk && m_image.hasGeometry())
        m_bulk = std::make_unique<BulkUndo>(m_image);
    if (m_openEdits++ > 0)
        return;
    // Outside a press every operation is a stroke of its own.
    if (!m_pressHeld)
        m_undo.startStroke();
    m_change.bounds = CellRect{};
    m_change.count = 0;
    m_change.cells.clear();
    m_change.itemBounds = CellRect{};
}

void MapDocument::touchItems(const CellRect& cells) {
    CellRect& b = m_change.itemBounds;
    if (b.isEmpty()) {
        b = cells;
        return;
    }
    b = {std::min(b.left, cells.left), std::min(b.top, cells.top), std::max(b.right, cells.right),
         std::max(b.bottom, cells.bottom)};
}

void MapDocument::touch(std::int32_t x, std::int32_t y) {
    CellRect& b = m_change.bounds;
    if (m_change.count == 0) {
        b = {x, y, x, y};
    } else {
        b.left = std::min(b.left, x);
        b.top = std::min(b.top, y);
        b.right = std::max(b.right, x);
        b.bottom = std::max(b.bottom, y);
    }
    ++m_change.count;
    if (m_change.count <= CellChange::kListedCells)
        m_change.cells.push_back({x, y});
    else if (!m_change.cells.empty())
        m_change.cells.clear(); // too many to list: the bounds describe them
}

void MapDocument::touchCells(const UndoneCells& cells) {
    if (cells.items) {
        touchItems({cells.topLeft.x, cells.topLeft.y, cells.bottomRight.x, cells.bottomRight.y});
        return;
    }
    if (cells.count == 1) {
        touch(cells.topLeft.x, cells.topLeft.y);
        return;
    }
    // A bulk step: too many cells to list, its rectangle describes them.
    touch(cells.topLeft.x, cells.topLeft.y);
    touch(cells.bottomRight.x, cells.bottomRight.y);
    m_change.count += cells.count - 2;
    m_change.cells.clear();
}

void MapDocument::endEdit() {
    if (--m_openEdits > 0)
        return;
    if (m_bulk) {
        m_undo.recordBulk(std::move(*m_bulk));
        m_bulk.reset();
    }
    if (!m_itemUndo.empty())
        m_undo.recordItems(std::exchange(m_itemUndo, ItemUndo()));
    if (m_change.count == 0 && !m_change.changesItems())
        return;
    setModifications(m_modifications + 1);
    for (DocumentListener* listener : m_listeners)
        listener->cellsChanged(m_change);
}

void MapDocument::setModifications(std::uint64_t count) {
    const bool wasModified = isModified();
    m_modifications = count;
    if (wasModified != isModified())
        for (DocumentListener* listener : m_listeners)
            listener->modifiedChanged(isModified());
}

MapImage MapDocument::replace(MapImage image, std::filesystem::path fileName) {
    MapImage previous = std::exchange(m_image, std::move(image));
    m_fileName = std::move(fileName);
    m_statics.reset();
    m_staticsFiles = {};
    m_undo.clear();
    setModifications(0);
    for (DocumentListener* listener : m_listeners)
        listener->documentReplaced();
    return previous;
}

std::unique_ptr<StaticsMap> MapDocument::setStatics(std::unique_ptr<StaticsMap> statics,
                                                    StaticsFilePaths files) {
    m_undo.dropItemSteps();
    std::unique_ptr<StaticsMap> previous = std::exchange(m_statics, std::move(statics));
    m_staticsFiles = std::move(files);
    for (DocumentListener* listener : m_listeners)
        listener->documentReplaced();
    return previous;
}

// The map first: a failed statics write then leaves the new map beside the old statics,
// and the document modified, so a second Save writes both again.
void MapDocument::save(const std::filesystem::path& path) {
    m_image.save(path);
    if (itemsModified())
        saveStatics(*m_statics, m_staticsFiles);
    markSaved(path);
}

void MapDocument::markStaticsSaved(StaticsWrite written) {
    if (m_statics && !written.index.empty())
        m_statics->markSaved(std::move(written.index), written.appendedAt);
}

void MapDocument::markSaved(std::filesystem::path path) {
    m_fileName = std::move(path);
    setModifications(0);
}

void MapDocument::markUnmodified() {
    setModifications(0);
}

void MapDocument::setCell(std::int32_t x, std::int32_t y, MapCell value) {
    Edit edit(*this);
    edit.write(x, y, value);
}

void MapDocument::beginStroke() {
    m_pressHeld = true;
    m_undo.startStroke();
}

void MapDocument::endStroke() {
    m_pressHeld = false;
    m_undo.startStroke();
}

bool MapDocument::undo() {
    if (m_undo.empty())
        return false;
    Edit edit(*this);
    if (const std::optional<UndoneCells> cells = m_undo.undo(m_image, m_statics.get()))
        touchCells(*cells);
    return true;
}

bool MapDocument::redo() {
    if (!m_undo.canRedo())
        return false;
    Edit edit(*this);
    if (const std::optional<UndoneCells> cells = m_undo.redo(m_image, m_statics.get()))
        touchCells(*cells);
    return true;
}

bool MapDocument::undoStroke() {
    const std::optional<std::uint64_t> stroke = m_undo.newestStroke();
    if (!stroke)
        return false;
    Edit edit(*this);
    while (m_undo.newestStroke() == stroke)
        if (const std::optional<UndoneCells> cells = m_undo.undo(m_image, m_statics.get()))
            touchCells(*cells);
    return true;
}

bool MapDocument::redoStroke() {
    const std::optional<std::uint64_t> stroke = m_undo.newestRedoStroke();
    if (!stroke)
        return false;
    Edit edit(*this);
    while (m_undo.newestRedoStroke() == stroke)
        if (const std::optional<UndoneCells> cells = m_undo.redo(m_image, m_statics.get()))
            touchCells(*cells);
    return true;
}

void MapDocument::addListener(DocumentListener* listener) {
    if (listener &&
        std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void MapDocument::removeListener(DocumentListener* listener) {
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener),
                      m_listeners.end());
}

} // namespace tb
