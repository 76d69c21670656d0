#pragma once
// The map being edited: the loaded MapImage with the name of its file, the statics of the
// map when they were read (items), the undo and redo steps, and how many changes were made
// since it was loaded or saved. Every change of cells and of items goes through it
// (painting, stamps, brushes, item edits, undo, redo, patches), and each operation ends with
// one notification to its listeners naming the cells it changed, so a view repaints from
// there and no tool has to remember to.

#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "core/StaticItems.h"
#include "core/StaticsFiles.h"
#include "core/StaticsSave.h"
#include "editor/UndoList.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace tb {

// A rectangle of cells, both corners included.
struct CellRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = -1;
    std::int32_t bottom = -1;
    bool isEmpty() const { return right < left || bottom < top; }
    bool contains(std::int32_t x, std::int32_t y) const {
        return x >= left && x <= right && y >= top && y <= bottom;
    }
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

// What one operation changed.
struct CellChange {
    // The smallest rectangle holding every cell whose values were written; empty when none.
    CellRect bounds;
    // Cells written, a cell written twice counting twice.
    std::size_t count = 0;
    // The changed cells in the order they were written, as long as there are at most
    // kListedCells of them; beyond that it is empty and `bounds` alone describes the change.
    std::vector<CellPoint> cells;
    static constexpr std::size_t kListedCells = 1024;
    bool listsCells() const { return cells.size() == count; }
    // The smallest rectangle holding every cell whose items changed (an undo or redo of
    // items: every cell of the blocks concerned); empty when no item changed.
    CellRect itemBounds;
    bool changesItems() const { return !itemBounds.isEmpty(); }
};

// Told of every change of a document. Listeners must not throw and must not change the
// document from inside a notification.
class DocumentListener {
public:
    virtual ~DocumentListener() = default;
    // One operation (a selection event of a tool, a Fill, an undo, a patch, an item edit...)
    // changed cells or items.
    virtual void cellsChanged(const CellChange& change) = 0;
    // Another map took the place of the old one: every cell may differ.
    virtual void documentReplaced() {}
    // The document went from unmodified to modified or back.
    virtual void modifiedChanged(bool /*modified*/) {}
};

class MapDocument {
public:
    // A document without a map: no cells, nothing to save.
    MapDocument() = default;
    // `image` read from (or to be saved as) `fileName`, unmodified, without rows.
    MapDocument(MapImage image, std::filesystem::path fileName);
    MapDocument(const MapDocument&) = delete;
    MapDocument& operator=(const MapDocument&) = delete;

    // How an edit is kept for undo.
    enum class Undo {
        // Only the cells passed to recordUndo(), a row each (Paint and Fill).
        Rows,
        // Every write, as one undo step of its own, however many cells it changes: the
        // changed blocks' previous values (heightmap import, patches). recordUndo() adds
        // nothing then.
        Bulk,
    };

    // One operation on the cells and items. Writes go straight into the map and the
    // statics; when the outermost edit ends (also through an exception) the document counts
    // one change and tells its listeners which cells were written. Reads see the writes made
    // so far. The item edits of one operation are one undo step, in the current stroke.
    class Edit {
    public:
        explicit Edit(MapDocument& document, Undo undo = Undo::Rows);
        ~Edit();
        Edit(const Edit&) = delete;
        Edit& operator=(const Edit&) = delete;

        const MapImage& image() const { return m_document.m_image; }
        bool contains(std::int32_t x, std::int32_t y) const {
            return m_document.m_image.contains(x, y);
        }
        // The cell's present values; throws std::out_of_range outside the map.
        MapCell cell(std::int32_t x, std::int32_t y) const { return m_document.m_image.cell(x, y); }
        // Records the cell's present values as an undo row (Paint and Fill, before a change).
        void recordUndo(std::int32_t x, std::int32_t y);
        // A bulk edit only: writes the previous values of every cell written so far back, as
        // if nothing had been written, and keeps no undo step (an operation that was asked to
        // stop). Writes after it are kept as before.
        void revert();
        // Writes one cell; throws std::out_of_range outside the map.
        void write(std::int32_t x, std::int32_t y, MapCell value);
        // The rows recorded from here on form a stroke of their own (each Fill does this
        // before and after its rectangle).
        void startStroke() { m_document.m_undo.startStroke(); }

        // Items. Every call below throws std::logic_error when the document has no statics
        // or the block is not editable (its index entry is damaged: isEditable()), and
        // std::out_of_range for a cell or block outside the statics. Records whose column or
        // row is 8 or more are never listed, changed or dropped.

