#include "editor/MapDocument.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

namespace tb {

MapDocument::MapDocument() : m_listeners(std::make_shared<ListenerList>()) {}

MapDocument::MapDocument(MapImage image, std::filesystem::path fileName)
    : m_image(std::move(image)), m_fileName(std::move(fileName)),
      m_listeners(std::make_shared<ListenerList>()) {}

MapDocument::Edit::Edit(MapDocument& document, Undo undo) : Edit(document, {}, undo) {}

MapDocument::Edit::Edit(MapDocument& document, std::string_view name, Undo undo)
    : m_document(document), m_cellLogStart(document.m_cellLog.size()),
      m_blockLogStart(document.m_blockLog.size()), m_mark(document.m_undo.mark()),
      m_uncaught(std::uncaught_exceptions()) {
    m_document.beginEdit(undo, name);
}

MapDocument::Edit::~Edit() {
    // An exception leaves this edit: nothing of it stays.
    if (std::uncaught_exceptions() > m_uncaught)
        m_document.rollbackTo(*this);
    m_document.endEdit();
}

void MapDocument::Edit::rename(std::string_view name) {
    m_document.m_undo.nameOperation(name);
}

void MapDocument::Edit::recordUndo(std::int32_t x, std::int32_t y) {
    MapDocument& d = m_document;
    if (!d.m_bulk && d.m_editKind == Undo::Rows) {
        d.m_undo.record(x, y, d.m_image.cell(x, y));
        d.m_recordedForWrite = true;
        d.m_recordedX = x;
        d.m_recordedY = y;
    }
}

void MapDocument::Edit::write(std::int32_t x, std::int32_t y, MapCell value) {
    MapDocument& d = m_document;
    if (d.m_bulk) {
        if (!d.m_image.contains(x, y))
            d.m_image.cell(x, y); // throws, naming the cell
        d.m_bulk->beforeWrite(d.m_image, x, y, value);
    } else if (d.m_loggedFromRow == kNothingLogged && d.m_recordedForWrite && d.m_recordedX == x &&
               d.m_recordedY == y) {
        // The row just recorded holds what this write replaces (and the cell is on the map).
    } else {
        const MapCell before = d.m_image.cell(x, y); // throws, naming the cell
        if (d.m_loggedFromRow == kNothingLogged)
            d.m_loggedFromRow = d.m_undo.rows().size();
        d.m_cellLog.push_back({x, y, before});
    }
    d.m_recordedForWrite = false;
    d.m_image.setCell(x, y, value);
    d.touch(x, y);
}

void MapDocument::Edit::rollback() {
    m_document.rollbackTo(*this);
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
    m_document.m_blockLog.emplace_back(block, statics.records(block));
    if (m_document.m_editKind != Undo::External)
        m_document.m_itemUndo.keep(statics, block);
    statics.setRecords(block, records);
    m_document.touchItems(cells);
}

std::vector<CellItem> MapDocument::Edit::items(std::int32_t x, std::int32_t y) const {
    blockOf(x, y);
    return itemsOnCell(*m_document.m_statics, x, y);
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
    if (m_document.m_editKind != Undo::External)
        throw std::logic_error("another writer's items go in as an external edit");
    StaticsMap* statics = m_document.m_statics.get();
    if (!statics)
        throw std::logic_error("The map has no statics: its items cannot be edited");
    if (block >= statics->blockCount())
        throw std::out_of_range("statics block " + std::to_string(block) + " is not in the map");
    const auto h = std::size_t(statics->heightBlocks());
    const auto left = std::int32_t(block / h) * 8;
    const auto top = std::int32_t(block % h) * 8;
    m_document.m_blockLog.emplace_back(block, statics->records(block));
    statics->setRecords(block, records);
    m_document.touchItems({left, top, left + 7, top + 7});
}

void MapDocument::beginEdit(Undo undo, std::string_view name) {
    // A bulk edit keeps every write from its start on, also inside another edit.
    if (undo == Undo::Bulk && !m_bulk && m_image.hasGeometry() && m_editKind != Undo::External)
        m_bulk = std::make_unique<BulkUndo>(m_image);
    // A row recorded before this edit is no log of its writes.
    m_recordedForWrite = false;
    if (m_openEdits++ > 0)
        return;
    m_editKind = undo;
    m_stepsAtStart = m_undo.size();
    m_wasModified = isModified();
    m_undo.nameOperation(name);
    // Outside a press every operation is a stroke of its own.
    if (!m_pressHeld)
        m_undo.startStroke();
    m_change.bounds = CellRect{};
    m_change.count = 0;
    m_change.cells.clear();
    m_change.itemBounds = CellRect{};
    m_change.external = undo == Undo::External;
}

// The writes go back newest first, so a cell written twice ends as it was before the first.
void MapDocument::rollbackTo(const Edit& edit) {
    if (m_bulk) {
        // A bulk edit keeps blocks, not writes: all of it goes back.
        m_bulk->swapWith(m_image);
        m_bulk = std::make_unique<BulkUndo>(m_image);
    }
    // The logged writes came after those the rows describe.
    for (std::size_t i = m_cellLog.size(); i > edit.m_cellLogStart; --i) {
        const CellBefore& w = m_cellLog[i - 1];
        m_image.setCell(w.x, w.y, w.before);
    }
    m_cellLog.resize(std::min(m_cellLog.size(), edit.m_cellLogStart));
    const std::vector<UndoRow>& rows = m_undo.rows();
    for (std::size_t i = std::min(rows.size(), m_loggedFromRow); i > edit.m_mark.rows; --i) {
        const UndoRow& row = rows[i - 1];
        if (m_image.contains(row.x, row.y))
            m_image.setCell(row.x, row.y, MapCell{row.tileId, row.altitude});
    }
    if (m_loggedFromRow != kNothingLogged)
        m_loggedFromRow = std::min(m_loggedFromRow, edit.m_mark.rows);
    m_recordedForWrite = false;
    if (m_statics)
        for (std::size_t i = m_blockLog.size(); i > edit.m_blockLogStart; --i)
            m_statics->setRecords(m_blockLog[i - 1].first, m_blockLog[i - 1].second);
    m_blockLog.resize(std::min(m_blockLog.size(), edit.m_blockLogStart));
    m_undo.dropRowsSince(edit.m_mark);
    if (m_openEdits == 1) {
        // The whole operation went back: nothing of it is to be told or kept.
        m_itemUndo = ItemUndo();
        m_change.bounds = CellRect{};
        m_change.count = 0;
        m_change.cells.clear();
        m_change.itemBounds = CellRect{};
    }
}

void MapDocument::touchItems(const CellRect& cells) {
    m_change.itemBounds = m_change.itemBounds.united(cells);
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
    // A large operation's log is not kept for the next one.
    constexpr std::size_t kKeptLog = 1 << 16;
    m_cellLog.clear();
    if (m_cellLog.capacity() > kKeptLog)
        m_cellLog.shrink_to_fit();
    m_loggedFromRow = kNothingLogged;
    m_recordedForWrite = false;
    m_blockLog.clear();
    const bool historyMove = std::exchange(m_historyMove, false);
    if (m_bulk) {
        m_undo.recordBulk(std::move(*m_bulk));
        m_bulk.reset();
    }
    if (!m_itemUndo.empty())
        m_undo.recordItems(std::exchange(m_itemUndo, ItemUndo()));
    m_undo.nameOperation({});
    const bool changed = m_change.count != 0 || m_change.changesItems();
    if (changed && !historyMove && m_editKind != Undo::External && m_undo.size() == m_stepsAtStart)
        m_undo.loseCleanPoint(); // nothing takes this change back
    if (changed)
        m_listeners->tellEach([&](DocumentListener& l) { l.cellsChanged(m_change); });
    if (m_editKind != Undo::External)
        tellModifiedAndHistory(m_wasModified);
}

void MapDocument::tellModifiedAndHistory(bool wasModified) {
    const bool modified = isModified();
    if (modified != wasModified)
        m_listeners->tellEach([&](DocumentListener& l) { l.modifiedChanged(modified); });
    m_listeners->tellEach([](DocumentListener& l) { l.historyChanged(); });
}

template <typename Change> void MapDocument::changingHistory(Change&& change) {
    const bool wasModified = isModified();
    change();
    tellModifiedAndHistory(wasModified);
}

MapImage MapDocument::replace(MapImage image, std::filesystem::path fileName,
                              std::unique_ptr<StaticsMap> statics, StaticsFilePaths staticsFiles,
                              std::unique_ptr<StaticsMap>* previousStatics) {
    MapImage previous;
    changingHistory([&] {
        previous = std::exchange(m_image, std::move(image));
        m_fileName = std::move(fileName);
        std::unique_ptr<StaticsMap> oldStatics = std::exchange(m_statics, std::move(statics));
        if (previousStatics)
            *previousStatics = std::move(oldStatics);
        m_staticsFiles = std::move(staticsFiles);
        m_undo.clear();
        m_listeners->tellEach([](DocumentListener& l) { l.documentReplaced(); });
    });
    return previous;
}

std::unique_ptr<StaticsMap> MapDocument::reloadStatics(std::unique_ptr<StaticsMap> statics,
                                                       StaticsFilePaths files) {
    std::unique_ptr<StaticsMap> previous = std::exchange(m_statics, std::move(statics));
    m_staticsFiles = std::move(files);
    m_listeners->tellEach([](DocumentListener& l) { l.documentReplaced(); });
    return previous;
}

// The map first: a failed statics write then leaves the new map beside the old statics,
// and the document modified, so a second Save writes both again.
void MapDocument::save(const std::filesystem::path& path) {
    m_image.save(path);
    if (itemsModified())
        markStaticsSaved(writeStaticsChanges(*m_statics, m_staticsFiles));
    markSaved(path);
}

void MapDocument::markStaticsSaved(StaticsWrite written) {
    if (m_statics && !written.index.empty())
        m_statics->markSaved(std::move(written.index), written.appendedAt);
}

void MapDocument::markSaved(std::filesystem::path path) {
    m_fileName = std::move(path);
    markUnmodified();
}

void MapDocument::markUnmodified() {
    changingHistory([&] { m_undo.markClean(); });
}

void MapDocument::beginStroke() {
    m_pressHeld = true;
    m_undo.startStroke();
}

void MapDocument::endStroke() {
    m_pressHeld = false;
    m_undo.startStroke();
}

// A step of the history swaps the values it holds with the map's, so it has nothing to roll
// back: it is told as an edit without an Edit's log (undo runs once a cell in a long undo).
class MapDocument::HistoryMove {
public:
    explicit HistoryMove(MapDocument& document) : m_document(document) {
        m_document.beginEdit(Undo::Rows, {});
        m_document.m_historyMove = true;
    }
    ~HistoryMove() { m_document.endEdit(); }
    HistoryMove(const HistoryMove&) = delete;
    HistoryMove& operator=(const HistoryMove&) = delete;

private:
    MapDocument& m_document;
};

// One row of the history outside any edit: the per-cell undo and redo (Ctrl+Z, Ctrl+Y), told
// as the edit of one cell it is, without the bookkeeping of operations that a row cannot
// need (logs, bulk and item steps, names).
void MapDocument::moveRow(bool undoing) {
    const bool wasModified = isModified();
    const std::optional<UndoneCells> cells =
        undoing ? m_undo.undo(m_image, m_statics.get()) : m_undo.redo(m_image, m_statics.get());
    if (!m_pressHeld)
        m_undo.startStroke();
    if (cells) {
        m_change.bounds = {cells->topLeft.x, cells->topLeft.y, cells->topLeft.x, cells->topLeft.y};
        m_change.count = 1;
        m_change.cells.assign(1, cells->topLeft);
        m_change.itemBounds = CellRect{};
        m_change.external = false;
        m_listeners->tellEach([&](DocumentListener& l) { l.cellsChanged(m_change); });
    }
    tellModifiedAndHistory(wasModified);
}

bool MapDocument::undo() {
    if (m_openEdits == 0 && m_undo.newestIsRow()) {
        moveRow(true);
        return true;
    }
    if (m_undo.empty())
        return false;
    if (m_undo.newestIsCommand()) {
        // It changes the document through edits of its own.
        changingHistory([&] { m_undo.undo(m_image, m_statics.get()); });
        return true;
    }
    HistoryMove move(*this);
    if (const std::optional<UndoneCells> cells = m_undo.undo(m_image, m_statics.get()))
        touchCells(*cells);
    return true;
}

bool MapDocument::redo() {
    if (m_openEdits == 0 && m_undo.newestRedoIsRow()) {
        moveRow(false);
        return true;
    }
    if (!m_undo.canRedo())
        return false;
    if (m_undo.newestRedoIsCommand()) {
        changingHistory([&] { m_undo.redo(m_image, m_statics.get()); });
        return true;
    }
    HistoryMove move(*this);
    if (const std::optional<UndoneCells> cells = m_undo.redo(m_image, m_statics.get()))
        touchCells(*cells);
    return true;
}

bool MapDocument::undoStroke() {
    const std::optional<std::uint64_t> stroke = m_undo.newestStroke();
    if (!stroke)
        return false;
    if (m_undo.newestIsCommand())
        return undo();
    HistoryMove move(*this);
    while (m_undo.newestStroke() == stroke && !m_undo.newestIsCommand())
        if (const std::optional<UndoneCells> cells = m_undo.undo(m_image, m_statics.get()))
            touchCells(*cells);
    return true;
}

bool MapDocument::redoStroke() {
    const std::optional<std::uint64_t> stroke = m_undo.newestRedoStroke();
    if (!stroke)
        return false;
    if (m_undo.newestRedoIsCommand())
        return redo();
    HistoryMove move(*this);
    while (m_undo.newestRedoStroke() == stroke && !m_undo.newestRedoIsCommand())
        if (const std::optional<UndoneCells> cells = m_undo.redo(m_image, m_statics.get()))
            touchCells(*cells);
    return true;
}

void MapDocument::replaceHistorySince(const UndoList::Mark& mark,
                                      std::unique_ptr<UndoCommand> command, std::string_view name) {
    changingHistory([&] { m_undo.replaceSince(mark, std::move(command), name); });
}

ListenerConnection MapDocument::connect(DocumentListener* listener) {
    m_listeners->add(listener);
    return ListenerConnection(m_listeners, listener);
}

void ListenerList::add(DocumentListener* listener) {
    if (listener &&
        std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void ListenerList::remove(DocumentListener* listener) {
    if (m_telling > 0) {
        std::replace(m_listeners.begin(), m_listeners.end(), listener,
                     static_cast<DocumentListener*>(nullptr));
        m_removedWhileTelling = true;
    } else
        std::erase(m_listeners, listener);
}

} // namespace tb
