#pragma once
// The undo store of a map document: one row per cell changed by the Paint or Fill tool,
// holding the cell's values from before the change. Undo takes back the newest row and
// keeps the values it replaced as a redo row; redo brings them back the same way. Rows are
// grouped into strokes (all rows of one press of the mouse button, or of one Fill) so that
// a whole stroke can be taken back at once. There is no limit on the number of rows.
// Operations on many cells at once (heightmap import, patches) are kept as bulk steps
// instead (BulkUndo): one step, and one stroke of their own, among the rows. Each edit of
// items is one step too (ItemUndo), in the stroke the rows around it are in. A store of its
// own (a shared map) keeps whole strokes as commands (UndoCommand).
//
// Every stroke has the name of the operation that began it ("Paint", "Move 3 items"), for
// the Edit menu. The list also knows its clean point: the place in the history where the
// map was last loaded or saved, as QUndoStack's isClean().

#include "core/MapImage.h"
#include "core/MapVariant.h"
#include "editor/BulkUndo.h"
#include "editor/ItemUndo.h"
#include "editor/UndoCommand.h"

#include <array>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tb {

struct UndoRow {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int8_t altitude = 0; // before the change (a redo row: before the undo)
    std::uint16_t tileId = 0;
    friend bool operator==(const UndoRow&, const UndoRow&) = default;
};

// The captions of the hidden list's columns, in order.
inline constexpr std::array<const char*, 4> kUndoColumnCaptions{"X", "Y", "Z", "Tile ID"};

// The four decimal texts a row shows: X, Y, Z (signed) and Tile ID (unsigned, not hex).
std::array<std::string, 4> undoRowTexts(const UndoRow& row);

// What one undo or redo step wrote back: a single cell, the rectangle of a bulk step, or
// the rectangle of the statics blocks whose items an item step put back.
struct UndoneCells {
    CellPoint topLeft;
    CellPoint bottomRight;
    std::size_t count = 0; // cells written; 0 for items
    bool items = false;
};

class UndoList {
public:
    // The operation under way names the strokes it begins (an unnamed one leaves a stroke
    // without a name).
    void nameOperation(std::string_view name) {
        if (m_operationName != name) // most operations are unnamed, and undo runs per cell
            m_operationName = name;
    }

    // Appends a row (called before a Paint or Fill change is written) to the current stroke,
    // or to a new one after startStroke(). Any recorded change forgets the redo rows.
    void record(std::int32_t x, std::int32_t y, MapCell before);
    // The next recorded row starts a new stroke.
    void startStroke() { m_strokeStarts = true; }
    // Appends a finished bulk step (the operation has already written its cells) as a step
    // and a stroke of its own; forgets the redo steps. An empty one is not kept.
    void recordBulk(BulkUndo step);
    // Appends the step of an edit of items (made already) to the current stroke, or to a
    // new one after startStroke(); forgets the redo steps. An empty one is not kept.
    void recordItems(ItemUndo step);

    // Where the list stands: the steps recorded after it can be replaced by one command.
    struct Mark {
        std::size_t rows = 0;
        std::size_t bulks = 0;
    };
    Mark mark() const { return {m_undo.rows.size(), m_undo.bulks.size()}; }
    // Drops the rows recorded after `mark` (an operation that failed part way, whose cells
    // were put back); the redo steps it dropped stay dropped.
    void dropRowsSince(const Mark& mark);
    // Replaces every step recorded after `mark` with `command`, a stroke of its own named
    // `name` (a shared map's stroke, once the server or its journal holds it). Throws
    // std::logic_error when steps were taken back below the mark since.
    void replaceSince(const Mark& mark, std::unique_ptr<UndoCommand> command,
                      std::string_view name);

    // Takes back the newest step: writes its values into `map` (an item step: into
    // `statics`; a command undoes itself), keeps the values it replaced as the newest redo
    // step and gives the cells to redraw. With no steps, nothing happens and nullopt comes
    // back; a command gives nullopt too. A row whose cell lies outside `map`, or an item step
    // without statics, is dropped without writing.
    std::optional<UndoneCells> undo(MapImage& map, StaticsMap* statics = nullptr);
    // The same in the other direction: the newest redo step is written and the values it
    // replaced become an undo step again, in the stroke it came from.
    std::optional<UndoneCells> redo(MapImage& map, StaticsMap* statics = nullptr);
    // The newest undo (redo) step is a command.
    bool newestIsCommand() const;
    bool newestRedoIsCommand() const;
    // Whether the next undo / redo step is a single row (a cell of Paint or Fill).
    bool newestIsRow() const { return !m_undo.rows.empty() && !m_undo.newestIsBulk(); }
    bool newestRedoIsRow() const { return !m_redo.rows.empty() && !m_redo.newestIsBulk(); }

