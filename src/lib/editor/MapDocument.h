#pragma once
// The map being edited: the loaded MapImage with the name of its file, the statics of the
// map (its items), the undo and redo steps, and where the history stands against the last
// load or save. Every change of cells and of items goes through it (painting, stamps,
// brushes, item edits, undo, redo, patches, changes another builder made), and each
// operation ends with one notification to its listeners naming the cells it changed, so a
// view repaints from there and no tool has to remember to.

#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "core/StaticItems.h"
#include "core/StaticsFiles.h"
#include "core/StaticsSave.h"
#include "editor/CellRect.h"
#include "editor/DocumentListener.h"
#include "editor/UndoList.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tb {

class MapDocument {
public:
    // A document without a map: no cells, nothing to save.
    MapDocument();
    // `image` read from (or to be saved as) `fileName`, unmodified, without rows.
    MapDocument(MapImage image, std::filesystem::path fileName);
    MapDocument(const MapDocument&) = delete;
    MapDocument& operator=(const MapDocument&) = delete;

    // How an edit is kept for undo.
    enum class Undo {
        // Only the cells passed to recordUndo(), a row each (Paint and Fill); item edits as
        // one step.
        Rows,
        // Every write, as one undo step of its own, however many cells it changes: the
        // changed blocks' previous values (heightmap import, patches). recordUndo() adds
        // nothing then.
        Bulk,
        // Another writer's change (the server of a shared map): kept in no step, leaving
        // the modified state as it was; listeners hear it as external.
        External,
    };

    // One operation on the cells and items. Writes go straight into the map and the
    // statics, and reads see them. When the outermost edit ends, the document tells its
    // listeners which cells were written. An edit left by an exception is rolled back whole
    // (its cells and items as before it, its rows dropped) and tells nothing; inside a bulk
    // edit that is the whole bulk edit. The item edits of one operation are one undo step,
    // in the current stroke. `name` names the strokes it begins in the Edit menu
    // ("Paint", "Move 3 items"); the outermost edit's name counts.
    class Edit {
    public:
        explicit Edit(MapDocument& document, Undo undo = Undo::Rows);
        Edit(MapDocument& document, std::string_view name, Undo undo = Undo::Rows);
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
        // Writes back the previous values of every cell and item this edit wrote so far, as
        // if nothing had been written, and drops its rows (an operation that was asked to
        // stop, or that found it must not go on). Writes after it are kept as before.
        void rollback();
        // Writes one cell; throws std::out_of_range outside the map.
        void write(std::int32_t x, std::int32_t y, MapCell value);
        // The rows recorded from here on form a stroke of their own (each Fill does this
        // before and after its rectangle).
        void startStroke() { m_document.m_undo.startStroke(); }
        // Names the operation when its name is known only now ("Move 3 items").
        void rename(std::string_view name);

        // Items. Every call below throws std::logic_error when the document has no statics
        // or the block is not editable (its index entry is damaged: isEditable()), and
        // std::out_of_range for a cell or block outside the statics. Records whose column or
        // row is 8 or more are never listed, changed or dropped.

        // Whether the document has statics the calls below can change.
        bool hasItems() const { return m_document.m_statics != nullptr; }
        // The statics as edited so far; null when the document has none.
        const StaticsMap* statics() const { return m_document.m_statics.get(); }
        // The items on cell (x, y), in file order (the `index` of the calls below).
        std::vector<CellItem> items(std::int32_t x, std::int32_t y) const;
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
        // server of a shared map): an External edit only. Throws std::out_of_range for no
        // such block, std::logic_error in another edit.
        void putItems(std::size_t block, const std::vector<StaticRecord>& records);

    private:
        friend class MapDocument;
        StaticsMap& editableStatics(std::size_t block) const;
        // Records the block for undo, replaces its records and notes the cells changed.
        void writeBlock(std::size_t block, const std::vector<StaticRecord>& records,
                        const CellRect& cells);
        // The block of cell (x, y); throws std::out_of_range outside the statics.
        std::size_t blockOf(std::int32_t x, std::int32_t y) const;

        MapDocument& m_document;
        std::size_t m_cellLogStart;
        std::size_t m_blockLogStart;
        UndoList::Mark m_mark;
        int m_uncaught;
    };

