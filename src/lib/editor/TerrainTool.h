#pragma once
// The Terrain tool: each selection event paints the chosen terrain on Paint's square brush
// (TerrainEdits.h) as one operation of the document named "Terrain", so a drag from press to
// release is one stroke ("Undo Terrain"). The cells left without a tile for their corners are
// marked as missing transitions, which the overlay hands the views to outline. Fix edges goes
// through the tool too, so its marks join the same list.
//
// The tool follows the document: a change made otherwise (an undo, another tool, another
// builder) keeps a mark near it only while its cell's tile still lacks the corners around it,
// and another map clears the marks.

#include "catalogue/TerrainSet.h"
#include "catalogue/TerrainTiles.h"
#include "editor/DocumentListener.h"
#include "editor/EditorState.h"
#include "editor/MapTool.h"
#include "editor/MissingTransitions.h"
#include "editor/TerrainEdits.h"
#include "shell/RandomSource.h"

#include <functional>
#include <optional>
#include <string>

namespace tb {

class MapDocument;
struct TerrainFixPlan;

class TerrainTool : public MapTool, public DocumentListener {
public:
    // `document` gives the document edits may reach now (null: none); `state` (its brush size)
    // and `random` must outlive the tool.
    TerrainTool(std::function<MapDocument*()> document, const EditorState& state,
                RandomSource& random);

    // The terrains painted with (a terrain file's set). The chosen terrain is dropped; the
    // marks stay where the new tiles do not mend them.
    void setTerrains(TerrainSet set);
    const TerrainSet& terrains() const { return m_set; }
    const TerrainTiles& tiles() const { return m_tiles; }
    // The terrain a click paints; none (or an id the set lacks): a click paints nothing.
    void chooseTerrain(std::optional<TerrainId> terrain);
    std::optional<TerrainId> chosenTerrain() const { return m_terrain; }

    // Fix edges over `cells`: one operation and one stroke named "Terrain"; the marks inside
    // `cells` follow it. Nullopt when no edit may reach the document; a failure of the
    // document is told as an error and gives nullopt too.
    std::optional<TerrainEditResult> fixEdges(const CellRect& cells);
    // Writes a Fix edges worked out beside the editor (TerrainFixPlan.h), as fixEdges.
    std::optional<TerrainEditResult> applyFix(const TerrainFixPlan& plan);

    const MissingTransitions& missing() const { return m_missing; }
    void clearMarks();
    // Runs after every change of the marks (a list of them).
    void setMarksListener(std::function<void()> listener) { m_marksListener = std::move(listener); }

    void select(const ToolEvent& event) override;
    void move(const ToolEvent& event) override;
    void leave() override;
    bool key(ToolKey key) override;

    ToolCursor cursor() const override;
    std::string statusText() const override;
    ToolOverlay overlay() const override;

    // DocumentListener
    void cellsChanged(const CellChange& change) override;
    void documentReplaced() override;

private:
    // Runs `edit` on the document as the tool's own operation: its notification does not
    // recheck the marks the result is about to set.
    template <typename Operation> std::optional<TerrainEditResult> ownEdit(Operation&& operation);
    void takeMarks(const TerrainEditResult& result);
    // The marks inside `cells` stay only on cells whose tile lacks the corners around them.
    void recheckMarks(const CellRect& cells);
    void marksChanged();

    std::function<MapDocument*()> m_document;
    const EditorState& m_state;
    RandomSource& m_random;
    TerrainSet m_set;
    TerrainTiles m_tiles;
    std::optional<TerrainId> m_terrain;
    MissingTransitions m_missing;
    std::function<void()> m_marksListener;
    std::optional<CellPoint> m_pointer;
    bool m_keyMoved = false;
    bool m_editing = false;
};

} // namespace tb