    // The stroke of the newest undo row and of the newest redo row; nullopt when none.
    std::optional<std::uint64_t> newestStroke() const;
    std::optional<std::uint64_t> newestRedoStroke() const;
    // The names of those strokes; empty when there is none or it has no name.
    std::string newestName() const;
    std::string newestRedoName() const;

    // Forgets every row, undo and redo; called whenever a map is loaded, since rows of the
    // previous map would otherwise be written into the new one. The empty list is clean.
    void clear();

    // The clean point is here now (the map was saved, or its changes were discarded).
    void markClean() { m_cleanAt = size(); }
    // The map changed in a way no step takes back (a stamp): the clean point cannot be
    // reached any more.
    void loseCleanPoint() { m_cleanAt = kNoCleanPoint; }
    bool isClean() const { return m_cleanAt == size(); }

    bool empty() const { return m_undo.rows.empty() && m_undo.bulks.empty(); }
    // Undo steps: rows, bulk steps, item steps and commands.
    std::size_t size() const { return m_undo.rows.size() + m_undo.bulks.size(); }
    // Oldest first; the last row is the newest. Bulk and item steps are not among them.
    const std::vector<UndoRow>& rows() const { return m_undo.rows; }
    std::size_t bulkSteps() const { return m_undo.count<BulkUndo>(); }
    std::size_t itemSteps() const { return m_undo.count<ItemUndo>(); }
    std::size_t commandSteps() const { return m_undo.count<std::unique_ptr<UndoCommand>>(); }
    bool canRedo() const { return !m_redo.rows.empty() || !m_redo.bulks.empty(); }
    // Redo steps of every kind.
    std::size_t redoSize() const { return m_redo.rows.size() + m_redo.bulks.size(); }
    // The values undo replaced; the last row is the next one redo brings back.
    const std::vector<UndoRow>& redoRows() const { return m_redo.rows; }
    // Bytes held by the undo and redo steps.
    std::size_t memoryBytes() const;

private:
    static constexpr std::size_t kNoCleanPoint = std::numeric_limits<std::size_t>::max();
    using StepValues = std::variant<BulkUndo, ItemUndo, std::unique_ptr<UndoCommand>>;
    // A bulk, item or command step and its place among the rows: `rowsBefore` rows of the
    // same list are older than it.
    struct Bulk {
        StepValues values;
        std::size_t rowsBefore;
        std::uint64_t stroke;
    };
    // The undo steps, or the redo steps.
    struct Steps {
        std::vector<UndoRow> rows;
        std::vector<std::uint64_t> strokes; // the stroke of each row, beside it
        std::vector<Bulk> bulks;
        bool newestIsBulk() const {
            return !bulks.empty() && bulks.back().rowsBefore == rows.size();
        }
        std::optional<std::uint64_t> newestStroke() const;
        void clear();
        template <class T> std::size_t count() const {
            std::size_t n = 0;
            for (const Bulk& b : bulks)
                n += std::holds_alternative<T>(b.values);
            return n;
        }
    };
    static std::optional<UndoneCells> moveNewest(MapImage& map, StaticsMap* statics, Steps& from,
                                                 Steps& to, bool undoing);
    // A step is about to be recorded: the redo steps go, and with them a clean point among
    // them; a new stroke is begun if one is due, under the operation's name.
    void beforeRecord(bool newStroke);
    std::string nameOf(std::optional<std::uint64_t> stroke) const;

    Steps m_undo;
    Steps m_redo;
    std::uint64_t m_lastStroke = 0;
    bool m_strokeStarts = true;
    std::string m_operationName;
    std::map<std::uint64_t, std::string> m_names; // of the strokes that have one
    std::uint64_t m_namedStroke = 0;              // the newest stroke given its name (0: none)
    std::size_t m_cleanAt = 0;
};

} // namespace tb