    // Replaces the map (Load): no rows, unmodified, with `statics` (none: null) read from
    // `staticsFiles`. Listeners hear documentReplaced(). Returns the map it held, for a caller
    // that lets a large one go elsewhere; the statics it held go to `previousStatics` when
    // given.
    MapImage replace(MapImage image, std::filesystem::path fileName,
                     std::unique_ptr<StaticsMap> statics = nullptr,
                     StaticsFilePaths staticsFiles = {},
                     std::unique_ptr<StaticsMap>* previousStatics = nullptr);
    // Gives the map the same items read again from `files` (after the pair was compacted),
    // keeping the item steps, which name blocks and records, not places in the files.
    // Returns the statics it held. Listeners hear documentReplaced().
    std::unique_ptr<StaticsMap> reloadStatics(std::unique_ptr<StaticsMap> statics,
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
    // Where the history stands is now the clean point: the user chose to discard the
    // changes, or another store (a shared map's server or journal) holds them.
    void markUnmodified();

    const MapImage& image() const { return m_image; }
    // The file the map was read from or last saved to; empty without a map.
    const std::filesystem::path& fileName() const { return m_fileName; }
    MapCell cell(std::int32_t x, std::int32_t y) const { return m_image.cell(x, y); }

    // Whether the map differs from what was loaded or last saved, as the history tells: an
    // undo back to the clean point makes it unmodified again.
    bool isModified() const { return !m_undo.isClean(); }

    // The left button went down on the map / came up: the rows recorded in between form one
    // stroke. Outside a press every operation is a stroke of its own.
    void beginStroke();
    void endStroke();
    bool strokeHeld() const { return m_pressHeld; }

    // Takes back the newest undo step (a row, or a bulk operation whole); false when there
    // is none. Undo of a row that lies outside the map only drops the row.
    bool undo();
    // Brings back the newest redo step; false when there is none.
    bool redo();
    // Takes back, or brings back, every row of the newest stroke in one operation.
    bool undoStroke();
    bool redoStroke();
    const UndoList& undoList() const { return m_undo; }
    // The steps recorded after a mark become one command of another store (a shared map's
    // stroke); see UndoList::replaceSince.
    UndoList::Mark historyMark() const { return m_undo.mark(); }
    void replaceHistorySince(const UndoList::Mark& mark, std::unique_ptr<UndoCommand> command,
                             std::string_view name);

    // Keeps `listener` told of every change until the connection goes.
    [[nodiscard]] ListenerConnection connect(DocumentListener* listener);

private:
    class HistoryMove;
    void moveRow(bool undoing);
    void beginEdit(Undo undo, std::string_view name);
    void endEdit();
    void rollbackTo(const Edit& edit);
    void touch(std::int32_t x, std::int32_t y);
    void touchItems(const CellRect& cells);
    void touchCells(const UndoneCells& cells);
    // Runs `change` and tells the listeners whether the modified state or the history
    // changed.
    template <typename Change> void changingHistory(Change&& change);
    void tellModifiedAndHistory(bool wasModified);

    // A cell as it was before an open edit wrote it, for a rollback.
    struct CellBefore {
        std::int32_t x;
        std::int32_t y;
        MapCell before;
    };

    MapImage m_image;
    std::filesystem::path m_fileName;
    std::unique_ptr<StaticsMap> m_statics;
    StaticsFilePaths m_staticsFiles;
    ItemUndo m_itemUndo; // the item edits of the operation under way
    UndoList m_undo;
    bool m_pressHeld = false;
    int m_openEdits = 0;
    Undo m_editKind = Undo::Rows;     // of the outermost open edit
    bool m_historyMove = false;       // the open edit is an undo or redo
    std::size_t m_stepsAtStart = 0;   // undo steps when the outermost edit began
    bool m_wasModified = false;       // when the outermost edit began
    std::unique_ptr<BulkUndo> m_bulk; // the bulk edit under way
    // Writes of the open edits outside bulk edits that no undo row describes. While every
    // write follows the recording of its own cell (Paint, Fill) the rows are the log, and
    // nothing is kept twice; from the first other write on (`m_loggedFromRow`: the rows
    // recorded by then) every write is logged here.
    std::vector<CellBefore> m_cellLog;
    static constexpr std::size_t kNothingLogged = std::numeric_limits<std::size_t>::max();
    std::size_t m_loggedFromRow = kNothingLogged;
    bool m_recordedForWrite = false; // the newest row is of the cell the next write changes
    std::int32_t m_recordedX = 0;
    std::int32_t m_recordedY = 0;
    std::vector<std::pair<std::size_t, std::vector<StaticRecord>>> m_blockLog; // item writes
    CellChange m_change; // of the operation under way; reused so an operation allocates nothing
    std::shared_ptr<ListenerList> m_listeners;
};

} // namespace tb
