#include "editor/MapDocument.h"

#include <algorithm>
#include <stdexcept>
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
    d.m_change.bounds = CellRect{};
    d.m_change.count = 0;
    d.m_change.cells.clear();
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
    if (m_change.count == 0)
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
    m_undo.clear();
    setModifications(0);
    for (DocumentListener* listener : m_listeners)
        listener->documentReplaced();
    return previous;
}

void MapDocument::save(const std::filesystem::path& path) {
    m_image.save(path);
    markSaved(path);
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
    if (const std::optional<UndoneCells> cells = m_undo.undo(m_image))
        touchCells(*cells);
    return true;
}

bool MapDocument::redo() {
    if (!m_undo.canRedo())
        return false;
    Edit edit(*this);
    if (const std::optional<UndoneCells> cells = m_undo.redo(m_image))
        touchCells(*cells);
    return true;
}

bool MapDocument::undoStroke() {
    const std::optional<std::uint64_t> stroke = m_undo.newestStroke();
    if (!stroke)
        return false;
    Edit edit(*this);
    while (m_undo.newestStroke() == stroke)
        if (const std::optional<UndoneCells> cells = m_undo.undo(m_image))
            touchCells(*cells);
    return true;
}

bool MapDocument::redoStroke() {
    const std::optional<std::uint64_t> stroke = m_undo.newestRedoStroke();
    if (!stroke)
        return false;
    Edit edit(*this);
    while (m_undo.newestRedoStroke() == stroke)
        if (const std::optional<UndoneCells> cells = m_undo.redo(m_image))
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