        // The items on cell (x, y), in file order (the `index` of the calls below).
        std::vector<CellItem> items(std::int32_t x, std::int32_t y) const;
        // Replaces the items of block (blockX, blockY): its records become `records`, after
        // the records of the block the editor does not understand, which stay. Throws
        // std::invalid_argument for a record whose column or row is 8 or more.
        void setItems(std::int32_t blockX, std::int32_t blockY,
                      const std::vector<StaticRecord>& records);
        // Places an item: appended to its block, so it lies over the items of equal z.
        void addItem(const PlacedItem& item);
        // Removes the items of cell (x, y), or only those of `id`; returns how many.
        std::size_t removeItems(std::int32_t x, std::int32_t y,
                                std::optional<std::uint16_t> id = std::nullopt);
        // Removes item `index` of cell (x, y). Throws std::out_of_range for no such item.
        void removeItem(std::int32_t x, std::int32_t y, std::size_t index);
        // Gives item `index` of cell (x, y) the cell, id, z and hue of `to` (a move, a new
        // z, hue or id, or all at once). On its own cell it keeps its place among the
        // items; moved to another cell it is appended there. Throws std::out_of_range for
        // no such item or a target outside the statics.
        void changeItem(std::int32_t x, std::int32_t y, std::size_t index, const PlacedItem& to);
        // Replaces the records of block `block` with what another writer made of them (the
        // server of a shared map): kept out of undo. Throws std::out_of_range for no such block.
        void putItems(std::size_t block, const std::vector<StaticRecord>& records);

    private:
        StaticsMap& editableStatics(std::size_t block) const;
        // Records the block for undo, replaces its records and notes the cells changed.
        void writeBlock(std::size_t block, const std::vector<StaticRecord>& records,
                        const CellRect& cells);
        // The block of cell (x, y); throws std::out_of_range outside the statics.
        std::size_t blockOf(std::int32_t x, std::int32_t y) const;

        MapDocument& m_document;
    };

    // Replaces the map (Load): no rows, no statics, unmodified. Listeners hear
    // documentReplaced(). Returns the map it held, for a caller that lets a large one go
    // elsewhere.
    MapImage replace(MapImage image, std::filesystem::path fileName);
    // Gives the map its statics, read from `files` (a map may have none: null). The item
    // steps of statics held before are forgotten. Returns the statics it held. Listeners
    // hear documentReplaced().
    std::unique_ptr<StaticsMap> setStatics(std::unique_ptr<StaticsMap> statics,
                                           StaticsFilePaths files);
    // The statics of the map, or null when it has none.
    const StaticsMap* statics() const { return m_statics.get(); }
    // The pair the statics were read from and are saved to.
    const StaticsFilePaths& staticsFiles() const { return m_staticsFiles; }
    // Items changed since the statics were read or saved: Save must write the statics too.
    bool itemsModified() const { return m_statics && m_statics->isModified(); }

    // Writes the map to `path`, replacing the file atomically in the format it was read in,
    // and the changed statics to their pair (StaticsSave.h); afterwards the document is
    // unmodified and `path` is its file name. Throws FileError naming the file; the document
    // stays modified then, and each file holds what it held, or what was to be written.
    void save(const std::filesystem::path& path);
    // The changed statics as a caller wrote them beside the editor (writeStaticsChanges)
    // while no edit could reach them; call before markSaved().
    void markStaticsSaved(StaticsWrite written);
    // The map as it stands was written to `path` by the caller (a save that ran beside the
    // editor while no edit could reach the map): as after save(), unmodified under `path`.
    void markSaved(std::filesystem::path path);
    // Forgets that there are unsaved changes (the user chose to discard them) without
    // touching the cells.
    void markUnmodified();

    const MapImage& image() const { return m_image; }
    // The file the map was read from or last saved to; empty without a map.
    const std::filesystem::path& fileName() const { return m_fileName; }
    MapCell cell(std::int32_t x, std::int32_t y) const { return m_image.cell(x, y); }
    // One cell written as an operation of its own, not recorded for undo.
    void setCell(std::int32_t x, std::int32_t y, MapCell value);

    // Changes (operations that wrote cells) since the map was loaded or last saved.
    std::uint64_t modificationCount() const { return m_modifications; }
    bool isModified() const { return m_modifications != 0; }

    // The left button went down on the map / came up: the rows recorded in between form one
    // stroke. Outside a press every operation is a stroke of its own.
    void beginStroke();
    void endStroke();

    // Takes back the newest undo step (a row, or a bulk operation whole); false when there
    // is none. Undo of a row that lies outside the map only drops the row.
    bool undo();
    // Brings back the newest redo step; false when there is none.
    bool redo();
    // Takes back, or brings back, every row of the newest stroke in one operation.
    bool undoStroke();
    bool redoStroke();
    const UndoList& undoList() const { return m_undo; }

    // Listeners are not owned; remove one before it goes away.
    void addListener(DocumentListener* listener);
    void removeListener(DocumentListener* listener);

private:
    void beginEdit(Undo undo);
    void endEdit();
    void touch(std::int32_t x, std::int32_t y);
    void touchItems(const CellRect& cells);
    void touchCells(const UndoneCells& cells);
    void setModifications(std::uint64_t count);

    MapImage m_image;
    std::filesystem::path m_fileName;
    std::unique_ptr<StaticsMap> m_statics;
    StaticsFilePaths m_staticsFiles;
    ItemUndo m_itemUndo; // the item edits of the operation under way
    UndoList m_undo;
    std::uint64_t m_modifications = 0;
    bool m_pressHeld = false;
    int m_openEdits = 0;
    std::unique_ptr<BulkUndo> m_bulk; // the bulk edit under way
    CellChange m_change; // of the operation under way; reused so an operation allocates nothing
    std::vector<DocumentListener*> m_listeners;
};

} // namespace tb
